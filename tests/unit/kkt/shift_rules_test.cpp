#include "common/money.h"
#include "frame_fixture.h"
#include "kkt/frame/document_frame.h"
#include "kkt/operations/shift_operations.h"
#include "kkt/operations/shift_reports.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace veltrano::kkt::testing {
namespace {

using Fields = std::vector<std::pair<std::string, std::string>>;
using Operation = std::function<void(DeviceInstance&)>;

const pugi::xml_document Cashier = CashierInput("Петров П.П.", "");

void Open(DeviceInstance& instance) {
    pugi::xml_document output = EmptyOutput();
    OpenShift(instance, Cashier, output);
}

void Close(DeviceInstance& instance) {
    pugi::xml_document output = EmptyOutput();
    CloseShift(instance, Cashier, output);
}

void Settlements(DeviceInstance& instance) {
    pugi::xml_document output = EmptyOutput();
    ReportCurrentStatusOfSettlements(instance, Cashier, output);
}

void XReport(DeviceInstance& instance) {
    PrintXReport(instance, Cashier);
}

Operation Cash(const char* amount) {
    return [amount](DeviceInstance& instance) { CashInOutcome(instance, *Money::Parse(amount)); };
}

std::string FailureMessage(const Operation& operation, DeviceInstance& instance) {
    try {
        operation(instance);
    } catch (const std::exception& error) {
        return error.what();
    }
    return "no failure";
}

// A refused operation: the storage file keeps every byte and the output file gains nothing.
struct RefusalCase {
    const char* name;
    Fields edits;
    std::vector<Operation> before;
    Operation refused;
    std::string message;
};

class Refusals : public KktInstanceTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(Refusals, LeaveTheStorageFileAndTheOutputFileAsTheyWere) {
    const RefusalCase& refusal = GetParam();
    for (const Operation& operation : refusal.before)
        operation(Instance());
    if (!refusal.edits.empty())
        EditStorage(refusal.edits);
    const std::string storage = StorageBytes();
    const std::string output = OutputBytes();

