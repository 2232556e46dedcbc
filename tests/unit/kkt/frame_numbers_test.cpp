#include "common/money.h"
#include "frame_fixture.h"
#include "kkt/frame/document_clock.h"
#include "kkt/frame/fiscal_sign.h"
#include "kkt/frame/storage_numbers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <regex>
#include <set>
#include <stdexcept>
#include <string>

namespace veltrano::kkt::testing {
namespace {

struct CountCase {
    std::int64_t count;
    const char* text;
};

class CountFormat : public ::testing::TestWithParam<CountCase> {};

TEST_P(CountFormat, PadsToAtLeastFourDigits) {
    EXPECT_EQ(FormatCount(GetParam().count), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Counts, CountFormat,
    ::testing::Values(CountCase{0, "0000"}, CountCase{3, "0003"}, CountCase{9999, "9999"},
                      CountCase{12345, "12345"}, CountCase{-5, "-005"},
                      CountCase{std::numeric_limits<std::int64_t>::min(), "-9223372036854775808"}));

TEST(MomentText, IsTheIsoDateAndTime) {
    EXPECT_EQ(MomentText({2024, 5, 1, 13, 45, 7, 999}), "2024-05-01T13:45:07");
    EXPECT_EQ(MomentText({1999, 12, 31, 0, 0, 0, 0}), "1999-12-31T00:00:00");
}

TEST(FiscalSign, IsTenDigitsBelowTheLimitAndDrawnAnew) {
    const std::regex tenDigits("0[0-9]{9}");
    std::set<std::string> seen;
    for (int draw = 0; draw < 1000; ++draw) {
        const std::string sign = NewFiscalSign();
        ASSERT_TRUE(std::regex_match(sign, tenDigits)) << sign;
        seen.insert(sign);
    }
    EXPECT_GT(seen.size(), 990u);
}

// Field values as a hand edit may leave them: numbers are taken, anything else names the field.
struct ReadCase {
    const char* stored;
    const char* integer; // the whole number read, or the failure
    const char* amount;  // the amount read in storage form, or the failure
};

class StoredNumbers : public KktInstanceTest, public ::testing::WithParamInterface<ReadCase> {};

std::string Outcome(const std::function<std::string()>& read) {
    try {
        return read();
    } catch (const std::exception& error) {
        return error.what();
    }
}

TEST_P(StoredNumbers, AreReadAsWholeNumbersAndAmounts) {
    EditStorage({{"O153", GetParam().stored}});
    (void)Storage().Load();
    EXPECT_EQ(Outcome([&] { return std::to_string(ReadInteger(Storage(), "O153")); }), GetParam().integer);
    EXPECT_EQ(Outcome([&] { return ReadAmount(Storage(), "O153").ToStorageText(); }), GetParam().amount);
}

INSTANTIATE_TEST_SUITE_P(
    Values, StoredNumbers,
    ::testing::Values(ReadCase{" 42 ", "42", "42"}, ReadCase{"+7", "7", "7"}, ReadCase{"-3", "-3", "-3"},
                      ReadCase{"12,5", "Значение поля O153 в ФН не является числом: \"12.5\"", "12.5"},
                      ReadCase{"", "Значение поля O153 в ФН не является числом: \"\"",
                               "Значение поля O153 в ФН не является числом: \"\""},
                      ReadCase{"abc", "Значение поля O153 в ФН не является числом: \"abc\"",
                               "Значение поля O153 в ФН не является числом: \"abc\""},
                      ReadCase{"99999999999999999999",
                               "Значение поля O153 в ФН не является числом: \"99999999999999999999\"",
                               "Значение поля O153 в ФН не является числом: \"99999999999999999999\""}));

TEST_F(KktInstanceTest, IncreaseCounterWritesTheNextWholeNumberInMemory) {
    EditStorage({{"TotalDocCounter", "41"}});
    (void)Storage().Load();
    EXPECT_EQ(IncreaseCounter(Storage(), "TotalDocCounter"), 42);
    EXPECT_EQ(Storage().Value("TotalDocCounter"), "42");
    EXPECT_EQ(StoredValue("TotalDocCounter"), "41");
}

TEST_F(KktInstanceTest, ACounterAtItsLimitIsNotWrappedRound) {
    EditStorage({{"TotalDocCounter", "9223372036854775807"}});
    (void)Storage().Load();
    EXPECT_THROW(IncreaseCounter(Storage(), "TotalDocCounter"), std::overflow_error);
    EXPECT_EQ(Storage().Value("TotalDocCounter"), "9223372036854775807");
}

TEST(AmountSums, AreExactAndRefuseToWrapRound) {
    EXPECT_EQ(SumAmounts({*Money::Parse("0.1"), *Money::Parse("0.2"), *Money::Parse("-0.3")}), Money());
    const Money largest = Money::FromUnits(std::numeric_limits<std::int64_t>::max());
    const Money smallest = Money::FromUnits(std::numeric_limits<std::int64_t>::min());
    EXPECT_THROW(AddAmounts(largest, Money::FromUnits(1)), std::overflow_error);
    EXPECT_THROW(AddAmounts(smallest, Money::FromUnits(-1)), std::overflow_error);
    EXPECT_EQ(AddAmounts(largest, smallest), Money::FromUnits(-1));
    EXPECT_THROW(NegateAmount(smallest), std::overflow_error);
    EXPECT_EQ(NegateAmount(largest), Money::FromUnits(-std::numeric_limits<std::int64_t>::max()));
}

} // namespace
} // namespace veltrano::kkt::testing
