// The 1C:Enterprise Native API contract as the platform sees it: the host variant, the host's memory manager
// and connection, and the component interfaces. Declared from the platform's public add-in contract so that
// the platform's virtual calls land in the right slots under the GCC (Itanium) ABI and the MSVC ABI alike.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>

#if defined(_WIN32)
#define ADDIN_API __stdcall
#define VELTRANO_EXPORT extern "C" __declspec(dllexport)
#else
#define ADDIN_API
#define VELTRANO_EXPORT extern "C" __attribute__((visibility("default")))
#endif

// The platform's variant uses anonymous structs inside its union, a common compiler extension.
#if defined(__GNUC__)
#define VELTRANO_ANONYMOUS __extension__
#else
#define VELTRANO_ANONYMOUS
#endif

namespace veltrano::napi {

// Host texts are UTF-16 code units on every platform (wchar_t is 32-bit on Linux and must not carry them).
using WCHAR_T = char16_t;

enum VariantType : std::uint16_t {
    VTYPE_EMPTY = 0,
    VTYPE_NULL,
    VTYPE_I2,
    VTYPE_I4,
    VTYPE_R4,
    VTYPE_R8,
    VTYPE_DATE,
    VTYPE_TM,
    VTYPE_PSTR,
    VTYPE_INTERFACE,
    VTYPE_ERROR,
    VTYPE_BOOL,
    VTYPE_VARIANT,
    VTYPE_I1,
    VTYPE_UI1,
    VTYPE_UI2,
    VTYPE_UI4,
    VTYPE_I8,
    VTYPE_UI8,
    VTYPE_INT,
    VTYPE_UINT,
    VTYPE_HRESULT,
    VTYPE_PWSTR,
    VTYPE_BLOB,
    VTYPE_CLSID,
    VTYPE_STR_BLOB = 0xFFF,
    VTYPE_VECTOR = 0x1000,
    VTYPE_ARRAY = 0x2000,
    VTYPE_BYREF = 0x4000,
    VTYPE_TYPEMASK = 0xFFF,
};

struct Guid {
    std::uint32_t data1;
    std::uint16_t data2;
    std::uint16_t data3;
    std::uint8_t data4[8];
};

// The platform's tagged value. The union holds the C `tm` record, so its size follows the platform: 40 bytes
// on 32-bit Windows (48 in all, `vt` at byte 44), 56 bytes on Linux x86_64 (64 in all, `vt` at byte 60).
#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wnested-anon-types"
#pragma clang diagnostic ignored "-Wgnu-anonymous-struct"
#endif
struct V8Variant {
    union {
        std::int8_t i8Val;
        std::int16_t shortVal;
        std::int32_t lVal;
        int intVal;
        unsigned int uintVal;
        std::int64_t llVal;
        std::uint8_t ui8Val;
        std::uint16_t ushortVal;
        std::uint32_t ulVal;
        std::uint64_t ullVal;
        std::int32_t errCode;
        long hRes;
        float fltVal;
        double dblVal;
        bool bVal;
        char chVal;
        WCHAR_T wchVal;
        double date;
        Guid IDVal;
        V8Variant* pvarVal;
        struct tm tmVal;
        VELTRANO_ANONYMOUS struct {
            void* pInterfaceVal;
            Guid InterfaceID;
        };
        VELTRANO_ANONYMOUS struct {
            char* pstrVal;
            std::uint32_t strLen;
        };
        VELTRANO_ANONYMOUS struct {
            WCHAR_T* pwstrVal;
            std::uint32_t wstrLen;
        };
    };
    std::uint32_t cbElements;
    std::uint16_t vt;
};
#if defined(__clang__)
#pragma clang diagnostic pop
#endif

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(V8Variant) == 48, "the host variant is 48 bytes on 32-bit Windows");
static_assert(offsetof(V8Variant, vt) == 44, "the type code sits at byte 44 on 32-bit Windows");
#elif defined(__linux__) && defined(__x86_64__)
static_assert(sizeof(V8Variant) == 64, "the host variant on Linux x86_64 follows the platform's tm record");
static_assert(offsetof(V8Variant, vt) == 60, "the type code follows the union and cbElements");
#endif

// The host's memory manager: everything handed to the host is allocated here.
class IMemoryManager {
public:
    virtual ~IMemoryManager() = default;
    virtual bool ADDIN_API AllocMemory(void** memory, unsigned long byteCount) = 0;
    virtual void ADDIN_API FreeMemory(void** memory) = 0;
};

