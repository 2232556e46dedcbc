// The methods every equipment driver of the 1C standard offers (revision 4004), the process-wide driver
// description and the driver registration.
#pragma once

#include "addin/class_registry.h"
#include "driver/driver_base.h"

#include <pugixml.hpp>

#include <cstdint>
#include <exception>
#include <stdexcept>
#include <string>
#include <string_view>

namespace veltrano::driver {

enum class EquipmentKind : std::uint8_t {
    etScanner,
    etMCR,
    etFR,
    etReceiptPrinter,
    etLabelPrinter,
    etCustomerDisplay,
    etDataCollectionTerminal,
    etAcquiringTerminal,
    etScale,
    etPrintingScale,
    etRFIDReader,
    etECR,
    etVideocamera,
    etElectronicLock,
    etUnknown,
};

// The name the description carries ("ККТ" for etECR); any other value fails with "Enum value unacceptable".
std::string_view EquipmentTypeName(EquipmentKind type);

struct DriverDescription {
    std::string Name;
    std::string Description;
    EquipmentKind EquipmentType = EquipmentKind::etUnknown;
    bool IntegrationComponent = false;
    bool MainDriverInstalled = false;
    std::string DriverVersion;
    std::string IntegrationComponentVersion;
    std::string DownloadURL;
    bool LogIsEnabled = false;
    std::string LogPath;
};

// The one description record of the process.
DriverDescription& DriverInfo();

// The maker's web address that the description gives.
inline constexpr std::string_view kDownloadURL = "https://korvena.example/veltrano";

using UpdateDriverInfoFn = void (*)(DriverDescription& info);

// Registers a driver class under its extension name (the class tables, the log's file name) and fills the
// description record with the name, the description and the class's UpdateDriverInfo.
void RegisterDriver(addin::UserClassFactory factory, const addin::ClassDeclarations& declarations,
                    std::u16string extension, std::string name, std::string description,
                    UpdateDriverInfoFn updateDriverInfo);

// The settings schema of a driver without an embedded one: one page with a parameter per exported property.
std::string BuildPropertySettingsXml(const addin::ClassDeclarations& declarations);

class CommonDriver : public DriverBase {
public:
    static const addin::ClassDeclarations Decls;
    const addin::ClassDeclarations& Declarations() const override { return Decls; }

    // Clears the record and fills the version, the address and the flags; drivers of a kind add their type.
    static void UpdateDriverInfo(DriverDescription& info);

    // Generates a new device identifier.
    virtual void ConnectEquipment(const pugi::xml_document& settings);
    // Forgets the device identifier.
    virtual void DisconnectEquipment(const std::string& deviceId);
    // Makes a device instance current; drivers with instances implement it.
    virtual void SelectInstance(const std::string& deviceId);
    // The revision number of the framework's own revision method; drivers that have one implement it.
    virtual std::int32_t InterfaceRevision() const;
    // Connects with the settings, gives the driver's description and disconnects, also when connecting
    // failed.
    virtual void EquipmentTest(const pugi::xml_document& settings, std::string& description,
                               std::string& secondText);

    virtual std::string BuildSettingsXml();
    virtual std::string BuildDescriptionXml();
    virtual std::string BuildActionsXml();
    // Runs every additional action of the given name (letter case matters); fails when none ran.
    virtual void RunAdditionalAction(std::string_view name);

    // Runs the steps of a host method under its guard: success is recorded, any failure becomes the last
    // error with code 1001. The host call itself always succeeds.
    template <typename Steps> bool Guarded(V8Variant* result, Steps&& steps) {
        try {
            steps();
            ReportSuccess(result);
        } catch (const std::exception& error) {
            ReportFailure(error, result, 1001);
        } catch (...) {
            ReportFailure(std::runtime_error("Неизвестная ошибка"), result, 1001);
        }
        return true;
    }
};

// "Abstract Error": an operation this driver class does not implement.
[[noreturn]] void ThrowAbstractError();

} // namespace veltrano::driver
