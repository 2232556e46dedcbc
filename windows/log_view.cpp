#include "log_view.h"

#include "common/code_pages.h"
#include "common/text.h"

#include <algorithm>
#include <system_error>

namespace veltrano::windows {
namespace {

constexpr std::string_view ReplacementCharacter = "\xEF\xBF\xBD";

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
        return WithoutNul(code_pages::ToUtf8(bytes, code_pages::Cp1251));
    case LogEncoding::Oem:
        return WithoutNul(code_pages::ToUtf8(bytes, code_pages::Cp866));
    }
    return {};
}

} // namespace veltrano::windows
