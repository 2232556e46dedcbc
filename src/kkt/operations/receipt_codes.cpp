#include "kkt/operations/receipt_codes.h"

#include "common/base64.h"
#include "common/code_pages.h"
#include "common/text.h"

#include <optional>
#include <stdexcept>
#include <utility>

namespace veltrano::kkt {
namespace {

constexpr char GroupSeparator = '\x1D';
constexpr std::string_view GroupSeparatorShown = "<0x1D>";

std::string DecodeOrFail(std::string_view base64Text, const char* message) {
    std::optional<std::string> bytes = base64::Decode(base64Text);
    if (!bytes)
        throw std::runtime_error(message);
    return std::move(*bytes);
}

} // namespace

std::string MarkingCodeBytes(std::string_view base64Text) {
    return DecodeOrFail(base64Text, "Код маркировки позиции не является текстом Base64");
}

std::string ShownMarkingCode(std::string_view bytes) {
    std::string shown;
    // Code page 1251 keeps the control characters where ASCII has them, and UTF-8 never uses their bytes
    // inside another character.
    for (const char c : code_pages::ToUtf8(bytes, code_pages::Cp1251)) {
        if (c == GroupSeparator)
            shown += GroupSeparatorShown;
        else
            shown += c;
    }
    return shown;
}

std::string DecodeBarcodeValue(std::string_view base64Text) {
    const std::string bytes =
        DecodeOrFail(base64Text, "Значение штрихкода ValueBase64 не является текстом Base64");
    return text::Utf16ToUtf8(text::Utf8ToUtf16(bytes));
}

} // namespace veltrano::kkt
