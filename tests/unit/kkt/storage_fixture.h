// A fresh temporary data folder for every storage test; the real user's folders are never touched.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

namespace veltrano::kkt::testing {

class DataFNTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/veltrano-storage-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        root_ = pattern;
        Remember("XDG_DATA_HOME", xdg_);
        Remember("HOME", home_);
        ::setenv("XDG_DATA_HOME", (root_ / "data").c_str(), 1);
        ::setenv("HOME", (root_ / "home").c_str(), 1);
    }

    void TearDown() override {
        Restore("XDG_DATA_HOME", xdg_);
        Restore("HOME", home_);
        std::filesystem::remove_all(root_);
    }

    std::filesystem::path DefaultFile() const {
        return root_ / "data" / "Korvena" / "Veltrano" / "DataFN.xml";
    }

    static std::string ReadBytes(const std::filesystem::path& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    static void WriteBytes(const std::filesystem::path& file, const std::string& bytes) {
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
    }

    // Replaces the first occurrence of a piece of the file's text, as a hand edit would.
    static void EditFile(const std::filesystem::path& file, const std::string& from, const std::string& to) {
        std::string text = ReadBytes(file);
        const auto at = text.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        text.replace(at, from.size(), to);
        WriteBytes(file, text);
    }

    std::filesystem::path root_;

private:
    static void Remember(const char* name, std::optional<std::string>& saved) {
        if (const char* value = std::getenv(name))
            saved = value;
    }
    static void Restore(const char* name, const std::optional<std::string>& saved) {
        if (saved)
            ::setenv(name, saved->c_str(), 1);
        else
            ::unsetenv(name);
    }

    std::optional<std::string> xdg_;
    std::optional<std::string> home_;
};

} // namespace veltrano::kkt::testing
