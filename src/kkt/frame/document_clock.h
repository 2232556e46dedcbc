// The clock of the emulated cash register: the computer's local wall clock, replaceable by tests.
#pragma once

#include "common/moment.h"

#include <string>

namespace veltrano::kkt {

using DocumentClock = moment::DateTime (*)();

// Null restores the local wall clock.
void SetDocumentClock(DocumentClock clock);

// The local date and time every document and output parameter shows.
moment::DateTime DocumentNow();
// The same as seconds since 1970 on the local clock taken as if it were UTC.
moment::Moment DocumentMoment();

// "yyyy-mm-ddThh:nn:ss"
std::string MomentText(const moment::DateTime& dt);

} // namespace veltrano::kkt
