#include "output/line_layout.h"

#include "common/text.h"

namespace veltrano::output {

std::string CleanText(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        // A no-break space is the two UTF-8 bytes C2 A0; control characters are single bytes.
        if (byte == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0xA0) {
            result += ' ';
            ++i;
        } else if (byte == '\t') {
            result += ' ';
        } else if (byte >= 0x20 || byte == '\r' || byte == '\n') {
            result += static_cast<char>(byte);
        }
    }
    return result;
}

std::string PadRight(std::string_view text, std::size_t width) {
    const std::size_t length = text::Length(text);
    std::string result(text);
    if (length < width)
        result.append(width - length, ' ');
    return result;
}

std::string AlignSides(std::string_view left, std::string_view right, std::size_t width) {
    const std::size_t rightLength = text::Length(right);
    if (rightLength >= width)
        return text::Substr(right, 0, width);
    std::string result = PadRight(text::Substr(left, 0, width - rightLength), width - rightLength);
    result.append(right);
    return result;
}

std::string CenterText(std::string_view text, std::size_t width) {
    const std::size_t length = text::Length(text);
    if (length <= width) {
        const std::size_t spare = width - length;
        std::string result(spare / 2, ' ');
        result.append(text);
        result.append(spare - spare / 2, ' ');
        return result;
    }
    return text::Substr(text, (length - width) / 2, width);
}

} // namespace veltrano::output
