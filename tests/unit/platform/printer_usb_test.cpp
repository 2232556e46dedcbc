#include "platform/printer_link.h"
#include "platform/printer_send.h"
#include "platform/usb_printers.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace veltrano::platform {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

class TemporaryFolder : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/veltrano-usb-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        root_ = pattern;
    }
    void TearDown() override { fs::remove_all(root_); }
    fs::path root_;
};

std::string Pattern(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(i * 13 + i / 253);
    return bytes;
}

PortError CaughtPortError(PrinterLink& link, std::string_view bytes) {
    try {
        bytes.empty() ? link.Open() : link.Write(bytes);
    } catch (const PortError& error) {
        return error;
    }
    ADD_FAILURE() << "no error";
    return PortError(0, "");
}

// A printer behind a named pipe, reading on a thread of its own. After readLimit bytes it stops reading and
// either keeps the pipe open or leaves.
class PipePrinter {
public:
    PipePrinter(const fs::path& fifo, std::size_t readLimit, bool leaveAtLimit) {
        ::mkfifo(fifo.c_str(), 0600);
        // Reading and writing, so that the pipe has a reader before the link opens and no end of data comes.
        fd_ = ::open(fifo.c_str(), O_RDWR | O_CLOEXEC);
        thread_ = std::thread([this, readLimit, leaveAtLimit] {
            char buffer[65536];
            pollfd entry{fd_, POLLIN, 0};
            while (received_.size() < readLimit && ::poll(&entry, 1, 3000) == 1) {
                const ssize_t got =
                    ::read(fd_, buffer, std::min(sizeof buffer, readLimit - received_.size()));
                if (got <= 0)
                    break;
                received_.append(buffer, static_cast<std::size_t>(got));
            }
            if (leaveAtLimit) {
                ::close(fd_);
                fd_ = -1;
            }
        });
    }
    ~PipePrinter() {
        Received();
        if (fd_ >= 0)
            ::close(fd_);
    }
    const std::string& Received() {
        if (thread_.joinable())
            thread_.join();
        return received_;
    }

private:
    int fd_ = -1;
    std::string received_;
    std::thread thread_;
};

using PrinterUsbTest = TemporaryFolder;

TEST_F(PrinterUsbTest, PathThatCannotBeOpenedIsAnUnavailablePort) {
    ::mkfifo((root_ / "nobody-reads").c_str(), 0600);
    for (const fs::path& path : {root_ / "lp0", root_, root_ / "nobody-reads"}) {
        SCOPED_TRACE(path);
        auto link = CreateUsbLink(path.string());
        const PortError error = CaughtPortError(*link, {});
        EXPECT_STREQ(error.what(), "Порт недоступен");
        EXPECT_EQ(error.Code(), 1011);
        EXPECT_TRUE(error.Detail().starts_with(path.string() + ": ")) << error.Detail();
    }
}

