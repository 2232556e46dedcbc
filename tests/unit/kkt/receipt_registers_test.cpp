#include "kkt/operations/shift_operations.h"
#include "receipt_fixture.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

namespace veltrano::kkt::testing {
namespace {

using Fields = std::vector<std::pair<std::string, std::string>>;

// Seven rates, every payment type and change: total 875.00, cash kept 625.00.
std::string EveryPaymentPackage(int operationType) {
    return R"(<CheckPackage><Parameters CashierName="Регистров Р.Р." OperationType=")" +
           std::to_string(operationType) + R"("/><Positions>
  <FiscalString Name="A" Quantity="1" PriceWithDiscount="120" AmountWithDiscount="120" VATRate="20"/>
  <FiscalString Name="B" Quantity="1" PriceWithDiscount="110" AmountWithDiscount="110" VATRate="10"/>
  <FiscalString Name="C" Quantity="2" PriceWithDiscount="120" AmountWithDiscount="240" VATRate="20/120"/>
  <FiscalString Name="D" Quantity="1" PriceWithDiscount="220" AmountWithDiscount="220" VATRate="10/110"/>
  <FiscalString Name="E" Quantity="1" PriceWithDiscount="50" AmountWithDiscount="50" VATRate="0"/>
  <FiscalString Name="F" Quantity="1" PriceWithDiscount="30" AmountWithDiscount="30" VATRate="none"/>
  <FiscalString Name="G" Quantity="1" PriceWithDiscount="105" AmountWithDiscount="105" VATRate="5"/>
</Positions><Payments Cash="700" ElectronicPayment="100" PrePayment="75" PostPayment="50" Barter="25"/>
</CheckPackage>)";
}

struct KindCase {
    const char* name;
    int operationType;
    int k;
    const char* drawerAfter;
};

class ReceiptRegisters : public ReceiptTest, public ::testing::WithParamInterface<KindCase> {};

TEST_P(ReceiptRegisters, AddThePaymentsAndTheVatToTheSlotsOfTheKind) {
    const KindCase& kind = GetParam();
    PutCash(Money::FromWhole(1000));

    const std::string output = Check(EveryPaymentPackage(kind.operationType));

    EXPECT_EQ(output.substr(0, output.find(" DateTime=")),
              "<DocumentOutputParameters><Parameters ShiftNumber=\"1\" CheckNumber=\"2\" "
              "ShiftClosingCheckNumber=\"1\"");
    EXPECT_EQ(StoredValue("M241"), kind.drawerAfter);
    const int k = kind.k;
    const Fields changed{
        {"M" + std::to_string(72 + k), "625"},  {"M" + std::to_string(76 + k), "100"},
        {"M" + std::to_string(80 + k), "75"},   {"M" + std::to_string(84 + k), "50"},
        {"M" + std::to_string(88 + k), "25"},   {"M" + std::to_string(193 + k), "625"},
        {"M" + std::to_string(197 + k), "100"}, {"M" + std::to_string(201 + k), "75"},
        {"M" + std::to_string(205 + k), "50"},  {"M" + std::to_string(209 + k), "25"},
        {"M" + std::to_string(92 + k), "20"},   {"M" + std::to_string(96 + k), "10"},
        {"M" + std::to_string(108 + k), "40"},  {"M" + std::to_string(112 + k), "20"},
        {"O" + std::to_string(144 + k), "1"},
    };
    std::set<std::string> seen;
    for (const auto& [field, value] : changed) {
        EXPECT_EQ(StoredValue(field), value) << field;
        seen.insert(field);
    }
    // Every other register of receipts stays 0, the 0 % and without-VAT slots included.
    auto expectZeroUnlessChanged = [&](const char* bank, int first, int last) {
        for (int index = first; index <= last; ++index) {
            const std::string field = bank + std::to_string(index);
            if (!seen.contains(field)) {
                EXPECT_EQ(StoredValue(field), "0") << field;
            }
        }
    };
    expectZeroUnlessChanged("M", 72, 115);
    expectZeroUnlessChanged("M", 193, 212);
    expectZeroUnlessChanged("O", 144, 147);

    const Fields counters{{"DayCounter", "1"},           {"DayState", "1"},        {"ReceiptNumber", "1"},
                          {"TotalReceiptCounter", "2"},  {"TotalDocCounter", "3"}, {"FiscalDocCounter", "2"},
                          {"TotalFiscalDocCounter", "2"}};
    for (const auto& [field, value] : counters)
        EXPECT_EQ(StoredValue(field), value) << field;
}

INSTANTIATE_TEST_SUITE_P(EveryKind, ReceiptRegisters,
                         ::testing::Values(KindCase{"Sale", 1, 0, "1625"}, KindCase{"Purchase", 3, 1, "375"},
                                           KindCase{"SaleReturn", 2, 2, "375"},
                                           KindCase{"PurchaseReturn", 4, 3, "1625"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReceiptTest, ReceiptsOfAShiftAddUpAndNumberOnInTheHeader) {
    PutCash(Money::FromWhole(1000));
    const std::string sale = R"(<P><Parameters OperationType="1" CashierName="К"/><Positions>
  <FiscalString Name="A" Quantity="1" PriceWithDiscount="100" AmountWithDiscount="100" VATRate="20"/>
</Positions><Payments Cash="100"/></P>)";
    Check(sale);
    NewOutputLines();
    const std::string second = Check(sale);

    EXPECT_EQ(MaskFiscalSign(NewOutputLines()).at(2), Line("ЗН ККТ:12345678", "СМЕНА:1 ЧЕК:2"));
    EXPECT_NE(second.find("CheckNumber=\"3\" ShiftClosingCheckNumber=\"2\""), std::string::npos) << second;
    EXPECT_EQ(StoredValue("M72"), "200");
    EXPECT_EQ(StoredValue("M92"), "33.3334");
    EXPECT_EQ(StoredValue("O144"), "2");
    EXPECT_EQ(StoredValue("M241"), "1200");

    // The shift's state reports the receipts through their registers.
    pugi::xml_document status = EmptyOutput();
    GetCurrentStatus(Instance(), status);
    const pugi::xml_node counters =
        status.child("OutputParameters").child("Parameters").child("CountersOperationType1");
    EXPECT_STREQ(counters.attribute("CheckCount").value(), "2");
    EXPECT_STREQ(counters.attribute("TotalChecksAmount").value(), "200");
}

} // namespace
} // namespace veltrano::kkt::testing
