// Stand-ins for the host's memory manager and connection, and a small class hierarchy with declarations, for
// the host-boundary unit tests.
#pragma once

#include "addin/class_registry.h"
#include "addin/native_api.h"
#include "addin/user_object.h"
#include "common/text.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace veltrano::addin::testing {

class FakeMemory final : public napi::IMemoryManager {
public:
    ~FakeMemory() override {
        for (void* block : blocks)
            std::free(block);
    }
    bool AllocMemory(void** memory, unsigned long byteCount) override {
        *memory = nullptr;
        if (refuse)
            return false;
        *memory = std::malloc(byteCount == 0 ? 1 : byteCount);
        blocks.insert(*memory);
        ++allocations;
        return true;
    }
    void FreeMemory(void** memory) override {
        if (throwOnFree)
            throw std::runtime_error("free refused");
        if (blocks.erase(*memory) == 0)
            ++foreignFrees;
        else
            std::free(*memory);
        *memory = nullptr;
        ++frees;
    }
    // A host-owned text, as the platform passes it in a parameter.
    napi::WCHAR_T* Text(std::u16string_view text) {
        void* block = nullptr;
        const bool was = refuse;
        refuse = false;
        AllocMemory(&block, static_cast<unsigned long>((text.size() + 1) * 2));
        refuse = was;
        auto* copy = static_cast<napi::WCHAR_T*>(block);
        std::memcpy(copy, text.data(), text.size() * 2);
        copy[text.size()] = 0;
        return copy;
    }
    void Release(const void* block) {
        void* p = const_cast<void*>(block);
        FreeMemory(&p);
    }

    std::set<void*> blocks;
    int allocations = 0;
    int frees = 0;
    int foreignFrees = 0;
    bool refuse = false;
    bool throwOnFree = false;
};

struct RecordedError {
    unsigned short code;
    std::u16string source;
    std::u16string description;
    long scode;
};

class FakeConnection final : public napi::IAddInDefBaseEx {
public:
    explicit FakeConnection(FakeMemory& memory) : memory_(memory) {}
    bool AddError(unsigned short wcode, const napi::WCHAR_T* source, const napi::WCHAR_T* descr,
                  long scode) override {
        errors.push_back({wcode, source ? source : u"", descr ? descr : u"", scode});
        if (descr != nullptr && memory_.blocks.count(const_cast<napi::WCHAR_T*>(descr)))
            memory_.Release(descr);
        return true;
    }
    bool Read(napi::WCHAR_T*, napi::V8Variant*, long*, napi::WCHAR_T**) override { return false; }
    bool Write(napi::WCHAR_T*, napi::V8Variant*) override { return false; }
    bool RegisterProfileAs(napi::WCHAR_T*) override { return false; }
    bool SetEventBufferDepth(long) override { return false; }
    long GetEventBufferDepth() override { return 0; }
    bool ExternalEvent(napi::WCHAR_T*, napi::WCHAR_T*, napi::WCHAR_T*) override { return false; }
    void CleanEventBuffer() override {}
    bool SetStatusLine(napi::WCHAR_T*) override { return false; }
    void ResetStatusLine() override {}
    void* GetInterface(Interfaces) override { return nullptr; }

    std::vector<RecordedError> errors;

private:
    FakeMemory& memory_;
};

inline napi::V8Variant Empty() {
    napi::V8Variant v;
    std::memset(static_cast<void*>(&v), 0, sizeof v);
    return v;
}

inline napi::V8Variant Typed(std::uint16_t vt) {
    napi::V8Variant v = Empty();
    v.vt = vt;
    return v;
}

inline napi::V8Variant I4(std::int32_t n) {
    napi::V8Variant v = Typed(napi::VTYPE_I4);
    v.lVal = n;
    return v;
}

inline napi::V8Variant R8(double d) {
    napi::V8Variant v = Typed(napi::VTYPE_R8);
    v.dblVal = d;
    return v;
}

inline napi::V8Variant Bool(bool b) {
    napi::V8Variant v = Typed(napi::VTYPE_BOOL);
    v.bVal = b;
    return v;
}

// A PWSTR pointing at text the test owns (not host memory): fine for reading, never cleared through a
// manager.
inline napi::V8Variant Wide(const std::u16string& text) {
    napi::V8Variant v = Typed(napi::VTYPE_PWSTR);
    v.pwstrVal = const_cast<napi::WCHAR_T*>(text.c_str());
    v.wstrLen = static_cast<std::uint32_t>(text.size());
    return v;
}

// A three-level fake hierarchy: Leaf -> Middle -> Root. Every method records its name in `calls`.
class FakeObject : public UserObject {
public:
    const ClassDeclarations& Declarations() const override;
    std::vector<std::string> calls;
    std::int64_t intProp = 7;
    std::int64_t int64Prop = 1234567890123;
    bool boolProp = false;
    double floatProp = 2.5;
    std::string textProp = "текст";
    int otherProp = 0;
};

// Declarations for a fresh registration; the names show where each entry comes from.
const ClassDeclarations& LeafDecls();
const ClassDeclarations& MiddleDecls();
const ClassDeclarations& RootDecls();
std::unique_ptr<UserObject> MakeFake();
std::unique_ptr<UserObject> MakeNothing();
std::unique_ptr<UserObject> MakeThrowing();

// A temporary folder removed at the end of the test.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

} // namespace veltrano::addin::testing
