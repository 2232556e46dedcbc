// Receipts through СформироватьЧек on the virtual device: whole documents from the output file, the answers,
// the registers in DataFN.xml, and packages that are refused or hostile.
#include "host_kkt_fixture.h"

#include <regex>
#include <string>
#include <vector>

namespace veltrano::hosttest {
namespace {

using Lines = std::vector<std::string>;

Lines Join(std::initializer_list<Lines> parts) {
    Lines all;
    for (const Lines& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

Lines Header(const std::string& shiftAndReceipt, const std::string& cashier, const std::string& number) {
    return {Centered("Учебный ККТ"),
            Line("РН ККТ:1234567890123456", MaskedMoment),
            Line("ЗН ККТ:12345678", shiftAndReceipt),
            Line("ИНН:9988776655", "ФН:9999000000000000"),
            Line("Кассир:" + cashier, number),
            Line("Сайт ФНС:", "www.nalog.gov.ru")};
}

const Lines Separator{Blank(), Rule()};

// The answer with its fiscal sign masked; the sign itself is returned through the second parameter.
std::string MaskedAnswer(const std::string& text, std::string& sign) {
    static const std::regex signAttribute("FiscalSign=\"(0[0-9]{9})\"");
    const std::string compact = CompactAnswer(text);
    std::smatch found;
    if (std::regex_search(compact, found, signAttribute))
        sign = found[1];
    return std::regex_replace(compact, signAttribute, "FiscalSign=\"##########\"");
}

const char* const SalePackage = R"(<?xml version="1.0" encoding="UTF-8"?>
<CheckPackage>
  <Parameters CashierName="Смирнова Е.В." OperationType="1" TaxationSystem="1" CustomerPhone="+79161234567"
              ReceiptText="Спасибо за покупку!"/>
  <Positions>
    <FiscalString Name="Молоко 3,2%" Quantity="2" PriceWithDiscount="60.25" AmountWithDiscount="120.50"
                  DiscountAmount="0" Department="1" VATRate="10" CalculationSubject="1" PaymentMethod="4"/>
    <FiscalString Name="Кофе в зёрнах" Quantity="1" PriceWithDiscount="405" AmountWithDiscount="405"
                  DiscountAmount="45" Department="1" VATRate="20" CalculationSubject="1" PaymentMethod="4">
      <AgentData AgentOperation="Комиссия"/>
      <VendorData VendorName="ООО Обжарка" VendorINN="7701234567"/>
    </FiscalString>
    <FiscalString Name="Сигареты" Quantity="1" PriceWithDiscount="200" AmountWithDiscount="200"
                  Department="2" VATRate="20" CalculationSubject="2" PaymentMethod="4"
                  MarkingCode="MDEwNDYwNzQyODc2MTIzNDIxTz1mQ1RHHTkzUzdSZA=="/>
    <FiscalString Name="Пакет" Quantity="1" PriceWithDiscount="5" AmountWithDiscount="5"
                  Department="1" VATRate="none" CalculationSubject="1" PaymentMethod="4"/>
  </Positions>
  <Payments Cash="500" ElectronicPayment="300" PrePayment="0" PostPayment="0" Barter="0"/>
</CheckPackage>)";

const char* const ReturnPackage = R"(<?xml version="1.0" encoding="UTF-8"?>
<CheckPackage>
  <Parameters CashierName="Смирнова Е.В." OperationType="2" TaxationSystem="1" CustomerEmail="buyer@example.ru"/>
  <Positions>
    <FiscalString Name="Кофе в зёрнах" Quantity="1" PriceWithDiscount="405" AmountWithDiscount="405"
                  DiscountAmount="45" Department="1" VATRate="20" CalculationSubject="1" PaymentMethod="4"/>
  </Positions>
  <Payments Cash="0" ElectronicPayment="405"/>
</CheckPackage>)";

class KktReceiptTest : public KktHostTest {
protected:
    CallResult Receipt(const std::string& id, const std::string& package, bool electronically = false) {
        return driver_->Call("СформироватьЧек", {Value::Text(id), Value::Bool(electronically),
                                                 Value::Text(package), Value::Empty()});
    }

