// Device identifiers: random GUIDs as 36-character upper-case text without braces.
#pragma once

#include <string>

namespace veltrano::driver {

// A new random (version 4) GUID, for example "3F2504E0-4F89-41D3-9A0C-0305E82C3301".
std::string NewGuidText();

} // namespace veltrano::driver
