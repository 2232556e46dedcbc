#include "platform/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>

namespace veltrano::platform {

FileLock::FileLock(std::filesystem::path lockFile) : path_(std::move(lockFile)) {}

FileLock::~FileLock() {
    Release();
}

bool FileLock::Acquire(std::chrono::milliseconds timeout) {
    if (Held())
        return true;
    // Opened for each hold: a lock file deleted by hand is simply made again, and a descriptor never outlives
    // the hold. Each open is its own open file description, so objects of one process exclude each other too.
    const int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        throw std::runtime_error("Cannot open lock file " + path_.string() + ": " + std::strerror(errno));
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    auto pause = std::chrono::microseconds(200);
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            fd_ = fd;
            return true;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) {
            const int error = errno;
            ::close(fd);
            throw std::runtime_error("Cannot lock " + path_.string() + ": " + std::strerror(error));
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            ::close(fd);
            return false;
        }
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::microseconds(2000));
    }
}

void FileLock::Release() noexcept {
    if (fd_ < 0)
        return;
    // Closing the only descriptor of the description drops the lock.
    ::close(fd_);
    fd_ = -1;
}

} // namespace veltrano::platform
