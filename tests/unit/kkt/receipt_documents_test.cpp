#include "common/money.h"
#include "receipt_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace veltrano::kkt::testing {
namespace {

using Fields = std::vector<std::pair<std::string, std::string>>;

const Lines Separator{BlankLine(), RuleLine()};

// The lines of a position with neither a marking code nor agent data.
Lines Position(std::string_view name, std::string_view quantityAndPrice, std::string_view department,
               std::string_view amount, std::string_view method, std::string_view subject,
               const Lines& discount, std::string_view rate, std::string_view vat) {
    Lines lines{Line(name), Line("", quantityAndPrice), Line(department, amount), Line("СП.РАСЧ.", method),
                Line("ПРЕДМ.РАСЧ.", subject)};
    lines.insert(lines.end(), discount.begin(), discount.end());
    lines.push_back(Line(rate, vat));
    lines.push_back(BlankLine());
    return lines;
}

std::string FiscalSignOf(const std::string& outputXml) {
    const std::string marker = "FiscalSign=\"";
    const std::size_t at = outputXml.find(marker);
    return at == std::string::npos ? std::string() : outputXml.substr(at + marker.size(), 10);
}

TEST_F(ReceiptTest, ASaleWithSeveralRatesADiscountASurchargeAndChange) {
    PutCash(Money::FromWhole(100));

    const std::string output = Check(R"(<CheckPackage>
  <Parameters CashierName="Петров П.П." CashierINN="123456789012" OperationType="1" TaxationSystem="0"
              CustomerPhone=" +79001234567 " CustomerEmail="buyer@example.com" ReceiptText="Спасибо за покупку!"/>
  <Positions>
    <FiscalString Name="Молоко" Quantity="2" PriceWithDiscount="60.25" AmountWithDiscount="120.50"
                  DiscountAmount="0" Department="1" VATRate="10" CalculationSubject="1" PaymentMethod="4"/>
    <FiscalString Name="Шоколад" Quantity="1" PriceWithDiscount="100" AmountWithDiscount="100"
                  DiscountAmount="10" Department="2" VATRate="20" CalculationSubject="1" PaymentMethod="4"/>
    <FiscalString Name="Хлеб" Quantity="1,5" PriceWithDiscount="30" AmountWithDiscount="45"
                  DiscountAmount="-5" Department="1" VATRate="NONE" CalculationSubject="4" PaymentMethod="3"/>
    <TextString Text="Бонусная карта 1234"/>
  </Positions>
  <Payments Cash="300" ElectronicPayment="0" PrePayment="0" PostPayment="0" Barter="0"/>
</CheckPackage>)");

    const Lines expected = Concat({
        ReceiptHeader("СМЕНА:1 ЧЕК:1", "Петров П.П.", "#0003", "123456789012"),
        {Line("Телефон покупателя:", "+79001234567"), Line("Кассовый чек/приход")},
        Position("Молоко", "2.000 X 60.25", "1", "=120.50", "ПОЛНЫЙ РАСЧЕТ", "ТОВАР", {}, "НДС 10%",
                 "=10.95"),
        Position("Шоколад", "1.000 X 100.00", "2", "=100.00", "ПОЛНЫЙ РАСЧЕТ", "ТОВАР",
                 {Line("СКИДКА", "=10.00")}, "НДС 20%", "=16.67"),
        Position("Хлеб", "1.500 X 30.00", "1", "=45.00", "АВАНС", "УСЛУГА", {Line("НАЦЕНКА", "=5.00")},
                 "БЕЗ НДС", "=45.00"),
        {
            Line("Бонусная карта 1234"),
            Line("Спасибо за покупку!"),
            Line("ИТОГО", "=265.50"),
            Line("  НАЛИЧНЫМИ", "=265.50"),
            Line("ПОЛУЧЕНО:"),
            Line("  НАЛИЧНЫМИ", "=300.00"),
            Line("СДАЧА", "=34.50"),
            Line("СУММА НДС 20%", "=16.67"),
            Line("СУММА НДС 10%", "=10.95"),
            Line("СУММА БЕЗ НДС", "=45.00"),
            Line("СНО:ОСН", "ФД:2 ФП:##########"),
        },
        Separator,
    });
    const Lines printed = NewOutputLines();
    EXPECT_EQ(MaskFiscalSign(printed), expected);

    // The platform gets the sign printed on the receipt and encoded in its QR code.
    const std::string sign = FiscalSignOf(output);
    EXPECT_EQ(output, "<DocumentOutputParameters><Parameters ShiftNumber=\"1\" CheckNumber=\"2\" "
                      "ShiftClosingCheckNumber=\"1\" DateTime=\"2024-05-01T13:45:07\" FiscalSign=\"" +
                          sign +
                          "\" AddressSiteInspections=\"www.nalog.gov.ru\"/></DocumentOutputParameters>");
    EXPECT_EQ(printed.at(printed.size() - 3), Line("СНО:ОСН", "ФД:2 ФП:" + sign));
    const Lines buffer = BufferTexts();
    EXPECT_EQ(buffer.at(buffer.size() - 3),
              "t=20240501T134507&s=265.50&fn=9999000000000000&i=2&fp=" + sign + "&n=1");

    EXPECT_EQ(StoredValue("M241"), "365.5");
    EXPECT_EQ(StoredValue("M72"), "265.5");
    EXPECT_EQ(StoredValue("M193"), "265.5");
    // The VAT of the shift keeps what the positions gave unrounded.
    EXPECT_EQ(StoredValue("M92"), "16.6667");
    EXPECT_EQ(StoredValue("M96"), "10.9545");
    EXPECT_EQ(Instance().CurrentCashier().Name, "Петров П.П.");
}

TEST_F(ReceiptTest, ASaleReturnWithAgentDataPaidElectronically) {
    Check(R"(<Package>
  <Parameters CashierName="Сидорова А.А." OperationType="2" TaxationSystem="2" CustomerEmail="buyer@example.com">
    <AgentData AgentOperation="Перевод" AgentPhone="+70000000001" AcquirerOperatorName="ООО Оператор"/>
    <VendorData VendorName="ООО Поставщик" VendorINN="7700000000"/>
    <AgentData AgentOperation="Второй блок не читается"/>
  </Parameters>
  <Positions>
    <FiscalString Name="Услуга связи" Quantity="1" PriceWithDiscount="500" AmountWithDiscount="500"
                  Department="3" VATRate="20/120" CalculationSubject="4" PaymentMethod="4">
      <AgentData PaymentProcessorPhone="+70000000002"/>
      <VendorData VendorPhone="+70000000003" VendorName="ИП Связист"/>
    </FiscalString>
  </Positions>
  <Payments ElectronicPayment="500"/>
</Package>)");

    const Lines expected = Concat({
        ReceiptHeader("СМЕНА:1 ЧЕК:1", "Сидорова А.А.", "#0002"),
        {
            Line("Эл. адрес покупателя:", "buyer@example.com"),
            Line("Кассовый чек/возврат прихода"),
            Line("ОП. АГЕНТА", "Перевод"),
            Line("ТЛФ. ПЛ. АГЕНТА", "+70000000001"),
            Line("ОПЕРАТОР ПЕРЕВОДА", "ООО Оператор"),
            Line("ПОСТАВЩИК", "ООО Поставщик"),
            Line("ИНН ПОСТАВЩИКА", "7700000000"),
            Line("Услуга связи"),
            Line("", "1.000 X 500.00"),
            Line("3", "=500.00"),
            Line("СП.РАСЧ.", "ПОЛНЫЙ РАСЧЕТ"),
            Line("ПРЕДМ.РАСЧ.", "УСЛУГА"),
            Line("НДС 20/120", "=83.33"),
            Line("ТЛФ. ОП. ПР. ПЛАТЕЖА", "+70000000002"),
            Line("ТЛФ. ПОСТ.", "+70000000003"),
            Line("ПОСТАВЩИК", "ИП Связист"),
            BlankLine(),
            Line("ИТОГО", "=500.00"),
            Line("  НАЛИЧНЫМИ", "=0.00"),
            Line("  БЕЗНАЛИЧНЫМИ", "=500.00"),
            Line("ПОЛУЧЕНО:"),
            Line("  БЕЗНАЛИЧНЫМИ", "=500.00"),
            Line("СУММА НДС 20/120", "=83.33"),
            Line("СНО:УСН доход - расход", "ФД:2 ФП:##########"),
        },
        Separator,
    });
    EXPECT_EQ(MaskFiscalSign(NewOutputLines()), expected);
    EXPECT_EQ(StoredValue("M199"), "500");
    EXPECT_EQ(StoredValue("M78"), "500");
    EXPECT_EQ(StoredValue("M110"), "83.3333");
    EXPECT_EQ(StoredValue("O146"), "1");
    EXPECT_EQ(StoredValue("M241"), "0");
}

TEST_F(ReceiptTest, APurchaseWithMarkedGoodsBarcodesAndGraphicText) {
    PutCash(Money::FromWhole(1000));

    Check(R"(<Package>
  <Parameters OperationType="3" CashierName="Кассир"/>
  <Positions>
    <barcode Type="ean13" Value="4600000000008"/>
    <FiscalString Name="Обувь" Quantity="1" PriceWithDiscount="2500" AmountWithDiscount="2500"
                  VATRate="5" CalculationSubject="1" PaymentMethod="4" MarkingCode="MDEwNDYwHTIxYWLg">
      <GoodCodeData MarkingCode="MDEwNDYwHTIxYWLg"/>
    </FiscalString>
    <Barcode Type="QR" Value="" ValueBase64="aHR0cHM6Ly9leGFtcGxlLnJ1L9GH0LXQug=="/>
    <Barcode Type="PDF417" Value="не печатается"/>
    <GRAPHICTEXT Text="Спасибо" FontName="Arial" FontStyle="bold italic" FontSize="16"/>
    <fiscalstring Name="Не позиция" AmountWithDiscount="1000" VATRate="20"/>
  </Positions>
  <Payments PrePayment="500" PostPayment="1500" Barter="300" Cash="200"/>
</Package>)");

    const Lines expected = Concat({
        ReceiptHeader("СМЕНА:1 ЧЕК:1", "Кассир", "#0003"),
        {
            Line("Кассовый чек/расход"),
            Line("Обувь"),
            Line("", "1.000 X 2500.00"),
            Line("0", "=2500.00"),
            Line("", "[M]"),
            Line("СП.РАСЧ.", "ПОЛНЫЙ РАСЧЕТ"),
            Line("ПРЕДМ.РАСЧ.", "ТОВАР"),
            Line("НДС 5%", "=119.05"),
            BlankLine(),
            Line("ИТОГО", "=2500.00"),
            Line("  НАЛИЧНЫМИ", "=200.00"),
            Line("  АВАНС", "=500.00"),
            Line("  КРЕДИТ", "=1500.00"),
            Line("  ИНАЯ ФОРМА ОПЛАТЫ", "=300.00"),
            Line("ПОЛУЧЕНО:"),
            Line("  НАЛИЧНЫМИ", "=200.00"),
            Line("СУММА НДС 5%", "=119.05"),
            Line("СНО:ОСН", "ФД:2 ФП:##########"),
        },
        Separator,
    });
    EXPECT_EQ(MaskFiscalSign(NewOutputLines()), expected);

    // Barcodes, QR codes and graphic text stay out of the file but keep their places in the document.
    const output::ReceiptEntries& buffer = Device().ReceiptStrList();
    const std::size_t title = 6;
    ASSERT_GT(buffer.size(), title + 12);
    EXPECT_EQ(buffer[title].Text, Line("Кассовый чек/расход"));
    EXPECT_EQ(buffer[title + 1].NumType(), output::KindEAN13);
    EXPECT_EQ(buffer[title + 1].Text, "4600000000008");
    EXPECT_EQ(buffer[title + 10].NumType(), output::KindQRCode);
    EXPECT_EQ(buffer[title + 10].Text, "https://example.ru/чек");
    EXPECT_EQ(buffer[title + 11].NumType(), output::KindGraphicText);
    ASSERT_NE(buffer[title + 11].Object, nullptr);
    const output::PrintObject& graphic = *buffer[title + 11].Object;
    EXPECT_EQ(graphic.Text, "Спасибо");
    EXPECT_EQ(graphic.FontName, "Arial");
    EXPECT_EQ(graphic.FontStyle, "bold italic");
    EXPECT_EQ(graphic.FontSize, 16);
    EXPECT_EQ(buffer[title + 12].Text, Line("ИТОГО", "=2500.00"));

    EXPECT_EQ(StoredValue("M241"), "800");
    for (const auto& [field, value] : Fields{{"M73", "200"},
                                             {"M77", "0"},
                                             {"M81", "500"},
                                             {"M85", "1500"},
                                             {"M89", "300"},
                                             {"M194", "200"},
                                             {"M202", "500"},
                                             {"M206", "1500"},
                                             {"M210", "300"},
                                             {"O145", "1"}})
        EXPECT_EQ(StoredValue(field), value) << field;
}

} // namespace
} // namespace veltrano::kkt::testing
