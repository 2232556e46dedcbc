#include "kkt/operations/receipt_codes.h"
#include "kkt/operations/receipt_format.h"
#include "kkt/operations/receipt_qr.h"

#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>
#include <string>

namespace veltrano::kkt::testing {
namespace {

struct MarkingCase {
    const char* base64;
    std::string shown;
};

class MarkingCodes : public ::testing::TestWithParam<MarkingCase> {};

TEST_P(MarkingCodes, AreReadInCodePage1251WithTheGroupSeparatorShown) {
    EXPECT_EQ(ShownMarkingCode(MarkingCodeBytes(GetParam().base64)), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Table, MarkingCodes,
                         ::testing::Values(MarkingCase{"MDEwNDYwHTIxYWLg", "010460<0x1D>21abа"},
                                           MarkingCase{"HR0d", "<0x1D><0x1D><0x1D>"},
                                           MarkingCase{" MDQ2MDEyMzQ1Njc4OQ== ", "0460123456789"},
                                           MarkingCase{"z/Do4uXy", "Привет"},
                                           MarkingCase{"AA==", std::string(1, '\0')}));

TEST(MarkingCodes, ThatAreNoBase64FailClearly) {
    for (const char* text : {"MDEwNDYw!", "Z", "Zg=Zg", "кодмаркировки"}) {
        try {
            MarkingCodeBytes(text);
            ADD_FAILURE() << text << " was decoded";
        } catch (const std::runtime_error& error) {
            EXPECT_STREQ(error.what(), "Код маркировки позиции не является текстом Base64") << text;
        }
    }
}

TEST(BarcodeValues, AreReadAsUtf8) {
    EXPECT_EQ(DecodeBarcodeValue("aHR0cHM6Ly9leGFtcGxlLnJ1L9GH0LXQug=="), "https://example.ru/чек");
    // A broken sequence becomes the replacement character instead of reaching the layout.
    EXPECT_EQ(DecodeBarcodeValue("QdBC"), "A\xEF\xBF\xBD"
                                          "B");
    EXPECT_THROW(DecodeBarcodeValue("@@@"), std::runtime_error);
}

struct QuantityCase {
    double quantity;
    const char* text;
};

class Quantities : public ::testing::TestWithParam<QuantityCase> {};

TEST_P(Quantities, HaveThreeDecimalsHalvesAwayFromZero) {
    EXPECT_EQ(FormatQuantity(GetParam().quantity, '.'), GetParam().text) << GetParam().quantity;
}

INSTANTIATE_TEST_SUITE_P(Table, Quantities,
                         ::testing::Values(QuantityCase{0, "0.000"}, QuantityCase{2, "2.000"},
                                           QuantityCase{1.5, "1.500"}, QuantityCase{0.0005, "0.001"},
                                           QuantityCase{1.0005, "1.001"}, QuantityCase{2.0004999, "2.000"},
                                           QuantityCase{-1.0005, "-1.001"}, QuantityCase{-0.0004, "0.000"},
                                           QuantityCase{9.9995, "10.000"}, QuantityCase{999.9999, "1000.000"},
                                           QuantityCase{123456.789, "123456.789"},
                                           QuantityCase{1e-300, "0.000"},
                                           QuantityCase{1e20, "100000000000000000000.000"}));

TEST(Quantities, UseTheGivenSeparatorAndSurviveTheLargestDouble) {
    EXPECT_EQ(FormatQuantity(2.5, ','), "2,500");
    const std::string largest = FormatQuantity(std::numeric_limits<double>::max(), '.');
    EXPECT_EQ(largest.substr(0, 6), "179769");
    EXPECT_EQ(largest.size(), 309u + 4u);
}

TEST(ReceiptQRString, JoinsMomentTotalStorageDocumentSignAndKind) {
    EXPECT_EQ(ReceiptQRString(moment::DateTime{2024, 1, 31, 15, 45, 2, 0}, Money::FromUnits(1205000),
                              "9999000000000000", 17, "0123456789", ReceiptKind::PurchaseReturn),
              "t=20240131T154502&s=120.50&fn=9999000000000000&i=17&fp=0123456789&n=4");
    EXPECT_EQ(ReceiptQRString(moment::DateTime{2019, 12, 1, 0, 0, 0, 0}, Money::FromUnits(5), "1", 1,
                              "0000000000", ReceiptKind::Sale),
              "t=20191201T000000&s=0.00&fn=1&i=1&fp=0000000000&n=1");
}

} // namespace
} // namespace veltrano::kkt::testing
