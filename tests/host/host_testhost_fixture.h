// Shared set-up for the host tests: a temporary data folder (XDG_DATA_HOME), the built module loaded through
// the test host, and one component object created in the platform's order.
#pragma once

#include "testhost.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace veltrano::testhost::tests {

class TempDataFolder {
public:
    TempDataFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "vt-host-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
        if (const char* old = std::getenv("XDG_DATA_HOME"))
            saved_ = old;
        setenv("XDG_DATA_HOME", path_.c_str(), 1);
    }
    ~TempDataFolder() {
        if (saved_)
            setenv("XDG_DATA_HOME", saved_->c_str(), 1);
        else
            unsetenv("XDG_DATA_HOME");
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path LogFolder() const { return path_ / "Korvena" / "Veltrano"; }

    // Every log file's text, concatenated.
    std::string LogText() const {
        std::string all;
        std::error_code ec;
        if (!std::filesystem::exists(LogFolder(), ec))
            return all;
        for (const auto& entry : std::filesystem::directory_iterator(LogFolder())) {
            if (entry.path().extension() != ".log")
                continue;
            std::ifstream in(entry.path(), std::ios::binary);
            std::ostringstream text;
            text << in.rdbuf();
            all += text.str();
        }
        return all;
    }
    // The log lines of one level, each without its time stamp and level ("> Name: \tParams: [...]").
    std::vector<std::string> LogLines(const std::string& level) const {
        std::vector<std::string> lines;
        std::istringstream in(LogText());
        std::string line;
        const std::string marker = "\t" + level + "\t";
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            const auto at = line.find(marker);
            if (at != std::string::npos)
                lines.push_back(line.substr(at + marker.size()));
        }
        return lines;
    }

private:
    std::filesystem::path path_;
    std::optional<std::string> saved_;
};

class HostTest : public ::testing::Test {
protected:
    void SetUp() override {
        host = std::make_unique<TestHost>();
        component = host->Create();
        ASSERT_NE(component, nullptr) << "GetClassObject(\"Veltrano\") answered 0";
    }
    void TearDown() override {
        component.reset();
        host.reset();
    }

    TempDataFolder data; // first: the module is loaded with XDG_DATA_HOME pointing here
    std::unique_ptr<TestHost> host;
    std::unique_ptr<Component> component;
};

} // namespace veltrano::testhost::tests
