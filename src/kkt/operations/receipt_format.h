// Number formats of receipt lines that money has no format for.
#pragma once

#include <string>

namespace veltrano::kkt {

// A finite quantity with three decimals, halves away from zero: 2 -> "2.000", 0.0005 -> "0.001". The
// quantity is taken as its shortest decimal form, so 1.0005 rounds up as written.
std::string FormatQuantity(double quantity, char separator);

} // namespace veltrano::kkt
