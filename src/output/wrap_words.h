// Breaking a free text into receipt lines at word boundaries.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace veltrano::output {

// Breaks the text into lines of at most width characters and appends them to lines. CR LF, CR and LF end a
// line; a line is broken at its last space, or hard at width when it has none. Blank lines are skipped; a
// line's own leading and trailing spaces stay.
void WrapWords(std::string_view text, std::size_t width, std::vector<std::string>& lines);

} // namespace veltrano::output
