// VAT at 22 % and 22/122 through the host: a sale and a return, their registers in DataFN.xml, the X and Z
// reports, a correction receipt, and the receipts refused for mixing them with 20 %. Then the cash moved with
// the shift closed, which no shift's report counts.
#include "host_kkt_fixture.h"

#include <algorithm>
#include <ctime>
#include <string>
#include <vector>

namespace veltrano::hosttest {
namespace {

using Lines = std::vector<std::string>;

std::string Package(int operationType, const std::string& positions, const std::string& payments) {
    return "<?xml version=\"1.0\"?>\r\n<CheckPackage><Parameters CashierName=\"Налогова Н.Н.\" "
           "OperationType=\"" +
           std::to_string(operationType) + "\" TaxationSystem=\"0\"/><Positions>" + positions +
           "</Positions><Payments " + payments + "/></CheckPackage>";
}

std::string Position(const std::string& name, const std::string& amount, const std::string& rate) {
    return "<FiscalString Name=\"" + name + "\" Quantity=\"1\" PriceWithDiscount=\"" + amount +
           "\" AmountWithDiscount=\"" + amount + "\" Department=\"1\" VATRate=\"" + rate +
           "\" CalculationSubject=\"1\" PaymentMethod=\"4\"/>";
}

// The lines from the first with this text on the left up to (not including) the next blank line.
Lines Block(const Lines& document, const std::string& left) {
    const auto first = std::find_if(document.begin(), document.end(),
                                    [&](const std::string& line) { return line.rfind(left, 0) == 0; });
    EXPECT_NE(first, document.end()) << left;
    return Lines(first, std::find(first, document.end(), Blank()));
}

class KktVat22Test : public KktHostTest {
protected:
    void SetUp() override {
        KktHostTest::SetUp();
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        if (local.tm_year + 1900 < 2026)
            GTEST_SKIP() << "the computer's clock is before 2026, when 22 % came";
    }

