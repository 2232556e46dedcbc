#include "kkt/operations/correction_receipt.h"
#include "kkt/operations/shift_operations.h"
#include "registration_fixture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace veltrano::kkt::testing::documents {
namespace {

constexpr std::string_view BadInput = "Ошибка входных параметров команды";
constexpr std::string_view UnknownRate = "Налоговая группа вне допустимого диапазона";

// A correction package: the Parameters attributes, the CorrectionData attributes, the Positions children and
// the Payments attributes as XML fragments.
std::string Package(std::string_view parameters, std::string_view correction, std::string_view positions,
                    std::string_view payments) {
    return "<CheckCorrectionPackage><Parameters " + std::string(parameters) + "><CorrectionData " +
           std::string(correction) + "/></Parameters><Positions>" + std::string(positions) +
           "</Positions><Payments " + std::string(payments) + "/></CheckCorrectionPackage>";
}

Lines ZeroVatLines() {
    Lines lines;
    for (const char* label :
         {"СУММА НДС 20%", "СУММА НДС 10%", "СУММА НДС 0%", "СУММА БЕЗ НДС", "СУММА НДС 20/120",
          "СУММА НДС 10/110", "СУММА НДС 5%", "СУММА НДС 7%", "СУММА НДС 5/105", "СУММА НДС 7/107"})
        lines.push_back(Line(label, "=0.00"));
    return lines;
}

class Correction : public DocumentsTest {
protected:
    void SetUp() override {
        DocumentsTest::SetUp();
        pugi::xml_document opened = EmptyOutput();
        OpenShift(Instance(), CashierInput("Петров П.П.", ""), opened);
        EditStorage({{"M241", "300"}});
        NewOutputLines();
    }

    std::string Correct(std::string_view package, bool electronically = false) {
        pugi::xml_document output = EmptyOutput();
        ProcessCorrectionCheck(Instance(), electronically, Xml(package), output);
        return MaskedAnswer(output);
    }

    // The VAT line of the group as a correction with these positions prints it.
    std::string VatLine(std::string_view positions, std::size_t group) {
        Correct(Package(R"(OperationType="1")", "", positions, ""));
        const Lines lines = NewOutputLines();
        return lines.at(8 + group);
    }
};

TEST_F(Correction, ACorrectionOfSalesPrintsItsTotalsAndCountsAsAReceipt) {
    const int printedBefore = printed;
    const std::string answer = Correct(Package(
        R"(CashierName="Сидорова А.А." CashierINN="771234567890" OperationType="1" TaxationSystems="2")",
        R"(Type="0" Description="Сбой кассы" Number="17-К" Date="2024-04-30T01:00:00+03:00")",
        R"(<FiscalString Name="Товар" VATRate="20" VATAmount="10"/>
           <FiscalString VATRate="18" VATAmount="5,5"/>
           <FiscalString VATRate="18/118" VATAmount="3.3333"/>
           <FiscalString VATRate="NONE" VATAmount="abc"/>
           <fiscalString VATRate="bogus" VATAmount="1"/>
           <TextString Text="не печатается"/>)",
        R"(Cash="100.5" ElectronicPayment="20,25" PrePayment="" PostPayment="x" Barter="0.005")"));

