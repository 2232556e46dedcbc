#include "addin/class_registry.h"
#include "common/number_format.h"
#include "common/text.h"
#include "driver/log.h"
#include "kkt/driver.h"
#include "output/device.h"
#include "output/esc_codes.h"
#include "output/printer_port.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace veltrano::kkt {
namespace {

constexpr std::int64_t MinLineLength = 24;

enum : std::int64_t { InterfaceUSB = 0, InterfaceCOM = 1, InterfaceLAN = 2 };

// The ESC preset lists say "-1" when the manual field counts.
constexpr std::string_view ManualEscCode = "-1";

bool IsWritableSetting(std::string_view name) {
    const auto settings = TDeviceDriver::Settings();
    return std::any_of(settings.begin(), settings.end(), [&](const addin::PropertyDecl& setting) {
        return !setting.readOnly && setting.set != nullptr && text::EqualsNoCase(setting.name, name);
    });
}

std::unique_ptr<output::IPrinterPort> CreatePrinterConnection(const TDeviceDriver& instance) {
    switch (instance.InterfaceType) {
    case InterfaceUSB:
        return output::CreatePrinterPort(output::TUsbPortSettings{instance.USBPort});
    case InterfaceCOM:
        return output::CreatePrinterPort(output::TComPortSettings{
            instance.COMPort, instance.BaudRate, instance.DataBits, instance.StopBits, instance.Parity});
    case InterfaceLAN:
        return output::CreatePrinterPort(output::TLanPortSettings{instance.IPAddress, instance.IPPort});
    default:
        return nullptr; // the virtual device
    }
}

void DecodeEscCodes(TDeviceDriver& instance) {
    using output::ParseEscCode;
    output::TESCCodes& codes = instance.FESCCodes;
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
void SetUpInstance(TDeviceDriver& instance) {
    numfmt::SetDecimalSeparator('.');
    log::SetLogMode(instance.LogEnabled ? log::ModeAll : log::ModeOff);

    std::filesystem::path storageFile;
    if (!instance.FExternalDeviceId.empty()) {
        const std::filesystem::path folder = DeviceDataFolder(instance.FExternalDeviceId);
        storageFile = folder / "DataFN.xml";
        log::SetLogFolder((folder / "logs").string());
    }
    instance.FDevice = std::make_unique<output::TDevice>(storageFile);

    instance.LineLength = std::max(instance.LineLength, MinLineLength);
    instance.FCutMarker = text::ToUpper(instance.CutString);

    output::TDevice& device = *instance.FDevice;
    device.Init(instance.PrintOutFilePath, static_cast<int>(instance.LineLength));
    device.ShowReceiptForm = static_cast<int>(instance.ShowReceiptForm);
    device.Enable();

    instance.FPortManager = CreatePrinterConnection(instance);
    DecodeEscCodes(instance);

    device.RibbonWidth = static_cast<int>(instance.RibbonWidth);
    device.EACSize = static_cast<int>(instance.EACSize);
    device.EACAlignment = static_cast<int>(instance.EACAlignment);
    device.BarcodeHeight = static_cast<int>(instance.BarcodeHeight);
    device.BarcodeSize = static_cast<int>(instance.BarcodeSize);
    device.QRSize = static_cast<int>(instance.QRSize);
}

} // namespace

void TDriver::ConnectEquipment(const pugi::xml_document& settings) {
    TEcrlDriver::ConnectEquipment(settings);
    // Until the new instance is registered none is current: a failed connection leaves none behind.
    FInstance = nullptr;
    auto instance = std::make_unique<TDeviceDriver>();
    instance->FExternalDeviceId = FExternalDeviceId;
    ApplySettings(*instance, settings);
    SetUpInstance(*instance);
    FInstance = instance.get();
    FInstanceList[FDeviceID] = std::move(instance);
    FExternalDeviceId.clear();
}

void TDriver::ApplySettings(TDeviceDriver& instance, const pugi::xml_document& settings) const {
    const pugi::xml_node parameters = settings.child("Parameters");
    if (!parameters)
        throw std::runtime_error("В настройках нет элемента Parameters");
    for (const pugi::xml_node node : parameters.children()) {
        if (node.type() != pugi::node_element || !text::EqualsNoCase(node.name(), "Parameter"))
            continue;
        const std::string_view name = node.attribute("Name").value();
        if (IsWritableSetting(name))
            addin::ApplySetting(TDeviceDriver::Settings(), name, node.attribute("Value").value(), &instance,
                                FDeviceID);
    }
}

void TDriver::DisconnectEquipment(const std::string& deviceId) {
    const auto found = FInstanceList.find(deviceId);
    FInstance = nullptr;
    if (found != FInstanceList.end())
        FInstanceList.erase(found);
    TEcrlDriver::DisconnectEquipment(deviceId);
}

void TDriver::SelectInstance(const std::string& deviceId) {
    if (text::Trim(deviceId).empty())
        throw std::runtime_error("Не передан идентификатор устройства");
    const auto found = FInstanceList.find(deviceId);
    if (found == FInstanceList.end()) {
        FInstance = nullptr;
        throw std::runtime_error("Экземпляр устройства c идентификатором " + deviceId +
                                 " не существует или уже был отключен");
    }
    FInstance = found->second.get();
}

TDeviceDriver& TDriver::Instance() const {
    if (FInstance == nullptr)
        throw std::runtime_error("Устройство не включено");
    return *FInstance;
}

} // namespace veltrano::kkt
