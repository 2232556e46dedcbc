// A marking code as the fiscal storage checks it: a GS1 code with the item's GTIN, its serial number and the
// crypto tail, scanned with or without the group separators between its elements.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace veltrano::kkt {

struct MarkingCode {
    std::string Gtin;   // 14 digits, the last one the GS1 check digit
    std::string Serial; // 1 to 20 characters of the GS1 set
    std::string Tail;   // the elements after the serial number, group separators left out
};

// The code's elements, or none when the bytes are no such code: "01" with a GTIN whose check digit is right,
// "21" with the serial number, then the tail's elements (91 and 92 the verification key and code, 93 the
// short crypto code, and 8005, 3103, 17, 11, 10 and 7003), one of 92 and 93 among them. A group separator may
// lead the code and may follow each element; without one the serial number ends where the rest reads as a
// tail.
std::optional<MarkingCode> ParseMarkingCode(std::string_view bytes);

// What tells two scans of one item apart from other items: "01", the GTIN, "21" and the serial number of a
// code that parses, otherwise the bytes themselves.
std::string MarkingCodeKey(std::string_view bytes);

} // namespace veltrano::kkt
