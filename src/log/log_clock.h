// The clock behind the log's time stamps and daily file names; tests put their own in place to cross
// midnight.
#pragma once

#include "common/moment.h"

namespace veltrano::log {

using Clock = moment::DateTime (*)();

// Null restores the local wall clock.
void SetLogClock(Clock clock);

} // namespace veltrano::log
