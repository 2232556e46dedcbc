#include "log_view.h"

#include "common/cp1251.h"
#include "common/text.h"

#include <algorithm>
#include <system_error>

namespace veltrano::windows {
namespace {

// Code points of the bytes 0x80..0xFF of code page 866: Cyrillic letters, box drawing, Ё and a few signs.
constexpr std::array<char16_t, 128> Cp866UpperHalf{
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, 0x0418, 0x0419, 0x041A, 0x041B, 0x041C,
    0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429,
    0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F, 0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436,
    0x0437, 0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F, 0x2591, 0x2592, 0x2593, 0x2502,
    0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510, 0x2514,
    0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550,
    0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C,
    0x2588, 0x2584, 0x258C, 0x2590, 0x2580, 0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F, 0x0401, 0x0451, 0x0404, 0x0454, 0x0407,
    0x0457, 0x040E, 0x045E, 0x00B0, 0x2219, 0x00B7, 0x221A, 0x2116, 0x00A4, 0x25A0, 0x00A0,
};

constexpr std::string_view ReplacementCharacter = "\xEF\xBF\xBD";

std::string Cp866ToUtf8(std::string_view bytes) {
    std::u16string wide;
    wide.reserve(bytes.size());
    for (const char byte : bytes) {
        const auto b = static_cast<unsigned char>(byte);
        wide += b < 0x80 ? static_cast<char16_t>(b) : Cp866UpperHalf[b - 0x80];
    }
    return text::Utf16ToUtf8(wide);
}

std::string WithoutNul(std::string utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (const char c : utf8) {
        if (c == '\0')
            out += ReplacementCharacter;
        else
            out += c;
    }
    return out;
}

bool IsLogName(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    return dot != std::string_view::npos && text::ToLower(name.substr(dot)) == ".log";
}

} // namespace

std::vector<std::string> LogFileNames(std::vector<std::string> names) {
    std::erase_if(names, [](const std::string& name) { return !IsLogName(name); });
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const std::string la = text::ToLower(a);
        const std::string lb = text::ToLower(b);
        return la != lb ? la < lb : a < b;
    });
    return names;
}

std::vector<std::string> ListLogFiles(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    std::error_code error;
    // A folder that changes while it is read is read as far as it goes; nothing here throws.
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        std::error_code statusError;
        if (it->is_regular_file(statusError))
            names.push_back(it->path().filename().string());
    }
    return LogFileNames(std::move(names));
}

std::string DecodeLogText(std::string_view bytes, LogEncoding encoding) {
    switch (encoding) {
    case LogEncoding::Utf8:
        if (bytes.starts_with("\xEF\xBB\xBF"))
            bytes.remove_prefix(3);
        return WithoutNul(text::Utf16ToUtf8(text::Utf8ToUtf16(bytes)));
    case LogEncoding::Ansi:
        return WithoutNul(cp1251::ToUtf8(bytes));
    case LogEncoding::Oem:
        return WithoutNul(Cp866ToUtf8(bytes));
    }
    return {};
}

} // namespace veltrano::windows
