#include "kkt/operations/receipt_format.h"

#include "common/decimal_chars.h"

#include <array>
#include <charconv>
#include <cmath>
#include <string_view>

namespace veltrano::kkt {
namespace {

constexpr std::size_t Decimals = 3;

// Adds one to a string of decimal digits.
void Increment(std::string& digits) {
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return;
        }
        *it = '0';
    }
    digits.insert(digits.begin(), '1');
}

} // namespace

std::string FormatQuantity(double quantity, char separator) {
    // The longest fixed form of a double has some 330 digits.
    std::array<char, 400> buffer{};
    const auto [end, error] =
        common::ToCharsFixed(buffer.data(), buffer.data() + buffer.size(), std::fabs(quantity));
    const std::string_view shortest(buffer.data(), error == std::errc() ? end - buffer.data() : 0);

    const std::size_t point = shortest.find('.');
    std::string digits(shortest.substr(0, point));
    std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : shortest.substr(point + 1);
    const bool roundUp = fraction.size() > Decimals && fraction[Decimals] >= '5';
    fraction = fraction.substr(0, Decimals);
    digits += fraction;
    digits.append(Decimals - fraction.size(), '0');
    if (roundUp)
        Increment(digits);
    if (digits.size() <= Decimals)
        digits.insert(0, Decimals + 1 - digits.size(), '0');

    // A quantity that rounds to nothing carries no sign.
    const bool zero = digits.find_first_not_of('0') == std::string::npos;
    std::string text = quantity < 0 && !zero ? "-" : "";
    text.append(digits, 0, digits.size() - Decimals);
    text += separator;
    text.append(digits, digits.size() - Decimals, Decimals);
    return text;
}

} // namespace veltrano::kkt
