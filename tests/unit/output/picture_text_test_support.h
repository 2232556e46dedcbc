// Shared pieces of the text picture tests: the ink's bounding box of a picture.
#pragma once

#include "output/picture/bitmap.h"

namespace veltrano::output::test {

// The smallest rectangle [Left, Right) × [Top, Bottom) holding every black pixel; all zero when there is
// none.
struct InkBox {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    bool Empty() const { return Right <= Left; }
};

InkBox InkOf(const Bitmap& picture);
int BlackCount(const Bitmap& picture);

} // namespace veltrano::output::test
