// The five exports of the add-in module. C linkage, visible; nothing escapes them.
#include "addin/class_registry.h"
#include "addin/component.h"
#include "addin/native_api.h"
#include "module/module.h"

#include <memory>
#include <string_view>

using veltrano::napi::AppCapabilities;
using veltrano::napi::AttachType;
using veltrano::napi::IComponentBase;
using veltrano::napi::WCHAR_T;

VELTRANO_EXPORT const WCHAR_T* GetClassNames();
VELTRANO_EXPORT long GetClassObject(const WCHAR_T* name, IComponentBase** object);
VELTRANO_EXPORT long DestroyObject(IComponentBase** object);
VELTRANO_EXPORT AttachType GetAttachType();
VELTRANO_EXPORT AppCapabilities SetPlatformCapabilities(const AppCapabilities capabilities);

const WCHAR_T* GetClassNames() {
    veltrano::module::EnsureModuleLoaded();
    try {
        return veltrano::addin::ClassNames();
    } catch (...) {
        return u"";
    }
}

long GetClassObject(const WCHAR_T* name, IComponentBase** object) {
    veltrano::module::EnsureModuleLoaded();
    try {
        if (name == nullptr || object == nullptr)
            return 0;
        const veltrano::addin::ClassRegistration* classReg =
            veltrano::addin::FindClass(std::u16string_view(name));
        if (classReg == nullptr || classReg->UserClass == nullptr)
            return 0;
        std::unique_ptr<veltrano::addin::UserObject> driver = classReg->UserClass();
        if (!driver)
            return 0;
        auto component = std::make_unique<veltrano::addin::ComponentObject>(*classReg, std::move(driver));
        *object = component.release();
        return 1;
    } catch (...) {
        return 0;
    }
}

long DestroyObject(IComponentBase** object) {
    veltrano::module::EnsureModuleLoaded();
    try {
        if (object == nullptr || *object == nullptr)
            return 0;
        auto* component = static_cast<veltrano::addin::ComponentObject*>(*object);
        component->DestroyDriver();
        delete component;
    } catch (...) {
    }
    return 0;
}

AttachType GetAttachType() {
    veltrano::module::EnsureModuleLoaded();
    return veltrano::napi::eCanAttachAny;
}

AppCapabilities SetPlatformCapabilities(const AppCapabilities capabilities) {
    veltrano::module::EnsureModuleLoaded();
    return capabilities;
}
