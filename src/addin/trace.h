// Host values as text for the call trace: rendering, type names and the parameter list.
#pragma once

#include "addin/native_api.h"

#include <cstdint>
#include <string>

namespace veltrano::addin {

// The type's name for "Unsupported data type - %s": the masked type's VTYPE_ name, then " by ref", " array"
// or " vector" for the flag bits (in that precedence); "unknown type" for a masked value that names no type.
std::string TypeName(std::uint16_t vt);

// A host value as trace text; the full vt (flag bits included) selects the case. Throws std::runtime_error
// "Unsupported data type - %s" for a type the trace cannot render, and for a VTYPE_TM that is no valid
// moment.
std::string RenderValue(const napi::V8Variant& value);

// "[" + the parameters rendered in host order, separated by "; " + "]"; a VTYPE_BLOB parameter is "BLOB".
// Throws as RenderValue does.
std::string RenderParams(const napi::V8Variant* params, long count);
// Throws as RenderParams does, without rendering anything: a type the trace cannot show fails the call
// whether the log is on or not.
void CheckParams(const napi::V8Variant* params, long count);

// A floating-point number in the general form: at most 15 significant digits, no trailing zeros, the given
// decimal separator; scientific form ("1.5E20", "1E-5") for 16 or more integer digits or magnitudes below
// 1E-5.
std::string FormatGeneral(double number, char separator);

// The per-call log selection: log mode 4 (held); then, when the first parameter is no blob and renders as a
// device identifier (GUID text), mode 3 for a device whose DeviceLogFlags entry is true and mode 0 otherwise.
// Throws as RenderValue does.
void SelectCallLogMode(const napi::V8Variant* params, long count);

// True when the text is shaped as a device identifier: hexadecimal digits in groups of 8, 4, 4, 4 and 12,
// joined by hyphens.
bool IsDeviceIdText(const std::string& text);

} // namespace veltrano::addin
