#include "kkt/frame/document_frame.h"

#include "common/moment.h"
#include "common/text.h"
#include "driver/log.h"
#include "kkt/device_driver.h"
#include "kkt/frame/document_clock.h"
#include "kkt/frame/fiscal_sign.h"
#include "kkt/frame/storage_numbers.h"
#include "kkt/print_document.h"
#include "output/device.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace veltrano::kkt {
namespace {

constexpr moment::Moment ShiftDuration = 86400;

// The driver's class name, as the log knows it.
constexpr std::string_view LogSource = "TDriver";

std::size_t SeparatorWidth(const TDeviceDriver& instance) {
    return static_cast<std::size_t>(std::max<std::int64_t>(instance.LineLength, 0));
}

} // namespace

void ReadCashier(TDeviceDriver& instance, const pugi::xml_document& input) {
    const pugi::xml_node parameters = input.document_element().child("Parameters");
    if (!parameters)
        return;
    instance.FCashierName = parameters.attribute("CashierName").as_string();
    instance.FCashierINN = parameters.attribute("CashierINN").as_string();
}

void CheckShiftOpen(TDeviceDriver& instance) {
    if (ReadInteger(instance.Device(), "DayState") <= 0)
        throw std::runtime_error("Смена закрыта");
    if (CheckShiftExpired(instance))
        throw std::runtime_error("Длительность смены превысила 24 часа");
}

bool CheckShiftExpired(TDeviceDriver& instance) {
    output::TDevice& device = instance.Device();
    const moment::Moment dayStart = ReadInteger(device, "DayStart");
    // Compared this way round so that no hand-edited start can overflow the difference.
    if (dayStart >= DocumentMoment() - ShiftDuration)
        return false;
    if (ReadInteger(device, "DayState") != 0)
        device.SetFNValue("DayState", 2);
    return true;
}

void PrintHeader(TDeviceDriver& instance, bool receiptFlag) {
    output::TDevice& device = instance.Device();
    const moment::DateTime now = DocumentNow();
    device.PrintTextCenter(instance.ChequeHeader);
    device.PrintText("РН ККТ:" + device.GetFNValue("KKTNumber"),
                     moment::FormatDate(now) + " " + moment::FormatHourMinute(now));

    std::string shiftAndReceipt;
    if (const std::int64_t dayCounter = ReadInteger(device, "DayCounter"); dayCounter > 0)
        shiftAndReceipt += "СМЕНА:" + std::to_string(dayCounter);
    if (receiptFlag)
        shiftAndReceipt += " ЧЕК:" + std::to_string(ReadInteger(device, "ReceiptNumber") + 1);
    device.PrintText("ЗН ККТ:" + device.GetFNValue("KKTSerialNumber"), shiftAndReceipt);

    device.PrintText("ИНН:" + device.GetFNValue("VATIN"), "ФН:" + device.GetFNValue("FNSerialNumber"));
    device.PrintText("Кассир:" + instance.FCashierName,
                     "#" + FormatCount(ReadInteger(device, "TotalDocCounter")));
    if (!text::Trim(instance.FCashierINN).empty())
        device.PrintText("ИНН кассира:", instance.FCashierINN);
    device.PrintText("Сайт ФНС:", FNSWebSiteDomain);
}

void PrintFiscalSignLine(TDeviceDriver& instance) {
    output::TDevice& device = instance.Device();
    device.PrintText("ФД:" + std::to_string(ReadInteger(device, "TotalFiscalDocCounter")),
                     "ФП:" + NewFiscalSign());
}

void PrintSeparator(TDeviceDriver& instance) {
    output::TDevice& device = instance.Device();
    const std::size_t width = SeparatorWidth(instance);
    device.PrintText(std::string(width, ' '), "");
    device.PrintText(std::string(width, '='), "");
}

void FinishDocument(TDeviceDriver& instance, std::string_view documentKind) {
    output::TDevice& device = instance.Device();
    device.CreateReceipt(documentKind, device.GetFNValue("TotalDocCounter"));
}

void SaveFN(TDeviceDriver& instance) {
    output::TDevice& device = instance.Device();
    try {
        device.SaveDataFN();
    } catch (const std::exception& error) {
        log::WriteLog(LogSource, error.what(), log::Level::Error);
    }
}

void PrintFinishedDocument(TDeviceDriver& instance, std::uint8_t printSwitch) {
    if (printSwitch != PrintingSwitchedOff)
        PrintDocument(instance, false);
}

} // namespace veltrano::kkt
