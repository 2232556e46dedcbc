#include "kkt/operations/text_document_barcode.h"

#include "kkt/operations/receipt_attributes.h"
#include "kkt/operations/receipt_codes.h"

#include <array>
#include <utility>

namespace veltrano::kkt {
namespace {

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to) {
    std::size_t at = 0;
    while ((at = text.find(from, at)) != std::string::npos) {
        text.replace(at, from.size(), to);
        at += to.size();
    }
    return text;
}

} // namespace

std::string UnescapeXml(std::string_view text) {
    constexpr std::array<std::pair<std::string_view, std::string_view>, 5> Entities{{
        {"&quot;", "\""},
        {"&apos;", "'"},
        {"&lt;", "<"},
        {"&gt;", ">"},
        {"&amp;", "&"},
    }};
    std::string unescaped(text);
    for (const auto& [entity, character] : Entities)
        unescaped = ReplaceAll(std::move(unescaped), entity, character);
    return unescaped;
}

std::string BarcodeData(pugi::xml_node barcode) {
    std::string data = ReadTextAttribute(barcode, "Value");
    if (data.empty())
        data = DecodeBarcodeValue(ReadTextAttribute(barcode, "ValueBase64"));
    return UnescapeXml(data);
}

} // namespace veltrano::kkt
