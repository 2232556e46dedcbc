// The linear barcode painter: EAN-13, EAN-8 and Code 39 turned into runs of whole modules and painted as bars
// into a rectangle of a bitmap, without human-readable text.
#pragma once

#include "output/picture/bitmap.h"

#include <string_view>
#include <vector>

namespace veltrano::output {

enum class Symbology { Ean13, Ean8, Code39 };

// One bar or space of the symbol, in modules.
struct BarElement {
    int Modules = 0;
    bool Bar = false;
    bool Guard = false;
};

// A rectangle [X0, X1) × [Y0, Y1) of a bitmap.
struct PictureBox {
    int X0 = 0, Y0 = 0, X1 = 0, Y1 = 0;
};

// The elements of one symbol, left to right. Bad data leaves the list empty: the painter draws no bars and
// the caller writes BarcodeErrorText instead.
struct BarPattern {
    std::vector<BarElement> Elements;
    bool BadData = false;

    int Modules() const;
};

// Written in place of the bars when the data cannot be encoded.
inline constexpr std::string_view BarcodeErrorText = "ОШИБКА!";

// EAN: the data without surrounding spaces must be digits and not empty. EAN-13 computes the check digit from
// exactly 12 digits, otherwise draws the 13th character as given (missing digits are 0, extra ones ignored);
// EAN-8 likewise with 7 and 8. Code 39: the data is upper-cased and wrapped in "*" where missing. Empty data
// keeps the painter's starting code "123456789012", as the painter only recomputes for a non-empty code.
BarPattern EncodeBarcode(Symbology symbology, std::string_view data);

// The GS1 modulo-10 check digit (weights 3 and 1 from the right) of a string of digits.
int EanCheckDigit(std::string_view digits);

// Pixel widths of one bar module and one space module at a resolution: the narrow bar is 12 thousandths of an
// inch, and never thinner than a hundredth of an inch or one pixel. At 96 dpi a module is 1 pixel.
struct ModuleWidths {
    int Bar = 1;
    int Space = 1;
};
ModuleWidths BarcodeModuleWidths(int dpi);

// Total width of the symbol in pixels.
int BarcodeWidth(const BarPattern& pattern, int dpi);

// Fills the box white and paints the bars from its left edge, leaving a tenth of its height white above and
// below. Returns false for bad data: the box stays white and the caller writes BarcodeErrorText centred in
// BarcodeErrorTextBox(box).
bool PaintBarcode(Bitmap& target, const PictureBox& box, const BarPattern& pattern, int dpi);

// Where the error text goes: the bar area, 4 pixels in from the left.
PictureBox BarcodeErrorTextBox(const PictureBox& box);

} // namespace veltrano::output
