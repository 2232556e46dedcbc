#include "kkt/cash_register_driver.h"

#include "addin/variant.h"
#include "common/text.h"
#include "common/xml.h"
#include "driver/host_params.h"
#include "driver/xml_text.h"
#include "output/output_device.h"
#include "output/printer_models.h"
#include "platform/window_program.h"

#include <array>
#include <filesystem>
#include <memory>
#include <stdexcept>

namespace veltrano::kkt {

using addin::UserObject;

namespace {

// Printers that a remote-desktop session redirects are not printers of this machine.
constexpr std::string_view kRemoteDesktopPrinterPath =
    "root#rdpbus#0000#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";

CashRegisterDriver& Driver(UserObject& self) {
    return static_cast<CashRegisterDriver&>(self);
}

bool GetInterfaceRevision(UserObject& self, V8Variant* result, V8Variant*, long) {
    if (result != nullptr)
        addin::V8SetInt(self.V8MM, result, 4004);
    return true;
}

bool SetExternalDeviceId(UserObject& self, V8Variant* result, V8Variant* params, long count) {
    CashRegisterDriver& driver = Driver(self);
    return driver.Guarded(
        result, [&] { driver.SetExternalDeviceId(addin::ReadTextUtf8(driver::Param(params, count, 0))); });
}

// Deletes the default storage file without asking; connected devices find it missing at their next operation.
void ClearFN(UserObject&) {
    FiscalStorage::ClearFN(std::filesystem::path());
}

// Opens the window, or brings it forward, and returns at once: the window is not modal.
void ESCSettings(UserObject&) {
    window_protocol::EscSettingsShow show;
    const std::vector<output::PrinterModel>& table = output::PrinterModels();
    // Entry 0, the manual entry, is the window's own.
    for (std::size_t i = 1; i < table.size(); ++i)
        show.Models.push_back({table[i].PrinterIndex, table[i].PrinterName, table[i].Codes});
    const platform::WindowProgram::Result shown = platform::SharedWindowProgram().Post(show);
    if (!shown.Ok())
        throw std::runtime_error("Окно настройки ESC-кодов не открылось: " + shown.Message);
}

std::unique_ptr<UserObject> CreateDriver() {
    return std::make_unique<CashRegisterDriver>();
}

constexpr std::array kMethods{
    addin::ExportMeth{u"GetInterfaceRevision", u"ПолучитьРевизиюИнтерфейса", 0, &GetInterfaceRevision},
    addin::ExportMeth{u"SetExternalDeviceId", u"SetExternalDeviceId", 1, &SetExternalDeviceId},
};

constexpr std::array kActions{
    addin::AdditionalAction{"ClearFN", "Очистить ФН", &ClearFN},
    addin::AdditionalAction{"ESCSettings", "Настройка ESC-кодов", &ESCSettings},
};

pugi::xml_node FindUsbPort(pugi::xml_node parent) {
    for (pugi::xml_node child : parent.children()) {
        if (child.type() != pugi::node_element)
            continue;
        if (text::EqualsNoCase(child.attribute("Name").value(), "USBPort"))
            return child;
        if (pugi::xml_node found = FindUsbPort(child))
            return found;
    }
    return {};
}

bool IsRemoteDesktopPrinter(const output::UsbPrinterInfo& printer) {
    return text::ToLower(printer.interfacename).find(kRemoteDesktopPrinterPath) != std::string::npos;
}

} // namespace

constinit const addin::ClassDeclarations CashRegisterDriver::Decls{
    &driver::CashRegisterAdapter::Decls, kMethods, {}, kActions};

CashRegisterDriver::CashRegisterDriver() {
    UpdateDriverInfo(driver::DriverInfo());
}

CashRegisterDriver::~CashRegisterDriver() {
    // The ESC code settings window does not outlive a driver object; no program is started to close it.
    platform::WindowProgram& program = platform::SharedWindowProgram();
    if (program.Running())
        (void)program.Post(window_protocol::EscSettingsClose{});
}

std::string CashRegisterDriver::BuildSettingsXml() {
    pugi::xml_document settings;
    driver::ParseXmlText(settings, text::Utf8ToUtf16(CashRegisterAdapter::BuildSettingsXml()));
    // A printer list that cannot be read still leaves USBPort with its (empty) choice list.
    output::UsbPrinterList printers;
    const bool listed = printers.Refresh();
    AddUsbPrinterChoices(settings, listed ? printers.Items() : std::vector<output::UsbPrinterInfo>{});
    return xml::ToText(settings);
}

void AddUsbPrinterChoices(pugi::xml_document& settings, const std::vector<output::UsbPrinterInfo>& printers) {
    pugi::xml_node usbPort = FindUsbPort(settings.document_element());
    if (!usbPort)
        return;
    pugi::xml_node choices = usbPort.append_child("ChoiceList");
    for (const output::UsbPrinterInfo& printer : printers) {
        if (!printer.isenabled || IsRemoteDesktopPrinter(printer))
            continue;
        pugi::xml_node item = choices.append_child("Item");
        item.append_attribute("Value") = printer.interfacename.c_str();
        const std::string& shown = printer.devicename.empty() ? printer.interfacename : printer.devicename;
        item.text().set(("Принтер " + shown).c_str());
    }
}

void RegisterTDriver() {
    driver::RegisterDriver(&CreateDriver, CashRegisterDriver::Decls, u"Veltrano",
                           "Драйвер ККТ-online Учебный",
                           "Драйвер ККТ-online Учебный 1С:Совместимо для 1С:БПО 4.X NativeAPI",
                           &CashRegisterDriver::UpdateDriverInfo);
}

} // namespace veltrano::kkt
