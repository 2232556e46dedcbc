#include "driver/common_driver.h"

#include "addin/trace.h"
#include "addin/variant.h"
#include "common/text.h"
#include "common/version.h"
#include "common/xml.h"
#include "driver/guid.h"
#include "driver/help/show_help.h"
#include "driver/host_params.h"
#include "driver/xml_text.h"
#include "log/log.h"
#include "platform/window_program.h"
#include "resources/resources.h"

#include <array>

namespace veltrano::driver {

using addin::UserObject;

namespace {

CommonDriver& Driver(UserObject& self) {
    return static_cast<CommonDriver&>(self);
}

bool GetInterfaceRevision(UserObject& self, V8Variant* result, V8Variant*, long) {
    // No guard: a driver without a revision number of its own fails as a host error.
    const std::int32_t revision = Driver(self).InterfaceRevision();
    if (result != nullptr)
        addin::V8SetInt(self.V8MM, result, revision);
    return true;
}

bool GetDescription(UserObject& self, V8Variant* result, V8Variant* params, long count) {
    CommonDriver& driver = Driver(self);
    return driver.Guarded(result,
                          [&] { SetOutText(driver, Param(params, count, 0), driver.BuildDescriptionXml()); });
}

bool GetLastError(UserObject& self, V8Variant* result, V8Variant* params, long count) {
    // No guard, so that the record can be read again and again with the same answer.
    CommonDriver& driver = Driver(self);
    if (result != nullptr)
        addin::V8SetInt(self.V8MM, result, driver.LastResult().GetIntResult());
    SetOutText(driver, Param(params, count, 0), driver.LastResult().ErrorDescription);
    return true;
}

bool ConnectEquipment(UserObject& self, V8Variant* result, V8Variant* params, long count) {
    CommonDriver& driver = Driver(self);
    return driver.Guarded(result, [&] {
        V8Variant& deviceId = Param(params, count, 0);
        pugi::xml_document settings;
        ParseXmlText(settings, addin::ReadText(Param(params, count, 2)));
        driver.ConnectEquipment(settings);
        SetOutText(driver, deviceId, driver.DeviceId());
    });
}

bool DisconnectEquipment(UserObject& self, V8Variant* result, V8Variant* params, long count) {
    CommonDriver& driver = Driver(self);
    return driver.Guarded(result,
                          [&] { driver.DisconnectEquipment(addin::ReadTextUtf8(Param(params, count, 0))); });
}

bool EquipmentParameters(UserObject& self, V8Variant* result, V8Variant* params, long count) {
    CommonDriver& driver = Driver(self);
    return driver.Guarded(result,
                          [&] { SetOutText(driver, Param(params, count, 1), driver.BuildSettingsXml()); });
}

bool SetParameter(UserObject& self, V8Variant* result, V8Variant* params, long count) {
    CommonDriver& driver = Driver(self);
    return driver.Guarded(result, [&] {
        const std::string name = addin::ReadTextUtf8(Param(params, count, 0));
        addin::PropertyGetSet(driver, name, &Param(params, count, 1), false);
    });
}

// A true Boolean setting: "true" in any letter case or a non-zero integer.
bool SettingIsTrue(std::string_view value) {
    if (text::EqualsNoCase(value, "true"))
        return true;
    if (value.empty())
        return false;
    std::size_t digits = value.front() == '-' || value.front() == '+' ? 1 : 0;
    if (digits == value.size())
        return false;
    bool nonZero = false;
    for (; digits < value.size(); ++digits) {
        if (value[digits] < '0' || value[digits] > '9')
            return false;
        nonZero = nonZero || value[digits] != '0';
    }
    return nonZero;
}

// The test's settings ask for a log when a Parameter named LogEnabled carries a true value.
bool SettingsEnableLog(const pugi::xml_document& settings) {
    for (const pugi::xml_node node : settings.document_element().children()) {
        if (node.type() != pugi::node_element || !text::EqualsNoCase(node.name(), "Parameter"))
            continue;
        if (text::EqualsNoCase(node.attribute("Name").value(), "LogEnabled") &&
            SettingIsTrue(node.attribute("Value").value()))
            return true;
    }
    return false;
}

// The call trace cannot see this call (its first parameter is no device), so the test traces itself.
void TraceEquipmentTestEnd(const V8Variant* result, const V8Variant* params, long count) noexcept {
    try {
        std::string details;
        if (result != nullptr)
            details = "Result=" + addin::RenderValue(*result);
        details += "; Params: " + addin::RenderParams(params, count);
        log::WriteLog("< EquipmentTest", details, log::Level::Debug);
    } catch (const std::exception& error) {
        log::WriteLog("< EquipmentTest", error.what(), log::Level::Debug);
    }
}

bool EquipmentTest(UserObject& self, V8Variant* result, V8Variant* params, long count) {
    CommonDriver& driver = Driver(self);
    try {
        V8Variant& descriptionOut = Param(params, count, 2);
        V8Variant& secondOut = Param(params, count, 3);
        pugi::xml_document settings;
        ParseXmlText(settings, addin::ReadText(Param(params, count, 1)));
        if (SettingsEnableLog(settings)) {
            log::SetLogMode(log::ModeAll);
            log::WriteLog("> EquipmentTest", "Params: " + addin::RenderParams(params, count),
                          log::Level::Debug);
        }
        std::string description;
        std::string secondText;
        driver.EquipmentTest(settings, description, secondText);
        SetOutText(driver, descriptionOut, description);
        SetOutText(driver, secondOut, secondText);
        driver.ReportSuccess(result);
        TraceEquipmentTestEnd(result, params, count);
    } catch (const std::exception& error) {
        driver.ReportFailure(error, result, 1001);
        TraceEquipmentTestEnd(result, params, count);
        if (params != nullptr && count > 2)
            addin::V8SetUtf8(driver.V8MM, &params[2], error.what());
    }
    return true;
}

bool GetAdditionalActions(UserObject& self, V8Variant* result, V8Variant* params, long count) {
    CommonDriver& driver = Driver(self);
    return driver.Guarded(result,
                          [&] { SetOutText(driver, Param(params, count, 0), driver.BuildActionsXml()); });
}

bool DoAdditionalAction(UserObject& self, V8Variant* result, V8Variant* params, long count) {
    CommonDriver& driver = Driver(self);
    return driver.Guarded(result,
                          [&] { driver.RunAdditionalAction(addin::ReadTextUtf8(Param(params, count, 0))); });
}

bool EquipmentAutoSetup(UserObject& self, V8Variant* result, V8Variant* params, long count) {
    CommonDriver& driver = Driver(self);
    return driver.Guarded(result, [&] {
        const std::string settings = addin::ReadTextUtf8(Param(params, count, 1));
        SetOutText(driver, Param(params, count, 2), settings);
    });
}

bool SetApplicationInformation(UserObject& self, V8Variant* result, V8Variant*, long) {
    return Driver(self).Guarded(result, [] {});
}

bool GetLocalizationPattern(UserObject& self, V8Variant* result, V8Variant* params, long count) {
    CommonDriver& driver = Driver(self);
    return driver.Guarded(result, [&] {
        pugi::xml_document pattern;
        xml::InitDocument(pattern);
        SetOutText(driver, Param(params, count, 0), xml::ToText(pattern));
    });
}

bool SetLocalization(UserObject& self, V8Variant* result, V8Variant*, long) {
    return Driver(self).Guarded(result, [] {});
}

// Modal: returns when the user closes the viewer.
void ViewLog(UserObject&) {
    const std::string folder = log::GetLogPath(false);
    const platform::WindowProgram::Result closed =
        platform::SharedWindowProgram().Request(window_protocol::LogViewerShow{folder});
    if (!closed.Ok())
        throw std::runtime_error("Окно просмотра лога не открылось: " + closed.Message);
}

void ShowHelp(UserObject&) {
    help::ShowHelp("help", "Справка");
}

constexpr std::array kMethods{
    addin::ExportMeth{u"GetInterfaceRevision", u"ПолучитьРевизиюИнтерфейса", 0, &GetInterfaceRevision},
    addin::ExportMeth{u"GetDescription", u"ПолучитьОписание", 1, &GetDescription},
    addin::ExportMeth{u"GetLastError", u"ПолучитьОшибку", 1, &GetLastError},
    addin::ExportMeth{u"ConnectEquipment", u"ПодключитьОборудование", 3, &ConnectEquipment},
    addin::ExportMeth{u"DisconnectEquipment", u"ОтключитьОборудование", 1, &DisconnectEquipment},
    addin::ExportMeth{u"EquipmentParameters", u"ПараметрыОборудования", 2, &EquipmentParameters},
    addin::ExportMeth{u"SetParameter", u"УстановитьПараметр", 2, &SetParameter},
    addin::ExportMeth{u"EquipmentTest", u"ТестированиеОборудования", 4, &EquipmentTest},
    addin::ExportMeth{u"GetAdditionalActions", u"ПолучитьДополнительныеДействия", 1, &GetAdditionalActions},
    addin::ExportMeth{u"DoAdditionalAction", u"ВыполнитьДополнительноеДействие", 1, &DoAdditionalAction},
    addin::ExportMeth{u"EquipmentAutoSetup", u"АвтонастройкаОборудования", 5, &EquipmentAutoSetup},
    addin::ExportMeth{u"SetApplicationInformation", u"УстановитьИнформациюПриложения", 1,
                      &SetApplicationInformation},
    addin::ExportMeth{u"GetLocalizationPattern", u"ПолучитьШаблонЛокализации", 1, &GetLocalizationPattern},
    addin::ExportMeth{u"SetLocalization", u"УстановитьЛокализацию", 2, &SetLocalization},
};

// The log switch: on means every line is written.
constexpr std::array kProperties{
    addin::PropertyDecl{"LogEnabled", "ЛогВключен", "Вести лог", "False", false, addin::PropKind::Boolean,
                        [](const void*) -> addin::PropValue { return log::IsLogSwitchedOn(); },
                        [](void*, const addin::PropValue& value) {
                            const bool* on = std::get_if<bool>(&value);
                            log::SetLogMode(on != nullptr && *on ? log::ModeAll : log::ModeOff);
                        }},
};

constexpr std::array kActions{
    addin::AdditionalAction{"ViewLog", "Просмотр лога", &ViewLog},
    addin::AdditionalAction{"ShowHelp", "Справка", &ShowHelp},
};

constexpr std::array<std::string_view, 15> kEquipmentTypeNames{
    "СканерШтрихкода",      "СчитывательМагнитныхКарт", "ФискальныйРегистратор",
    "ПринтерЧеков",         "ПринтерЭтикеток",          "ДисплейПокупателя",
    "ТерминалСбораДанных",  "ЭквайринговыйТерминал",    "ЭлектронныеВесы",
    "ВесыСПечатьюЭтикеток", "СчитывательRFID",          "ККТ",
    "Видеокамера",          "ЭлектронныйЗамок",         "НеизвестныйТипОборудования",
};

std::string_view TypeValueOf(addin::PropKind kind) {
    switch (kind) {
    case addin::PropKind::Integer:
    case addin::PropKind::Int64:
    case addin::PropKind::Float:
        return "Number";
    case addin::PropKind::Text:
        return "String";
    case addin::PropKind::Boolean:
        return "Boolean";
    case addin::PropKind::Other:
        break;
    }
    return "Unknown";
}

} // namespace

constinit const addin::ClassDeclarations CommonDriver::Decls{nullptr, kMethods, kProperties, kActions};

[[noreturn]] void ThrowAbstractError() {
    throw std::runtime_error("Abstract Error");
}

std::string_view EquipmentTypeName(EquipmentKind type) {
    const auto index = static_cast<std::size_t>(type);
    if (index >= kEquipmentTypeNames.size())
        throw std::runtime_error("Enum value unacceptable");
    return kEquipmentTypeNames[index];
}

DriverDescription& DriverInfo() {
    static DriverDescription info;
    return info;
}

void RegisterDriver(addin::UserClassFactory factory, const addin::ClassDeclarations& declarations,
                    std::u16string extension, std::string name, std::string description,
                    UpdateDriverInfoFn updateDriverInfo) {
    const std::string extensionName = text::Utf16ToUtf8(extension);
    addin::RegisterClass(factory, declarations, std::move(extension));
    DriverDescription& info = DriverInfo();
    info.Name = std::move(name);
    info.Description = std::move(description);
    updateDriverInfo(info);
    log::SetLogFileName(extensionName);
}

std::string BuildPropertySettingsXml(const addin::ClassDeclarations& declarations) {
    pugi::xml_document doc;
    xml::InitDocument(doc);
    pugi::xml_node page = doc.append_child("Settings").append_child("Page");
    page.append_attribute("Caption") = "Параметры";
    addin::ForEachClass(declarations, [&](const addin::ClassDeclarations& level) {
        for (const addin::PropertyDecl& property : level.properties) {
            pugi::xml_node parameter = page.append_child("Parameter");
            parameter.append_attribute("Name") = std::string(property.name).c_str();
            parameter.append_attribute("Caption") = std::string(property.caption).c_str();
            parameter.append_attribute("TypeValue") = std::string(TypeValueOf(property.kind)).c_str();
            parameter.append_attribute("DefaultValue") = std::string(property.defValue).c_str();
            parameter.append_attribute("ReadOnly") = xml::BoolText(property.readOnly);
        }
    });
    return xml::ToText(doc);
}

void CommonDriver::UpdateDriverInfo(DriverDescription& info) {
    info.EquipmentType = EquipmentKind::etUnknown;
    info.IntegrationComponent = false;
    info.MainDriverInstalled = false;
    info.LogIsEnabled = false;
    info.DownloadURL = kDownloadURL;
    info.DriverVersion = ModuleVersionText();
    info.IntegrationComponentVersion = info.DriverVersion;
}

void CommonDriver::ConnectEquipment(const pugi::xml_document&) {
    SetDeviceId(NewGuidText());
}

void CommonDriver::DisconnectEquipment(const std::string&) {
    SetDeviceId({});
}

void CommonDriver::SelectInstance(const std::string&) {
    ThrowAbstractError();
}

std::int32_t CommonDriver::InterfaceRevision() const {
    ThrowAbstractError();
}

void CommonDriver::EquipmentTest(const pugi::xml_document& settings, std::string& description, std::string&) {
    try {
        try {
            ConnectEquipment(settings);
            description = DriverInfo().Description;
        } catch (...) {
            DisconnectEquipment(DeviceId());
            throw;
        }
        DisconnectEquipment(DeviceId());
    } catch (const std::exception& error) {
        description = error.what();
        throw;
    }
}

std::string CommonDriver::BuildSettingsXml() {
    const auto schema = resources::Find("Parameters");
    if (!schema)
        return BuildPropertySettingsXml(Declarations());
    pugi::xml_document doc;
    xml::Parse(doc, *schema);
    return xml::ToText(doc);
}

std::string CommonDriver::BuildDescriptionXml() {
    const DriverDescription& info = DriverInfo();
    pugi::xml_document doc;
    xml::InitDocument(doc);
    pugi::xml_node description = doc.append_child("DriverDescription");
    description.append_attribute("Name") = info.Name.c_str();
    description.append_attribute("Description") = info.Description.c_str();
    description.append_attribute("EquipmentType") =
        std::string(EquipmentTypeName(info.EquipmentType)).c_str();
    description.append_attribute("IntegrationComponent") = xml::BoolText(info.IntegrationComponent);
    description.append_attribute("MainDriverInstalled") = xml::BoolText(info.MainDriverInstalled);
    description.append_attribute("DriverVersion") = info.DriverVersion.c_str();
    description.append_attribute("IntegrationComponentVersion") = info.IntegrationComponentVersion.c_str();
    description.append_attribute("DownloadURL") = info.DownloadURL.c_str();
    description.append_attribute("LogIsEnabled") = xml::BoolText(log::IsLogSwitchedOn());
    description.append_attribute("LogPath") = log::GetLogPath(false).c_str();
    return xml::ToText(doc);
}

std::string CommonDriver::BuildActionsXml() {
    pugi::xml_document doc;
    xml::InitDocument(doc);
    pugi::xml_node actions = doc.append_child("Actions");
    addin::ForEachClass(Declarations(), [&](const addin::ClassDeclarations& level) {
        for (const addin::AdditionalAction& action : level.actions) {
            pugi::xml_node entry = actions.append_child("Action");
            entry.append_attribute("Name") = std::string(action.name).c_str();
            entry.append_attribute("Caption") = std::string(action.caption).c_str();
        }
    });
    return xml::ToText(doc);
}

void CommonDriver::RunAdditionalAction(std::string_view name) {
    bool ran = false;
    addin::ForEachClass(Declarations(), [&](const addin::ClassDeclarations& level) {
        for (const addin::AdditionalAction& action : level.actions) {
            if (action.name == name) {
                action.run(*this);
                ran = true;
            }
        }
    });
    if (!ran)
        throw std::runtime_error("Action not found");
}

} // namespace veltrano::driver
