// Readers and writers of the host variant. Writers clear the target first and copy texts into host memory.
#pragma once

#include "addin/native_api.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace veltrano::addin {

using napi::IMemoryManager;
using napi::V8Variant;

// Returns host-owned data to the manager (texts, blobs), releases interfaces, then zeroes the variant. Never
// throws.
void V8ClearVar(IMemoryManager* mm, V8Variant* value) noexcept;

bool V8SetBool(IMemoryManager* mm, V8Variant* value, bool flag);
bool V8SetInt(IMemoryManager* mm, V8Variant* value, std::int32_t number);
bool V8SetInt64(IMemoryManager* mm, V8Variant* value, std::int64_t number);
bool V8SetDouble(IMemoryManager* mm, V8Variant* value, double number);
bool V8SetDate(IMemoryManager* mm, V8Variant* value, double oleDate);
// VTYPE_PWSTR copy in host memory; false when host memory cannot be obtained (the target is then empty).
bool V8SetWString(IMemoryManager* mm, V8Variant* value, std::u16string_view text);
// Convenience: a UTF-8 text written as VTYPE_PWSTR.
bool V8SetUtf8(IMemoryManager* mm, V8Variant* value, std::string_view text);
// VTYPE_PSTR copy of an 8-bit text; a null text leaves the target untouched.
bool V8SetPChar(IMemoryManager* mm, V8Variant* value, const char* text);
// VTYPE_BLOB copy; null data leaves the target untouched.
bool V8SetBlob(IMemoryManager* mm, V8Variant* value, const void* data, std::uint32_t size);

// A copy of a text in host memory, zero-terminated; null without a manager or when allocation fails.
napi::WCHAR_T* HostCopy(IMemoryManager* mm, std::u16string_view text);

// Readers; the type is vt with the flag bits masked off.
std::u16string ReadText(const V8Variant& value);  // VTYPE_PWSTR up to its zero, else empty
std::string ReadTextUtf8(const V8Variant& value); // the same as UTF-8
std::int32_t ReadInteger(const V8Variant& value); // I4, I2, UI1, ERROR, R4/R8/DATE truncated, PWSTR decimal
double ReadNumber(const V8Variant& value);        // R8, integers, R4, DATE, PWSTR with the process separator
bool ReadBool(const V8Variant& value);            // BOOL byte, else the integer reader is non-zero

// Texts read as numbers (also used for settings): surrounding spaces allowed, an optional sign, decimal
// digits; numbers may carry the given separator and an exponent. False, leaving the number as it was, when
// the text is no such number or does not fit.
bool ParseIntegerText(std::string_view text, std::int64_t& number);
bool ParseNumberText(std::string_view text, char separator, double& number);

} // namespace veltrano::addin
