// Moments: whole seconds since 1970-01-01 counted on the local clock as if it were UTC, both ways.
#pragma once

#include <cstdint>
#include <string>

namespace veltrano::moment {

using Moment = std::int64_t;

struct DateTime {
    int year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0, millisecond = 0;
};

Moment ToMoment(const DateTime& dt);
DateTime FromMoment(Moment m);

// "dd.mm.yyyy hh:nn:ss"
std::string FormatDateTime(const DateTime& dt);
// "dd.mm.yyyy"
std::string FormatDate(const DateTime& dt);
// "hh:nn"
std::string FormatHourMinute(const DateTime& dt);

} // namespace veltrano::moment
