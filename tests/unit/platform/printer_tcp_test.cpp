#include "platform/printer_link.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace veltrano::platform {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;
using std::chrono::seconds;

// A socket bound to 127.0.0.1 on a port of the system's choice.
int BoundLoopbackSocket(int& port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    EXPECT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    return fd;
}

constexpr std::size_t never = std::numeric_limits<std::size_t>::max();

// A network printer on the loopback interface that records what it receives, on a thread of its own. After
// pauseAfter bytes it stops reading, for the pause or, without one, for good; the connection stays open until
// it is destroyed.
class LoopbackPrinter {
public:
    explicit LoopbackPrinter(std::size_t pauseAfter = never,
                             std::optional<milliseconds> pause = std::nullopt) {
        listener_ = BoundLoopbackSocket(port_);
        if (pauseAfter != never) {
            const int small = 4096; // a small window, so that a reader that stops stalls the sender soon
            ::setsockopt(listener_, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
        }
        ::listen(listener_, 1);
        thread_ = std::thread([this, pauseAfter, pause] {
            peer_ = ::accept(listener_, nullptr, nullptr);
            std::size_t limit = pauseAfter;
            char buffer[65536];
            for (;;) {
                if (received_.size() >= limit) {
                    if (!pause)
                        return;
                    std::this_thread::sleep_for(*pause);
                    limit = never;
                }
                const ssize_t got =
                    ::recv(peer_, buffer, std::min(sizeof buffer, limit - received_.size()), 0);
                if (got <= 0)
                    return;
                received_.append(buffer, static_cast<std::size_t>(got));
            }
        });
    }
    ~LoopbackPrinter() {
        ::shutdown(listener_, SHUT_RDWR); // ends an accept still waiting
        if (thread_.joinable())
            thread_.join();
        if (peer_ >= 0)
            ::close(peer_);
        ::close(listener_);
    }
    int Port() const { return port_; }
    // Everything received once the sender has closed the connection.
    const std::string& Received() {
        if (thread_.joinable())
            thread_.join();
        return received_;
    }

private:
    int listener_ = -1;
    int peer_ = -1;
    int port_ = 0;
    std::string received_;
    std::thread thread_;
};

std::string Pattern(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(i * 7 + i / 251);
    return bytes;
}

void ExpectPortError(PrinterLink& link, std::string_view bytes, const std::string& message) {
    try {
        bytes.empty() ? link.Open() : link.Write(bytes);
        ADD_FAILURE() << "no error, expected " << message;
    } catch (const PortError& error) {
        EXPECT_EQ(error.what(), message);
        EXPECT_EQ(error.Code(), 1001);
    }
}

TEST(PrinterTcpTest, PrinterReceivesALargeStreamWhole) {
    LoopbackPrinter printer;
    const std::string document = Pattern(8 << 20);
    auto link = CreateTcpLink(" 127.0.0.1 ", printer.Port());
    link->Open();
    link->Write(document);
    link->Close();
    EXPECT_TRUE(printer.Received() == document);
}

TEST(PrinterTcpTest, UnreadableAddressOrPortIsRefusedBeforeConnecting) {
    const std::string badAddress = "Синтаксическая ошибка в IP-адресе";
    const std::string badPort = "Номер порта должен лежать в диапазоне 1-65535";
    const struct {
        std::string address;
        std::int64_t port;
        std::string message;
    } cases[] = {
        {"printer.local", 9100, badAddress}, {"localhost", 9100, badAddress}, {"", 9100, badAddress},
        {"127.0.0.256", 9100, badAddress},   {"127.1", 9100, badAddress},     {"::1", 9100, badAddress},
        {"printer", 0, badAddress},          {"127.0.0.1", 0, badPort},       {"127.0.0.1", 65536, badPort},
        {"127.0.0.1", -9100, badPort},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.address + ":" + std::to_string(c.port));
        auto link = CreateTcpLink(c.address, c.port);
        ExpectPortError(*link, {}, c.message);
    }
}

TEST(PrinterTcpTest, RefusedPortFailsToConnect) {
    int port = 0;
    const int closedPort = BoundLoopbackSocket(port); // bound, never listening: the connect is reset
    auto link = CreateTcpLink("127.0.0.1", port);
    ExpectPortError(*link, {}, "Ошибка при установлении подключения");
    ::close(closedPort);
}

TEST(PrinterTcpTest, PrinterThatNeverAnswersFailsAfterFiveSeconds) {
    // A listener whose accept queue is full drops further connection requests unanswered, as an address
    // without a host would, without any traffic leaving this machine.
    int port = 0;
    const int listener = BoundLoopbackSocket(port);
    ASSERT_EQ(::listen(listener, 0), 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    std::vector<int> waiting;
    for (bool answered = true; answered && waiting.size() < 16;) {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        waiting.push_back(fd);
        ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        pollfd entry{fd, POLLOUT, 0};
        answered = ::poll(&entry, 1, 300) == 1;
    }
    ASSERT_LT(waiting.size(), 16u) << "the accept queue never filled";

    auto link = CreateTcpLink("127.0.0.1", port);
    const auto start = Clock::now();
    ExpectPortError(*link, {}, "Ошибка при установлении подключения");
    const auto waited = Clock::now() - start;
    EXPECT_GE(waited, seconds(4));
    EXPECT_LT(waited, seconds(8));
    for (const int fd : waiting)
        ::close(fd);
    ::close(listener);
}

TEST(PrinterTcpTest, PrinterThatStopsReadingFailsTheSendFiveSecondsLater) {
    LoopbackPrinter printer(64 << 10);
    const std::string document = Pattern(1 << 20);
    auto link = CreateTcpLink("127.0.0.1", printer.Port());
    link->Open();
    const auto start = Clock::now();
    ExpectPortError(*link, document, "Ошибка при отправке данных серверу");
    const auto waited = Clock::now() - start;
    EXPECT_GE(waited, seconds(4));
    EXPECT_LT(waited, seconds(8));
    link->Close();
}

TEST(PrinterTcpTest, PrinterThatPausesShorterThanTheLimitGetsTheWholeDocument) {
    LoopbackPrinter printer(64 << 10, milliseconds(3000));
    const std::string document = Pattern(1 << 20);
    auto link = CreateTcpLink("127.0.0.1", printer.Port());
    link->Write(document); // opens the link itself
    link->Close();
    EXPECT_TRUE(printer.Received() == document);
}

} // namespace
} // namespace veltrano::platform
