// The registration records, the class list, DeviceLogFlags, the property accessor and ApplySetting
// (Parts 1.1 and 1.2).
#include "addin/class_registry.h"

#include "addin/variant.h"
#include "common/number_format.h"
#include "common/text.h"

#include <cstring>
#include <limits>
#include <stdexcept>
#include <type_traits>
#include <utility>

namespace veltrano::addin {

namespace {

// Process-wide state. Constructed on first use so that it exists whatever order the module's static objects
// are initialised in; the module's load step uses it first, so it is destroyed after the module's unload
// step.
struct RegistryState {
    ClassRegistrations list;
    std::u16string classNames;
    std::map<std::string, bool, std::less<>> deviceLogFlags;
};

RegistryState& State() {
    static RegistryState state;
    return state;
}

std::int64_t AsInt64(const PropValue& value) {
    return std::visit(
        [](const auto& v) -> std::int64_t {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, std::int64_t>)
                return v;
            else if constexpr (std::is_same_v<T, bool>)
                return v ? 1 : 0;
            else if constexpr (std::is_same_v<T, double>)
                return static_cast<std::int64_t>(v);
            else {
                std::int64_t number = 0;
                return ParseIntegerText(v, number) ? number : 0;
            }
        },
        value);
}

bool AsBool(const PropValue& value) {
    if (const bool* flag = std::get_if<bool>(&value))
        return *flag;
    if (const std::string* text = std::get_if<std::string>(&value))
        return text::EqualsNoCase(*text, "true");
    if (const double* number = std::get_if<double>(&value))
        return *number != 0;
    return AsInt64(value) != 0;
}

double AsDouble(const PropValue& value) {
    if (const double* number = std::get_if<double>(&value))
        return *number;
    if (const std::string* text = std::get_if<std::string>(&value)) {
        double number = 0;
        return ParseNumberText(*text, numfmt::DecimalSeparator(), number) ? number : 0.0;
    }
    return static_cast<double>(AsInt64(value));
}

std::string AsText(const PropValue& value) {
    if (const std::string* text = std::get_if<std::string>(&value))
        return *text;
    if (const bool* flag = std::get_if<bool>(&value))
        return *flag ? "True" : "False";
    if (const double* number = std::get_if<double>(&value))
        return std::to_string(*number);
    return std::to_string(AsInt64(value));
}

bool NameMatches(const PropertyDecl& decl, std::string_view name) {
    return text::EqualsNoCase(decl.name, name) ||
           (!decl.nameLoc.empty() && text::EqualsNoCase(decl.nameLoc, name));
}

std::u16string Wide(std::string_view utf8) {
    return text::Utf8ToUtf16(utf8);
}

void ReadProperty(const PropertyDecl& decl, const UserObject& object, V8Variant* value) {
    if (decl.kind == PropKind::Other || decl.get == nullptr)
        throw std::runtime_error("Property type unacceptable");
    const PropValue current = decl.get(static_cast<const void*>(&object));
    switch (decl.kind) {
    case PropKind::Integer:
    case PropKind::Int64:
        // Both integer kinds reach the host as VTYPE_I4 (the 64-bit value is cut to its low 32 bits).
        V8SetInt(object.V8MM, value, static_cast<std::int32_t>(AsInt64(current)));
        break;
    case PropKind::Boolean:
        V8SetBool(object.V8MM, value, AsBool(current));
        break;
    case PropKind::Float:
        V8SetDouble(object.V8MM, value, AsDouble(current));
        break;
    case PropKind::Text:
        V8SetUtf8(object.V8MM, value, AsText(current));
        break;
    case PropKind::Other:
        break;
    }
}

void WriteProperty(const PropertyDecl& decl, UserObject& object, const V8Variant& value) {
    if (decl.set == nullptr)
        throw std::runtime_error("Property type unacceptable");
    PropValue converted;
    switch (decl.kind) {
    case PropKind::Integer:
    case PropKind::Int64:
        converted = static_cast<std::int64_t>(ReadInteger(value));
        break;
    case PropKind::Boolean:
        converted = ReadBool(value);
        break;
    case PropKind::Float:
        converted = ReadNumber(value);
        break;
    case PropKind::Text: {
        const std::uint16_t type = value.vt & napi::VTYPE_TYPEMASK;
        if (type == napi::VTYPE_PWSTR) {
            converted = ReadTextUtf8(value);
        } else if (type == napi::VTYPE_PSTR) {
            // Left to the implementer: an 8-bit text is taken as UTF-8, up to its length or its zero.
            std::string bytes;
            if (value.pstrVal != nullptr)
                bytes.assign(value.pstrVal, strnlen(value.pstrVal, value.strLen));
            converted = std::move(bytes);
        } else {
            throw std::runtime_error("Value type unacceptable");
        }
        break;
    }
    case PropKind::Other:
        throw std::runtime_error("Property type unacceptable");
    }
    decl.set(static_cast<void*>(&object), converted);
}

PropValue ConvertSetting(const PropertyDecl& decl, std::string_view valueText) {
    switch (decl.kind) {
    case PropKind::Integer:
    case PropKind::Int64: {
        std::int64_t number = 0;
        if (!ParseIntegerText(valueText, number) ||
            (decl.kind == PropKind::Integer && (number < std::numeric_limits<std::int32_t>::min() ||
                                                number > std::numeric_limits<std::int32_t>::max())))
            throw std::runtime_error("'" + std::string(valueText) + "' is not a valid integer value");
        return number;
    }
    case PropKind::Boolean: {
        if (text::EqualsNoCase(valueText, "true"))
            return true;
        if (text::EqualsNoCase(valueText, "false"))
            return false;
        throw std::runtime_error("'" + std::string(valueText) + "' is not a valid boolean value");
    }
    case PropKind::Float: {
        double number = 0;
        if (!ParseNumberText(valueText, numfmt::DecimalSeparator(), number))
            throw std::runtime_error("'" + std::string(valueText) + "' is not a valid floating point value");
        return number;
    }
    case PropKind::Text:
        return std::string(valueText);
    case PropKind::Other:
        break;
    }
    throw std::runtime_error("Property type unacceptable");
}

} // namespace

