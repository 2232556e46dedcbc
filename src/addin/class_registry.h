// The registration records built from class declarations: the process-wide class list,
// the class-names text, the per-device log flags, the property accessor and ApplySetting.
#pragma once

#include "addin/native_api.h"
#include "addin/user_object.h"

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace veltrano::addin {

// The virtual constructor of a driver class; may throw or return null when it fails.
using UserClassFactory = std::unique_ptr<UserObject> (*)();

// The accessor behind every property entry: (object, property name, the host's variant, get) -> Boolean.
using PropGetSetFn = bool (*)(UserObject& object, std::string_view name, V8Variant* value, bool get);

struct DefaultParameter {
    std::int32_t Num = 0; // 0-based parameter index
    V8Variant Value{};
};

// Default values of one method's parameters. No class of this system declares any, so every list stays empty.
class DefaultParameters {
public:
    std::int32_t ValueCount() const { return static_cast<std::int32_t>(Values.size()); }
    // Appends an entry for the 1-based parameter number and returns its value.
    V8Variant& AddParam(std::int32_t paramNum);
    void AddInt(std::int32_t value, std::int32_t paramNum);
    void AddDouble(double value, std::int32_t paramNum);
    void AddBool(bool value, std::int32_t paramNum);
    // The texts are referenced, not copied: they must outlive the list.
    void AddWString(const napi::WCHAR_T* value, std::int32_t paramNum);
    void AddAString(const char* value, std::int32_t paramNum);
    void AddDate(double value, std::int32_t paramNum);
    // The entry at the given position, or null.
    const DefaultParameter* At(long position) const;

    std::deque<DefaultParameter> Values; // a deque keeps TempParam valid while entries are appended
    V8Variant* TempParam = nullptr;      // the value appended last
};

struct MethodRegistration {
    std::u16string MethName;    // English
    std::u16string MethNameLoc; // Russian
    bool IsFunction = true;
    std::int32_t ParamCount = 0;
    DefaultParameters DefParams;
    HostMethod Execute = nullptr;
};

struct PropertyRegistration {
    std::u16string PropName;    // English
    std::u16string PropNameLoc; // Russian
    bool IsReadable = true;
    bool IsWritable = true;
    PropGetSetFn PropGetSet = nullptr;
};

struct ClassRegistration {
    UserClassFactory UserClass = nullptr;
    const ClassDeclarations* Declarations = nullptr; // the most derived class's declarations
    std::u16string RegisterExtensionAs;
    std::u16string NatApiClassName;
    std::int32_t PropCount = 0;
    std::int32_t MethCount = 0;
    std::vector<PropertyRegistration> PropList;
    std::vector<MethodRegistration> MethList;
};

struct ClassRegistrations {
    std::int32_t ClassCount = 0;
    std::vector<std::unique_ptr<ClassRegistration>> ClassList; // in registration order; owns the records
};

// The process-wide class list (read-only once the module has loaded).
const ClassRegistrations& ClassRegList();
// The class-names text ("Veltrano"): NatApiClassName of every class in registration order joined with "|".
// The pointer stays valid until ClearClassRegistry.
const napi::WCHAR_T* ClassNames();
// The record whose NatApiClassName equals the name exactly, or null.
const ClassRegistration* FindClass(std::u16string_view natApiClassName);

// Registers a class: appends its record and its name to the class-names text. Methods, then properties, are
// walked from the most derived class to the root, each class in written order. Returns the new record.
const ClassRegistration& RegisterClass(UserClassFactory factory, const ClassDeclarations& mostDerived,
                                       std::u16string extension);

// Unload: frees the class list with all records, the class-names text and DeviceLogFlags.
void ClearClassRegistry() noexcept;

// DeviceLogFlags: device-identifier text -> whether the device's calls are logged; keys compare exactly.
void SetDeviceLogFlag(std::string_view deviceId, bool logged);
std::optional<bool> FindDeviceLogFlag(std::string_view deviceId);
std::map<std::string, bool, std::less<>> DeviceLogFlagsSnapshot();
void ClearDeviceLogFlags() noexcept;

// The property accessor over the exported properties of the object's class (accessors receive the object
// as `const void*` / `void*` pointing at its UserObject part). Matches name or Russian name ignoring
// letter case; throws std::runtime_error "Property is read-only: %s", "Property not found: %s", "Property
// type unacceptable", "Value type unacceptable". Returns true.
bool PropertyGetSet(UserObject& object, std::string_view name, V8Variant* value, bool get);

// Copies one named setting onto a target object (used at connection). The table describes the
// target's class; the property is found by name ignoring letter case, else 'Property "%s" not found in Source
// object.'. The text is converted by the property's kind: integers as decimal integers, Booleans
// "true"/"false" in any case, floating point with the process's decimal separator, text as is; a text that is
// no such value throws std::runtime_error naming it. When the property is LogEnabled (any case) and deviceId
// is not empty, DeviceLogFlags[deviceId] := the value. Returns true.
bool ApplySetting(std::span<const PropertyDecl> table, std::string_view name, std::string_view valueText,
                  void* target, std::string_view deviceId);

// Walks the class chain from the most derived class to the root, calling visit for each class's declarations.
template <typename Visit> void ForEachClass(const ClassDeclarations& mostDerived, Visit&& visit) {
    for (const ClassDeclarations* level = &mostDerived; level != nullptr; level = level->parent)
        visit(*level);
}

} // namespace veltrano::addin
