#include "common/number_format.h"

#include <atomic>
#include <clocale>

namespace veltrano::numfmt {
namespace {

char SystemSeparator() {
    const std::lconv* conv = std::localeconv();
    return (conv != nullptr && conv->decimal_point != nullptr && conv->decimal_point[0] != '\0')
               ? conv->decimal_point[0]
               : '.';
}

std::atomic<char>& Separator() {
    static std::atomic<char> separator{SystemSeparator()};
    return separator;
}

} // namespace

char DecimalSeparator() {
    return Separator().load();
}
void SetDecimalSeparator(char separator) {
    Separator().store(separator);
}

} // namespace veltrano::numfmt
