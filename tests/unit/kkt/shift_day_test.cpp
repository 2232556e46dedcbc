#include "common/money.h"
#include "common/text.h"
#include "frame_fixture.h"
#include "kkt/operations/shift_operations.h"
#include "kkt/operations/shift_reports.h"
#include "output/receipt_preview.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace veltrano::kkt::testing {
namespace {

using Fields = std::vector<std::pair<std::string, std::string>>;
using Lines = std::vector<std::string>;

// The header of every document made at TestNow with the default storage's registration data.
Lines Header(std::string_view shiftPart, std::string_view cashier, std::string_view number,
             std::string_view cashierInn) {
    Lines lines{
        Centered("Учебный ККТ"),
        Line("РН ККТ:1234567890123456", "01.05.2024 13:45"),
        Line("ЗН ККТ:12345678", shiftPart),
        Line("ИНН:9988776655", "ФН:9999000000000000"),
        Line("Кассир:" + std::string(cashier), number),
    };
    if (!cashierInn.empty())
        lines.push_back(Line("ИНН кассира:", cashierInn));
    lines.push_back(Line("Сайт ФНС:", "www.nalog.gov.ru"));
    return lines;
}

Lines Concat(std::initializer_list<Lines> parts) {
    Lines all;
    for (const Lines& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

const Lines Separator{BlankLine(), RuleLine()};

// The totals body of a shift with cash movements only.
Lines CashOnlyTotals(std::string_view cashIn, std::string_view cashOut, const Lines& drawer) {
    Lines lines;
    for (const char* kind : {"ПРИХОД", "РАСХОД", "ВОЗВРАТ ПРИХОДА", "ВОЗВРАТ РАСХОДА"}) {
        lines.push_back(Line(std::string(kind) + " 0000", "=0.00"));
        for (const char* payment : {"НАЛИЧНЫМИ", "БЕЗНАЛИЧНЫМИ", "АВАНС", "КРЕДИТ", "ИНАЯ ФОРМА ОПЛАТЫ"})
            lines.push_back(Line("  " + std::string(payment), "=0.00"));
        lines.push_back(BlankLine());
    }
    Lines rest{
        Line("ЧЕКИ КОРРЕКЦИИ"),        Line("ПРИХОД 0000", "=0.00"),
        Line("РАСХОД 0000", "=0.00"),  BlankLine(),
        Line("ВНЕСЕНИЕ 0001", cashIn), Line("ВЫПЛАТА 0001", cashOut),
    };
    rest.insert(rest.end(), drawer.begin(), drawer.end());
    Lines taxes{
        Line("ВЫРУЧКА", "=0.00"),
        BlankLine(),
        Line("СУММА НАЛОГОВ ПО ТИПАМ", "=0.00"),
        Line("  ПРИХОД", "=0.00"),
        Line("  РАСХОД", "=0.00"),
        Line("  ВОЗВРАТ ПРИХОДА", "=0.00"),
        Line("  ВОЗВРАТ РАСХОДА", "=0.00"),
        BlankLine(),
        Line("НЕОБНУЛЯЕМЫЕ СУММЫ"),
        Line("  ПРИХОДА", "=0.00"),
        Line("  РАСХОДА", "=0.00"),
        Line("  ВОЗВРАТА ПРИХОДА", "=0.00"),
        Line("  ВОЗВРАТА РАСХОДА", "=0.00"),
        BlankLine(),
    };
    return Concat({lines, rest, taxes});
}

class ShiftDay : public KktInstanceTest {
protected:
    void ExpectStored(const Fields& fields) const {
        for (const auto& [field, value] : fields)
            EXPECT_EQ(StoredValue(field), value) << field;
    }
    void ExpectNewDocument(const Lines& expected) {
        const Lines lines = NewOutputLines();
        for (const std::string& line : lines)
            EXPECT_EQ(text::Length(line), static_cast<std::size_t>(TestLineLength)) << line;
        EXPECT_EQ(MaskFiscalSign(lines), expected);
    }
};

TEST_F(ShiftDay, AFullDayGivesTheDocumentsCountersRegistersAndOutputParameters) {
    const std::string start = std::to_string(TestMoment());

    pugi::xml_document opened = EmptyOutput();
    OpenShift(Instance(), CashierInput("Петров П.П.", "771234567890"), opened);
    EXPECT_EQ(Compact(opened), "<OutputParameters><Parameters FNError=\"false\" FNFail=\"false\" "
                               "FNOverflow=\"false\" ShiftNumber=\"1\" DateTime=\"2024-05-01T13:45:07\" "
                               "ShiftState=\"2\"/></OutputParameters>");
    ExpectNewDocument(Concat({Header("СМЕНА:1", "Петров П.П.", "#0001", "771234567890"),
                              {Centered("ОТКРЫТИЕ СМЕНЫ"), Line("ФД:1", "ФП:##########")},
                              Separator}));
    ExpectStored({{"DayState", "1"},
                  {"DayStart", start},
                  {"DayCounter", "1"},
                  {"FiscalDocCounter", "1"},
                  {"TotalFiscalDocCounter", "1"},
                  {"ReceiptNumber", "0"},
                  {"TotalReceiptCounter", "1"},
                  {"TotalDocCounter", "1"},
                  {"M241", "0"}});

    CashInOutcome(Instance(), *Money::Parse("1500.50"));
    ExpectNewDocument(Concat({Header("СМЕНА:1", "Петров П.П.", "#0002", "771234567890"),
                              {Line("ВНЕСЕНИЕ", "=1500.50")},
                              Separator}));
    ExpectStored({{"TotalDocCounter", "2"}, {"M241", "1500.5"}, {"M242", "1500.5"}, {"O153", "1"}});

    CashInOutcome(Instance(), -*Money::Parse("200.255"));
    ExpectNewDocument(Concat({Header("СМЕНА:1", "Петров П.П.", "#0003", "771234567890"),
                              {Line("ВЫПЛАТА", "=200.26")},
                              Separator}));
    ExpectStored({{"TotalDocCounter", "3"},
                  {"M241", "1300.245"},
                  {"M243", "200.255"},
                  {"O154", "1"},
                  {"TotalFiscalDocCounter", "1"}});

    PrintXReport(Instance(), CashierInput("Сидорова А.А.", ""));
    ExpectNewDocument(Concat({Header("СМЕНА:1", "Сидорова А.А.", "#0004", ""),
                              {Centered("СУТОЧНЫЙ ОТЧЕТ БЕЗ ГАШЕНИЯ")},
                              CashOnlyTotals("=1500.50", "=200.26", {Line("НАЛ. В КАССЕ", "=1300.25")}),
                              Separator}));
    ExpectStored({{"TotalDocCounter", "4"}, {"FiscalDocCounter", "1"}, {"TotalFiscalDocCounter", "1"}});

    pugi::xml_document status = EmptyOutput();
    GetCurrentStatus(Instance(), status);
    EXPECT_EQ(
        Compact(status),
        "<OutputParameters><Parameters CashBalance=\"1300.245\" RecState=\"0\" DrawerState=\"0\" "
        "CoverOpen=\"0\" ShiftNumber=\"1\" CheckNumber=\"1\" ShiftClosingCheckNumber=\"0\" ShiftState=\"2\" "
        "BacklogDocumentsCounter=\"0\" BacklogDocumentFirstNumber=\"0\" "
        "BacklogDocumentFirstDateTime=\"2024-05-01T13:45:07\">"
        "<CountersOperationType1 CheckCount=\"0\" TotalChecksAmount=\"0\"/>"
        "<CountersOperationType2 CheckCount=\"0\" TotalChecksAmount=\"0\"/>"
        "<CashIn Count=\"1\" TotalAmount=\"1500.5\"/><CashOut Count=\"1\" TotalAmount=\"200.255\"/>"
        "</Parameters><Payments><Cash Sell=\"0\" SellReturn=\"0\"/><NonCash Sell=\"0\" SellReturn=\"0\"/>"
        "<Prepaid Sell=\"0\" SellReturn=\"0\"/><Credit Sell=\"0\" SellReturn=\"0\"/>"
        "<Barter Sell=\"0\" SellReturn=\"0\"/></Payments></OutputParameters>");
    EXPECT_TRUE(NewOutputLines().empty());
    ExpectStored({{"TotalDocCounter", "4"}, {"DayState", "1"}});

    pugi::xml_document closed = EmptyOutput();
    CloseShift(Instance(), CashierInput("Сидорова А.А.", ""), closed);
    EXPECT_EQ(Compact(closed),
              "<OutputParameters><Parameters FNError=\"false\" FNFail=\"false\" FNOverflow=\"false\" "
              "CashBalance=\"1300.245\" ShiftNumber=\"1\" DateTime=\"2024-05-01T13:45:07\" ShiftState=\"1\" "
              "BacklogDocumentsCounter=\"0\" BacklogDocumentFirstNumber=\"0\" "
              "BacklogDocumentFirstDateTime=\"2024-05-01T13:45:07\">"
              "<CountersOperationType1 CheckCount=\"0\" TotalChecksAmount=\"0\"/>"
              "<CountersOperationType2 CheckCount=\"0\" TotalChecksAmount=\"0\"/>"
              "</Parameters></OutputParameters>");
    ExpectNewDocument(Concat({Header("СМЕНА:1", "Сидорова А.А.", "#0005", ""),
                              {Centered("ЗАКРЫТИЕ СМЕНЫ")},
                              CashOnlyTotals("=1500.50", "=200.26",
                                             {Line("ИНКАССАЦИЯ", "=1300.25"), Line("НАЛ. В КАССЕ", "=0.00")}),
                              Separator}));
    ExpectStored({{"DayState", "0"},
                  {"DayCounter", "1"},
                  {"TotalDocCounter", "5"},
                  {"FiscalDocCounter", "0"},
                  {"TotalFiscalDocCounter", "2"},
                  {"ReceiptNumber", "0"},
                  {"TotalReceiptCounter", "1"},
                  {"M241", "0"},
                  {"M242", "0"},
                  {"M243", "0"},
                  {"O153", "0"},
                  {"O154", "0"}});

    EditStorage({{"FNLifeState", "1"}});
    pugi::xml_document settlements = EmptyOutput();
    ReportCurrentStatusOfSettlements(Instance(), CashierInput("Петров П.П.", ""), settlements);
    EXPECT_EQ(Compact(settlements),
              "<OutputParameters><Parameters NumberOfChecks=\"0\" NumberOfDocuments=\"2\" "
              "BacklogDocumentsCounter=\"0\" BacklogDocumentFirstNumber=\"0\" "
              "BacklogDocumentFirstDateTime=\"01.05.2024 13:45:07\" UrgentReplacementFN=\"false\" "
              "ResourcesExhaustionFN=\"false\" MemoryOverflowFN=\"false\" OFDTimeout=\"false\" "
              "ResourcesFN=\"365\"/></OutputParameters>");
    ExpectNewDocument(Concat({Header("СМЕНА:1", "Петров П.П.", "#0006", ""),
                              {Line("ОТЧЕТ О СОСТОЯНИИ РАСЧЕТОВ"), Line("НЕПЕРЕДАННЫХ ФД", "0"),
                               Line("ДАТА ПЕРВОГО НЕПЕРЕДАННОГО"), Line("ФД:3", "ФП:##########")},
                              Separator}));
    ExpectStored({{"FiscalDocCounter", "1"},
                  {"TotalDocCounter", "6"},
                  {"TotalFiscalDocCounter", "3"},
                  {"DayState", "0"},
                  {"FNLifeState", "1"}});
}

TEST_F(ShiftDay, TheNextShiftContinuesTheTotalCountersAndStartsWithAnEmptyDrawer) {
    CashInOutcome(Instance(), Money::FromWhole(100));
    EXPECT_EQ(StoredValue("M241"), "100");
    for (auto* operation : {&OpenShift, &CloseShift, &OpenShift}) {
        pugi::xml_document output = EmptyOutput();
        operation(Instance(), CashierInput("Петров П.П.", ""), output);
    }
    ExpectStored({{"DayCounter", "2"},
                  {"DayState", "1"},
                  {"FiscalDocCounter", "1"},
                  {"TotalFiscalDocCounter", "3"},
                  {"TotalReceiptCounter", "2"},
                  {"TotalDocCounter", "4"},
                  {"M241", "0"},
                  {"M242", "0"}});
}

TEST_F(ShiftDay, CashMovedWhileNoShiftWasOpenCountsInNoShiftsReport) {
    CashInOutcome(Instance(), Money::FromWhole(300));
    CashInOutcome(Instance(), Money::FromWhole(201));
    CashInOutcome(Instance(), Money::FromWhole(-1));
    ExpectStored({{"O153", "2"}, {"M242", "501"}, {"O154", "1"}, {"M243", "1"}});
    pugi::xml_document output = EmptyOutput();
    OpenShift(Instance(), CashierInput("Петров П.П.", ""), output);
    ExpectStored({{"O153", "0"}, {"M242", "0"}, {"O154", "0"}, {"M243", "0"}});

    CashInOutcome(Instance(), Money::FromWhole(50));
    NewOutputLines();
    PrintXReport(Instance(), CashierInput("Петров П.П.", ""));
    const Lines report = NewOutputLines();
    EXPECT_NE(std::find(report.begin(), report.end(), Line("ВНЕСЕНИЕ 0001", "=50.00")), report.end());
    EXPECT_NE(std::find(report.begin(), report.end(), Line("ВЫПЛАТА 0000", "=0.00")), report.end());
}

// Keeps the caption and number of every document handed over.
class CaptionRecorder final : public output::IReceiptPreview {
public:
    bool Exists() const override { return true; }
    void Ensure(std::size_t, int) override {}
    void Destroy() override {}
    void Place(const output::PreviewPlacement&) override {}
    int MonospacedCharWidth() const override { return 8; }
    void AddDocument(std::string caption, std::string number, output::ReceiptEntries) override {
        shown.emplace_back(std::move(caption), std::move(number));
    }
    std::vector<std::pair<std::string, std::string>> shown;
};

TEST_F(ShiftDay, EachDocumentReachesThePreviewUnderItsKindAndNumber) {
    const auto recorder = std::make_shared<CaptionRecorder>();
    const auto previous = output::InstallReceiptPreview(recorder);
    Device().ShowReceiptForm = 2;
    const pugi::xml_document input = CashierInput("Петров П.П.", "");
    pugi::xml_document output = EmptyOutput();

    OpenShift(Instance(), input, output);
    CashInOutcome(Instance(), Money::FromWhole(10));
    CashInOutcome(Instance(), Money::FromWhole(-10));
    PrintXReport(Instance(), input);
    GetCurrentStatus(Instance(), output);
    CloseShift(Instance(), input, output);
    EditStorage({{"FNLifeState", "1"}});
    ReportCurrentStatusOfSettlements(Instance(), input, output);
    output::InstallReceiptPreview(previous);

    EXPECT_EQ(recorder->shown,
              (std::vector<std::pair<std::string, std::string>>{{"Открытие смены", "1"},
                                                                {"Внесение", "2"},
                                                                {"Выплата", "3"},
                                                                {"Отчет без гашения", "4"},
                                                                {"Закрытие смены", "5"},
                                                                {"Отчет о сост. расчетов", "6"}}));
}

} // namespace
} // namespace veltrano::kkt::testing
