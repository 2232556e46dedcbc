// The component object. Nothing escapes an interface call: every entry catches everything.
#include "addin/component.h"

#include "addin/trace.h"
#include "addin/variant.h"
#include "common/text.h"
#include "log/log.h"

#include <exception>
#include <string>

namespace veltrano::addin {

namespace {

constexpr napi::WCHAR_T kErrorSource[] = u"Внешняя компонента";

std::u16string_view View(const napi::WCHAR_T* text) {
    return text == nullptr ? std::u16string_view() : std::u16string_view(text);
}

} // namespace

long FindMethodIndex(const ClassRegistration& classReg, std::u16string_view name) {
    for (std::size_t i = 0; i < classReg.MethList.size(); ++i) {
        const MethodRegistration& entry = classReg.MethList[i];
        if (entry.MethNameLoc == name || entry.MethName == name)
            return static_cast<long>(i);
    }
    return -1;
}

long FindPropIndex(const ClassRegistration& classReg, std::u16string_view name) {
    for (std::size_t i = 0; i < classReg.PropList.size(); ++i) {
        const PropertyRegistration& entry = classReg.PropList[i];
        if (entry.PropNameLoc == name || entry.PropName == name)
            return static_cast<long>(i);
    }
    return -1;
}

ComponentObject::ComponentObject(const ClassRegistration& classReg, std::unique_ptr<UserObject> driver)
    : classReg_(classReg), driver_(std::move(driver)) {
    if (driver_)
        driver_->ClassReg = &classReg_;
}

ComponentObject::~ComponentObject() {
    DestroyDriver();
}

void ComponentObject::DestroyDriver() noexcept {
    try {
        driver_.reset();
    } catch (...) {
        // A destructor that throws would terminate anyway; nothing to report to.
    }
}

const MethodRegistration* ComponentObject::Method(long index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= classReg_.MethList.size())
        return nullptr;
    return &classReg_.MethList[static_cast<std::size_t>(index)];
}

const PropertyRegistration* ComponentObject::Property(long index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= classReg_.PropList.size())
        return nullptr;
    return &classReg_.PropList[static_cast<std::size_t>(index)];
}

napi::WCHAR_T* ComponentObject::HostName(std::u16string_view name) const noexcept {
    try {
        return driver_ ? HostCopy(driver_->V8MM, name) : nullptr;
    } catch (...) {
        return nullptr;
    }
}

void ComponentObject::ReportHostError(std::string_view message) noexcept {
    try {
        if (driver_ && driver_->V8 != nullptr) {
            napi::WCHAR_T* description = HostCopy(driver_->V8MM, text::Utf8ToUtf16(message));
            driver_->V8->AddError(napi::ADDIN_E_FAIL, kErrorSource, description, napi::E_FAIL_CODE);
        }
    } catch (...) {
        // The host's own failure while taking the error: nothing more can be done.
    }
    log::WriteLog("EXCEPTION", message, log::Level::Error);
}

// IInitDoneBase

bool ComponentObject::Init(void* connection) {
    try {
        if (!driver_)
            return false;
        driver_->V8 = static_cast<napi::IAddInDefBase*>(connection);
        return driver_->Init();
    } catch (...) {
        return false;
    }
}

bool ComponentObject::setMemManager(void* memoryManager) {
    try {
        if (!driver_)
            return false;
        driver_->V8MM = static_cast<napi::IMemoryManager*>(memoryManager);
        return driver_->SetMemManager();
    } catch (...) {
        return false;
    }
}

long ComponentObject::GetInfo() {
    try {
        return driver_ ? driver_->GetInfo() : 2000;
    } catch (...) {
        return 2000;
    }
}

void ComponentObject::Done() {
    try {
        if (driver_)
            driver_->Done();
    } catch (...) {
    }
}

// ILanguageExtenderBase

bool ComponentObject::RegisterExtensionAs(napi::WCHAR_T** extensionName) {
    try {
        if (extensionName != nullptr)
            *extensionName = HostName(classReg_.RegisterExtensionAs);
        return true;
    } catch (...) {
        return false;
    }
}

long ComponentObject::GetNProps() {
    return classReg_.PropCount;
}

long ComponentObject::FindProp(const napi::WCHAR_T* propName) {
    try {
        return propName == nullptr ? -1 : FindPropIndex(classReg_, View(propName));
    } catch (...) {
        return -1;
    }
}

const napi::WCHAR_T* ComponentObject::GetPropName(long propNum, long propAlias) {
    const PropertyRegistration* entry = Property(propNum);
    if (entry == nullptr)
        return nullptr;
    return HostName(propAlias == 0 ? entry->PropName : entry->PropNameLoc);
}

