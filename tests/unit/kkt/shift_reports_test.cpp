#include "frame_fixture.h"
#include "kkt/operations/shift_reports.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace veltrano::kkt::testing {
namespace {

using Lines = std::vector<std::string>;

Lines BufferTexts(const output::OutputDevice& device) {
    Lines texts;
    for (const output::ReceiptEntry& entry : device.ReceiptStrList())
        texts.push_back(entry.Text);
    return texts;
}

// A shift with receipts of every kind, corrections, cash movements and VAT at several rates.
const std::vector<std::pair<std::string, std::string>> BusyShift{
    {"O144", "2"}, {"M193", "60"},  {"M197", "40"},   {"M209", "25"},    {"O145", "1"},    {"M194", "10"},
    {"O146", "1"}, {"M199", "7.5"}, {"O147", "3"},    {"M200", "2.345"}, {"O202", "1"},    {"M254", "11"},
    {"O153", "1"}, {"M242", "500"}, {"M241", "550"},  {"M92", "10"},     {"M112", "3.64"}, {"M100", "5"},
    {"M104", "1"}, {"M97", "0.91"}, {"M110", "1.25"}, {"M72", "1000"},   {"M76", "200"},   {"M88", "25"},
    {"M73", "10"}, {"M78", "7.5"},  {"M79", "2.345"},
};

Lines Section(const char* label, const char* total, std::vector<const char*> payments) {
    Lines lines{Line(label, total)};
    const char* names[] = {"НАЛИЧНЫМИ", "БЕЗНАЛИЧНЫМИ", "АВАНС", "КРЕДИТ", "ИНАЯ ФОРМА ОПЛАТЫ"};
    for (std::size_t t = 0; t < payments.size(); ++t)
        lines.push_back(Line("  " + std::string(names[t]), payments[t]));
    lines.push_back(BlankLine());
    return lines;
}

Lines BusyShiftTotals(const Lines& drawer) {
    Lines lines;
    for (const Lines& part :
         {Section("ПРИХОД 0002", "=125.00", {"=60.00", "=40.00", "=0.00", "=0.00", "=25.00"}),
          Section("РАСХОД 0001", "=10.00", {"=10.00", "=0.00", "=0.00", "=0.00", "=0.00"}),
          Section("ВОЗВРАТ ПРИХОДА 0001", "=7.50", {"=0.00", "=7.50", "=0.00", "=0.00", "=0.00"}),
          Section("ВОЗВРАТ РАСХОДА 0003", "=2.35", {"=0.00", "=2.35", "=0.00", "=0.00", "=0.00"}),
          Lines{Line("ЧЕКИ КОРРЕКЦИИ"), Line("ПРИХОД 0001", "=11.00"), Line("РАСХОД 0000", "=0.00"),
                BlankLine(), Line("ВНЕСЕНИЕ 0001", "=500.00"), Line("ВЫПЛАТА 0000", "=0.00")},
          drawer,
          Lines{Line("ВЫРУЧКА", "=84.85"), BlankLine(), Line("СУММА НАЛОГОВ ПО ТИПАМ", "=21.80"),
                Line("  ПРИХОД", "=19.64"), Line("    НДС 20%", "=10.00"), Line("    НДС 10/110", "=3.64"),
                Line("  РАСХОД", "=0.91"), Line("    НДС 10%", "=0.91"), Line("  ВОЗВРАТ ПРИХОДА", "=1.25"),
                Line("    НДС 20/120", "=1.25"), Line("  ВОЗВРАТ РАСХОДА", "=0.00"), BlankLine(),
                Line("НЕОБНУЛЯЕМЫЕ СУММЫ"), Line("  ПРИХОДА", "=1225.00"), Line("  РАСХОДА", "=10.00"),
                Line("  ВОЗВРАТА ПРИХОДА", "=7.50"), Line("  ВОЗВРАТА РАСХОДА", "=2.35"), BlankLine()}})
        lines.insert(lines.end(), part.begin(), part.end());
    return lines;
}

struct TotalsCase {
    const char* name;
    bool closing;
    Lines drawer;
};

class ShiftTotals : public KktInstanceTest, public ::testing::WithParamInterface<TotalsCase> {};

TEST_P(ShiftTotals, PrintEveryKindPaymentTaxAndTotalOfTheShift) {
    EditStorage(BusyShift);
    (void)Storage().Load();
    PrintShiftTotals(Instance(), GetParam().closing);
    EXPECT_EQ(BufferTexts(Device()), BusyShiftTotals(GetParam().drawer));
}

INSTANTIATE_TEST_SUITE_P(
    Reports, ShiftTotals,
    ::testing::Values(TotalsCase{"XReportShowsTheDrawer", false, {Line("НАЛ. В КАССЕ", "=550.00")}},
                      TotalsCase{"ZReportCollectsTheDrawer",
                                 true,
                                 {Line("ИНКАССАЦИЯ", "=550.00"), Line("НАЛ. В КАССЕ", "=0.00")}}),
    [](const ::testing::TestParamInfo<TotalsCase>& info) { return std::string(info.param.name); });

TEST_F(KktInstanceTest, AnXReportWithTheShiftClosedCountsOnlyAsADocument) {
    EditStorage(BusyShift);
    PrintXReport(Instance(), CashierInput("Петров П.П.", ""));

    const Lines lines = NewOutputLines();
    ASSERT_GT(lines.size(), 8u);
    EXPECT_EQ(Lines(lines.begin(), lines.begin() + 7),
              (Lines{Centered("Учебный ККТ"), Line("РН ККТ:1234567890123456", "01.05.2024 13:45"),
                     Line("ЗН ККТ:12345678"), Line("ИНН:9988776655", "ФН:9999000000000000"),
                     Line("Кассир:Петров П.П.", "#0001"), Line("Сайт ФНС:", "www.nalog.gov.ru"),
                     Centered("СУТОЧНЫЙ ОТЧЕТ БЕЗ ГАШЕНИЯ")}));
    const Lines body = BusyShiftTotals({Line("НАЛ. В КАССЕ", "=550.00")});
    EXPECT_EQ(Lines(lines.begin() + 7, lines.end() - 2), body);
    EXPECT_EQ(Lines(lines.end() - 2, lines.end()), (Lines{BlankLine(), RuleLine()}));

    EXPECT_EQ(StoredValue("TotalDocCounter"), "1");
    EXPECT_EQ(StoredValue("TotalFiscalDocCounter"), "0");
    EXPECT_EQ(StoredValue("FiscalDocCounter"), "0");
    EXPECT_EQ(StoredValue("DayState"), "0");
    EXPECT_EQ(StoredValue("M241"), "550");
}

TEST_F(KktInstanceTest, TheSettlementReportCountsTheReceiptsOfTheLastShift) {
    EditStorage({{"FNLifeState", "1"}, {"ReceiptNumber", "4"}, {"TotalFiscalDocCounter", "9"}});
    pugi::xml_document output = EmptyOutput();
    ReportCurrentStatusOfSettlements(Instance(), CashierInput("Петров П.П.", ""), output);
    const pugi::xml_node parameters = output.child("OutputParameters").child("Parameters");
    EXPECT_STREQ(parameters.attribute("NumberOfChecks").value(), "4");
    EXPECT_STREQ(parameters.attribute("NumberOfDocuments").value(), "6");
    EXPECT_EQ(MaskFiscalSign(NewOutputLines()).at(9), Line("ФД:10", "ФП:##########"));
}

} // namespace
} // namespace veltrano::kkt::testing
