// The test host: the platform's side of the Native API contract, for tests and the command-line program.
#include "testhost.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#ifndef VELTRANO_MODULE_PATH
#define VELTRANO_MODULE_PATH "libVeltrano.so"
#endif

namespace veltrano::testhost {

// ---------------------------------------------------------------------------------------------------------------
// Texts

std::u16string ToUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        char32_t cp = 0xFFFD;
        std::size_t len = 1;
        if (c < 0x80) {
            cp = c;
        } else if ((c & 0xE0) == 0xC0) {
            len = 2;
        } else if ((c & 0xF0) == 0xE0) {
            len = 3;
        } else if ((c & 0xF8) == 0xF0) {
            len = 4;
        }
        if (len > 1) {
            bool valid = i + len <= utf8.size();
            char32_t value = c & (0x7F >> len);
            for (std::size_t k = 1; valid && k < len; ++k) {
                const auto cc = static_cast<unsigned char>(utf8[i + k]);
                if ((cc & 0xC0) != 0x80)
                    valid = false;
                else
                    value = (value << 6) | (cc & 0x3F);
            }
            static constexpr char32_t minimum[] = {0, 0, 0x80, 0x800, 0x10000};
            if (valid && value >= minimum[len] && value <= 0x10FFFF && (value < 0xD800 || value > 0xDFFF)) {
                cp = value;
            } else {
                cp = 0xFFFD;
                len = 1;
            }
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
        i += len;
    }
    return out;
}

