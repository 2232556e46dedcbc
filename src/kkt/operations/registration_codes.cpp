#include "kkt/operations/registration_codes.h"

#include "kkt/vocab/receipt_vocabulary.h"
#include "output/output_device.h"

#include <array>
#include <charconv>
#include <stdexcept>
#include <string>

namespace veltrano::kkt {
namespace {

constexpr std::array<std::string_view, 3> FFDVersions{"1.0", "1.0.5", "1.1"};

constexpr int TaxationSystemCount = 6;

constexpr std::array<std::string_view, 7> AgentTypes{
    "БАНК.ПЛ.АГЕНТ", "БАНК.ПЛ.СУБАГЕНТ", "ПЛ.АГЕНТ", "ПЛ.СУБАГЕНТ", "АГЕНТ", "КОМИССИОНЕР", "ПОВЕРЕННЫЙ",
};

std::int32_t ReadCode(std::string_view piece) {
    std::string_view digits = piece;
    // An explicit plus sign is allowed; from_chars knows only the minus.
    if (digits.size() > 1 && digits.front() == '+' && digits[1] != '-')
        digits.remove_prefix(1);
    std::int32_t code = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), code);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size())
        throw std::invalid_argument("\"" + std::string(piece) + "\" не является целым числом");
    return code;
}

} // namespace

std::string_view FFDVersionName(std::int64_t number) {
    if (number < 1 || number > static_cast<std::int64_t>(FFDVersions.size()))
        throw std::runtime_error("Ошибка входных параметров команды");
    return FFDVersions[static_cast<std::size_t>(number - 1)];
}

std::vector<std::int32_t> ReadCodeList(std::string_view codes) {
    std::string compact;
    for (char c : codes)
        if (c != ' ')
            compact += c;
    std::vector<std::int32_t> list;
    if (compact.empty())
        return list;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = compact.find(',', start);
        const std::size_t end = comma == std::string::npos ? compact.size() : comma;
        list.push_back(ReadCode(std::string_view(compact).substr(start, end - start)));
        if (comma == std::string::npos)
            return list;
        start = comma + 1;
    }
}

void PrintTaxationSystems(output::OutputDevice& device, std::string_view codes) {
    for (std::int32_t code : ReadCodeList(codes))
        if (code >= 0 && code < TaxationSystemCount)
            device.PrintText("СНО", TaxationSystemName(code));
}

void PrintAgentTypes(output::OutputDevice& device, std::string_view codes) {
    std::vector<std::int32_t> list;
    try {
        list = ReadCodeList(codes);
    } catch (const std::invalid_argument&) {
        throw std::runtime_error("Ошибка передачи типа данных агента");
    }
    for (std::int32_t code : list)
        if (code >= 0 && code < static_cast<std::int32_t>(AgentTypes.size()))
            device.PrintText(AgentTypes[static_cast<std::size_t>(code)], "");
}

} // namespace veltrano::kkt
