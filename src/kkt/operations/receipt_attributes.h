// How the attributes of a check package are read: every value is an attribute's text, and a missing or
// malformed value gives a default instead of failing. A number too large for its kind fails: it is never
// taken as another value.
#pragma once

#include "common/money.h"

#include <pugixml.hpp>

#include <cstdint>
#include <string>

namespace veltrano::kkt {

// The attribute's text; a missing attribute reads as the empty text.
std::string ReadTextAttribute(pugi::xml_node node, const char* name);

// A decimal integer between surrounding blanks; a missing, empty or malformed value, or one beyond 64 bits,
// gives the default.
std::int64_t ReadIntegerAttribute(pugi::xml_node node, const char* name, std::int64_t defaultValue);
// An integer held in one byte: reduced modulo 256, so 257 reads as 1.
std::uint8_t ReadByteAttribute(pugi::xml_node node, const char* name, std::uint8_t defaultValue);

// A decimal number with "," or "." as the separator and an optional exponent; missing or malformed gives 0.
double ReadDecimalAttribute(pugi::xml_node node, const char* name);
// A decimal number as an amount, rounded to the nearest 1/10000, halves to even.
Money ReadMoneyAttribute(pugi::xml_node node, const char* name);
// A payment: the text read as an amount (no exponent; malformed gives 0), rounded to whole kopecks, halves to
// even.
Money ReadPaymentAttribute(pugi::xml_node node, const char* name);

} // namespace veltrano::kkt