    ExpectNewDocument(Concat({
        {
            Line("КОРРЕКЦИЯ ПРИХОДА"),
            Line("ТИП КОРРЕКЦИИ:", "самостоятельно"),
            Line("ИТОГ:", "=120.76"),
            Line("  НАЛИЧНЫМИ", "=100.50"),
            Line("  БЕЗНАЛИЧНЫМИ", "=20.25"),
            Line("  АВАНС", "=0.00"),
            Line("  КРЕДИТ", "=0.00"),
            Line("  ИНАЯ ФОРМА ОПЛАТЫ", "=0.01"),
            Line("СУММА НДС 20%", "=5.50"),
            Line("СУММА НДС 10%", "=0.00"),
            Line("СУММА НДС 0%", "=0.00"),
            Line("СУММА БЕЗ НДС", "=0.00"),
            Line("СУММА НДС 20/120", "=3.33"),
            Line("СУММА НДС 10/110", "=0.00"),
            Line("СУММА НДС 5%", "=0.00"),
            Line("СУММА НДС 7%", "=0.00"),
            Line("СУММА НДС 5/105", "=0.00"),
            Line("СУММА НДС 7/107", "=0.00"),
            Line("ОСН. ДЛЯ КОРР:", "Сбой кассы"),
            Line("№ ДОК. КОРР:", "17-К"),
            Line("ДАТА КОРР:", "29.04.2024"),
            Line("СНО:УСН доход - расход", "ФД:2 ФП:##########"),
        },
        Separator,
    }));
    EXPECT_EQ(answer,
              "<DocumentOutputParameters><Parameters ShiftNumber=\"1\" CheckNumber=\"2\" "
              "ShiftClosingCheckNumber=\"1\" DateTime=\"2024-05-01T13:45:07\" FiscalSign=\"##########\" "
              "AddressSiteInspections=\"www.nalog.gov.ru\"/></DocumentOutputParameters>");
    ExpectStored({{"ReceiptNumber", "1"},
                  {"TotalReceiptCounter", "2"},
                  {"TotalDocCounter", "2"},
                  {"FiscalDocCounter", "2"},
                  {"TotalFiscalDocCounter", "2"},
                  {"O200", "1"},
                  {"O202", "1"},
                  {"M254", "120.755"},
                  {"O201", "0"},
                  {"O203", "0"},
                  {"M255", "0"},
                  {"M241", "300"},
                  {"M72", "0"},
                  {"M193", "0"},
                  {"O144", "0"}});
    EXPECT_EQ(Instance().CurrentCashier().Name, "Сидорова А.А.");
    EXPECT_EQ(Instance().CurrentCashier().INN, "771234567890");
    ASSERT_FALSE(Shown().empty());
    EXPECT_EQ(Shown().back().caption, "Чек коррекции");
    EXPECT_EQ(Shown().back().number, "2");
    EXPECT_EQ(printed, printedBefore + 1);
}

TEST_F(Correction, ACorrectionOfPurchasesWithoutPositionsPrintsEveryLineWithNoughts) {
    Correct(Package(R"(OperationType="259" TaxationSystem="3")", R"(Type="2")", "", ""));
    ExpectNewDocument(Concat({
        {
            Line("КОРРЕКЦИЯ РАСХОДА"),
            Line("ТИП КОРРЕКЦИИ:", "по предписаниию"),
            Line("ИТОГ:", "=0.00"),
            Line("  НАЛИЧНЫМИ", "=0.00"),
            Line("  БЕЗНАЛИЧНЫМИ", "=0.00"),
            Line("  АВАНС", "=0.00"),
            Line("  КРЕДИТ", "=0.00"),
            Line("  ИНАЯ ФОРМА ОПЛАТЫ", "=0.00"),
        },
        ZeroVatLines(),
        {
            Line("ОСН. ДЛЯ КОРР:"),
            Line("№ ДОК. КОРР:"),
            Line("ДАТА КОРР:", "01.05.2024"),
            Line("СНО:ОСН", "ФД:2 ФП:##########"),
        },
        Separator,
    }));
    EXPECT_EQ(Instance().CurrentCashier().Name, "");
}

TEST_F(Correction, SalesAndPurchasesKeepTheirOwnRegistersAndNeverTouchTheDrawer) {
    struct Step {
        const char* operationType;
        const char* cash;
        Fields stored;
    };
    const std::vector<Step> steps{
        {"1",
         "10",
         {{"O200", "1"}, {"O202", "1"}, {"M254", "10"}, {"O201", "0"}, {"O203", "0"}, {"M255", "0"}}},
        {"3",
         "7.25",
         {{"O200", "1"}, {"O202", "1"}, {"M254", "10"}, {"O201", "1"}, {"O203", "1"}, {"M255", "7.25"}}},
        {"1",
         "-2",
         {{"O200", "2"}, {"O202", "2"}, {"M254", "8"}, {"O201", "1"}, {"O203", "1"}, {"M255", "7.25"}}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.operationType);
        Correct(Package("OperationType=\"" + std::string(step.operationType) + "\"", "", "",
                        "Cash=\"" + std::string(step.cash) + "\""));
        ExpectStored(step.stored);
        ExpectStored({{"M241", "300"}, {"M242", "0"}, {"M243", "0"}});
    }
    ExpectStored({{"ReceiptNumber", "3"}, {"TotalFiscalDocCounter", "4"}, {"TotalDocCounter", "4"}});
}

