#include "kkt/operations/marking_code.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace veltrano::kkt {
namespace {

const std::string GS = "\x1D";
// 0460123456789 with its check digit 3.
const std::string Gtin = "04601234567893";
const std::string Crypto44 = "dGVzdGNyeXB0b3RhaWxmb3JtYXJraW5nY29kZXNhYmNk";

struct ParsedCase {
    const char* name;
    std::string code;
    std::string serial;
    std::string tail;
};

class MarkingCodesThatParse : public ::testing::TestWithParam<ParsedCase> {};

TEST_P(MarkingCodesThatParse, GiveTheirGtinSerialAndTail) {
    const std::optional<MarkingCode> code = ParseMarkingCode(GetParam().code);
    ASSERT_TRUE(code.has_value()) << GetParam().name;
    EXPECT_EQ(code->Gtin, Gtin);
    EXPECT_EQ(code->Serial, GetParam().serial);
    EXPECT_EQ(code->Tail, GetParam().tail);
    EXPECT_EQ(MarkingCodeKey(GetParam().code), "01" + Gtin + "21" + GetParam().serial);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MarkingCodesThatParse,
    ::testing::Values(
        // Shoes and clothes: a 13-character serial, the verification key and the 44-character code.
        ParsedCase{"LongCodeWithSeparators",
                   "01" + Gtin + "215'aB<dE9fGhJk" + GS + "91EE06" + GS + "92" + Crypto44, "5'aB<dE9fGhJk",
                   "91EE0692" + Crypto44},
        ParsedCase{"LongCodeWithoutSeparators", "01" + Gtin + "215'aB<dE9fGhJk91EE0692" + Crypto44,
                   "5'aB<dE9fGhJk", "91EE0692" + Crypto44},
        ParsedCase{"LeadingSeparator",
                   GS + "01" + Gtin + "215'aB<dE9fGhJk" + GS + "91EE06" + GS + "92" + Crypto44,
                   "5'aB<dE9fGhJk", "91EE0692" + Crypto44},
        // Dairy and water: a 6-character serial and the short crypto code.
        ParsedCase{"ShortCodeWithSeparator", "01" + Gtin + "21Qw3rTy" + GS + "93dGVz", "Qw3rTy", "93dGVz"},
        ParsedCase{"ShortCodeWithoutSeparator", "01" + Gtin + "21Qw3rTy93dGVz", "Qw3rTy", "93dGVz"},
        // Tobacco blocks: a 7-character serial, the price and the short code.
        ParsedCase{"PriceBeforeTheCrypto", "01" + Gtin + "21AbC1234" + GS + "8005112000" + GS + "93dGVz",
                   "AbC1234", "800511200093dGVz"},
        // A serial of unusual length is found where the rest reads as a tail.
        ParsedCase{"UnusualSerialWithoutSeparator", "01" + Gtin + "21XYZ93dGVz", "XYZ", "93dGVz"},
        ParsedCase{"WeightAndExpiry",
                   "01" + Gtin + "21Qw3rTy" + GS + "3103000750" + GS + "17261231" + GS + "93dGVz", "Qw3rTy",
                   "31030007501726123193dGVz"}),
    [](const auto& info) { return std::string(info.param.name); });

struct BrokenCase {
    const char* name;
    std::string code;
};

class MarkingCodesThatDoNotParse : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(MarkingCodesThatDoNotParse, AreTheirOwnKey) {
    EXPECT_FALSE(ParseMarkingCode(GetParam().code).has_value()) << GetParam().name;
    EXPECT_EQ(MarkingCodeKey(GetParam().code), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MarkingCodesThatDoNotParse,
    ::testing::Values(BrokenCase{"Empty", ""}, BrokenCase{"OnlyTheGtin", "01" + Gtin},
                      BrokenCase{"WrongCheckDigit", "0104601234567894"
                                                    "21Qw3rTy" +
                                                        GS + "93dGVz"},
                      BrokenCase{"GtinWithALetter", "010460123456789A21Qw3rTy" + GS + "93dGVz"},
                      BrokenCase{"ShortGtin", "0146012345678921Qw3rTy93dGVz"},
                      BrokenCase{"NoSerialElement", "01" + Gtin + "22Qw3rTy" + GS + "93dGVz"},
                      BrokenCase{"NoCryptoTail", "01" + Gtin + "21Qw3rTy" + GS + "91EE06"},
                      BrokenCase{"CryptoCutShort", "01" + Gtin + "21Qw3rTy" + GS + "93dGV"},
                      BrokenCase{"LongCryptoCutShort", "01" + Gtin + "215'aB<dE9fGhJk" + GS + "91EE06" + GS +
                                                           "92" + Crypto44.substr(1)},
                      BrokenCase{"SerialLongerThan20",
                                 "01" + Gtin + "21ABCDEFGHIJKLMNOPQRSTU" + GS + "93dGVz"},
                      BrokenCase{"CharacterOutsideGs1", "01" + Gtin + "21Qw3r#y" + GS + "93dGVz"},
                      BrokenCase{"ElementTwice", "01" + Gtin + "21Qw3rTy" + GS + "93dGVz" + GS + "93dGVz"},
                      BrokenCase{"Cyrillic", "01" + Gtin + "21Щит" + GS + "93dGVz"},
                      BrokenCase{"EanOnly", "4601234567893"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MarkingCodeKey, IsTheSameForOneItemScannedWithAndWithoutSeparators) {
    EXPECT_EQ(MarkingCodeKey("01" + Gtin + "21Qw3rTy" + GS + "93dGVz"),
              MarkingCodeKey("01" + Gtin + "21Qw3rTy93dGVz"));
    EXPECT_NE(MarkingCodeKey("01" + Gtin + "21Qw3rTy93dGVz"), MarkingCodeKey("01" + Gtin + "21Qw3rTz93dGVz"));
}

} // namespace
} // namespace veltrano::kkt
