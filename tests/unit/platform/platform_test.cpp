#include "platform/platform.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace veltrano::platform {
namespace {

class PlatformTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/veltrano-platform-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        root_ = pattern;
        ::setenv("XDG_DATA_HOME", (root_ / "data").c_str(), 1);
    }
    void TearDown() override { fs::remove_all(root_); }
    fs::path root_;
};

TEST_F(PlatformTest, CommonFolderFollowsXdgDataHomeAndIsCreated) {
    EXPECT_EQ(CommonAppDataFolder(), root_ / "data");
    EXPECT_TRUE(fs::is_directory(root_ / "data"));
}

TEST_F(PlatformTest, EnsureFolderMakesFoldersOthersCannotWriteAndLeavesExistingOnesAlone) {
    fs::permissions(root_, fs::perms::all);
    const fs::path folder = root_ / "a" / "b";
    EnsureFolder(folder);
    for (const fs::path& made : {folder, folder.parent_path()})
        EXPECT_EQ(fs::status(made).permissions() & (fs::perms::group_write | fs::perms::others_write),
                  fs::perms::none)
            << made;
    EXPECT_EQ(fs::status(root_).permissions() & fs::perms::mask, fs::perms::all);
    std::ofstream(root_ / "plain") << "x";
    EXPECT_THROW(EnsureFolder(root_ / "plain" / "c"), std::runtime_error);
}

TEST_F(PlatformTest, AtomicWriteReplacesWholeFileAndLeavesNoTemporaries) {
    const fs::path file = root_ / "DataFN.xml";
    WriteFileAtomically(file, "first");
    WriteFileAtomically(file, "second version");
    EXPECT_EQ(ReadFile(file), "second version");
    EXPECT_EQ(fs::status(file).permissions() & (fs::perms::group_write | fs::perms::others_write),
              fs::perms::none);
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(root_))
        ++entries;
    EXPECT_EQ(entries, 1);
}

TEST_F(PlatformTest, FailedAtomicWriteLeavesTheOldFile) {
    const fs::path blocker = root_ / "plain";
    std::ofstream(blocker) << "x";
    EXPECT_THROW(WriteFileAtomically(blocker / "DataFN.xml", "data"), std::runtime_error);
    EXPECT_EQ(ReadFile(blocker), "x");
}

TEST_F(PlatformTest, AppendAccumulates) {
    const fs::path file = root_ / "out.txt";
    AppendExclusive(file, "one\r\n");
    AppendExclusive(file, "two\r\n");
    EXPECT_EQ(ReadFile(file), "one\r\ntwo\r\n");
    EXPECT_THROW(AppendExclusive(root_ / "missing" / "x.txt", "a"), std::runtime_error);
}

TEST_F(PlatformTest, SystemTextNamesTheKernel) {
    const std::string text = SystemText();
    EXPECT_EQ(text.rfind("Linux ", 0), 0u) << text;
    EXPECT_NE(text.find(" ("), std::string::npos);
    EXPECT_EQ(text.back(), ')');
}

TEST(LocalClock, IsAPlausibleLocalClock) {
    const moment::DateTime now = LocalNow();
    EXPECT_GE(now.year, 2020);
    EXPECT_GE(now.month, 1);
    EXPECT_LE(now.month, 12);
    EXPECT_GE(now.millisecond, 0);
    EXPECT_LE(now.millisecond, 999);
    EXPECT_EQ(moment::FromMoment(moment::ToMoment(now)).day, now.day);
}

} // namespace
} // namespace veltrano::platform
