// Text helpers: UTF-8 inside, UTF-16 only at the host boundary. Widths count characters, never bytes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace veltrano::text {

// Conversions; an invalid sequence or a lone surrogate becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

// Number of characters (code points) in a UTF-8 text.
std::size_t Length(std::string_view utf8);
// Characters [first, first + count) of a UTF-8 text, clipped to its end.
std::string Substr(std::string_view utf8, std::size_t first, std::size_t count = std::string_view::npos);
// The byte position count characters after pos (or the end of the text): a walk that cuts a text into pieces
// goes on from where the last piece ended instead of counting from the start again.
std::size_t Advance(std::string_view utf8, std::size_t pos, std::size_t count);

// Removes leading and trailing spaces and control characters (code points up to U+0020).
std::string Trim(std::string_view utf8);
std::string TrimRight(std::string_view utf8);
std::string TrimLeft(std::string_view utf8);

// Letter case of Latin and Cyrillic letters (including Ё/ё); other characters are left as they are.
std::string ToUpper(std::string_view utf8);
std::string ToLower(std::string_view utf8);
bool EqualsNoCase(std::string_view a, std::string_view b);

// Repeats a character (UTF-8 text of one character) count times.
std::string Repeat(std::string_view character, std::size_t count);

} // namespace veltrano::text
