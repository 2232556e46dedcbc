// A small stand-in for the 1C:Enterprise platform: it loads the add-in module with dlopen, supplies a
// heap-backed memory manager and a connection that records every AddError, and drives component objects in
// the platform's order. Tests and the command-line program use it; it shares no code with the add-in.
#pragma once

#include "addin/native_api.h"

#include <cstdint>
#include <ctime>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace veltrano::testhost {

namespace napi = veltrano::napi;

// UTF-8 <-> UTF-16 for host texts (an invalid sequence becomes U+FFFD).
std::u16string ToUtf16(std::string_view utf8);
std::string ToUtf8(std::u16string_view utf16);

// The module the tests load: $VELTRANO_MODULE when set, else the one this build produced.
std::string DefaultModulePath();

// A host value as a test writes it or reads it back. Texts are UTF-8; a blob's bytes are kept in `text`.
struct Value {
    std::uint16_t vt = napi::VTYPE_EMPTY; // full type code, flag bits included
    bool boolean = false;
    std::int64_t integer = 0; // I2, I4, I8, UI1, ERROR
    double number = 0;        // R4, R8, DATE
    std::string text;         // PWSTR, PSTR (UTF-8); BLOB bytes
    std::tm moment{};         // TM

    static Value Empty() { return {}; }
    static Value Null();
    static Value Bool(bool flag);
    static Value Int(std::int32_t number);
    static Value Int64(std::int64_t number);
    static Value Double(double number);
    static Value Date(double oleDate);
    static Value Text(std::string utf8);
    static Value PChar(std::string bytes);
    static Value Blob(std::string bytes);
    static Value Tm(const std::tm& moment);
    // Any type code with zeroed content (for boundary tests: VTYPE_INTERFACE, VTYPE_CLSID, 0x123, ...).
    static Value Raw(std::uint16_t vt);

    // The same value with the by-reference flag (0x4000) set, as a test of type names wants it.
    Value ByRef() const;
    Value WithFlags(std::uint16_t flags) const;

    std::uint16_t BaseType() const { return vt & napi::VTYPE_TYPEMASK; }
    bool IsEmpty() const { return vt == napi::VTYPE_EMPTY; }
    bool IsBool() const { return vt == napi::VTYPE_BOOL; }
    bool IsInt() const { return vt == napi::VTYPE_I4 || vt == napi::VTYPE_I8; }
    bool IsText() const { return vt == napi::VTYPE_PWSTR; }
    // Readable form for messages and the command-line program: true/false, numbers, texts as they are.
    std::string ToString() const;
    // The type's short name: "EMPTY", "BOOL", "I4", "PWSTR", ...; flags appended as "|BYREF" and so on.
    std::string TypeText() const;
};

// The platform's memory manager over the ordinary heap. It counts what it handed out and not yet got back, so
// a test can check that no host memory leaks; it can be told to refuse allocations.
class HostMemory final : public napi::IMemoryManager {
public:
    HostMemory() = default;
    ~HostMemory() override;
    HostMemory(const HostMemory&) = delete;
    HostMemory& operator=(const HostMemory&) = delete;

    bool ADDIN_API AllocMemory(void** memory, unsigned long byteCount) override;
    void ADDIN_API FreeMemory(void** memory) override;

    // Allocations handed out and not returned.
    std::size_t Outstanding() const { return blocks_.size(); }
    std::size_t OutstandingBytes() const;
    std::size_t AllocationCount() const { return allocations_; }
    std::size_t FreeCount() const { return frees_; }
    // FreeMemory calls with a pointer this manager never handed out (or already took back).
    std::size_t ForeignFrees() const { return foreignFrees_; }
    bool Owns(const void* memory) const { return blocks_.count(const_cast<void*>(memory)) != 0; }
    // While set, AllocMemory answers false.
    void SetRefuseAllocations(bool refuse) { refuse_ = refuse; }

