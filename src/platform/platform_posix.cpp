#include "platform/platform.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <system_error>

namespace fs = std::filesystem;

namespace veltrano::platform {
namespace {

[[noreturn]] void ThrowSystem(const std::string& what, const fs::path& path, int error) {
    throw std::runtime_error(what + " " + path.string() + ": " + std::strerror(error));
}

fs::path HomeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0')
        return home;
    if (const passwd* pw = getpwuid(getuid()); pw != nullptr && pw->pw_dir != nullptr)
        return pw->pw_dir;
    return fs::temp_directory_path();
}

// Closes a descriptor on every path out of a function.
class FileHandle {
public:
    explicit FileHandle(int fd) : fd_(fd) {}
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int Get() const { return fd_; }
    int Release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

void WriteAll(int fd, std::string_view bytes, const fs::path& path) {
    const char* data = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            ThrowSystem("Cannot write", path, errno);
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
}

} // namespace

fs::path CommonAppDataFolder() {
    fs::path folder;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && *xdg == '/')
        folder = xdg;
    else
        folder = HomeFolder() / ".local" / "share";
    EnsureFolder(folder);
    return folder;
}

void EnsureFolder(const fs::path& folder) {
    if (folder.empty())
        return;
    std::error_code error;
    if (fs::is_directory(folder, error))
        return;
    EnsureFolder(folder.parent_path());
    if (::mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST)
        ThrowSystem("Cannot create folder", folder, errno);
    if (!fs::is_directory(folder, error))
        ThrowSystem("Cannot create folder", folder, ENOTDIR);
}

fs::path TemporaryFileFor(const fs::path& file) {
    const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
    return folder / ("." + file.filename().string() + ".tmp");
}

void WriteFileAtomically(const fs::path& file, std::string_view bytes) {
    const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
    const fs::path temporary = TemporaryFileFor(file);
    // A symbolic link planted at the temporary name is not followed.
    FileHandle fd(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644));
    if (fd.Get() < 0)
        ThrowSystem("Cannot create", temporary, errno);
    try {
        WriteAll(fd.Get(), bytes, temporary);
        if (::fdatasync(fd.Get()) != 0)
            ThrowSystem("Cannot flush", temporary, errno);
        if (::close(fd.Release()) != 0)
            ThrowSystem("Cannot close", temporary, errno);
        if (::rename(temporary.c_str(), file.c_str()) != 0)
            ThrowSystem("Cannot replace", file, errno);
    } catch (...) {
        ::unlink(temporary.c_str());
        throw;
    }
    // The rename itself becomes durable with the folder's entry.
    FileHandle dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Get() >= 0)
        ::fsync(dir.Get());
}

void AppendExclusive(const fs::path& file, std::string_view bytes) {
    FileHandle fd(::open(file.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644));
    if (fd.Get() < 0)
        ThrowSystem("Cannot open", file, errno);
    while (::flock(fd.Get(), LOCK_EX) != 0) {
        if (errno != EINTR)
            ThrowSystem("Cannot lock", file, errno);
    }
    WriteAll(fd.Get(), bytes, file);
}

std::string ReadFile(const fs::path& file) {
    FileHandle fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.Get() < 0)
        ThrowSystem("Cannot open", file, errno);
    std::string content;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd.Get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            ThrowSystem("Cannot read", file, errno);
        }
        if (got == 0)
            break;
        content.append(buffer, static_cast<std::size_t>(got));
    }
    return content;
}

fs::path ModulePath() {
    Dl_info info{};
    static const int anchor = 0;
    if (::dladdr(&anchor, &info) != 0 && info.dli_fname != nullptr && *info.dli_fname != '\0') {
        std::error_code error;
        fs::path path = fs::weakly_canonical(info.dli_fname, error);
        return error ? fs::path(info.dli_fname) : path;
    }
    return {};
}

std::string SystemText() {
    utsname name{};
    if (::uname(&name) != 0)
        return "Unknown ";
    std::string release = name.release;
    // "6.1.0-18-amd64" names version 6.1.0; the distribution's suffix is left out.
    if (const auto cut = release.find_first_not_of("0123456789."); cut != std::string::npos)
        release.resize(cut);
    return std::string(name.sysname) + " " + release + " (" + name.machine + ")";
}

void Beep() {
    FileHandle tty(::open("/dev/tty", O_WRONLY | O_NOCTTY | O_CLOEXEC));
    if (tty.Get() >= 0) {
        const char bell = '\a';
        [[maybe_unused]] const ssize_t written = ::write(tty.Get(), &bell, 1);
    }
}

} // namespace veltrano::platform