TEST_F(Correction, EachVatGroupHoldsItsLastPosition) {
    const std::vector<std::tuple<std::string, std::size_t, std::string>> cases{
        {R"(<FiscalString VATRate="20" VATAmount="10"/><FiscalString VATRate="20" VATAmount="5"/>)", 0,
         Line("СУММА НДС 20%", "=5.00")},
        {R"(<FiscalString VATRate="20" VATAmount="10"/><FiscalString VATRate="18" VATAmount="4"/>)", 0,
         Line("СУММА НДС 20%", "=4.00")},
        {R"(<FiscalString VATRate="18/118" VATAmount="2.345"/>)", 4, Line("СУММА НДС 20/120", "=2.35")},
        {R"(<FiscalString VATRate="10" VATAmount="1.5"/><FiscalString VATRate="20" VATAmount="9"/>)", 1,
         Line("СУММА НДС 10%", "=1.50")},
        {R"(<FiscalString VATRate="0" VATAmount="3"/>)", 2, Line("СУММА НДС 0%", "=3.00")},
        {R"(<FiscalString VATRate="10/110" VATAmount="-1.005"/>)", 5, Line("СУММА НДС 10/110", "=-1.01")},
        {R"(<FiscalString VATRate="5" VATAmount="0.5"/>)", 6, Line("СУММА НДС 5%", "=0.50")},
        {R"(<FiscalString VATRate="7" VATAmount="0.7"/>)", 7, Line("СУММА НДС 7%", "=0.70")},
        {R"(<FiscalString VATRate="5/105" VATAmount="1"/>)", 8, Line("СУММА НДС 5/105", "=1.00")},
        {R"(<FiscalString VATRate="7/107" VATAmount="1e3"/>)", 9, Line("СУММА НДС 7/107", "=0.00")},
    };
    for (const auto& [positions, group, expected] : cases)
        EXPECT_EQ(VatLine(positions, group), expected) << positions;
}

TEST_F(Correction, The22PercentGroupsPrintWhenAPositionNamesTheirRate) {
    const auto vatLines = [&](std::string_view positions) {
        Correct(Package(R"(OperationType="1")", "", positions, ""));
        const Lines lines = NewOutputLines();
        return Lines(lines.begin() + 8, lines.end() - 6);
    };
    Lines both = ZeroVatLines();
    both[0] = Line("СУММА НДС 20%", "=10.00");
    both.insert(both.end(), {Line("СУММА НДС 22%", "=22.00"), Line("СУММА НДС 22/122", "=0.00")});
    // A correction may span the change of rates: 20 % and 22 % are taken together.
    EXPECT_EQ(
        vatLines(
            R"(<FiscalString VATRate="20" VATAmount="10"/><FiscalString VATRate="22" VATAmount="1"/>)"
            R"(<FiscalString VATRate="22" VATAmount="22"/><FiscalString VATRate="22/122" VATAmount="0"/>)"),
        both);
    Lines only122 = ZeroVatLines();
    only122.push_back(Line("СУММА НДС 22/122", "=4.40"));
    EXPECT_EQ(vatLines(R"(<FiscalString VATRate="22/122" VATAmount="4.4"/>)"), only122);
}

TEST_F(Correction, TheCorrectionDateIsTheDocumentsDateInUTCOrToday) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"", "01.05.2024"},
        {"   ", "01.05.2024"},
        {"2023-12-31", "31.12.2023"},
        {" 2023-12-31 ", "31.12.2023"},
        {"2024-03-01T01:00:00+03:00", "29.02.2024"},
        {"2024-03-01T01:00:00", "01.03.2024"},
        {"2024-02-29T23:00:00-01:00", "01.03.2024"},
    };
    for (const auto& [date, shown] : cases) {
        Correct(Package(R"(OperationType="1")", "Date=\"" + date + "\"", "", ""));
        EXPECT_EQ(NewOutputLines().at(20), Line("ДАТА КОРР:", shown)) << date;
    }
}

TEST_F(Correction, PrintingFollowsOnlyTheSwitchThatTurnsItOff) {
    for (const auto& [switchValue, expected] :
         std::vector<std::pair<std::uint8_t, int>>{{0, 1}, {1, 1}, {2, 0}}) {
        Instance().EnablePrinting = switchValue;
        for (bool electronically : {false, true}) {
            const int before = printed;
            Correct(Package(R"(OperationType="1")", "", "", ""), electronically);
            EXPECT_EQ(printed - before, expected) << static_cast<int>(switchValue) << electronically;
        }
    }
}

struct RefusalCase {
    const char* name;
    std::string package;
    std::string_view message;
    int code = 0;
};

