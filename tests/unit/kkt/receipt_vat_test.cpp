#include "kkt/operations/receipt_vat.h"
#include "kkt/vocab/tax_values.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace veltrano::kkt::testing {
namespace {

using SumLines = std::vector<std::pair<std::string, std::int64_t>>;

SumLines Lines(const VatTable& vat) {
    SumLines lines;
    for (const VatTable::SumLine& line : vat.SumLines())
        lines.emplace_back(std::string(line.label), line.sum.Units());
    return lines;
}

struct VatCase {
    int rate;
    std::int64_t amount;
    std::int64_t vat;
    const char* label;
};

class PositionVat : public ::testing::TestWithParam<VatCase> {};

// The VAT included in the amount, exact to 1/10000 with halves to even; at 0 % and without VAT the group sums
// the amounts themselves.
TEST_P(PositionVat, IsTheRatesShareOfTheAmount) {
    const VatCase& c = GetParam();
    VatTable vat;
    EXPECT_EQ(vat.Add(c.rate, Money::FromUnits(c.amount)).Units(), c.vat);
    // A group that sums to nothing prints no line.
    const SumLines expected = c.vat == 0 ? SumLines{} : SumLines{{c.label, c.vat}};
    EXPECT_EQ(Lines(vat), expected);
}

INSTANTIATE_TEST_SUITE_P(EveryRate, PositionVat,
                         ::testing::Values(VatCase{Vat20, 1000000, 166667, "СУММА НДС 20%"},
                                           VatCase{Vat18, 1000000, 152542, "СУММА НДС 18%"},
                                           VatCase{Vat10, 1000000, 90909, "СУММА НДС 10%"},
                                           VatCase{Vat0, 1000000, 1000000, "СУММА НДС 0%"},
                                           VatCase{VatWithout, 1234567, 1234567, "СУММА БЕЗ НДС"},
                                           VatCase{Vat20_120, 1000000, 166667, "СУММА НДС 20/120"},
                                           VatCase{Vat18_118, 1000000, 152542, "СУММА НДС 18/118"},
                                           VatCase{Vat10_110, 1205000, 109545, "СУММА НДС 10/110"},
                                           VatCase{Vat5, 1000000, 47619, "СУММА НДС 5%"},
                                           VatCase{Vat7, 1000000, 65421, "СУММА НДС 7%"},
                                           VatCase{Vat5_105, 25000000, 1190476, "СУММА НДС 5/105"},
                                           VatCase{Vat7_107, 1070000, 70000, "СУММА НДС 7/107"},
                                           VatCase{Vat22, 1000000, 180328, "СУММА НДС 22%"},
                                           VatCase{Vat22_122, 1220000, 220000, "СУММА НДС 22/122"}));

INSTANTIATE_TEST_SUITE_P(ExactHalvesGoToEven, PositionVat,
                         ::testing::Values(VatCase{Vat20, 3, 0, "СУММА НДС 20%"},
                                           VatCase{Vat20, 9, 2, "СУММА НДС 20%"},
                                           VatCase{Vat20, -9, -2, "СУММА НДС 20%"},
                                           VatCase{Vat20, 15, 2, "СУММА НДС 20%"},
                                           VatCase{Vat20_120, 21, 4, "СУММА НДС 20/120"}));

TEST(VatTable, SumsTheUnroundedVatOfEveryPosition) {
    VatTable vat;
    vat.Add(Vat20, Money::FromWhole(100));
    vat.Add(Vat20, Money::FromWhole(100));
    vat.Add(Vat10_110, Money::FromWhole(11));
    EXPECT_EQ(vat.Sum20Or18().Units(), 333334);
    EXPECT_EQ(vat.Sum10_110().Units(), 10000);
    EXPECT_EQ(vat.Sum10().Units(), 0);
    EXPECT_EQ(vat.Sum20_120Or18_118().Units(), 0);
}

TEST(VatTable, PrintsTheGroupsThatAreNotZeroInTheirOrder) {
    VatTable vat;
    for (int rate : {Vat7_107, Vat5_105, Vat7, Vat5, Vat10_110, Vat18_118, VatWithout, Vat0, Vat10, Vat18})
        vat.Add(rate, Money::FromWhole(107));
    vat.Add(Vat0, Money::FromWhole(-107));
    EXPECT_EQ(Lines(vat), (SumLines{{"СУММА НДС 18%", 163220},
                                    {"СУММА НДС 10%", 97273},
                                    {"СУММА БЕЗ НДС", 1070000},
                                    {"СУММА НДС 18/118", 163220},
                                    {"СУММА НДС 10/110", 97273},
                                    {"СУММА НДС 5%", 50952},
                                    {"СУММА НДС 7%", 70000},
                                    {"СУММА НДС 5/105", 50952},
                                    {"СУММА НДС 7/107", 70000}}));
}

TEST(VatTable, Takes20PercentTogetherWith20Over120) {
    VatTable vat;
    vat.Add(Vat20, Money::FromWhole(120));
    vat.Add(Vat20_120, Money::FromWhole(240));
    vat.Add(Vat20, Money::FromWhole(120));
    EXPECT_EQ(Lines(vat), (SumLines{{"СУММА НДС 20%", 400000}, {"СУММА НДС 20/120", 400000}}));
}

struct PairCase {
    int first;
    int second;
};

class RatePairs : public ::testing::TestWithParam<PairCase> {};

TEST_P(RatePairs, RefuseTheSecondRateOfAPair) {
    VatTable vat;
    vat.Add(GetParam().first, Money::FromWhole(10));
    try {
        vat.Add(GetParam().second, Money::FromWhole(10));
        ADD_FAILURE() << "the second rate was taken";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "Недопустимо сочетание налогов 20% и 18% в одном документе");
    }
}