TEST_F(PrinterUsbTest, FileStandingInForThePrinterCollectsTheDocuments) {
    const fs::path file = root_ / "printer.bin";
    std::ofstream(file).flush();
    auto link = CreateUsbLink(file.string());
    link->Open();
    link->Write("first\x1b\x40");
    link->Close();
    link->Write(std::string("second\0", 7)); // opens the link itself
    link->Close();
    std::ifstream in(file, std::ios::binary);
    const std::string written{std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(written, std::string("first\x1b\x40second\0", 14));
}

TEST_F(PrinterUsbTest, PipeThatTakesTheDocumentPieceByPieceReceivesItWhole) {
    const std::string document = Pattern(4 << 20); // many times what the pipe holds
    PipePrinter printer(root_ / "lp", document.size(), false);
    auto link = CreateUsbLink((root_ / "lp").string());
    link->Open();
    link->Write(document);
    link->Close();
    EXPECT_TRUE(printer.Received() == document);
}

TEST_F(PrinterUsbTest, PrinterThatStopsTakingDataDoesNotAnswerAfterOneSecond) {
    PipePrinter printer(root_ / "lp", 100000, false);
    auto link = CreateUsbLink((root_ / "lp").string());
    link->Open();
    const auto start = Clock::now();
    const PortError error = CaughtPortError(*link, Pattern(1 << 20));
    const auto waited = Clock::now() - start;
    EXPECT_STREQ(error.what(), "Устройство не отвечает");
    EXPECT_EQ(error.Code(), 1007);
    EXPECT_GE(waited, milliseconds(900));
    EXPECT_LT(waited, milliseconds(4000));
    EXPECT_EQ(printer.Received().size(), 100000u);
}

TEST_F(PrinterUsbTest, PrinterThatGoesAwayDuringTheWriteIsAnUnknownErrorNotASignal) {
    PipePrinter printer(root_ / "lp", 100000, true);
    auto link = CreateUsbLink((root_ / "lp").string());
    link->Open();
    const PortError error = CaughtPortError(*link, Pattern(1 << 20));
    EXPECT_STREQ(error.what(), "Неизвестная ошибка");
    EXPECT_EQ(error.Code(), 1001);
    EXPECT_EQ(error.Detail(), "Broken pipe");
    sigset_t pending;
    sigpending(&pending);
    EXPECT_EQ(sigismember(&pending, SIGPIPE), 0);
}

TEST(PrinterStatusTest, StatusByteStopsTheSendWithTheMatchingError) {
    const struct {
        int status;
        bool hasBusyLine;
        int code;
        std::string detail;
    } cases[] = {
        {0x18, false, 0, ""},              // on line, no fault: ready
        {0x08, false, 1008, ""},           // not selected: off line
        {0x38, false, 1001, "Нет бумаги"}, // paper end
        {0x28, false, 1008, ""},           // paper end while off line: off line first
        {0x10, false, 1008, ""},           // fault
        {0x18, true, 1009, ""},            // parallel port, busy line set
        {0x98, true, 0, ""},               // parallel port, not busy
        {0xB8, true, 1001, "Нет бумаги"},  // parallel port, paper end
        {PrinterDevice::disconnected, false, 1001, "Принтер не подключен"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.status);
        const PrinterState state = DecodePrinterStatus(c.status, c.hasBusyLine);
        EXPECT_EQ(state.Code, c.code);
        EXPECT_EQ(state.Detail, c.detail);
    }
}

// A printer that answers the status query with the bytes given, one a query (the last one ever after), and
// takes `piece` bytes a write after `delay`.
class ScriptedPrinter final : public PrinterDevice {
public:
    ScriptedPrinter(std::vector<int> statuses, std::size_t piece, milliseconds delay)
        : statuses_(std::move(statuses)), piece_(piece), delay_(delay) {}
    std::optional<int> Status() override {
        if (statuses_.empty())
            return std::nullopt;
        return statuses_[std::min(queries_++, statuses_.size() - 1)];
    }
    bool HasBusyLine() const override { return true; }
    std::size_t WriteSome(std::string_view bytes, milliseconds wait) override {
        std::this_thread::sleep_for(piece_ == 0 ? wait : std::min(wait, delay_));
        const std::size_t taken = std::min(piece_, bytes.size());
        received_ += bytes.substr(0, taken);
        return taken;
    }
    const std::string& Received() const { return received_; }

private:
    std::vector<int> statuses_;
    std::size_t queries_ = 0;
    std::size_t piece_;
    milliseconds delay_;
    std::string received_;
};

TEST(PrinterSendTest, PrinterThatTakesPiecesSlowlyGetsTheWholeDocument) {
    ScriptedPrinter printer({0x98}, 10, milliseconds(300));
    const std::string document = Pattern(50); // five pieces, a second and a half in all
    SendToPrinter(printer, document);
    EXPECT_EQ(printer.Received(), document);
}

TEST(PrinterSendTest, StatusThatStaysNotReadyEndsTheSendAfterASecond) {
    const struct {
        std::vector<int> statuses;
        int code;
        std::string message;
        std::string detail;
    } cases[] = {
        {{0x18}, 1009, "Устройство занято", ""},            // busy
        {{0xB8}, 1001, "Неизвестная ошибка", "Нет бумаги"}, // paper out
        {{0x18, 0x98}, 1009, "Устройство занято", ""},      // the first complaint stays after recovery
        {{}, 1007, "Устройство не отвечает", ""},     // takes nothing and does not answer the status query
        {{0x98}, 1007, "Устройство не отвечает", ""}, // takes nothing and reports ready
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message + " " + c.detail);
        ScriptedPrinter printer(c.statuses, c.code == 1007 ? 0 : 10, milliseconds(0));
        const auto start = Clock::now();
        try {
            SendToPrinter(printer, Pattern(100));
            ADD_FAILURE() << "no error";
        } catch (const PortError& error) {
            EXPECT_EQ(error.Code(), c.code);
            EXPECT_EQ(error.what(), c.message);
            EXPECT_EQ(error.Detail(), c.detail);
        }
        const auto waited = Clock::now() - start;
        EXPECT_GE(waited, milliseconds(900));
        EXPECT_LT(waited, milliseconds(3000));
    }
}

