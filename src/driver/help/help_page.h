// The help page: the manual's archive unpacked into a private temporary folder and its markdown rendered to
// an HTML page beside the stylesheet.
#pragma once

#include "platform/private_folder.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace veltrano::driver::help {

// The text of a file decoded by its byte-order mark (UTF-8, UTF-16 little- or big-endian) and returned as
// UTF-8 without the mark; without a mark the bytes are taken as UTF-8.
std::string DecodeText(std::string_view bytes);

// The page for a markdown text, as UTF-8 without a byte-order mark: the CommonMark rendering (default
// options) wrapped in a document that links the stylesheet; without a stylesheet name, the rendering alone.
std::string BuildPageHtml(std::string_view markdown, std::string_view stylesheetName);

// One assembled page. Its folder is a new private one under the system's temporary folder, named by a new
// braced GUID; it holds md.zip (the archive), the unpacked entries and md.html, and is removed with the
// object, or at once when the assembly fails.
class HelpPage {
public:
    // Unpacks the archive and writes md.html. Throws "Mardown file not found" when the archive holds no
    // markdown file, and the archive's or the file system's errors otherwise.
    explicit HelpPage(std::string_view archive);

    const std::filesystem::path& Folder() const { return folder_.Path(); }
    std::filesystem::path PagePath() const { return folder_.Path() / "md.html"; }

    // Hands the folder over to whoever must keep the page readable after this object is gone.
    platform::PrivateFolder ReleaseFolder() && { return std::move(folder_); }

private:
    platform::PrivateFolder folder_;
};

} // namespace veltrano::driver::help