TEST_F(Correction, RefusalsKeepTheStorageAndProduceNoDocument) {
    const std::string noCorrectionData =
        "<P><Parameters OperationType=\"1\"/><Positions/><Payments/><CorrectionData/></P>";
    const std::vector<RefusalCase> cases{
        {"empty package", "", BadInput},
        {"no Parameters", "<P><Positions/><Payments/></P>", BadInput},
        {"no Positions", "<P><Parameters><CorrectionData/></Parameters><Payments/></P>", BadInput},
        {"no Payments", "<P><Parameters><CorrectionData/></Parameters><Positions/></P>", BadInput},
        {"CorrectionData outside Parameters", noCorrectionData, BadInput},
        {"month 13", Package(R"(OperationType="1")", R"(Date="2024-13-01")", "", ""), BadInput, 1004},
        {"Russian date", Package(R"(OperationType="1")", R"(Date="01.05.2024")", "", ""), BadInput, 1004},
        {"30 February", Package(R"(OperationType="1")", R"(Date="2024-02-30")", "", ""), BadInput, 1004},
        {"hour 25", Package(R"(OperationType="1")", R"(Date="2024-05-01T25:00")", "", ""), BadInput, 1004},
        {"rate with a space", Package(R"(OperationType="1")", "", R"(<FiscalString VATRate="20 "/>)", ""),
         UnknownRate},
        {"rate missing", Package(R"(OperationType="1")", "", R"(<FiscalString VATAmount="1"/>)", ""),
         UnknownRate},
        {"unknown rate before a wrong operation type",
         Package(R"(OperationType="2")", "", R"(<FiscalString VATRate="21"/>)", ""), UnknownRate},
        {"operation type 2", Package(R"(OperationType="2")", "", "", ""), BadInput},
        {"operation type 4", Package(R"(OperationType="4")", "", "", ""), BadInput},
        {"operation type missing", Package("", "", "", ""), BadInput},
        {"operation type not a number", Package(R"(OperationType="один")", "", "", ""), BadInput},
        {"operation type 256", Package(R"(OperationType="256")", "", "", ""), BadInput},
        {"taxation system 6", Package(R"(OperationType="1" TaxationSystems="6")", "", "", ""), BadInput},
        {"taxation system -1", Package(R"(OperationType="3" TaxationSystems="-1")", "", "", ""), BadInput},
        {"VAT amount beyond the range of amounts",
         Package(R"(OperationType="1")", "",
                 R"(<FiscalString VATRate="20" VATAmount="99999999999999999999"/>)", ""),
         "Значение атрибута VATAmount вне допустимого диапазона"},
        {"payment beyond the range of amounts",
         Package(R"(OperationType="1")", "", "", R"(Cash="1e3" Barter="-922337203685478")"),
         "Значение атрибута Barter вне допустимого диапазона"},
        {"taxation system beyond 32 bits",
         Package(R"(OperationType="1" TaxationSystems="4294967296")", "", "", ""), BadInput},
        {"payments beyond the range of amounts",
         Package(R"(OperationType="1")", "", "", R"(Cash="900000000000000" Barter="900000000000000")"),
         "Сумма вне допустимого диапазона"},
    };
    for (const RefusalCase& test : cases) {
        SCOPED_TRACE(test.name);
        ExpectRefused([&] { Correct(test.package); }, test.message, test.code);
    }
}

TEST_F(Correction, AShiftIsNeededAndMayNotBeOlderThanADay) {
    const std::string package = Package(R"(OperationType="1")", "", "", "");
    EditStorage({{"DayStart", std::to_string(TestMoment() - 86401)}});
    ExpectRefused([&] { Correct(package); }, "Длительность смены превысила 24 часа");
    EditStorage({{"DayState", "0"}});
    ExpectRefused([&] { Correct(package); }, "Смена закрыта");
}

TEST_F(Correction, ARegisterThatWouldOverflowFailsInsteadOfWrapping) {
    EditStorage({{"M254", "922337203685477"}});
    ExpectRefused([&] { Correct(Package(R"(OperationType="1")", "", "", R"(Cash="1")")); },
                  "Сумма вне допустимого диапазона");
}

TEST_F(Correction, TheCashierStaysAfterALaterRefusal) {
    ExpectRefused([&] { Correct(Package(R"(CashierName="Сидорова А.А." OperationType="7")", "", "", "")); },
                  BadInput);
    EXPECT_EQ(Instance().CurrentCashier().Name, "Сидорова А.А.");
}

} // namespace
} // namespace veltrano::kkt::testing::documents
