// Receipts at 22 % and 22/122: the lines they print, the shift registers of their own, the X and Z reports
// that show them, and the refusals before 2026 and beside 20 %.
#include "kkt/frame/document_clock.h"
#include "kkt/operations/receipt_operation.h"
#include "kkt/operations/shift_operations.h"
#include "kkt/operations/shift_reports.h"
#include "receipt_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace veltrano::kkt::testing {
namespace {

using Fields = std::vector<std::pair<std::string, std::string>>;

moment::DateTime March2026() {
    return moment::DateTime{2026, 3, 2, 10, 15, 0, 0};
}
moment::DateTime LastMomentOf2025() {
    return moment::DateTime{2025, 12, 31, 23, 59, 59, 0};
}
moment::DateTime FirstMomentOf2026() {
    return moment::DateTime{2026, 1, 1, 0, 0, 0, 0};
}

std::string Package(int operationType, const std::string& positions, const std::string& payments) {
    return "<CheckPackage><Parameters CashierName=\"Налогова Н.Н.\" OperationType=\"" +
           std::to_string(operationType) + "\"/><Positions>" + positions + "</Positions><Payments " +
           payments + "/></CheckPackage>";
}

std::string Position(const std::string& name, const std::string& amount, const std::string& rate) {
    return "<FiscalString Name=\"" + name + "\" Quantity=\"1\" PriceWithDiscount=\"" + amount +
           "\" AmountWithDiscount=\"" + amount + "\" VATRate=\"" + rate +
           "\" CalculationSubject=\"1\" PaymentMethod=\"4\"/>";
}

// Coffee at 22 %, delivery at 22/122 and milk at 10 %: 476.00 in all.
const std::string ThreeRates =
    Position("Кофе", "122", "22") + Position("Доставка", "244", "22/122") + Position("Молоко", "110", "10");

Lines PositionLines(const std::string& name, const std::string& amount, const std::string& rateName,
                    const std::string& vat) {
    return {Line(name),
            Line("", "1.000 X " + amount),
            Line("0", "=" + amount),
            Line("СП.РАСЧ.", "ПОЛНЫЙ РАСЧЕТ"),
            Line("ПРЕДМ.РАСЧ.", "ТОВАР"),
            Line(rateName, vat),
            BlankLine()};
}

class Vat22Receipts : public ReceiptTest {
protected:
    void SetUp() override {
        ReceiptTest::SetUp();
        MoveClockTo(&March2026);
    }

    // The shift opened by the fixture is taken as opened at the clock's new moment.
    void MoveClockTo(DocumentClock clock) {
        SetDocumentClock(clock);
        EditStorage({{"DayStart", std::to_string(DocumentMoment())}});
    }

    // The message of the refused receipt; the storage file stays as it was.
    std::string Refuse(const std::string& package) {
        const std::string storage = StorageBytes();
        pugi::xml_document output = EmptyOutput();
        std::string message;
        try {
            ProcessCheck(Instance(), false, ParsePackage(package), output);
            ADD_FAILURE() << "the receipt was made: " << package;
        } catch (const std::runtime_error& error) {
            message = error.what();
        }
        EXPECT_EQ(StorageBytes(), storage) << package;
        return message;
    }

