// The training cash register's driver class, the one the platform instantiates under the name "Veltrano".
#pragma once

#include "driver/cash_register_adapter.h"
#include "kkt/device_instance.h"
#include "output/usb_printer_list.h"

#include <pugixml.hpp>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace veltrano::kkt {

using driver::V8Variant;

class CashRegisterDriver : public driver::CashRegisterAdapter {
public:
    static const addin::ClassDeclarations Decls;
    const addin::ClassDeclarations& Declarations() const override { return Decls; }

    CashRegisterDriver();
    ~CashRegisterDriver() override;

    // The framework's schema with the present USB printers as the choices of USBPort.
    std::string BuildSettingsXml() override;

    // Device instances and connection.
    void ConnectEquipment(const pugi::xml_document& settings) override;
    void DisconnectEquipment(const std::string& deviceId) override;
    void SelectInstance(const std::string& deviceId) override;
    void EquipmentTest(const pugi::xml_document& settings, std::string& description,
                       std::string& secondText) override;
    // The current instance; fails with "Устройство не включено" when there is none.
    DeviceInstance& Instance() const;
    // Keeps the identifier for the next connection (and gives it to the current instance); an empty one means
    // none. An identifier that is no safe folder name is refused and changes nothing.
    void SetExternalDeviceId(std::string_view identifier);

    // Shifts, cash and reports.
    void OpenShift(const pugi::xml_document& input, pugi::xml_document& output) override;
    void CloseShift(const pugi::xml_document& input, pugi::xml_document& output) override;
    void CashInOutcome(const pugi::xml_document& input, Money amount) override;
    void GetCurrentStatus(const pugi::xml_document& input, pugi::xml_document& output) override;
    void PrintXReport(const pugi::xml_document& input) override;
    void ReportCurrentStatusOfSettlements(const pugi::xml_document& input,
                                          pugi::xml_document& output) override;

    // Receipts.
    void ProcessCheck(bool electronically, const pugi::xml_document& checkPackage, pugi::xml_document& output,
                      bool correction) override;

    // Correction receipts, text documents, storage operations and the KKT data.
    void ProcessCorrectionCheck(bool electronically, const pugi::xml_document& correctionPackage,
                                pugi::xml_document& output) override;
    void PrintTextDocument(const pugi::xml_document& documentPackage) override;
    void PrintCheckCopy(const std::string& checkNumber) override;
    void OperationFN(std::uint8_t operationType, const pugi::xml_document& parameters) override;
    void GetDataKKT(pugi::xml_document& output) override;

    // Marked goods: the session of marking code checks on the current instance.
    void OpenSessionRegistrationKM() override;
    void CloseSessionRegistrationKM() override;
    void RequestKM(const pugi::xml_document& input, pugi::xml_document& output) override;
    void GetProcessingKMResult(pugi::xml_document& output, std::int32_t& requestStatus) override;
    void ConfirmKM(const std::string& requestGuid, std::int32_t confirmationType) override;

    // Small operations on the current instance.
    void OpenCashDrawer() override;
    std::int64_t GetLineLength() override;
    void SetDateTime(const std::string& dateTime) override;
    std::string GetDateTime() override;

    using InstanceMap = std::map<std::string, std::unique_ptr<DeviceInstance>>;
    const InstanceMap& Instances() const { return instances_; }
    // The instance the current call works on; none before a call selected one.
    DeviceInstance* Current() const { return current_; }
    // The identifier the platform gave with SetExternalDeviceId; the next successful connection takes it.
    const std::string& PendingExternalDeviceId() const { return pendingExternalDeviceId_; }

private:
    void ApplySettings(DeviceInstance& instance, const pugi::xml_document& settings) const;

    InstanceMap instances_;
    DeviceInstance* current_ = nullptr;
    std::string pendingExternalDeviceId_;
};

// The equipment test's sample document in the instance's receipt buffer: font samples, the five graphic-text
// styles, three barcodes and a QR code.
void LayOutEquipmentTestDocument(DeviceInstance& instance);

// The external identifier as a folder name: trimmed; empty when there is none. Fails for a text that would
// leave the data folder or name no folder ("/", "\\", NUL, "." or "..").
std::string CheckedExternalDeviceId(std::string_view identifier);
// Korvena/Veltrano/X under the common application-data folder: the storage file and the logs of device X.
std::filesystem::path DeviceDataFolder(std::string_view externalDeviceId);

// Registers CashRegisterDriver under "Veltrano" while the module loads.
void RegisterTDriver();

// The choice list of USBPort: added to the first element whose Name is USBPort (letter case ignored, depth
// first in document order), one Item per enabled printer that is not a remote-desktop redirection.
void AddUsbPrinterChoices(pugi::xml_document& settings, const std::vector<output::UsbPrinterInfo>& printers);

} // namespace veltrano::kkt
