// The markup tags a text line may carry to switch printer features: 28 patterns in a fixed order, always
// matched without regard to letter case (Cyrillic included). The order matters where tags are replaced one
// pattern after another.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace veltrano::output {

inline constexpr std::size_t MarkupPatternCount = 28;
// Zero-based positions of the tags other code treats specially.
inline constexpr std::size_t CutPatternIndex = 6;
inline constexpr std::size_t EACPatternIndex = 17;

// The regular expression of pattern index (0 .. MarkupPatternCount - 1).
std::string_view MarkupPattern(std::size_t index);

// Whether pattern index occurs in the text.
bool MarkupMatches(std::size_t index, std::string_view text);
// Every occurrence of pattern index replaced by the replacement, taken literally (any bytes, NUL included).
std::string MarkupReplace(std::size_t index, std::string_view text, std::string_view replacement);

// Whether any of the patterns occurs in the text.
bool HasTag(std::string_view text);
// Removes every tag except the EAC logo tag, pattern after pattern in table order.
std::string StripTags(std::string_view text);

} // namespace veltrano::output