std::string ToUtf8(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        char32_t cp = utf16[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
            utf16[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

std::string DefaultModulePath() {
    if (const char* path = std::getenv("VELTRANO_MODULE"); path != nullptr && *path != '\0')
        return path;
    return VELTRANO_MODULE_PATH;
}

// ---------------------------------------------------------------------------------------------------------------
// Values

Value Value::Null() {
    Value v;
    v.vt = napi::VTYPE_NULL;
    return v;
}

Value Value::Bool(bool flag) {
    Value v;
    v.vt = napi::VTYPE_BOOL;
    v.boolean = flag;
    return v;
}

Value Value::Int(std::int32_t number) {
    Value v;
    v.vt = napi::VTYPE_I4;
    v.integer = number;
    return v;
}

Value Value::Int64(std::int64_t number) {
    Value v;
    v.vt = napi::VTYPE_I8;
    v.integer = number;
    return v;
}

Value Value::Double(double number) {
    Value v;
    v.vt = napi::VTYPE_R8;
    v.number = number;
    return v;
}

Value Value::Date(double oleDate) {
    Value v;
    v.vt = napi::VTYPE_DATE;
    v.number = oleDate;
    return v;
}

Value Value::Text(std::string utf8) {
    Value v;
    v.vt = napi::VTYPE_PWSTR;
    v.text = std::move(utf8);
    return v;
}

Value Value::PChar(std::string bytes) {
    Value v;
    v.vt = napi::VTYPE_PSTR;
    v.text = std::move(bytes);
    return v;
}

Value Value::Blob(std::string bytes) {
    Value v;
    v.vt = napi::VTYPE_BLOB;
    v.text = std::move(bytes);
    return v;
}

Value Value::Tm(const std::tm& moment) {
    Value v;
    v.vt = napi::VTYPE_TM;
    v.moment = moment;
    return v;
}

Value Value::Raw(std::uint16_t vt) {
    Value v;
    v.vt = vt;
    return v;
}

Value Value::ByRef() const {
    return WithFlags(napi::VTYPE_BYREF);
}

Value Value::WithFlags(std::uint16_t flags) const {
    Value v = *this;
    v.vt = static_cast<std::uint16_t>(v.vt | flags);
    return v;
}

std::string Value::TypeText() const {
    static const char* const names[] = {"EMPTY",   "NULL",  "I2",        "I4",    "R4",   "R8",      "DATE",
                                        "TM",      "PSTR",  "INTERFACE", "ERROR", "BOOL", "VARIANT", "I1",
                                        "UI1",     "UI2",   "UI4",       "I8",    "UI8",  "INT",     "UINT",
                                        "HRESULT", "PWSTR", "BLOB",      "CLSID"};
    std::string name;
    const std::uint16_t base = BaseType();
    if (base < sizeof names / sizeof names[0])
        name = names[base];
    else if (base == napi::VTYPE_STR_BLOB)
        name = "STR_BLOB";
    else
        name = "0x" + [&] {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "%X", base);
            return std::string(buffer);
        }();
    if (vt & napi::VTYPE_BYREF)
        name += "|BYREF";
    if (vt & napi::VTYPE_ARRAY)
        name += "|ARRAY";
    if (vt & napi::VTYPE_VECTOR)
        name += "|VECTOR";
    return name;
}

std::string Value::ToString() const {
    char buffer[64];
    switch (BaseType()) {
    case napi::VTYPE_EMPTY:
        return "";
    case napi::VTYPE_NULL:
        return "null";
    case napi::VTYPE_BOOL:
        return boolean ? "true" : "false";
    case napi::VTYPE_I2:
    case napi::VTYPE_I4:
    case napi::VTYPE_I8:
    case napi::VTYPE_UI1:
    case napi::VTYPE_ERROR:
        return std::to_string(integer);
    case napi::VTYPE_R4:
    case napi::VTYPE_R8:
    case napi::VTYPE_DATE:
        std::snprintf(buffer, sizeof buffer, "%.15g", number);
        return buffer;
    case napi::VTYPE_PWSTR:
    case napi::VTYPE_PSTR:
        return text;
    case napi::VTYPE_BLOB:
        return "<blob of " + std::to_string(text.size()) + " bytes>";
    case napi::VTYPE_TM:
        std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", moment.tm_year + 1900,
                      moment.tm_mon + 1, moment.tm_mday, moment.tm_hour, moment.tm_min, moment.tm_sec);
        return buffer;
    default:
        return "<" + TypeText() + ">";
    }
}

Value FromVariant(const napi::V8Variant& variant) {
    Value v;
    v.vt = variant.vt;
    switch (variant.vt & napi::VTYPE_TYPEMASK) {
    case napi::VTYPE_BOOL:
        v.boolean = variant.ui8Val != 0;
        break;
    case napi::VTYPE_I2:
        v.integer = variant.shortVal;
        break;
    case napi::VTYPE_I4:
        v.integer = variant.lVal;
        break;
    case napi::VTYPE_ERROR:
        v.integer = variant.errCode;
        break;
    case napi::VTYPE_I8:
        v.integer = variant.llVal;
        break;
    case napi::VTYPE_UI1:
        v.integer = variant.ui8Val;
        break;
    case napi::VTYPE_R4:
        v.number = variant.fltVal;
        break;
    case napi::VTYPE_R8:
        v.number = variant.dblVal;
        break;
    case napi::VTYPE_DATE:
        v.number = variant.date;
        break;
    case napi::VTYPE_PWSTR:
        if (variant.pwstrVal != nullptr)
            v.text = ToUtf8(std::u16string_view(variant.pwstrVal));
        break;
    case napi::VTYPE_PSTR:
        if (variant.pstrVal != nullptr)
            v.text.assign(variant.pstrVal, strnlen(variant.pstrVal, variant.strLen));
        break;
    case napi::VTYPE_BLOB:
        if (variant.pstrVal != nullptr)
            v.text.assign(variant.pstrVal, variant.strLen);
        break;
    case napi::VTYPE_TM:
        v.moment = variant.tmVal;
        break;
    default:
        break;
    }
    return v;
}

// ---------------------------------------------------------------------------------------------------------------
// Memory manager

HostMemory::~HostMemory() {
    for (auto& [block, size] : blocks_)
        std::free(block);
}

bool HostMemory::AllocMemory(void** memory, unsigned long byteCount) {
    if (memory == nullptr)
        return false;
    *memory = nullptr;
    if (refuse_)
        return false;
    void* block = std::malloc(byteCount == 0 ? 1 : byteCount);
    if (block == nullptr)
        return false;
    blocks_.emplace(block, byteCount);
    ++allocations_;
    *memory = block;
    return true;
}

void HostMemory::FreeMemory(void** memory) {
    if (memory == nullptr || *memory == nullptr)
        return;
    const auto it = blocks_.find(*memory);
    if (it == blocks_.end()) {
        ++foreignFrees_; // never ours: leave it alone rather than corrupt the heap
    } else {
        std::free(it->first);
        blocks_.erase(it);
        ++frees_;
    }
    *memory = nullptr;
}

std::size_t HostMemory::OutstandingBytes() const {
    std::size_t total = 0;
    for (const auto& [block, size] : blocks_)
        total += size;
    return total;
}

void* HostMemory::AllocBytes(std::size_t byteCount) {
    const bool refuse = refuse_;
    refuse_ = false; // the host's own blocks are never refused
    void* block = nullptr;
    AllocMemory(&block, static_cast<unsigned long>(byteCount));
    refuse_ = refuse;
    if (block == nullptr)
        throw std::bad_alloc();
    return block;
}

napi::WCHAR_T* HostMemory::AllocText(std::u16string_view text) {
    auto* copy = static_cast<napi::WCHAR_T*>(AllocBytes((text.size() + 1) * sizeof(napi::WCHAR_T)));
    if (!text.empty())
        std::memcpy(copy, text.data(), text.size() * sizeof(napi::WCHAR_T));
    copy[text.size()] = 0;
    return copy;
}

void HostMemory::Free(void* memory) {
    FreeMemory(&memory);
}

// ---------------------------------------------------------------------------------------------------------------
// Connection

bool HostConnection::AddError(unsigned short wcode, const napi::WCHAR_T* source, const napi::WCHAR_T* descr,
                              long scode) {
    RecordedError error;
    error.code = wcode;
    if (source != nullptr)
        error.source = ToUtf8(source);
    if (descr != nullptr)
        error.description = ToUtf8(descr);
    error.scode = scode;
    // The description is handed over in the host's memory: the platform takes it and returns it to the
    // manager.
    error.descriptionIsHostMemory = descr != nullptr && memory_.Owns(descr);
    if (error.descriptionIsHostMemory)
        memory_.Free(const_cast<napi::WCHAR_T*>(descr));
    if (source != nullptr && memory_.Owns(source))
        memory_.Free(const_cast<napi::WCHAR_T*>(source));
    errors_.push_back(std::move(error));
    return true;
}

// ---------------------------------------------------------------------------------------------------------------
// Module

namespace {

template <typename Fn> Fn Resolve(void* handle, const char* name, const std::string& path) {
    dlerror();
    void* symbol = dlsym(handle, name);
    if (symbol == nullptr) {
        const char* error = dlerror();
        throw std::runtime_error("The module " + path + " has no export " + name +
                                 (error != nullptr ? std::string(": ") + error : std::string()));
    }
    return reinterpret_cast<Fn>(symbol);
}

} // namespace

Module::Module(const std::string& path) : path_(path) {
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        const char* error = dlerror();
        throw std::runtime_error("Cannot load " + path + ": " + (error != nullptr ? error : "unknown error"));
    }
    try {
        getClassNames_ = Resolve<napi::GetClassNamesFn>(handle_, "GetClassNames", path_);
        getClassObject_ = Resolve<napi::GetClassObjectFn>(handle_, "GetClassObject", path_);
        destroyObject_ = Resolve<napi::DestroyObjectFn>(handle_, "DestroyObject", path_);
        getAttachType_ = Resolve<napi::GetAttachTypeFn>(handle_, "GetAttachType", path_);
        setPlatformCapabilities_ =
            Resolve<napi::SetPlatformCapabilitiesFn>(handle_, "SetPlatformCapabilities", path_);
    } catch (...) {
        dlclose(handle_);
        throw;
    }
}

