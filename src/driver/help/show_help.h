// The "Справка" action: the manual carried in the module, shown in the help window program or, where that
// cannot run (no WebKitGTK on the machine), in the desktop's browser.
#pragma once

#include <string_view>

namespace veltrano::driver::help {

// True when the module carries a resource of that name; false for an empty name.
bool SourceExist(std::string_view sourceName);

// Assembles the page from the archive resource and shows it under the caption. With the help window the
// call returns when the window is closed and the page's folder is removed then; a page handed to the browser
// keeps its folder until the module is unloaded, since the browser reads it after this call returns.
// Throws "File not found: <name>" without the resource, and a message that says why when no window or
// browser can show the page.
void ShowHelp(std::string_view sourceName, std::string_view caption);

} // namespace veltrano::driver::help
