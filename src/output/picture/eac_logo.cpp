#include "output/picture/eac_logo.h"

#include "output/picture/graphic_text.h"

#include <algorithm>
#include <cstdint>

namespace veltrano::output {
namespace {

// Letter cells of 28 × 32 dots, 6 dots apart, strokes 6 dots thick.
constexpr int Cell = 28, Gap = 6, Tall = 32, Stroke = 6;

void Bar(Bitmap& logo, int cellLeft, int x0, int y0, int x1, int y1) {
    logo.Fill(cellLeft + x0, y0, cellLeft + x1, y1, true);
}

// Half of a non-negative count, halves to the even neighbour.
int HalfToEven(int n) {
    const int half = n / 2;
    return n % 2 != 0 && half % 2 != 0 ? half + 1 : half;
}

} // namespace

Bitmap EacLogo() {
    Bitmap logo(3 * Cell + 2 * Gap, Tall);
    const int middle = (Tall - Stroke) / 2;
    // E: a stem with three full bars.
    int left = 0;
    Bar(logo, left, 0, 0, Stroke, Tall);
    Bar(logo, left, 0, 0, Cell, Stroke);
    Bar(logo, left, 0, middle, Cell, middle + Stroke);
    Bar(logo, left, 0, Tall - Stroke, Cell, Tall);
    // A: two stems under a roof, with a cross bar.
    left += Cell + Gap;
    Bar(logo, left, 0, 0, Stroke, Tall);
    Bar(logo, left, Cell - Stroke, 0, Cell, Tall);
    Bar(logo, left, 0, 0, Cell, Stroke);
    Bar(logo, left, 0, middle, Cell, middle + Stroke);
    // C: a stem with the top and bottom bars.
    left += Cell + Gap;
    Bar(logo, left, 0, 0, Stroke, Tall);
    Bar(logo, left, 0, 0, Cell, Stroke);
    Bar(logo, left, 0, Tall - Stroke, Cell, Tall);
    return logo;
}

Bitmap FitKeepingProportions(const Bitmap& picture, int width, int height) {
    if (picture.Empty() || width <= 0 || height <= 0)
        return {};
    const std::int64_t w = picture.Width(), h = picture.Height();
    if (w * height > h * width)
        return Stretch(picture, width, static_cast<int>(width * h / w));
    return Stretch(picture, static_cast<int>(height * w / h), height);
}

PlacedLogo PlaceEacLogo(const Bitmap& logo, int eacSize, int eacAlignment, int ribbonWidth) {
    PlacedLogo placed;
    placed.Logo = FitKeepingProportions(logo, eacSize * 16 + 32, logo.Height());
    if (placed.Logo.Empty())
        return placed;
    const int room = std::max(0, ribbonWidth * DotsPerMm - placed.Logo.Width());
    if (eacAlignment == 1)
        placed.Margin = HalfToEven(room);
    else if (eacAlignment == 2)
        placed.Margin = room;
    return placed;
}

} // namespace veltrano::output
