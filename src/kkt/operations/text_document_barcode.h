// The data of a barcode the platform sends with a text document.
#pragma once

#include <pugixml.hpp>

#include <string>
#include <string_view>

namespace veltrano::kkt {

// "&quot;", "&apos;", "&lt;", "&gt;" and "&amp;" replaced by their characters, in that order, each over the
// whole text: "A&amp;amp;B" once parsed is "A&amp;B" and becomes "A&B".
std::string UnescapeXml(std::string_view text);

// Value, or ValueBase64 decoded and read as UTF-8 when Value is empty; unescaped either way. Bytes that are
// no UTF-8 become U+FFFD; a ValueBase64 that is no Base64 fails with "Ошибка входных параметров команды".
std::string BarcodeData(pugi::xml_node barcode);

} // namespace veltrano::kkt
