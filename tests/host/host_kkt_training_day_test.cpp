// One realistic day of the training cash register through the host on the virtual device: registration, the
// KKT table, a shift with cash in and out, sales at several rates, a return, a purchase, a correction, a text
// document, the X and Z reports and the settlement report. The output file is read whole, document after
// document; DataFN.xml and the answers are checked where the day changes them.
#include "host_kkt_documents_fixture.h"

#include <pugixml.hpp>

#include <array>
#include <ctime>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace veltrano::hosttest::documents {
namespace {

const std::string Seller = "Смирнова Е.В.";
const std::string SellerInn = "500100732259";
const std::string Senior = "Петров П.П.";
const std::string SeniorInn = "771234567890";

const std::string RegistrationPackage = R"(<?xml version="1.0"?>
<Parameters CashierName="Петров П.П." CashierINN="771234567890" KKTNumber="0000000001" CompanyName="ООО Ромашка"
  INN="7701234567" SaleAddress="Москва, ул. Ленина, 1" SaleLocation="Магазин у дома" TaxationSystems="0,1"
  IsOffline="false" IsEncrypted="false" IsAutomatic="false" IsOnlineOnly="false" IsAutomaticPrinter="false"
  IsService="false" AgentTypes="4,5" AutomaticNumber="" BSOSing="false" OFDCompany="ООО Такском"
  OFDCompanyINN="7704211201" SenderEmail="kkt@romashka.ru" FNSURL="www.nalog.gov.ru" IsExcisable="true"
  IsGambling="false" IsLottery="false"/>)";

// Five rates' worth of goods: a discount, an agent's position, a marked pack of cigarettes (its code carries
// a group separator), paid 700 in cash and 300 by card for 970.50.
const std::string FirstSale = R"(<?xml version="1.0" encoding="UTF-8"?>
<CheckPackage>
  <Parameters CashierName="Смирнова Е.В." CashierINN="500100732259" OperationType="1" TaxationSystem="1"
              CustomerPhone=" +79161234567 "
              ReceiptText="Спасибо за покупку! Обмен и возврат товара в течение 14 дней при наличии чека."/>
  <Positions>
    <FiscalString Name="Кофе в зёрнах" Quantity="1" PriceWithDiscount="405" AmountWithDiscount="405"
                  DiscountAmount="45" Department="1" VATRate="20" CalculationSubject="1" PaymentMethod="4">
      <AgentData AgentOperation="Комиссия" AgentPhone="+74950000000"/>
      <VendorData VendorName="ООО Обжарка" VendorINN="7709876543"/>
    </FiscalString>
    <FiscalString Name="Молоко 3,2%" Quantity="2" PriceWithDiscount="60.25" AmountWithDiscount="120.50"
                  Department="1" VATRate="10" CalculationSubject="1" PaymentMethod="4"/>
    <FiscalString Name="Сигареты" Quantity="1" PriceWithDiscount="200" AmountWithDiscount="200" Department="2"
                  VATRate="20" CalculationSubject="2" PaymentMethod="4"
                  MarkingCode="MDEwNDYwNjIwMzA5ODkxMDIxc2ItWDdSaR05M2RHVno="/>
    <FiscalString Name="Пакет" Quantity="1" PriceWithDiscount="5" AmountWithDiscount="5" Department="1"
                  VATRate="none" CalculationSubject="1" PaymentMethod="4"/>
    <FiscalString Name="Доставка" Quantity="1" PriceWithDiscount="240" AmountWithDiscount="240" Department="3"
                  VATRate="20/120" CalculationSubject="4" PaymentMethod="4"/>
  </Positions>
  <Payments Cash="700" ElectronicPayment="300" PrePayment="0" PostPayment="0" Barter="0"/>
</CheckPackage>)";

// Sent to the buyer's e-mail, on the agent's behalf, with a surcharge and a free text among the positions;
// exact cash, no taxation system (so the general one).
const std::string SecondSale = R"(<?xml version="1.0" encoding="UTF-8"?>
<CheckPackage>
  <Parameters CashierName="Смирнова Е.В." CashierINN="500100732259" OperationType="1"
              CustomerEmail="buyer@example.ru">
    <AgentData AgentOperation="Поручение"/>
  </Parameters>
  <Positions>
    <FiscalString Name="Яблоки" Quantity="1,5" PriceWithDiscount="99.90" AmountWithDiscount="149.85"
                  Department="1" VATRate="10" CalculationSubject="1" PaymentMethod="4"/>
    <TextString Text="Акция: пятый кофе в подарок"/>
    <FiscalString Name="Сервисный сбор" Quantity="1" PriceWithDiscount="110" AmountWithDiscount="110"
                  DiscountAmount="-10" Department="1" VATRate="20" CalculationSubject="4" PaymentMethod="4"/>
  </Positions>
  <Payments Cash="259.85"/>
</CheckPackage>)";

