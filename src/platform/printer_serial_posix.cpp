#include "platform/printer_link.h"
#include "platform/serial_speed.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

namespace fs = std::filesystem;

namespace veltrano::platform {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// The whole write may take this long: a constant part and a part for every byte (far more than a byte needs
// even at 110 baud).
constexpr milliseconds writeConstant{100};
constexpr milliseconds writePerByte{50};
constexpr milliseconds drainStep{10};

struct Rate {
    std::int64_t Value;
    speed_t Constant; // B0 where the POSIX constants have no name for the rate
};

constexpr Rate rates[] = {{110, B110},   {300, B300},     {600, B600},      {1200, B1200},   {2400, B2400},
                          {4800, B4800}, {9600, B9600},   {14400, B0},      {19200, B19200}, {38400, B38400},
                          {56000, B0},   {57600, B57600}, {115200, B115200}};

Rate RateFor(std::int64_t baudRate) {
    const auto* found = std::find_if(std::begin(rates), std::end(rates),
                                     [&](const Rate& rate) { return rate.Value == baudRate; });
    return found != std::end(rates) ? *found : Rate{9600, B9600};
}

tcflag_t ParityFlags(std::int64_t parity) {
    switch (parity) {
    case 1:
        return PARENB | PARODD;
    case 2:
        return PARENB;
    case 3:
        return PARENB | PARODD | CMSPAR;
    case 4:
        return PARENB | CMSPAR;
    default:
        return 0;
    }
}

class SerialLink final : public PrinterLink {
public:
    SerialLink(fs::path dataFolder, SerialSettings settings)
        : dataFolder_(std::move(dataFolder)), settings_(settings) {}
    ~SerialLink() override { Close(); }

    void Open() override {
        if (fd_ >= 0)
            return;
        const fs::path device = SerialDevicePath(dataFolder_, settings_.Port);
        // Not blocking, so that a line without carrier does not hold the open.
        fd_ = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd_ < 0 || !Configure()) {
            const int error = errno;
            Release();
            throw PortError(1001,
                            "Ошибка открытия COM-порта. " + device.string() + ": " + std::strerror(error));
        }
    }

    void Write(std::string_view bytes) override {
        if (bytes.empty())
            return;
        Open();
        if (::tcflush(fd_, TCIOFLUSH) != 0)
            Abandon(std::strerror(errno));
        const auto deadline =
            Clock::now() + writeConstant + writePerByte * static_cast<std::int64_t>(bytes.size());
        while (!bytes.empty()) {
            const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
            if (written > 0) {
                bytes.remove_prefix(static_cast<std::size_t>(written));
                continue;
            }
            if (written < 0 && errno != EINTR && errno != EAGAIN)
                Abandon(std::strerror(errno));
            const auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now());
            if (left.count() <= 0)
                Abandon("Не удалось записать данные в порт");
            pollfd entry{fd_, POLLOUT, 0};
            ::poll(&entry, 1, static_cast<int>(left.count()));
        }
        // A write ends when the bytes are queued in the driver; the document has gone when the queue is
        // empty.
        for (int queued = 0; ::ioctl(fd_, TIOCOUTQ, &queued) == 0 && queued > 0;) {
            if (Clock::now() >= deadline)
                Abandon("Не удалось записать данные в порт");
            std::this_thread::sleep_for(drainStep);
        }
    }

    void Close() noexcept override {
        if (fd_ < 0)
            return;
        const int dtr = TIOCM_DTR;
        ::ioctl(fd_, TIOCMBIC, &dtr);
        Release();
    }

private:
    bool Configure() {
        // Keeps out other programs that lock the port as well as later opens of it.
        if (::flock(fd_, LOCK_EX | LOCK_NB) != 0 || ::ioctl(fd_, TIOCEXCL) != 0)
            return false;
        if (::tcflush(fd_, TCIOFLUSH) != 0)
            return false;
        termios mode{};
        if (::tcgetattr(fd_, &mode) != 0)
            return false;
        ::cfmakeraw(&mode);
        mode.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK);
        if (settings_.Parity != 0)
            mode.c_iflag |= INPCK;
        mode.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
        mode.c_cflag |=
            CREAD | CLOCAL | (settings_.DataBits == 7 ? CS7 : CS8) | ParityFlags(settings_.Parity);
        // This system has no one and a half stop bits; a receiver that expects them reads two without fault.
        if (settings_.StopBits == 1 || settings_.StopBits == 2)
            mode.c_cflag |= CSTOPB;
        const Rate rate = RateFor(settings_.BaudRate);
        if (rate.Constant != B0 && ::cfsetspeed(&mode, rate.Constant) != 0)
            return false;
        if (::tcsetattr(fd_, TCSANOW, &mode) != 0)
            return false;
        if (rate.Constant == B0 && !SetSerialSpeed(fd_, static_cast<unsigned>(rate.Value)))
            return false;
        // The modem lines stay off; a pseudo-terminal or a bare adapter has none, which is no failure.
        const int lines = TIOCM_DTR | TIOCM_RTS;
        ::ioctl(fd_, TIOCMBIC, &lines);
        return true;
    }

    // Drops what is still queued, which would otherwise hold the close until the driver gives up on it.
    [[noreturn]] void Abandon(const std::string& message) {
        ::tcflush(fd_, TCIOFLUSH);
        throw PortError(1001, message);
    }

    void Release() noexcept {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }

    fs::path dataFolder_;
    SerialSettings settings_;
    int fd_ = -1;
};

} // namespace

fs::path SerialDevicePath(const fs::path& dataFolder, std::int64_t port) {
    const fs::path link = dataFolder / "Korvena" / "Veltrano" / ("COM" + std::to_string(port));
    std::error_code error;
    if (fs::is_symlink(link, error))
        return link;
    return "/dev/ttyS" + std::to_string(port - 1);
}

std::unique_ptr<PrinterLink> CreateSerialLink(const fs::path& dataFolder, SerialSettings settings) {
    return std::make_unique<SerialLink>(dataFolder, settings);
}

} // namespace veltrano::platform
