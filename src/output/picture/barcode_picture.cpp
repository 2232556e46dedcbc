#include "output/picture/barcode_picture.h"

#include "output/picture/qr_picture.h"
#include "output/picture/raster.h"
#include "output/picture/rounding.h"

#include <cstdint>

namespace veltrano::output {
namespace {

constexpr int DotsPerMillimetre = 8;
constexpr int ScreenDpi = 96;

// RibbonWidth / 10 × (11 − BarcodeSize) millimetres rounded to whole millimetres, in dots.
int DrawingWidth(const BarcodePictureSettings& settings) {
    const std::int64_t tenths =
        std::int64_t{settings.RibbonWidth} * (11 - std::int64_t{settings.BarcodeSize});
    return static_cast<int>(RoundHalfEven(tenths, 10) * DotsPerMillimetre);
}

BarcodePicture QrPicture(std::string_view data, const BarcodePictureSettings& settings) {
    const Bitmap modules = QrModules(data);
    if (modules.Empty())
        return {};
    const int paper = settings.RibbonWidth * DotsPerMillimetre;
    const int side = settings.QRSize * 40;
    BarcodePicture result{Bitmap(paper, side), false};
    if (side < paper)
        DrawQrModules(result.Picture, {(paper - side) / 2, 0, paper - (paper - side) / 2, side}, modules);
    else
        DrawQrModules(result.Picture, {0, 0, paper, side}, modules);
    return result;
}

BarcodePicture LinearPicture(std::string_view data, Symbology symbology,
                             const BarcodePictureSettings& settings, const PictureTextWriter& writeText) {
    const int paper = settings.RibbonWidth * DotsPerMillimetre;
    const int drawing = DrawingWidth(settings);
    BarcodePicture result{Bitmap(drawing, settings.BarcodeHeight), false};
    if (result.Picture.Empty())
        return {};
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
