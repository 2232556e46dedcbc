#include "kkt/operations/text_document_barcode.h"

#include "common/base64.h"
#include "common/text.h"
#include "kkt/operations/receipt_attributes.h"

#include <array>
#include <optional>
#include <stdexcept>
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
    if (data.empty()) {
        const std::optional<std::string> decoded = base64::Decode(ReadTextAttribute(barcode, "ValueBase64"));
        if (!decoded)
            throw std::runtime_error("Ошибка входных параметров команды");
        data = text::Utf16ToUtf8(text::Utf8ToUtf16(*decoded));
    }
    return UnescapeXml(data);
}

} // namespace veltrano::kkt
