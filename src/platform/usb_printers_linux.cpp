#include "platform/usb_printers.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <system_error>
#include <utility>

namespace fs = std::filesystem;

namespace veltrano::platform {
namespace {

// The first line of a sysfs attribute, empty when the attribute is missing.
std::string Attribute(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\r'))
        line.pop_back();
    return line;
}

// The number of a printer node "lp<number>"; -1 for any other usbmisc node (hiddev, ...).
long PrinterNumber(std::string_view name) {
    if (!name.starts_with("lp"))
        return -1;
    long number = -1;
    const auto [end, error] = std::from_chars(name.data() + 2, name.data() + name.size(), number);
    return error == std::errc{} && end == name.data() + name.size() ? number : -1;
}

std::string JoinWords(std::string first, const std::string& second) {
    if (!first.empty() && !second.empty())
        first += ' ';
    return first + second;
}

UsbPrinter Describe(const fs::path& node) {
    UsbPrinter printer;
    printer.InterfacePath = "/dev/usb/" + node.filename().string(); // where the printer-class driver puts it
    printer.Enabled = true;
    // Up from the printer node through the USB interface to the USB device, the first folder with idVendor.
    std::error_code error;
    for (fs::path folder = fs::canonical(node, error).parent_path(); !error && folder.has_relative_path();
         folder = folder.parent_path()) {
        if (Attribute(folder / "authorized") == "0")
            printer.Enabled = false;
        const std::string vendor = Attribute(folder / "idVendor");
        if (vendor.empty())
            continue;
        printer.Location = folder.filename().string();
        printer.Description = JoinWords(Attribute(folder / "manufacturer"), Attribute(folder / "product"));
        printer.SerialNumber = Attribute(folder / "serial");
        printer.HardwareId = vendor + ":" + Attribute(folder / "idProduct");
        break;
    }
    return printer;
}

} // namespace

std::vector<UsbPrinter> ListUsbPrinters(const fs::path& sysfsRoot) {
    std::vector<std::pair<long, fs::path>> nodes;
    std::error_code error;
    for (fs::directory_iterator entry(sysfsRoot / "class" / "usbmisc", error), end; !error && entry != end;
         entry.increment(error)) {
        if (const long number = PrinterNumber(entry->path().filename().native()); number >= 0)
            nodes.emplace_back(number, entry->path());
    }
    std::sort(nodes.begin(), nodes.end());
    std::vector<UsbPrinter> printers;
    for (const auto& [number, node] : nodes)
        printers.push_back(Describe(node));
    return printers;
}

} // namespace veltrano::platform
