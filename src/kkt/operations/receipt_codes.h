// Codes a check package carries in Base64: the marking codes of positions and the values of barcodes.
#pragma once

#include <string>
#include <string_view>

namespace veltrano::kkt {

// A position's marking code as the scanner read it: the bytes of the Base64 text; a text that is not Base64
// fails.
std::string MarkingCodeBytes(std::string_view base64Text);
// The code as text: the bytes read in code page 1251, each group separator (0x1D) shown as "<0x1D>".
std::string ShownMarkingCode(std::string_view bytes);

// A barcode's value given in Base64: the decoded bytes read as UTF-8, a broken sequence as U+FFFD. A text
// that is not Base64 fails.
std::string DecodeBarcodeValue(std::string_view base64Text);

} // namespace veltrano::kkt
