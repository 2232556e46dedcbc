// The USB printers present on this machine, for the settings form's choice of USBPort.
#pragma once

#include <string>
#include <vector>

namespace veltrano::output {

struct UsbPrinterInfo {
    std::string interfacename; // device interface path, the value USBPort takes
    std::string devicename;    // location information
    std::string description;   // device description
    bool isenabled = false;
    std::string hardwareid;
};

class UsbPrinterList {
public:
    // Reads the printers anew from the kernel's printer-class devices; a machine without that driver has
    // none. True: the list is always complete.
    bool Refresh();
    const std::vector<UsbPrinterInfo>& Items() const { return items_; }

private:
    std::vector<UsbPrinterInfo> items_;
};

} // namespace veltrano::output