V8Variant& DefaultParameters::AddParam(std::int32_t paramNum) {
    DefaultParameter& entry = Values.emplace_back();
    entry.Num = paramNum - 1;
    TempParam = &entry.Value;
    return entry.Value;
}

void DefaultParameters::AddInt(std::int32_t value, std::int32_t paramNum) {
    V8Variant& v = AddParam(paramNum);
    v.lVal = value;
    v.vt = napi::VTYPE_I4;
}

void DefaultParameters::AddDouble(double value, std::int32_t paramNum) {
    V8Variant& v = AddParam(paramNum);
    v.dblVal = value;
    v.vt = napi::VTYPE_R8;
}

void DefaultParameters::AddBool(bool value, std::int32_t paramNum) {
    V8Variant& v = AddParam(paramNum);
    v.bVal = value;
    v.vt = napi::VTYPE_BOOL;
}

void DefaultParameters::AddWString(const napi::WCHAR_T* value, std::int32_t paramNum) {
    V8Variant& v = AddParam(paramNum);
    v.pwstrVal = const_cast<napi::WCHAR_T*>(value);
    v.wstrLen = value == nullptr ? 0 : static_cast<std::uint32_t>(std::u16string_view(value).size());
    v.vt = napi::VTYPE_PWSTR;
}

void DefaultParameters::AddAString(const char* value, std::int32_t paramNum) {
    V8Variant& v = AddParam(paramNum);
    v.pstrVal = const_cast<char*>(value);
    v.strLen = value == nullptr ? 0 : static_cast<std::uint32_t>(std::strlen(value));
    v.vt = napi::VTYPE_PSTR;
}

void DefaultParameters::AddDate(double value, std::int32_t paramNum) {
    V8Variant& v = AddParam(paramNum);
    v.date = value;
    v.vt = napi::VTYPE_DATE;
}

const DefaultParameter* DefaultParameters::At(long position) const {
    if (position < 0 || static_cast<std::size_t>(position) >= Values.size())
        return nullptr;
    return &Values[static_cast<std::size_t>(position)];
}

const ClassRegistrations& ClassRegList() {
    return State().list;
}

const napi::WCHAR_T* ClassNames() {
    return State().classNames.c_str();
}

const ClassRegistration* FindClass(std::u16string_view natApiClassName) {
    for (const auto& reg : State().list.ClassList)
        if (reg->NatApiClassName == natApiClassName)
            return reg.get();
    return nullptr;
}

