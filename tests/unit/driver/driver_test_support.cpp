#include "driver_test_support.h"

#include "addin/class_registry.h"
#include "addin/variant.h"
#include "common/text.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <new>
#include <stdexcept>
#include <stdlib.h>

namespace veltrano::driver::testing {

HeapMemory::~HeapMemory() {
    for (void* block : blocks_)
        std::free(block);
}

bool ADDIN_API HeapMemory::AllocMemory(void** memory, unsigned long byteCount) {
    *memory = std::malloc(byteCount == 0 ? 1 : byteCount);
    if (*memory == nullptr)
        return false;
    blocks_.insert(*memory);
    return true;
}

void ADDIN_API HeapMemory::FreeMemory(void** memory) {
    if (memory == nullptr || *memory == nullptr)
        return;
    if (blocks_.erase(*memory) == 0) {
        ++foreignFrees_;
        return;
    }
    std::free(*memory);
    *memory = nullptr;
}

HostParams::~HostParams() {
    for (V8Variant& value : values_)
        addin::V8ClearVar(&memory_, &value);
}

HostParams& HostParams::Text(std::u16string_view text) {
    V8Variant value{};
    void* block = nullptr;
    if (!memory_.AllocMemory(&block, static_cast<unsigned long>((text.size() + 1) * sizeof(char16_t))))
        throw std::bad_alloc();
    auto* characters = static_cast<char16_t*>(block);
    std::memcpy(characters, text.data(), text.size() * sizeof(char16_t));
    characters[text.size()] = u'\0';
    value.vt = napi::VTYPE_PWSTR;
    value.pwstrVal = characters;
    value.wstrLen = static_cast<std::uint32_t>(text.size());
    values_.push_back(value);
    return *this;
}

HostParams& HostParams::Utf8(std::string_view text) {
    return Text(text::Utf8ToUtf16(text));
}

HostParams& HostParams::Int(std::int32_t number) {
    V8Variant value{};
    value.vt = napi::VTYPE_I4;
    value.lVal = number;
    values_.push_back(value);
    return *this;
}

HostParams& HostParams::Double(double number) {
    V8Variant value{};
    value.vt = napi::VTYPE_R8;
    value.dblVal = number;
    values_.push_back(value);
    return *this;
}

HostParams& HostParams::Bool(bool flag) {
    V8Variant value{};
    value.vt = napi::VTYPE_BOOL;
    value.bVal = flag;
    values_.push_back(value);
    return *this;
}

HostParams& HostParams::Empty() {
    values_.push_back(V8Variant{});
    return *this;
}

std::string HostParams::OutText(std::size_t index) const {
    return addin::ReadTextUtf8(values_.at(index));
}

bool CallHostMethod(addin::UserObject& driver, std::u16string_view name, V8Variant* result,
                    HostParams& params) {
    const addin::ExportMeth* found = nullptr;
    addin::ForEachClass(driver.Declarations(), [&](const addin::ClassDeclarations& level) {
        for (const addin::ExportMeth& method : level.methods)
            if (found == nullptr && method.name == name)
                found = &method;
    });
    if (found == nullptr)
        throw std::invalid_argument("no host method of that name");
    return found->execute(driver, result, params.Data(), params.Count());
}

} // namespace veltrano::driver::testing
