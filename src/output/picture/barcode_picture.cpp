#include "output/picture/barcode_picture.h"

#include "output/picture/qr_picture.h"
#include "output/picture/raster.h"
#include "output/picture/rounding.h"

#include <cstdint>

namespace veltrano::output {
namespace {

constexpr int DotsPerMillimetre = 8;
constexpr int ScreenDpi = 96;
// ESC * carries the width in two bytes; settings beyond that in either direction draw nothing.
constexpr std::int64_t MaxDots = 65535;

bool Drawable(std::int64_t width, std::int64_t height) {
    return width > 0 && height > 0 && width <= MaxDots && height <= MaxDots;
}

BarcodePicture QrPicture(std::string_view data, const BarcodePictureSettings& settings) {
    const std::int64_t paperDots = std::int64_t{settings.RibbonWidth} * DotsPerMillimetre;
    const std::int64_t sideDots = std::int64_t{settings.QRSize} * 40;
    if (!Drawable(paperDots, sideDots))
        return {};
    const Bitmap modules = QrModules(data);
    if (modules.Empty())
        return {};
    const int paper = static_cast<int>(paperDots), side = static_cast<int>(sideDots);
    BarcodePicture result{Bitmap(paper, side), false};
    if (side < paper)
        DrawQrModules(result.Picture, {(paper - side) / 2, 0, paper - (paper - side) / 2, side}, modules);
    else
        DrawQrModules(result.Picture, {0, 0, paper, side}, modules);
    return result;
}

BarcodePicture LinearPicture(std::string_view data, Symbology symbology,
                             const BarcodePictureSettings& settings, const PictureTextWriter& writeText) {
    const std::int64_t paperDots = std::int64_t{settings.RibbonWidth} * DotsPerMillimetre;
    // RibbonWidth / 10 × (11 − BarcodeSize) millimetres, rounded to whole millimetres.
    const std::int64_t drawingDots =
        RoundHalfEven(std::int64_t{settings.RibbonWidth} * (11 - std::int64_t{settings.BarcodeSize}), 10) *
        DotsPerMillimetre;
    if (!Drawable(paperDots, 1) || !Drawable(drawingDots, settings.BarcodeHeight) ||
        !Drawable(1, std::int64_t{settings.BarcodeHeight} * paperDots / drawingDots))
        return {};
    const int paper = static_cast<int>(paperDots), drawing = static_cast<int>(drawingDots);
    BarcodePicture result{Bitmap(drawing, settings.BarcodeHeight), false};
    const BarPattern pattern = EncodeBarcode(symbology, data);
    const PictureBox box{(drawing - BarcodeWidth(pattern, ScreenDpi)) / 2, 0, drawing,
                         settings.BarcodeHeight};
    if (!PaintBarcode(result.Picture, box, pattern, ScreenDpi)) {
        result.BadData = true;
        if (writeText)
            writeText(result.Picture, BarcodeErrorTextBox(box), BarcodeErrorText);
    }
    ResizeBitmap(result.Picture, paper,
                 static_cast<int>(std::int64_t{settings.BarcodeHeight} * paper / drawing));
    return result;
}

} // namespace

BarcodePicture DrawBarcodePicture(std::string_view data, int kind, const BarcodePictureSettings& settings,
                                  const PictureTextWriter& writeText) {
    switch (kind) {
    case QrCodeKind:
        return QrPicture(data, settings);
    case Ean13Kind:
        return LinearPicture(data, Symbology::Ean13, settings, writeText);
    case Ean8Kind:
        return LinearPicture(data, Symbology::Ean8, settings, writeText);
    case Code39Kind:
        return LinearPicture(data, Symbology::Code39, settings, writeText);
    default:
        return {};
    }
}

std::string BarcodePictureRaster(std::string_view data, int kind, const BarcodePictureSettings& settings,
                                 const PictureTextWriter& writeText) {
    const BarcodePicture picture = DrawBarcodePicture(data, kind, settings, writeText);
    if (picture.Picture.Empty())
        return {};
    return RenderBitmap(picture.Picture, 0);
}

} // namespace veltrano::output
