#include "common/xml.h"

#include <stdexcept>
#include <string_view>

namespace veltrano::xml {

void InitDocument(pugi::xml_document& doc) {
    doc.reset();
    pugi::xml_node declaration = doc.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
}

namespace {

// Collects the writer's output with every line feed turned into CR LF.
class CrLfWriter : public pugi::xml_writer {
public:
    explicit CrLfWriter(std::string& text) : text_(text) {}
    void write(const void* data, std::size_t size) override {
        std::string_view chunk(static_cast<const char*>(data), size);
        for (std::size_t feed = chunk.find('\n'); feed != std::string_view::npos; feed = chunk.find('\n')) {
            text_.append(chunk.data(), feed);
            text_ += "\r\n";
            chunk.remove_prefix(feed + 1);
        }
        text_.append(chunk.data(), chunk.size());
    }

private:
    std::string& text_;
};

} // namespace

std::string ToText(const pugi::xml_document& doc) {
    // Indentation carries no meaning for readers; documents are written one element a line with CR LF ends.
    std::string text;
    CrLfWriter writer(text);
    doc.save(writer, "  ", pugi::format_indent | pugi::format_no_declaration, pugi::encoding_utf8);
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
