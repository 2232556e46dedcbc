// The byte pipes to a receipt printer: a TCP socket (raw printing), a serial port or a USB printer device.
// A link only sends; nothing is read back. It is opened for one document and closed again.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

namespace veltrano::platform {

// A printer that cannot be reached or does not take the data. The message is the text for the user; the code
// is the equipment error code; the detail, when not empty, says more (the system's text, "Нет бумаги").
class PortError : public std::runtime_error {
public:
    PortError(int code, const std::string& message, std::string detail = {});
    int Code() const noexcept { return code_; }
    const std::string& Detail() const noexcept { return detail_; }

private:
    int code_;
    std::string detail_;
};

class PrinterLink {
public:
    virtual ~PrinterLink() = default;

    // Reaches the printer; throws PortError. Opening an open link does nothing.
    virtual void Open() = 0;
    // Sends every byte or throws PortError; opens the link first when it is closed.
    virtual void Write(std::string_view bytes) = 0;
    // Lets the printer go; never throws. Closing a closed link does nothing.
    virtual void Close() noexcept = 0;
};

// A network printer at a dotted IPv4 address (spaces around it allowed, no host names) and a TCP port.
// Connecting waits at most 5 seconds. A write returns once the printer has acknowledged every byte and fails
// when the printer takes no byte for 5 seconds.
std::unique_ptr<PrinterLink> CreateTcpLink(std::string address, std::int64_t port);

struct SerialSettings {
    std::int64_t Port = 1; // COM1 .. COM128
    std::int64_t BaudRate = 115200;
    std::int64_t DataBits = 8; // 7 or 8
    std::int64_t StopBits = 0; // 0 one, 1 one and a half (two on this system), 2 two
    std::int64_t Parity = 0;   // 0 none, 1 odd, 2 even, 3 mark, 4 space
};

// The device of COM port n: the symbolic link `Korvena/Veltrano/COM<n>` in the data folder when there is one
// (so a USB adapter such as /dev/ttyUSB0 can stand in for a COM port), otherwise /dev/ttyS<n-1>.
std::filesystem::path SerialDevicePath(const std::filesystem::path& dataFolder, std::int64_t port);

// A printer on a serial port, raw 8-bit, no flow control. A baud rate other than 110, 300, 600, 1200, 2400,
// 4800, 9600, 14400, 19200, 38400, 56000, 57600 or 115200 runs at 9600. A write may take 100 ms plus 50 ms
// per byte until the last byte has left the port.
std::unique_ptr<PrinterLink> CreateSerialLink(const std::filesystem::path& dataFolder,
                                              SerialSettings settings);

// A USB printer-class device such as /dev/usb/lp0, or any path that takes writes. A write waits up to one
// second for the printer to take more data, longer while it keeps taking some or its status keeps changing.
std::unique_ptr<PrinterLink> CreateUsbLink(std::string devicePath);

} // namespace veltrano::platform
