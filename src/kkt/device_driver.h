// One connected emulated cash register: its settings as the host passed them, its output device with the
// fiscal storage, its decoded ESC codes, its printer connection and the current cashier.
#pragma once

#include "addin/user_object.h"
#include "kkt/vocab/tax_values.h"
#include "output/esc_codes.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace veltrano::output {
class TDevice;
class IPrinterPort;
} // namespace veltrano::output

namespace veltrano::kkt {

class TDeviceDriver {
public:
    TDeviceDriver();
    ~TDeviceDriver();
    TDeviceDriver(const TDeviceDriver&) = delete;
    TDeviceDriver& operator=(const TDeviceDriver&) = delete;

    // The writable settings, named as in the settings schema, in declaration order; ApplySetting writes them.
    static std::span<const addin::PropertyDecl> Settings();

    // The output device; fails with "Устройство не включено" when there is none.
    output::TDevice& Device() const;

    struct TGraphicTextStyle {
        std::string FontName;
        int FontSize = 0;
        std::string FontStyle; // "bold ", "italic ", "strikeout ", "underline" as switched on, in this order
    };
    // Graphic-text style n (1..5) from the GT…n settings; fails for any other number.
    TGraphicTextStyle GraphicTextStyle(int n) const;

    // Settings. One the host does not pass keeps its initial value: 0, empty text or false.
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

    // Connection state.
    std::unique_ptr<output::TDevice> FDevice;
    std::unique_ptr<output::IPrinterPort> FPortManager; // none for the virtual device
    TTaxValues FTaxValues;
    output::TESCCodes FESCCodes;
    std::string FCutMarker;
    std::string FExternalDeviceId;
    std::string FCashierName;
    std::string FCashierINN;
};

} // namespace veltrano::kkt
