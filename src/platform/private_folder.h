// Private temporary folders: made for one job, entered only by this user, removed with everything in them.
#pragma once

#include <filesystem>
#include <string_view>

namespace veltrano::platform {

// The system's folder for temporary files: $TMPDIR when it names an absolute path, otherwise /tmp.
std::filesystem::path TemporaryFolder();

// Removes a folder and everything in it without following symbolic links. A missing folder is no error;
// nothing is thrown, and whatever cannot be removed stays.
void RemoveTree(const std::filesystem::path& folder) noexcept;

// Creates or overwrites a file that only this user can read; a symbolic link in its place is refused.
// Throws std::runtime_error when the file cannot be written whole.
void WritePrivateFile(const std::filesystem::path& file, std::string_view bytes);

// A new folder that only this user can enter (mode 0700), owned for its lifetime: the constructor creates it
// (with any missing parents) and fails when the folder already exists, so nobody else's folder is ever
// adopted; the destructor removes it with all its contents.
class PrivateFolder {
public:
    explicit PrivateFolder(std::filesystem::path folder);
    PrivateFolder(PrivateFolder&& other) noexcept;
    PrivateFolder& operator=(PrivateFolder&& other) noexcept;
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;
    ~PrivateFolder();

    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

} // namespace veltrano::platform
