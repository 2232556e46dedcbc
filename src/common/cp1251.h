// The Cyrillic Windows code page 1251: the single-byte code page marking codes are read in.
#pragma once

#include <string>
#include <string_view>

namespace veltrano::cp1251 {

// Each byte as its character in UTF-8; the one byte the code page leaves undefined (0x98) becomes U+FFFD.
std::string ToUtf8(std::string_view bytes);

} // namespace veltrano::cp1251
