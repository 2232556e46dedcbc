// A fresh data folder for every test, so that nothing reaches the real user's folders.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace veltrano::testing {

// Points XDG_DATA_HOME, XDG_CACHE_HOME and HOME at a fresh temporary folder so that nothing reaches the real
// user's folders, and hides the display so that no test opens a window on the developer's desktop.
class DataFolderTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::filesystem::path DataHome() const { return root_ / "data"; }
    std::filesystem::path DefaultLogFolder() const { return DataHome() / "Korvena" / "Veltrano"; }

    std::filesystem::path root_;

private:
    std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

std::string ReadBytes(const std::filesystem::path& file);

} // namespace veltrano::testing