    // Host-side helpers (never refused): a block for the host's own values, a zero-terminated UTF-16 copy,
    // and returning a block the host received.
    void* AllocBytes(std::size_t byteCount);
    napi::WCHAR_T* AllocText(std::u16string_view text);
    void Free(void* memory);

private:
    std::map<void*, std::size_t> blocks_;
    std::size_t allocations_ = 0;
    std::size_t frees_ = 0;
    std::size_t foreignFrees_ = 0;
    bool refuse_ = false;
};

// One AddError call as the platform received it.
struct RecordedError {
    unsigned short code = 0;
    std::string source;
    std::string description;
    long scode = 0;
    bool descriptionIsHostMemory = false; // the description came in memory from the host's manager
};

// The platform's connection: records every AddError; the other services answer "no".
class HostConnection final : public napi::IAddInDefBaseEx {
public:
    explicit HostConnection(HostMemory& memory) : memory_(memory) {}
    ~HostConnection() override = default;

    bool ADDIN_API AddError(unsigned short wcode, const napi::WCHAR_T* source, const napi::WCHAR_T* descr,
                            long scode) override;
    bool ADDIN_API Read(napi::WCHAR_T*, napi::V8Variant*, long*, napi::WCHAR_T**) override { return false; }
    bool ADDIN_API Write(napi::WCHAR_T*, napi::V8Variant*) override { return false; }
    bool ADDIN_API RegisterProfileAs(napi::WCHAR_T*) override { return false; }
    bool ADDIN_API SetEventBufferDepth(long) override { return false; }
    long ADDIN_API GetEventBufferDepth() override { return 0; }
    bool ADDIN_API ExternalEvent(napi::WCHAR_T*, napi::WCHAR_T*, napi::WCHAR_T*) override { return false; }
    void ADDIN_API CleanEventBuffer() override {}
    bool ADDIN_API SetStatusLine(napi::WCHAR_T*) override { return false; }
    void ADDIN_API ResetStatusLine() override {}
    void* ADDIN_API GetInterface(Interfaces) override { return nullptr; }

    const std::vector<RecordedError>& Errors() const { return errors_; }
    void ClearErrors() { errors_.clear(); }

private:
    HostMemory& memory_;
    std::vector<RecordedError> errors_;
};

// The loaded module and its five exports.
class Module {
public:
    // dlopen(path, RTLD_NOW | RTLD_LOCAL); throws std::runtime_error with dlerror's text when the module or
    // one of the exports cannot be had.
    explicit Module(const std::string& path = DefaultModulePath());
    ~Module();
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;

    const std::string& Path() const { return path_; }
    void* Handle() const { return handle_; }

    std::string ClassNames() const; // GetClassNames as UTF-8
    const napi::WCHAR_T* RawClassNames() const { return getClassNames_(); }
    long GetClassObject(const napi::WCHAR_T* name, napi::IComponentBase** object) const {
        return getClassObject_(name, object);
    }
    long DestroyObject(napi::IComponentBase** object) const { return destroyObject_(object); }
    napi::AttachType GetAttachType() const { return getAttachType_(); }
    napi::AppCapabilities SetPlatformCapabilities(napi::AppCapabilities level) const {
        return setPlatformCapabilities_(level);
    }

private:
    std::string path_;
    void* handle_ = nullptr;
    napi::GetClassNamesFn getClassNames_ = nullptr;
    napi::GetClassObjectFn getClassObject_ = nullptr;
    napi::DestroyObjectFn destroyObject_ = nullptr;
    napi::GetAttachTypeFn getAttachType_ = nullptr;
    napi::SetPlatformCapabilitiesFn setPlatformCapabilities_ = nullptr;
};

// What one method call gave back.
struct CallResult {
    bool returned = false;                 // the Boolean of CallAsFunc / CallAsProc
    Value result;                          // the result slot after the call (empty for CallAsProc)
    std::vector<Value> params;             // every parameter as it was after the call
    std::vector<RecordedError> hostErrors; // AddError calls made during the call

    // The call returned true and its result slot holds true.
    bool Succeeded() const { return returned && result.IsBool() && result.boolean; }
    const std::string& Out(std::size_t index) const { return params.at(index).text; }
};

struct PropResult {
    bool returned = false;
    Value value;
    std::vector<RecordedError> hostErrors;
};

