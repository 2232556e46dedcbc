#include "output/picture/monospace_text.h"

#include "output/picture/font_cache.h"

#include <algorithm>

namespace veltrano::output {
namespace {

FontRequest CourierNew(int pixelSize) {
    return FontRequest{"Courier New", false, false, pixelSize};
}

} // namespace

MonospaceText::MonospaceText(int pixelSize) : pixelSize_(std::clamp(pixelSize, 1, 1000)) {
    FontLock fonts;
    if (Font* font = fonts.Find(CourierNew(pixelSize_))) {
        cellWidth_ = std::max(1, font->GlyphOf(U'W').Advance);
        textHeight_ = std::max(1, font->LineHeight());
        ascent_ = font->Ascent();
    } else {
        // No font installed: Courier's proportions keep the canvas laid out, with nothing drawn in it.
        cellWidth_ = std::max(1, pixelSize_ * 3 / 5);
        textHeight_ = std::max(1, pixelSize_ * 17 / 15);
        ascent_ = textHeight_ * 4 / 5;
    }
}

void MonospaceText::Draw(Bitmap& target, int x, int y, std::string_view utf8) const {
    FontLock fonts;
    Font* font = fonts.Find(CourierNew(pixelSize_));
    if (font == nullptr)
        return;
    const std::u32string characters = Characters(utf8);
    for (std::size_t i = 0; i < characters.size(); ++i) {
        const int cellLeft = x + static_cast<int>(i) * cellWidth_;
        if (cellLeft >= target.Width())
            break;
        if (characters[i] >= 0x20 && characters[i] != 0x7F)
            DrawGlyphs(target, *font, cellLeft, y + ascent_, std::u32string_view(&characters[i], 1));
    }
}

} // namespace veltrano::output
