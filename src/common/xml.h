// XML documents as this system writes and reads them.
#pragma once

#include <pugixml.hpp>

#include <string>
#include <string_view>

namespace veltrano::xml {

// A new document holding only the declaration: version "1.0", no encoding.
void InitDocument(pugi::xml_document& doc);
// The document's text: declaration first, CR LF line ends, Booleans as the callers wrote them.
std::string ToText(const pugi::xml_document& doc);
// Parses a whole document; an empty or malformed text throws std::runtime_error with the parser's message.
void Parse(pugi::xml_document& doc, std::string_view text);

inline const char* BoolText(bool value) {
    return value ? "true" : "false";
}

} // namespace veltrano::xml
