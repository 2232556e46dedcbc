// Single-byte code pages: 866 (DOS Cyrillic), 1251 (Windows Cyrillic), 1254 (Windows Turkish) and 28599
// (ISO 8859-9). Bytes below 0x80 are ASCII in all four; each table gives the characters of the bytes 0x80 to
// 0xFF, 0 where the code page leaves a byte undefined.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace veltrano::code_pages {

using UpperHalf = std::array<std::uint16_t, 128>;

extern const UpperHalf Cp866;
extern const UpperHalf Cp1251;
extern const UpperHalf Cp1254;
extern const UpperHalf Cp28599;

// Each byte as its character in UTF-8; a byte the code page leaves undefined becomes U+FFFD.
std::string ToUtf8(std::string_view bytes, const UpperHalf& table);

} // namespace veltrano::code_pages
