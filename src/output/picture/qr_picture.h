// QR code pictures: the symbol's modules as a bitmap and the symbol drawn into a rectangle.
#pragma once

#include "output/picture/barcode.h"
#include "output/picture/bitmap.h"

#include <string_view>

namespace veltrano::output {

// One pixel per module, black for dark ones, with a white quiet zone of 4 modules on every side. Error
// correction level L, encoding mode chosen from the text. A text longer than the largest symbol holds gives
// an empty bitmap.
Bitmap QrModules(std::string_view text);

// Fills the box white and stretches the module bitmap over all of it.
void DrawQrModules(Bitmap& target, const PictureBox& box, const Bitmap& modules);

} // namespace veltrano::output