const std::string SaleReturn = R"(<?xml version="1.0" encoding="UTF-8"?>
<CheckPackage>
  <Parameters CashierName="Смирнова Е.В." CashierINN="500100732259" OperationType="2" TaxationSystem="1"/>
  <Positions>
    <FiscalString Name="Кофе в зёрнах" Quantity="1" PriceWithDiscount="405" AmountWithDiscount="405"
                  DiscountAmount="45" Department="1" VATRate="20" CalculationSubject="1" PaymentMethod="4"/>
    <FiscalString Name="Молоко 3,2%" Quantity="1" PriceWithDiscount="60.25" AmountWithDiscount="60.25"
                  Department="1" VATRate="10" CalculationSubject="1" PaymentMethod="4"/>
  </Positions>
  <Payments Cash="60.25" ElectronicPayment="405"/>
</CheckPackage>)";

const std::string Purchase = R"(<?xml version="1.0" encoding="UTF-8"?>
<CheckPackage>
  <Parameters CashierName="Смирнова Е.В." CashierINN="500100732259" OperationType="3" TaxationSystem="1"/>
  <Positions>
    <FiscalString Name="Макулатура" Quantity="12.5" PriceWithDiscount="8" AmountWithDiscount="100"
                  Department="1" VATRate="none" CalculationSubject="1" PaymentMethod="4"/>
    <FiscalString Name="Картридж" Quantity="1" PriceWithDiscount="600" AmountWithDiscount="600"
                  Department="1" VATRate="20" CalculationSubject="1" PaymentMethod="4"/>
  </Positions>
  <Payments Cash="700"/>
</CheckPackage>)";

const std::string SalesCorrection = R"(<?xml version="1.0"?>
<CheckCorrectionPackage>
  <Parameters CashierName="Петров П.П." CashierINN="771234567890" OperationType="1" TaxationSystems="1">
    <CorrectionData Type="0" Description="Продажа без чека при сбое" Number="1" Date="2024-05-01"/>
  </Parameters>
  <Positions>
    <FiscalString VATRate="20" VATAmount="25"/>
    <FiscalString VATRate="10" VATAmount="5.45"/>
  </Positions>
  <Payments Cash="120" ElectronicPayment="30" PrePayment="0" PostPayment="0" Barter="0"/>
</CheckCorrectionPackage>)";

// A payment terminal's slip: text lines, a bold line, a barcode, a graphic-text line, a graphic-text block
// and a QR code whose Base64 data holds an escaped ampersand.
const std::string TerminalSlip = R"(<?xml version="1.0"?>
<Document>
  <Positions>
    <TextString Text="ОПЛАТА КАРТОЙ"/>
    <TextString Text="Терминал: 00012345"/>
    <TextString Text="[b]ОДОБРЕНО[/b]"/>
    <Barcode Type="EAN13" Value="4601234567893"/>
    <TextString Text="[gt2]Спасибо за покупку![/gt2]"/>
    <GraphicText Text="Ждём вас снова" FontName="Arial" FontStyle="bold" FontSize="14"/>
    <Barcode Type="qr" ValueBase64="dD0yMDI0MDUwMVQxMzQ1JmFtcDtzPTEwMC4wMA=="/>
  </Positions>
</Document>)";

std::string DocNumber(int number) {
    std::string digits = std::to_string(number);
    return "#" + std::string(digits.size() < 4 ? 4 - digits.size() : 0, '0') + digits;
}

// The header of the registered device.
Lines DayHeader(const std::string& shift, const std::string& cashier, int number,
                const std::string& cashierInn = {}) {
    return Header({.kktNumber = "0000000001",
                   .inn = "7701234567",
                   .shift = shift,
                   .cashier = cashier,
                   .number = DocNumber(number),
                   .cashierInn = cashierInn});
}

struct Position {
    std::string name{};
    std::string quantityPrice{};
    std::string department = "1";
    std::string sum{};
    bool marked = false;
    std::string subject = "ТОВАР";
    Lines adjustment{};
    std::string vat{};
    Lines agent{};
};

Lines PositionLines(const Position& p) {
    Lines lines{Line(p.name), Line("", p.quantityPrice), Line(p.department, p.sum)};
    if (p.marked)
        lines.push_back(Line("", "[M]"));
    lines.push_back(Line("СП.РАСЧ.", "ПОЛНЫЙ РАСЧЕТ"));
    lines.push_back(Line("ПРЕДМ.РАСЧ.", p.subject));
    lines.insert(lines.end(), p.adjustment.begin(), p.adjustment.end());
    lines.push_back(p.vat);
    lines.insert(lines.end(), p.agent.begin(), p.agent.end());
    lines.push_back(Blank());
    return lines;
}

// One receipt kind in the shift totals. The day pays no advance, credit or counter-provision.
struct KindTotals {
    std::string count = "0000";
    std::string total = "=0.00";
    std::string cash = "=0.00";
    std::string card = "=0.00";
    std::string tax = "=0.00";
    Lines rates{};
    std::string nonResettable = "=0.00";
};

