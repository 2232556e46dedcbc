#include "output/picture/graphic_text.h"

#include "common/text.h"
#include "output/picture/font_cache.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace veltrano::output {
namespace {

constexpr char32_t Ellipsis = U'\u2026';
// Bounds that keep a mistyped setting from asking for gigabytes: the widest raster line the printer command
// can describe, and glyphs of about 350 points at the printer's resolution.
constexpr int MaxDots = 65535;
constexpr int MaxPixelSize = 1000;

bool IsBreak(char32_t c) {
    return c == U'\r' || c == U'\n';
}

bool IsSpace(char32_t c) {
    return c == U' ';
}

// Tabs read as spaces; other control characters draw nothing.
std::u32string DrawableCharacters(std::string_view utf8) {
    std::u32string characters = Characters(utf8);
    std::u32string result;
    result.reserve(characters.size());
    for (char32_t c : characters) {
        if (c == U'\t')
            result += U' ';
        else if (IsBreak(c) || (c >= 0x20 && c != 0x7F))
            result += c;
    }
    return result;
}

int Dots(double millimetres) {
    if (!(millimetres > 0))
        return 0;
    return static_cast<int>(std::nearbyint(std::min(millimetres * DotsPerMm, static_cast<double>(MaxDots))));
}

// One line of the picture: characters [First, Last) of the text, perhaps followed by an ellipsis.
struct Line {
    std::size_t First = 0;
    std::size_t Last = 0;
    bool Ellipsis = false;
    int Width = 0;
};

// Greedy word wrapping: each word is measured at most twice, so long texts take linear time.
class LineBreaker {
public:
    LineBreaker(const std::u32string& characters, Font& font, int width)
        : characters_(characters), font_(font), width_(width),
          ellipsisWidth_(font.GlyphOf(Ellipsis).Advance) {}

    std::vector<Line> Break() {
        const std::size_t n = characters_.size();
        std::size_t start = 0;
        while (start < n) {
            std::size_t end = start;
            while (end < n && !IsBreak(characters_[end]))
                ++end;
            BreakParagraph(start, end);
            if (end < n)
                end += characters_[end] == U'\r' && end + 1 < n && characters_[end + 1] == U'\n' ? 2 : 1;
            start = end;
        }
        return std::move(lines_);
    }

private:
    int Advance(char32_t c) { return font_.GlyphOf(c).Advance; }

    // Moves pos over a run of spaces (or of non-spaces) and adds the run's width.
    void Skip(std::size_t& pos, std::size_t end, bool spaces, int& width) {
        while (pos < end && IsSpace(characters_[pos]) == spaces)
            width += Advance(characters_[pos++]);
    }

    void BreakParagraph(std::size_t pos, const std::size_t end) {
        if (pos == end) {
            lines_.push_back(Line{pos, pos, false, 0});
            return;
        }
        bool first = true;
        while (pos < end) {
            // Spaces where a line wraps are not drawn; the paragraph's leading spaces are.
            if (!first) {
                while (pos < end && IsSpace(characters_[pos]))
                    ++pos;
                if (pos == end)
                    return;
            }
            first = false;
            Line line{pos, pos, false, 0};
            std::size_t wordEnd = pos;
            Skip(wordEnd, end, true, line.Width);
            const std::size_t wordStart = wordEnd;
            Skip(wordEnd, end, false, line.Width);
            if (wordStart == wordEnd) {
                // Only spaces are left: a blank line.
                lines_.push_back(Line{pos, pos, false, 0});
                return;
            }
            if (line.Width > width_) {
                lines_.push_back(CutWithEllipsis(pos, wordEnd));
                pos = wordEnd;
                continue;
            }
            line.Last = wordEnd;
            pos = wordEnd;
            while (pos < end) {
                std::size_t next = pos;
                int extra = 0;
                Skip(next, end, true, extra);
                if (next == end) {
                    lines_.push_back(line);
                    return;
                }
                Skip(next, end, false, extra);
                if (line.Width + extra > width_)
                    break;
                line.Width += extra;
                line.Last = next;
                pos = next;
            }
            lines_.push_back(line);
        }
    }

    // As many characters of a too wide word as fit before the ellipsis; the rest of the word is not drawn.
    Line CutWithEllipsis(std::size_t first, std::size_t last) {
        const int room = width_ - ellipsisWidth_;
        Line line{first, first, true, 0};
        while (line.Last < last) {
            const int advance = Advance(characters_[line.Last]);
            if (line.Width + advance > room)
                break;
            line.Width += advance;
            ++line.Last;
        }
        line.Width += ellipsisWidth_;
        return line;
    }

