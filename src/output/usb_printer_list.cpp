#include "output/usb_printer_list.h"

namespace veltrano::output {

bool UsbPrinterList::Refresh() {
    // No USB printer enumeration exists on this platform yet, so no printer is ever present.
    items_.clear();
    return true;
}

} // namespace veltrano::output
