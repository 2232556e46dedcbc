// What the log viewer shows, apart from the window: which files of the log folder it lists and how a file's
// bytes become text.
#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace veltrano::windows {

// The encodings offered, in the order of the viewer's list.
enum class LogEncoding { Utf8, Ansi, Oem };
inline constexpr std::array<std::string_view, 3> LogEncodingNames{"UTF-8", "ANSI", "OEM"};

// The names whose extension (from the last dot) is ".log" in any letter case, sorted without regard to case.
// Log names end with the day as yyyy.mm.dd, so the last one is the newest day's file.
std::vector<std::string> LogFileNames(std::vector<std::string> names);

// The log files among the regular files of a folder, as LogFileNames orders them; none when the folder is
// missing or cannot be read.
std::vector<std::string> ListLogFiles(const std::filesystem::path& folder);

// A file's bytes as UTF-8 text a text view accepts: UTF-8 (a leading byte-order mark dropped, invalid
// sequences as U+FFFD), the Windows Cyrillic code page 1251 ("ANSI") or the DOS Cyrillic code page 866
// ("OEM"). A NUL byte, which a text view cannot hold, becomes U+FFFD as well.
std::string DecodeLogText(std::string_view bytes, LogEncoding encoding);

} // namespace veltrano::windows