TEST(PrinterSendTest, StatusThatKeepsChangingHoldsTheDeadlineOff) {
    // A second for the first write, ten different bytes at one a tenth of a second, then the same one for a
    // second: about three seconds, where a fixed deadline would have ended the send after one.
    ScriptedPrinter printer({0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x09, 0x0A}, 0, milliseconds(0));
    const auto start = Clock::now();
    EXPECT_THROW(SendToPrinter(printer, "x"), PortError);
    EXPECT_GE(Clock::now() - start, milliseconds(1800));
}

class UsbPrinterListTest : public TemporaryFolder {
protected:
    // A USB device with a printer interface whose printer-class node is lp<number>, as sysfs shows it.
    void AddPrinter(const std::string& busPath, int number, const std::string& manufacturer,
                    const std::string& product, bool authorized) {
        const fs::path device = root_ / "devices" / "pci0000:00" / "0000:00:14.0" / "usb1" / busPath;
        const fs::path interface = device / (busPath + ":1.0");
        const std::string name = "lp" + std::to_string(number);
        fs::create_directories(interface / "usbmisc" / name);
        Write(device / "idVendor", "04b8\n");
        Write(device / "idProduct", "0e15\n");
        Write(device / "manufacturer", manufacturer + "\n");
        Write(device / "product", product + "\n");
        Write(device / "serial", "X5E" + std::to_string(number) + "\n");
        Write(device / "authorized", authorized ? "1\n" : "0\n");
        Write(interface / "authorized", "1\n");
        Link(name, interface / "usbmisc" / name);
    }
    void Link(const std::string& name, const fs::path& target) {
        fs::create_directories(root_ / "class" / "usbmisc");
        fs::create_symlink(fs::relative(target, root_ / "class" / "usbmisc"),
                           root_ / "class" / "usbmisc" / name);
    }
    static void Write(const fs::path& file, const std::string& text) { std::ofstream(file) << text; }
};

TEST_F(UsbPrinterListTest, PrintersAreListedInNumberOrderWithTheirUsbDevice) {
    AddPrinter("1-2", 10, "EPSON", "TM-T20III", true);
    AddPrinter("1-1.4", 1, "", "Receipt Printer", false);
    fs::create_directories(root_ / "devices" / "hid" / "hiddev0");
    Link("hiddev0", root_ / "devices" / "hid" / "hiddev0");

    const std::vector<UsbPrinter> printers = ListUsbPrinters(root_);
    ASSERT_EQ(printers.size(), 2u);
    EXPECT_EQ(printers[0].InterfacePath, "/dev/usb/lp1");
    EXPECT_EQ(printers[0].Location, "1-1.4");
    EXPECT_EQ(printers[0].Description, "Receipt Printer");
    EXPECT_EQ(printers[0].SerialNumber, "X5E1");
    EXPECT_EQ(printers[0].HardwareId, "04b8:0e15");
    EXPECT_FALSE(printers[0].Enabled);
    EXPECT_EQ(printers[1].InterfacePath, "/dev/usb/lp10");
    EXPECT_EQ(printers[1].Location, "1-2");
    EXPECT_EQ(printers[1].Description, "EPSON TM-T20III");
    EXPECT_TRUE(printers[1].Enabled);
}

TEST_F(UsbPrinterListTest, NoPrinterClassDriverMeansNoPrinters) {
    EXPECT_TRUE(ListUsbPrinters(root_).empty());
    EXPECT_TRUE(ListUsbPrinters(root_ / "missing").empty());
}

} // namespace
} // namespace veltrano::platform
