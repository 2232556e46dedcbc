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
    // Reads the printers anew; false when the system's list cannot be read.
    bool Refresh();
    const std::vector<UsbPrinterInfo>& Items() const { return items_; }

private:
    std::vector<UsbPrinterInfo> items_;
};

} // namespace veltrano::output
