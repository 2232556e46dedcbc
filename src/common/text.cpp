#include "common/text.h"

#include <cstdint>

namespace veltrano::text {
namespace {

constexpr char32_t Replacement = 0xFFFD;

// Decodes one code point at pos and advances pos; malformed input yields U+FFFD and skips one byte.
char32_t DecodeUtf8(std::string_view s, std::size_t& pos) {
    const auto b0 = static_cast<unsigned char>(s[pos]);
    if (b0 < 0x80) {
        ++pos;
        return b0;
    }
    int extra = 0;
    char32_t cp = 0;
    if ((b0 & 0xE0) == 0xC0) {
        extra = 1;
        cp = b0 & 0x1F;
    } else if ((b0 & 0xF0) == 0xE0) {
        extra = 2;
        cp = b0 & 0x0F;
    } else if ((b0 & 0xF8) == 0xF0) {
        extra = 3;
        cp = b0 & 0x07;
    } else {
        ++pos;
        return Replacement;
    }
    if (pos + static_cast<std::size_t>(extra) >= s.size()) {
        ++pos;
        return Replacement;
    }
    for (int i = 1; i <= extra; ++i) {
        const auto b = static_cast<unsigned char>(s[pos + i]);
        if ((b & 0xC0) != 0x80) {
            ++pos;
            return Replacement;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    static constexpr char32_t minimum[] = {0, 0x80, 0x800, 0x10000};
    pos += extra + 1;
    if (cp < minimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return Replacement;
    return cp;
}

// Moves pos past one code point; ASCII, the common case, without the decoder.
void Step(std::string_view s, std::size_t& pos) {
    if (static_cast<unsigned char>(s[pos]) < 0x80)
        ++pos;
    else
        DecodeUtf8(s, pos);
}

void EncodeUtf8(char32_t cp, std::string& out) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

char32_t UpperOf(char32_t c) {
    if (c >= U'a' && c <= U'z')
        return c - 32;
    if (c >= 0x430 && c <= 0x44F)
        return c - 32;
    if (c >= 0x450 && c <= 0x45F)
        return c - 80;
    return c;
}

char32_t LowerOf(char32_t c) {
    if (c >= U'A' && c <= U'Z')
        return c + 32;
    if (c >= 0x410 && c <= 0x42F)
        return c + 32;
    if (c >= 0x400 && c <= 0x40F)
        return c + 80;
    return c;
}

template <typename Map> std::string MapChars(std::string_view s, Map map) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t pos = 0; pos < s.size();)
        EncodeUtf8(map(DecodeUtf8(s, pos)), out);
    return out;
}

bool IsBlank(unsigned char c) {
    return c <= 0x20;
}

} // namespace

std::u16string Utf8ToUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    for (std::size_t pos = 0; pos < utf8.size();) {
        const char32_t cp = DecodeUtf8(utf8, pos);
        if (cp >= 0x10000) {
            const char32_t v = cp - 0x10000;
            out += static_cast<char16_t>(0xD800 + (v >> 10));
            out += static_cast<char16_t>(0xDC00 + (v & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size() * 2);
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        const char16_t u = utf16[i];
        if (u < 0x80)
            out.push_back(static_cast<char>(u));
        else if (u >= 0xD800 && u <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
                 utf16[i + 1] <= 0xDFFF) {
            EncodeUtf8(0x10000 + ((char32_t(u) - 0xD800) << 10) + (char32_t(utf16[i + 1]) - 0xDC00), out);
            ++i;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            EncodeUtf8(Replacement, out);
        } else {
            EncodeUtf8(u, out);
        }
    }
    return out;
}

std::size_t Length(std::string_view utf8) {
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < utf8.size(); ++count)
        Step(utf8, pos);
    return count;
}

std::size_t Advance(std::string_view utf8, std::size_t pos, std::size_t count) {
    for (std::size_t i = 0; i < count && pos < utf8.size(); ++i)
        Step(utf8, pos);
    return pos;
}

std::string Substr(std::string_view utf8, std::size_t first, std::size_t count) {
    const std::size_t begin = Advance(utf8, 0, first);
    return std::string(utf8.substr(begin, Advance(utf8, begin, count) - begin));
}

std::string TrimLeft(std::string_view utf8) {
    std::size_t b = 0;
    while (b < utf8.size() && IsBlank(static_cast<unsigned char>(utf8[b])))
        ++b;
    return std::string(utf8.substr(b));
}

std::string TrimRight(std::string_view utf8) {
    std::size_t e = utf8.size();
    while (e > 0 && IsBlank(static_cast<unsigned char>(utf8[e - 1])))
        --e;
    return std::string(utf8.substr(0, e));
}

std::string Trim(std::string_view utf8) {
    return TrimLeft(TrimRight(utf8));
}

std::string ToUpper(std::string_view utf8) {
    return MapChars(utf8, UpperOf);
}
std::string ToLower(std::string_view utf8) {
    return MapChars(utf8, LowerOf);
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size())
        if (UpperOf(DecodeUtf8(a, i)) != UpperOf(DecodeUtf8(b, j)))
            return false;
    return i == a.size() && j == b.size();
}

std::string Repeat(std::string_view character, std::size_t count) {
    std::string out;
    out.reserve(character.size() * count);
    for (std::size_t i = 0; i < count; ++i)
        out += character;
    return out;
}

} // namespace veltrano::text
