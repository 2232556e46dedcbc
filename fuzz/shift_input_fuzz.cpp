// The input parameters of the shift documents (<InputParameters><Parameters CashierName=".."
// CashierINN=".."/>) as the host passes them to ОткрытьСмену, ЗакрытьСмену, the reports, the current state
// and cash in and out. The first byte picks the starting storage (bits 0-1), the call (bits 2-4) and whether
// documents go through the ESC/POS encoder (bit 5); the rest is the input text.
#include "training_register.h"

#include "common/money.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

using namespace veltrano;

struct Target {
    fuzz::TrainingRegister Register;
    std::array<std::string, 4> States{Register.NewStorageState(), Register.OpenShiftState(),
                                      Register.ClosedShiftState(), Register.ExpiredShiftState()};
};

constexpr std::array<std::string_view, 8> CallNames{
    "OpenShift",        "CloseShift",       "PrintXReport",      "ReportCurrentStatusOfSettlements",
    "GetCurrentStatus", "CashInOutcome in", "CashInOutcome out", "CashInOutcome 0",
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Target target;
    if (size == 0)
        return 0;
    const std::string_view inputText(reinterpret_cast<const char*>(data + 1), size - 1);
    fuzz::TrainingRegister& trainingRegister = target.Register;
    trainingRegister.Restore(target.States[data[0] & 3]);
    trainingRegister.UsePaper((data[0] & 0x20) != 0);
    kkt::CashRegisterDriver& driver = trainingRegister.Driver();
    const unsigned call = (data[0] >> 2) & 7;
    trainingRegister.Attempt(CallNames[call], [&] {
        pugi::xml_document input;
        fuzz::ParseHostXml(input, inputText);
        pugi::xml_document output;
        switch (call) {
        case 0:
            driver.OpenShift(input, output);
            break;
        case 1:
            driver.CloseShift(input, output);
            break;
        case 2:
            driver.PrintXReport(input);
            break;
        case 3:
            driver.ReportCurrentStatusOfSettlements(input, output);
            break;
        case 4:
            driver.GetCurrentStatus(input, output);
            break;
        case 5:
            driver.CashInOutcome(input, Money::FromWhole(500));
            break;
        case 6:
            driver.CashInOutcome(input, Money::FromWhole(-500));
            break;
        default:
            driver.CashInOutcome(input, Money());
            break;
        }
    });
    return 0;
}
