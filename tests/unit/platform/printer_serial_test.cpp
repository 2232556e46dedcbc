#include "platform/printer_link.h"
#include "serial_rate_probe.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/file.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

namespace fs = std::filesystem;

namespace veltrano::platform {
namespace {

using Clock = std::chrono::steady_clock;

// A pseudo-terminal stands in for the printer's serial line: the link opens its far end through the COM3 link
// of a temporary data folder, the test reads what arrives at the near end.
class PrinterSerialTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/veltrano-serial-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        dataFolder_ = pattern;
        ASSERT_EQ(::openpty(&master_, &slave_, nullptr, nullptr, nullptr), 0);
        fs::create_directories(dataFolder_ / "Korvena" / "Veltrano");
        fs::create_symlink(::ttyname(slave_), dataFolder_ / "Korvena" / "Veltrano" / "COM3");
    }
    void TearDown() override {
        ::close(slave_);
        ::close(master_);
        fs::remove_all(dataFolder_);
    }

    // Reads from the near end until the count has arrived or nothing more comes for a second.
    std::string ReadArrived(std::size_t count) const {
        std::string arrived;
        char buffer[4096];
        pollfd entry{master_, POLLIN, 0};
        while (arrived.size() < count && ::poll(&entry, 1, 1000) == 1) {
            const ssize_t got = ::read(master_, buffer, sizeof buffer);
            if (got <= 0)
                break;
            arrived.append(buffer, static_cast<std::size_t>(got));
        }
        return arrived;
    }

    std::string ExpectPortError(PrinterLink& link, std::string_view bytes) const {
        try {
            bytes.empty() ? link.Open() : link.Write(bytes);
            ADD_FAILURE() << "no error";
        } catch (const PortError& error) {
            EXPECT_EQ(error.Code(), 1001);
            return error.what();
        }
        return {};
    }

    fs::path dataFolder_;
    int master_ = -1;
    int slave_ = -1;
};

TEST_F(PrinterSerialTest, EveryByteArrivesUnchanged) {
    std::string document;
    for (int round = 0; round < 80; ++round)
        for (int value = 0; value < 256; ++value)
            document += static_cast<char>(value);
    auto link = CreateSerialLink(dataFolder_, {.Port = 3});
    std::string arrived;
    std::thread reader([&] { arrived = ReadArrived(document.size()); });
    link->Open();
    link->Write(document);
    link->Close();
    reader.join();
    EXPECT_TRUE(arrived == document) << arrived.size() << " of " << document.size() << " bytes";
}

// A pseudo-terminal keeps the rate, the stop bits, the kind of parity and the input flags it is given, but
// always reports eight data bits and the parity bit off.
TEST_F(PrinterSerialTest, LineIsSetRawWithTheRateStopBitsAndParityOfTheSettings) {
    const struct {
        SerialSettings settings;
        unsigned rate;
        tcflag_t parityKind; // of PARODD and CMSPAR
        bool twoStopBits;
    } cases[] = {
        {{.BaudRate = 115200, .DataBits = 8, .StopBits = 0, .Parity = 0}, 115200, 0, false},
        {{.BaudRate = 19200, .DataBits = 7, .StopBits = 2, .Parity = 1}, 19200, PARODD, true},
        {{.BaudRate = 9600, .StopBits = 1, .Parity = 2}, 9600, 0, true},
        {{.BaudRate = 14400, .Parity = 3}, 14400, PARODD | CMSPAR, false},
        {{.BaudRate = 56000, .Parity = 4}, 56000, CMSPAR, false},
        {{.BaudRate = 230400}, 9600, 0, false},
        {{.BaudRate = 110}, 110, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.settings.BaudRate);
        SerialSettings settings = c.settings;
        settings.Port = 3;
        auto link = CreateSerialLink(dataFolder_, settings);
        link->Open();
        termios mode{};
        ASSERT_EQ(::tcgetattr(master_, &mode), 0); // the near end reports the far end's settings
        EXPECT_EQ(testing::TerminalRate(master_), c.rate);
        EXPECT_EQ(mode.c_cflag & (PARODD | CMSPAR), c.parityKind);
        EXPECT_EQ((mode.c_iflag & INPCK) != 0, c.settings.Parity != 0);
        EXPECT_EQ((mode.c_cflag & CSTOPB) != 0, c.twoStopBits);
        EXPECT_EQ(mode.c_cflag & (CRTSCTS | CLOCAL), tcflag_t{CLOCAL});
        EXPECT_EQ(mode.c_iflag & (IXON | IXOFF | ICRNL | INLCR | IGNCR | ISTRIP | BRKINT), 0u);
        EXPECT_EQ(mode.c_oflag & OPOST, 0u);
        EXPECT_EQ(mode.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
        link->Close();
    }
}

TEST_F(PrinterSerialTest, PortWithoutLinkIsTheSystemsSerialPort) {
    EXPECT_EQ(SerialDevicePath(dataFolder_, 3), dataFolder_ / "Korvena" / "Veltrano" / "COM3");
    EXPECT_EQ(SerialDevicePath(dataFolder_, 1), "/dev/ttyS0");
    EXPECT_EQ(SerialDevicePath(dataFolder_, 128), "/dev/ttyS127");
}

TEST_F(PrinterSerialTest, PortThatCannotBeOpenedSaysWhy) {
    fs::create_symlink(dataFolder_ / "unplugged", dataFolder_ / "Korvena" / "Veltrano" / "COM4");
    fs::create_symlink(dataFolder_ / "Korvena", dataFolder_ / "Korvena" / "Veltrano" / "COM5");
    const int other = ::open(::ttyname(slave_), O_RDWR | O_NOCTTY);
    ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0); // another program holds COM3
    const std::string prefix = "Ошибка открытия COM-порта. ";
    const struct {
        std::int64_t port;
        std::string reason;
    } cases[] = {
        {3, "Resource temporarily unavailable"}, {4, "No such file or directory"}, {5, "Is a directory"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.port);
        auto link = CreateSerialLink(dataFolder_, {.Port = c.port});
        const std::string message = ExpectPortError(*link, {});
        EXPECT_TRUE(message.starts_with(prefix + SerialDevicePath(dataFolder_, c.port).string() + ": "))
            << message;
        EXPECT_NE(message.find(c.reason), std::string::npos) << message;
    }
    ::close(other);
}

TEST_F(PrinterSerialTest, LineThatTakesNothingFailsTheWriteWithinItsTimeLimit) {
    termios mode{};
    ::tcgetattr(slave_, &mode);
    ::cfmakeraw(&mode);
    ::tcsetattr(slave_, TCSANOW, &mode);
    ASSERT_EQ(::tcflow(slave_, TCOOFF), 0); // output suspended, as a printer holding the line would
    auto link = CreateSerialLink(dataFolder_, {.Port = 3});
    const auto start = Clock::now();
    EXPECT_EQ(ExpectPortError(*link, "0123456789"), "Не удалось записать данные в порт");
    // 100 ms and 50 ms for each of the ten bytes
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(550));
    EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(3000));
    link->Close();
    ::tcflow(slave_, TCOON);
}

} // namespace
} // namespace veltrano::platform
