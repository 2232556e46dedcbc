// The printer connection of a device instance: how to reach the printer (USB, COM or LAN), made at
// connection and opened only for the moment a document is sent.
#pragma once

#include <cstdint>
#include <filesystem>
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

class IPrinterPort {
public:
    virtual ~IPrinterPort() = default;

    // Throws platform::PortError (an equipment error code and the message for the user) when the printer
    // cannot be reached.
    virtual void Open() = 0;
    // Sends the bytes in one write; throws platform::PortError when they do not all go out.
    virtual void Write(std::string_view bytes) = 0;
    virtual void Close() noexcept = 0;

    virtual const PrinterPortSettings& Settings() const = 0;
};

// The connection for the settings: a USB printer device, a serial port (the data folder may map COM n to a
// device with a link Korvena/Veltrano/COM<n>) or raw TCP. Nothing is opened here.
std::unique_ptr<IPrinterPort> CreatePrinterPort(PrinterPortSettings settings,
                                                const std::filesystem::path& dataFolder);

} // namespace veltrano::output
