#include "common/base64.h"

#include <cstdint>

namespace veltrano::base64 {
namespace {

constexpr int NotInAlphabet = -1;

int SextetOf(char c) {
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return NotInAlphabet;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

} // namespace

std::optional<std::string> Decode(std::string_view text) {
    std::string bytes;
    bytes.reserve(text.size() / 4 * 3 + 2);
    std::uint32_t group = 0;
    std::size_t inGroup = 0;
    std::size_t padding = 0;
    for (const char c : text) {
        if (IsBlank(c))
            continue;
        if (c == '=') {
            ++padding;
            continue;
        }
        const int sextet = SextetOf(c);
        // Data after the padding is as invalid as a character outside the alphabet.
        if (sextet == NotInAlphabet || padding != 0)
            return std::nullopt;
        group = (group << 6) | static_cast<std::uint32_t>(sextet);
        if (++inGroup == 4) {
            bytes += static_cast<char>((group >> 16) & 0xFF);
            bytes += static_cast<char>((group >> 8) & 0xFF);
            bytes += static_cast<char>(group & 0xFF);
            group = 0;
            inGroup = 0;
        }
    }
    // The group in progress carries 2 or 3 characters: one or two bytes. Padding, if any, fills it up to 4.
    if (inGroup == 1 || (padding != 0 && (inGroup == 0 || inGroup + padding != 4)))
        return std::nullopt;
    if (inGroup == 2) {
        bytes += static_cast<char>((group >> 4) & 0xFF);
    } else if (inGroup == 3) {
        bytes += static_cast<char>((group >> 10) & 0xFF);
        bytes += static_cast<char>((group >> 2) & 0xFF);
    }
    return bytes;
}

} // namespace veltrano::base64
