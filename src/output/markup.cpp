#include "output/markup.h"

#include <pcre2.h>

#include <array>
#include <cstdint>
#include <memory>
#include <stdexcept>

namespace veltrano::output {
namespace {

constexpr std::array<std::string_view, MarkupPatternCount> Patterns = {
    R"(\[b\])",
    R"(\[\/b\])",
    R"(\[i\])",
    R"(\[\/i\])",
    R"(\[u\])",
    R"(\[\/u\])",
    R"(\[cut\]|\[отрезка\])",
    R"(\[invert\])",
    R"(\[\/invert\])",
    R"(\[font1\])",
    R"(\[\/font1\])",
    R"(\[font2\])",
    R"(\[\/font2\])",
    R"(\[font3\])",
    R"(\[\/font3\])",
    R"(\[customfont\])",
    R"(\[\/customfont\])",
    R"(\[eac\])",
    R"(\[gt1\])",
    R"(\[\/gt1\])",
    R"(\[gt2\])",
    R"(\[\/gt2\])",
    R"(\[gt3\])",
    R"(\[\/gt3\])",
    R"(\[gt4\])",
    R"(\[\/gt4\])",
    R"(\[gt5\])",
    R"(\[\/gt5\])",
};

struct CodeDeleter {
    void operator()(pcre2_code* code) const { pcre2_code_free(code); }
};
struct MatchDataDeleter {
    void operator()(pcre2_match_data* data) const { pcre2_match_data_free(data); }
};
using CodePtr = std::unique_ptr<pcre2_code, CodeDeleter>;
using MatchDataPtr = std::unique_ptr<pcre2_match_data, MatchDataDeleter>;

class CompiledPatterns {
public:
    CompiledPatterns() {
        // Invalid UTF-8 in a line must not make matching fail: such bytes simply never match.
        constexpr std::uint32_t options = PCRE2_UTF | PCRE2_UCP | PCRE2_CASELESS | PCRE2_MATCH_INVALID_UTF;
        for (std::size_t i = 0; i < MarkupPatternCount; ++i) {
            int error = 0;
            PCRE2_SIZE offset = 0;
            codes_[i].reset(pcre2_compile(reinterpret_cast<PCRE2_SPTR>(Patterns[i].data()),
                                          Patterns[i].size(), options, &error, &offset, nullptr));
            if (!codes_[i])
                throw std::logic_error("Markup pattern " + std::string(Patterns[i]) + " does not compile");
        }
    }

    const pcre2_code* Code(std::size_t index) const {
        if (index >= MarkupPatternCount)
            throw std::out_of_range("Markup pattern index out of range");
        return codes_[index].get();
    }

private:
    std::array<CodePtr, MarkupPatternCount> codes_;
};

const CompiledPatterns& Compiled() {
    static const CompiledPatterns patterns;
    return patterns;
}

// Byte range of the first match at or after start; nothing when there is none.
struct MatchRange {
    std::size_t begin = 0, end = 0;
};

bool FindMatch(const pcre2_code* code, pcre2_match_data* data, std::string_view text, std::size_t start,
               MatchRange& range) {
    const int rc =
        pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(text.data()), text.size(), start, 0, data, nullptr);
    if (rc < 0)
        return false;
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data);
    range = {ovector[0], ovector[1]};
    return true;
}

} // namespace

std::string_view MarkupPattern(std::size_t index) {
    if (index >= MarkupPatternCount)
        throw std::out_of_range("Markup pattern index out of range");
    return Patterns[index];
}

bool MarkupMatches(std::size_t index, std::string_view text) {
    const pcre2_code* code = Compiled().Code(index);
    MatchDataPtr data(pcre2_match_data_create_from_pattern(code, nullptr));
    MatchRange range;
    return FindMatch(code, data.get(), text, 0, range);
}

std::string MarkupReplace(std::size_t index, std::string_view text, std::string_view replacement) {
    const pcre2_code* code = Compiled().Code(index);
    MatchDataPtr data(pcre2_match_data_create_from_pattern(code, nullptr));
    std::string result;
    std::size_t start = 0;
    MatchRange range;
    while (start < text.size() && FindMatch(code, data.get(), text, start, range)) {
        result.append(text.substr(start, range.begin - start));
        result.append(replacement);
        // Every tag is at least three characters long, so a match always moves on.
        start = range.end;
    }
    result.append(text.substr(start));
    return result;
}

bool HasTag(std::string_view text) {
    for (std::size_t i = 0; i < MarkupPatternCount; ++i) {
        if (MarkupMatches(i, text))
            return true;
    }
    return false;
}

std::string StripTags(std::string_view text) {
    std::string result(text);
    for (std::size_t i = 0; i < MarkupPatternCount; ++i) {
        if (i != EACPatternIndex)
            result = MarkupReplace(i, result, {});
    }
    return result;
}

} // namespace veltrano::output
