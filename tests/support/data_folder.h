// A fresh data folder for every test, so that nothing reaches the real user's folders.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

namespace veltrano::testing {

// Points XDG_DATA_HOME and HOME at a fresh temporary folder so that nothing reaches the real user's folders.
class DataFolderTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::filesystem::path DataHome() const { return root_ / "data"; }
    std::filesystem::path DefaultLogFolder() const { return DataHome() / "Korvena" / "Veltrano"; }

    std::filesystem::path root_;

private:
    std::optional<std::string> savedXdg_;
    std::optional<std::string> savedHome_;
};

std::string ReadBytes(const std::filesystem::path& file);

} // namespace veltrano::testing
