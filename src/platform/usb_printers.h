// The USB printers this machine has, as the kernel's printer-class driver shows them in sysfs.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace veltrano::platform {

struct UsbPrinter {
    std::string InterfacePath; // the device to open, for example /dev/usb/lp0
    std::string Location;      // the USB bus path, for example 1-2.4
    std::string Description;   // manufacturer and product as the printer names itself
    std::string SerialNumber;
    std::string HardwareId; // idVendor:idProduct, for example 0519:2013
    bool Enabled = false;   // neither the device nor its interface is deauthorised
};

// The printers under <sysfsRoot>/class/usbmisc/lp*, in the order of their numbers; none when the folder is
// missing (no printer-class driver loaded).
std::vector<UsbPrinter> ListUsbPrinters(const std::filesystem::path& sysfsRoot = "/sys");

} // namespace veltrano::platform
