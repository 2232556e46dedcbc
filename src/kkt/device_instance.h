// One connected emulated cash register: its settings as the host passed them, its fiscal storage file, its
// output device, its decoded ESC codes, its printer connection and the current cashier.
#pragma once

#include "addin/user_object.h"
#include "kkt/operations/marking_requests.h"
#include "kkt/storage/fiscal_storage.h"
#include "kkt/vocab/tax_values.h"
#include "output/esc_codes.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <utility>

namespace veltrano::output {
class OutputDevice;
class IPrinterPort;
} // namespace veltrano::output

namespace veltrano::kkt {

// The settings of one device, named as in the settings schema. One the host does not pass keeps its initial
// value: 0, empty text or false.
struct DeviceSettings {
    std::int64_t InterfaceType = 0;
    std::string USBPort;
    std::int64_t COMPort = 0, BaudRate = 0, DataBits = 0, StopBits = 0, Parity = 0;
    std::string IPAddress;
    std::int64_t IPPort = 0;
    std::int64_t PrinterCodePage = 0;
    std::int64_t BarcodeHeight = 0, BarcodeSize = 0, QRSize = 0;
    std::string ESCInit, ESCRus, ESCRusList, ESCCut, ESCCutList, ESCBeep, ESCSpeaker;
    std::string ESCFntBoldOn, ESCFntBoldOff, ESCFntItalicOn, ESCFntItalicOff, ESCFntUnderlineOn,
        ESCFntUnderlineOff;
    std::string ESCFntInvertOn, ESCFntInvertOff, ESCFont1On, ESCFont1Off, ESCFont2On, ESCFont2Off, ESCFont3On,
        ESCFont3Off, ESCCustomFontOn, ESCCustomFontOff;
    std::string Pay[8]; // Pay1 .. Pay8
    std::int64_t LineLength = 0;
    std::string PrintOutFilePath;
    std::int64_t ShowReceiptForm = 0;
    std::int64_t VersionFFD = 0;
    std::int64_t FeedLineCount = 0;
    std::string CutString;
    std::int64_t RibbonWidth = 0;
    std::string ChequeHeader;
    bool PrintFiscalSigns = false;
    std::int64_t EACSize = 0, EACAlignment = 0;
    bool BarcodeAsPicture = false;
    std::uint8_t EnablePrinting = 0;
    std::uint8_t EnableReportPrinting = 0;
    struct GraphicTextFont {
        std::string FontName;
        std::int64_t FontSize = 0;
        bool IsBold = false, IsItalic = false, IsStrikeout = false, IsUnderline = false;
    };
    GraphicTextFont GT[5]; // GTFontName1 .. GTIsUnderline5
    bool SingleCommand = false, ReceiptTextAvailable = false;
    bool LogEnabled = false;
};

// The cashier of the documents that follow, as the last document named them.
struct Cashier {
    std::string Name;
    std::string INN;
};

class DeviceInstance : public DeviceSettings {
public:
    DeviceInstance();
    ~DeviceInstance();
    DeviceInstance(const DeviceInstance&) = delete;
    DeviceInstance& operator=(const DeviceInstance&) = delete;

    // The writable settings in declaration order; ApplySetting writes them.
    static std::span<const addin::PropertyDecl> Settings();

    // What a connection makes from the applied settings: the storage file and the output device (both present
    // from then on), and the printer connection (none for the virtual device).
    void Attach(std::unique_ptr<FiscalStorage> storage, std::unique_ptr<output::OutputDevice> device);
    void SetPrinterPort(std::unique_ptr<output::IPrinterPort> port);

    // Each fails with "Устройство не включено" before the instance is attached.
    FiscalStorage& Storage() const;
    output::OutputDevice& Device() const;
    output::IPrinterPort* PrinterPort() const { return printerPort_.get(); }

    struct TextStyle {
        std::string FontName;
        int FontSize = 0;
        std::string FontStyle; // "bold ", "italic ", "strikeout ", "underline" as switched on, in this order
    };
    // Graphic-text style n (1..5) from the GT…n settings; fails for any other number.
    TextStyle GraphicTextStyle(int n) const;

    // The VAT rates this instance accepts.
    kkt::TaxValues& VatRates() { return vatRates_; }
    const kkt::TaxValues& VatRates() const { return vatRates_; }
    // Decoded once at connection.
    output::EscCodes& EscCodes() { return escCodes_; }
    const output::EscCodes& EscCodes() const { return escCodes_; }
    // CutString in upper case: a line holding it prints as a cut.
    const std::string& CutMarker() const { return cutMarker_; }
    void SetCutMarker(std::string marker) { cutMarker_ = std::move(marker); }
    // The folder name this instance keeps its storage and logs under; empty for the shared one.
    const std::string& ExternalDeviceId() const { return externalDeviceId_; }
    void SetExternalDeviceId(std::string identifier) { externalDeviceId_ = std::move(identifier); }
    // The marking codes this instance checked; kept in memory only, as a session lives within a connection.
    MarkingSession& Marking() { return marking_; }
    const MarkingSession& Marking() const { return marking_; }
    const kkt::Cashier& CurrentCashier() const { return cashier_; }
    void SetCashier(std::string name, std::string inn) { cashier_ = {std::move(name), std::move(inn)}; }

private:
    std::unique_ptr<FiscalStorage> storage_;
    std::unique_ptr<output::OutputDevice> device_;
    std::unique_ptr<output::IPrinterPort> printerPort_;
    kkt::TaxValues vatRates_;
    output::EscCodes escCodes_;
    std::string cutMarker_;
    std::string externalDeviceId_;
    kkt::Cashier cashier_;
    MarkingSession marking_;
};

} // namespace veltrano::kkt
