// Doubles to and from decimal text in the C locale's notation, whatever locale the process runs in. The
// release build's standard library (g++ 10) has only the integer std::to_chars and std::from_chars.
#pragma once

#include <charconv>

namespace veltrano::common {

// As std::to_chars(first, last, value, std::chars_format::fixed): the fewest digits after the point that read
// back as the same double ("1234.56", "0.001", "-5", "inf"); errc::value_too_large when the text does not
// fit.
std::to_chars_result ToCharsFixed(char* first, char* last, double value);

// As std::from_chars(first, last, value): reads the longest prefix of the form
// -?digits[.digits][(e|E)[+-]digits] (the point may also come first or last) and gives errc::invalid_argument
// when there is none. A number beyond the range of doubles gives errc::result_out_of_range and leaves value
// alone; one too small for them reads as 0 or the nearest subnormal. Infinity and nan are not read.
std::from_chars_result FromChars(const char* first, const char* last, double& value);

} // namespace veltrano::common
