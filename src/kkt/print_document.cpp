#include "kkt/print_document.h"

#include "driver/errors.h"
#include "kkt/device_instance.h"
#include "log/log.h"
#include "output/escpos/document_stream.h"
#include "output/output_device.h"
#include "output/printer_port.h"
#include "platform/printer_link.h"

#include <string>

namespace veltrano::kkt {
namespace {

output::PrintSettings PrintSettingsOf(const DeviceInstance& instance) {
    const output::OutputDevice& device = instance.Device();
    output::PrintSettings settings;
    settings.Codes = instance.EscCodes();
    settings.PrinterCodePage = static_cast<int>(instance.PrinterCodePage);
    settings.BarcodeAsPicture = instance.BarcodeAsPicture;
    settings.FeedLineCount = instance.FeedLineCount;
    settings.CutMarker = instance.CutMarker();
    for (int n = 1; n <= 5; ++n) {
        DeviceInstance::TextStyle style = instance.GraphicTextStyle(n);
        settings.GraphicText[static_cast<std::size_t>(n - 1)] = {std::move(style.FontName), style.FontSize,
                                                                 std::move(style.FontStyle)};
    }
    settings.Geometry = {device.RibbonWidth,   device.EACSize,     device.EACAlignment,
                         device.BarcodeHeight, device.BarcodeSize, device.QRSize};
    return settings;
}

} // namespace

void PrintDocument(DeviceInstance& instance, bool noCut) {
    output::IPrinterPort* port = instance.PrinterPort();
    if (port == nullptr)
        return;
    // The stream is complete before the printer is reached, so the connection is held only for the write.
    const std::string stream =
        output::EncodeDocument(instance.Device().ReceiptStrList(), PrintSettingsOf(instance), noCut);
    try {
        port->Open();
        if (!stream.empty())
            port->Write(stream);
    } catch (const platform::PortError& error) {
        port->Close();
        // The host gets the catalogue text; what the system said (the device, errno's text) goes to the log.
        log::WriteLog("PrintDocument", error.Detail().empty() ? error.what() : error.Detail(),
                      log::Level::Error);
        throw driver::EquException(error.Code(), error.what());
    } catch (...) {
        port->Close();
        throw;
    }
    port->Close();
}

} // namespace veltrano::kkt
