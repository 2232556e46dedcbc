#include "output/wrap_words.h"

#include "common/text.h"

namespace veltrano::output {
namespace {

std::string UnifyLineEnds(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            result += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            result += text[i];
        }
    }
    return result;
}

// Byte offset of every character, followed by the text's size.
std::vector<std::size_t> CharacterStarts(std::string_view text) {
    std::vector<std::size_t> starts;
    starts.reserve(text.size() + 1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
            starts.push_back(i);
    }
    starts.push_back(text.size());
    return starts;
}

} // namespace

void WrapWords(std::string_view source, std::size_t width, std::vector<std::string>& lines) {
    const std::string text = UnifyLineEnds(source);
    const std::vector<std::size_t> starts = CharacterStarts(text);
    const std::size_t count = starts.size() - 1;

    auto slice = [&](std::size_t from, std::size_t to) {
        return std::string_view(text).substr(starts[from], starts[to] - starts[from]);
    };
    auto isChar = [&](std::size_t i, char c) { return i < count && text[starts[i]] == c; };
    auto addLine = [&](std::string_view line) {
        if (!text::Trim(line).empty())
            lines.emplace_back(line);
    };

    std::size_t lineStart = 0;
    std::size_t lastSpace = 0;
    std::size_t lineCount = 0;
    std::string accumulated;
    // Continues the scan at start with a fresh line; the characters after a word break are scanned again.
    auto restartAt = [&](std::size_t start, std::size_t& i) {
        lineStart = lastSpace = start;
        lineCount = 0;
        accumulated.clear();
        i = start - 1;
    };

    for (std::size_t i = 0; i < count; ++i) {
        ++lineCount;
        if (isChar(i, ' '))
            lastSpace = i;
        if (isChar(i, '\n')) {
            addLine(slice(lineStart, i));
            restartAt(i + 1, i);
            continue;
        }
        if (lineCount <= width)
            accumulated.append(slice(i, i + 1));
        if (lineCount < width)
            continue;
        if (isChar(i + 1, '\n') || isChar(i + 1, ' ')) {
            addLine(slice(lineStart, i + 1));
            restartAt(i + 2, i);
        } else if (lastSpace == lineStart) {
            addLine(slice(lineStart, i + 1));
            restartAt(i + 1, i);
        } else {
            addLine(slice(lineStart, lastSpace));
            restartAt(lastSpace + 1, i);
        }
    }
    addLine(accumulated);
}

} // namespace veltrano::output
