// Base64 texts of the check package (marking codes, barcode values).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace veltrano::base64 {

// Decodes the standard alphabet (A-Z a-z 0-9 + /). Spaces, tabs, CR and LF are skipped; the "=" padding may
// be left out, but where present it must complete the last group and only blanks may follow it. Any other
// character, or a last group of a single character, makes the text invalid.
std::optional<std::string> Decode(std::string_view text);

} // namespace veltrano::base64