struct ShiftFigures {
    std::array<KindTotals, 4> kinds{};
    std::string salesCorrections = "0000";
    std::string salesCorrectionSum = "=0.00";
    std::string cashIn = "0000";
    std::string cashInSum = "=0.00";
    std::string cashOut = "0000";
    std::string cashOutSum = "=0.00";
    std::string drawer = "=0.00";
    std::string revenue = "=0.00";
    std::string taxes = "=0.00";
};

Lines ShiftTotals(const ShiftFigures& f, bool closing) {
    static const char* const sections[] = {"ПРИХОД ", "РАСХОД ", "ВОЗВРАТ ПРИХОДА ", "ВОЗВРАТ РАСХОДА "};
    static const char* const taxLabels[] = {"  ПРИХОД", "  РАСХОД", "  ВОЗВРАТ ПРИХОДА", "  ВОЗВРАТ РАСХОДА"};
    static const char* const totalLabels[] = {"  ПРИХОДА", "  РАСХОДА", "  ВОЗВРАТА ПРИХОДА",
                                              "  ВОЗВРАТА РАСХОДА"};
    Lines lines;
    for (std::size_t k = 0; k < 4; ++k) {
        const KindTotals& kind = f.kinds[k];
        lines.insert(lines.end(), {Line(sections[k] + kind.count, kind.total), Line("  НАЛИЧНЫМИ", kind.cash),
                                   Line("  БЕЗНАЛИЧНЫМИ", kind.card), Line("  АВАНС", "=0.00"),
                                   Line("  КРЕДИТ", "=0.00"), Line("  ИНАЯ ФОРМА ОПЛАТЫ", "=0.00"), Blank()});
    }
    lines.insert(lines.end(),
                 {Line("ЧЕКИ КОРРЕКЦИИ"), Line("ПРИХОД " + f.salesCorrections, f.salesCorrectionSum),
                  Line("РАСХОД 0000", "=0.00"), Blank(), Line("ВНЕСЕНИЕ " + f.cashIn, f.cashInSum),
                  Line("ВЫПЛАТА " + f.cashOut, f.cashOutSum)});
    if (closing)
        lines.insert(lines.end(), {Line("ИНКАССАЦИЯ", f.drawer), Line("НАЛ. В КАССЕ", "=0.00")});
    else
        lines.push_back(Line("НАЛ. В КАССЕ", f.drawer));
    lines.insert(lines.end(), {Line("ВЫРУЧКА", f.revenue), Blank(), Line("СУММА НАЛОГОВ ПО ТИПАМ", f.taxes)});
    for (std::size_t k = 0; k < 4; ++k) {
        lines.push_back(Line(taxLabels[k], f.kinds[k].tax));
        lines.insert(lines.end(), f.kinds[k].rates.begin(), f.kinds[k].rates.end());
    }
    lines.insert(lines.end(), {Blank(), Line("НЕОБНУЛЯЕМЫЕ СУММЫ")});
    for (std::size_t k = 0; k < 4; ++k)
        lines.push_back(Line(totalLabels[k], f.kinds[k].nonResettable));
    lines.push_back(Blank());
    return lines;
}

// Two sales, a return and a purchase; a correction; 5000 in, 1000 out.
const ShiftFigures FirstDay{
    .kinds = {KindTotals{.count = "0002",
                         .total = "=1230.35",
                         .cash = "=930.35",
                         .card = "=300.00",
                         // 119.1666 + 24.5772 + 40
                         .tax = "=183.74",
                         .rates = {Line("    НДС 20%", "=119.17"), Line("    НДС 10%", "=24.58"),
                                   Line("    НДС 20/120", "=40.00")},
                         .nonResettable = "=1230.35"},
              KindTotals{.count = "0001",
                         .total = "=700.00",
                         .cash = "=700.00",
                         .tax = "=100.00",
                         .rates = {Line("    НДС 20%", "=100.00")},
                         .nonResettable = "=700.00"},
              KindTotals{.count = "0001",
                         .total = "=465.25",
                         .cash = "=60.25",
                         .card = "=405.00",
                         // 67.5 + 5.4773
                         .tax = "=72.98",
                         .rates = {Line("    НДС 20%", "=67.50"), Line("    НДС 10%", "=5.48")},
                         .nonResettable = "=465.25"},
              KindTotals{}},
    .salesCorrections = "0001",
    .salesCorrectionSum = "=150.00",
    .cashIn = "0001",
    .cashInSum = "=5000.00",
    .cashOut = "0001",
    .cashOutSum = "=1000.00",
    .drawer = "=4170.10",
    // Cash and card of the sales, less those of the return and of the purchase.
    .revenue = "=65.10",
    .taxes = "=356.72"};

// A new shift: nothing yet but the totals that never reset.
const ShiftFigures NextMorning{.kinds = {KindTotals{.nonResettable = "=1230.35"},
                                         KindTotals{.nonResettable = "=700.00"},
                                         KindTotals{.nonResettable = "=465.25"}, KindTotals{}}};

