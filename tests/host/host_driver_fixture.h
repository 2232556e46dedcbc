// The built add-in loaded by the test host on a fresh temporary data folder, one component object per test.
#pragma once

#include "testhost.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace veltrano::hosttest {

using testhost::CallResult;
using testhost::Value;

class DriverHostTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/veltrano-host-driver-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        root_ = pattern;
        savedXdg_ = Remember("XDG_DATA_HOME");
        savedHome_ = Remember("HOME");
        // The data folder is chosen before the module computes any path.
        ::setenv("XDG_DATA_HOME", DataHome().c_str(), 1);
        ::setenv("HOME", (root_ / "home").c_str(), 1);
        host_ = std::make_unique<testhost::TestHost>();
        driver_ = host_->Create();
        ASSERT_NE(driver_, nullptr);
        // The log mode belongs to the process; every test starts with it off.
        ASSERT_TRUE(driver_->SetProp("LogEnabled", Value::Bool(false)).returned);
    }

    void TearDown() override {
        driver_.reset();
        host_.reset();
        Restore("XDG_DATA_HOME", savedXdg_);
        Restore("HOME", savedHome_);
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }

    std::filesystem::path DataHome() const { return root_ / "data"; }
    std::filesystem::path LogFolder() const { return DataHome() / "Korvena" / "Veltrano"; }

    // Everything the log folder holds, all files joined.
    std::string LogText() const {
        std::string text;
        if (!std::filesystem::is_directory(LogFolder()))
            return text;
        for (const auto& entry : std::filesystem::directory_iterator(LogFolder())) {
            std::ifstream in(entry.path(), std::ios::binary);
            text.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
        return text;
    }

    std::unique_ptr<testhost::TestHost> host_;
    std::unique_ptr<testhost::Component> driver_;
    std::filesystem::path root_;

private:
    static std::optional<std::string> Remember(const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
    }
    static void Restore(const char* name, const std::optional<std::string>& value) {
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    }

    std::optional<std::string> savedXdg_;
    std::optional<std::string> savedHome_;
};

} // namespace veltrano::hosttest