const ClassRegistration& RegisterClass(UserClassFactory factory, const ClassDeclarations& mostDerived,
                                       std::u16string extension) {
    auto reg = std::make_unique<ClassRegistration>();
    reg->UserClass = factory;
    reg->Declarations = &mostDerived;
    reg->RegisterExtensionAs = extension;
    reg->NatApiClassName = extension;

    ForEachClass(mostDerived, [&](const ClassDeclarations& level) {
        for (const ExportMeth& meth : level.methods) {
            MethodRegistration& entry = reg->MethList.emplace_back();
            entry.MethName = meth.name;
            entry.MethNameLoc = meth.nameLoc;
            entry.IsFunction = true;
            entry.ParamCount = meth.paramCount;
            entry.Execute = meth.execute;
        }
    });
    ForEachClass(mostDerived, [&](const ClassDeclarations& level) {
        for (const PropertyDecl& prop : level.properties) {
            PropertyRegistration& entry = reg->PropList.emplace_back();
            entry.PropName = Wide(prop.name);
            entry.PropNameLoc = Wide(prop.nameLoc);
            entry.IsReadable = true;
            entry.IsWritable = !prop.readOnly;
            entry.PropGetSet = &PropertyGetSet;
        }
    });
    reg->MethCount = static_cast<std::int32_t>(reg->MethList.size());
    reg->PropCount = static_cast<std::int32_t>(reg->PropList.size());

    RegistryState& state = State();
    if (!state.classNames.empty())
        state.classNames += u'|';
    state.classNames += extension;
    state.list.ClassList.push_back(std::move(reg));
    state.list.ClassCount = static_cast<std::int32_t>(state.list.ClassList.size());
    return *state.list.ClassList.back();
}

void ClearClassRegistry() noexcept {
    RegistryState& state = State();
    state.list.ClassList.clear();
    state.list.ClassCount = 0;
    state.classNames.clear();
    state.classNames.shrink_to_fit();
    state.deviceLogFlags.clear();
}

void SetDeviceLogFlag(std::string_view deviceId, bool logged) {
    auto& flags = State().deviceLogFlags;
    const auto it = flags.find(deviceId);
    if (it != flags.end())
        it->second = logged;
    else
        flags.emplace(std::string(deviceId), logged);
}

std::optional<bool> FindDeviceLogFlag(std::string_view deviceId) {
    const auto& flags = State().deviceLogFlags;
    const auto it = flags.find(deviceId);
    if (it == flags.end())
        return std::nullopt;
    return it->second;
}

std::map<std::string, bool, std::less<>> DeviceLogFlagsSnapshot() {
    return State().deviceLogFlags;
}

void ClearDeviceLogFlags() noexcept {
    State().deviceLogFlags.clear();
}

bool PropertyGetSet(UserObject& object, std::string_view name, V8Variant* value, bool get) {
    bool found = false;
    ForEachClass(object.Declarations(), [&](const ClassDeclarations& level) {
        for (const PropertyDecl& decl : level.properties) {
            if (!NameMatches(decl, name))
                continue;
            found = true;
            if (value == nullptr)
                throw std::runtime_error("Value type unacceptable");
            if (get) {
                ReadProperty(decl, object, value);
            } else {
                if (decl.readOnly)
                    throw std::runtime_error("Property is read-only: " + std::string(name));
                WriteProperty(decl, object, *value);
            }
        }
    });
    if (!found)
        throw std::runtime_error("Property not found: " + std::string(name));
    return true;
}

bool ApplySetting(std::span<const PropertyDecl> table, std::string_view name, std::string_view valueText,
                  void* target, std::string_view deviceId) {
    const PropertyDecl* property = nullptr;
    for (const PropertyDecl& decl : table) {
        if (text::EqualsNoCase(decl.name, name)) {
            property = &decl;
            break;
        }
    }
    if (property == nullptr)
        throw std::runtime_error("Property \"" + std::string(name) + "\" not found in Source object.");
    const PropValue converted = ConvertSetting(*property, valueText);
    if (property->set == nullptr || target == nullptr)
        throw std::runtime_error("Property is read-only: " + std::string(property->name));
    property->set(target, converted);
    if (text::EqualsNoCase(property->name, "LogEnabled") && !deviceId.empty())
        SetDeviceLogFlag(deviceId, AsBool(converted));
    return true;
}

} // namespace veltrano::addin
