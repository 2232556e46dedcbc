// Money: a signed 64-bit count of 1/10000 units. Sums are exact; no floating point in a sum.
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace veltrano {

class Money {
public:
    static constexpr std::int64_t Scale = 10000;

    constexpr Money() = default;
    static constexpr Money FromUnits(std::int64_t units) { return Money(units); }
    static constexpr Money FromWhole(std::int64_t whole) { return Money(whole * Scale); }
    constexpr std::int64_t Units() const { return units_; }

    // Reads a decimal text with "." or "," as the separator, an optional sign and optional exponent-free
    // digits; digits beyond the fourth decimal round to the nearest unit, halves to even. Surrounding spaces
    // are allowed. Empty, malformed or out-of-range text gives nothing.
    static std::optional<Money> Parse(std::string_view text);
    // A floating-point amount rounded to the nearest unit, halves to even (amounts that come as host
    // numbers). The double is taken as its shortest decimal text, so 1234.56 gives exactly 12345600 units.
    // Infinities, NaN and amounts beyond the range throw std::out_of_range.
    static Money FromDouble(double value);

    // Rounded to whole hundredths (kopecks), halves to even.
    Money RoundToCentsEven() const;

    // The amount times numerator / denominator, computed exactly and rounded to the nearest unit, halves to
    // even (the VAT share of an amount: MulDiv(20, 120)). Both factors lie within MulDivFactorLimit and the
    // denominator is positive, else std::invalid_argument; a result beyond the range throws
    // std::overflow_error.
    static constexpr std::int64_t MulDivFactorLimit = std::int64_t{1} << 31;
    Money MulDiv(std::int64_t numerator, std::int64_t denominator) const;

    // Shortest decimal text with "." and no grouping: 12.5, -3, 0.0001 (the stored form).
    std::string ToStorageText() const;
    // Two decimals, halves away from zero, with the given separator: "12.50".
    std::string Format2(char separator = '.') const;
    // "=" followed by Format2: "=12.50".
    std::string FormatEq(char separator = '.') const;

    constexpr Money operator-() const { return Money(-units_); }
    constexpr Money& operator+=(Money other) {
        units_ += other.units_;
        return *this;
    }
    constexpr Money& operator-=(Money other) {
        units_ -= other.units_;
        return *this;
    }
    friend constexpr Money operator+(Money a, Money b) { return Money(a.units_ + b.units_); }
    friend constexpr Money operator-(Money a, Money b) { return Money(a.units_ - b.units_); }
    friend constexpr auto operator<=>(Money a, Money b) = default;

private:
    constexpr explicit Money(std::int64_t units) : units_(units) {}
    std::int64_t units_ = 0;
};

} // namespace veltrano
