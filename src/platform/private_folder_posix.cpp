#include "platform/private_folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <system_error>
#include <utility>

namespace fs = std::filesystem;

namespace veltrano::platform {
namespace {

[[noreturn]] void ThrowSystem(const std::string& what, const fs::path& path, int error) {
    throw std::runtime_error(what + " " + path.string() + ": " + std::strerror(error));
}

} // namespace

fs::path TemporaryFolder() {
    if (const char* tmp = std::getenv("TMPDIR"); tmp != nullptr && *tmp == '/')
        return tmp;
    return "/tmp";
}

void RemoveTree(const fs::path& folder) noexcept {
    if (folder.empty())
        return;
    // remove_all deletes a symbolic link itself, never what it points to.
    std::error_code ignored;
    fs::remove_all(folder, ignored);
}

void WritePrivateFile(const fs::path& file, std::string_view bytes) {
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        ThrowSystem("Cannot create", file, errno);
    const char* data = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0) {
            const int error = errno;
            ::close(fd);
            ThrowSystem("Cannot write", file, error);
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    if (::close(fd) != 0)
        ThrowSystem("Cannot write", file, errno);
}

PrivateFolder::PrivateFolder(fs::path folder) : path_(std::move(folder)) {
    std::error_code error;
    if (path_.has_parent_path())
        fs::create_directories(path_.parent_path(), error);
    if (error)
        throw std::runtime_error("Cannot create folder " + path_.parent_path().string() + ": " +
                                 error.message());
    // mkdir fails on an existing name, so the folder is always one this process made, with the mode given
    // here (the umask can only take rights away).
    if (::mkdir(path_.c_str(), 0700) != 0) {
        const int code = errno;
        const fs::path failed = std::exchange(path_, fs::path());
        ThrowSystem("Cannot create folder", failed, code);
    }
}

PrivateFolder::PrivateFolder(PrivateFolder&& other) noexcept
    : path_(std::exchange(other.path_, fs::path())) {}

PrivateFolder& PrivateFolder::operator=(PrivateFolder&& other) noexcept {
    if (this != &other) {
        RemoveTree(path_);
        path_ = std::exchange(other.path_, fs::path());
    }
    return *this;
}

PrivateFolder::~PrivateFolder() {
    RemoveTree(path_);
}

} // namespace veltrano::platform
