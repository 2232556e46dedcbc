// The markup tags a text line may carry to switch printer features: 28 tags in a fixed order, always matched
// without regard to letter case (Cyrillic included). The order matters where tags are replaced one tag after
// another. Matching is a plain scan of the text: a line without "[" costs one search for that byte.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace veltrano::output {

inline constexpr std::size_t MarkupPatternCount = 28;
// Zero-based positions of the tags other code treats specially.
inline constexpr std::size_t CutPatternIndex = 6;
inline constexpr std::size_t EACPatternIndex = 17;
inline constexpr std::size_t FirstGraphicTextPatternIndex = 18;

// The tag of position index (0 .. MarkupPatternCount - 1) as written in lower case; the cut tag, which also
// has the form "[отрезка]", reads "[cut]".
std::string_view MarkupTag(std::size_t index);

// Whether tag index occurs in the text. Letters match in either case, and also where Unicode gives them a
// further case partner: "ſ" for "s", "ᲂ" for "о", "ᲄ" and "ᲅ" for "т". Bytes that are no UTF-8 never
// match and do not stop the search.
bool MarkupMatches(std::size_t index, std::string_view text);
// Every occurrence of tag index, from left to right, replaced by the replacement taken literally (any bytes,
// NUL included).
std::string MarkupReplace(std::size_t index, std::string_view text, std::string_view replacement);

// Whether any of the tags occurs in the text.
bool HasTag(std::string_view text);
// Removes every tag except the EAC logo tag, tag after tag in table order: removing one may join the text
// around it into a later tag, which then goes as well.
std::string StripTags(std::string_view text);

// The bytes that take each tag's place; a tag without an entry stays in the text.
using TagCodes = std::array<std::optional<std::string_view>, MarkupPatternCount>;

// A part of a line after its tags were replaced: text of the line, or the bytes of a code that took a tag's
// place.
struct MarkupPiece {
    std::string Text;
    bool IsCode = false;
};

// Replaces the tags tag after tag in table order, like StripTags. An inserted code is never read as text by
// a later tag, whatever bytes it holds; an empty code joins the text on its two sides, which a later tag then
// sees as one. Text pieces are never empty; a text without tags gives one piece (none when it is empty).
std::vector<MarkupPiece> ReplaceTags(std::string_view text, const TagCodes& codes);

// A graphic-text block [gtN]…[/gtN] of a line.
struct GraphicTextBlock {
    int Style = 1; // 1..5
    std::string Text;
};

// The block of a line that has both an opening tag [gt1]..[gt5] and a closing tag with one or more slashes
// ([/gt2], [//gt2]), letter case ignored: the text from the first opening tag to the first closing tag (empty
// when the closing tag comes first) in the style of the opening tag. The closing tag's digit is not compared.
// Nothing when either tag is missing.
std::optional<GraphicTextBlock> FindGraphicTextBlock(std::string_view line);

} // namespace veltrano::output