    // A connected device with an open shift and 1000.00 in the drawer; their documents are read away.
    std::string ReadyDevice(const Overrides& overrides = {}) {
        const std::string id = Connect(Settings(overrides));
        EXPECT_TRUE(OpenShift(id).Succeeded()) << LastMessage();
        EXPECT_TRUE(CashInOut(id, 1000).Succeeded()) << LastMessage();
        NewDocumentLines();
        return id;
    }

    // The call fails with the message and code and changes neither file.
    void ExpectRefused(const std::string& id, const std::string& package, const std::string& message,
                       std::int32_t code) {
        const std::string storage = StorageBytes();
        const std::string output = OutputBytes();
        const CallResult result = Receipt(id, package);
        EXPECT_TRUE(result.returned);
        EXPECT_FALSE(result.Succeeded());
        EXPECT_EQ(LastMessage(), message);
        EXPECT_EQ(driver_->LastError().code, code) << message;
        EXPECT_EQ(StorageBytes(), storage) << message;
        EXPECT_EQ(OutputBytes(), output) << message;
    }
};

TEST_F(KktReceiptTest, ASaleWithSeveralRatesAndItsReturn) {
    const std::string id = ReadyDevice();
    ASSERT_FALSE(id.empty());

    const CallResult sale = Receipt(id, SalePackage);
    ASSERT_TRUE(sale.Succeeded()) << LastMessage();
    std::string saleSign;
    EXPECT_EQ(MaskedAnswer(sale.Out(3), saleSign),
              "<DocumentOutputParameters><Parameters ShiftNumber=\"1\" CheckNumber=\"2\" "
              "ShiftClosingCheckNumber=\"1\" DateTime=\"*\" FiscalSign=\"##########\" "
              "AddressSiteInspections=\"www.nalog.gov.ru\"/></DocumentOutputParameters>");
    const Lines saleLines = NewDocumentLines();
    EXPECT_EQ(saleLines, Join({
                             Header("СМЕНА:1 ЧЕК:1", "Смирнова Е.В.", "#0003"),
                             {
                                 Line("Телефон покупателя:", "+79161234567"),
                                 Line("Кассовый чек/приход"),
                                 Line("Молоко 3,2%"),
                                 Line("", "2.000 X 60.25"),
                                 Line("1", "=120.50"),
                                 Line("СП.РАСЧ.", "ПОЛНЫЙ РАСЧЕТ"),
                                 Line("ПРЕДМ.РАСЧ.", "ТОВАР"),
                                 Line("НДС 10%", "=10.95"),
                                 Blank(),
                                 Line("Кофе в зёрнах"),
                                 Line("", "1.000 X 405.00"),
                                 Line("1", "=405.00"),
                                 Line("СП.РАСЧ.", "ПОЛНЫЙ РАСЧЕТ"),
                                 Line("ПРЕДМ.РАСЧ.", "ТОВАР"),
                                 Line("СКИДКА", "=45.00"),
                                 Line("НДС 20%", "=67.50"),
                                 Line("ОП. АГЕНТА", "Комиссия"),
                                 Line("ПОСТАВЩИК", "ООО Обжарка"),
                                 Line("ИНН ПОСТАВЩИКА", "7701234567"),
                                 Blank(),
                                 Line("Сигареты"),
                                 Line("", "1.000 X 200.00"),
                                 Line("2", "=200.00"),
                                 Line("", "[M]"),
                                 Line("СП.РАСЧ.", "ПОЛНЫЙ РАСЧЕТ"),
                                 Line("ПРЕДМ.РАСЧ.", "ПОДАКЦИЗНЫЙ ТОВАР"),
                                 Line("НДС 20%", "=33.33"),
                                 Blank(),
                                 Line("Пакет"),
                                 Line("", "1.000 X 5.00"),
                                 Line("1", "=5.00"),
                                 Line("СП.РАСЧ.", "ПОЛНЫЙ РАСЧЕТ"),
                                 Line("ПРЕДМ.РАСЧ.", "ТОВАР"),
                                 Line("БЕЗ НДС", "=5.00"),
                                 Blank(),
                                 Line("Спасибо за покупку!"),
                                 Line("ИТОГО", "=730.50"),
                                 Line("  НАЛИЧНЫМИ", "=430.50"),
                                 Line("  БЕЗНАЛИЧНЫМИ", "=300.00"),
                                 Line("ПОЛУЧЕНО:"),
                                 Line("  НАЛИЧНЫМИ", "=500.00"),
                                 Line("  БЕЗНАЛИЧНЫМИ", "=300.00"),
                                 Line("СДАЧА", "=69.50"),
                                 Line("СУММА НДС 20%", "=100.83"),
                                 Line("СУММА НДС 10%", "=10.95"),
                                 Line("СУММА БЕЗ НДС", "=5.00"),
                                 Line("СНО:УСН доход", "ФД:2 " + MaskedSign),
                             },
                             Separator,
                         }));
    // The receipt shows the sign the platform was given.
    const std::string unmasked = OutputBytes();
    EXPECT_NE(unmasked.find("ФД:2 ФП:" + saleSign + "\r\n"), std::string::npos) << saleSign;

    // The return goes to the buyer electronically; it is still shown in the output file.
    const CallResult refund = Receipt(id, ReturnPackage, true);
    ASSERT_TRUE(refund.Succeeded()) << LastMessage();
    std::string refundSign;
    EXPECT_EQ(MaskedAnswer(refund.Out(3), refundSign),
              "<DocumentOutputParameters><Parameters ShiftNumber=\"1\" CheckNumber=\"3\" "
              "ShiftClosingCheckNumber=\"2\" DateTime=\"*\" FiscalSign=\"##########\" "
              "AddressSiteInspections=\"www.nalog.gov.ru\"/></DocumentOutputParameters>");
    EXPECT_EQ(NewDocumentLines(), Join({
                                      Header("СМЕНА:1 ЧЕК:2", "Смирнова Е.В.", "#0004"),
                                      {
                                          Line("Эл. адрес покупателя:", "buyer@example.ru"),
                                          Line("Кассовый чек/возврат прихода"),
                                          Line("Кофе в зёрнах"),
                                          Line("", "1.000 X 405.00"),
                                          Line("1", "=405.00"),
                                          Line("СП.РАСЧ.", "ПОЛНЫЙ РАСЧЕТ"),
                                          Line("ПРЕДМ.РАСЧ.", "ТОВАР"),
                                          Line("СКИДКА", "=45.00"),
                                          Line("НДС 20%", "=67.50"),
                                          Blank(),
                                          Line("ИТОГО", "=405.00"),
                                          Line("  НАЛИЧНЫМИ", "=0.00"),
                                          Line("  БЕЗНАЛИЧНЫМИ", "=405.00"),
                                          Line("ПОЛУЧЕНО:"),
                                          Line("  БЕЗНАЛИЧНЫМИ", "=405.00"),
                                          Line("СУММА НДС 20%", "=67.50"),
                                          Line("СНО:УСН доход", "ФД:3 " + MaskedSign),
                                      },
                                      Separator,
                                  }));

    for (const auto& [field, value] : Overrides{{"M241", "1430.5"},
                                                {"M72", "430.5"},
                                                {"M76", "300"},
                                                {"M193", "430.5"},
                                                {"M197", "300"},
                                                {"M78", "405"},
                                                {"M199", "405"},
                                                {"M92", "100.8333"},
                                                {"M94", "67.5"},
                                                {"M96", "10.9545"},
                                                {"O144", "1"},
                                                {"O146", "1"},
                                                {"ReceiptNumber", "2"},
                                                {"TotalReceiptCounter", "3"},
                                                {"TotalDocCounter", "4"},
                                                {"FiscalDocCounter", "3"},
                                                {"TotalFiscalDocCounter", "3"}})
        EXPECT_EQ(Field(field), value) << field;

    const CallResult status = Status(id);
    ASSERT_TRUE(status.Succeeded()) << LastMessage();
    const std::string answer = CompactAnswer(status.Out(2));
    EXPECT_NE(answer.find("<CountersOperationType1 CheckCount=\"1\" TotalChecksAmount=\"730.5\"/>"
                          "<CountersOperationType2 CheckCount=\"1\" TotalChecksAmount=\"405\"/>"),
              std::string::npos)
        << answer;
}

TEST_F(KktReceiptTest, RefusedReceiptsChangeNothing) {
    const std::string id = ReadyDevice();
    ASSERT_FALSE(id.empty());
    const std::string underpaid = R"(<CheckPackage><Parameters OperationType="1"/><Positions>
  <FiscalString Name="Хлеб" Quantity="1" PriceWithDiscount="100" AmountWithDiscount="100" VATRate="10"/>
</Positions><Payments Cash="50"/></CheckPackage>)";
    ExpectRefused(id, underpaid, "Сумма оплаты не соответствует сумме документа: оплачено 50.00 из 100.00",
                  3009);

