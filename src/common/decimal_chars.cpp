#include "common/decimal_chars.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iomanip>
#include <ios>
#include <limits>
#include <locale>
#include <sstream>
#include <string>
#include <system_error>

namespace veltrano::common {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

const char* SkipDigits(const char* p, const char* last) {
    while (p != last && IsDigit(*p))
        ++p;
    return p;
}

// The streams of the classic locale print and read with a full stop and no grouping.
std::string Format(double value, std::ios_base::fmtflags notation, int precision) {
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out.setf(notation, std::ios_base::floatfield);
    out << std::setprecision(precision) << value;
    return out.str();
}

std::to_chars_result Copy(const std::string& text, char* first, char* last) {
    if (static_cast<std::size_t>(last - first) < text.size())
        return {last, std::errc::value_too_large};
    std::memcpy(first, text.data(), text.size());
    return {first + text.size(), std::errc()};
}

} // namespace

std::to_chars_result ToCharsFixed(char* first, char* last, double value) {
    if (std::isnan(value))
        return Copy(std::signbit(value) ? "-nan" : "nan", first, last);
    if (std::isinf(value))
        return Copy(value < 0 ? "-inf" : "inf", first, last);
    // The fewest significant digits that read back as the value fix the last digit's place; the fixed text
    // with that place as its last is the shortest.
    const int maxDigits = std::numeric_limits<double>::max_digits10;
    int digits = 1;
    std::string scientific;
    for (; digits <= maxDigits; ++digits) {
        scientific = Format(value, std::ios_base::scientific, digits - 1);
        double back = 0;
        const auto [end, error] = FromChars(scientific.data(), scientific.data() + scientific.size(), back);
        if (error == std::errc() && back == value)
            break;
    }
    const int exponent = std::atoi(scientific.c_str() + scientific.find('e') + 1);
    return Copy(Format(value, std::ios_base::fixed, std::max(0, digits - 1 - exponent)), first, last);
}

std::from_chars_result FromChars(const char* first, const char* last, double& value) {
    const char* p = first;
    if (p != last && *p == '-')
        ++p;
    const char* whole = p;
    p = SkipDigits(p, last);
    bool anyDigit = p != whole;
    if (p != last && *p == '.') {
        const char* fraction = SkipDigits(p + 1, last);
        anyDigit = anyDigit || fraction != p + 1;
        if (anyDigit)
            p = fraction;
    }
    if (!anyDigit)
        return {first, std::errc::invalid_argument};
    if (p != last && (*p == 'e' || *p == 'E')) {
        const char* exponent = p + 1;
        if (exponent != last && (*exponent == '+' || *exponent == '-'))
            ++exponent;
        const char* end = SkipDigits(exponent, last);
        if (end != exponent)
            p = end;
    }
    std::istringstream in(std::string(first, p));
    in.imbue(std::locale::classic());
    double parsed = 0;
    // The text is a well-formed number, so the only failure left is a magnitude beyond the doubles.
    if (!(in >> parsed))
        return {p, std::errc::result_out_of_range};
    value = parsed;
    return {p, std::errc()};
}

} // namespace veltrano::common