    CallResult Receipt(const std::string& id, const std::string& package) {
        return driver_->Call("СформироватьЧек",
                             {Value::Text(id), Value::Bool(false), Value::Text(package), Value::Empty()});
    }
};

TEST_F(KktVat22Test, ASaleAndAReturnAt22PercentReachTheirRegistersAndTheReports) {
    const std::string id = Connect(Settings());
    ASSERT_TRUE(OpenShift(id).Succeeded()) << LastMessage();
    ASSERT_TRUE(CashInOut(id, 1000).Succeeded()) << LastMessage();
    NewDocumentLines();

    const CallResult sale =
        Receipt(id, Package(1,
                            Position("Кофе", "122", "22") + Position("Доставка", "244", "22/122") +
                                Position("Хлеб", "55", "10"),
                            "Cash=\"421\""));
    ASSERT_TRUE(sale.Succeeded()) << LastMessage();
    const Lines receipt = NewDocumentLines();
    EXPECT_EQ(Block(receipt, "Кофе"), (Lines{Line("Кофе"), Line("", "1.000 X 122.00"), Line("1", "=122.00"),
                                             Line("СП.РАСЧ.", "ПОЛНЫЙ РАСЧЕТ"), Line("ПРЕДМ.РАСЧ.", "ТОВАР"),
                                             Line("НДС 22%", "=22.00")}));
    EXPECT_EQ(Block(receipt, "Доставка").back(), Line("НДС 22/122", "=44.00"));
    EXPECT_EQ(Block(receipt, "СУММА НДС"),
              (Lines{Line("СУММА НДС 10%", "=5.00"), Line("СУММА НДС 22%", "=22.00"),
                     Line("СУММА НДС 22/122", "=44.00"), Line("СНО:ОСН", "ФД:2 " + MaskedSign)}));

    ASSERT_TRUE(Receipt(id, Package(2, Position("Кофе", "61", "22"), "Cash=\"61\"")).Succeeded())
        << LastMessage();
    NewDocumentLines();
    ExpectFields({{"M116", "22"}, {"M118", "11"}, {"M120", "44"}, {"M96", "5"}, {"M92", "0"}, {"M108", "0"}},
                 "after the receipts");

    const Lines taxes{Line("СУММА НАЛОГОВ ПО ТИПАМ", "=82.00"),
                      Line("  ПРИХОД", "=71.00"),
                      Line("    НДС 22%", "=22.00"),
                      Line("    НДС 10%", "=5.00"),
                      Line("    НДС 22/122", "=44.00"),
                      Line("  РАСХОД", "=0.00"),
                      Line("  ВОЗВРАТ ПРИХОДА", "=11.00"),
                      Line("    НДС 22%", "=11.00"),
                      Line("  ВОЗВРАТ РАСХОДА", "=0.00")};
    ASSERT_TRUE(XReport(id).Succeeded()) << LastMessage();
    EXPECT_EQ(Block(NewDocumentLines(), "СУММА НАЛОГОВ ПО ТИПАМ"), taxes);
    ASSERT_TRUE(CloseShift(id).Succeeded()) << LastMessage();
    EXPECT_EQ(Block(NewDocumentLines(), "СУММА НАЛОГОВ ПО ТИПАМ"), taxes);
    ExpectFields({{"M116", "0"}, {"M118", "0"}, {"M120", "0"}, {"M96", "0"}}, "after the closing");

    // The next shift's report has no 22 % lines left.
    ASSERT_TRUE(OpenShift(id).Succeeded()) << LastMessage();
    ASSERT_TRUE(XReport(id).Succeeded()) << LastMessage();
    const Lines next = NewDocumentLines();
    EXPECT_EQ(std::count_if(next.begin(), next.end(),
                            [](const std::string& line) { return line.find("НДС 22") != std::string::npos; }),
              0);
}

TEST_F(KktVat22Test, MixedWith20PercentAReceiptIsRefusedAndChangesNothing) {
    const std::string id = Connect(Settings());
    ASSERT_TRUE(OpenShift(id).Succeeded()) << LastMessage();
    for (const std::string& positions : {Position("А", "122", "22") + Position("Б", "120", "20"),
                                         Position("А", "120", "20/120") + Position("Б", "244", "22/122")}) {
        const std::string storage = StorageBytes();
        const std::string output = OutputBytes();
        const CallResult refused = Receipt(id, Package(1, positions, "ElectronicPayment=\"242\""));
        EXPECT_FALSE(refused.result.boolean);
        EXPECT_EQ(LastMessage(), "Недопустимо сочетание налогов 22% и 20% в одном документе");
        EXPECT_EQ(StorageBytes(), storage);
        EXPECT_EQ(OutputBytes(), output);
    }
}

TEST_F(KktVat22Test, ACorrectionStatesThe22PercentSums) {
    const std::string id = Connect(Settings());
    ASSERT_TRUE(OpenShift(id).Succeeded()) << LastMessage();
    NewDocumentLines();
    const CallResult correction = driver_->Call(
        "СформироватьЧекКоррекции",
        {Value::Text(id), Value::Bool(false),
         Value::Text("<?xml version=\"1.0\"?>\r\n<CheckCorrectionPackage><Parameters OperationType=\"1\">"
                     "<CorrectionData Type=\"0\" Description=\"Сбой\" Number=\"1\" Date=\"2026-02-01\"/>"
                     "</Parameters><Positions><FiscalString VATRate=\"22\" VATAmount=\"220\"/>"
                     "<FiscalString VATRate=\"22/122\" VATAmount=\"4.40\"/></Positions>"
                     "<Payments Cash=\"1220\" ElectronicPayment=\"24.40\"/></CheckCorrectionPackage>"),
         Value::Empty()});
    ASSERT_TRUE(correction.Succeeded()) << LastMessage();
    const Lines lines = NewDocumentLines();
    ASSERT_GT(lines.size(), 20u);
    EXPECT_EQ(lines.at(17), Line("СУММА НДС 7/107", "=0.00"));
    EXPECT_EQ(lines.at(18), Line("СУММА НДС 22%", "=220.00"));
    EXPECT_EQ(lines.at(19), Line("СУММА НДС 22/122", "=4.40"));
    EXPECT_EQ(lines.at(20), Line("ОСН. ДЛЯ КОРР:", "Сбой"));
}

TEST_F(KktHostTest, CashMovedWithTheShiftClosedIsNotCountedInTheNextShift) {
    const std::string id = Connect(Settings());
    ASSERT_TRUE(CashInOut(id, 300).Succeeded()) << LastMessage();
    ASSERT_TRUE(CashInOut(id, 201).Succeeded()) << LastMessage();
    ASSERT_TRUE(CashInOut(id, -1).Succeeded()) << LastMessage();
    ExpectFields({{"O153", "2"}, {"M242", "501"}, {"O154", "1"}, {"M243", "1"}}, "before the shift");

    ASSERT_TRUE(OpenShift(id).Succeeded()) << LastMessage();
    ExpectFields({{"O153", "0"}, {"M242", "0"}, {"O154", "0"}, {"M243", "0"}}, "at the opening");
    ASSERT_TRUE(CashInOut(id, 100).Succeeded()) << LastMessage();
    ASSERT_TRUE(CashInOut(id, 100).Succeeded()) << LastMessage();
    NewDocumentLines();
    ASSERT_TRUE(XReport(id).Succeeded()) << LastMessage();
    const Lines report = NewDocumentLines();
    EXPECT_NE(std::find(report.begin(), report.end(), Line("ВНЕСЕНИЕ 0002", "=200.00")), report.end());
    EXPECT_NE(std::find(report.begin(), report.end(), Line("ВЫПЛАТА 0000", "=0.00")), report.end());
    const CallResult status = Status(id);
    ASSERT_TRUE(status.Succeeded()) << LastMessage();
    const std::string answer = CompactAnswer(status.Out(2));
    EXPECT_NE(
        answer.find("<CashIn Count=\"2\" TotalAmount=\"200\"/><CashOut Count=\"0\" TotalAmount=\"0\"/>"),
        std::string::npos)
        << answer;
}

} // namespace
} // namespace veltrano::hosttest
