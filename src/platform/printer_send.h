// How a document goes to a printer that may report its state while it takes the data (a USB or parallel
// printer): the device may take the bytes in pieces, and its status byte (the IEEE 1284 lines, as the Linux
// lp and usblp drivers report them) may stop the send with an equipment error.
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace veltrano::platform {

struct PrinterState {
    int Code = 0; // 0 ready; 1001, 1008 or 1009
    std::string Detail; // "Нет бумаги", "Принтер не подключен" where the code alone does not say it
};

// The printer class of USB has no busy line (its bit reads 0), so busy counts only for a parallel port.
PrinterState DecodePrinterStatus(int status, bool hasBusyLine);

class PrinterDevice {
public:
    static constexpr int disconnected = -1; // the status of a device that has gone away

    virtual ~PrinterDevice() = default;
    // The status byte or `disconnected`; none when the device does not answer the query (a file, a pipe).
    virtual std::optional<int> Status() = 0;
    virtual bool HasBusyLine() const = 0;
    // Waits at most `wait` for the device to take data and writes what it takes; the number of bytes written.
    // Throws PortError when the write fails.
    virtual std::size_t WriteSome(std::string_view bytes, std::chrono::milliseconds wait) = 0;
};

// Sends every byte or throws PortError: 1007 "Устройство не отвечает" when the device takes nothing for a
// second while its status stays the same, or the error of the first status that is not ready ("Устройство
// занято", "Оборудование не готово", "Неизвестная ошибка") once that status has not changed for a second.
void SendToPrinter(PrinterDevice& device, std::string_view bytes);

// The catalogue text of an equipment error code of a printer connection.
std::string PrinterErrorText(int code);

} // namespace veltrano::platform
