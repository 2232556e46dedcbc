#include "kkt/print_document.h"

#include "kkt/device_instance.h"
#include "output/printer_port.h"

namespace veltrano::kkt {

// The cut flag and the ESC/POS bytes arrive with the printer transports. Until then no port of this build
// opens (output/printer_port.h), so a document meant for a real printer fails here instead of looking
// printed.
void PrintDocument(DeviceInstance& instance, bool) {
    output::IPrinterPort* port = instance.PrinterPort();
    if (port == nullptr)
        return;
    port->Open();
    port->Close();
}

} // namespace veltrano::kkt
