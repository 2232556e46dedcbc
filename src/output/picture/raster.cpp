#include "output/picture/raster.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace veltrano::output {

void RecalculateBitmap(Bitmap& bitmap, int width, int height) {
    if (bitmap.Empty())
        return;
    if (width <= 0 || height <= 0) {
        bitmap = Bitmap();
        return;
    }
    const std::int64_t w = bitmap.Width(), h = bitmap.Height();
    // w / width > h / height, compared without rounding.
    if (w * height > h * width)
        ResizeBitmap(bitmap, width, static_cast<int>(width * h / w));
    else
        ResizeBitmap(bitmap, static_cast<int>(height * w / h), height);
}

void ResizeBitmap(Bitmap& bitmap, int width, int height) {
    if (bitmap.Empty())
        return;
    bitmap = Stretch(bitmap, width, height);
}

std::string RenderBitmap(const Bitmap& bitmap, int leftMargin) {
    constexpr char Esc = 0x1B;
    constexpr int BandRows = 24;
    const int margin = std::max(leftMargin, 0);
    const int pictureWidth = bitmap.Width();
    const int height = bitmap.Height();
    const int width = margin + pictureWidth;
    const std::size_t bandBytes = 3 * static_cast<std::size_t>(width);
    const std::size_t bands = static_cast<std::size_t>((height + BandRows - 1) / BandRows);

    std::string out;
    out.reserve(6 + bands * (5 + bandBytes + 2));
    out.append({Esc, '3', 24});
    const std::uint8_t* dots = bitmap.Dots().data();
    const std::vector<std::uint8_t> white(height % BandRows != 0 ? static_cast<std::size_t>(pictureWidth) : 0,
                                          0);
    for (int top = 0; top < height; top += BandRows) {
        out.append({Esc, '*', 33, static_cast<char>(width & 0xFF), static_cast<char>((width >> 8) & 0xFF)});
        const std::size_t start = out.size();
        out.append(bandBytes, '\0');
        auto* column =
            reinterpret_cast<std::uint8_t*>(out.data() + start) + 3 * static_cast<std::size_t>(margin);
        // Eight rows make one byte of every column; rows below the picture read from a white row.
        for (int byte = 0; byte < 3; ++byte) {
            std::array<const std::uint8_t*, 8> rows;
            for (int b = 0; b < 8; ++b) {
                const int y = top + 8 * byte + b;
                rows[b] = y < height ? dots + static_cast<std::size_t>(y) * pictureWidth : white.data();
            }
            for (int x = 0; x < pictureWidth; ++x)
                column[3 * x + byte] = static_cast<std::uint8_t>(
                    rows[0][x] << 7 | rows[1][x] << 6 | rows[2][x] << 5 | rows[3][x] << 4 | rows[4][x] << 3 |
                    rows[5][x] << 2 | rows[6][x] << 1 | rows[7][x]);
        }
        out.append({'\r', '\n'});
    }
    out.append({Esc, '3', 30});
    return out;
}

} // namespace veltrano::output
