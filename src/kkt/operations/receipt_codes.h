// Codes a check package carries in Base64: the marking codes of positions and the values of barcodes.
#pragma once

#include <string>
#include <string_view>

namespace veltrano::kkt {

// The marking code as text: the decoded bytes read in code page 1251, each group separator (0x1D) shown as
// "<0x1D>". A text that is not Base64 fails.
std::string DecodeMarkingCode(std::string_view base64Text);

// A barcode's value given in Base64: the decoded bytes read as UTF-8, a broken sequence as U+FFFD. A text
// that is not Base64 fails.
std::string DecodeBarcodeValue(std::string_view base64Text);

} // namespace veltrano::kkt
