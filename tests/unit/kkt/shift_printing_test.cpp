#include "common/money.h"
#include "frame_fixture.h"
#include "kkt/operations/shift_operations.h"
#include "kkt/operations/shift_reports.h"
#include "output/printer_port.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

namespace veltrano::kkt::testing {
namespace {

// Counts how often a document is sent; a refusing port fails like an unreachable printer.
class CountingPort final : public output::IPrinterPort {
public:
    CountingPort(int& opened, bool refuse) : opened_(opened), refuse_(refuse) {}
    void Open() override {
        if (refuse_)
            throw std::runtime_error("Принтер недоступен");
        ++opened_;
    }
    void Write(std::string_view) override {}
    void Close() noexcept override {}
    const output::PrinterPortSettings& Settings() const override { return settings_; }

private:
    int& opened_;
    bool refuse_;
    output::PrinterPortSettings settings_{output::LanPortSettings{"127.0.0.1", 9100}};
};

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

void CashIn(DeviceInstance& instance) {
    CashInOutcome(instance, Money::FromWhole(5));
}

void CashOut(DeviceInstance& instance) {
    CashInOutcome(instance, Money());
}

void Status(DeviceInstance& instance) {
    pugi::xml_document output = EmptyOutput();
    GetCurrentStatus(instance, output);
}

struct PrintCase {
    const char* name;
    Operation before;
    Operation document;
    std::uint8_t enablePrinting;
    std::uint8_t enableReportPrinting;
    int printed;
};

class PrintSwitches : public KktInstanceTest, public ::testing::WithParamInterface<PrintCase> {};

TEST_P(PrintSwitches, DecideWhetherTheDocumentGoesToThePrinter) {
    const PrintCase& testCase = GetParam();
    EditStorage({{"FNLifeState", "1"}});
    if (testCase.before)
        testCase.before(Instance());
    int opened = 0;
    Instance().SetPrinterPort(std::make_unique<CountingPort>(opened, false));
    Instance().EnablePrinting = testCase.enablePrinting;
    Instance().EnableReportPrinting = testCase.enableReportPrinting;
    testCase.document(Instance());
    EXPECT_EQ(opened, testCase.printed);
}

INSTANTIATE_TEST_SUITE_P(Documents, PrintSwitches,
                         ::testing::Values(PrintCase{"OpenShiftPrinted", {}, &Open, 2, 0, 1},
                                           PrintCase{"OpenShiftReportsOff", {}, &Open, 0, 2, 0},
                                           PrintCase{"CloseShiftPrinted", &Open, &Close, 2, 1, 1},
                                           PrintCase{"CloseShiftReportsOff", &Open, &Close, 0, 2, 0},
                                           PrintCase{"XReportPrinted", {}, &XReport, 2, 0, 1},
                                           PrintCase{"XReportReportsOff", {}, &XReport, 0, 2, 0},
                                           PrintCase{"SettlementsPrinted", {}, &Settlements, 2, 0, 1},
                                           PrintCase{"SettlementsReportsOff", {}, &Settlements, 0, 2, 0},
                                           PrintCase{"CashInPrinted", {}, &CashIn, 0, 2, 1},
                                           PrintCase{"CashInReceiptsOff", {}, &CashIn, 2, 0, 0},
                                           PrintCase{"CashOutPrinted", {}, &CashOut, 1, 2, 1},
                                           PrintCase{"CashOutReceiptsOff", {}, &CashOut, 2, 0, 0},
                                           PrintCase{"StatusIsNoDocument", &Open, &Status, 0, 0, 0}),
                         [](const ::testing::TestParamInfo<PrintCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(KktInstanceTest, APrinterFailureComesAfterTheDocumentIsCountedAndSaved) {
    int opened = 0;
    Instance().SetPrinterPort(std::make_unique<CountingPort>(opened, true));
    EXPECT_THROW(Open(Instance()), std::runtime_error);
    EXPECT_EQ(StoredValue("DayState"), "1");
    EXPECT_EQ(StoredValue("TotalDocCounter"), "1");
    EXPECT_FALSE(NewOutputLines().empty());
}

} // namespace
} // namespace veltrano::kkt::testing