bool ComponentObject::AccessProperty(long propNum, V8Variant* value, bool get) noexcept {
    try {
        const PropertyRegistration* entry = Property(propNum);
        if (entry == nullptr || !driver_ || entry->PropGetSet == nullptr)
            return false;
        return entry->PropGetSet(*driver_, text::Utf16ToUtf8(entry->PropName), value, get);
    } catch (const std::exception& error) {
        ReportHostError(error.what());
    } catch (...) {
        ReportHostError("Unknown error");
    }
    return false;
}

bool ComponentObject::GetPropVal(const long propNum, V8Variant* value) {
    return AccessProperty(propNum, value, true);
}

bool ComponentObject::SetPropVal(const long propNum, V8Variant* value) {
    return AccessProperty(propNum, value, false);
}

bool ComponentObject::IsPropReadable(const long propNum) {
    const PropertyRegistration* entry = Property(propNum);
    return entry != nullptr && entry->IsReadable;
}

bool ComponentObject::IsPropWritable(const long propNum) {
    const PropertyRegistration* entry = Property(propNum);
    return entry != nullptr && entry->IsWritable;
}

long ComponentObject::GetNMethods() {
    return classReg_.MethCount;
}

long ComponentObject::FindMethod(const napi::WCHAR_T* methodName) {
    try {
        return methodName == nullptr ? -1 : FindMethodIndex(classReg_, View(methodName));
    } catch (...) {
        return -1;
    }
}

const napi::WCHAR_T* ComponentObject::GetMethodName(const long methodNum, const long methodAlias) {
    const MethodRegistration* entry = Method(methodNum);
    if (entry == nullptr)
        return nullptr;
    return HostName(methodAlias == 0 ? entry->MethName : entry->MethNameLoc);
}

long ComponentObject::GetNParams(const long methodNum) {
    const MethodRegistration* entry = Method(methodNum);
    return entry == nullptr ? 0 : entry->ParamCount;
}

bool ComponentObject::GetParamDefValue(const long methodNum, const long paramNum, V8Variant* value) {
    try {
        const MethodRegistration* entry = Method(methodNum);
        if (entry == nullptr || value == nullptr || !driver_)
            return false;
        const DefaultParameter* def = entry->DefParams.At(paramNum);
        if (def == nullptr)
            return false;
        napi::IMemoryManager* mm = driver_->V8MM;
        switch (def->Value.vt) {
        case napi::VTYPE_PWSTR:
            return V8SetWString(mm, value, View(def->Value.pwstrVal));
        case napi::VTYPE_PSTR:
            return V8SetPChar(mm, value, def->Value.pstrVal);
        default:
            V8ClearVar(mm, value);
            *value = def->Value;
            return true;
        }
    } catch (...) {
        return false;
    }
}

bool ComponentObject::HasRetVal(const long methodNum) {
    const MethodRegistration* entry = Method(methodNum);
    return entry != nullptr && entry->IsFunction;
}

bool ComponentObject::CallMethod(long methodNum, V8Variant* result, V8Variant* params, long count) noexcept {
    try {
        const MethodRegistration* entry = Method(methodNum);
        if (entry == nullptr || !driver_ || entry->Execute == nullptr)
            return false;
        if (params == nullptr || count < 0)
            count = 0;
        const std::string name = text::Utf16ToUtf8(entry->MethName);

        // The trace renders every parameter, receipts and all: only when the log takes it.
        SelectCallLogMode(params, count);
        CheckParams(params, count);
        if (log::WillWrite(log::Level::Debug))
            log::WriteLog("> " + name, "Params: " + RenderParams(params, count), log::Level::Debug);

        const bool outcome = entry->Execute(*driver_, result, params, count);

        SelectCallLogMode(params, count);
        if (log::WillWrite(log::Level::Debug)) {
            std::string details;
            if (result != nullptr)
                details = "Result=" + RenderValue(*result);
            details += "; Params: " + RenderParams(params, count);
            log::WriteLog("< " + name, details, log::Level::Debug);
        }
        return outcome;
    } catch (const std::exception& error) {
        ReportHostError(error.what());
    } catch (...) {
        ReportHostError("Unknown error");
    }
    return false;
}

bool ComponentObject::CallAsProc(const long methodNum, V8Variant* params, const long count) {
    return CallMethod(methodNum, nullptr, params, count);
}

bool ComponentObject::CallAsFunc(const long methodNum, V8Variant* result, V8Variant* params,
                                 const long count) {
    return CallMethod(methodNum, result, params, count);
}

// LocaleBase

void ComponentObject::SetLocale(const napi::WCHAR_T* locale) {
    try {
        if (!driver_)
            return;
        driver_->locale = std::u16string(View(locale));
        driver_->SetLocale();
    } catch (...) {
    }
}

void ComponentObject::SetUserInterfaceLanguageCode(const napi::WCHAR_T* /*languageCode*/) {}

} // namespace veltrano::addin