// The registers a day of receipts, corrections and cash uses.
std::vector<std::string> DayRegisters() {
    std::vector<std::string> names;
    const auto add = [&](char bank, int from, int to) {
        for (int n = from; n <= to; ++n)
            names.push_back(bank + std::to_string(n));
    };
    add('M', 72, 115);
    add('M', 193, 212);
    add('M', 241, 243);
    add('M', 254, 255);
    add('O', 144, 147);
    add('O', 153, 154);
    add('O', 200, 203);
    return names;
}

// A stored moment as the KKT table shows it: the seconds read back as they were written (the local clock
// taken as if it were UTC), the time left out at midnight.
std::string ShownMoment(const std::string& seconds) {
    const std::time_t moment = std::stoll(seconds);
    std::tm parts{};
    gmtime_r(&moment, &parts);
    const bool midnight = parts.tm_hour == 0 && parts.tm_min == 0 && parts.tm_sec == 0;
    char text[32] = {};
    std::strftime(text, sizeof text, midnight ? "%d.%m.%Y" : "%d.%m.%Y %H:%M:%S", &parts);
    return text;
}

std::string ReceiptAnswer(int check, int shiftCheck) {
    return "<DocumentOutputParameters><Parameters ShiftNumber=\"1\" CheckNumber=\"" + std::to_string(check) +
           "\" ShiftClosingCheckNumber=\"" + std::to_string(shiftCheck) +
           "\" DateTime=\"*\" FiscalSign=\"##########\" AddressSiteInspections=\"www.nalog.gov.ru\"/>"
           "</DocumentOutputParameters>";
}

class KktTrainingDayTest : public KktDocumentsHostTest {
protected:
    CallResult Receipt(const std::string& package, bool electronically = false) {
        return driver_->Call("СформироватьЧек", {Value::Text(id), Value::Bool(electronically),
                                                 Value::Text(package), Value::Empty()});
    }

    // The call succeeded and ПолучитьОшибку says so.
    bool Done(const CallResult& call, const std::string& step) {
        const testhost::LastErrorInfo error = driver_->LastError();
        EXPECT_TRUE(call.Succeeded()) << step << ": " << error.description;
        EXPECT_EQ(error.code, 0) << step;
        EXPECT_EQ(error.description, "") << step;
        return call.Succeeded() && error.code == 0;
    }

    // The next document of the output file, whole.
    void ExpectDocument(const Lines& expected, const std::string& step) {
        EXPECT_EQ(NewDocumentLines(), expected) << step;
        documentLines += expected.size();
    }

    // Every register of the day: the listed ones hold their values, the others 0.
    void ExpectRegisters(const std::map<std::string, std::string>& values, const std::string& when) {
        for (const std::string& name : DayRegisters()) {
            const auto found = values.find(name);
            EXPECT_EQ(Field(name), found != values.end() ? found->second : "0") << name << " " << when;
        }
    }

    // The KKT table with its registration moment, checked against the stored one, as "*".
    std::string KktTable() {
        const CallResult table = DataKKT(id);
        EXPECT_TRUE(Done(table, "ПолучитьПараметрыККТ"));
        pugi::xml_document doc;
        EXPECT_TRUE(doc.load_string(table.Out(1).c_str())) << table.Out(1);
        pugi::xml_attribute moment = doc.child("Parameters").attribute("DateTime");
        EXPECT_EQ(std::string(moment.value()), ShownMoment(Field("RegDateTime")));
        moment.set_value("*");
        std::ostringstream text;
        doc.save(text, "", pugi::format_raw | pugi::format_no_declaration);
        return text.str();
    }

    std::string id;
    std::size_t documentLines = 0;
};

