// The date of the document a correction rests on, as the platform writes it: ISO 8601.
#pragma once

#include "common/moment.h"

#include <optional>
#include <string_view>

namespace veltrano::kkt {

// A date ("2024-05-01", "20240501") or a date and time ("2024-05-01T13:45", "2024-05-01T13:45:07.250+03:00",
// "20240501T134507Z"). A time-zone offset turns the value into UTC; a value without one is taken as it is.
// Nothing when the text is no such value (an impossible date or time included).
std::optional<moment::DateTime> ReadIsoDateTime(std::string_view text);

} // namespace veltrano::kkt
