#include "common/money.h"

#include "common/decimal_chars.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <system_error>

namespace veltrano {
namespace {

constexpr std::uint64_t MaxMagnitude(bool negative) {
    // The negative side reaches one unit further than the positive side.
    return negative ? static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) + 1
                    : static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
}

constexpr std::int64_t Signed(std::uint64_t magnitude, bool negative) {
    if (!negative)
        return static_cast<std::int64_t>(magnitude);
    if (magnitude == MaxMagnitude(true))
        return std::numeric_limits<std::int64_t>::min();
    return -static_cast<std::int64_t>(magnitude);
}

constexpr std::uint64_t Magnitude(std::int64_t value) {
    return value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool AppendDigit(std::uint64_t& value, char digit, std::uint64_t limit) {
    const auto d = static_cast<std::uint64_t>(digit - '0');
    if (value > (limit - d) / 10)
        return false;
    value = value * 10 + d;
    return true;
}

// Whole hundredths of a magnitude in units, halves away from zero.
std::uint64_t CentsAwayFromZero(std::uint64_t magnitude) {
    return magnitude / 100 + (magnitude % 100 >= 50 ? 1 : 0);
}

} // namespace

std::optional<Money> Money::Parse(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);

    std::size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    const std::uint64_t limit = MaxMagnitude(negative);

    std::uint64_t magnitude = 0;
    std::size_t digits = 0;
    for (; pos < text.size() && IsDigit(text[pos]); ++pos, ++digits)
        if (!AppendDigit(magnitude, text[pos], limit / Scale))
            return std::nullopt;
    magnitude *= Scale;

    std::uint64_t fraction = 0;
    std::uint64_t fractionScale = Scale;
    char firstDropped = '0';
    bool nonZeroAfterFirstDropped = false;
    if (pos < text.size() && (text[pos] == '.' || text[pos] == ',')) {
        ++pos;
        for (std::size_t place = 0; pos < text.size() && IsDigit(text[pos]); ++pos, ++place, ++digits) {
            if (place < 4) {
                fractionScale /= 10;
                fraction += static_cast<std::uint64_t>(text[pos] - '0') * fractionScale;
            } else if (place == 4) {
                firstDropped = text[pos];
            } else if (text[pos] != '0') {
                nonZeroAfterFirstDropped = true;
            }
        }
    }
    if (digits == 0 || pos != text.size())
        return std::nullopt;
    if (fraction > limit - magnitude)
        return std::nullopt;
    magnitude += fraction;

    const bool roundUp =
        firstDropped > '5' || (firstDropped == '5' && (nonZeroAfterFirstDropped || magnitude % 2 != 0));
    if (roundUp) {
        if (magnitude == limit)
            return std::nullopt;
        ++magnitude;
    }
    return Money(Signed(magnitude, negative));
}

Money Money::FromDouble(double value) {
    if (!std::isfinite(value) || std::fabs(value) >= 1e15)
        throw std::out_of_range("Сумма вне допустимого диапазона");
    // Below half a unit everything rounds to nothing; the check also keeps the fixed notation short.
    if (std::fabs(value) < 1e-5)
        return Money();
    // The shortest decimal text that reads back as the same double is the amount the caller meant:
    // 1234.56 is 1234.56, not 1234.5599999999999.
    std::array<char, 64> buffer{};
    const auto [end, error] = common::ToCharsFixed(buffer.data(), buffer.data() + buffer.size(), value);
    std::optional<Money> money;
    if (error == std::errc())
        money = Parse(std::string_view(buffer.data(), static_cast<std::size_t>(end - buffer.data())));
    if (!money)
        throw std::out_of_range("Сумма вне допустимого диапазона");
    return *money;
}

Money Money::RoundToCentsEven() const {
    const std::uint64_t magnitude = Magnitude(units_);
    std::uint64_t cents = magnitude / 100;
    const std::uint64_t rest = magnitude % 100;
    if (rest > 50 || (rest == 50 && cents % 2 != 0))
        ++cents;
    // The nearest whole hundredth of any representable amount is representable as well.
    return Money(Signed(cents * 100, units_ < 0));
}

Money Money::MulDiv(std::int64_t numerator, std::int64_t denominator) const {
    if (denominator <= 0 || numerator < -MulDivFactorLimit || numerator > MulDivFactorLimit ||
        denominator > MulDivFactorLimit)
        throw std::invalid_argument("Недопустимый множитель суммы");
    // units * n / d = q * n + r * n / d with q, r the quotient and remainder of units / d; r * n stays small.
    const std::int64_t q = units_ / denominator;
    const std::int64_t r = units_ % denominator;
    std::int64_t whole = 0;
    if (__builtin_mul_overflow(q, numerator, &whole))
        throw std::overflow_error("Сумма вне допустимого диапазона");
    const std::int64_t partial = r * numerator;
    std::int64_t result = 0;
    if (__builtin_add_overflow(whole, partial / denominator, &result))
        throw std::overflow_error("Сумма вне допустимого диапазона");
    const std::int64_t rest = partial % denominator;
    const std::int64_t twiceRest = (rest < 0 ? -rest : rest) * 2;
    if (twiceRest > denominator || (twiceRest == denominator && result % 2 != 0)) {
        if (__builtin_add_overflow(result, rest < 0 ? -1 : 1, &result))
            throw std::overflow_error("Сумма вне допустимого диапазона");
    }
    return Money(result);
}

std::string Money::ToStorageText() const {
    const std::uint64_t magnitude = Magnitude(units_);
    std::string text = units_ < 0 ? "-" : "";
    text += std::to_string(magnitude / Scale);
    std::uint64_t fraction = magnitude % Scale;
    if (fraction != 0) {
        std::string digits = std::to_string(fraction);
        digits.insert(0, 4 - digits.size(), '0');
        while (digits.back() == '0')
            digits.pop_back();
        text += '.';
        text += digits;
    }
    return text;
}

std::string Money::Format2(char separator) const {
    const std::uint64_t cents = CentsAwayFromZero(Magnitude(units_));
    // An amount that rounds to nothing carries no sign.
    std::string text = units_ < 0 && cents != 0 ? "-" : "";
    text += std::to_string(cents / 100);
    text += separator;
    const std::uint64_t hundredths = cents % 100;
    text += static_cast<char>('0' + hundredths / 10);
    text += static_cast<char>('0' + hundredths % 10);
    return text;
}

std::string Money::FormatEq(char separator) const {
    return "=" + Format2(separator);
}

} // namespace veltrano
