// The EAC conformity logo: our own block drawing of the letters E, A and C, and its size and place on the
// paper.
#pragma once

#include "output/picture/bitmap.h"

namespace veltrano::output {

// The logo as the module carries it: 96 × 32 dots, three block letters of 6-dot strokes.
Bitmap EacLogo();

// The picture scaled to fit width × height with its proportions kept: to the full width when it is relatively
// wider than the box, else to the full height (sizes by whole-number division). A picture that already fits
// the box along the binding side keeps its size; an empty picture or box gives an empty picture.
Bitmap FitKeepingProportions(const Bitmap& picture, int width, int height);

struct PlacedLogo {
    Bitmap Logo;
    int Margin = 0; // dots left blank before the logo on each row
};

// The logo for printing: no wider than eacSize × 16 + 32 dots (a wider one is reduced keeping its
// proportions), placed by eacAlignment on a roll of ribbonWidth millimetres: 1 centred (halves to even),
// 2 against the right edge, anything else at the left edge. A logo wider than the paper starts at the left
// edge; no room for a logo at all gives an empty one.
PlacedLogo PlaceEacLogo(const Bitmap& logo, int eacSize, int eacAlignment, int ribbonWidth);

} // namespace veltrano::output
