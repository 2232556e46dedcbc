// Host values as text for the call trace.
#include "addin/trace.h"

#include "addin/class_registry.h"
#include "common/number_format.h"
#include "common/text.h"
#include "log/log.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <stdexcept>
#include <string_view>

namespace veltrano::addin {

namespace {

constexpr std::array<std::string_view, 25> kTypeNames = {
    "VTYPE_EMPTY", "VTYPE_NULL",    "VTYPE_I2",      "VTYPE_I4",   "VTYPE_R4",
    "VTYPE_R8",    "VTYPE_DATE",    "VTYPE_TM",      "VTYPE_PSTR", "VTYPE_INTERFACE",
    "VTYPE_ERROR", "VTYPE_BOOL",    "VTYPE_VARIANT", "VTYPE_I1",   "VTYPE_UI1",
    "VTYPE_UI2",   "VTYPE_UI4",     "VTYPE_I8",      "VTYPE_UI8",  "VTYPE_INT",
    "VTYPE_UINT",  "VTYPE_HRESULT", "VTYPE_PWSTR",   "VTYPE_BLOB", "VTYPE_CLSID"};

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

// The system's date-time text of a C `tm` record: "dd.mm.yyyy hh:nn:ss". Fields that make no valid moment
// fail as the date and time encoders of the original do.
std::string RenderMoment(const std::tm& moment) {
    // Widen before adding so that extreme field values cannot overflow.
    const long long year = static_cast<long long>(moment.tm_year) + 1900;
    const long long month = static_cast<long long>(moment.tm_mon) + 1;
    const long long day = moment.tm_mday;
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > DaysInMonth(static_cast<int>(year), static_cast<int>(month)))
        throw std::runtime_error("Invalid argument to date encode");
    if (moment.tm_hour < 0 || moment.tm_hour > 23 || moment.tm_min < 0 || moment.tm_min > 59 ||
        moment.tm_sec < 0 || moment.tm_sec > 59)
        throw std::runtime_error("Invalid argument to time encode");
    char buffer[48]; // the widest ints need 44 bytes; g++ 10 warns below that
    std::snprintf(buffer, sizeof buffer, "%02d.%02d.%04d %02d:%02d:%02d", static_cast<int>(day),
                  static_cast<int>(month), static_cast<int>(year), moment.tm_hour, moment.tm_min,
                  moment.tm_sec);
    return buffer;
}

bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

} // namespace

std::string TypeName(std::uint16_t vt) {
    const std::uint16_t base = vt & napi::VTYPE_TYPEMASK;
    std::string name;
    if (base < kTypeNames.size())
        name = kTypeNames[base];
    else if (base == napi::VTYPE_STR_BLOB)
        name = "VTYPE_STR_BLOB";
    else
        return "unknown type";
    if (vt & napi::VTYPE_BYREF)
        name += " by ref";
    else if (vt & napi::VTYPE_ARRAY)
        name += " array";
    else if (vt & napi::VTYPE_VECTOR)
        name += " vector";
    return name;
}

std::string FormatGeneral(double number, char separator) {
    if (std::isnan(number))
        return "NAN";
    if (std::isinf(number))
        return number < 0 ? "-INF" : "INF";
    if (number == 0)
        return "0";
    // 15 significant digits, rounded: "-d.dddddddddddddde+NNN".
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.14e", number);
    std::string_view text(buffer);
    const bool negative = text.front() == '-';
    if (negative)
        text.remove_prefix(1);
    const std::size_t ePos = text.find('e');
    std::string digits;
    for (const char c : text.substr(0, ePos))
        if (c >= '0' && c <= '9')
            digits.push_back(c);
    const int exponent = std::atoi(std::string(text.substr(ePos + 1)).c_str());
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    std::string result = negative ? "-" : "";
    if (exponent >= 15 || exponent < -5) {
        result += digits.front();
        if (digits.size() > 1) {
            result += separator;
            result.append(digits, 1);
        }
        result += 'E';
        result += std::to_string(exponent);
        return result;
    }
    if (exponent >= 0) {
        const std::size_t whole = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= whole) {
            result += digits;
            result.append(whole - digits.size(), '0');
        } else {
            result.append(digits, 0, whole);
            result += separator;
            result.append(digits, whole);
        }
        return result;
    }
    result += '0';
    result += separator;
    result.append(static_cast<std::size_t>(-exponent - 1), '0');
    result += digits;
    return result;
}

std::string RenderValue(const napi::V8Variant& value) {
    switch (value.vt) {
    case napi::VTYPE_EMPTY:
        return {};
    case napi::VTYPE_I4:
        return std::to_string(value.lVal);
    case napi::VTYPE_I8:
        return std::to_string(value.llVal);
    case napi::VTYPE_R8:
        return FormatGeneral(value.dblVal, numfmt::DecimalSeparator());
    case napi::VTYPE_TM:
        return RenderMoment(value.tmVal);
    case napi::VTYPE_BOOL:
        return value.ui8Val != 0 ? "True" : "False";
    case napi::VTYPE_PWSTR:
        if (value.pwstrVal == nullptr)
            return {};
        return text::Utf16ToUtf8(std::u16string_view(value.pwstrVal));
    case napi::VTYPE_INTERFACE:
        return "Interface";
    default:
        throw std::runtime_error("Unsupported data type - " + TypeName(value.vt));
    }
}

void CheckParams(const napi::V8Variant* params, long count) {
    for (long i = 0; params != nullptr && i < count; ++i)
        switch (params[i].vt) {
        case napi::VTYPE_EMPTY:
        case napi::VTYPE_I4:
        case napi::VTYPE_I8:
        case napi::VTYPE_R8:
        case napi::VTYPE_TM:
        case napi::VTYPE_BOOL:
        case napi::VTYPE_PWSTR:
        case napi::VTYPE_INTERFACE:
        case napi::VTYPE_BLOB:
            break;
        default:
            throw std::runtime_error("Unsupported data type - " + TypeName(params[i].vt));
        }
}

std::string RenderParams(const napi::V8Variant* params, long count) {
    std::string list = "[";
    for (long i = 0; params != nullptr && i < count; ++i) {
        if (i > 0)
            list += "; ";
        if (params[i].vt == napi::VTYPE_BLOB)
            list += "BLOB";
        else
            list += RenderValue(params[i]);
    }
    list += "]";
    return list;
}

bool IsDeviceIdText(const std::string& text) {
    // 8-4-4-4-12 hexadecimal digits.
    if (text.size() != 36)
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool hyphen = i == 8 || i == 13 || i == 18 || i == 23;
        if (hyphen ? text[i] != '-' : !IsHexDigit(text[i]))
            return false;
    }
    return true;
}

void SelectCallLogMode(const napi::V8Variant* params, long count) {
    log::SetLogMode(log::ModeHeld);
    if (params == nullptr || count <= 0 || params[0].vt == napi::VTYPE_BLOB)
        return;
    const std::string first = RenderValue(params[0]);
    if (!IsDeviceIdText(first))
        return;
    const std::optional<bool> flag = FindDeviceLogFlag(first);
    log::SetLogMode(flag.value_or(false) ? log::ModeAll : log::ModeOff);
}

} // namespace veltrano::addin
