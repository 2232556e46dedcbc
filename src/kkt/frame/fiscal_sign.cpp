#include "kkt/frame/fiscal_sign.h"

#include "platform/platform.h"

#include <cstdint>
#include <cstdio>
#include <random>

namespace veltrano::kkt {
namespace {

constexpr std::int64_t FiscalSignLimit = 999999999;

std::mt19937_64& Generator() {
    static std::mt19937_64 generator{platform::RandomNumber()};
    return generator;
}

} // namespace

std::string NewFiscalSign() {
    std::uniform_int_distribution<std::int64_t> distribution(0, FiscalSignLimit - 1);
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%010lld", static_cast<long long>(distribution(Generator())));
    return buffer;
}

} // namespace veltrano::kkt
