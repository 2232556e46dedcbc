#include "output/markup.h"

#include <cstring>
#include <stdexcept>
#include <utility>

namespace veltrano::output {
namespace {

constexpr std::array<std::string_view, MarkupPatternCount> Tags = {
    "[b]",      "[/b]",         "[i]",           "[/i]",     "[u]",     "[/u]",     "[cut]",
    "[invert]", "[/invert]",    "[font1]",       "[/font1]", "[font2]", "[/font2]", "[font3]",
    "[/font3]", "[customfont]", "[/customfont]", "[eac]",    "[gt1]",   "[/gt1]",   "[gt2]",
    "[/gt2]",   "[gt3]",        "[/gt3]",        "[gt4]",    "[/gt4]",  "[gt5]",    "[/gt5]",
};
constexpr std::string_view CyrillicCutTag = "[отрезка]";

std::string Utf8(char32_t c) {
    std::string bytes;
    if (c < 0x80) {
        bytes += static_cast<char>(c);
    } else if (c < 0x800) {
        bytes += static_cast<char>(0xC0 | (c >> 6));
        bytes += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        bytes += static_cast<char>(0xE0 | (c >> 12));
        bytes += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        bytes += static_cast<char>(0x80 | (c & 0x3F));
    }
    return bytes;
}

// The characters of a tag as written (ASCII and the Cyrillic letters of "[отрезка]", all below U+0800).
std::u32string Decode(std::string_view utf8) {
    std::u32string characters;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80) {
            characters += lead;
            ++i;
        } else {
            characters +=
                static_cast<char32_t>((lead & 0x1F) << 6 | (static_cast<unsigned char>(utf8[i + 1]) & 0x3F));
            i += 2;
        }
    }
    return characters;
}

// Every UTF-8 form a lower-case letter of a tag takes when case is ignored. Besides the upper-case letter,
// Unicode pairs "s" with the long s and three Cyrillic letters with their old narrow and tall forms.
std::vector<std::string> FormsOf(char32_t lower) {
    std::vector<std::string> forms{Utf8(lower)};
    if (lower >= U'a' && lower <= U'z')
        forms.push_back(Utf8(lower - 0x20));
    else if (lower >= U'а' && lower <= U'я')
        forms.push_back(Utf8(lower - 0x20));
    if (lower == U's')
        forms.push_back(Utf8(U'ſ'));
    else if (lower == U'о')
        forms.push_back(Utf8(U'\u1C82'));
    else if (lower == U'т') {
        forms.push_back(Utf8(U'\u1C84'));
        forms.push_back(Utf8(U'\u1C85'));
    }
    return forms;
}

// One written form of a tag: per character the byte strings it matches. The forms of one character are
// distinct UTF-8 characters, so at most one of them starts at any position.
using TagForm = std::vector<std::vector<std::string>>;

TagForm FormOf(std::string_view tag) {
    TagForm form;
    for (const char32_t c : Decode(tag))
        form.push_back(FormsOf(c));
    return form;
}

class TagTable {
public:
    TagTable() {
        for (std::size_t i = 0; i < MarkupPatternCount; ++i)
            forms_[i].push_back(FormOf(Tags[i]));
        forms_[CutPatternIndex].push_back(FormOf(CyrillicCutTag));
    }
    const std::vector<TagForm>& Forms(std::size_t index) const { return forms_[index]; }

private:
    std::array<std::vector<TagForm>, MarkupPatternCount> forms_;
};

const TagTable& Table() {
    static const TagTable table;
    return table;
}

std::size_t CheckedIndex(std::size_t index) {
    if (index >= MarkupPatternCount)
        throw std::out_of_range("Markup pattern index out of range");
    return index;
}

// The end of the form when it occurs at position, otherwise npos.
std::size_t MatchAt(const TagForm& form, std::string_view text, std::size_t position) {
    for (const std::vector<std::string>& character : form) {
        bool matched = false;
        for (const std::string& bytes : character) {
            if (text.compare(position, bytes.size(), bytes) == 0) {
                position += bytes.size();
                matched = true;
                break;
            }
        }
        if (!matched)
            return std::string_view::npos;
    }
    return position;
}

struct Match {
    std::size_t Begin = 0, End = 0;
};

// The leftmost occurrence of the tag at or after start; the first form that matches there wins.
std::optional<Match> FindTag(std::size_t index, std::string_view text, std::size_t start) {
    const std::vector<TagForm>& forms = Table().Forms(index);
    while (start < text.size()) {
        const void* bracket = std::memchr(text.data() + start, '[', text.size() - start);
        if (bracket == nullptr)
            return std::nullopt;
        const auto position = static_cast<std::size_t>(static_cast<const char*>(bracket) - text.data());
        for (const TagForm& form : forms) {
            if (const std::size_t end = MatchAt(form, text, position); end != std::string_view::npos)
                return Match{position, end};
        }
        start = position + 1;
    }
    return std::nullopt;
}