struct LastErrorInfo {
    std::int32_t code = 0;
    std::string description;
};

class TestHost;

// One component object, driven in the platform's order: GetClassObject, Init, setMemManager,
// RegisterExtensionAs, SetLocale; then calls; Done and DestroyObject when it is destroyed.
class Component {
public:
    ~Component();
    Component(const Component&) = delete;
    Component& operator=(const Component&) = delete;

    // Done, then DestroyObject; the object is gone afterwards (calls then throw std::logic_error).
    void Destroy();
    bool Alive() const { return object_ != nullptr; }
    napi::IComponentBase* Raw() const { return object_; }

    // What RegisterExtensionAs gave (UTF-8), and the Boolean it returned.
    const std::string& ExtensionName() const { return extensionName_; }
    bool ExtensionRegistered() const { return extensionRegistered_; }

    // Calls by Russian or English name through FindMethod and CallAsFunc / CallAsProc. An unknown name throws
    // std::invalid_argument.
    CallResult Call(std::string_view name, std::vector<Value> args = {});
    CallResult CallProc(std::string_view name, std::vector<Value> args = {});
    // By index, for boundary tests (an index outside the table goes to the component as it is).
    CallResult CallIndex(long index, std::vector<Value> args, bool asFunction = true);
    // ПолучитьОшибку: its integer result and description.
    LastErrorInfo LastError();

    // Properties by name (FindProp) or index.
    PropResult GetProp(std::string_view name);
    PropResult SetProp(std::string_view name, const Value& value);
    PropResult PropVal(long index);
    PropResult SetPropVal(long index, const Value& value);

    // The index-based operations, one to one.
    long Info();
    long NProps();
    long FindProp(std::string_view name);
    long FindPropW(const napi::WCHAR_T* name);
    std::optional<std::string> PropName(long index, long alias); // nullopt when the component gave null
    bool IsPropReadable(long index);
    bool IsPropWritable(long index);
    long NMethods();
    long FindMethod(std::string_view name);
    long FindMethodW(const napi::WCHAR_T* name);
    std::optional<std::string> MethodName(long index, long alias);
    long NParams(long index);
    std::pair<bool, Value> ParamDefValue(long index, long param);
    bool HasRetVal(long index);
    void SetLocale(std::string_view locale);
    void SetUserInterfaceLanguageCode(std::string_view code);

private:
    friend class TestHost;
    Component(std::shared_ptr<Module> module, std::shared_ptr<HostMemory> memory,
              std::shared_ptr<HostConnection> connection, napi::IComponentBase* object);
    napi::IComponentBase& Object() const;
    napi::V8Variant ToVariant(const Value& value);
    void Release(napi::V8Variant& variant);
    CallResult Invoke(long index, std::vector<Value>& args, bool asFunction);

    std::shared_ptr<Module> module_;
    std::shared_ptr<HostMemory> memory_;
    std::shared_ptr<HostConnection> connection_;
    napi::IComponentBase* object_ = nullptr;
    std::string extensionName_;
    bool extensionRegistered_ = false;
};

// Reads a host variant into a Value (texts up to their zero, blobs by their length).
Value FromVariant(const napi::V8Variant& variant);

// The platform: the loaded module, the memory manager and the connection shared by its component objects.
class TestHost {
public:
    explicit TestHost(const std::string& modulePath = DefaultModulePath());
    ~TestHost();

    // GetClassObject with the name; with platformOrder the object is initialised as the platform does it
    // (Init, setMemManager, RegisterExtensionAs, SetLocale "ru_RU"). Null when GetClassObject answers 0.
    std::unique_ptr<Component> Create(std::string_view className = "Veltrano", bool platformOrder = true);

    Module& GetModule() { return *module_; }
    HostMemory& Memory() { return *memory_; }
    HostConnection& Connection() { return *connection_; }

private:
    std::shared_ptr<Module> module_;
    std::shared_ptr<HostMemory> memory_;
    std::shared_ptr<HostConnection> connection_;
};

} // namespace veltrano::testhost
