#include "kkt/operations/shift_operations.h"

#include "kkt/device_driver.h"
#include "kkt/frame/document_clock.h"
#include "kkt/frame/document_frame.h"
#include "kkt/frame/output_parameters.h"
#include "kkt/frame/storage_numbers.h"
#include "kkt/operations/shift_reports.h"
#include "output/device.h"

#include <stdexcept>

namespace veltrano::kkt {
namespace {

constexpr int FNLifeClosed = 2;

// The shift registers a new shift starts from, in the order they are cleared.
void ClearShiftRegisters(output::TDevice& device) {
    for (int index = 193; index <= 212; ++index)
        device.SetFNValue(MoneyRegister(index), 0);
    for (int index = 144; index <= 147; ++index)
        device.SetFNValue(OperationRegister(index), 0);
    for (const char* field : {"O202", "O203", "M254", "M255", "M241", "M242", "M243"})
        device.SetFNValue(field, 0);
}

void AddToRegister(output::TDevice& device, const char* field, Money amount) {
    device.SetFNValue(field, AddAmounts(ReadAmount(device, field), amount));
}

} // namespace

void OpenShift(TDeviceDriver& instance, const pugi::xml_document& input, pugi::xml_document& output) {
    ReadCashier(instance, input);
    output::TDevice& device = instance.Device();
    device.ClearBuffer();
    device.LoadDataFN();
    if (ReadInteger(device, "FNLifeState") == FNLifeClosed)
        throw std::runtime_error("ФН закрыт");
    if (ReadInteger(device, "DayState") > 0)
        throw std::runtime_error("Смена открыта");

    device.SetFNValue("DayState", 1);
    device.SetFNValue("DayStart", DocumentMoment());
    IncreaseCounter(device, "DayCounter");
    device.SetFNValue("ReceiptNumber", 0);
    IncreaseCounter(device, "TotalReceiptCounter");
    IncreaseCounter(device, "TotalDocCounter");
    device.SetFNValue("FiscalDocCounter", 1);
    IncreaseCounter(device, "TotalFiscalDocCounter");
    ClearShiftRegisters(device);

    PrintHeader(instance, false);
    device.PrintTextCenter("ОТКРЫТИЕ СМЕНЫ");
    GetOutputParameters(instance, output, OpenShiftOutput);
    PrintFiscalSignLine(instance);
    PrintSeparator(instance);
    FinishDocument(instance, "Открытие смены");
    SaveFN(instance);
    PrintFinishedDocument(instance, instance.EnableReportPrinting);
}

void CloseShift(TDeviceDriver& instance, const pugi::xml_document& input, pugi::xml_document& output) {
    ReadCashier(instance, input);
    output::TDevice& device = instance.Device();
    device.LoadDataFN();
    device.ClearBuffer();
    // An expired shift is closed like any other.
    if (ReadInteger(device, "DayState") <= 0)
        throw std::runtime_error("Смена закрыта");

    device.SetFNValue("DayState", 0);
    IncreaseCounter(device, "TotalDocCounter");
    IncreaseCounter(device, "FiscalDocCounter");
    IncreaseCounter(device, "TotalFiscalDocCounter");

    PrintHeader(instance, false);
    device.PrintTextCenter("ЗАКРЫТИЕ СМЕНЫ");
    PrintShiftTotals(instance, true);
    GetOutputParameters(instance, output, CloseShiftOutput);
    // The cash is collected.
    device.SetFNValue("M241", 0);
    PrintSeparator(instance);
    FinishDocument(instance, "Закрытие смены");
    device.ClearFNCounters();
    SaveFN(instance);
    PrintFinishedDocument(instance, instance.EnableReportPrinting);
}

void CashInOutcome(TDeviceDriver& instance, Money amount) {
    output::TDevice& device = instance.Device();
    device.ClearBuffer();
    device.LoadDataFN();
    IncreaseCounter(device, "TotalDocCounter");
    PrintHeader(instance, false);

    const bool cashIn = amount > Money();
    if (cashIn) {
        AddToRegister(device, "M242", amount);
        IncreaseCounter(device, "O153");
        device.PrintText("ВНЕСЕНИЕ", amount.FormatEq());
    } else {
        const Money taken = NegateAmount(amount);
        if (ReadAmount(device, "M241") < taken)
            throw std::runtime_error("Недостаточно наличности в кассе");
        AddToRegister(device, "M243", taken);
        IncreaseCounter(device, "O154");
        device.PrintText("ВЫПЛАТА", taken.FormatEq());
    }
    AddToRegister(device, "M241", amount);

    PrintSeparator(instance);
    FinishDocument(instance, cashIn ? "Внесение" : "Выплата");
    SaveFN(instance);
    PrintFinishedDocument(instance, instance.EnablePrinting);
}

void GetCurrentStatus(TDeviceDriver& instance, pugi::xml_document& output) {
    output::TDevice& device = instance.Device();
    device.LoadDataFN();
    // Only for its side effect: an open shift older than 24 hours is marked expired.
    CheckShiftExpired(instance);
    GetOutputParameters(instance, output, CurrentStatusOutput);
    SaveFN(instance);
}

} // namespace veltrano::kkt
