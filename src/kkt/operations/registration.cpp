#include "kkt/operations/registration.h"

#include "common/moment.h"
#include "common/text.h"
#include "kkt/device_instance.h"
#include "kkt/frame/document_clock.h"
#include "kkt/frame/document_frame.h"
#include "kkt/frame/storage_numbers.h"
#include "kkt/operations/registration_codes.h"
#include "kkt/operations/registration_parameters.h"
#include "output/output_device.h"

#include <stdexcept>
#include <string>
#include <string_view>

namespace veltrano::kkt {
namespace {

constexpr int FNLifeRegistered = 1;
constexpr int FNLifeClosed = 2;

// The signs a registration document lists, in printing order, each only when set.
struct RegistrationSign {
    std::string_view Field;
    std::string_view Line;
};

constexpr RegistrationSign RegistrationSigns[] = {
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
struct StoredAttribute {
    const char* Attribute;
    std::string_view Field;
};

constexpr StoredAttribute IdentityAttributes[] = {
    {"KKTNumber", "KKTNumber"},
    {"KKTSerialNumber", "KKTSerialNumber"},
    {"FNSerialNumber", "FNSerialNumber"},
    {"DocumentNumber", "RegDocumentNumber"},
};

constexpr StoredAttribute RegistrationAttributes[] = {
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

bool StoredFlag(const FiscalStorage& storage, std::string_view field) {
    return text::EqualsNoCase(storage.Value(field), "true");
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

void StoreRegistration(FiscalStorage& storage, const FiscalParameters& read) {
    storage.SetValue("KKTNumber", read.KKTNumber);
    storage.SetValue("OrganizationName", read.CompanyName);
    storage.SetValue("AddressSettle", read.SaleAddress);
    storage.SetValue("PlaceSettle", read.SaleLocation);
    storage.SetValue("TaxVariant", read.TaxationSystems);
    storage.SetValue("OFDOrganizationName", read.OFDCompany);
    storage.SetValue("OFDVATIN", read.OFDCompanyINN);
    storage.SetValue("SenderEmail", read.SenderEmail);
    storage.SetValue("FNSWebSite", read.FNSURL);
    storage.SetValue("OfflineMode", read.IsOffline);
    storage.SetValue("DataEncryption", read.IsEncrypted);
    storage.SetValue("ServiceSign", read.IsService);
    storage.SetValue("SaleExcisableGoods", read.IsExcisable);
    storage.SetValue("SignOfGambling", read.IsGambling);
    storage.SetValue("SignOfLottery", read.IsLottery);
    storage.SetValue("SignOfAgent", read.AgentTypes);
    storage.SetValue("BSOSing", read.BSOSing);
    storage.SetValue("CalcOnlineSign", read.IsOnlineOnly);
    storage.SetValue("PrinterAutomatic", read.IsAutomaticPrinter);
    storage.SetValue("AutomaticMode", read.IsAutomatic);
    storage.SetValue("AutomaticNumber", read.AutomaticNumber);
}

void Register(DeviceInstance& instance, std::uint8_t operationType, const FiscalParameters& read) {
    output::OutputDevice& device = instance.Device();
    FiscalStorage& storage = instance.Storage();
    device.PrintText(operationType == OperationRegistration ? "РЕГИСТРАЦИЯ" : "ПЕРЕРЕГИСТРАЦИЯ", "");
    storage.SetValue("RegDocumentNumber", ReadInteger(storage, "TotalFiscalDocCounter"));
    storage.SetValue("RegDateTime", DocumentMoment());
    StoreRegistration(storage, read);
    // A device set to a format version of its own registers with it; otherwise the storage keeps its version.
    if (instance.VersionFFD >= 1 && instance.VersionFFD <= 3)
        storage.SetValue("FFD", instance.VersionFFD);
    storage.SetValue("FNLifeState", FNLifeRegistered);

    device.PrintText("ОФД", storage.Value("OFDOrganizationName"));
    device.PrintText("ИНН ОФД", storage.Value("OFDVATIN"));
    for (const RegistrationSign& sign : RegistrationSigns)
        if (StoredFlag(storage, sign.Field))
            device.PrintText(sign.Line, "");
    PrintTaxationSystems(device, storage.Value("TaxVariant"));
    PrintAgentTypes(device, storage.Value("SignOfAgent"));
    device.PrintText("ФФД ККТ " + std::string(FFDVersionName(ReadInteger(storage, "FFD"))), "");
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

void OperationFN(DeviceInstance& instance, std::uint8_t operationType, const pugi::xml_document& parameters) {
    output::OutputDevice& device = instance.Device();
    FiscalStorage& storage = instance.Storage();
    device.ClearBuffer();
    const FiscalParameters read = ReadFiscalParameters(parameters);
    instance.SetCashier(read.CashierName, read.CashierINN);

    const FiscalStorage::Hold hold = storage.Load();
    if (ReadInteger(storage, "DayState") > 0)
        throw std::runtime_error("Смена открыта");
    IncreaseCounter(storage, "FiscalDocCounter");
    IncreaseCounter(storage, "TotalDocCounter");
    IncreaseCounter(storage, "TotalFiscalDocCounter");
    storage.SetValue("VATIN", read.INN);

    PrintHeader(instance, false);
    if (operationType == OperationRegistration || operationType == OperationReregistration) {
        Register(instance, operationType, read);
    } else if (operationType == OperationCloseFN) {
        device.PrintText("ЗАКРЫТИЕ ФН", "");
        storage.SetValue("FNLifeState", FNLifeClosed);
    }

    PrintSeparator(instance);
    FinishDocument(instance, DocumentKind(operationType));
    SaveFN(instance);
    PrintFinishedDocument(instance, instance.EnablePrinting);
}

void GetDataKKT(DeviceInstance& instance, pugi::xml_document& output) {
    FiscalStorage& storage = instance.Storage();
    const FiscalStorage::Hold hold = storage.Load();

    // Built apart and copied in whole, so a value that cannot be read leaves no half-filled table.
    pugi::xml_document built;
    pugi::xml_node parameters = built.append_child("Parameters");
    const auto set = [&parameters](const char* name, std::string_view value) {
        parameters.append_attribute(name).set_value(std::string(value).c_str());
    };
    const std::string_view version = FFDVersionName(ReadInteger(storage, "FFD"));
    set("FFDVersionFN", version);
    set("FFDVersionKKT", version);
    set("Fiscal", ReadInteger(storage, "FNLifeState") >= FNLifeRegistered ? "true" : "false");
    for (const StoredAttribute& stored : IdentityAttributes)
        set(stored.Attribute, storage.Value(stored.Field));
    set("DateTime", RegistrationDateTimeText(ReadInteger(storage, "RegDateTime")));
    for (const StoredAttribute& stored : RegistrationAttributes)
        set(stored.Attribute, storage.Value(stored.Field));
    output.append_copy(parameters);
}

} // namespace veltrano::kkt
