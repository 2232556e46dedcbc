// Readers and writers of the host variant.
#include "addin/variant.h"

#include "common/decimal_chars.h"
#include "common/number_format.h"
#include "common/text.h"
#include "log/log.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <exception>
#include <limits>
#include <string>

namespace veltrano::addin {

namespace {

std::uint16_t BaseType(const V8Variant& value) {
    return value.vt & napi::VTYPE_TYPEMASK;
}

// Host memory of the given size, or null when there is no manager or the manager refuses.
void* Allocate(IMemoryManager* mm, std::size_t bytes) {
    if (mm == nullptr)
        return nullptr;
    void* memory = nullptr;
    try {
        if (!mm->AllocMemory(&memory, static_cast<unsigned long>(bytes)))
            return nullptr;
    } catch (...) {
        return nullptr;
    }
    return memory;
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

// The 16-bit text as 8-bit characters; false when a character is beyond ASCII (then it is no number).
bool Ascii(std::u16string_view text, std::string& out) {
    out.clear();
    for (const char16_t c : text) {
        if (c > 0x7F)
            return false;
        out.push_back(static_cast<char>(c));
    }
    return true;
}

std::int32_t TruncateToInt32(double number) {
    if (std::isnan(number))
        return 0;
    const double truncated = std::trunc(number);
    if (truncated >= static_cast<double>(std::numeric_limits<std::int32_t>::max()))
        return std::numeric_limits<std::int32_t>::max();
    if (truncated <= static_cast<double>(std::numeric_limits<std::int32_t>::min()))
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(truncated);
}

} // namespace

bool ParseIntegerText(std::string_view text, std::int64_t& number) {
    text = Trimmed(text);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-')
            return false;
    }
    if (text.empty())
        return false;
    std::int64_t parsed = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (error != std::errc() || end != text.data() + text.size())
        return false;
    number = parsed;
    return true;
}

bool ParseNumberText(std::string_view text, char separator, double& number) {
    text = Trimmed(text);
    std::string normal;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-')
            normal.push_back('-');
        ++i;
    }
    std::size_t digits = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        normal.push_back(text[i++]);
        ++digits;
    }
    if (i < text.size() && text[i] == separator) {
        normal.push_back('.');
        ++i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            normal.push_back(text[i++]);
            ++digits;
        }
    }
    if (digits == 0)
        return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        normal.push_back('e');
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            normal.push_back(text[i++]);
        std::size_t expDigits = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            normal.push_back(text[i++]);
            ++expDigits;
        }
        if (expDigits == 0)
            return false;
    }
    if (i != text.size())
        return false;
    double parsed = 0;
    const auto [end, error] = common::FromChars(normal.data(), normal.data() + normal.size(), parsed);
    if (error != std::errc() || end != normal.data() + normal.size())
        return false;
    number = parsed;
    return true;
}

void V8ClearVar(IMemoryManager* mm, V8Variant* value) noexcept {
    if (value == nullptr)
        return;
    const std::uint16_t type = BaseType(*value);
    if ((type == napi::VTYPE_PSTR || type == napi::VTYPE_PWSTR || type == napi::VTYPE_BLOB) &&
        mm != nullptr) {
        void* data = type == napi::VTYPE_PWSTR ? static_cast<void*>(value->pwstrVal) : value->pstrVal;
        if (data != nullptr) {
            try {
                mm->FreeMemory(&data);
            } catch (const std::exception& error) {
                log::WriteLog("EXCEPTION V8ClearVar", error.what(), log::Level::Error);
            } catch (...) {
                log::WriteLog("EXCEPTION V8ClearVar", "Unknown error", log::Level::Error);
            }
        }
    }
    // VTYPE_INTERFACE: the host's interfaces carry no reference count under this contract; nothing to
    // release.
    std::memset(static_cast<void*>(value), 0, sizeof(V8Variant));
}

namespace {

// Every scalar writer clears the target, stores the value and types it.
template <typename Store>
bool SetScalar(IMemoryManager* mm, V8Variant* value, std::uint16_t type, Store store) {
    if (value == nullptr)
        return false;
    V8ClearVar(mm, value);
    store(*value);
    value->vt = type;
    return true;
}

} // namespace

bool V8SetBool(IMemoryManager* mm, V8Variant* value, bool flag) {
    return SetScalar(mm, value, napi::VTYPE_BOOL, [&](V8Variant& v) { v.bVal = flag; });
}

bool V8SetInt(IMemoryManager* mm, V8Variant* value, std::int32_t number) {
    return SetScalar(mm, value, napi::VTYPE_I4, [&](V8Variant& v) { v.lVal = number; });
}

bool V8SetInt64(IMemoryManager* mm, V8Variant* value, std::int64_t number) {
    return SetScalar(mm, value, napi::VTYPE_I8, [&](V8Variant& v) { v.llVal = number; });
}

bool V8SetDouble(IMemoryManager* mm, V8Variant* value, double number) {
    return SetScalar(mm, value, napi::VTYPE_R8, [&](V8Variant& v) { v.dblVal = number; });
}

