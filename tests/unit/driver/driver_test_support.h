// Fixtures for the driver framework's unit tests: a fresh data folder per test, a heap memory manager
// standing in for the host's, and host variants built by hand.
#pragma once

#include "addin/native_api.h"
#include "addin/user_object.h"
#include "data_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace veltrano::driver::testing {

using napi::V8Variant;

using veltrano::testing::DataFolderTest;
using veltrano::testing::ReadBytes;

// The host's memory manager over the ordinary heap; remembers what is outstanding.
class HeapMemory final : public napi::IMemoryManager {
public:
    ~HeapMemory() override;
    bool ADDIN_API AllocMemory(void** memory, unsigned long byteCount) override;
    void ADDIN_API FreeMemory(void** memory) override;
    std::size_t Outstanding() const { return blocks_.size(); }
    // Blocks handed back that this manager never handed out.
    std::size_t ForeignFrees() const { return foreignFrees_; }

private:
    std::set<void*> blocks_;
    std::size_t foreignFrees_ = 0;
};

// Host parameters; texts live in the memory manager's blocks like the host's own, so the driver may overwrite
// any of them, and everything goes back to the manager at the end.
class HostParams {
public:
    explicit HostParams(napi::IMemoryManager& memory) : memory_(memory) {}
    ~HostParams();
    HostParams(const HostParams&) = delete;
    HostParams& operator=(const HostParams&) = delete;

    HostParams& Text(std::u16string_view text);
    HostParams& Utf8(std::string_view text);
    HostParams& Int(std::int32_t number);
    HostParams& Double(double number);
    HostParams& Bool(bool flag);
    HostParams& Empty();

    V8Variant* Data() { return values_.data(); }
    long Count() const { return static_cast<long>(values_.size()); }
    V8Variant& operator[](std::size_t index) { return values_[index]; }
    // A parameter's text (UTF-8) as the driver left it; empty for any other type.
    std::string OutText(std::size_t index) const;

private:
    napi::IMemoryManager& memory_;
    std::vector<V8Variant> values_;
};

// Calls a host method of a driver by its English name, found in the declarations of the object's class chain
// (the first entry of that name, as the host's name lookup does).
bool CallHostMethod(addin::UserObject& driver, std::u16string_view name, V8Variant* result,
                    HostParams& params);

} // namespace veltrano::driver::testing