Module::~Module() {
    if (handle_ != nullptr)
        dlclose(handle_);
}

std::string Module::ClassNames() const {
    const napi::WCHAR_T* names = getClassNames_();
    return names == nullptr ? std::string() : ToUtf8(names);
}

// ---------------------------------------------------------------------------------------------------------------
// Component

Component::Component(std::shared_ptr<Module> module, std::shared_ptr<HostMemory> memory,
                     std::shared_ptr<HostConnection> connection, napi::IComponentBase* object)
    : module_(std::move(module)), memory_(std::move(memory)), connection_(std::move(connection)),
      object_(object) {}

Component::~Component() {
    try {
        Destroy();
    } catch (...) {
    }
}

void Component::Destroy() {
    if (object_ == nullptr)
        return;
    object_->Done();
    napi::IComponentBase* object = object_;
    module_->DestroyObject(&object);
    object_ = nullptr;
}

napi::IComponentBase& Component::Object() const {
    if (object_ == nullptr)
        throw std::logic_error("The component object has been destroyed");
    return *object_;
}

napi::V8Variant Component::ToVariant(const Value& value) {
    napi::V8Variant variant;
    std::memset(static_cast<void*>(&variant), 0, sizeof variant);
    variant.vt = value.vt;
    switch (value.BaseType()) {
    case napi::VTYPE_BOOL:
        variant.bVal = value.boolean;
        break;
    case napi::VTYPE_I2:
        variant.shortVal = static_cast<std::int16_t>(value.integer);
        break;
    case napi::VTYPE_I4:
        variant.lVal = static_cast<std::int32_t>(value.integer);
        break;
    case napi::VTYPE_ERROR:
        variant.errCode = static_cast<std::int32_t>(value.integer);
        break;
    case napi::VTYPE_I8:
        variant.llVal = value.integer;
        break;
    case napi::VTYPE_UI1:
        variant.ui8Val = static_cast<std::uint8_t>(value.integer);
        break;
    case napi::VTYPE_R4:
        variant.fltVal = static_cast<float>(value.number);
        break;
    case napi::VTYPE_R8:
        variant.dblVal = value.number;
        break;
    case napi::VTYPE_DATE:
        variant.date = value.number;
        break;
    case napi::VTYPE_TM:
        variant.tmVal = value.moment;
        break;
    case napi::VTYPE_PWSTR: {
        const std::u16string text = ToUtf16(value.text);
        variant.pwstrVal = memory_->AllocText(text);
        variant.wstrLen = static_cast<std::uint32_t>(text.size());
        break;
    }
    case napi::VTYPE_PSTR:
    case napi::VTYPE_BLOB: {
        const bool isText = value.BaseType() == napi::VTYPE_PSTR;
        void* block = memory_->AllocBytes(value.text.size() + (isText ? 1 : 0));
        if (!value.text.empty())
            std::memcpy(block, value.text.data(), value.text.size());
        if (isText)
            static_cast<char*>(block)[value.text.size()] = '\0';
        variant.pstrVal = static_cast<char*>(block);
        variant.strLen = static_cast<std::uint32_t>(value.text.size());
        break;
    }
    default:
        break;
    }
    return variant;
}

