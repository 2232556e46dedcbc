// A monochrome picture at the printer's resolution: what text, barcodes, QR codes, the EAC logo and the
// document canvas are drawn into, and what the ESC/POS band packer reads.
#pragma once

#include <cstdint>
#include <vector>

namespace veltrano::output {

class Bitmap {
public:
    Bitmap() = default;
    // A white picture of the size; negative sizes give an empty one.
    Bitmap(int width, int height);

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return width_ == 0 || height_ == 0; }

    // Pixels outside the picture read white and ignore writes.
    bool IsBlack(int x, int y) const {
        return x >= 0 && y >= 0 && x < width_ && y < height_ && dots_[Index(x, y)] != 0;
    }
    void Set(int x, int y, bool black) {
        if (x >= 0 && y >= 0 && x < width_ && y < height_)
            dots_[Index(x, y)] = black ? 1 : 0;
    }
    // Paints the rectangle [x0, x1) × [y0, y1), clipped to the picture.
    void Fill(int x0, int y0, int x1, int y1, bool black);

    // One byte per pixel, row after row, 1 for black.
    const std::vector<std::uint8_t>& Dots() const { return dots_; }

private:
    friend void StretchDraw(Bitmap& target, int x0, int y0, int x1, int y1, const Bitmap& source);

    std::size_t Index(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x);
    }

    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint8_t> dots_;
};

// The picture stretched (or shrunk) to exactly width × height, each target pixel taking the source pixel
// under its centre.
Bitmap Stretch(const Bitmap& source, int width, int height);

// Draws source stretched into the rectangle [x0, x1) × [y0, y1) of target; white source pixels paint white.
void StretchDraw(Bitmap& target, int x0, int y0, int x1, int y1, const Bitmap& source);

} // namespace veltrano::output
