#include "kkt/frame/document_frame.h"

#include "common/moment.h"
#include "common/text.h"
#include "kkt/device_instance.h"
#include "kkt/frame/document_clock.h"
#include "kkt/frame/fiscal_sign.h"
#include "kkt/frame/storage_numbers.h"
#include "kkt/print_document.h"
#include "output/output_device.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace veltrano::kkt {
namespace {

constexpr moment::Moment ShiftDuration = 86400;

std::size_t SeparatorWidth(const DeviceInstance& instance) {
    return static_cast<std::size_t>(std::max<std::int64_t>(instance.LineLength, 0));
}

} // namespace

void ReadCashier(DeviceInstance& instance, const pugi::xml_document& input) {
    const pugi::xml_node parameters = input.document_element().child("Parameters");
    if (!parameters)
        return;
    instance.SetCashier(parameters.attribute("CashierName").as_string(),
                        parameters.attribute("CashierINN").as_string());
}

void CheckShiftOpen(DeviceInstance& instance) {
    if (ReadInteger(instance.Storage(), "DayState") <= 0)
        throw std::runtime_error("Смена закрыта");
    if (CheckShiftExpired(instance))
        throw std::runtime_error("Длительность смены превысила 24 часа");
}

bool CheckShiftExpired(DeviceInstance& instance) {
    FiscalStorage& storage = instance.Storage();
    const moment::Moment dayStart = ReadInteger(storage, "DayStart");
    // Compared this way round so that no hand-edited start can overflow the difference.
    if (dayStart >= DocumentMoment() - ShiftDuration)
        return false;
    if (ReadInteger(storage, "DayState") != 0)
        storage.SetValue("DayState", 2);
    return true;
}

void PrintHeader(DeviceInstance& instance, bool receiptFlag) {
    output::OutputDevice& device = instance.Device();
    FiscalStorage& storage = instance.Storage();
    const moment::DateTime now = DocumentNow();
    device.PrintTextCenter(instance.ChequeHeader);
    device.PrintText("РН ККТ:" + storage.Value("KKTNumber"),
                     moment::FormatDate(now) + " " + moment::FormatHourMinute(now));

    std::string shiftAndReceipt;
    if (const std::int64_t dayCounter = ReadInteger(storage, "DayCounter"); dayCounter > 0)
        shiftAndReceipt += "СМЕНА:" + std::to_string(dayCounter);
    if (receiptFlag)
        shiftAndReceipt += " ЧЕК:" + std::to_string(ReadInteger(storage, "ReceiptNumber") + 1);
    device.PrintText("ЗН ККТ:" + storage.Value("KKTSerialNumber"), shiftAndReceipt);

    device.PrintText("ИНН:" + storage.Value("VATIN"), "ФН:" + storage.Value("FNSerialNumber"));
    device.PrintText("Кассир:" + instance.CurrentCashier().Name,
                     "#" + FormatCount(ReadInteger(storage, "TotalDocCounter")));
    if (!text::Trim(instance.CurrentCashier().INN).empty())
        device.PrintText("ИНН кассира:", instance.CurrentCashier().INN);
    device.PrintText("Сайт ФНС:", FNSWebSiteDomain);
}

void PrintFiscalSignLine(DeviceInstance& instance) {
    output::OutputDevice& device = instance.Device();
    FiscalStorage& storage = instance.Storage();
    device.PrintText("ФД:" + std::to_string(ReadInteger(storage, "TotalFiscalDocCounter")),
                     "ФП:" + NewFiscalSign());
}

void PrintSeparator(DeviceInstance& instance) {
    output::OutputDevice& device = instance.Device();
    const std::size_t width = SeparatorWidth(instance);
    device.PrintText(std::string(width, ' '), "");
    device.PrintText(std::string(width, '='), "");
}

void FinishDocument(DeviceInstance& instance, std::string_view documentKind) {
    output::OutputDevice& device = instance.Device();
    FiscalStorage& storage = instance.Storage();
    device.CreateReceipt(documentKind, storage.Value("TotalDocCounter"));
}

void SaveFN(DeviceInstance& instance) {
    instance.Storage().Save();
}

void PrintFinishedDocument(DeviceInstance& instance, std::uint8_t printSwitch) {
    if (printSwitch != PrintingSwitchedOff)
        PrintDocument(instance, false);
}

} // namespace veltrano::kkt
