#include "common/decimal_chars.h"

#include <gtest/gtest.h>

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <locale>
#include <random>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace {

using veltrano::common::FromChars;
using veltrano::common::ToCharsFixed;

std::string Fixed(double value) {
    std::array<char, 400> buffer{};
    const auto [end, error] = ToCharsFixed(buffer.data(), buffer.data() + buffer.size(), value);
    EXPECT_EQ(error, std::errc()) << value;
    return std::string(buffer.data(), end);
}

// The standard library's own answer where it has one (g++ 11 and newer), the reference for both directions.
std::string StandardFixed(double value) {
    std::array<char, 400> buffer{};
    const auto [end, error] =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed);
    EXPECT_EQ(error, std::errc()) << value;
    return std::string(buffer.data(), end);
}

// Doubles of every magnitude and sign, from a fixed seed.
std::vector<double> SampleDoubles() {
    std::vector<double> values = {0.0,
                                  -0.0,
                                  1.0,
                                  -5.0,
                                  0.1,
                                  0.001,
                                  1234.56,
                                  730.5,
                                  1e15,
                                  1e22,
                                  1e23,
                                  5e-324,
                                  2.5e-7,
                                  9.995,
                                  1e-5,
                                  123456789012.3456,
                                  0.30000000000000004,
                                  std::numeric_limits<double>::max(),
                                  std::numeric_limits<double>::min(),
                                  4503599627370497.0};
    std::mt19937_64 random(20240501);
    while (values.size() < 3000) {
        const std::uint64_t bits = random();
        double value = 0;
        std::memcpy(&value, &bits, sizeof value);
        if (std::isfinite(value))
            values.push_back(value);
        // Amounts and quantities as a cash register sees them.
        values.push_back(static_cast<double>(random() % 100000000) / 100.0);
        values.push_back(static_cast<double>(random() % 1000000) / 1000.0);
    }
    return values;
}

TEST(DecimalChars, FixedTextIsTheStandardShortestAndReadsBack) {
    for (const double value : SampleDoubles()) {
        const std::string text = Fixed(value);
        ASSERT_EQ(text, StandardFixed(value)) << value;
        double back = 1;
        const auto [end, error] = FromChars(text.data(), text.data() + text.size(), back);
        ASSERT_EQ(error, std::errc()) << text;
        ASSERT_EQ(end, text.data() + text.size()) << text;
        ASSERT_EQ(back, value) << text;
        ASSERT_EQ(std::signbit(back), std::signbit(value)) << text;
    }
}

TEST(DecimalChars, FixedTextOfTheNonFinite) {
    EXPECT_EQ(Fixed(std::numeric_limits<double>::infinity()), "inf");
    EXPECT_EQ(Fixed(-std::numeric_limits<double>::infinity()), "-inf");
    EXPECT_EQ(Fixed(std::numeric_limits<double>::quiet_NaN()), "nan");
}

TEST(DecimalChars, FixedTextThatDoesNotFitIsRefused) {
    std::array<char, 4> buffer{};
    const auto result = ToCharsFixed(buffer.data(), buffer.data() + buffer.size(), 1234.5);
    EXPECT_EQ(result.ec, std::errc::value_too_large);
    EXPECT_EQ(result.ptr, buffer.data() + buffer.size());
}

struct ReadCase {
    std::string_view text;
    std::size_t used; // characters read
    std::errc error;
};

class DecimalRead : public ::testing::TestWithParam<ReadCase> {};

// Each text reads as the standard library reads it: the same prefix, the same value, the same error.
TEST_P(DecimalRead, ReadsTheLongestNumberAsTheStandardLibraryDoes) {
    const ReadCase& c = GetParam();
    const char* first = c.text.data();
    const char* last = first + c.text.size();
    double value = 42;
    const auto [end, error] = FromChars(first, last, value);
    EXPECT_EQ(error, c.error);
    EXPECT_EQ(static_cast<std::size_t>(end - first), c.used);
    double expected = 42;
    const auto standard = std::from_chars(first, last, expected);
    EXPECT_EQ(standard.ec, c.error);
    EXPECT_EQ(standard.ptr, end);
    EXPECT_EQ(value, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DecimalRead,
    ::testing::Values(
        ReadCase{"730.50", 6, std::errc()}, ReadCase{"-0.001", 6, std::errc()},
        ReadCase{"12", 2, std::errc()}, ReadCase{"5.", 2, std::errc()}, ReadCase{".5", 2, std::errc()},
        ReadCase{"-.25e2", 6, std::errc()}, ReadCase{"1E+3", 4, std::errc()},
        ReadCase{"15e-1x", 5, std::errc()}, ReadCase{"2e", 1, std::errc()}, ReadCase{"2e+", 1, std::errc()},
        ReadCase{"3.5.1", 3, std::errc()}, ReadCase{"1,5", 1, std::errc()}, ReadCase{"0x1p3", 1, std::errc()},
        ReadCase{"", 0, std::errc::invalid_argument}, ReadCase{".", 0, std::errc::invalid_argument},
        ReadCase{"-", 0, std::errc::invalid_argument}, ReadCase{"+1", 0, std::errc::invalid_argument},
        ReadCase{" 1", 0, std::errc::invalid_argument}, ReadCase{"e5", 0, std::errc::invalid_argument},
        ReadCase{"1e400", 5, std::errc::result_out_of_range},
        ReadCase{"-1e400", 6, std::errc::result_out_of_range}));

TEST(DecimalChars, ATooSmallNumberReadsAsZero) {
    const std::string_view text = "1e-400";
    double value = 42;
    const auto [end, error] = FromChars(text.data(), text.data() + text.size(), value);
    EXPECT_EQ(error, std::errc());
    EXPECT_EQ(end, text.data() + text.size());
    EXPECT_EQ(value, 0.0);
}

// The host process may run under a locale whose decimal separator is a comma; the text keeps its full stop.
struct CommaDecimals : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return ' '; }
    std::string do_grouping() const override { return "\3"; }
};

TEST(DecimalChars, TheProcessLocaleDoesNotMatter) {
    const std::locale saved = std::locale::global(std::locale(std::locale::classic(), new CommaDecimals));
    const std::string text = Fixed(1234.56);
    double value = 0;
    const std::string_view comma = "1,5";
    double commaValue = 0;
    const auto [end, error] = FromChars(text.data(), text.data() + text.size(), value);
    const auto commaEnd = FromChars(comma.data(), comma.data() + comma.size(), commaValue).ptr;
    std::locale::global(saved);
    EXPECT_EQ(text, "1234.56");
    EXPECT_EQ(error, std::errc());
    EXPECT_EQ(value, 1234.56);
    EXPECT_EQ(commaEnd, comma.data() + 1);
    EXPECT_EQ(commaValue, 1.0);
}

} // namespace