bool V8SetDate(IMemoryManager* mm, V8Variant* value, double oleDate) {
    return SetScalar(mm, value, napi::VTYPE_DATE, [&](V8Variant& v) { v.date = oleDate; });
}

bool V8SetWString(IMemoryManager* mm, V8Variant* value, std::u16string_view text) {
    if (value == nullptr)
        return false;
    V8ClearVar(mm, value);
    napi::WCHAR_T* copy = HostCopy(mm, text);
    if (copy == nullptr)
        return false;
    value->pwstrVal = copy;
    value->wstrLen = static_cast<std::uint32_t>(text.size());
    value->vt = napi::VTYPE_PWSTR;
    return true;
}

bool V8SetUtf8(IMemoryManager* mm, V8Variant* value, std::string_view text) {
    return V8SetWString(mm, value, text::Utf8ToUtf16(text));
}

bool V8SetPChar(IMemoryManager* mm, V8Variant* value, const char* text) {
    if (value == nullptr)
        return false;
    if (text == nullptr)
        return true;
    const std::size_t length = std::strlen(text);
    V8ClearVar(mm, value);
    auto* copy = static_cast<char*>(Allocate(mm, length + 1));
    if (copy == nullptr)
        return false;
    std::memcpy(copy, text, length + 1);
    value->pstrVal = copy;
    value->strLen = static_cast<std::uint32_t>(length);
    value->vt = napi::VTYPE_PSTR;
    return true;
}

bool V8SetBlob(IMemoryManager* mm, V8Variant* value, const void* data, std::uint32_t size) {
    if (value == nullptr)
        return false;
    if (data == nullptr)
        return true;
    V8ClearVar(mm, value);
    // A zero-length blob still gets a (one-byte) block so that the pointer is valid host memory.
    auto* copy = static_cast<char*>(Allocate(mm, size == 0 ? 1 : size));
    if (copy == nullptr)
        return false;
    std::memcpy(copy, data, size);
    value->pstrVal = copy;
    value->strLen = size;
    value->vt = napi::VTYPE_BLOB;
    return true;
}

napi::WCHAR_T* HostCopy(IMemoryManager* mm, std::u16string_view text) {
    auto* copy = static_cast<napi::WCHAR_T*>(Allocate(mm, (text.size() + 1) * sizeof(napi::WCHAR_T)));
    if (copy == nullptr)
        return nullptr;
    if (!text.empty())
        std::memcpy(copy, text.data(), text.size() * sizeof(napi::WCHAR_T));
    copy[text.size()] = 0;
    return copy;
}

std::u16string ReadText(const V8Variant& value) {
    if (BaseType(value) != napi::VTYPE_PWSTR || value.pwstrVal == nullptr)
        return {};
    return std::u16string(value.pwstrVal);
}

std::string ReadTextUtf8(const V8Variant& value) {
    return text::Utf16ToUtf8(ReadText(value));
}

std::int32_t ReadInteger(const V8Variant& value) {
    switch (BaseType(value)) {
    case napi::VTYPE_I4:
        return value.lVal;
    case napi::VTYPE_I2:
        return value.shortVal;
    case napi::VTYPE_UI1:
        return value.ui8Val;
    case napi::VTYPE_ERROR:
        return value.errCode;
    case napi::VTYPE_R4:
        return TruncateToInt32(value.fltVal);
    case napi::VTYPE_R8:
        return TruncateToInt32(value.dblVal);
    case napi::VTYPE_DATE:
        return TruncateToInt32(value.date);
    case napi::VTYPE_PWSTR: {
        std::string ascii;
        std::int64_t number = 0;
        if (!Ascii(ReadText(value), ascii) || !ParseIntegerText(ascii, number))
            return 0;
        if (number < std::numeric_limits<std::int32_t>::min() ||
            number > std::numeric_limits<std::int32_t>::max())
            return 0;
        return static_cast<std::int32_t>(number);
    }
    default:
        return 0;
    }
}

double ReadNumber(const V8Variant& value) {
    switch (BaseType(value)) {
    case napi::VTYPE_R8:
        return value.dblVal;
    case napi::VTYPE_I4:
        return value.lVal;
    case napi::VTYPE_I2:
        return value.shortVal;
    case napi::VTYPE_UI1:
        return value.ui8Val;
    case napi::VTYPE_ERROR:
        return value.errCode;
    case napi::VTYPE_R4:
        return value.fltVal;
    case napi::VTYPE_DATE:
        return value.date;
    case napi::VTYPE_PWSTR: {
        std::string ascii;
        double number = 0;
        if (!Ascii(ReadText(value), ascii) || !ParseNumberText(ascii, numfmt::DecimalSeparator(), number))
            return 0;
        return number;
    }
    default:
        return 0;
    }
}

bool ReadBool(const V8Variant& value) {
    if (BaseType(value) == napi::VTYPE_BOOL)
        return value.ui8Val != 0; // the byte: any non-zero value is true
    return ReadInteger(value) != 0;
}

} // namespace veltrano::addin