void Component::Release(napi::V8Variant& variant) {
    const std::uint16_t type = variant.vt & napi::VTYPE_TYPEMASK;
    if (type == napi::VTYPE_PWSTR || type == napi::VTYPE_PSTR || type == napi::VTYPE_BLOB) {
        void* data = type == napi::VTYPE_PWSTR ? static_cast<void*>(variant.pwstrVal) : variant.pstrVal;
        if (data != nullptr)
            memory_->FreeMemory(&data);
    }
    std::memset(static_cast<void*>(&variant), 0, sizeof variant);
}

CallResult Component::Invoke(long index, std::vector<Value>& args, bool asFunction) {
    napi::IComponentBase& object = Object();
    std::vector<napi::V8Variant> params;
    params.reserve(args.size());
    for (const Value& arg : args)
        params.push_back(ToVariant(arg));
    napi::V8Variant result;
    std::memset(static_cast<void*>(&result), 0, sizeof result);

    const std::size_t errorsBefore = connection_->Errors().size();
    CallResult outcome;
    napi::V8Variant* data = params.empty() ? nullptr : params.data();
    const long count = static_cast<long>(params.size());
    outcome.returned =
        asFunction ? object.CallAsFunc(index, &result, data, count) : object.CallAsProc(index, data, count);

    outcome.result = FromVariant(result);
    for (auto& param : params)
        outcome.params.push_back(FromVariant(param));
    const auto& errors = connection_->Errors();
    outcome.hostErrors.assign(errors.begin() + static_cast<std::ptrdiff_t>(errorsBefore), errors.end());

    // The platform takes the result and the parameters back and returns their memory to the manager.
    Release(result);
    for (auto& param : params)
        Release(param);
    return outcome;
}

CallResult Component::Call(std::string_view name, std::vector<Value> args) {
    const long index = FindMethod(name);
    if (index < 0)
        throw std::invalid_argument("No method named " + std::string(name));
    return Invoke(index, args, true);
}

CallResult Component::CallProc(std::string_view name, std::vector<Value> args) {
    const long index = FindMethod(name);
    if (index < 0)
        throw std::invalid_argument("No method named " + std::string(name));
    return Invoke(index, args, false);
}

CallResult Component::CallIndex(long index, std::vector<Value> args, bool asFunction) {
    return Invoke(index, args, asFunction);
}

LastErrorInfo Component::LastError() {
    const CallResult call = Call("ПолучитьОшибку", {Value::Empty()});
    LastErrorInfo info;
    info.code = static_cast<std::int32_t>(call.result.integer);
    info.description = call.params.at(0).text;
    return info;
}

PropResult Component::PropVal(long index) {
    napi::IComponentBase& object = Object();
    napi::V8Variant value;
    std::memset(static_cast<void*>(&value), 0, sizeof value);
    const std::size_t errorsBefore = connection_->Errors().size();
    PropResult outcome;
    outcome.returned = object.GetPropVal(index, &value);
    outcome.value = FromVariant(value);
    const auto& errors = connection_->Errors();
    outcome.hostErrors.assign(errors.begin() + static_cast<std::ptrdiff_t>(errorsBefore), errors.end());
    Release(value);
    return outcome;
}

