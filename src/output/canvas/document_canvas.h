// The document canvas: a document copy drawn as the preview window shows it. The picture is as wide as one
// receipt line of "Courier New" at 8 points on the screen and grows downwards item by item: a cell per text
// line, then bands for graphic text, barcodes, QR codes and the EAC logo. Nothing here needs a display.
#pragma once

#include "common/window_protocol.h"
#include "output/picture/bitmap.h"
#include "output/picture/monospace_text.h"
#include "output/print_object.h"

#include <cstddef>

namespace veltrano::output {

// The screen the canvas is drawn for: fonts in points become pixels at this resolution, and barcode modules
// are one pixel wide.
inline constexpr int CanvasDpi = 96;
inline constexpr int CanvasFontPoints = 8;
// Band heights and sizes in pixels.
inline constexpr int CanvasBarcodeBand = 40;
inline constexpr int CanvasQrBand = 100;
inline constexpr int CanvasLogoBox = 20;
// Graphic text is drawn 80 millimetres (640 dots) wide and then scaled to the line width.
inline constexpr double CanvasGraphicTextWidthMm = 80;

struct CanvasDrawing {
    // One bit per pixel, ready for the window program.
    window_protocol::Picture Picture;
    // Items not drawn because the picture had reached MaxHeight(); 0 for a whole document.
    std::size_t ItemsLeftOut = 0;
};

class DocumentCanvas {
public:
    explicit DocumentCanvas(std::size_t lineLen);

    std::size_t LineLen() const { return lineLen_; }
    // Width of "W" in the font: every character's cell.
    int SymbWidth() const { return font_.CellWidth(); }
    // A text line's cell: the font's height and one pixel.
    int SymbHeight() const { return font_.TextHeight() + 1; }
    // The picture's width: SymbWidth × LineLen, no wider than the window program accepts.
    int LineWidth() const { return lineWidth_; }
    // The tallest picture one preview message can carry at this width.
    int MaxHeight() const { return maxHeight_; }

    // The copy drawn from the top: text lines left and top in their cells, wrapped at spaces with only the
    // first line drawn; graphic text scaled to the full width; barcodes centred; the logo fitted into
    // 20 × 20 and centred; QR codes in a centred 100-pixel square.
    CanvasDrawing Draw(const ReceiptEntries& copy) const;

private:
    Bitmap TextBand(const std::string& text) const;
    Bitmap GraphicTextBand(const ReceiptEntry& entry) const;
    Bitmap BarcodeBand(const ReceiptEntry& entry) const;
    Bitmap LogoBand() const;
    Bitmap QrBand(const ReceiptEntry& entry) const;

    std::size_t lineLen_;
    MonospaceText font_;
    int lineWidth_;
    int maxHeight_;
};

// Of a text line, what a cell LineLen characters wide shows: the text up to its first line break, and when
// that is longer than the cell, the words that fit (a first word longer than the cell is cut at its edge).
std::u32string VisibleLinePart(std::u32string_view text, std::size_t lineLen);

} // namespace veltrano::output
