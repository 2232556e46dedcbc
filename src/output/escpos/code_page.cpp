#include "output/escpos/code_page.h"

#include "common/code_pages.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

namespace veltrano::output {
namespace {

// The table turned round: characters in ascending order with their bytes.
class ReverseTable {
public:
    explicit ReverseTable(const code_pages::UpperHalf& table) {
        for (std::size_t i = 0; i < table.size(); ++i) {
            if (table[i] != 0)
                entries_.emplace_back(table[i], static_cast<char>(0x80 + i));
        }
        std::sort(entries_.begin(), entries_.end());
    }

    char Byte(char32_t character) const {
        const auto found = std::lower_bound(entries_.begin(), entries_.end(), std::pair{character, '\0'},
                                            [](const auto& a, const auto& b) { return a.first < b.first; });
        return found != entries_.end() && found->first == character ? found->second : Unrepresentable;
    }

private:
    std::vector<std::pair<char32_t, char>> entries_;
};

const ReverseTable& TableFor(int codePage) {
    static const ReverseTable cp866(code_pages::Cp866), cp1251(code_pages::Cp1251),
        cp1254(code_pages::Cp1254), cp28599(code_pages::Cp28599);
    switch (codePage) {
    case 1251:
        return cp1251;
    case 1254:
        return cp1254;
    case 28599:
        return cp28599;
    default:
        return cp866;
    }
}

// The character starting at position and its length in bytes; a byte that starts no valid UTF-8 sequence
// is one character of its own that no code page holds.
std::pair<char32_t, std::size_t> NextCharacter(std::string_view text, std::size_t position) {
    constexpr char32_t Invalid = 0xFFFFFFFF;
    const auto lead = static_cast<unsigned char>(text[position]);
    std::size_t length = 0;
    char32_t character = 0;
    char32_t smallest = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, character = lead & 0x1F, smallest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, character = lead & 0x0F, smallest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, character = lead & 0x07, smallest = 0x10000;
    } else {
        return {Invalid, 1};
    }
    if (position + length > text.size())
        return {Invalid, 1};
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[position + i]);
        if ((next & 0xC0) != 0x80)
            return {Invalid, 1};
        character = character << 6 | (next & 0x3F);
    }
    if (character < smallest || character > 0x10FFFF || (character >= 0xD800 && character <= 0xDFFF))
        return {Invalid, 1};
    return {character, length};
}

template <typename ByteOf> std::string Encode(std::string_view text, ByteOf byteOf) {
    std::string bytes;
    bytes.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            bytes += byteOf(static_cast<char32_t>(c));
            ++i;
            continue;
        }
        const auto [character, length] = NextCharacter(text, i);
        bytes += byteOf(character);
        i += length;
    }
    return bytes;
}

} // namespace

std::string EncodeForPrinter(std::string_view text, int codePage) {
    const ReverseTable& table = TableFor(codePage);
    return Encode(text, [&](char32_t c) { return c < 0x80 ? static_cast<char>(c) : table.Byte(c); });
}

std::string EncodeAscii(std::string_view text) {
    return Encode(text,
                  [](char32_t c) { return c != 0 && c < 0x80 ? static_cast<char>(c) : Unrepresentable; });
}

} // namespace veltrano::output
