#include "kkt/operations/correction_receipt_date.h"

#include <cstddef>
#include <cstdint>

namespace veltrano::kkt {
namespace {

class IsoReader {
public:
    explicit IsoReader(std::string_view text) : text_(text) {}

    bool AtEnd() const { return pos_ == text_.size(); }
    bool NextIsDigit() const { return pos_ < text_.size() && IsDigit(text_[pos_]); }

    bool Take(char c) {
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }

    // Exactly count digits.
    bool Digits(std::size_t count, int& value) {
        if (text_.size() - pos_ < count)
            return false;
        int read = 0;
        for (std::size_t i = 0; i < count; ++i) {
            const char c = text_[pos_ + i];
            if (!IsDigit(c))
                return false;
            read = read * 10 + (c - '0');
        }
        pos_ += count;
        value = read;
        return true;
    }

    // One or more digits; the first three give the milliseconds, the rest are dropped.
    bool Fraction(int& milliseconds) {
        if (!NextIsDigit())
            return false;
        int read = 0;
        int place = 0;
        for (; NextIsDigit(); ++place, ++pos_)
            if (place < 3)
                read = read * 10 + (text_[pos_] - '0');
        for (; place < 3; ++place)
            read *= 10;
        milliseconds = read;
        return true;
    }

private:
    static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

    std::string_view text_;
    std::size_t pos_ = 0;
};

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    constexpr int Days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : Days[month - 1];
}

bool ReadDate(IsoReader& reader, moment::DateTime& dt) {
    if (!reader.Digits(4, dt.year))
        return false;
    if (reader.Take('-')) {
        if (!reader.Digits(2, dt.month) || !reader.Take('-') || !reader.Digits(2, dt.day))
            return false;
    } else if (!reader.Digits(2, dt.month) || !reader.Digits(2, dt.day)) {
        return false;
    }
    return dt.year >= 1 && dt.month >= 1 && dt.month <= 12 && dt.day >= 1 &&
           dt.day <= DaysInMonth(dt.year, dt.month);
}

// hh, hh:mm, hh:mm:ss or hhmm, hhmmss, the seconds with an optional fraction.
bool ReadTime(IsoReader& reader, moment::DateTime& dt) {
    if (!reader.Digits(2, dt.hour))
        return false;
    const bool extended = reader.Take(':');
    if (extended || reader.NextIsDigit()) {
        if (!reader.Digits(2, dt.minute))
            return false;
        const bool seconds = extended ? reader.Take(':') : reader.NextIsDigit();
        if (seconds) {
            if (!reader.Digits(2, dt.second))
                return false;
            if ((reader.Take('.') || reader.Take(',')) && !reader.Fraction(dt.millisecond))
                return false;
        }
    }
    return dt.hour <= 23 && dt.minute <= 59 && dt.second <= 59;
}

// Z, ±hh, ±hh:mm or ±hhmm as seconds east of UTC.
bool ReadOffset(IsoReader& reader, std::int64_t& seconds) {
    if (reader.Take('Z') || reader.Take('z')) {
        seconds = 0;
        return true;
    }
    int sign = 0;
    if (reader.Take('+'))
        sign = 1;
    else if (reader.Take('-'))
        sign = -1;
    else
        return false;
    int hours = 0;
    int minutes = 0;
    if (!reader.Digits(2, hours))
        return false;
    if (reader.Take(':') || reader.NextIsDigit()) {
        if (!reader.Digits(2, minutes))
            return false;
    }
    if (hours > 23 || minutes > 59)
        return false;
    seconds = sign * (std::int64_t{hours} * 3600 + std::int64_t{minutes} * 60);
    return true;
}

} // namespace

std::optional<moment::DateTime> ReadIsoDateTime(std::string_view text) {
    IsoReader reader(text);
    moment::DateTime dt;
    if (!ReadDate(reader, dt))
        return std::nullopt;
    if (reader.AtEnd())
        return dt;
    if (!(reader.Take('T') || reader.Take('t')) || !ReadTime(reader, dt))
        return std::nullopt;
    if (reader.AtEnd())
        return dt;
    std::int64_t offset = 0;
    if (!ReadOffset(reader, offset) || !reader.AtEnd())
        return std::nullopt;
    const int milliseconds = dt.millisecond;
    moment::DateTime utc = moment::FromMoment(moment::ToMoment(dt) - offset);
    utc.millisecond = milliseconds;
    return utc;
}

} // namespace veltrano::kkt
