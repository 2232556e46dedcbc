// Barcodes and QR codes printed as raster pictures across the paper instead of as printer barcode commands.
#pragma once

#include "output/picture/barcode.h"
#include "output/picture/bitmap.h"

#include <functional>
#include <string>
#include <string_view>

namespace veltrano::output {

// The device settings that shape the picture.
struct BarcodePictureSettings {
    int RibbonWidth = 78; // paper width in millimetres, 8 dots each
    int BarcodeHeight = 60;
    int BarcodeSize = 3; // 1 to 6: the smaller the drawing width, the wider the bars after the stretch
    int QRSize = 6;      // the QR square is QRSize × 40 dots
};

// Buffer entry kinds that are drawn as barcode pictures.
enum BarcodePictureKind { QrCodeKind = 0, Ean13Kind = 1, Ean8Kind = 2, Code39Kind = 3 };

// Writes text centred in a box of the picture; supplied by whoever renders text.
using PictureTextWriter = std::function<void(Bitmap& picture, const PictureBox& box, std::string_view text)>;

struct BarcodePicture {
    Bitmap Picture;
    // The linear barcode's data cannot be encoded: instead of bars the picture carries BarcodeErrorText,
    // written by the text writer when one was given.
    bool BadData = false;
};

// The picture of a QR code (kind 0) or a linear barcode (1 EAN-13, 2 EAN-8, 3 Code 39), RibbonWidth × 8 dots
// wide. A QR text too long for any symbol, other kinds, and sizes without area or beyond the 65535 dots the
// bit-image command can address give an empty picture. A linear barcode is drawn at the painter's screen
// resolution of 96 dpi and then stretched to the paper width; the error text, if any, is written before the
// stretch.
BarcodePicture DrawBarcodePicture(std::string_view data, int kind, const BarcodePictureSettings& settings,
                                  const PictureTextWriter& writeText = {});

// The picture as ESC/POS raster commands with no margin; empty when there is no picture.
std::string BarcodePictureRaster(std::string_view data, int kind, const BarcodePictureSettings& settings,
                                 const PictureTextWriter& writeText = {});

} // namespace veltrano::output
