#include "log/log.h"

#include "common/text.h"
#include "common/version.h"
#include "log/log_clock.h"
#include "platform/platform.h"

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <mutex>

namespace fs = std::filesystem;

namespace veltrano::log {
namespace {

constexpr std::string_view kCompanyFolder = "Korvena";
constexpr std::string_view kLineEnd = "\r\n";

// The mode and the banner flag are read on every host call; the rest changes only under the file lock or at
// registration and connection time on the host's thread.
std::atomic<std::uint8_t> gMode{ModeOff};
std::atomic<std::uint8_t> gSwitch{ModeOff};
std::atomic<bool> gBannerWritten{false};
std::mutex gFileLock;
std::string gFileName;
std::string gFolder;
std::uint64_t gDroppedLines = 0;
std::atomic<Clock> gClock{nullptr};

moment::DateTime Now() {
    const Clock clock = gClock.load();
    return clock != nullptr ? clock() : platform::LocalNow();
}

bool LevelPasses(std::uint8_t mode, Level level) {
    switch (mode) {
    case ModeErrors:
        return level == Level::Error;
    case ModeInfo:
        return level == Level::Info || level == Level::Error;
    case ModeAll:
        return true;
    default:
        return false;
    }
}

bool IsActive(std::uint8_t mode) {
    return mode == ModeErrors || mode == ModeInfo || mode == ModeAll;
}

std::string_view LevelName(Level level) {
    switch (level) {
    case Level::Info:
        return "INFO";
    case Level::Debug:
        return "DEBUG";
    case Level::Error:
        return "ERROR";
    }
    return "INFO";
}

std::string FileDate(const moment::DateTime& now) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04d.%02d.%02d", now.year, now.month, now.day);
    return buffer;
}

std::string FormatStamp(const moment::DateTime& now) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d.%02d.%02d %02d:%02d:%02d.%03d", now.year, now.month, now.day,
                  now.hour, now.minute, now.second, now.millisecond);
    return buffer;
}

std::string BaseName() {
    const fs::path name = gFileName.empty() ? platform::ModulePath() : fs::path(gFileName);
    return name.stem().string();
}

fs::path LogFolderPath() {
    fs::path folder;
    if (gFolder.empty())
        folder = platform::CommonAppDataFolder() / kCompanyFolder / BaseName();
    else if (fs::path(gFolder).is_absolute())
        folder = gFolder;
    else
        folder = platform::CommonAppDataFolder() / gFolder;
    platform::EnsureFolder(folder);
    return folder;
}

std::string WithDelimiter(const fs::path& folder) {
    std::string text = folder.string();
    if (text.empty() || text.back() != fs::path::preferred_separator)
        text += static_cast<char>(fs::path::preferred_separator);
    return text;
}

std::string LogFileFor(const moment::DateTime& now) {
    return WithDelimiter(LogFolderPath()) + BaseName() + "_" + FileDate(now) + ".log";
}

std::string StartBanner() {
    const std::string blank(40, ' ');
    std::string banner;
    banner += blank + std::string(kLineEnd);
    banner += "============Start log=============" + std::string(kLineEnd);
    banner += "OS version:\t" + platform::SystemText() + std::string(kLineEnd);
    banner += "Application:\t" + platform::ModulePath().filename().string() + std::string(kLineEnd);
    banner += "App. version:\t" + ModuleVersionText() + std::string(kLineEnd);
    banner += blank + std::string(kLineEnd);
    return banner;
}

std::string StampedLine(const moment::DateTime& now, Level level, std::string_view text,
                        std::string_view details) {
    std::string line = FormatStamp(now);
    line += '\t';
    line += LevelName(level);
    line += '\t';
    line += text::Trim(text);
    if (!details.empty()) {
        line += ": \t";
        line += text::Trim(details);
    }
    line += kLineEnd;
    return line;
}

// Appends the lines to today's file, after the banner when one is due. The caller holds the file lock. Lines
// that cannot be written are counted as dropped; the next lines that get through are preceded by a note
// saying how many were lost.
bool AppendLines(const moment::DateTime& now, std::string_view banner, std::string_view lines) noexcept {
    try {
        std::string block(banner);
        if (gDroppedLines > 0)
            block += StampedLine(now, Level::Info, "Log lines dropped: " + std::to_string(gDroppedLines), {});
        block += lines;
        platform::AppendExclusive(LogFileFor(now), block);
        gDroppedLines = 0;
        return true;
    } catch (...) {
        ++gDroppedLines;
        return false;
    }
}

} // namespace

void SetLogClock(Clock clock) {
    gClock.store(clock);
}

void WriteLog(std::string_view text, std::string_view details, Level level) noexcept {
    const std::uint8_t mode = gMode.load();
    if (!LevelPasses(mode, level))
        return;
    try {
        const std::lock_guard lock(gFileLock);
        const moment::DateTime now = Now();
        const bool bannerDue = !gBannerWritten.load();
        const std::string banner = bannerDue ? StartBanner() : std::string();
        if (AppendLines(now, banner, StampedLine(now, level, text, details)) && bannerDue)
            gBannerWritten = true;
    } catch (...) {
        // Building the line failed (no memory, a system call for the banner); the line is lost like any
        // other.
        try {
            const std::lock_guard lock(gFileLock);
            ++gDroppedLines;
        } catch (...) {
        }
    }
}

bool WillWrite(Level level) noexcept {
    return LevelPasses(gMode.load(), level);
}

void SetLogMode(std::uint8_t mode) {
    if (mode != ModeHeld)
        gSwitch.store(mode);
    const std::uint8_t previous = gMode.exchange(mode);
    if (mode != ModeHeld && previous != ModeOff && mode == ModeOff)
        gBannerWritten = false;
}

std::uint8_t GetLogMode() {
    return gMode.load();
}

bool IsLogSwitchedOn() {
    return gSwitch.load() != ModeOff;
}

std::string GetLogPath(bool fileForm) {
    const std::lock_guard lock(gFileLock);
    return fileForm ? LogFileFor(Now()) : WithDelimiter(LogFolderPath());
}

void SetLogFileName(std::string name) {
    const std::lock_guard lock(gFileLock);
    gFileName = std::move(name);
}

void SetLogFolder(std::string folder) {
    const std::lock_guard lock(gFileLock);
    gFolder = std::move(folder);
}

void Shutdown() noexcept {
    if (!IsActive(gMode.load()) || !gBannerWritten.load())
        return;
    try {
        const std::lock_guard lock(gFileLock);
        AppendLines(Now(), {}, "============Stop log===============\r\n" + std::string(kLineEnd));
    } catch (...) {
    }
}

} // namespace veltrano::log
