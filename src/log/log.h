// The process-wide plain-text log: one file a day, one mode for every component object and device.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace veltrano::log {

enum class Level : std::uint8_t { Info = 0, Debug = 1, Error = 2 };

// Modes: 0 off, 1 errors only, 2 info and errors, 3 everything, 4 held (nothing is written).
enum : std::uint8_t { ModeOff = 0, ModeErrors = 1, ModeInfo = 2, ModeAll = 3, ModeHeld = 4 };

// Writes one line when the mode lets the level through. Never throws: a line that cannot be written is
// dropped and counted, and the next line that is written notes how many were dropped.
void WriteLog(std::string_view text, std::string_view details, Level level) noexcept;

// True when WriteLog would write a line of the level now: callers skip building lines nobody reads.
bool WillWrite(Level level) noexcept;

void SetLogMode(std::uint8_t mode);
std::uint8_t GetLogMode();
// The log switch as the user sees it: the last mode set other than the hold that brackets every host call, so
// reading the switch after a call without a device reports what was switched on, not the hold.
bool IsLogSwitchedOn();

// Folder form (ending with a delimiter) or file form (today's file); both create the folder when missing.
// Throws std::runtime_error when the folder cannot be created.
std::string GetLogPath(bool fileForm);

void SetLogFileName(std::string name);
void SetLogFolder(std::string folder);

// Called when the module unloads: writes the stop banner when one is due.
void Shutdown() noexcept;

} // namespace veltrano::log
