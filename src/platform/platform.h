// The few things that differ between systems. Everything else is portable C++.
#pragma once

#include "common/moment.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace veltrano::platform {

// The user's folder for application data: $XDG_DATA_HOME when set, otherwise ~/.local/share; created when
// missing.
std::filesystem::path CommonAppDataFolder();

// Creates a folder with every missing parent. The folders it makes are the user's own: others may read and
// search them at most (0755, narrowed by the umask); existing folders keep their modes.
void EnsureFolder(const std::filesystem::path& folder);

// Writes a whole file or nothing: TemporaryFileFor(file), flushed to disk, renamed over the old one, and the
// folder flushed. Throws std::runtime_error when it cannot; the previous file is then left intact. Only one
// writer of a file may run at a time (the caller's lock), since they share the temporary name. The file is
// writable by its owner only (0644, narrowed by the umask).
void WriteFileAtomically(const std::filesystem::path& file, std::string_view bytes);
// The temporary file WriteFileAtomically writes beside a file; one left by a crash is removed by the next
// writer that finds it.
std::filesystem::path TemporaryFileFor(const std::filesystem::path& file);

// Appends bytes to a file (created when missing, writable by its owner only) while holding an exclusive lock
// that keeps other writers out. Throws std::runtime_error when the file cannot be opened, locked or written.
void AppendExclusive(const std::filesystem::path& file, std::string_view bytes);

// Reads a whole file; throws std::runtime_error when it cannot.
std::string ReadFile(const std::filesystem::path& file);

// Full path of the loaded module (the add-in library) that holds this code.
std::filesystem::path ModulePath();

// The local wall clock now, with milliseconds (the system's current time zone and daylight saving applied).
moment::DateTime LocalNow();

// The system's name and version for the log banner, for example "Linux 6.1.0 (x86_64)".
std::string SystemText();

// 64 bits from the system's entropy source, for identifiers and seeds. Not std::random_device: newer C++
// runtimes draw it from arc4random, which the C libraries of older systems lack.
std::uint64_t RandomNumber();

// The system's default beep (a bell on the controlling terminal where there is one; nothing otherwise).
void Beep();

} // namespace veltrano::platform
