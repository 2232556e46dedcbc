// An exclusive lock on a lock file, shared by every process and every object that opens the same file. The
// system releases it when its holder dies, so a crashed process never leaves it taken.
#pragma once

#include <chrono>
#include <filesystem>

namespace veltrano::platform {

class FileLock {
public:
    explicit FileLock(std::filesystem::path lockFile);
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    ~FileLock();

    // Waits until the lock is free and takes it; false when another holder kept it for the whole timeout.
    // The lock file is created when missing; throws std::runtime_error when it cannot be opened.
    bool Acquire(std::chrono::milliseconds timeout);
    void Release() noexcept;
    bool Held() const { return fd_ >= 0; }

private:
    std::filesystem::path path_;
    int fd_ = -1;
};

} // namespace veltrano::platform