    const std::string mixedRates = R"(<CheckPackage><Parameters OperationType="1"/><Positions>
  <FiscalString Name="A" Quantity="1" PriceWithDiscount="1" AmountWithDiscount="1" VATRate="20"/>
  <FiscalString Name="B" Quantity="1" PriceWithDiscount="1" AmountWithDiscount="1" VATRate="18"/>
</Positions><Payments Cash="2"/></CheckPackage>)";
    ExpectRefused(id, mixedRates, "Недопустимо сочетание налогов 20% и 18% в одном документе", 1001);

    const std::string tooLargeReturn = R"(<CheckPackage><Parameters OperationType="2"/><Positions>
  <FiscalString Name="A" Quantity="1" PriceWithDiscount="1000.01" AmountWithDiscount="1000.01" VATRate="0"/>
</Positions><Payments Cash="1000.01"/></CheckPackage>)";
    ExpectRefused(id, tooLargeReturn, "Недостаточно наличности в кассе", 1001);

    ExpectRefused(id, "<CheckPackage><Parameters OperationType=\"9\"/><Positions/><Payments/></CheckPackage>",
                  "Ошибка входных параметров команды", 1001);

    // A package that is no XML fails with the parser's message before anything is read.
    const std::string storage = StorageBytes();
    const std::string output = OutputBytes();
    EXPECT_FALSE(Receipt(id, "<CheckPackage><Parameters").Succeeded());
    EXPECT_FALSE(LastMessage().empty());
    EXPECT_EQ(StorageBytes(), storage);
    EXPECT_EQ(OutputBytes(), output);
}

