// The component object that the platform drives: the four Native API interfaces over one driver
// object.
#pragma once

#include "addin/class_registry.h"
#include "addin/native_api.h"
#include "addin/user_object.h"

#include <memory>
#include <string_view>

namespace veltrano::addin {

class ComponentObject final : public napi::IComponentBase {
public:
    // Takes the driver object and sets its ClassReg.
    ComponentObject(const ClassRegistration& classReg, std::unique_ptr<UserObject> driver);
    ~ComponentObject() override;

    ComponentObject(const ComponentObject&) = delete;
    ComponentObject& operator=(const ComponentObject&) = delete;

    UserObject* Driver() const { return driver_.get(); }
    const ClassRegistration& ClassReg() const { return classReg_; }
    // Destroys the driver object (DestroyObject does this before releasing the component).
    void DestroyDriver() noexcept;

    // IInitDoneBase
    bool ADDIN_API Init(void* connection) override;
    bool ADDIN_API setMemManager(void* memoryManager) override;
    long ADDIN_API GetInfo() override;
    void ADDIN_API Done() override;

    // ILanguageExtenderBase
    bool ADDIN_API RegisterExtensionAs(napi::WCHAR_T** extensionName) override;
    long ADDIN_API GetNProps() override;
    long ADDIN_API FindProp(const napi::WCHAR_T* propName) override;
    const napi::WCHAR_T* ADDIN_API GetPropName(long propNum, long propAlias) override;
    bool ADDIN_API GetPropVal(const long propNum, V8Variant* value) override;
    bool ADDIN_API SetPropVal(const long propNum, V8Variant* value) override;
    bool ADDIN_API IsPropReadable(const long propNum) override;
    bool ADDIN_API IsPropWritable(const long propNum) override;
    long ADDIN_API GetNMethods() override;
    long ADDIN_API FindMethod(const napi::WCHAR_T* methodName) override;
    const napi::WCHAR_T* ADDIN_API GetMethodName(const long methodNum, const long methodAlias) override;
    long ADDIN_API GetNParams(const long methodNum) override;
    bool ADDIN_API GetParamDefValue(const long methodNum, const long paramNum, V8Variant* value) override;
    bool ADDIN_API HasRetVal(const long methodNum) override;
    bool ADDIN_API CallAsProc(const long methodNum, V8Variant* params, const long count) override;
    bool ADDIN_API CallAsFunc(const long methodNum, V8Variant* result, V8Variant* params,
                              const long count) override;

    // LocaleBase
    void ADDIN_API SetLocale(const napi::WCHAR_T* locale) override;

    // UserLanguageBase: accepted and ignored.
    void ADDIN_API SetUserInterfaceLanguageCode(const napi::WCHAR_T* languageCode) override;

private:
    bool CallMethod(long methodNum, V8Variant* result, V8Variant* params, long count) noexcept;
    bool AccessProperty(long propNum, V8Variant* value, bool get) noexcept;
    // Host error 1006 through the connection and an ERROR line "EXCEPTION"; never throws.
    void ReportHostError(std::string_view message) noexcept;
    const MethodRegistration* Method(long index) const;
    const PropertyRegistration* Property(long index) const;
    napi::WCHAR_T* HostName(std::u16string_view name) const noexcept;

    const ClassRegistration& classReg_;
    std::unique_ptr<UserObject> driver_;
};

// Name lookup (exact case; Russian name first, then English; the first matching entry wins).
long FindMethodIndex(const ClassRegistration& classReg, std::u16string_view name);
long FindPropIndex(const ClassRegistration& classReg, std::u16string_view name);

} // namespace veltrano::addin