    const std::u32string& characters_;
    Font& font_;
    const int width_;
    const int ellipsisWidth_;
    std::vector<Line> lines_;
};

} // namespace

TextStyle ParseTextStyle(std::string_view words) {
    TextStyle style;
    while (!words.empty()) {
        const std::size_t space = words.find(' ');
        const std::string_view word = words.substr(0, space);
        words = space == std::string_view::npos ? std::string_view{} : words.substr(space + 1);
        if (text::EqualsNoCase(word, "bold"))
            style.Bold = true;
        else if (text::EqualsNoCase(word, "italic"))
            style.Italic = true;
        else if (text::EqualsNoCase(word, "underline"))
            style.Underline = true;
        else if (text::EqualsNoCase(word, "strikeout"))
            style.Strikeout = true;
    }
    return style;
}

HorizontalAlign ParseHorizontalAlign(std::string_view word) {
    const std::string lower = text::ToLower(word);
    if (lower.find("center") != std::string::npos)
        return HorizontalAlign::Center;
    if (lower.find("right") != std::string::npos)
        return HorizontalAlign::Right;
    return HorizontalAlign::Left;
}

VerticalAlign ParseVerticalAlign(std::string_view word) {
    const std::string lower = text::ToLower(word);
    if (lower.find("center") != std::string::npos)
        return VerticalAlign::Center;
    if (lower.find("bottom") != std::string::npos)
        return VerticalAlign::Bottom;
    return VerticalAlign::Top;
}

Bitmap RenderGraphicText(const GraphicText& job) {
    const int width = Dots(job.Width);
    if (width == 0)
        return {};
    const std::u32string characters = DrawableCharacters(job.Data);

    FontLock fonts;
    Font* font =
        fonts.Find(FontRequest{job.FontName, job.Style.Bold, job.Style.Italic,
                               std::clamp(PixelsFromPoints(job.FontSize, PrinterDpi), 1, MaxPixelSize)});
    if (font == nullptr)
        return {};
    const std::vector<Line> lines = LineBreaker(characters, *font, width).Break();

    const int lineHeight = font->LineHeight();
    const int textHeight =
        static_cast<int>(std::min<std::size_t>(lines.size(), MaxDots / std::max(lineHeight, 1))) * lineHeight;
    const int height = job.Height > 0 ? Dots(job.Height) : textHeight;
    Bitmap picture(width, height);
    if (picture.Empty())
        return picture;

    int top = 0;
    if (job.Vertical == VerticalAlign::Center)
        top = (height - textHeight) / 2;
    else if (job.Vertical == VerticalAlign::Bottom)
        top = height - textHeight;
    for (std::size_t k = 0; k < lines.size(); ++k) {
        const int y = top + static_cast<int>(k) * lineHeight;
        // A line that the picture shows only in part is left out.
        if (y < 0)
            continue;
        if (y + lineHeight > height)
            break;
        const Line& line = lines[k];
        int x = 0;
        if (job.Horizontal == HorizontalAlign::Center)
            x = (width - line.Width) / 2;
        else if (job.Horizontal == HorizontalAlign::Right)
            x = width - line.Width;
        const int baseline = y + font->Ascent();
        int end = DrawGlyphs(picture, *font, x, baseline,
                             std::u32string_view(characters).substr(line.First, line.Last - line.First));
        if (line.Ellipsis)
            end = DrawGlyphs(picture, *font, end, baseline, std::u32string_view(&Ellipsis, 1));
        const int thickness = font->LineThickness();
        if (job.Style.Underline)
            picture.Fill(x, baseline + font->UnderlineOffset(), end,
                         baseline + font->UnderlineOffset() + thickness, true);
        if (job.Style.Strikeout)
            picture.Fill(x, baseline - font->StrikeoutOffset(), end,
                         baseline - font->StrikeoutOffset() + thickness, true);
    }
    return picture;
}

Bitmap GetGraphicText(std::string_view text, double widthMm, int fontSize, std::string_view fontName,
                      std::string_view fontStyle, std::string_view horizontal, std::string_view vertical) {
    GraphicText job;
    job.Data = std::string(text);
    job.Width = widthMm;
    if (!fontName.empty())
        job.FontName = std::string(fontName);
    if (fontSize > 0)
        job.FontSize = fontSize;
    job.Style = ParseTextStyle(fontStyle);
    job.Horizontal = ParseHorizontalAlign(horizontal);
    job.Vertical = ParseVerticalAlign(vertical);
    return RenderGraphicText(job);
}

} // namespace veltrano::output