    void ExpectStored(const Fields& fields) const {
        for (const auto& [field, value] : fields)
            EXPECT_EQ(StoredValue(field), value) << field;
    }
};

TEST_F(Vat22Receipts, ASalePrintsTheRatesAndTheirSumsAndKeepsThemInTheirRegisters) {
    PutCash(Money::FromWhole(100));
    Check(Package(1, ThreeRates, "Cash=\"500\""));

    const Lines lines = MaskFiscalSign(NewOutputLines());
    ASSERT_GT(lines.size(), 8u);
    const Lines body(lines.begin() + 7, lines.end() - 2);
    EXPECT_EQ(body, Concat({PositionLines("Кофе", "122.00", "НДС 22%", "=22.00"),
                            PositionLines("Доставка", "244.00", "НДС 22/122", "=44.00"),
                            PositionLines("Молоко", "110.00", "НДС 10%", "=10.00"),
                            {Line("ИТОГО", "=476.00"), Line("  НАЛИЧНЫМИ", "=476.00"), Line("ПОЛУЧЕНО:"),
                             Line("  НАЛИЧНЫМИ", "=500.00"), Line("СДАЧА", "=24.00"),
                             Line("СУММА НДС 10%", "=10.00"), Line("СУММА НДС 22%", "=22.00"),
                             Line("СУММА НДС 22/122", "=44.00"), Line("СНО:ОСН", "ФД:2 ФП:##########")}}));
    // The 20 % registers stay untouched; the 22 % ones hold the sums of the sale.
    ExpectStored({{"M116", "22"}, {"M120", "44"}, {"M96", "10"}, {"M92", "0"}, {"M108", "0"}});
}

struct KindCase {
    const char* name;
    int operationType;
    int k;
};

class Vat22Kinds : public Vat22Receipts, public ::testing::WithParamInterface<KindCase> {};

TEST_P(Vat22Kinds, AddToTheSlotOfTheReceiptsKind) {
    PutCash(Money::FromWhole(1000));
    Check(Package(GetParam().operationType, ThreeRates, "Cash=\"476\""));
    Check(Package(GetParam().operationType, Position("Чай", "61", "22"), "ElectronicPayment=\"61\""));
    for (int k = 0; k < 4; ++k) {
        const bool mine = k == GetParam().k;
        EXPECT_EQ(StoredValue("M" + std::to_string(116 + k)), mine ? "33" : "0") << k;
        EXPECT_EQ(StoredValue("M" + std::to_string(120 + k)), mine ? "44" : "0") << k;
    }
}

INSTANTIATE_TEST_SUITE_P(EveryKind, Vat22Kinds,
                         ::testing::Values(KindCase{"Sale", 1, 0}, KindCase{"Purchase", 3, 1},
                                           KindCase{"SaleReturn", 2, 2}, KindCase{"PurchaseReturn", 4, 3}),
                         [](const auto& info) { return std::string(info.param.name); });

// The tax lines of the reports, from "СУММА НАЛОГОВ ПО ТИПАМ" to the blank line after them.
Lines TaxLines(const Lines& report) {
    const auto first = std::find(report.begin(), report.end(), Line("СУММА НАЛОГОВ ПО ТИПАМ", "=86.00"));
    EXPECT_NE(first, report.end());
    const auto last = std::find(first, report.end(), BlankLine());
    return Lines(first, last);
}

TEST_F(Vat22Receipts, TheXAndZReportsShowThe22PercentSumsBesideThe20PercentOnes) {
    PutCash(Money::FromWhole(1000));
    Check(Package(1, Position("Хлеб", "120", "20/120") + Position("Кофе", "122", "22"), "Cash=\"242\""));
    Check(Package(2, Position("Доставка", "244", "22/122"), "Cash=\"244\""));
    const Lines taxes{Line("СУММА НАЛОГОВ ПО ТИПАМ", "=86.00"),
                      Line("  ПРИХОД", "=42.00"),
                      Line("    НДС 22%", "=22.00"),
                      Line("    НДС 20/120", "=20.00"),
                      Line("  РАСХОД", "=0.00"),
                      Line("  ВОЗВРАТ ПРИХОДА", "=44.00"),
                      Line("    НДС 22/122", "=44.00"),
                      Line("  ВОЗВРАТ РАСХОДА", "=0.00")};

    PrintXReport(Instance(), CashierInput("Налогова Н.Н.", ""));
    EXPECT_EQ(TaxLines(NewOutputLines()), taxes);

    pugi::xml_document output = EmptyOutput();
    CloseShift(Instance(), CashierInput("Налогова Н.Н.", ""), output);
    EXPECT_EQ(TaxLines(NewOutputLines()), taxes);
    // Closing clears them with the other VAT sums of the shift.
    ExpectStored({{"M116", "0"}, {"M122", "0"}, {"M108", "0"}});
}

TEST_F(Vat22Receipts, AreRefusedBefore2026AndTakenFromItsFirstMoment) {
    MoveClockTo(&LastMomentOf2025);
    for (const char* rate : {"22", "22/122"})
        EXPECT_EQ(Refuse(Package(1, Position("Кофе", "122", rate), "Cash=\"122\"")),
                  "Налог 22% и 22/122 не поддерживается")
            << rate;
    // 20 % was the general rate until then.
    Check(Package(1, Position("Кофе", "120", "20"), "Cash=\"120\""));

    MoveClockTo(&FirstMomentOf2026);
    Check(Package(1, Position("Кофе", "122", "22") + Position("Доставка", "244", "22/122"), "Cash=\"366\""));
    ExpectStored({{"ReceiptNumber", "2"}, {"M116", "22"}, {"M120", "44"}});
}

TEST_F(Vat22Receipts, AreNeverMixedWith20PercentInOneReceipt) {
    const std::string message = "Недопустимо сочетание налогов 22% и 20% в одном документе";
    EXPECT_EQ(Refuse(Package(1, Position("А", "122", "22") + Position("Б", "120", "20"), "Cash=\"242\"")),
              message);
    EXPECT_EQ(Refuse(Package(1, Position("А", "120", "20") + Position("Б", "122", "22"), "Cash=\"242\"")),
              message);
    EXPECT_EQ(
        Refuse(Package(2, Position("А", "244", "22/122") + Position("Б", "120", "20/120"), "Cash=\"364\"")),
        message);
    // 22 % with 20/120 mixes no rates of one kind.
    Check(Package(1, Position("А", "122", "22") + Position("Б", "120", "20/120"), "Cash=\"242\""));
    ExpectStored({{"ReceiptNumber", "1"}, {"M116", "22"}, {"M108", "20"}});
}

} // namespace
} // namespace veltrano::kkt::testing
