#include "platform/platform.h"

#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

namespace veltrano::platform {
namespace {

bool ReadAll(int fd, unsigned char* bytes, std::size_t size) {
    while (size > 0) {
        const ssize_t got = ::read(fd, bytes, size);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        bytes += got;
        size -= static_cast<std::size_t>(got);
    }
    return true;
}

bool FromUrandom(unsigned char* bytes, std::size_t size) {
    const int fd = ::open("/dev/urandom", O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool read = ReadAll(fd, bytes, size);
    ::close(fd);
    return read;
}

} // namespace

std::uint64_t RandomNumber() {
    unsigned char bytes[sizeof(std::uint64_t)];
    ssize_t got = -1;
    do
        got = ::getrandom(bytes, sizeof bytes, 0);
    while (got < 0 && errno == EINTR);
    // Kernels before 3.17 have no getrandom; a sandbox may hide /dev/urandom too, and then the clock still
    // tells two calls apart.
    if (got != static_cast<ssize_t>(sizeof bytes) && !FromUrandom(bytes, sizeof bytes))
        return static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) *
               0x9E3779B97F4A7C15ULL;
    std::uint64_t number = 0;
    for (const unsigned char byte : bytes)
        number = number << 8 | byte;
    return number;
}

} // namespace veltrano::platform
