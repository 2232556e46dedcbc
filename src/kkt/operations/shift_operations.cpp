#include "kkt/operations/shift_operations.h"

#include "kkt/device_instance.h"
#include "kkt/frame/document_clock.h"
#include "kkt/frame/document_frame.h"
#include "kkt/frame/output_parameters.h"
#include "kkt/frame/storage_numbers.h"
#include "kkt/operations/receipt_registers.h"
#include "kkt/operations/shift_reports.h"
#include "output/output_device.h"

#include <stdexcept>

namespace veltrano::kkt {
namespace {

constexpr int FNLifeClosed = 2;

// The shift registers a new shift starts from, in the order they are cleared. The counts of cash in and out
// go with their sums: cash moved while no shift was open belongs to no shift's report.
void ClearShiftRegisters(FiscalStorage& storage) {
    for (int index = 193; index <= 212; ++index)
        storage.SetValue(MoneyRegister(index), 0);
    for (int index = 144; index <= 147; ++index)
        storage.SetValue(OperationRegister(index), 0);
    for (const char* field : {"O202", "O203", "M254", "M255", "M241", "M242", "M243", "O153", "O154"})
        storage.SetValue(field, 0);
}

// The shift's VAT at 22 % and 22/122, cleared at closing like the other VAT sums.
void Clear22PercentRegisters(FiscalStorage& storage) {
    for (int first : {Vat22Registers, Vat22_122Registers})
        for (int kind = 0; kind < 4; ++kind)
            storage.SetValue(MoneyRegister(first + kind), 0);
}

void AddToRegister(FiscalStorage& storage, const char* field, Money amount) {
    storage.SetValue(field, AddAmounts(ReadAmount(storage, field), amount));
}

} // namespace

void OpenShift(DeviceInstance& instance, const pugi::xml_document& input, pugi::xml_document& output) {
    ReadCashier(instance, input);
    output::OutputDevice& device = instance.Device();
    FiscalStorage& storage = instance.Storage();
    device.ClearBuffer();
    const FiscalStorage::Hold hold = storage.Load();
    if (ReadInteger(storage, "FNLifeState") == FNLifeClosed)
        throw std::runtime_error("ФН закрыт");
    if (ReadInteger(storage, "DayState") > 0)
        throw std::runtime_error("Смена открыта");

    storage.SetValue("DayState", 1);
    storage.SetValue("DayStart", DocumentMoment());
    IncreaseCounter(storage, "DayCounter");
    storage.SetValue("ReceiptNumber", 0);
    IncreaseCounter(storage, "TotalReceiptCounter");
    IncreaseCounter(storage, "TotalDocCounter");
    storage.SetValue("FiscalDocCounter", 1);
    IncreaseCounter(storage, "TotalFiscalDocCounter");
    ClearShiftRegisters(storage);

    PrintHeader(instance, false);
    device.PrintTextCenter("ОТКРЫТИЕ СМЕНЫ");
    GetOutputParameters(instance, output, OpenShiftOutput);
    PrintFiscalSignLine(instance);
    PrintSeparator(instance);
    FinishDocument(instance, "Открытие смены");
    SaveFN(instance);
    PrintFinishedDocument(instance, instance.EnableReportPrinting);
}

void CloseShift(DeviceInstance& instance, const pugi::xml_document& input, pugi::xml_document& output) {
    ReadCashier(instance, input);
    output::OutputDevice& device = instance.Device();
    FiscalStorage& storage = instance.Storage();
    const FiscalStorage::Hold hold = storage.Load();
    device.ClearBuffer();
    // An expired shift is closed like any other.
    if (ReadInteger(storage, "DayState") <= 0)
        throw std::runtime_error("Смена закрыта");

    storage.SetValue("DayState", 0);
    IncreaseCounter(storage, "TotalDocCounter");
    IncreaseCounter(storage, "FiscalDocCounter");
    IncreaseCounter(storage, "TotalFiscalDocCounter");

    PrintHeader(instance, false);
    device.PrintTextCenter("ЗАКРЫТИЕ СМЕНЫ");
    PrintShiftTotals(instance, true);
    GetOutputParameters(instance, output, CloseShiftOutput);
    // The cash is collected.
    storage.SetValue("M241", 0);
    PrintSeparator(instance);
    // Cleared before the report is finished: a storage that lacks a counter fails here, before the output
    // file or the preview has the report.
    storage.ClearFNCounters();
    Clear22PercentRegisters(storage);
    FinishDocument(instance, "Закрытие смены");
    SaveFN(instance);
    PrintFinishedDocument(instance, instance.EnableReportPrinting);
}

void CashInOutcome(DeviceInstance& instance, Money amount) {
    output::OutputDevice& device = instance.Device();
    FiscalStorage& storage = instance.Storage();
    device.ClearBuffer();
    const FiscalStorage::Hold hold = storage.Load();
    IncreaseCounter(storage, "TotalDocCounter");
    PrintHeader(instance, false);

    const bool cashIn = amount > Money();
    if (cashIn) {
        AddToRegister(storage, "M242", amount);
        IncreaseCounter(storage, "O153");
        device.PrintText("ВНЕСЕНИЕ", amount.FormatEq());
    } else {
        const Money taken = NegateAmount(amount);
        if (ReadAmount(storage, "M241") < taken)
            throw std::runtime_error("Недостаточно наличности в кассе");
        AddToRegister(storage, "M243", taken);
        IncreaseCounter(storage, "O154");
        device.PrintText("ВЫПЛАТА", taken.FormatEq());
    }
    AddToRegister(storage, "M241", amount);

    PrintSeparator(instance);
    FinishDocument(instance, cashIn ? "Внесение" : "Выплата");
    SaveFN(instance);
    PrintFinishedDocument(instance, instance.EnablePrinting);
}

void GetCurrentStatus(DeviceInstance& instance, pugi::xml_document& output) {
    FiscalStorage& storage = instance.Storage();
    const FiscalStorage::Hold hold = storage.Load();
    // Only for its side effect: an open shift older than 24 hours is marked expired.
    CheckShiftExpired(instance);
    GetOutputParameters(instance, output, CurrentStatusOutput);
    SaveFN(instance);
}

} // namespace veltrano::kkt
