#include "driver/xml_text.h"

#include "common/text.h"
#include "common/xml.h"

namespace veltrano::driver {

namespace {

bool AllowedInXml(char16_t unit) {
    return unit == 0x9 || unit == 0xA || unit == 0xD || (unit >= 0x20 && unit <= 0xD7FF) ||
           (unit >= 0xE000 && unit <= 0xFFFD);
}

} // namespace

std::u16string SanitizeXmlText(std::u16string_view text) {
    std::u16string kept;
    kept.reserve(text.size());
    for (const char16_t unit : text)
        if (AllowedInXml(unit))
            kept += unit;
    return kept;
}

void ParseXmlText(pugi::xml_document& doc, std::u16string_view text) {
    xml::Parse(doc, text::Utf16ToUtf8(SanitizeXmlText(text)));
}

} // namespace veltrano::driver