INSTANTIATE_TEST_SUITE_P(Table, RatePairs,
                         ::testing::Values(PairCase{Vat20, Vat18}, PairCase{Vat18, Vat20},
                                           PairCase{Vat20_120, Vat18_118}, PairCase{Vat18_118, Vat20_120}));

TEST(VatTable, FailsForARateNumberOutsideTheList) {
    VatTable vat;
    EXPECT_THROW(vat.Add(0, Money::FromWhole(1)), std::runtime_error);
    EXPECT_THROW(vat.Add(15, Money::FromWhole(1)), std::runtime_error);
}

TEST(VatTable, Keeps22PercentApartFromEveryOtherGroup) {
    VatTable vat;
    vat.Add(Vat22, Money::FromWhole(122));
    vat.Add(Vat22_122, Money::FromWhole(244));
    vat.Add(Vat22, Money::FromWhole(122));
    // 18 % and 18/118 are no 20 %: they go with 22 %, and so does 10 %.
    vat.Add(Vat18, Money::FromWhole(118));
    vat.Add(Vat18_118, Money::FromWhole(118));
    vat.Add(Vat10, Money::FromWhole(110));
    EXPECT_EQ(vat.Sum22().Units(), 440000);
    EXPECT_EQ(vat.Sum22_122().Units(), 440000);
    EXPECT_EQ(vat.Sum20Or18().Units(), 180000);
    EXPECT_EQ(vat.Sum20_120Or18_118().Units(), 180000);
    EXPECT_EQ(Lines(vat), (SumLines{{"СУММА НДС 18%", 180000},
                                    {"СУММА НДС 10%", 100000},
                                    {"СУММА НДС 18/118", 180000},
                                    {"СУММА НДС 22%", 440000},
                                    {"СУММА НДС 22/122", 440000}}));
}

class Rates22And20 : public ::testing::TestWithParam<PairCase> {};

// Even a position of nothing claims its rate.
TEST_P(Rates22And20, RefuseTheSecondOfThem) {
    VatTable vat;
    vat.Add(GetParam().first, Money());
    try {
        vat.Add(GetParam().second, Money::FromWhole(10));
        ADD_FAILURE() << "the second rate was taken";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "Недопустимо сочетание налогов 22% и 20% в одном документе");
    }
}

INSTANTIATE_TEST_SUITE_P(Table, Rates22And20,
                         ::testing::Values(PairCase{Vat22, Vat20}, PairCase{Vat20, Vat22},
                                           PairCase{Vat22_122, Vat20_120}, PairCase{Vat20_120, Vat22_122}));

TEST(VatTable, RefusesAGroupSumBeyondTheRangeOfAmounts) {
    VatTable vat;
    const Money large = Money::FromWhole(900'000'000'000'000);
    vat.Add(VatWithout, large);
    EXPECT_THROW(vat.Add(VatWithout, large), std::overflow_error);
}

} // namespace
} // namespace veltrano::kkt::testing
