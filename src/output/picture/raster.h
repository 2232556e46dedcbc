// Fitting bitmaps to a size and turning them into ESC/POS bit-image commands.
#pragma once

#include "output/picture/bitmap.h"

#include <string>

namespace veltrano::output {

// Scales the bitmap in place to the largest size inside width × height with its proportions kept (sizes
// rounded down). An empty bitmap stays empty; a box without area empties the bitmap.
void RecalculateBitmap(Bitmap& bitmap, int width, int height);

// Stretches the bitmap in place to exactly width × height. An empty bitmap stays empty.
void ResizeBitmap(Bitmap& bitmap, int width, int height);

// ESC "3" 24, then one ESC "*" 33 nL nH band per 24 rows (three bytes per column, the top dot in the most
// significant bit, rows below the picture white) ended by CR LF, then ESC "3" 30. The left margin is that
// many white columns before the picture in every band.
std::string RenderBitmap(const Bitmap& bitmap, int leftMargin);

} // namespace veltrano::output
