#include "platform/printer_send.h"

#include "platform/printer_link.h"

#include <algorithm>
#include <thread>

namespace veltrano::platform {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr int notBusy = 0x80;  // the busy line, inverted
constexpr int paperOut = 0x20; // paper end
constexpr int selected = 0x10; // the printer is on line
constexpr int noFault = 0x08;  // the fault line, inverted

// How long the printer may take no data while its status stays the same.
constexpr milliseconds writeTimeout{1000};
constexpr milliseconds statusPause{100};
constexpr int noStatus = 256; // no status byte reads so

} // namespace

PrinterState DecodePrinterStatus(int status, bool hasBusyLine) {
    if (status == PrinterDevice::disconnected)
        return {1001, "Принтер не подключен"};
    if (hasBusyLine && (status & notBusy) == 0)
        return {1009, {}};
    if ((status & selected) == 0)
        return {1008, {}};
    if ((status & paperOut) != 0)
        return {1001, "Нет бумаги"};
    // A fault with paper and on line: cover open, cutter jammed and the like.
    if ((status & noFault) == 0)
        return {1008, {}};
    return {};
}

std::string PrinterErrorText(int code) {
    switch (code) {
    case 1007:
        return "Устройство не отвечает";
    case 1008:
        return "Оборудование не готово";
    case 1009:
        return "Устройство занято";
    case 1011:
        return "Порт недоступен";
    default:
        return "Неизвестная ошибка";
    }
}

void SendToPrinter(PrinterDevice& device, std::string_view bytes) {
    auto deadline = Clock::now() + writeTimeout;
    PrinterState state;
    int lastStatus = noStatus;
    for (bool firstPass = true; !bytes.empty() && Clock::now() < deadline; firstPass = false) {
        if (!firstPass) {
            if (const std::optional<int> status = device.Status()) {
                if (*status != lastStatus) {
                    deadline = Clock::now() + writeTimeout;
                    lastStatus = *status;
                }
                // The first complaint decides the outcome even when the printer recovers within the call.
                if (state.Code == 0)
                    state = DecodePrinterStatus(*status, device.HasBusyLine());
                if (state.Code != 0) {
                    std::this_thread::sleep_for(statusPause);
                    continue;
                }
            }
        }
        const auto left = std::clamp(std::chrono::duration_cast<milliseconds>(deadline - Clock::now()),
                                     milliseconds{0}, writeTimeout);
        if (const std::size_t written = device.WriteSome(bytes, left); written > 0) {
            bytes.remove_prefix(written);
            deadline = Clock::now() + writeTimeout;
        }
    }
    if (bytes.empty())
        return;
    const int code = state.Code != 0 ? state.Code : 1007;
    throw PortError(code, PrinterErrorText(code), state.Detail);
}

} // namespace veltrano::platform
