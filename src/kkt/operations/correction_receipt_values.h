// Attribute values of the packages the platform sends, read the way the platform writes them.
#pragma once

#include "common/money.h"

#include <pugixml.hpp>

#include <cstdint>

namespace veltrano::kkt {

// The text without surrounding spaces as a decimal integer of 32 bits; a missing, empty, malformed or
// out-of-range value gives the fallback.
std::int32_t ReadPackageInteger(pugi::xml_node node, const char* name, std::int32_t fallback);
// The integer reduced to one byte (modulo 256) before anyone looks at it: 257 is 1.
std::uint8_t ReadPackageByte(pugi::xml_node node, const char* name, std::uint8_t fallback);
// The text read directly as an amount with "," or "." as the separator, not rounded to kopecks; a missing,
// malformed or out-of-range value gives 0.
Money ReadPackageAmount(pugi::xml_node node, const char* name);

} // namespace veltrano::kkt
