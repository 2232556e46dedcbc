#include "addin/class_registry.h"
#include "common/number_format.h"
#include "common/text.h"
#include "kkt/cash_register_driver.h"
#include "log/log.h"
#include "output/esc_codes.h"
#include "output/output_device.h"
#include "output/printer_port.h"
#include "platform/platform.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <utility>

namespace veltrano::kkt {
namespace {

constexpr std::int64_t MinLineLength = 24;
// Far wider than any paper, and small enough that every line of a document stays small: a width near the
// settings' integer limit would make each line of each document a string of gigabytes.
constexpr std::int64_t MaxLineLength = 1000;

enum : std::int64_t { InterfaceUSB = 0, InterfaceCOM = 1, InterfaceLAN = 2 };

// The ESC preset lists say "-1" when the manual field counts.
constexpr std::string_view ManualEscCode = "-1";

bool IsWritableSetting(std::string_view name) {
    const auto settings = DeviceInstance::Settings();
    return std::any_of(settings.begin(), settings.end(), [&](const addin::PropertyDecl& setting) {
        return !setting.readOnly && setting.set != nullptr && text::EqualsNoCase(setting.name, name);
    });
}

std::unique_ptr<output::IPrinterPort> CreatePrinterConnection(const DeviceInstance& instance) {
    switch (instance.InterfaceType) {
    case InterfaceUSB:
        return output::CreatePrinterPort(output::UsbPortSettings{instance.USBPort}, {});
    case InterfaceCOM:
        // The data folder may hold the link that maps the COM port to a device.
        return output::CreatePrinterPort(output::ComPortSettings{instance.COMPort, instance.BaudRate,
                                                                 instance.DataBits, instance.StopBits,
                                                                 instance.Parity},
                                         platform::CommonAppDataFolder());
    case InterfaceLAN:
        return output::CreatePrinterPort(output::LanPortSettings{instance.IPAddress, instance.IPPort}, {});
    default:
        return nullptr; // the virtual device
    }
}

void DecodeEscCodes(DeviceInstance& instance) {
    using output::ParseEscCode;
    output::EscCodes& codes = instance.EscCodes();
    codes.ESCInit = ParseEscCode(instance.ESCInit);
    codes.ESCRus = ParseEscCode(instance.ESCRusList != ManualEscCode ? instance.ESCRusList : instance.ESCRus);
    codes.ESCCut = ParseEscCode(instance.ESCCutList != ManualEscCode ? instance.ESCCutList : instance.ESCCut);
    codes.ESCBeep = ParseEscCode(instance.ESCBeep);
    codes.ESCSpeaker = ParseEscCode(instance.ESCSpeaker);
    codes.ESCFntBoldOn = ParseEscCode(instance.ESCFntBoldOn);
    codes.ESCFntBoldOff = ParseEscCode(instance.ESCFntBoldOff);
    codes.ESCFntItalicOn = ParseEscCode(instance.ESCFntItalicOn);
    codes.ESCFntItalicOff = ParseEscCode(instance.ESCFntItalicOff);
    codes.ESCFntUnderlineOn = ParseEscCode(instance.ESCFntUnderlineOn);
    codes.ESCFntUnderlineOff = ParseEscCode(instance.ESCFntUnderlineOff);
    codes.ESCFntInvertOn = ParseEscCode(instance.ESCFntInvertOn);
    codes.ESCFntInvertOff = ParseEscCode(instance.ESCFntInvertOff);
    codes.ESCFont1On = ParseEscCode(instance.ESCFont1On);
    codes.ESCFont1Off = ParseEscCode(instance.ESCFont1Off);
    codes.ESCFont2On = ParseEscCode(instance.ESCFont2On);
    codes.ESCFont2Off = ParseEscCode(instance.ESCFont2Off);
    codes.ESCFont3On = ParseEscCode(instance.ESCFont3On);
    codes.ESCFont3Off = ParseEscCode(instance.ESCFont3Off);
    codes.ESCCustomFontOn = ParseEscCode(instance.ESCCustomFontOn);
    codes.ESCCustomFontOff = ParseEscCode(instance.ESCCustomFontOff);
}

// Everything a connection derives from the applied settings: the storage, the output device, the printer
// connection and the ESC codes.
void SetUpInstance(DeviceInstance& instance) {
    // A narrower line is widened to the minimum, as it always was; a wider one is refused before anything is
    // set up.
    if (instance.LineLength > MaxLineLength)
        throw std::runtime_error("Длина строки " + std::to_string(instance.LineLength) + " больше " +
                                 std::to_string(MaxLineLength) + " символов");
    numfmt::SetDecimalSeparator('.');
    log::SetLogMode(instance.LogEnabled ? log::ModeAll : log::ModeOff);

    std::filesystem::path storageFile;
    if (!instance.ExternalDeviceId().empty()) {
        const std::filesystem::path folder = DeviceDataFolder(instance.ExternalDeviceId());
        storageFile = folder / "DataFN.xml";
        log::SetLogFolder((folder / "logs").string());
    }
    instance.Attach(std::make_unique<FiscalStorage>(storageFile), std::make_unique<output::OutputDevice>());

    instance.LineLength = std::max(instance.LineLength, MinLineLength);
    instance.SetCutMarker(text::ToUpper(instance.CutString));

    output::OutputDevice& device = instance.Device();
    device.Init(instance.PrintOutFilePath, static_cast<int>(instance.LineLength));
    device.ShowReceiptForm = static_cast<int>(instance.ShowReceiptForm);
    device.Enable();

    instance.SetPrinterPort(CreatePrinterConnection(instance));
    DecodeEscCodes(instance);

    device.RibbonWidth = static_cast<int>(instance.RibbonWidth);
    device.EACSize = static_cast<int>(instance.EACSize);
    device.EACAlignment = static_cast<int>(instance.EACAlignment);
    device.BarcodeHeight = static_cast<int>(instance.BarcodeHeight);
    device.BarcodeSize = static_cast<int>(instance.BarcodeSize);
    device.QRSize = static_cast<int>(instance.QRSize);
}

} // namespace

void CashRegisterDriver::ConnectEquipment(const pugi::xml_document& settings) {
    CashRegisterAdapter::ConnectEquipment(settings);
    // Until the new instance is registered none is current: a failed connection leaves none behind.
    current_ = nullptr;
    auto instance = std::make_unique<DeviceInstance>();
    instance->SetExternalDeviceId(pendingExternalDeviceId_);
    ApplySettings(*instance, settings);
    SetUpInstance(*instance);
    current_ = instance.get();
    instances_[DeviceId()] = std::move(instance);
    pendingExternalDeviceId_.clear();
}

void CashRegisterDriver::ApplySettings(DeviceInstance& instance, const pugi::xml_document& settings) const {
    const pugi::xml_node parameters = settings.child("Parameters");
    if (!parameters)
        throw std::runtime_error("В настройках нет элемента Parameters");
    for (const pugi::xml_node node : parameters.children()) {
        if (node.type() != pugi::node_element || !text::EqualsNoCase(node.name(), "Parameter"))
            continue;
        const std::string_view name = node.attribute("Name").value();
        if (IsWritableSetting(name))
            addin::ApplySetting(DeviceInstance::Settings(), name, node.attribute("Value").value(), &instance,
                                DeviceId());
    }
}

void CashRegisterDriver::DisconnectEquipment(const std::string& deviceId) {
    const auto found = instances_.find(deviceId);
    current_ = nullptr;
    if (found != instances_.end())
        instances_.erase(found);
    CashRegisterAdapter::DisconnectEquipment(deviceId);
}

void CashRegisterDriver::SelectInstance(const std::string& deviceId) {
    if (text::Trim(deviceId).empty())
        throw std::runtime_error("Не передан идентификатор устройства");
    const auto found = instances_.find(deviceId);
    if (found == instances_.end()) {
        current_ = nullptr;
        throw std::runtime_error("Экземпляр устройства c идентификатором " + deviceId +
                                 " не существует или уже был отключен");
    }
    current_ = found->second.get();
}

DeviceInstance& CashRegisterDriver::Instance() const {
    if (current_ == nullptr)
        throw std::runtime_error("Устройство не включено");
    return *current_;
}

} // namespace veltrano::kkt
