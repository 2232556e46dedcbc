#include "common/moment.h"

#include <string>

namespace veltrano::moment {
namespace {

constexpr std::int64_t SecondsPerDay = 86400;

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's days_from_civil).
constexpr std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

struct CivilDate {
    std::int64_t year;
    unsigned month;
    unsigned day;
};

// The inverse of DaysFromCivil.
constexpr CivilDate CivilFromDays(std::int64_t z) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2 ? 1 : 0), m, d};
}

// A number in decimal, padded on the left with "0" to the given width.
std::string Padded(std::int64_t number, std::size_t width) {
    std::string digits = std::to_string(number < 0 ? -number : number);
    if (digits.size() < width)
        digits.insert(0, width - digits.size(), '0');
    return number < 0 ? "-" + digits : digits;
}

} // namespace

Moment ToMoment(const DateTime& dt) {
    const std::int64_t days =
        DaysFromCivil(dt.year, static_cast<unsigned>(dt.month), static_cast<unsigned>(dt.day));
    return days * SecondsPerDay + std::int64_t{dt.hour} * 3600 + std::int64_t{dt.minute} * 60 + dt.second;
}

DateTime FromMoment(Moment m) {
    std::int64_t days = m / SecondsPerDay;
    std::int64_t seconds = m % SecondsPerDay;
    if (seconds < 0) {
        seconds += SecondsPerDay;
        --days;
    }
    const CivilDate date = CivilFromDays(days);
    DateTime dt;
    dt.year = static_cast<int>(date.year);
    dt.month = static_cast<int>(date.month);
    dt.day = static_cast<int>(date.day);
    dt.hour = static_cast<int>(seconds / 3600);
    dt.minute = static_cast<int>(seconds / 60 % 60);
    dt.second = static_cast<int>(seconds % 60);
    return dt;
}

std::string FormatDateTime(const DateTime& dt) {
    return FormatDate(dt) + " " + Padded(dt.hour, 2) + ":" + Padded(dt.minute, 2) + ":" +
           Padded(dt.second, 2);
}

std::string FormatDate(const DateTime& dt) {
    return Padded(dt.day, 2) + "." + Padded(dt.month, 2) + "." + Padded(dt.year, 4);
}

std::string FormatHourMinute(const DateTime& dt) {
    return Padded(dt.hour, 2) + ":" + Padded(dt.minute, 2);
}

} // namespace veltrano::moment
