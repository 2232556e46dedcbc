// Host XML texts: characters that XML does not allow are dropped before a text is parsed.
#pragma once

#include <pugixml.hpp>

#include <string>
#include <string_view>

namespace veltrano::driver {

// Keeps the UTF-16 code units U+0009, U+000A, U+000D, U+0020..U+D7FF and U+E000..U+FFFD in order and drops
// every other one, both halves of a surrogate pair included.
std::u16string SanitizeXmlText(std::u16string_view text);

// Sanitises and parses a whole document; an empty or malformed text throws with the parser's message.
void ParseXmlText(pugi::xml_document& doc, std::u16string_view text);

} // namespace veltrano::driver
