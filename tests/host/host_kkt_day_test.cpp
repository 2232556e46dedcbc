// A whole training day on the virtual device through the host: every document read back whole from the
// output file, the counters and registers from DataFN.xml, the answers as XML.
#include "host_kkt_fixture.h"

#include <ctime>
#include <string>
#include <vector>

namespace veltrano::hosttest {
namespace {

std::string DocNumber(int number) {
    std::string digits = std::to_string(number);
    return "#" + std::string(digits.size() < 4 ? 4 - digits.size() : 0, '0') + digits;
}

std::vector<std::string> Header(const std::string& cashier, const std::string& shift, int document) {
    return {Centered("Учебный ККТ"),
            Line("РН ККТ:1234567890123456", MaskedMoment),
            Line("ЗН ККТ:12345678", shift),
            Line("ИНН:9988776655", "ФН:9999000000000000"),
            Line("Кассир:" + cashier, DocNumber(document)),
            Line("Сайт ФНС:", "www.nalog.gov.ru")};
}

std::vector<std::string> Join(std::vector<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

const std::vector<std::string> Separator{Blank(), Rule()};

struct CashTotals {
    std::string cashIn, cashInSum, cashOut, cashOutSum, drawer;
};

// The totals of a shift without receipts: only cash moved.
std::vector<std::string> ShiftTotals(const CashTotals& cash, bool closing) {
    std::vector<std::string> lines;
    for (const char* kind : {"ПРИХОД", "РАСХОД", "ВОЗВРАТ ПРИХОДА", "ВОЗВРАТ РАСХОДА"}) {
        lines.push_back(Line(std::string(kind) + " 0000", "=0.00"));
        for (const char* pay : {"НАЛИЧНЫМИ", "БЕЗНАЛИЧНЫМИ", "АВАНС", "КРЕДИТ", "ИНАЯ ФОРМА ОПЛАТЫ"})
            lines.push_back(Line(std::string("  ") + pay, "=0.00"));
        lines.push_back(Blank());
    }
    lines.push_back(Line("ЧЕКИ КОРРЕКЦИИ"));
    lines.push_back(Line("ПРИХОД 0000", "=0.00"));
    lines.push_back(Line("РАСХОД 0000", "=0.00"));
    lines.push_back(Blank());
    lines.push_back(Line("ВНЕСЕНИЕ " + cash.cashIn, cash.cashInSum));
    lines.push_back(Line("ВЫПЛАТА " + cash.cashOut, cash.cashOutSum));
    if (closing) {
        lines.push_back(Line("ИНКАССАЦИЯ", cash.drawer));
        lines.push_back(Line("НАЛ. В КАССЕ", "=0.00"));
    } else {
        lines.push_back(Line("НАЛ. В КАССЕ", cash.drawer));
    }
    lines.push_back(Line("ВЫРУЧКА", "=0.00"));
    lines.push_back(Blank());
    lines.push_back(Line("СУММА НАЛОГОВ ПО ТИПАМ", "=0.00"));
    for (const char* kind : {"  ПРИХОД", "  РАСХОД", "  ВОЗВРАТ ПРИХОДА", "  ВОЗВРАТ РАСХОДА"})
        lines.push_back(Line(kind, "=0.00"));
    lines.push_back(Blank());
    lines.push_back(Line("НЕОБНУЛЯЕМЫЕ СУММЫ"));
    for (const char* kind : {"  ПРИХОДА", "  РАСХОДА", "  ВОЗВРАТА ПРИХОДА", "  ВОЗВРАТА РАСХОДА"})
        lines.push_back(Line(kind, "=0.00"));
    lines.push_back(Blank());
    return lines;
}

class KktDayTest : public KktHostTest {};

TEST_F(KktDayTest, ATrainingDayGivesEveryDocumentCounterAndAnswer) {
    const std::string id = Connect(Settings());
    ASSERT_FALSE(id.empty());

    const CallResult opened = OpenShift(id);
    ASSERT_TRUE(opened.Succeeded()) << LastMessage();
    EXPECT_EQ(NewDocumentLines(), Join({Header("Иванов И.И.", "СМЕНА:1", 1),
                                        {Centered("ОТКРЫТИЕ СМЕНЫ"), Line("ФД:1", MaskedSign)},
                                        Separator}));
    EXPECT_EQ(CompactAnswer(opened.Out(2)),
              "<OutputParameters><Parameters FNError=\"false\" FNFail=\"false\" FNOverflow=\"false\" "
              "ShiftNumber=\"1\" DateTime=\"*\" ShiftState=\"2\"/></OutputParameters>");
    ExpectFields({{"DayState", "1"},
                  {"DayCounter", "1"},
                  {"FiscalDocCounter", "1"},
                  {"TotalFiscalDocCounter", "1"},
                  {"ReceiptNumber", "0"},
                  {"TotalReceiptCounter", "1"},
                  {"TotalDocCounter", "1"},
                  {"M241", "0"}},
                 "after opening");

    // The cash documents show the cashier of the operation before them.
    ASSERT_TRUE(CashInOut(id, 500.25).Succeeded()) << LastMessage();
    EXPECT_EQ(NewDocumentLines(),
              Join({Header("Иванов И.И.", "СМЕНА:1", 2), {Line("ВНЕСЕНИЕ", "=500.25")}, Separator}));
    ASSERT_TRUE(CashInOut(id, -200.1).Succeeded()) << LastMessage();
    EXPECT_EQ(NewDocumentLines(),
              Join({Header("Иванов И.И.", "СМЕНА:1", 3), {Line("ВЫПЛАТА", "=200.10")}, Separator}));
    ExpectFields({{"M241", "300.15"},
                  {"M242", "500.25"},
                  {"M243", "200.1"},
                  {"O153", "1"},
                  {"O154", "1"},
                  {"TotalDocCounter", "3"},
                  {"TotalFiscalDocCounter", "1"}},
                 "after the cash documents");

    ASSERT_TRUE(XReport(id, "Петров П.П.").Succeeded()) << LastMessage();
    const CashTotals cash{"0001", "=500.25", "0001", "=200.10", "=300.15"};
    EXPECT_EQ(NewDocumentLines(), Join({Header("Петров П.П.", "СМЕНА:1", 4),
                                        {Centered("СУТОЧНЫЙ ОТЧЕТ БЕЗ ГАШЕНИЯ")},
                                        ShiftTotals(cash, false),
                                        Separator}));

    const CallResult status = Status(id);
    ASSERT_TRUE(status.Succeeded()) << LastMessage();
    EXPECT_EQ(
        CompactAnswer(status.Out(2)),
        "<OutputParameters><Parameters CashBalance=\"300.15\" RecState=\"0\" DrawerState=\"0\" "
        "CoverOpen=\"0\" ShiftNumber=\"1\" CheckNumber=\"1\" ShiftClosingCheckNumber=\"0\" "
        "ShiftState=\"2\" BacklogDocumentsCounter=\"0\" BacklogDocumentFirstNumber=\"0\" "
        "BacklogDocumentFirstDateTime=\"*\"><CountersOperationType1 CheckCount=\"0\" "
        "TotalChecksAmount=\"0\"/><CountersOperationType2 CheckCount=\"0\" TotalChecksAmount=\"0\"/>"
        "<CashIn Count=\"1\" TotalAmount=\"500.25\"/><CashOut Count=\"1\" TotalAmount=\"200.1\"/>"
        "</Parameters><Payments><Cash Sell=\"0\" SellReturn=\"0\"/><NonCash Sell=\"0\" SellReturn=\"0\"/>"
        "<Prepaid Sell=\"0\" SellReturn=\"0\"/><Credit Sell=\"0\" SellReturn=\"0\"/>"
        "<Barter Sell=\"0\" SellReturn=\"0\"/></Payments></OutputParameters>");
    EXPECT_TRUE(NewDocumentLines().empty()) << "the status is no document";
    EXPECT_EQ(Field("TotalDocCounter"), "4");
    EXPECT_EQ(Field("DayState"), "1");

    const CallResult closed = CloseShift(id);
    ASSERT_TRUE(closed.Succeeded()) << LastMessage();
    EXPECT_EQ(NewDocumentLines(), Join({Header("Иванов И.И.", "СМЕНА:1", 5),
                                        {Centered("ЗАКРЫТИЕ СМЕНЫ")},
                                        ShiftTotals(cash, true),
                                        Separator}));
    EXPECT_EQ(
        CompactAnswer(closed.Out(2)),
        "<OutputParameters><Parameters FNError=\"false\" FNFail=\"false\" FNOverflow=\"false\" "
        "CashBalance=\"300.15\" ShiftNumber=\"1\" DateTime=\"*\" ShiftState=\"1\" "
        "BacklogDocumentsCounter=\"0\" BacklogDocumentFirstNumber=\"0\" BacklogDocumentFirstDateTime=\"*\">"
        "<CountersOperationType1 CheckCount=\"0\" TotalChecksAmount=\"0\"/>"
        "<CountersOperationType2 CheckCount=\"0\" TotalChecksAmount=\"0\"/></Parameters>"
        "</OutputParameters>");
    ExpectFields({{"DayState", "0"},
                  {"DayCounter", "1"},
                  {"FiscalDocCounter", "0"},
                  {"TotalFiscalDocCounter", "2"},
                  {"ReceiptNumber", "0"},
                  {"TotalReceiptCounter", "1"},
                  {"TotalDocCounter", "5"},
                  {"M241", "0"},
                  {"M242", "0"},
                  {"M243", "0"},
                  {"O153", "0"},
                  {"O154", "0"}},
                 "after closing");

    // A storage never registered has no settlement report; registered by hand, it has one.
    const std::string unregistered = StorageBytes();
    EXPECT_FALSE(SettlementsReport(id).result.boolean);
    EXPECT_EQ(LastMessage(), "ККМ не фискализирована");
    EXPECT_EQ(StorageBytes(), unregistered);
    EditStorage({{"FNLifeState", "1"}});

    const CallResult settlements = SettlementsReport(id, "Сидорова А.А.");
    ASSERT_TRUE(settlements.Succeeded()) << LastMessage();
    EXPECT_EQ(NewDocumentLines(), Join({Header("Сидорова А.А.", "СМЕНА:1", 6),
                                        {Line("ОТЧЕТ О СОСТОЯНИИ РАСЧЕТОВ"), Line("НЕПЕРЕДАННЫХ ФД", "0"),
                                         Line("ДАТА ПЕРВОГО НЕПЕРЕДАННОГО"), Line("ФД:3", MaskedSign)},
                                        Separator}));
    EXPECT_EQ(
        CompactAnswer(settlements.Out(2)),
        "<OutputParameters><Parameters NumberOfChecks=\"0\" NumberOfDocuments=\"2\" "
        "BacklogDocumentsCounter=\"0\" BacklogDocumentFirstNumber=\"0\" BacklogDocumentFirstDateTime=\"*\" "
        "UrgentReplacementFN=\"false\" ResourcesExhaustionFN=\"false\" MemoryOverflowFN=\"false\" "
        "OFDTimeout=\"false\" ResourcesFN=\"365\"/></OutputParameters>");
    ExpectFields({{"FiscalDocCounter", "1"}, {"TotalFiscalDocCounter", "3"}, {"TotalDocCounter", "6"}},
                 "after the settlement report");

    EXPECT_TRUE(driver_->Call("ОтключитьОборудование", {Value::Text(id)}).Succeeded());
}

// Now as the storage counts it: the local clock read as if it were UTC.
std::int64_t StorageNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return timegm(&local);
}

TEST_F(KktDayTest, AShiftOlderThanADayIsReportedExpiredRefusedToReopenAndStillCloses) {
    const std::string id = Connect(Settings());
    ASSERT_FALSE(id.empty());
    ASSERT_TRUE(OpenShift(id).Succeeded()) << LastMessage();

    struct Case {
        std::int64_t age;
        const char* shiftState;
        const char* dayState;
    };
    // Two minutes either side of the 24 hours keeps the cases clear of the test's own running time.
    for (const Case& c : {Case{86400 - 120, "2", "1"}, Case{86400 + 120, "3", "2"}}) {
        EditStorage({{"DayState", "1"}, {"DayStart", std::to_string(StorageNow() - c.age)}});
        const CallResult status = Status(id);
        ASSERT_TRUE(status.Succeeded()) << LastMessage();
        pugi::xml_document answer;
        ASSERT_TRUE(answer.load_string(status.Out(2).c_str()));
        EXPECT_STREQ(answer.child("OutputParameters").child("Parameters").attribute("ShiftState").value(),
                     c.shiftState)
            << c.age;
        EXPECT_EQ(Field("DayState"), c.dayState) << c.age;
    }

    const std::string expired = StorageBytes();
    EXPECT_FALSE(OpenShift(id).result.boolean);
    EXPECT_EQ(LastMessage(), "Смена открыта");
    EXPECT_EQ(StorageBytes(), expired);

    // Cash and the X report do not ask for a valid shift.
    EXPECT_TRUE(CashInOut(id, 10).Succeeded()) << LastMessage();
    EXPECT_TRUE(XReport(id).Succeeded()) << LastMessage();
    ASSERT_TRUE(CloseShift(id).Succeeded()) << LastMessage();
    EXPECT_EQ(Field("DayState"), "0");
}

} // namespace
} // namespace veltrano::hosttest
