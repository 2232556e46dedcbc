#include "common/xml.h"

#include <sstream>
#include <stdexcept>

namespace veltrano::xml {

void InitDocument(pugi::xml_document& doc) {
    doc.reset();
    pugi::xml_node declaration = doc.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
}

std::string ToText(const pugi::xml_document& doc) {
    // Indentation carries no meaning for readers; documents are written one element a line with CR LF ends.
    std::ostringstream lines;
    doc.save(lines, "  ", pugi::format_indent | pugi::format_no_declaration, pugi::encoding_utf8);
    const std::string body = lines.str();
    std::string text;
    text.reserve(body.size() + body.size() / 16);
    for (char c : body) {
        if (c == '\n')
            text += "\r\n";
        else
            text += c;
    }
    return text;
}

void Parse(pugi::xml_document& doc, std::string_view text) {
    const pugi::xml_parse_result result = doc.load_buffer(
        text.data(), text.size(), pugi::parse_default | pugi::parse_declaration, pugi::encoding_utf8);
    if (!result)
        throw std::runtime_error(std::string(result.description()) + " (offset " +
                                 std::to_string(result.offset) + ")");
    int elements = 0;
    for (pugi::xml_node node = doc.first_child(); node; node = node.next_sibling())
        if (node.type() == pugi::node_element)
            ++elements;
    // The parser takes fragments; a document has exactly one root element.
    if (elements == 0)
        throw std::runtime_error("No document element found");
    if (elements > 1)
        throw std::runtime_error("Multiple root elements");
}

} // namespace veltrano::xml
