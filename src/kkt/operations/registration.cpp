#include "kkt/operations/registration.h"

#include "common/moment.h"
#include "common/text.h"
#include "kkt/device_driver.h"
#include "kkt/frame/document_clock.h"
#include "kkt/frame/document_frame.h"
#include "kkt/frame/storage_numbers.h"
#include "kkt/operations/registration_codes.h"
#include "kkt/operations/registration_parameters.h"
#include "output/device.h"

#include <stdexcept>
#include <string>
#include <string_view>

namespace veltrano::kkt {
namespace {

constexpr int FNLifeRegistered = 1;
constexpr int FNLifeClosed = 2;

// The signs a registration document lists, in printing order, each only when set.
struct TRegistrationSign {
    std::string_view Field;
    std::string_view Line;
};

constexpr TRegistrationSign RegistrationSigns[] = {
    {"OfflineMode", "АВТОНОМН. РЕЖИМ"},
    {"DataEncryption", "ШФР"},
    {"ServiceSign", "ККТ ДЛЯ УСЛУГ"},
    {"SaleExcisableGoods", "ПОДАКЦИЗНЫЕ ТОВАРЫ"},
    {"SignOfGambling", "ПРОВЕДЕНИЕ АЗАРТНОЙ ИГРЫ"},
    {"SignOfLottery", "ПРОВЕДЕНИЕ ЛОТЕРЕИ"},
    {"BSOSing", "АС БСО"},
    {"CalcOnlineSign", "ККТ ДЛЯ ИНТЕРНЕТ"},
    {"PrinterAutomatic", "ПРИНТЕР В АВТОМАТЕ"},
    {"AutomaticMode", "АВТОМАТ. РЕЖИМ"},
};

// KKT table attributes that are stored values, in table order, around the registration moment.
struct TStoredAttribute {
    const char* Attribute;
    std::string_view Field;
};

constexpr TStoredAttribute IdentityAttributes[] = {
    {"KKTNumber", "KKTNumber"},
    {"KKTSerialNumber", "KKTSerialNumber"},
    {"FNSerialNumber", "FNSerialNumber"},
    {"DocumentNumber", "RegDocumentNumber"},
};

constexpr TStoredAttribute RegistrationAttributes[] = {
    {"CompanyName", "OrganizationName"},
    {"INN", "VATIN"},
    {"SaleAddress", "AddressSettle"},
    {"SaleLocation", "PlaceSettle"},
    {"TaxationSystems", "TaxVariant"},
    {"IsEncrypted", "DataEncryption"},
    {"IsOffline", "OfflineMode"},
    {"IsAutomatic", "AutomaticMode"},
    {"IsService", "ServiceSign"},
    {"IsOnlineOnly", "CalcOnlineSign"},
    {"BSOSing", "BSOSing"},
    {"AgentTypes", "SignOfAgent"},
    {"IsLottery", "SignOfLottery"},
    {"IsGambling", "SignOfGambling"},
    {"IsExcisable", "SaleExcisableGoods"},
    {"AutomaticNumber", "AutomaticNumber"},
    {"IsAutomaticPrinter", "PrinterAutomatic"},
    {"OFDCompany", "OFDOrganizationName"},
    {"OFDCompanyINN", "OFDVATIN"},
    {"FNSURL", "FNSWebSite"},
    {"SenderEmail", "SenderEmail"},
};

bool StoredFlag(const output::TDevice& device, std::string_view field) {
    return text::EqualsNoCase(device.GetFNValue(field), "true");
}

// "dd.mm.yyyy hh:nn:ss", or the date alone at midnight.
std::string RegistrationDateTimeText(moment::Moment registered) {
    // A hand-edited moment beyond the four-digit years has no date to show.
    static const moment::Moment first = moment::ToMoment({1, 1, 1, 0, 0, 0, 0});
    static const moment::Moment last = moment::ToMoment({9999, 12, 31, 23, 59, 59, 0});
    if (registered < first || registered > last)
        throw std::runtime_error("Значение поля RegDateTime в ФН вне допустимого диапазона");
    const moment::DateTime dt = moment::FromMoment(registered);
    if (dt.hour == 0 && dt.minute == 0 && dt.second == 0)
        return moment::FormatDate(dt);
    return moment::FormatDateTime(dt);
}

void StoreRegistration(output::TDevice& device, const TFiscalParameters& read) {
    device.SetFNValue("KKTNumber", read.KKTNumber);
    device.SetFNValue("OrganizationName", read.CompanyName);
    device.SetFNValue("AddressSettle", read.SaleAddress);
    device.SetFNValue("PlaceSettle", read.SaleLocation);
    device.SetFNValue("TaxVariant", read.TaxationSystems);
    device.SetFNValue("OFDOrganizationName", read.OFDCompany);
    device.SetFNValue("OFDVATIN", read.OFDCompanyINN);
    device.SetFNValue("SenderEmail", read.SenderEmail);
    device.SetFNValue("FNSWebSite", read.FNSURL);
    device.SetFNValue("OfflineMode", read.IsOffline);
    device.SetFNValue("DataEncryption", read.IsEncrypted);
    device.SetFNValue("ServiceSign", read.IsService);
    device.SetFNValue("SaleExcisableGoods", read.IsExcisable);
    device.SetFNValue("SignOfGambling", read.IsGambling);
    device.SetFNValue("SignOfLottery", read.IsLottery);
    device.SetFNValue("SignOfAgent", read.AgentTypes);
    device.SetFNValue("BSOSing", read.BSOSing);
    device.SetFNValue("CalcOnlineSign", read.IsOnlineOnly);
    device.SetFNValue("PrinterAutomatic", read.IsAutomaticPrinter);
    device.SetFNValue("AutomaticMode", read.IsAutomatic);
    device.SetFNValue("AutomaticNumber", read.AutomaticNumber);
}

void Register(TDeviceDriver& instance, std::uint8_t operationType, const TFiscalParameters& read) {
    output::TDevice& device = instance.Device();
    device.PrintText(operationType == OperationRegistration ? "РЕГИСТРАЦИЯ" : "ПЕРЕРЕГИСТРАЦИЯ", "");
    device.SetFNValue("RegDocumentNumber", ReadInteger(device, "TotalFiscalDocCounter"));
    device.SetFNValue("RegDateTime", DocumentMoment());
    StoreRegistration(device, read);
    // A device set to a format version of its own registers with it; otherwise the storage keeps its version.
    if (instance.VersionFFD >= 1 && instance.VersionFFD <= 3)
        device.SetFNValue("FFD", instance.VersionFFD);
    device.SetFNValue("FNLifeState", FNLifeRegistered);

    device.PrintText("ОФД", device.GetFNValue("OFDOrganizationName"));
    device.PrintText("ИНН ОФД", device.GetFNValue("OFDVATIN"));
    for (const TRegistrationSign& sign : RegistrationSigns)
        if (StoredFlag(device, sign.Field))
            device.PrintText(sign.Line, "");
    PrintTaxationSystems(device, device.GetFNValue("TaxVariant"));
    PrintAgentTypes(device, device.GetFNValue("SignOfAgent"));
    device.PrintText("ФФД ККТ " + std::string(FFDVersionName(ReadInteger(device, "FFD"))), "");
    PrintFiscalSignLine(instance);
}

std::string_view DocumentKind(std::uint8_t operationType) {
    switch (operationType) {
    case OperationRegistration:
        return "Регистрация";
    case OperationReregistration:
        return "Перегистрация";
    default:
        return "Закрытие ФН";
    }
}

} // namespace

void OperationFN(TDeviceDriver& instance, std::uint8_t operationType, const pugi::xml_document& parameters) {
    output::TDevice& device = instance.Device();
    device.ClearBuffer();
    const TFiscalParameters read = ReadFiscalParameters(parameters);
    instance.FCashierName = read.CashierName;
    instance.FCashierINN = read.CashierINN;

    device.LoadDataFN();
    if (ReadInteger(device, "DayState") > 0)
        throw std::runtime_error("Смена открыта");
    IncreaseCounter(device, "FiscalDocCounter");
    IncreaseCounter(device, "TotalDocCounter");
    IncreaseCounter(device, "TotalFiscalDocCounter");
    device.SetFNValue("VATIN", read.INN);

    PrintHeader(instance, false);
    if (operationType == OperationRegistration || operationType == OperationReregistration) {
        Register(instance, operationType, read);
    } else if (operationType == OperationCloseFN) {
        device.PrintText("ЗАКРЫТИЕ ФН", "");
        device.SetFNValue("FNLifeState", FNLifeClosed);
    }

    PrintSeparator(instance);
    FinishDocument(instance, DocumentKind(operationType));
    SaveFN(instance);
    PrintFinishedDocument(instance, instance.EnablePrinting);
}

void GetDataKKT(TDeviceDriver& instance, pugi::xml_document& output) {
    output::TDevice& device = instance.Device();
    device.LoadDataFN();

    // Built apart and copied in whole, so a value that cannot be read leaves no half-filled table.
    pugi::xml_document built;
    pugi::xml_node parameters = built.append_child("Parameters");
    const auto set = [&parameters](const char* name, std::string_view value) {
        parameters.append_attribute(name).set_value(std::string(value).c_str());
    };
    const std::string_view version = FFDVersionName(ReadInteger(device, "FFD"));
    set("FFDVersionFN", version);
    set("FFDVersionKKT", version);
    set("Fiscal", ReadInteger(device, "FNLifeState") >= FNLifeRegistered ? "true" : "false");
    for (const TStoredAttribute& stored : IdentityAttributes)
        set(stored.Attribute, device.GetFNValue(stored.Field));
    set("DateTime", RegistrationDateTimeText(ReadInteger(device, "RegDateTime")));
    for (const TStoredAttribute& stored : RegistrationAttributes)
        set(stored.Attribute, device.GetFNValue(stored.Field));
    output.append_copy(parameters);
}

} // namespace veltrano::kkt
