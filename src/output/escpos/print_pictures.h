// The raster pieces of a printed document: graphic-text blocks, the EAC logo and barcodes drawn as pictures,
// each as ESC/POS bit-image commands in the geometry of the device's paper roll.
#pragma once

#include "output/print_object.h"

#include <string>
#include <string_view>

namespace veltrano::output {

// The device settings that size and place the pictures.
struct RasterGeometry {
    int RibbonWidth = 78; // millimetres, 8 dots each
    int EACSize = 2;      // 1..20
    int EACAlignment = 1; // 0 left, 1 centre, 2 right
    int BarcodeHeight = 60;
    int BarcodeSize = 3; // 1..6
    int QRSize = 6;      // 1..12
};

// The block's text in its font, centred in a picture 14 mm narrower than the roll (512 dots on a 78 mm
// roll), without margin. Empty when nothing can be drawn (empty text, no font installed, no width).
std::string GetGraphicText(const PrintObject& descriptor, const RasterGeometry& geometry);

// The EAC logo, no wider than EACSize × 16 + 32 dots, placed by EACAlignment.
std::string GetEACString(const RasterGeometry& geometry);

// A QR code (kind 0) or a linear barcode (1 EAN-13, 2 EAN-8, 3 Code 39) as a picture across the paper;
// linear barcode data that cannot be encoded is drawn as "ОШИБКА!". The alignment has no effect: the picture
// spans the paper. Empty for other kinds and for a QR text longer than the largest symbol holds.
std::string SetBarcodeAsPicture(std::string_view data, int kind, int alignment,
                                const RasterGeometry& geometry);

} // namespace veltrano::output
