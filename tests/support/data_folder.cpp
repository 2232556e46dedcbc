#include "data_folder.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdlib.h>

namespace veltrano::testing {

namespace {

std::optional<std::string> Remember(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
}

void Restore(const char* name, const std::optional<std::string>& value) {
    if (value)
        ::setenv(name, value->c_str(), 1);
    else
        ::unsetenv(name);
}

} // namespace

void DataFolderTest::SetUp() {
    char pattern[] = "/tmp/veltrano-test-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    root_ = pattern;
    for (const char* name : {"XDG_DATA_HOME", "XDG_CACHE_HOME", "HOME", "DISPLAY", "WAYLAND_DISPLAY"})
        saved_.emplace_back(name, Remember(name));
    ::setenv("XDG_DATA_HOME", DataHome().c_str(), 1);
    ::setenv("XDG_CACHE_HOME", (root_ / "cache").c_str(), 1);
    ::setenv("HOME", (root_ / "home").c_str(), 1);
    ::unsetenv("DISPLAY");
    ::unsetenv("WAYLAND_DISPLAY");
}

void DataFolderTest::TearDown() {
    for (const auto& [name, value] : saved_)
        Restore(name, value);
    saved_.clear();
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

std::string ReadBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace veltrano::testing
