#include "driver/help/help_page.h"

#include "common/text.h"
#include "driver/guid.h"
#include "driver/help/zip_archive.h"
#include "platform/platform.h"

#include <cmark.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <stdexcept>

namespace fs = std::filesystem;

namespace veltrano::driver::help {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

std::u16string Utf16Units(std::string_view bytes, bool bigEndian) {
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        units.push_back(static_cast<char16_t>(bigEndian ? first << 8 | second : second << 8 | first));
    }
    return units;
}

std::string EscapeAttribute(std::string_view value) {
    std::string escaped;
    for (const char c : value) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

// An entry's place inside the folder; a name that would leave it (absolute, "..") is refused.
fs::path EntryPath(const fs::path& folder, std::string name) {
    for (char& c : name)
        if (c == '\\')
            c = '/';
    fs::path path = folder;
    std::size_t start = 0;
    while (start < name.size()) {
        std::size_t end = name.find('/', start);
        if (end == std::string::npos)
            end = name.size();
        const std::string_view part = std::string_view(name).substr(start, end - start);
        if ((part.empty() && start == 0) || part == "..")
            throw std::runtime_error("Zip archive: entry outside its folder: " + name);
        if (!part.empty() && part != ".")
            path /= std::string(part);
        start = end + 1;
    }
    return path;
}

void Extract(std::string_view archive, const fs::path& folder) {
    for (const ZipEntry& entry : ReadZip(archive)) {
        const fs::path target = EntryPath(folder, entry.Name);
        if (!entry.Name.empty() && (entry.Name.back() == '/' || entry.Name.back() == '\\')) {
            fs::create_directories(target);
            continue;
        }
        fs::create_directories(target.parent_path());
        platform::WritePrivateFile(target, entry.Bytes);
    }
}

// The first file of the folder (by name, as a directory listing sorts) with the extension, in any letter
// case; subfolders are not searched.
std::optional<fs::path> FirstFileWithExtension(const fs::path& folder, std::string_view extension) {
    std::optional<fs::path> first;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        if (!entry.is_regular_file() || !text::EqualsNoCase(entry.path().extension().string(), extension))
            continue;
        if (!first || entry.path().filename() < first->filename())
            first = entry.path();
    }
    return first;
}

} // namespace

std::string DecodeText(std::string_view bytes) {
    if (bytes.starts_with(kUtf8Mark))
        return std::string(bytes.substr(kUtf8Mark.size()));
    if (bytes.starts_with(kUtf16LeMark))
        return text::Utf16ToUtf8(Utf16Units(bytes.substr(kUtf16LeMark.size()), false));
    if (bytes.starts_with(kUtf16BeMark))
        return text::Utf16ToUtf8(Utf16Units(bytes.substr(kUtf16BeMark.size()), true));
    return std::string(bytes);
}

std::string BuildPageHtml(std::string_view markdown, std::string_view stylesheetName) {
    const std::unique_ptr<char, decltype(&std::free)> rendered(
        cmark_markdown_to_html(markdown.data(), markdown.size(), CMARK_OPT_DEFAULT), &std::free);
    if (!rendered)
        throw std::runtime_error("Markdown rendering failed");
    const std::string html(rendered.get());
    if (stylesheetName.empty())
        return html;
    return "<!DOCTYPE html>\r\n<html>\r\n<head>\r\n<link href=\"" + EscapeAttribute(stylesheetName) +
           "\" rel=\"stylesheet\">\r\n</head>\r\n<body>\r\n" + html + "\r\n</body>\r\n</html>";
}

HelpPage::HelpPage(std::string_view archive)
    : folder_(platform::TemporaryFolder() / ("{" + NewGuidText() + "}")) {
    // A throw from here on destroys folder_, which removes the folder with whatever was written to it.
    platform::WritePrivateFile(Folder() / "md.zip", archive);
    Extract(archive, Folder());

    const std::optional<fs::path> markdownFile = FirstFileWithExtension(Folder(), ".md");
    if (!markdownFile)
        throw std::runtime_error("Mardown file not found");
    const std::string markdown = DecodeText(platform::ReadFile(*markdownFile));
    const std::optional<fs::path> stylesheet = FirstFileWithExtension(Folder(), ".css");
    const std::string page = BuildPageHtml(markdown, stylesheet ? stylesheet->filename().string() : "");
    platform::WritePrivateFile(PagePath(), std::string(kUtf8Mark) + page);
}

} // namespace veltrano::driver::help