TEST_F(KktTrainingDayTest, ARegisteredDeviceWorksThroughAWholeDay) {
    id = Connect(Settings());
    ASSERT_FALSE(id.empty());

    // Registration: the header still shows the old KKT number, but already the new INN.
    ASSERT_TRUE(Done(OperationFN(id, 1, RegistrationPackage), "ОперацияФН"));
    ExpectDocument(
        Join({Header({.inn = "7701234567",
                      .cashier = Senior,
                      .number = "#0001",
                      .cashierInn = SeniorInn + "        "}),
              {Line("РЕГИСТРАЦИЯ"), Line("ОФД", "ООО Такском"), Line("ИНН ОФД", "7704211201"),
               Line("ПОДАКЦИЗНЫЕ ТОВАРЫ"), Line("СНО", "ОСН"), Line("СНО", "УСН доход"), Line("АГЕНТ"),
               Line("КОМИССИОНЕР"), Line("ФФД ККТ 1.0.5"), Line("ФД:1", MaskedSign)},
              Separator}),
        "registration");
    ExpectFields({{"KKTNumber", "0000000001          "},
                  {"VATIN", "7701234567  "},
                  {"OFDVATIN", "7704211201  "},
                  {"SaleExcisableGoods", "true"},
                  {"SignOfAgent", "4,5"},
                  {"RegDocumentNumber", "1"},
                  {"FNLifeState", "1"}},
                 "after the registration");

    EXPECT_EQ(KktTable(),
              "<Parameters FFDVersionFN=\"1.0.5\" FFDVersionKKT=\"1.0.5\" Fiscal=\"true\" "
              "KKTNumber=\"0000000001\" KKTSerialNumber=\"12345678\" FNSerialNumber=\"9999000000000000\" "
              "DocumentNumber=\"1\" DateTime=\"*\" CompanyName=\"ООО Ромашка\" INN=\"7701234567\" "
              "SaleAddress=\"Москва, ул. Ленина, 1\" SaleLocation=\"Магазин у дома\" TaxationSystems=\"0,1\" "
              "IsEncrypted=\"false\" IsOffline=\"false\" IsAutomatic=\"false\" IsService=\"false\" "
              "IsOnlineOnly=\"false\" BSOSing=\"false\" AgentTypes=\"4,5\" IsLottery=\"false\" "
              "IsGambling=\"false\" IsExcisable=\"true\" AutomaticNumber=\"\" IsAutomaticPrinter=\"false\" "
              "OFDCompany=\"ООО Такском\" OFDCompanyINN=\"7704211201\" FNSURL=\"www.nalog.gov.ru\" "
              "SenderEmail=\"kkt@romashka.ru\"/>");

    const CallResult opened = OpenShift(id, Seller);
    ASSERT_TRUE(Done(opened, "ОткрытьСмену"));
    ExpectDocument(Join({DayHeader("СМЕНА:1", Seller, 2),
                         {Centered("ОТКРЫТИЕ СМЕНЫ"), Line("ФД:2", MaskedSign)},
                         Separator}),
                   "shift opening");
    EXPECT_EQ(CompactAnswer(opened.Out(2)),
              "<OutputParameters><Parameters FNError=\"false\" FNFail=\"false\" FNOverflow=\"false\" "
              "ShiftNumber=\"1\" DateTime=\"*\" ShiftState=\"2\"/></OutputParameters>");

    // Cash documents read no cashier: they show the one of the document before them.
    ASSERT_TRUE(Done(CashInOut(id, 5000), "cash in"));
    ExpectDocument(Join({DayHeader("СМЕНА:1", Seller, 3), {Line("ВНЕСЕНИЕ", "=5000.00")}, Separator}),
                   "cash in");

    const CallResult firstSale = Receipt(FirstSale);
    ASSERT_TRUE(Done(firstSale, "first sale"));
    EXPECT_EQ(MaskedDocumentAnswer(firstSale.Out(3)), ReceiptAnswer(3, 1));
    ExpectDocument(
        Join(
            {DayHeader("СМЕНА:1 ЧЕК:1", Seller, 4, SellerInn),
             {Line("Телефон покупателя:", "+79161234567"), Line("Кассовый чек/приход")},
             PositionLines(
                 {.name = "Кофе в зёрнах",
                  .quantityPrice = "1.000 X 405.00",
                  .sum = "=405.00",
                  .adjustment = {Line("СКИДКА", "=45.00")},
                  .vat = Line("НДС 20%", "=67.50"),
                  .agent = {Line("ОП. АГЕНТА", "Комиссия"), Line("ТЛФ. ПЛ. АГЕНТА", "+74950000000"),
                            Line("ПОСТАВЩИК", "ООО Обжарка"), Line("ИНН ПОСТАВЩИКА", "7709876543")}}),
             PositionLines({.name = "Молоко 3,2%",
                            .quantityPrice = "2.000 X 60.25",
                            .sum = "=120.50",
                            .vat = Line("НДС 10%", "=10.95")}),
             PositionLines({.name = "Сигареты",
                            .quantityPrice = "1.000 X 200.00",
                            .department = "2",
                            .sum = "=200.00",
                            .marked = true,
                            .subject = "ПОДАКЦИЗНЫЙ ТОВАР",
                            .vat = Line("НДС 20%", "=33.33")}),
             PositionLines({.name = "Пакет",
                            .quantityPrice = "1.000 X 5.00",
                            .sum = "=5.00",
                            .vat = Line("БЕЗ НДС", "=5.00")}),
             PositionLines({.name = "Доставка",
                            .quantityPrice = "1.000 X 240.00",
                            .department = "3",
                            .sum = "=240.00",
                            .subject = "УСЛУГА",
                            .vat = Line("НДС 20/120", "=40.00")}),
             // The first line of the text fills the width exactly; the space after it starts the next.
             {Line("Спасибо за покупку! Обмен и возврат товара"), Line("в течение 14 дней при наличии чека."),
              Line("ИТОГО", "=970.50"), Line("  НАЛИЧНЫМИ", "=670.50"), Line("  БЕЗНАЛИЧНЫМИ", "=300.00"),
              Line("ПОЛУЧЕНО:"), Line("  НАЛИЧНЫМИ", "=700.00"), Line("  БЕЗНАЛИЧНЫМИ", "=300.00"),
              Line("СДАЧА", "=29.50"), Line("СУММА НДС 20%", "=100.83"), Line("СУММА НДС 10%", "=10.95"),
              Line("СУММА БЕЗ НДС", "=5.00"), Line("СУММА НДС 20/120", "=40.00"),
              Line("СНО:УСН доход", "ФД:3 " + MaskedSign)},
             Separator}),
        "first sale");
    // Cash net of change, card, the unrounded VAT of the two 20% positions, 10% and 20/120.
    ExpectRegisters({{"M72", "670.5"},
                     {"M76", "300"},
                     {"M92", "100.8333"},
                     {"M96", "10.9545"},
                     {"M108", "40"},
                     {"M193", "670.5"},
                     {"M197", "300"},
                     {"M241", "5670.5"},
                     {"M242", "5000"},
                     {"O144", "1"},
                     {"O153", "1"}},
                    "after the first sale");

    const CallResult secondSale = Receipt(SecondSale, true);
    ASSERT_TRUE(Done(secondSale, "second sale"));
    EXPECT_EQ(MaskedDocumentAnswer(secondSale.Out(3)), ReceiptAnswer(4, 2));
    ExpectDocument(Join({DayHeader("СМЕНА:1 ЧЕК:2", Seller, 5, SellerInn),
                         {Line("Эл. адрес покупателя:", "buyer@example.ru"), Line("Кассовый чек/приход"),
                          Line("ОП. АГЕНТА", "Поручение")},
                         PositionLines({.name = "Яблоки",
                                        .quantityPrice = "1.500 X 99.90",
                                        .sum = "=149.85",
                                        .vat = Line("НДС 10%", "=13.62")}),
                         {Line("Акция: пятый кофе в подарок")},
                         PositionLines({.name = "Сервисный сбор",
                                        .quantityPrice = "1.000 X 110.00",
                                        .sum = "=110.00",
                                        .subject = "УСЛУГА",
                                        .adjustment = {Line("НАЦЕНКА", "=10.00")},
                                        .vat = Line("НДС 20%", "=18.33")}),
                         {Line("ИТОГО", "=259.85"), Line("  НАЛИЧНЫМИ", "=259.85"), Line("ПОЛУЧЕНО:"),
                          Line("  НАЛИЧНЫМИ", "=259.85"), Line("СУММА НДС 20%", "=18.33"),
                          Line("СУММА НДС 10%", "=13.62"), Line("СНО:ОСН", "ФД:4 " + MaskedSign)},
                         Separator}),
                   "second sale");

    const CallResult refund = Receipt(SaleReturn);
    ASSERT_TRUE(Done(refund, "sale return"));
    EXPECT_EQ(MaskedDocumentAnswer(refund.Out(3)), ReceiptAnswer(5, 3));
    ExpectDocument(Join({DayHeader("СМЕНА:1 ЧЕК:3", Seller, 6, SellerInn),
                         {Line("Кассовый чек/возврат прихода")},
                         PositionLines({.name = "Кофе в зёрнах",
                                        .quantityPrice = "1.000 X 405.00",
                                        .sum = "=405.00",
                                        .adjustment = {Line("СКИДКА", "=45.00")},
                                        .vat = Line("НДС 20%", "=67.50")}),
                         PositionLines({.name = "Молоко 3,2%",
                                        .quantityPrice = "1.000 X 60.25",
                                        .sum = "=60.25",
                                        .vat = Line("НДС 10%", "=5.48")}),
                         {Line("ИТОГО", "=465.25"), Line("  НАЛИЧНЫМИ", "=60.25"),
                          Line("  БЕЗНАЛИЧНЫМИ", "=405.00"), Line("ПОЛУЧЕНО:"), Line("  НАЛИЧНЫМИ", "=60.25"),
                          Line("  БЕЗНАЛИЧНЫМИ", "=405.00"), Line("СУММА НДС 20%", "=67.50"),
                          Line("СУММА НДС 10%", "=5.48"), Line("СНО:УСН доход", "ФД:5 " + MaskedSign)},
                         Separator}),
                   "sale return");

    const CallResult purchase = Receipt(Purchase);
    ASSERT_TRUE(Done(purchase, "purchase"));
    EXPECT_EQ(MaskedDocumentAnswer(purchase.Out(3)), ReceiptAnswer(6, 4));
    ExpectDocument(Join({DayHeader("СМЕНА:1 ЧЕК:4", Seller, 7, SellerInn),
                         {Line("Кассовый чек/расход")},
                         PositionLines({.name = "Макулатура",
                                        .quantityPrice = "12.500 X 8.00",
                                        .sum = "=100.00",
                                        .vat = Line("БЕЗ НДС", "=100.00")}),
                         PositionLines({.name = "Картридж",
                                        .quantityPrice = "1.000 X 600.00",
                                        .sum = "=600.00",
                                        .vat = Line("НДС 20%", "=100.00")}),
                         {Line("ИТОГО", "=700.00"), Line("  НАЛИЧНЫМИ", "=700.00"), Line("ПОЛУЧЕНО:"),
                          Line("  НАЛИЧНЫМИ", "=700.00"), Line("СУММА НДС 20%", "=100.00"),
                          Line("СУММА БЕЗ НДС", "=100.00"), Line("СНО:УСН доход", "ФД:6 " + MaskedSign)},
                         Separator}),
                   "purchase");

    // A correction has no header and leaves the drawer alone.
    const CallResult correction = Correction(id, SalesCorrection);
    ASSERT_TRUE(Done(correction, "correction"));
    EXPECT_EQ(MaskedDocumentAnswer(correction.Out(3)), ReceiptAnswer(7, 5));
    ExpectDocument(Join({{Line("КОРРЕКЦИЯ ПРИХОДА"),
                          Line("ТИП КОРРЕКЦИИ:", "самостоятельно"),
                          Line("ИТОГ:", "=150.00"),
                          Line("  НАЛИЧНЫМИ", "=120.00"),
                          Line("  БЕЗНАЛИЧНЫМИ", "=30.00"),
                          Line("  АВАНС", "=0.00"),
                          Line("  КРЕДИТ", "=0.00"),
                          Line("  ИНАЯ ФОРМА ОПЛАТЫ", "=0.00"),
                          Line("СУММА НДС 20%", "=25.00"),
                          Line("СУММА НДС 10%", "=5.45"),
                          Line("СУММА НДС 0%", "=0.00"),
                          Line("СУММА БЕЗ НДС", "=0.00"),
                          Line("СУММА НДС 20/120", "=0.00"),
                          Line("СУММА НДС 10/110", "=0.00"),
                          Line("СУММА НДС 5%", "=0.00"),
                          Line("СУММА НДС 7%", "=0.00"),
                          Line("СУММА НДС 5/105", "=0.00"),
                          Line("СУММА НДС 7/107", "=0.00"),
                          Line("ОСН. ДЛЯ КОРР:", "Продажа без чека при сбое"),
                          Line("№ ДОК. КОРР:", "1"),
                          Line("ДАТА КОРР:", "01.05.2024"),
                          Line("СНО:УСН доход", "ФД:7 " + MaskedSign)},
                         Separator}),
                   "correction");

    // Only the text lines of the slip reach the file; a tagged line keeps no padding.
    ASSERT_TRUE(Done(TextDocument(id, TerminalSlip), "text document"));
    ExpectDocument({Line("ОПЛАТА КАРТОЙ"), Line("Терминал: 00012345"), "ОДОБРЕНО"}, "text document");

    ASSERT_TRUE(Done(CashInOut(id, -1000), "cash out"));
    ExpectDocument(
        Join({DayHeader("СМЕНА:1", Senior, 10, SeniorInn), {Line("ВЫПЛАТА", "=1000.00")}, Separator}),
        "cash out");

    ExpectRegisters({{"M72", "930.35"},  {"M73", "700"},      {"M74", "60.25"}, {"M76", "300"},
                     {"M78", "405"},     {"M92", "119.1666"}, {"M93", "100"},   {"M94", "67.5"},
                     {"M96", "24.5772"}, {"M98", "5.4773"},   {"M108", "40"},   {"M193", "930.35"},
                     {"M194", "700"},    {"M195", "60.25"},   {"M197", "300"},  {"M199", "405"},
                     {"M241", "4170.1"}, {"M242", "5000"},    {"M243", "1000"}, {"M254", "150"},
                     {"O144", "2"},      {"O145", "1"},       {"O146", "1"},    {"O153", "1"},
                     {"O154", "1"},      {"O200", "1"},       {"O202", "1"}},
                    "before the closing");
    ExpectFields({{"DayState", "1"},
                  {"FiscalDocCounter", "6"},
                  {"TotalFiscalDocCounter", "7"},
                  {"ReceiptNumber", "5"},
                  {"TotalReceiptCounter", "6"},
                  {"TotalDocCounter", "10"}},
                 "before the closing");

    const CallResult status = Status(id);
    ASSERT_TRUE(Done(status, "ПолучитьТекущееСостояние"));
    EXPECT_EQ(CompactAnswer(status.Out(2)),
              "<OutputParameters><Parameters CashBalance=\"4170.1\" RecState=\"0\" DrawerState=\"0\" "
              "CoverOpen=\"0\" ShiftNumber=\"1\" CheckNumber=\"7\" ShiftClosingCheckNumber=\"5\" "
              "ShiftState=\"2\" BacklogDocumentsCounter=\"0\" BacklogDocumentFirstNumber=\"0\" "
              "BacklogDocumentFirstDateTime=\"*\"><CountersOperationType1 CheckCount=\"2\" "
              "TotalChecksAmount=\"1230.35\"/><CountersOperationType2 CheckCount=\"1\" "
              "TotalChecksAmount=\"465.25\"/><CashIn Count=\"1\" TotalAmount=\"5000\"/>"
              "<CashOut Count=\"1\" TotalAmount=\"1000\"/></Parameters><Payments>"
              "<Cash Sell=\"930.35\" SellReturn=\"60.25\"/><NonCash Sell=\"300\" SellReturn=\"405\"/>"
              "<Prepaid Sell=\"0\" SellReturn=\"0\"/><Credit Sell=\"0\" SellReturn=\"0\"/>"
              "<Barter Sell=\"0\" SellReturn=\"0\"/></Payments></OutputParameters>");

    ASSERT_TRUE(Done(XReport(id, Seller), "X report"));
    ExpectDocument(Join({DayHeader("СМЕНА:1", Seller, 11),
                         {Centered("СУТОЧНЫЙ ОТЧЕТ БЕЗ ГАШЕНИЯ")},
                         ShiftTotals(FirstDay, false),
                         Separator}),
                   "X report");

    const CallResult closed = CloseShift(id, Seller);
    ASSERT_TRUE(Done(closed, "ЗакрытьСмену"));
    ExpectDocument(Join({DayHeader("СМЕНА:1", Seller, 12),
                         {Centered("ЗАКРЫТИЕ СМЕНЫ")},
                         ShiftTotals(FirstDay, true),
                         Separator}),
                   "Z report");
    EXPECT_EQ(
        CompactAnswer(closed.Out(2)),
        "<OutputParameters><Parameters FNError=\"false\" FNFail=\"false\" FNOverflow=\"false\" "
        "CashBalance=\"4170.1\" ShiftNumber=\"1\" DateTime=\"*\" ShiftState=\"1\" "
        "BacklogDocumentsCounter=\"0\" BacklogDocumentFirstNumber=\"0\" BacklogDocumentFirstDateTime=\"*\">"
        "<CountersOperationType1 CheckCount=\"2\" TotalChecksAmount=\"1230.35\"/>"
        "<CountersOperationType2 CheckCount=\"1\" TotalChecksAmount=\"465.25\"/></Parameters>"
        "</OutputParameters>");

    const CallResult settlements = SettlementsReport(id, Seller);
    ASSERT_TRUE(Done(settlements, "ОтчетОТекущемСостоянииРасчетов"));
    ExpectDocument(Join({DayHeader("СМЕНА:1", Seller, 13),
                         {Line("ОТЧЕТ О СОСТОЯНИИ РАСЧЕТОВ"), Line("НЕПЕРЕДАННЫХ ФД", "0"),
                          Line("ДАТА ПЕРВОГО НЕПЕРЕДАННОГО"), Line("ФД:9", MaskedSign)},
                         Separator}),
                   "settlement report");
    EXPECT_EQ(
        CompactAnswer(settlements.Out(2)),
        "<OutputParameters><Parameters NumberOfChecks=\"0\" NumberOfDocuments=\"2\" "
        "BacklogDocumentsCounter=\"0\" BacklogDocumentFirstNumber=\"0\" BacklogDocumentFirstDateTime=\"*\" "
        "UrgentReplacementFN=\"false\" ResourcesExhaustionFN=\"false\" MemoryOverflowFN=\"false\" "
        "OFDTimeout=\"false\" ResourcesFN=\"365\"/></OutputParameters>");

    // The closing cleared the shift; the non-resettable sums and the correction count stay.
    ExpectRegisters(
        {{"M72", "930.35"}, {"M73", "700"}, {"M74", "60.25"}, {"M76", "300"}, {"M78", "405"}, {"O200", "1"}},
        "after the day");
    ExpectFields({{"DayCounter", "1"},
                  {"DayState", "0"},
                  {"FiscalDocCounter", "1"},
                  {"TotalFiscalDocCounter", "9"},
                  {"ReceiptNumber", "0"},
                  {"TotalReceiptCounter", "6"},
                  {"TotalDocCounter", "13"},
                  {"FNLifeState", "1"},
                  {"RegDocumentNumber", "1"}},
                 "after the day");

    // The next morning a new shift starts from nothing but the totals that never reset.
    ASSERT_TRUE(Done(OpenShift(id, Seller), "second shift"));
    ExpectDocument(Join({DayHeader("СМЕНА:2", Seller, 14),
                         {Centered("ОТКРЫТИЕ СМЕНЫ"), Line("ФД:10", MaskedSign)},
                         Separator}),
                   "second shift");
    ASSERT_TRUE(Done(XReport(id, Seller), "X report of the second shift"));
    ExpectDocument(Join({DayHeader("СМЕНА:2", Seller, 15),
                         {Centered("СУТОЧНЫЙ ОТЧЕТ БЕЗ ГАШЕНИЯ")},
                         ShiftTotals(NextMorning, false),
                         Separator}),
                   "X report of the second shift");

    // Nothing else went into the file: the documents above are all of it, in this order.
    EXPECT_TRUE(NewDocumentLines().empty());
    const std::string file = OutputBytes();
    std::size_t fileLines = 0;
    for (std::size_t at = file.find("\r\n"); at != std::string::npos; at = file.find("\r\n", at + 2))
        ++fileLines;
    EXPECT_EQ(fileLines, documentLines);

    EXPECT_TRUE(Done(driver_->Call("ОтключитьОборудование", {Value::Text(id)}), "ОтключитьОборудование"));
}

} // namespace
} // namespace veltrano::hosttest::documents
