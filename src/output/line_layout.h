// Laying text out in receipt lines of a fixed number of characters (never bytes).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace veltrano::output {

// A tab or a no-break space becomes a space; other control characters vanish except CR and LF, which stay.
std::string CleanText(std::string_view text);

// The text filled on the right with spaces to width characters; a longer text is returned whole.
std::string PadRight(std::string_view text, std::size_t width);

// Exactly width characters: the left text cut to make room, spaces, then the right text at the right edge.
// A right text of width characters or more gives its first width characters.
std::string AlignSides(std::string_view left, std::string_view right, std::size_t width);

// The text centred in width characters (an odd spare space goes to the right); a longer text keeps its
// middle.
std::string CenterText(std::string_view text, std::size_t width);

} // namespace veltrano::output