// The host connection; only AddError is used by the add-in.
class IAddInDefBase {
public:
    virtual ~IAddInDefBase() = default;
    virtual bool ADDIN_API AddError(unsigned short wcode, const WCHAR_T* source, const WCHAR_T* descr,
                                    long scode) = 0;
    virtual bool ADDIN_API Read(WCHAR_T* propName, V8Variant* value, long* errCode,
                                WCHAR_T** errDescriptor) = 0;
    virtual bool ADDIN_API Write(WCHAR_T* propName, V8Variant* value) = 0;
    virtual bool ADDIN_API RegisterProfileAs(WCHAR_T* profileName) = 0;
    virtual bool ADDIN_API SetEventBufferDepth(long depth) = 0;
    virtual long ADDIN_API GetEventBufferDepth() = 0;
    virtual bool ADDIN_API ExternalEvent(WCHAR_T* source, WCHAR_T* message, WCHAR_T* data) = 0;
    virtual void ADDIN_API CleanEventBuffer() = 0;
    virtual bool ADDIN_API SetStatusLine(WCHAR_T* statusLine) = 0;
    virtual void ADDIN_API ResetStatusLine() = 0;
};

class IAddInDefBaseEx : public IAddInDefBase {
public:
    enum Interfaces { eIMsgBox = 0, eIPlatformInfo };
    ~IAddInDefBaseEx() override = default;
    virtual void* ADDIN_API GetInterface(Interfaces iface) = 0;
};

class IInitDoneBase {
public:
    virtual ~IInitDoneBase() = default;
    virtual bool ADDIN_API Init(void* connection) = 0;
    virtual bool ADDIN_API setMemManager(void* memoryManager) = 0;
    virtual long ADDIN_API GetInfo() = 0;
    virtual void ADDIN_API Done() = 0;
};

class ILanguageExtenderBase {
public:
    virtual ~ILanguageExtenderBase() = default;
    virtual bool ADDIN_API RegisterExtensionAs(WCHAR_T** extensionName) = 0;
    virtual long ADDIN_API GetNProps() = 0;
    virtual long ADDIN_API FindProp(const WCHAR_T* propName) = 0;
    virtual const WCHAR_T* ADDIN_API GetPropName(long propNum, long propAlias) = 0;
    virtual bool ADDIN_API GetPropVal(const long propNum, V8Variant* value) = 0;
    virtual bool ADDIN_API SetPropVal(const long propNum, V8Variant* value) = 0;
    virtual bool ADDIN_API IsPropReadable(const long propNum) = 0;
    virtual bool ADDIN_API IsPropWritable(const long propNum) = 0;
    virtual long ADDIN_API GetNMethods() = 0;
    virtual long ADDIN_API FindMethod(const WCHAR_T* methodName) = 0;
    virtual const WCHAR_T* ADDIN_API GetMethodName(const long methodNum, const long methodAlias) = 0;
    virtual long ADDIN_API GetNParams(const long methodNum) = 0;
    virtual bool ADDIN_API GetParamDefValue(const long methodNum, const long paramNum, V8Variant* value) = 0;
    virtual bool ADDIN_API HasRetVal(const long methodNum) = 0;
    virtual bool ADDIN_API CallAsProc(const long methodNum, V8Variant* params, const long count) = 0;
    virtual bool ADDIN_API CallAsFunc(const long methodNum, V8Variant* result, V8Variant* params,
                                      const long count) = 0;
};

class LocaleBase {
public:
    virtual ~LocaleBase() = default;
    virtual void ADDIN_API SetLocale(const WCHAR_T* locale) = 0;
};

// Added by newer platforms; the add-in accepts the call and ignores it.
class UserLanguageBase {
public:
    virtual ~UserLanguageBase() = default;
    virtual void ADDIN_API SetUserInterfaceLanguageCode(const WCHAR_T* languageCode) = 0;
};

class IComponentBase : public IInitDoneBase,
                       public ILanguageExtenderBase,
                       public LocaleBase,
                       public UserLanguageBase {
public:
    ~IComponentBase() override = default;
};

enum AttachType { eCanAttachNotIsolated = 1, eCanAttachIsolated, eCanAttachAny };
enum AppCapabilities {
    eAppCapabilitiesInvalid = -1,
    eAppCapabilities1 = 1,
    eAppCapabilities2,
    eAppCapabilities3
};

constexpr unsigned short ADDIN_E_FAIL = 1006;
constexpr long E_FAIL_CODE = static_cast<long>(0x80004005L);

// Signatures of the five exports, for hosts that look them up by name.
using GetClassNamesFn = const WCHAR_T* (*)();
using GetClassObjectFn = long (*)(const WCHAR_T* name, IComponentBase** object);
using DestroyObjectFn = long (*)(IComponentBase** object);
using GetAttachTypeFn = AttachType (*)();
using SetPlatformCapabilitiesFn = AppCapabilities (*)(const AppCapabilities capabilities);

} // namespace veltrano::napi
