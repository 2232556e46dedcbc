#include "receipt_fixture.h"

#include <gtest/gtest.h>

#include <string>

namespace veltrano::kkt::testing {
namespace {

const Lines Separator{BlankLine(), RuleLine()};

TEST_F(ReceiptTest, AnEmptyReceiptTotalsZeroAndStillCounts) {
    const std::string output = Check("<P><Parameters OperationType=\"1\"/><Positions/><Payments/></P>");

    const Lines expected = Concat({
        ReceiptHeader("СМЕНА:1 ЧЕК:1", "", "#0002"),
        {
            Line("Кассовый чек/приход"),
            Line("ИТОГО", "=0.00"),
            Line("  НАЛИЧНЫМИ", "=0.00"),
            Line("ПОЛУЧЕНО:"),
            Line("СНО:ОСН", "ФД:2 ФП:##########"),
        },
        Separator,
    });
    EXPECT_EQ(MaskFiscalSign(NewOutputLines()), expected);
    EXPECT_EQ(StoredValue("ReceiptNumber"), "1");
    EXPECT_EQ(StoredValue("O144"), "1");
    EXPECT_EQ(StoredValue("M72"), "0");
    EXPECT_EQ(StoredValue("M241"), "0");
    const Lines buffer = BufferTexts();
    EXPECT_EQ(buffer.at(buffer.size() - 3).substr(0, 27), "t=20240501T134507&s=0.00&fn");
}

TEST_F(ReceiptTest, ChangeComesOutOfTheDrawerAndOnlyTheTotalStaysIn) {
    PutCash(Money::FromUnits(3795000));
    Check(R"(<P><Parameters OperationType="1" CashierName="К"/><Positions>
  <FiscalString Name="Сыр" Quantity="0.5" PriceWithDiscount="241" AmountWithDiscount="120.50" VATRate="10"/>
</Positions><Payments Cash="500"/></P>)");

    const Lines printed = NewOutputLines();
    const Lines payments(printed.end() - 9, printed.end() - 3);
    EXPECT_EQ(payments, (Lines{Line("ИТОГО", "=120.50"), Line("  НАЛИЧНЫМИ", "=120.50"), Line("ПОЛУЧЕНО:"),
                               Line("  НАЛИЧНЫМИ", "=500.00"), Line("СДАЧА", "=379.50"),
                               Line("СУММА НДС 10%", "=10.95")}));
    EXPECT_EQ(StoredValue("M241"), "500");
    EXPECT_EQ(StoredValue("M72"), "120.5");
}

struct ParameterCase {
    const char* name;
    const char* attributes;
    const char* title;
    const char* taxationSystem;
};

class ReceiptParameterReading : public ReceiptTest, public ::testing::WithParamInterface<ParameterCase> {};

TEST_P(ReceiptParameterReading, ReduceOneByteFieldsBeforeTheyAreChecked) {
    Check("<P><Parameters " + std::string(GetParam().attributes) + "/><Positions/><Payments/></P>");
    const Lines printed = MaskFiscalSign(NewOutputLines());
    ASSERT_GE(printed.size(), 10u);
    EXPECT_EQ(printed[6], Line(GetParam().title));
    EXPECT_EQ(printed[printed.size() - 3],
              Line(std::string("СНО:") + GetParam().taxationSystem, "ФД:2 ФП:##########"));
}

INSTANTIATE_TEST_SUITE_P(
    Table, ReceiptParameterReading,
    ::testing::Values(ParameterCase{"OperationType257", "OperationType=\"257\"", "Кассовый чек/приход",
                                    "ОСН"},
                      ParameterCase{"OperationTypeWithBlanks", "OperationType=\" 4 \"",
                                    "Кассовый чек/возврат расхода", "ОСН"},
                      ParameterCase{"TaxationSystem7", "OperationType=\"3\" TaxationSystem=\"7\"",
                                    "Кассовый чек/расход", "ОСН"},
                      ParameterCase{"TaxationSystem4", "OperationType=\"1\" TaxationSystem=\"4\"",
                                    "Кассовый чек/приход", "ЕСН"},
                      ParameterCase{"TaxationSystem261", "OperationType=\"1\" TaxationSystem=\"261\"",
                                    "Кассовый чек/приход", "Патент"},
                      ParameterCase{"TaxationSystemMalformed", "OperationType=\"2\" TaxationSystem=\"УСН\"",
                                    "Кассовый чек/возврат прихода", "ОСН"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReceiptTest, WithoutFiscalDetailsOnlyTheNonFiscalLinesPrint) {
    Instance().PrintFiscalSigns = false;
    const std::string output = Check(R"(<P>
  <Parameters OperationType="1" CashierName="Без Реквизитов" CustomerEmail="a@b.ru"
              ReceiptText="Слова переносятся по границам, когда строка не помещается в ширину ленты">
    <AgentData AgentOperation="Не печатается"/>
  </Parameters>
  <Positions>
    <TextString Text="Дисконтная карта"/>
    <FiscalString Name="Товар" Quantity="1" PriceWithDiscount="10" AmountWithDiscount="10" VATRate="20"/>
    <Barcode Type="EAN8" Value="46120441"/>
    <GraphicText Text="Рисунок"/>
  </Positions>
  <Payments Cash="10"/>
</P>)");

    EXPECT_EQ(NewOutputLines(), (Lines{Line("Эл. адрес покупателя:", "a@b.ru"), Line("Дисконтная карта"),
                                       Line("Слова переносятся по границам, когда"),
                                       Line("строка не помещается в ширину ленты"), Line("ИТОГО", "=10.00"),
                                       Line("  НАЛИЧНЫМИ", "=10.00"), Line("ПОЛУЧЕНО:"),
                                       Line("  НАЛИЧНЫМИ", "=10.00"), BlankLine(), RuleLine()}));
    const Lines buffer = BufferTexts();
    EXPECT_EQ(buffer.at(2), "46120441");
    EXPECT_EQ(buffer.at(3), "Рисунок");
    // The shift number is left out; the document still counts.
    EXPECT_EQ(output.substr(0, output.find(" DateTime=")),
              "<DocumentOutputParameters><Parameters ShiftNumber=\"\" CheckNumber=\"2\" "
              "ShiftClosingCheckNumber=\"1\"");
    EXPECT_EQ(StoredValue("M92"), "1.6667");
    EXPECT_EQ(StoredValue("TotalDocCounter"), "2");
}

TEST_F(ReceiptTest, TextsFromThePackageAreLaidOutLikeAnyOtherText) {
    Check(R"(<P><Parameters OperationType="1" CashierName="К"/><Positions>
  <TextString Text="Очень длинная строка текста, которая не помещается в одну строку чека"/>
  <textstring Text="[b]Жирный[/b]"/>
  <FiscalString Name="Товар с очень длинным названием, не влезающим в строку" Quantity="1"
                PriceWithDiscount="1" AmountWithDiscount="1" VATRate="0" Department="300"/>
</Positions><Payments Cash="1"/></P>)");

    // A line with markup goes unfilled, and the file shows it without the tags.
    const Lines printed = NewOutputLines();
    EXPECT_EQ(Lines(printed.begin() + 7, printed.begin() + 13),
              (Lines{"Очень длинная строка текста, которая не по", Line("мещается в одну строку чека"),
                     "Жирный", "Товар с очень длинным названием, не влезаю", Line("щим в строку"),
                     Line("", "1.000 X 1.00")}));
    // Department is one byte: 300 prints as 44.
    EXPECT_EQ(printed.at(13), Line("44", "=1.00"));
}

} // namespace
} // namespace veltrano::kkt::testing
