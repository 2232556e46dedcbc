// The base of every driver object and the declarations through which a driver class shows its host methods,
// properties and additional actions. The registry walks the declarations from the most derived class to the
// root.
#pragma once

#include "addin/native_api.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>

namespace veltrano::addin {

using napi::V8Variant;

class UserObject;
struct ClassRegistration;

// A host method: (object, result slot or null for CallAsProc, parameters in host order, their count) -> the
// Boolean that becomes the host call's result.
using HostMethod = bool (*)(UserObject& self, V8Variant* result, V8Variant* params, long count);

// A host method declared by a class: English name, Russian name, parameter count, implementation at that
// level.
struct ExportMeth {
    std::u16string_view name;
    std::u16string_view nameLoc;
    int paramCount;
    HostMethod execute;
};

// Types a published property may have; Other stands for any type the host cannot carry.
enum class PropKind { Integer, Int64, Boolean, Float, Text, Other };
using PropValue = std::variant<std::int64_t, bool, double, std::string>;

// A published property of an object (a driver's host property or a device instance's setting). The accessors
// take the object the table describes.
struct PropertyDecl {
    std::string_view name;    // English name (also the settings name)
    std::string_view nameLoc; // Russian name, may be empty
    std::string_view caption;
    std::string_view defValue;
    bool readOnly;
    PropKind kind;
    PropValue (*get)(const void* object);
    void (*set)(void* object, const PropValue& value);
};

// An additional action: a method without parameters that the user may run from the equipment settings.
struct AdditionalAction {
    std::string_view name;
    std::string_view caption;
    void (*run)(UserObject& self);
};

// One class's own declarations in written order, linked to its parent's.
struct ClassDeclarations {
    const ClassDeclarations* parent;
    std::span<const ExportMeth> methods;
    std::span<const PropertyDecl> properties; // exported host properties (accessors take the UserObject)
    std::span<const AdditionalAction> actions;
};

class UserObject {
public:
    virtual ~UserObject() = default;
    virtual bool Init() { return true; }
    virtual long GetInfo() { return 2000; }
    virtual void SetLocale() {}
    virtual void Done() {}
    virtual bool SetMemManager() { return true; }
    // The declarations of the object's most derived class.
    virtual const ClassDeclarations& Declarations() const = 0;

    const ClassRegistration* ClassReg = nullptr;
    napi::IMemoryManager* V8MM = nullptr;
    napi::IAddInDefBase* V8 = nullptr;
    std::u16string locale;
};

} // namespace veltrano::addin
