// Graphic text: a text in a chosen font, size and style drawn black on white at the printer's resolution,
// with the word wrapping, alignment and ellipsis of a text block.
#pragma once

#include "output/picture/bitmap.h"

#include <string>
#include <string_view>

namespace veltrano::output {

// Printer geometry: 8 dots per millimetre, font sizes in points rendered at 203 dots per inch.
inline constexpr int DotsPerMm = 8;
inline constexpr int PrinterDpi = 203;

struct TextStyle {
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool Strikeout = false;

    bool operator==(const TextStyle&) const = default;
};

// Style words separated by spaces: "bold", "italic", "underline", "strikeout" in any case; others are
// ignored.
TextStyle ParseTextStyle(std::string_view words);

enum class HorizontalAlign { Left, Center, Right };
enum class VerticalAlign { Top, Center, Bottom };

// A word containing "center" centres, "right" (horizontal) or "bottom" (vertical) aligns to that side,
// anything else to the left or the top; case does not matter.
HorizontalAlign ParseHorizontalAlign(std::string_view word);
VerticalAlign ParseVerticalAlign(std::string_view word);

// One text-to-picture job.
struct GraphicText {
    std::string Data;  // UTF-8; CR, LF and CR LF break lines
    double Width = 0;  // millimetres
    double Height = 0; // millimetres; 0 makes the picture as tall as the text needs
    std::string FontName = "Tahoma";
    int FontSize = 8; // points
    TextStyle Style;
    HorizontalAlign Horizontal = HorizontalAlign::Left;
    VerticalAlign Vertical = VerticalAlign::Top;
};

// The picture: round(Width × 8) dots wide. Words wrap at spaces; a word wider than the picture is cut and
// ends in "…"; with a fixed height, lines that do not fit whole are left out. An unknown font name draws in a
// default face; an empty text, or no usable font installed at all, gives an empty picture.
Bitmap RenderGraphicText(const GraphicText& job);

// The same from the words of a graphic-text block: an empty font name keeps the default font, a size of 0 or
// less the default size.
Bitmap GetGraphicText(std::string_view text, double widthMm, int fontSize, std::string_view fontName,
                      std::string_view fontStyle, std::string_view horizontal, std::string_view vertical);

} // namespace veltrano::output