PropResult Component::SetPropVal(long index, const Value& value) {
    napi::IComponentBase& object = Object();
    napi::V8Variant variant = ToVariant(value);
    const std::size_t errorsBefore = connection_->Errors().size();
    PropResult outcome;
    outcome.returned = object.SetPropVal(index, &variant);
    outcome.value = FromVariant(variant);
    const auto& errors = connection_->Errors();
    outcome.hostErrors.assign(errors.begin() + static_cast<std::ptrdiff_t>(errorsBefore), errors.end());
    Release(variant);
    return outcome;
}

PropResult Component::GetProp(std::string_view name) {
    const long index = FindProp(name);
    if (index < 0)
        throw std::invalid_argument("No property named " + std::string(name));
    return PropVal(index);
}

PropResult Component::SetProp(std::string_view name, const Value& value) {
    const long index = FindProp(name);
    if (index < 0)
        throw std::invalid_argument("No property named " + std::string(name));
    return SetPropVal(index, value);
}

long Component::Info() {
    return Object().GetInfo();
}

long Component::NProps() {
    return Object().GetNProps();
}

long Component::FindProp(std::string_view name) {
    return Object().FindProp(ToUtf16(name).c_str());
}

long Component::FindPropW(const napi::WCHAR_T* name) {
    return Object().FindProp(name);
}

std::optional<std::string> Component::PropName(long index, long alias) {
    const napi::WCHAR_T* name = Object().GetPropName(index, alias);
    if (name == nullptr)
        return std::nullopt;
    std::string text = ToUtf8(name);
    memory_->Free(const_cast<napi::WCHAR_T*>(name)); // the platform owns names it receives
    return text;
}

bool Component::IsPropReadable(long index) {
    return Object().IsPropReadable(index);
}

bool Component::IsPropWritable(long index) {
    return Object().IsPropWritable(index);
}

long Component::NMethods() {
    return Object().GetNMethods();
}

long Component::FindMethod(std::string_view name) {
    return Object().FindMethod(ToUtf16(name).c_str());
}

long Component::FindMethodW(const napi::WCHAR_T* name) {
    return Object().FindMethod(name);
}

std::optional<std::string> Component::MethodName(long index, long alias) {
    const napi::WCHAR_T* name = Object().GetMethodName(index, alias);
    if (name == nullptr)
        return std::nullopt;
    std::string text = ToUtf8(name);
    memory_->Free(const_cast<napi::WCHAR_T*>(name));
    return text;
}

long Component::NParams(long index) {
    return Object().GetNParams(index);
}

std::pair<bool, Value> Component::ParamDefValue(long index, long param) {
    napi::V8Variant value;
    std::memset(static_cast<void*>(&value), 0, sizeof value);
    const bool found = Object().GetParamDefValue(index, param, &value);
    Value read = FromVariant(value);
    Release(value);
    return {found, read};
}

bool Component::HasRetVal(long index) {
    return Object().HasRetVal(index);
}

void Component::SetLocale(std::string_view locale) {
    Object().SetLocale(ToUtf16(locale).c_str());
}

void Component::SetUserInterfaceLanguageCode(std::string_view code) {
    Object().SetUserInterfaceLanguageCode(ToUtf16(code).c_str());
}

// ---------------------------------------------------------------------------------------------------------------
// Host

TestHost::TestHost(const std::string& modulePath)
    : module_(std::make_shared<Module>(modulePath)), memory_(std::make_shared<HostMemory>()),
      connection_(std::make_shared<HostConnection>(*memory_)) {}

TestHost::~TestHost() = default;

std::unique_ptr<Component> TestHost::Create(std::string_view className, bool platformOrder) {
    const std::u16string name = ToUtf16(className);
    napi::IComponentBase* object = nullptr;
    if (module_->GetClassObject(name.c_str(), &object) == 0 || object == nullptr)
        return nullptr;
    std::unique_ptr<Component> component(new Component(module_, memory_, connection_, object));
    if (platformOrder) {
        // The platform hands over its connection and memory manager as the base interfaces they are.
        object->Init(static_cast<napi::IAddInDefBase*>(connection_.get()));
        object->setMemManager(static_cast<napi::IMemoryManager*>(memory_.get()));
        napi::WCHAR_T* extension = nullptr;
        component->extensionRegistered_ = object->RegisterExtensionAs(&extension);
        if (extension != nullptr) {
            component->extensionName_ = ToUtf8(extension);
            memory_->Free(extension);
        }
        object->SetLocale(u"ru_RU");
    }
    return component;
}

} // namespace veltrano::testhost
