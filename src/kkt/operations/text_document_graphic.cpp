#include "kkt/operations/text_document_graphic.h"

#include "kkt/device_instance.h"

#include <pcre2.h>

#include <cstdint>
#include <memory>
#include <stdexcept>

namespace veltrano::kkt {
namespace {

struct CodeDeleter {
    void operator()(pcre2_code* code) const { pcre2_code_free(code); }
};
struct MatchDataDeleter {
    void operator()(pcre2_match_data* data) const { pcre2_match_data_free(data); }
};
using CodePtr = std::unique_ptr<pcre2_code, CodeDeleter>;

CodePtr Compile(std::string_view pattern) {
    // Bytes that are no UTF-8 must not make a search fail: they simply never match.
    constexpr std::uint32_t options = PCRE2_UTF | PCRE2_CASELESS | PCRE2_MATCH_INVALID_UTF;
    int error = 0;
    PCRE2_SIZE offset = 0;
    CodePtr code(pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(), options, &error,
                               &offset, nullptr));
    if (!code)
        throw std::logic_error("Graphic text pattern " + std::string(pattern) + " does not compile");
    return code;
}

const pcre2_code& OpeningTag() {
    static const CodePtr code = Compile(R"(\[gt[1-5]\])");
    return *code;
}

const pcre2_code& ClosingTag() {
    static const CodePtr code = Compile(R"(\[/+gt[1-5]\])");
    return *code;
}

struct Match {
    std::size_t Start;
    std::size_t End;
};

std::optional<Match> FirstMatch(const pcre2_code& code, std::string_view text) {
    std::unique_ptr<pcre2_match_data, MatchDataDeleter> data(
        pcre2_match_data_create_from_pattern(&code, nullptr));
    if (!data)
        throw std::bad_alloc();
    const int found =
        pcre2_match(&code, reinterpret_cast<PCRE2_SPTR>(text.data()), text.size(), 0, 0, data.get(), nullptr);
    if (found < 0)
        return std::nullopt;
    const PCRE2_SIZE* offsets = pcre2_get_ovector_pointer(data.get());
    return Match{offsets[0], offsets[1]};
}

} // namespace

std::optional<GraphicTextBlock> FindGraphicTextBlock(std::string_view line) {
    const std::optional<Match> opening = FirstMatch(OpeningTag(), line);
    if (!opening)
        return std::nullopt;
    const std::optional<Match> closing = FirstMatch(ClosingTag(), line);
    if (!closing)
        return std::nullopt;
    GraphicTextBlock block;
    // The opening tag is "[gtN]": its digit is the one before the closing bracket.
    block.Style = line[opening->End - 2] - '0';
    if (closing->Start > opening->End)
        block.Text = std::string(line.substr(opening->End, closing->Start - opening->End));
    return block;
}

output::PrintObjectPtr GraphicTextDescriptor(const DeviceInstance& instance, const GraphicTextBlock& block) {
    const DeviceInstance::TextStyle style = instance.GraphicTextStyle(block.Style);
    auto descriptor = output::MakePrintObject(output::KindGraphicText, block.Text);
    descriptor->FontName = style.FontName;
    descriptor->FontSize = style.FontSize;
    descriptor->FontStyle = style.FontStyle;
    return descriptor;
}

} // namespace veltrano::kkt
