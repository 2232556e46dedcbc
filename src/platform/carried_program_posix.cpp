#include "platform/carried_program.h"

#include "common/version.h"
#include "platform/platform.h"
#include "resources/resources.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace veltrano::platform {
namespace {

constexpr mode_t ProgramMode = 0700;
// Group or others may write.
constexpr mode_t SharedWrite = S_IWGRP | S_IWOTH;

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int Get() const { return fd_; }

private:
    int fd_;
};

fs::path HomeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home == '/')
        return home;
    if (const passwd* pw = ::getpwuid(::getuid()); pw != nullptr && pw->pw_dir != nullptr)
        return pw->pw_dir;
    return {};
}

std::string SystemError(int error) {
    return std::strerror(error);
}

// Only this user (or the system) can change what lies in the folder: it is owned by one of them and nobody
// else may write to it, unless it is a sticky folder such as /tmp where nobody may move another's entries.
bool Guarded(const struct stat& folder, bool allowSticky) {
    const bool owner = folder.st_uid == ::geteuid() || folder.st_uid == 0;
    const bool shut = (folder.st_mode & SharedWrite) == 0 || (allowSticky && (folder.st_mode & S_ISVTX) != 0);
    return S_ISDIR(folder.st_mode) && owner && shut;
}

// Every folder from the root down to this one's parent is guarded.
bool AncestorsGuarded(const fs::path& folder) {
    for (fs::path above = folder.parent_path(); !above.empty(); above = above.parent_path()) {
        struct stat info {};
        if (::stat(above.c_str(), &info) != 0 || !Guarded(info, true))
            return false;
        if (above == above.root_path())
            break;
    }
    return true;
}

// The file's bytes when it is a regular file (not a link) that only this user or the system can change.
std::optional<std::string> GuardedBytes(const fs::path& file, bool ownedByUser) {
    const Descriptor fd(::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (fd.Get() < 0)
        return std::nullopt;
    struct stat info {};
    if (::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode) || (info.st_mode & SharedWrite) != 0 ||
        (info.st_mode & S_IXUSR) == 0)
        return std::nullopt;
    if (info.st_uid != ::geteuid() && (ownedByUser || info.st_uid != 0))
        return std::nullopt;
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(info.st_size));
    char chunk[65536];
    for (;;) {
        const ssize_t got = ::read(fd.Get(), chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            return bytes;
        bytes.append(chunk, static_cast<std::size_t>(got));
    }
}

// Creates the missing folders of the path, each only for this user.
void CreateFolders(const fs::path& folder) {
    fs::path built;
    for (const fs::path& part : folder) {
        built /= part;
        if (::mkdir(built.c_str(), ProgramMode) != 0 && errno != EEXIST)
            return;
    }
}

std::string WriteProgram(const fs::path& file, std::string_view bytes) {
    std::string pattern = (file.parent_path() / ("." + file.filename().string() + ".XXXXXX")).string();
    const int raw = ::mkstemp(pattern.data());
    if (raw < 0)
        return SystemError(errno);
    const Descriptor fd(raw);
    const auto fail = [&pattern](int error) {
        ::unlink(pattern.c_str());
        return SystemError(error);
    };
    if (::fchmod(fd.Get(), ProgramMode) != 0)
        return fail(errno);
    for (std::size_t written = 0; written < bytes.size();) {
        const ssize_t n = ::write(fd.Get(), bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return fail(n < 0 ? errno : EIO);
        written += static_cast<std::size_t>(n);
    }
    if (::fsync(fd.Get()) != 0)
        return fail(errno);
    // Over whatever lay there, a link or a changed copy included: rename replaces the entry itself.
    if (::rename(pattern.c_str(), file.c_str()) != 0)
        return fail(errno);
    return {};
}

} // namespace

fs::path ProgramCacheFolder() {
    fs::path base;
    if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg != nullptr && *xdg == '/')
        base = xdg;
    else if (const fs::path home = HomeFolder(); !home.empty())
        base = home / ".cache";
    else
        return {};
    return base / "Korvena" / "Veltrano";
}

std::string CarriedFileName(std::string_view name, std::string_view bytes, std::string_view version) {
    std::uint64_t hash = 0xcbf29ce484222325ull; // FNV-1a
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ull;
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return std::string(name) + "-" + std::string(version) + "-" + hex;
}

ProgramLocation LocateCarriedProgram(std::string_view name, std::string_view bytes, std::string_view version,
                                     const fs::path& besideFolder, const fs::path& cacheFolder) {
    if (bytes.empty())
        return {{},
                "Программа " + std::string(name) +
                    " не входит в эту сборку: при сборке не нашлось её библиотек (GTK 3, WebKitGTK)"};

    if (!besideFolder.empty()) {
        const fs::path beside = besideFolder / std::string(name);
        struct stat folder {};
        if (::stat(besideFolder.c_str(), &folder) == 0 && Guarded(folder, false) &&
            AncestorsGuarded(besideFolder) && GuardedBytes(beside, false) == bytes)
            return {beside, {}};
    }

    if (cacheFolder.empty() || !cacheFolder.is_absolute())
        return {{}, "Нет папки для программы " + std::string(name) + ": не заданы XDG_CACHE_HOME и HOME"};
    CreateFolders(cacheFolder);
    struct stat folder {};
    if (::lstat(cacheFolder.c_str(), &folder) != 0)
        return {{}, "Не удалось создать папку " + cacheFolder.string() + ": " + SystemError(errno)};
    if (!Guarded(folder, false) || folder.st_uid != ::geteuid() || !AncestorsGuarded(cacheFolder))
        return {{},
                "Папка " + cacheFolder.string() +
                    " принадлежит другому пользователю или открыта для записи другим: программа " +
                    std::string(name) + " не запущена"};

    const fs::path copy = cacheFolder / CarriedFileName(name, bytes, version);
    if (GuardedBytes(copy, true) == bytes)
        return {copy, {}};
    if (const std::string error = WriteProgram(copy, bytes); !error.empty())
        return {{}, "Не удалось записать программу " + copy.string() + ": " + error};
    if (GuardedBytes(copy, true) != bytes)
        return {{}, "Программа " + copy.string() + " изменилась сразу после записи и не запущена"};
    return {copy, {}};
}

ProgramLocation CarriedProgram(std::string_view name) {
    const std::string_view bytes = resources::Find(name).value_or(std::string_view{});
    const fs::path module = ModulePath();
    return LocateCarriedProgram(name, bytes, ModuleVersionText(),
                                module.empty() ? fs::path() : module.parent_path(), ProgramCacheFolder());
}

} // namespace veltrano::platform
