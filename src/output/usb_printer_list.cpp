#include "output/usb_printer_list.h"

#include "platform/usb_printers.h"

namespace veltrano::output {

bool UsbPrinterList::Refresh() {
    items_.clear();
    for (const platform::UsbPrinter& printer : platform::ListUsbPrinters())
        items_.push_back({printer.InterfacePath, printer.Location, printer.Description, printer.Enabled,
                          printer.HardwareId});
    return true;
}

} // namespace veltrano::output
