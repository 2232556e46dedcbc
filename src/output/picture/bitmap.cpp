#include "output/picture/bitmap.h"

#include <algorithm>

namespace veltrano::output {

Bitmap::Bitmap(int width, int height) {
    if (width <= 0 || height <= 0)
        return;
    width_ = width;
    height_ = height;
    dots_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
}

void Bitmap::Fill(int x0, int y0, int x1, int y1, bool black) {
    x0 = std::clamp(x0, 0, width_);
    x1 = std::clamp(x1, 0, width_);
    y0 = std::clamp(y0, 0, height_);
    y1 = std::clamp(y1, 0, height_);
    for (int y = y0; y < y1; ++y)
        std::fill(dots_.begin() + static_cast<std::ptrdiff_t>(Index(x0, y)),
                  dots_.begin() + static_cast<std::ptrdiff_t>(Index(x0, y)) + (x1 - x0), black ? 1 : 0);
}

void StretchDraw(Bitmap& target, int x0, int y0, int x1, int y1, const Bitmap& source) {
    const int w = x1 - x0, h = y1 - y0;
    if (w <= 0 || h <= 0 || source.Empty())
        return;
    // Only the part inside the target is drawn; each source column is computed once, not once per row.
    const int left = std::max(x0, 0), right = std::min(x1, target.width_);
    const int top = std::max(y0, 0), bottom = std::min(y1, target.height_);
    if (left >= right || top >= bottom)
        return;
    std::vector<std::size_t> sourceColumn(static_cast<std::size_t>(right - left));
    for (int x = left; x < right; ++x)
        sourceColumn[static_cast<std::size_t>(x - left)] =
            static_cast<std::size_t>((static_cast<std::int64_t>(2 * (x - x0) + 1) * source.Width()) /
                                     (2 * static_cast<std::int64_t>(w)));
    for (int y = top; y < bottom; ++y) {
        const int sy = static_cast<int>((static_cast<std::int64_t>(2 * (y - y0) + 1) * source.Height()) /
                                        (2 * static_cast<std::int64_t>(h)));
        const std::uint8_t* from = source.dots_.data() + source.Index(0, sy);
        std::uint8_t* to = target.dots_.data() + target.Index(left, y);
        for (const std::size_t sx : sourceColumn)
            *to++ = from[sx];
    }
}

Bitmap Stretch(const Bitmap& source, int width, int height) {
    Bitmap result(width, height);
    StretchDraw(result, 0, 0, result.Width(), result.Height(), source);
    return result;
}

} // namespace veltrano::output
