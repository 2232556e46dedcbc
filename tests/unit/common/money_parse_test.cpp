#include "common/money.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string_view>

namespace {

using veltrano::Money;

constexpr std::int64_t MaxUnits = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t MinUnits = std::numeric_limits<std::int64_t>::min();

struct ParseCase {
    std::string_view text;
    std::optional<std::int64_t> units;
};

class MoneyParse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(MoneyParse, ReadsTextToUnits) {
    const ParseCase& c = GetParam();
    const std::optional<Money> money = Money::Parse(c.text);
    if (!c.units) {
        EXPECT_FALSE(money.has_value()) << "'" << c.text << "' gave " << money->Units();
        return;
    }
    ASSERT_TRUE(money.has_value()) << "'" << c.text << "'";
    EXPECT_EQ(money->Units(), *c.units) << "'" << c.text << "'";
}

INSTANTIATE_TEST_SUITE_P(Separators, MoneyParse,
                         ::testing::Values(ParseCase{"0", 0}, ParseCase{"12", 120000},
                                           ParseCase{"12.5", 125000}, ParseCase{"12,5", 125000},
                                           ParseCase{"1234.56", 12345600}, ParseCase{"0.0001", 1},
                                           ParseCase{".5", 5000}, ParseCase{",25", 2500},
                                           ParseCase{"7.", 70000}, ParseCase{"007.10", 71000},
                                           ParseCase{"  42.5  ", 425000}));

INSTANTIATE_TEST_SUITE_P(Signs, MoneyParse,
                         ::testing::Values(ParseCase{"-3", -30000}, ParseCase{"+3", 30000},
                                           ParseCase{"-0.0001", -1}, ParseCase{"-0", 0},
                                           ParseCase{"-1234,56", -12345600}));

// Digits beyond the fourth decimal round to the nearest unit; an exact half goes to the even unit, on both
// sides.
INSTANTIATE_TEST_SUITE_P(HalvesToEven, MoneyParse,
                         ::testing::Values(ParseCase{"0.00005", 0}, ParseCase{"0.00015", 2},
                                           ParseCase{"0.00025", 2}, ParseCase{"0.000250000", 2},
                                           ParseCase{"0.000250001", 3}, ParseCase{"0.00024999", 2},
                                           ParseCase{"0.00016", 2}, ParseCase{"0.00014", 1},
                                           ParseCase{"-0.00015", -2}, ParseCase{"-0.00025", -2},
                                           ParseCase{"-0.000251", -3}, ParseCase{"1.99995", 20000},
                                           ParseCase{"9.99999999999", 100000}));

INSTANTIATE_TEST_SUITE_P(Range, MoneyParse,
                         ::testing::Values(ParseCase{"922337203685477.5807", MaxUnits},
                                           ParseCase{"-922337203685477.5808", MinUnits},
                                           ParseCase{"922337203685477.5808", std::nullopt},
                                           ParseCase{"-922337203685477.5809", std::nullopt},
                                           ParseCase{"922337203685477.58075", std::nullopt},
                                           ParseCase{"922337203685477.58074", MaxUnits},
                                           ParseCase{"1000000000000000", std::nullopt},
                                           ParseCase{"99999999999999999999999", std::nullopt}));

INSTANTIATE_TEST_SUITE_P(Garbage, MoneyParse,
                         ::testing::Values(ParseCase{"", std::nullopt}, ParseCase{"   ", std::nullopt},
                                           ParseCase{"-", std::nullopt}, ParseCase{".", std::nullopt},
                                           ParseCase{"+,", std::nullopt}, ParseCase{"1.2.3", std::nullopt},
                                           ParseCase{"1,2.3", std::nullopt}, ParseCase{"1 000", std::nullopt},
                                           ParseCase{"1e3", std::nullopt}, ParseCase{"12abc", std::nullopt},
                                           ParseCase{"--1", std::nullopt}, ParseCase{"0x10", std::nullopt},
                                           ParseCase{"\xD0\xBF", std::nullopt},
                                           ParseCase{"1\t", std::nullopt}, ParseCase{"NaN", std::nullopt}));

struct DoubleCase {
    double value;
    std::int64_t units;
};

class MoneyFromDouble : public ::testing::TestWithParam<DoubleCase> {};

TEST_P(MoneyFromDouble, RoundsTheMeantDecimal) {
    EXPECT_EQ(Money::FromDouble(GetParam().value).Units(), GetParam().units) << GetParam().value;
}

// 1234.56 * 10000 in floating point is 12345599.999999998; the amount meant is exactly 12345600 units.
INSTANTIATE_TEST_SUITE_P(Table, MoneyFromDouble,
                         ::testing::Values(DoubleCase{1234.56, 12345600}, DoubleCase{-1234.56, -12345600},
                                           DoubleCase{0.1, 1000}, DoubleCase{0.3, 3000},
                                           DoubleCase{1.005, 10050}, DoubleCase{0.0, 0}, DoubleCase{-0.0, 0},
                                           DoubleCase{0.00005, 0}, DoubleCase{0.00015, 2},
                                           DoubleCase{-0.00025, -2}, DoubleCase{0.000051, 1},
                                           DoubleCase{1e-300, 0}, DoubleCase{4.35, 43500},
                                           DoubleCase{99999999.99, 999999999900},
                                           DoubleCase{123456789012.3456, 1234567890123456}));

TEST(MoneyFromDouble, RefusesWhatNoAmountCanHold) {
    for (const double value :
         {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
          std::numeric_limits<double>::quiet_NaN(), 1e15, -1e300, 9.3e14})
        EXPECT_THROW(Money::FromDouble(value), std::out_of_range) << value;
}

} // namespace
