#include "common/money.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string_view>

namespace {

using veltrano::Money;

constexpr std::int64_t MaxUnits = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t MinUnits = std::numeric_limits<std::int64_t>::min();

struct TextCase {
    std::int64_t units;
    std::string_view storage; // shortest form
    std::string_view two;     // two decimals, halves away from zero
};

class MoneyText : public ::testing::TestWithParam<TextCase> {};

TEST_P(MoneyText, StorageFormIsShortest) {
    EXPECT_EQ(Money::FromUnits(GetParam().units).ToStorageText(), GetParam().storage);
}

TEST_P(MoneyText, StorageFormReadsBack) {
    const auto back = Money::Parse(Money::FromUnits(GetParam().units).ToStorageText());
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->Units(), GetParam().units);
}

TEST_P(MoneyText, TwoDecimalsRoundHalvesAwayFromZero) {
    const Money money = Money::FromUnits(GetParam().units);
    EXPECT_EQ(money.Format2(), GetParam().two);
    EXPECT_EQ(money.FormatEq(), "=" + std::string(GetParam().two));
}

INSTANTIATE_TEST_SUITE_P(
    Table, MoneyText,
    ::testing::Values(TextCase{0, "0", "0.00"}, TextCase{125000, "12.5", "12.50"},
                      TextCase{-30000, "-3", "-3.00"}, TextCase{1, "0.0001", "0.00"},
                      TextCase{-1, "-0.0001", "0.00"}, TextCase{12345600, "1234.56", "1234.56"},
                      TextCase{50, "0.005", "0.01"}, TextCase{-50, "-0.005", "-0.01"},
                      TextCase{150, "0.015", "0.02"}, TextCase{250, "0.025", "0.03"},
                      TextCase{49, "0.0049", "0.00"}, TextCase{-49, "-0.0049", "0.00"},
                      TextCase{99950, "9.995", "10.00"}, TextCase{1000000, "100", "100.00"},
                      TextCase{10010, "1.001", "1.00"},
                      TextCase{MaxUnits, "922337203685477.5807", "922337203685477.58"},
                      TextCase{MinUnits, "-922337203685477.5808", "-922337203685477.58"}));

TEST(MoneyText, SeparatorIsTheCallersChoice) {
    const Money money = Money::FromUnits(-1234567);
    EXPECT_EQ(money.Format2(','), "-123,46");
    EXPECT_EQ(money.FormatEq(','), "=-123,46");
}

struct CentsCase {
    std::int64_t units;
    std::int64_t rounded;
};

class MoneyCents : public ::testing::TestWithParam<CentsCase> {};

TEST_P(MoneyCents, RoundsHalvesToEven) {
    EXPECT_EQ(Money::FromUnits(GetParam().units).RoundToCentsEven().Units(), GetParam().rounded);
}

INSTANTIATE_TEST_SUITE_P(Table, MoneyCents,
                         ::testing::Values(CentsCase{0, 0}, CentsCase{50, 0}, CentsCase{150, 200},
                                           CentsCase{250, 200}, CentsCase{251, 300}, CentsCase{149, 100},
                                           CentsCase{-50, 0}, CentsCase{-150, -200}, CentsCase{-251, -300},
                                           CentsCase{12345600, 12345600},
                                           CentsCase{MaxUnits, 9223372036854775800},
                                           CentsCase{MinUnits, -9223372036854775800}));

struct ShareCase {
    std::int64_t units;
    std::int64_t numerator;
    std::int64_t denominator;
    std::int64_t share;
};

class MoneyShare : public ::testing::TestWithParam<ShareCase> {};

TEST_P(MoneyShare, IsExactAndRoundsHalvesToEven) {
    const ShareCase& c = GetParam();
    EXPECT_EQ(Money::FromUnits(c.units).MulDiv(c.numerator, c.denominator).Units(), c.share);
}

// 3 units * 20 / 120 is exactly half a unit; 9 units is one and a half.
INSTANTIATE_TEST_SUITE_P(Table, MoneyShare,
                         ::testing::Values(ShareCase{1200000, 20, 120, 200000},
                                           ShareCase{1000000, 10, 110, 90909},
                                           ShareCase{1000000, 18, 118, 152542}, ShareCase{3, 20, 120, 0},
                                           ShareCase{9, 20, 120, 2}, ShareCase{15, 20, 120, 2},
                                           ShareCase{-3, 20, 120, 0}, ShareCase{-9, 20, 120, -2},
                                           ShareCase{-10, 20, 120, -2}, ShareCase{MaxUnits, 1, 1, MaxUnits},
                                           ShareCase{MaxUnits, 20, 120, 1537228672809129301},
                                           ShareCase{MinUnits, 5, 105, -439208192231179800},
                                           ShareCase{7, 0, 3, 0}, ShareCase{10, -1, 4, -2}));

TEST(MoneyShare, RefusesBadFactorsAndOverflow) {
    const Money amount = Money::FromWhole(10);
    EXPECT_THROW(amount.MulDiv(1, 0), std::invalid_argument);
    EXPECT_THROW(amount.MulDiv(1, -5), std::invalid_argument);
    EXPECT_THROW(amount.MulDiv(Money::MulDivFactorLimit + 1, 1), std::invalid_argument);
    EXPECT_THROW(Money::FromUnits(MaxUnits).MulDiv(2, 1), std::overflow_error);
    EXPECT_THROW(Money::FromUnits(MinUnits).MulDiv(-1, 1), std::overflow_error);
}

TEST(MoneySums, AreExact) {
    Money sum;
    for (int i = 0; i < 10; ++i)
        sum += *Money::Parse("0.1");
    EXPECT_EQ(sum, Money::FromWhole(1));
    EXPECT_EQ((Money::FromWhole(5) - *Money::Parse("0.0001")).ToStorageText(), "4.9999");
    EXPECT_EQ((-Money::FromWhole(5)).Units(), -50000);
}

} // namespace
