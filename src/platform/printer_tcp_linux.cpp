#include "platform/printer_link.h"

#include "common/text.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <linux/sockios.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <utility>

namespace veltrano::platform {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr milliseconds connectLimit{5000};
constexpr milliseconds receiveTimeout{2000};
// A printer may stop reading for a moment while it cuts or prints from a full buffer; one that takes no byte
// for as long as it may take to answer a connection has stopped (cover open, paper out) and the call must
// end.
constexpr milliseconds stallLimit{5000};
constexpr milliseconds roomStep{100};
constexpr milliseconds drainStep{10};

[[noreturn]] void Fail(const char* message) {
    throw PortError(1001, message);
}

timeval ToTimeval(milliseconds span) {
    timeval tv{};
    tv.tv_sec = static_cast<time_t>(span.count() / 1000);
    tv.tv_usec = static_cast<suseconds_t>(span.count() % 1000 * 1000);
    return tv;
}

bool SetBlocking(int fd, bool blocking) {
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0)
        return false;
    return ::fcntl(fd, F_SETFL, blocking ? flags & ~O_NONBLOCK : flags | O_NONBLOCK) == 0;
}

// Waits for a non-blocking connect to finish; true when it succeeded within the limit.
bool AwaitConnected(int fd) {
    const auto deadline = Clock::now() + connectLimit;
    for (;;) {
        const auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            return false;
        pollfd entry{fd, POLLOUT, 0};
        const int ready = ::poll(&entry, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return false;
        int error = 0;
        socklen_t length = sizeof error;
        return ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
    }
}

class TcpLink final : public PrinterLink {
public:
    TcpLink(std::string address, std::int64_t port) : address_(std::move(address)), port_(port) {}
    ~TcpLink() override { Close(); }

    void Open() override {
        if (socket_ >= 0)
            return;
        sockaddr_in target{};
        target.sin_family = AF_INET;
        if (::inet_pton(AF_INET, text::Trim(address_).c_str(), &target.sin_addr) != 1)
            Fail("Синтаксическая ошибка в IP-адресе");
        if (port_ < 1 || port_ > 65535)
            Fail("Номер порта должен лежать в диапазоне 1-65535");
        target.sin_port = htons(static_cast<std::uint16_t>(port_));

        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (fd < 0)
            Fail("Ошибка при создании сокета");
        socket_ = fd;
        const int started = ::connect(fd, reinterpret_cast<const sockaddr*>(&target), sizeof target);
        const bool connected =
            started == 0 || ((errno == EINPROGRESS || errno == EINTR) && AwaitConnected(fd));
        const timeval receive = ToTimeval(receiveTimeout);
        if (!connected || !SetBlocking(fd, true) ||
            ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &receive, sizeof receive) != 0) {
            Close();
            Fail("Ошибка при установлении подключения");
        }
    }

    // Returns once the printer has acknowledged every byte, so that a printer that has stopped is told apart
    // from one that took the document. Progress is a byte handed to the socket or acknowledged by the
    // printer.
    void Write(std::string_view bytes) override {
        Open();
        auto lastProgress = Clock::now();
        int unacknowledged = Unacknowledged();
        for (;;) {
            if (!bytes.empty()) {
                const ssize_t sent = ::send(socket_, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
                if (sent > 0) {
                    bytes.remove_prefix(static_cast<std::size_t>(sent));
                    lastProgress = Clock::now();
                    continue;
                }
                if (sent < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
                    Fail("Ошибка при отправке данных серверу");
            }
            const int left = Unacknowledged();
            if (left < 0)
                Fail("Ошибка при отправке данных серверу");
            if (left < unacknowledged)
                lastProgress = Clock::now();
            unacknowledged = left;
            if (bytes.empty() && left == 0)
                return;
            if (Clock::now() - lastProgress >= stallLimit)
                Fail("Ошибка при отправке данных серверу");
            pollfd entry{socket_, static_cast<short>(bytes.empty() ? 0 : POLLOUT), 0};
            if (::poll(&entry, 1, static_cast<int>((bytes.empty() ? drainStep : roomStep).count())) > 0 &&
                (entry.revents & (POLLERR | POLLHUP)) != 0)
                Fail("Ошибка при отправке данных серверу"); // reset by the printer
        }
    }

    void Close() noexcept override {
        if (socket_ < 0)
            return;
        // Bytes the printer sent on its own (status) left unread would make the close reset the connection
        // and drop the end of the document still on its way.
        char discard[512];
        while (::recv(socket_, discard, sizeof discard, MSG_DONTWAIT) > 0) {
        }
        ::shutdown(socket_, SHUT_RDWR);
        ::close(socket_);
        socket_ = -1;
    }

private:
    // Bytes in the socket that the printer has not acknowledged yet; -1 when the socket cannot say.
    int Unacknowledged() const {
        int queued = 0;
        return ::ioctl(socket_, SIOCOUTQ, &queued) == 0 ? queued : -1;
    }

    std::string address_;
    std::int64_t port_;
    int socket_ = -1;
};

} // namespace

std::unique_ptr<PrinterLink> CreateTcpLink(std::string address, std::int64_t port) {
    return std::make_unique<TcpLink>(std::move(address), port);
}

} // namespace veltrano::platform