    EXPECT_EQ(FailureMessage(refusal.refused, Instance()), refusal.message);
    EXPECT_EQ(StorageBytes(), storage);
    EXPECT_EQ(OutputBytes(), output);
}

INSTANTIATE_TEST_SUITE_P(
    Shifts, Refusals,
    ::testing::Values(
        RefusalCase{"OpenTwice", {}, {&Open}, &Open, "Смена открыта"},
        RefusalCase{"OpenOnAClosedStorage", {{"FNLifeState", "2"}}, {}, &Open, "ФН закрыт"},
        RefusalCase{"CloseWhenClosed", {}, {&Open, &Close}, &Close, "Смена закрыта"},
        RefusalCase{"CloseOnANewStorage", {}, {}, &Close, "Смена закрыта"},
        RefusalCase{
            "CashOutAboveTheDrawer", {}, {Cash("100")}, Cash("-100.0001"), "Недостаточно наличности в кассе"},
        RefusalCase{"CashOutOfAHandEditedDrawer",
                    {{"M241", "12,5"}},
                    {},
                    Cash("-12.51"),
                    "Недостаточно наличности в кассе"},
        RefusalCase{"SettlementsOnAnUnregisteredStorage", {}, {}, &Settlements, "ККМ не фискализирована"},
        RefusalCase{"SettlementsUnregisteredIsFoundBeforeTheOpenShift",
                    {},
                    {&Open},
                    &Settlements,
                    "ККМ не фискализирована"},
        RefusalCase{
            "SettlementsWithTheShiftOpen", {{"FNLifeState", "1"}}, {&Open}, &Settlements, "Смена открыта"},
        RefusalCase{"ACounterThatIsNoNumber",
                    {{"DayCounter", "abc"}},
                    {},
                    &Open,
                    "Значение поля DayCounter в ФН не является числом: \"abc\""},
        RefusalCase{"ARegisterThatIsNoNumber",
                    {{"M242", "1.2.3"}},
                    {},
                    Cash("1"),
                    "Значение поля M242 в ФН не является числом: \"1.2.3\""},
        RefusalCase{"ARegisterInTheReportThatIsNoNumber",
                    {{"M89", "много"}},
                    {},
                    &XReport,
                    "Значение поля M89 в ФН не является числом: \"много\""}),
    [](const ::testing::TestParamInfo<RefusalCase>& info) { return std::string(info.param.name); });

// A document that cannot be written to the output file is not counted either.
struct UnwritableCase {
    const char* name;
    Fields edits;
    std::vector<Operation> before;
    Operation document;
};

class UnwritableOutput : public KktInstanceTest, public ::testing::WithParamInterface<UnwritableCase> {};

TEST_P(UnwritableOutput, FailsTheDocumentAndSavesNothing) {
    const UnwritableCase& testCase = GetParam();
    for (const Operation& operation : testCase.before)
        operation(Instance());
    if (!testCase.edits.empty())
        EditStorage(testCase.edits);
    const std::string storage = StorageBytes();
    const std::string output = OutputBytes();
    const std::filesystem::path unreachable = root / "missing" / "deeper" / "receipts.txt";
    Instance().PrintOutFilePath = unreachable.string();
    Device().PrintOutFilePath = unreachable.string();

    EXPECT_EQ(FailureMessage(testCase.document, Instance()),
              "Ошибка записи файла: Некорректный путь файла вывода чека");
    EXPECT_EQ(StorageBytes(), storage);
    EXPECT_EQ(OutputBytes(), output);
    EXPECT_FALSE(std::filesystem::exists(root / "missing"));
}

INSTANTIATE_TEST_SUITE_P(
    Documents, UnwritableOutput,
    ::testing::Values(UnwritableCase{"OpenShift", {}, {}, &Open},
                      UnwritableCase{"CloseShift", {}, {&Open}, &Close},
                      UnwritableCase{"CashIn", {}, {}, Cash("10")},
                      UnwritableCase{"CashOut", {}, {Cash("10")}, Cash("-10")},
                      UnwritableCase{"XReport", {}, {}, &XReport},
                      UnwritableCase{"Settlements", {{"FNLifeState", "1"}}, {}, &Settlements}),
    [](const ::testing::TestParamInfo<UnwritableCase>& info) { return std::string(info.param.name); });

void Status(DeviceInstance& instance) {
    pugi::xml_document output = EmptyOutput();
    GetCurrentStatus(instance, output);
}

// A storage file broken by hand between two operations fails the next one with the parser's message; even
// the status query, which always saves, leaves the file alone.
class BrokenStorage : public KktInstanceTest,
                      public ::testing::WithParamInterface<std::pair<const char*, Operation>> {};

TEST_P(BrokenStorage, FailsTheOperationAndKeepsTheFile) {
    const std::string broken = "<?xml version=\"1.0\"?>\r\n<DataFN><DayState Value=\"1\"";
    std::ofstream(storageFile, std::ios::binary | std::ios::trunc) << broken;
    EXPECT_THAT(FailureMessage(GetParam().second, Instance()), ::testing::HasSubstr("(offset "));
    EXPECT_EQ(StorageBytes(), broken);
    EXPECT_EQ(OutputBytes(), "");
}

INSTANTIATE_TEST_SUITE_P(Operations, BrokenStorage,
                         ::testing::Values(std::pair<const char*, Operation>{"OpenShift", &Open},
                                           std::pair<const char*, Operation>{"CloseShift", &Close},
                                           std::pair<const char*, Operation>{"CashIn", Cash("1")},
                                           std::pair<const char*, Operation>{"XReport", &XReport},
                                           std::pair<const char*, Operation>{"Settlements", &Settlements},
                                           std::pair<const char*, Operation>{"Status", &Status}),
                         [](const auto& info) { return std::string(info.param.first); });

// The 24-hour rule around its edge, with DayStart edited by hand.
struct ShiftAgeCase {
    moment::Moment age;
    std::string checkOutcome;
    std::string shiftState;
    std::string storedDayState;
};

class ShiftAge : public KktInstanceTest, public ::testing::WithParamInterface<ShiftAgeCase> {};

TEST_P(ShiftAge, DecidesWhetherTheShiftHasExpired) {
    const ShiftAgeCase& testCase = GetParam();
    Open(Instance());
    EditStorage({{"DayStart", std::to_string(TestMoment() - testCase.age)}});

    (void)Storage().Load();
    EXPECT_EQ(FailureMessage([](DeviceInstance& instance) { CheckShiftOpen(instance); }, Instance()),
              testCase.checkOutcome);

    pugi::xml_document status = EmptyOutput();
    GetCurrentStatus(Instance(), status);
    EXPECT_EQ(status.child("OutputParameters").child("Parameters").attribute("ShiftState").value(),
              testCase.shiftState);
    EXPECT_EQ(StoredValue("DayState"), testCase.storedDayState);
}

INSTANTIATE_TEST_SUITE_P(
    TwentyFourHours, ShiftAge,
    ::testing::Values(ShiftAgeCase{0, "no failure", "2", "1"}, ShiftAgeCase{86400, "no failure", "2", "1"},
                      ShiftAgeCase{86401, "Длительность смены превысила 24 часа", "3", "2"}));

TEST_F(KktInstanceTest, AClosedShiftFailsTheShiftCheck) {
    (void)Storage().Load();
    EXPECT_EQ(FailureMessage([](DeviceInstance& instance) { CheckShiftOpen(instance); }, Instance()),
              "Смена закрыта");
}

TEST_F(KktInstanceTest, AnOldClosedShiftCountsAsExpiredButStaysClosed) {
    EditStorage({{"DayStart", std::to_string(TestMoment() - 90000)}});
    (void)Storage().Load();
    EXPECT_TRUE(CheckShiftExpired(Instance()));
    EXPECT_EQ(Storage().Value("DayState"), "0");
}

class ExpiredShiftClose : public KktInstanceTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(ExpiredShiftClose, ClosesAShiftOpenedThirtyHoursAgo) {
    Open(Instance());
    EditStorage({{"DayStart", std::to_string(TestMoment() - 30 * 3600)}, {"DayState", GetParam()}});
    Close(Instance());
    EXPECT_EQ(StoredValue("DayState"), "0");
    EXPECT_EQ(StoredValue("TotalFiscalDocCounter"), "2");
}

INSTANTIATE_TEST_SUITE_P(StoredState, ExpiredShiftClose, ::testing::Values("1", "2"));

TEST_F(KktInstanceTest, ARefusedOpeningKeepsTheCashierItRead) {
    Open(Instance());
    pugi::xml_document output = EmptyOutput();
    EXPECT_THROW(OpenShift(Instance(), CashierInput("Сидорова А.А.", "7700"), output), std::runtime_error);
    EXPECT_EQ(Instance().CurrentCashier().Name, "Сидорова А.А.");
    EXPECT_EQ(Instance().CurrentCashier().INN, "7700");
    EXPECT_EQ(Compact(output), "");
}

// Cash in and out in every shift state: the amount line, the drawer and the cash registers.
struct CashCase {
    const char* name;
    std::string drawer;
    const char* amount;
    std::string label;
    std::string shown;
    Fields after;
};

class CashMovement : public KktInstanceTest, public ::testing::WithParamInterface<CashCase> {};

TEST_P(CashMovement, ChangesTheDrawerExactly) {
    const CashCase& testCase = GetParam();
    EditStorage({{"M241", testCase.drawer}});
    Cash(testCase.amount)(Instance());
    EXPECT_THAT(NewOutputLines(), ::testing::Contains(Line(testCase.label, testCase.shown)));
    for (const auto& [field, value] : testCase.after)
        EXPECT_EQ(StoredValue(field), value) << field;
    EXPECT_EQ(StoredValue("TotalDocCounter"), "1");
}

INSTANTIATE_TEST_SUITE_P(
    Amounts, CashMovement,
    ::testing::Values(
        CashCase{"CashInOnAClosedShift",
                 "0",
                 "100",
                 "ВНЕСЕНИЕ",
                 "=100.00",
                 {{"M241", "100"}, {"M242", "100"}, {"O153", "1"}, {"M243", "0"}, {"O154", "0"}}},
        CashCase{"CashInHalfAKopeckShowsRoundedAwayFromZero",
                 "0",
                 "0.125",
                 "ВНЕСЕНИЕ",
                 "=0.13",
                 {{"M241", "0.125"}, {"M242", "0.125"}}},
        CashCase{"ZeroIsACashOut",
                 "3",
                 "0",
                 "ВЫПЛАТА",
                 "=0.00",
                 {{"M241", "3"}, {"M243", "0"}, {"O154", "1"}, {"O153", "0"}}},
        CashCase{"CashOutOfTheWholeDrawer",
                 "500",
                 "-500",
                 "ВЫПЛАТА",
                 "=500.00",
                 {{"M241", "0"}, {"M243", "500"}, {"O154", "1"}}},
        CashCase{
            "CashOutOfAFraction", "1", "-0.005", "ВЫПЛАТА", "=0.01", {{"M241", "0.995"}, {"M243", "0.005"}}},
        CashCase{"CashOutOfADrawerStoredWithAComma", "12,5", "-12.5", "ВЫПЛАТА", "=12.50", {{"M241", "0"}}}),
    [](const ::testing::TestParamInfo<CashCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace veltrano::kkt::testing
