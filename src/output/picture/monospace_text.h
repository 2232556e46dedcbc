// The lines of the document canvas: "Courier New" at one pixel size, every character in a cell of the same
// width, so that a line of the receipt is as wide on the canvas as its number of characters says.
#pragma once

#include "output/picture/bitmap.h"

#include <string_view>

namespace veltrano::output {

class MonospaceText {
public:
    // pixelSize is the em square in pixels (PixelsFromPoints in font_cache.h turns points into it).
    explicit MonospaceText(int pixelSize);

    // Width of "W", the cell of every character.
    int CellWidth() const { return cellWidth_; }
    // Height of a line of text: the font's ascent and descent.
    int TextHeight() const { return textHeight_; }

    // Draws a UTF-8 line in black with its first cell's top-left corner at (x, y); the picture clips.
    void Draw(Bitmap& target, int x, int y, std::string_view utf8) const;

private:
    int pixelSize_;
    int cellWidth_ = 0;
    int textHeight_ = 0;
    int ascent_ = 0;
};

} // namespace veltrano::output
