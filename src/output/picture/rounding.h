// Rounding of exact fractions the way the picture geometry needs it.
#pragma once

#include <cstdint>

namespace veltrano::output {

// numerator / denominator to the nearest integer, halves to even; denominator above 0.
inline std::int64_t RoundHalfEven(std::int64_t numerator, std::int64_t denominator) {
    std::int64_t quotient = numerator / denominator;
    std::int64_t remainder = numerator % denominator;
    if (remainder < 0) {
        --quotient;
        remainder += denominator;
    }
    if (2 * remainder > denominator || (2 * remainder == denominator && quotient % 2 != 0))
        ++quotient;
    return quotient;
}

} // namespace veltrano::output
