// Reading the host's parameter array and writing results back into it.
#pragma once

#include "addin/user_object.h"

#include <cstdint>
#include <string_view>

namespace veltrano::driver {

using addin::V8Variant;

// The parameter at a 0-based index; a host that passed fewer parameters gets a clear error, not a stray read.
V8Variant& Param(V8Variant* params, long count, long index);

// An out parameter as VTYPE_PWSTR; throws when the host's memory cannot take the text.
void SetOutText(const addin::UserObject& driver, V8Variant& target, std::string_view utf8);
void SetOutInt(const addin::UserObject& driver, V8Variant& target, std::int32_t number);

} // namespace veltrano::driver
