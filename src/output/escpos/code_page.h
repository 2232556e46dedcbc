// The printer's character sets: text turned into the bytes of a single-byte code page.
#pragma once

#include <string>
#include <string_view>

namespace veltrano::output {

// Written for a character the code page does not hold, and for bytes that are no UTF-8.
inline constexpr char Unrepresentable = '?';

// The UTF-8 text in code page 866 (Cyrillic DOS), 1251 (Cyrillic Windows), 1254 (Turkish Windows) or 28599
// (ISO-8859-9), one byte per character. Any other number means 866, the printers' usual Cyrillic set.
std::string EncodeForPrinter(std::string_view text, int codePage);

// Each character as one byte: ASCII as it is, any other character and a zero byte (which would end a
// barcode command early) as "?".
std::string EncodeAscii(std::string_view text);

} // namespace veltrano::output