TEST_F(KktReceiptTest, HostileTextsAreCleanedBeforeTheyReachTheReceipt) {
    const std::string id = ReadyDevice({{"PrintFiscalSigns", "false"}});
    ASSERT_FALSE(id.empty());
    // Characters beyond U+FFFF and control characters are dropped by the host boundary; a deep nest of
    // unknown elements among the positions is skipped.
    std::string nest;
    for (int depth = 0; depth < 5000; ++depth)
        nest += "<x>";
    for (int depth = 0; depth < 5000; ++depth)
        nest += "</x>";
    const std::string package = "<CheckPackage><Parameters OperationType=\"1\"/><Positions>"
                                "<TextString Text=\"Кофе \xF0\x9F\x8D\xB5 с собой\x01\"/>" +
                                nest + "</Positions><Payments Cash=\"0\"/></CheckPackage>";
    const CallResult result = Receipt(id, package);
    ASSERT_TRUE(result.Succeeded()) << LastMessage();
    EXPECT_EQ(NewDocumentLines(), (Lines{Line("Кофе  с собой"), Line("ИТОГО", "=0.00"),
                                         Line("  НАЛИЧНЫМИ", "=0.00"), Line("ПОЛУЧЕНО:"), Blank(), Rule()}));
    EXPECT_NE(CompactAnswer(result.Out(3)).find("ShiftNumber=\"\""), std::string::npos);
}

} // namespace
} // namespace veltrano::hosttest
