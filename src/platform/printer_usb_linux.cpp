#include "platform/printer_link.h"
#include "platform/printer_send.h"

#include <fcntl.h>
#include <linux/lp.h>
#include <linux/major.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <utility>

namespace veltrano::platform {
namespace {

// Writing into a pipe whose reader has gone raises SIGPIPE, which would end the host's process. The signal
// stays blocked on this thread during a send, and one the send caused is taken back before it is unblocked.
class SigpipeHold {
public:
    SigpipeHold() {
        sigemptyset(&pipe_);
        sigaddset(&pipe_, SIGPIPE);
        sigset_t pending;
        wasPending_ = sigpending(&pending) == 0 && sigismember(&pending, SIGPIPE) == 1;
        held_ = pthread_sigmask(SIG_BLOCK, &pipe_, &previous_) == 0;
    }
    SigpipeHold(const SigpipeHold&) = delete;
    SigpipeHold& operator=(const SigpipeHold&) = delete;
    ~SigpipeHold() {
        if (!held_)
            return;
        if (!wasPending_) {
            const timespec now{};
            sigtimedwait(&pipe_, nullptr, &now);
        }
        pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
    }

private:
    sigset_t pipe_;
    sigset_t previous_;
    bool wasPending_ = false;
    bool held_ = false;
};

class UsbLink final : public PrinterLink, private PrinterDevice {
public:
    explicit UsbLink(std::string path) : path_(std::move(path)) {}
    ~UsbLink() override { Close(); }

    void Open() override {
        if (fd_ >= 0)
            return;
        // Appending, so that a plain file standing in for the printer collects the documents one after
        // another.
        fd_ = ::open(path_.c_str(), O_WRONLY | O_APPEND | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd_ < 0)
            throw PortError(1011, PrinterErrorText(1011), path_ + ": " + std::strerror(errno));
        struct stat info {};
        hasBusyLine_ = ::fstat(fd_, &info) == 0 && S_ISCHR(info.st_mode) && major(info.st_rdev) == LP_MAJOR;
    }

    void Write(std::string_view bytes) override {
        Open();
        SigpipeHold hold;
        SendToPrinter(*this, bytes);
    }

    void Close() noexcept override {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }

private:
    std::optional<int> Status() override {
        int status = 0;
        if (::ioctl(fd_, LPGETSTATUS, &status) == 0)
            return status & 0xFF;
        if (errno == ENODEV)
            return disconnected;
        return std::nullopt;
    }

    bool HasBusyLine() const override { return hasBusyLine_; }

    std::size_t WriteSome(std::string_view bytes, std::chrono::milliseconds wait) override {
        pollfd entry{fd_, POLLOUT, 0};
        if (::poll(&entry, 1, static_cast<int>(wait.count())) <= 0)
            return 0;
        const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
        if (written > 0)
            return static_cast<std::size_t>(written);
        if (written < 0 && errno != EAGAIN && errno != EINTR)
            throw PortError(1001, PrinterErrorText(1001), std::strerror(errno));
        return 0;
    }

    std::string path_;
    int fd_ = -1;
    bool hasBusyLine_ = false; // a parallel-port printer: its status byte has a busy line
};

} // namespace

std::unique_ptr<PrinterLink> CreateUsbLink(std::string devicePath) {
    return std::make_unique<UsbLink>(std::move(devicePath));
}

} // namespace veltrano::platform