bool MayHoldTag(std::string_view text) {
    return text.find('[') != std::string_view::npos;
}

// The text with every occurrence of the tag cut out, and the pieces between them; one piece when the tag
// does not occur.
std::vector<std::string_view> SplitAtTag(std::size_t index, std::string_view text) {
    std::vector<std::string_view> parts;
    std::size_t from = 0;
    while (const std::optional<Match> found = FindTag(index, text, from)) {
        parts.push_back(text.substr(from, found->Begin - from));
        // Every tag is at least three characters long, so a match always moves on.
        from = found->End;
    }
    parts.push_back(text.substr(from));
    return parts;
}

// A graphic-text tag at position: "[", slashes (none for an opening tag, one or more for a closing one),
// "gt" in any case, a digit 1 to 5 and "]". The digit and the end, or nothing.
std::optional<std::pair<int, std::size_t>> GraphicTextTagAt(std::string_view text, std::size_t position,
                                                            bool closing) {
    std::size_t i = position + 1;
    if (closing) {
        const std::size_t slashes = i;
        while (i < text.size() && text[i] == '/')
            ++i;
        if (i == slashes)
            return std::nullopt;
    }
    if (i + 4 > text.size() || (text[i] != 'g' && text[i] != 'G') ||
        (text[i + 1] != 't' && text[i + 1] != 'T') || text[i + 2] < '1' || text[i + 2] > '5' ||
        text[i + 3] != ']')
        return std::nullopt;
    return std::pair{text[i + 2] - '0', i + 4};
}

std::optional<std::pair<Match, int>> FindGraphicTextTag(std::string_view text, bool closing) {
    for (std::size_t position = text.find('['); position != std::string_view::npos;
         position = text.find('[', position + 1)) {
        if (const auto tag = GraphicTextTagAt(text, position, closing))
            return std::pair{Match{position, tag->second}, tag->first};
    }
    return std::nullopt;
}

} // namespace

std::string_view MarkupTag(std::size_t index) {
    return Tags[CheckedIndex(index)];
}

bool MarkupMatches(std::size_t index, std::string_view text) {
    CheckedIndex(index);
    return MayHoldTag(text) && FindTag(index, text, 0).has_value();
}

std::string MarkupReplace(std::size_t index, std::string_view text, std::string_view replacement) {
    CheckedIndex(index);
    if (!MayHoldTag(text))
        return std::string(text);
    const std::vector<std::string_view> parts = SplitAtTag(index, text);
    std::string result(parts.front());
    for (std::size_t i = 1; i < parts.size(); ++i) {
        result.append(replacement);
        result.append(parts[i]);
    }
    return result;
}

bool HasTag(std::string_view text) {
    if (!MayHoldTag(text))
        return false;
    for (std::size_t i = 0; i < MarkupPatternCount; ++i) {
        if (FindTag(i, text, 0))
            return true;
    }
    return false;
}

std::string StripTags(std::string_view text) {
    std::string result(text);
    for (std::size_t i = 0; i < MarkupPatternCount && MayHoldTag(result); ++i) {
        if (i != EACPatternIndex)
            result = MarkupReplace(i, result, {});
    }
    return result;
}

std::vector<MarkupPiece> ReplaceTags(std::string_view text, const TagCodes& codes) {
    std::vector<MarkupPiece> pieces;
    if (!text.empty())
        pieces.push_back({std::string(text), false});
    for (std::size_t i = 0; i < MarkupPatternCount; ++i) {
        if (!codes[i])
            continue;
        const std::string_view code = *codes[i];
        std::vector<MarkupPiece> next;
        for (MarkupPiece& piece : pieces) {
            if (piece.IsCode || !MayHoldTag(piece.Text)) {
                next.push_back(std::move(piece));
                continue;
            }
            const std::vector<std::string_view> parts = SplitAtTag(i, piece.Text);
            if (parts.size() == 1) {
                next.push_back(std::move(piece));
                continue;
            }
            if (code.empty()) {
                std::string joined;
                for (const std::string_view part : parts)
                    joined.append(part);
                if (!joined.empty())
                    next.push_back({std::move(joined), false});
                continue;
            }
            for (std::size_t p = 0; p < parts.size(); ++p) {
                if (p > 0)
                    next.push_back({std::string(code), true});
                if (!parts[p].empty())
                    next.push_back({std::string(parts[p]), false});
            }
        }
        pieces = std::move(next);
    }
    return pieces;
}

std::optional<GraphicTextBlock> FindGraphicTextBlock(std::string_view line) {
    const auto opening = FindGraphicTextTag(line, false);
    if (!opening)
        return std::nullopt;
    const auto closing = FindGraphicTextTag(line, true);
    if (!closing)
        return std::nullopt;
    GraphicTextBlock block;
    block.Style = opening->second;
    if (closing->first.Begin > opening->first.End)
        block.Text = std::string(line.substr(opening->first.End, closing->first.Begin - opening->first.End));
    return block;
}

} // namespace veltrano::output
