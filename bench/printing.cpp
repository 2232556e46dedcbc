// A receipt through the print path: the ESC/POS stream built from a laid-out receipt of 30 lines with its QR
// code drawn as a picture or sent as the printer's QR commands (CPU time per receipt, and the bytes each
// sends), and the whole print — stream, connect, one write, close — to a printer on 127.0.0.1 (documents per
// second). Goals: the picture receipt encodes in under a millisecond of CPU; the native one sends no more
// than 10 % above its text, its commands and its QR data.
#include "output/escpos/code_page.h"
#include "output/escpos/document_stream.h"
#include "output/output_device.h"
#include "output/printer_port.h"

#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <thread>

namespace {

using namespace veltrano::output;

const std::string ReceiptQr = "t=20240115T1030&s=1250.50&fn=9999078900004792&i=15&fp=3522207165&n=1";

ReceiptEntries LaidOutReceipt() {
    OutputDevice device;
    device.Init({}, 42);
    device.PrintTextCenter("Учебный ККТ");
    device.PrintText("РН ККТ:1234567890123456", "15.01.2024 10:30");
    device.PrintText("ЗН ККТ:12345678", "СМЕНА:3");
    device.PrintText("ИНН:9988776655", "ФН:9999078900004792");
    device.PrintText("Кассир:Смирнова Е.В.", "ЧЕК:15");
    device.PrintTextCenter("КАССОВЫЙ ЧЕК / ПРИХОД");
    for (int i = 1; i <= 8; ++i) {
        device.PrintText("Товар номер " + std::to_string(i) + " в упаковке", "");
        device.PrintText("2.000 x 60.25", "=120.50");
    }
    device.PrintText("ИТОГО", "=964.00");
    device.PrintText("НАЛИЧНЫМИ", "=1000.00");
    device.PrintText("СДАЧА", "=36.00");
    device.PrintText("СУММА НДС 20%", "=160.67");
    device.PrintText("СНО:ОСН", "");
    device.PrintQRcode(ReceiptQr);
    device.PrintText("ФД:15", "ФП:3522207165");
    device.PrintText("", "");
    device.PrintText(std::string(42, '='), "");
    return device.ReceiptStrList();
}

PrintSettings Settings(bool qrAsPicture) {
    PrintSettings settings;
    settings.Codes.ESCInit = ParseEscCode("27+64");
    settings.Codes.ESCRus = ParseEscCode("27+116+6");
    settings.Codes.ESCCut = ParseEscCode("29+86+1");
    settings.BarcodeAsPicture = qrAsPicture;
    return settings;
}

void EncodeReceipt(benchmark::State& state) {
    const bool picture = state.range(0) != 0;
    const ReceiptEntries receipt = LaidOutReceipt();
    const PrintSettings settings = Settings(picture);
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string stream = EncodeDocument(receipt, settings, false);
        bytes = stream.size();
        benchmark::DoNotOptimize(stream.data());
    }
    // What the document itself needs: a byte and CR LF per character and line, the QR data and the fixed
    // commands (initialisation, code page, feed, cut, and the QR code's 37 command bytes).
    std::size_t needed = 5 + 3 + 3;
    for (const ReceiptEntry& entry : receipt)
        needed += entry.NumType() == KindTextLine ? EncodeForPrinter(entry.Text, 866).size() + 2
                                                  : entry.Text.size() + 38;
    state.counters["bytes"] = static_cast<double>(bytes);
    state.counters["needed"] = static_cast<double>(needed);
    state.counters["overhead_%"] =
        100.0 * (static_cast<double>(bytes) - static_cast<double>(needed)) / static_cast<double>(needed);
    state.SetLabel(picture ? "QR as a picture" : "native QR commands");
}
BENCHMARK(EncodeReceipt)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

// Accepts one connection after another on 127.0.0.1 and reads each to its end.
class Sink {
public:
    Sink() {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(listener_, 16);
        socklen_t length = sizeof address;
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] {
            char buffer[65536];
            while (!stop_) {
                pollfd entry{listener_, POLLIN, 0};
                if (::poll(&entry, 1, 20) != 1)
                    continue;
                const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
                while (connection >= 0 && ::read(connection, buffer, sizeof buffer) > 0) {
                }
                if (connection >= 0)
                    ::close(connection);
            }
        });
    }
    ~Sink() {
        stop_ = true;
        thread_.join();
        ::close(listener_);
    }
    int Port() const { return port_; }

private:
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

void PrintToLoopback(benchmark::State& state) {
    const bool picture = state.range(0) != 0;
    const ReceiptEntries receipt = LaidOutReceipt();
    const PrintSettings settings = Settings(picture);
    Sink sink;
    const std::unique_ptr<IPrinterPort> port =
        CreatePrinterPort(LanPortSettings{"127.0.0.1", sink.Port()}, {});
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string stream = EncodeDocument(receipt, settings, false);
        port->Open();
        port->Write(stream);
        port->Close();
        bytes += stream.size();
    }
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
    state.SetLabel(picture ? "QR as a picture" : "native QR commands");
}
// Wall-clock time: the connection's set-up and the printer's acknowledgements take part.
BENCHMARK(PrintToLoopback)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
