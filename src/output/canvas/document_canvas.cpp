#include "output/canvas/document_canvas.h"

#include "output/picture/barcode.h"
#include "output/picture/eac_logo.h"
#include "output/picture/font_cache.h"
#include "output/picture/graphic_text.h"
#include "output/picture/qr_picture.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace veltrano::output {
namespace {

namespace protocol = window_protocol;

// Room in a preview message for everything but the picture: the caption, the number and the fields.
constexpr std::size_t MessageAllowance = 1u << 20;

int HeightLimit(int width) {
    const std::size_t rowBytes = (static_cast<std::size_t>(width) + 7) / 8;
    const std::size_t rows = (protocol::MaxFrameBytes - MessageAllowance) / rowBytes;
    return static_cast<int>(std::min<std::size_t>(rows, std::numeric_limits<int>::max()));
}

int LineWidthFor(std::size_t lineLen, int cellWidth) {
    const std::uint64_t width =
        static_cast<std::uint64_t>(std::max<std::size_t>(lineLen, 1)) * static_cast<std::uint64_t>(cellWidth);
    return static_cast<int>(std::min<std::uint64_t>(width, protocol::MaxPictureWidth));
}

Symbology SymbologyOf(int kind) {
    if (kind == KindEAN8)
        return Symbology::Ean8;
    if (kind == KindCode39)
        return Symbology::Code39;
    return Symbology::Ean13;
}

bool IsBreak(char32_t c) {
    return c == U'\r' || c == U'\n';
}

// The characters back as UTF-8 for the text drawer; they came from valid UTF-8 or are U+FFFD.
std::string Utf8Of(std::u32string_view characters) {
    std::string utf8;
    for (const char32_t c : characters) {
        if (c < 0x80) {
            utf8 += static_cast<char>(c);
            continue;
        }
        const int tail = c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
        static constexpr unsigned char lead[] = {0, 0xC0, 0xE0, 0xF0};
        utf8 += static_cast<char>(lead[tail] | (c >> (6 * tail)));
        for (int shift = 6 * (tail - 1); shift >= 0; shift -= 6)
            utf8 += static_cast<char>(0x80 | ((c >> shift) & 0x3F));
    }
    return utf8;
}

} // namespace

std::u32string VisibleLinePart(std::u32string_view text, std::size_t lineLen) {
    const std::size_t lineEnd = std::find_if(text.begin(), text.end(), IsBreak) - text.begin();
    std::u32string_view line = text.substr(0, lineEnd);
    if (line.size() <= lineLen)
        return std::u32string(line);
    // The last space that still lies in the cell (or just past its edge) ends the first wrapped line.
    for (std::size_t i = lineLen; i > 0; --i)
        if (line[i] == U' ')
            return std::u32string(line.substr(0, i));
    return std::u32string(line.substr(0, lineLen));
}

DocumentCanvas::DocumentCanvas(std::size_t lineLen)
    : lineLen_(std::max<std::size_t>(lineLen, 1)), font_(PixelsFromPoints(CanvasFontPoints, CanvasDpi)),
      lineWidth_(LineWidthFor(lineLen_, font_.CellWidth())), maxHeight_(HeightLimit(lineWidth_)) {}

Bitmap DocumentCanvas::TextBand(const std::string& text) const {
    Bitmap band(lineWidth_, SymbHeight());
    const std::u32string visible = VisibleLinePart(Characters(text), lineLen_);
    font_.Draw(band, 0, 0, Utf8Of(visible));
    return band;
}

Bitmap DocumentCanvas::GraphicTextBand(const ReceiptEntry& entry) const {
    const PrintObject& object = *entry.Object;
    const Bitmap picture = GetGraphicText(entry.Text, CanvasGraphicTextWidthMm, object.FontSize,
                                          object.FontName, object.FontStyle, "center", "top");
    if (picture.Empty())
        return {};
    const double height = std::round(static_cast<double>(picture.Height()) * lineWidth_ / picture.Width());
    Bitmap band(lineWidth_, static_cast<int>(std::min<double>(height, maxHeight_)));
    StretchDraw(band, 0, 0, lineWidth_, band.Height(), picture);
    return band;
}

Bitmap DocumentCanvas::BarcodeBand(const ReceiptEntry& entry) const {
    Bitmap band(lineWidth_, CanvasBarcodeBand);
    const BarPattern pattern = EncodeBarcode(SymbologyOf(entry.NumType()), entry.Text);
    const PictureBox box{(lineWidth_ - BarcodeWidth(pattern, CanvasDpi)) / 2, 0, lineWidth_,
                         CanvasBarcodeBand};
    if (!PaintBarcode(band, box, pattern, CanvasDpi)) {
        const PictureBox text = BarcodeErrorTextBox(box);
        const int width = font_.CellWidth() * static_cast<int>(Characters(BarcodeErrorText).size());
        font_.Draw(band, text.X0 + (text.X1 - text.X0 - width) / 2,
                   text.Y0 + (text.Y1 - text.Y0 - font_.TextHeight()) / 2, BarcodeErrorText);
    }
    return band;
}

Bitmap DocumentCanvas::LogoBand() const {
    const Bitmap logo = FitKeepingProportions(EacLogo(), CanvasLogoBox, CanvasLogoBox);
    if (logo.Empty())
        return {};
    Bitmap band(lineWidth_, logo.Height());
    const int x = static_cast<int>(std::lround(lineWidth_ / 2.0 - logo.Width() / 2.0));
    StretchDraw(band, x, 0, x + logo.Width(), logo.Height(), logo);
    return band;
}

Bitmap DocumentCanvas::QrBand(const ReceiptEntry& entry) const {
    Bitmap band(lineWidth_, CanvasQrBand);
    const Bitmap modules = QrModules(entry.Text);
    if (!modules.Empty()) {
        const int x = (lineWidth_ - CanvasQrBand) / 2;
        DrawQrModules(band, {x, 0, lineWidth_ - x, CanvasQrBand}, modules);
    }
    return band;
}

CanvasDrawing DocumentCanvas::Draw(const ReceiptEntries& copy) const {
    CanvasDrawing drawing;
    protocol::Picture& picture = drawing.Picture;
    picture.Width = static_cast<std::uint32_t>(lineWidth_);
    picture.BitsPerPixel = 1;
    for (std::size_t i = 0; i < copy.size(); ++i) {
        const ReceiptEntry& entry = copy[i];
        Bitmap band;
        switch (entry.NumType()) {
        case KindTextLine:
            band = TextBand(entry.Text);
            break;
        case KindGraphicText:
            band = GraphicTextBand(entry);
            break;
        case KindEAN13:
        case KindEAN8:
        case KindCode39:
            band = BarcodeBand(entry);
            break;
        case KindEACLogo:
            band = LogoBand();
            break;
        case KindQRCode:
            band = QrBand(entry);
            break;
        default:
            break;
        }
        if (band.Empty())
            continue;
        if (static_cast<std::int64_t>(picture.Height) + band.Height() > maxHeight_) {
            drawing.ItemsLeftOut = copy.size() - i;
            break;
        }
        // Rows are whole bytes, so the bands' packed rows follow each other.
        const protocol::Picture packed = protocol::PackMonochrome(
            static_cast<std::uint32_t>(band.Width()), static_cast<std::uint32_t>(band.Height()), band.Dots());
        picture.Pixels.insert(picture.Pixels.end(), packed.Pixels.begin(), packed.Pixels.end());
        picture.Height += packed.Height;
    }
    return drawing;
}

} // namespace veltrano::output
