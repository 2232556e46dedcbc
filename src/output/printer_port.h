// The printer connection of a device instance: how to reach the printer (USB, COM or LAN), made at
// connection and opened only for the moment a document is sent.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>

namespace veltrano::output {

struct UsbPortSettings {
    std::string Path; // the printer's interface path
};

struct ComPortSettings {
    std::int64_t Port = 1; // COM1 .. COM128
    std::int64_t BaudRate = 115200;
    std::int64_t DataBits = 8;
    std::int64_t StopBits = 0; // 0 one, 1 one and a half, 2 two
    std::int64_t Parity = 0;   // 0 none, 1 odd, 2 even
};

struct LanPortSettings {
    std::string Address;
    std::int64_t Port = 9100;
};

using PrinterPortSettings = std::variant<UsbPortSettings, ComPortSettings, LanPortSettings>;

// "USB", "COM" or "LAN".
std::string_view PortKindName(const PrinterPortSettings& settings);

class IPrinterPort {
public:
    virtual ~IPrinterPort() = default;

    // Throws when the printer cannot be reached.
    virtual void Open() = 0;
    // Sends the bytes in one write; throws when they do not all go out.
    virtual void Write(std::string_view bytes) = 0;
    virtual void Close() noexcept = 0;

    virtual const PrinterPortSettings& Settings() const = 0;
};

// The connection for the settings. This build carries no USB, COM or TCP transport: the port keeps its
// settings and refuses to open with a message that says so, so a document never looks printed when it was
// not.
std::unique_ptr<IPrinterPort> CreatePrinterPort(PrinterPortSettings settings);

} // namespace veltrano::output
