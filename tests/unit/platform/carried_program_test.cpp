// Programs carried in the module: written out once into a folder only this user can change, checked before
// every start, rewritten when changed, refused in a folder others can write to.
#include "platform/carried_program.h"

#include "resources/resources.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace veltrano::platform {
namespace {

constexpr std::string_view Bytes = "#!/bin/sh\necho carried\n";
constexpr std::string_view Version = "1.2.3.4";

std::string Read(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct stat Stat(const fs::path& path) {
    struct stat info {};
    EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
    return info;
}

class CarriedProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/veltrano-carried-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        root_ = pattern;
        cache_ = root_ / "cache" / "Korvena" / "Veltrano";
    }
    void TearDown() override { fs::remove_all(root_); }

    ProgramLocation Locate(const fs::path& beside = {}) {
        return LocateCarriedProgram("veltrano-test", Bytes, Version, beside, cache_);
    }

    fs::path root_;
    fs::path cache_;
};

TEST_F(CarriedProgramTest, IsWrittenOutOnceUnderItsVersionForThisUserAlone) {
    const ProgramLocation first = Locate();
    ASSERT_TRUE(first.Ok()) << first.Error;
    EXPECT_EQ(first.Path.parent_path(), cache_);
    EXPECT_EQ(first.Path.filename().string().rfind("veltrano-test-1.2.3.4-", 0), 0u) << first.Path;
    EXPECT_EQ(Read(first.Path), Bytes);
    EXPECT_EQ(Stat(first.Path).st_mode & 07777, 0700u);
    EXPECT_EQ(Stat(cache_).st_mode & 07777, 0700u);
    EXPECT_EQ(Stat(cache_.parent_path()).st_mode & 07777, 0700u);
    // Nothing but the program is left in the folder.
    EXPECT_EQ(std::distance(fs::directory_iterator(cache_), fs::directory_iterator()), 1);

    const ino_t inode = Stat(first.Path).st_ino;
    const ProgramLocation again = Locate();
    ASSERT_TRUE(again.Ok()) << again.Error;
    EXPECT_EQ(again.Path, first.Path);
    EXPECT_EQ(Stat(again.Path).st_ino, inode);

    // It runs.
    EXPECT_EQ(WEXITSTATUS(std::system((first.Path.string() + " >/dev/null").c_str())), 0);
}

TEST_F(CarriedProgramTest, AChangedCopyIsNeverRunButWrittenAnew) {
    const fs::path copy = Locate().Path;
    ASSERT_FALSE(copy.empty());
    const struct {
        const char* name;
        void (*change)(const fs::path& copy, const fs::path& root);
    } changes[] = {
        {"other bytes",
         [](const fs::path& copy, const fs::path&) { std::ofstream(copy) << "#!/bin/sh\nrm -rf ~\n"; }},
        {"writable by others", [](const fs::path& copy, const fs::path&) { ::chmod(copy.c_str(), 0777); }},
        {"not executable", [](const fs::path& copy, const fs::path&) { ::chmod(copy.c_str(), 0600); }},
        {"a link to a copy elsewhere",
         [](const fs::path& copy, const fs::path& root) {
             std::ofstream(root / "elsewhere") << Bytes;
             ::chmod((root / "elsewhere").c_str(), 0700);
             fs::remove(copy);
             fs::create_symlink(root / "elsewhere", copy);
         }},
    };
    for (const auto& c : changes) {
        c.change(copy, root_);
        const ProgramLocation located = Locate();
        ASSERT_TRUE(located.Ok()) << c.name << ": " << located.Error;
        EXPECT_EQ(located.Path, copy) << c.name;
        EXPECT_TRUE(S_ISREG(Stat(copy).st_mode)) << c.name;
        EXPECT_EQ(Stat(copy).st_mode & 07777, 0700u) << c.name;
        EXPECT_EQ(Read(copy), Bytes) << c.name;
    }
}

TEST_F(CarriedProgramTest, AFolderOthersCanChangeIsRefused) {
    ASSERT_TRUE(Locate().Ok());
    ::chmod(cache_.c_str(), 0777);
    ProgramLocation refused = Locate();
    EXPECT_FALSE(refused.Ok());
    EXPECT_TRUE(refused.Path.empty());
    EXPECT_NE(refused.Error.find("открыта для записи другим"), std::string::npos) << refused.Error;

    ::chmod(cache_.c_str(), 0700);
    ::chmod(cache_.parent_path().c_str(), 0777);
    EXPECT_FALSE(Locate().Ok()) << "a folder above it";
    ::chmod(cache_.parent_path().c_str(), 0700);

    // Owned by someone else (only root can hand a folder over).
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(cache_.c_str(), 65534, 65534), 0);
        EXPECT_FALSE(Locate().Ok());
        ASSERT_EQ(::chown(cache_.c_str(), 0, 0), 0);
    }
    EXPECT_TRUE(Locate().Ok());
}

TEST_F(CarriedProgramTest, ACopyOfTheSameBuildBesideTheModuleIsUsedAsItIs) {
    const fs::path beside = root_ / "module";
    fs::create_directories(beside);
    ::chmod(beside.c_str(), 0755);
    std::ofstream(beside / "veltrano-test") << Bytes;
    ::chmod((beside / "veltrano-test").c_str(), 0755);
    ProgramLocation located = Locate(beside);
    ASSERT_TRUE(located.Ok()) << located.Error;
    EXPECT_EQ(located.Path, beside / "veltrano-test");
    EXPECT_FALSE(fs::exists(cache_));

    // Another build's copy, or one others could replace, is passed over for the written-out one.
    for (const mode_t folderMode : {0755, 0777}) {
        ::chmod(beside.c_str(), folderMode);
        if (folderMode == 0755)
            std::ofstream(beside / "veltrano-test") << "#!/bin/sh\necho older\n";
        located = Locate(beside);
        ASSERT_TRUE(located.Ok()) << located.Error;
        EXPECT_EQ(located.Path.parent_path(), cache_) << folderMode;
    }
}

TEST(CarriedProgram, AProgramTheBuildDoesNotCarryGivesAClearReason) {
    const ProgramLocation missing = LocateCarriedProgram("veltrano-windows", {}, Version, {}, "/tmp/unused");
    EXPECT_FALSE(missing.Ok());
    EXPECT_EQ(missing.Error, "Программа veltrano-windows не входит в эту сборку: при сборке не нашлось её "
                             "библиотек (GTK 3, WebKitGTK)");
}

TEST(CarriedProgram, TheCacheFolderFollowsXdgCacheHomeElseHome) {
    const char* savedCache = std::getenv("XDG_CACHE_HOME");
    const char* savedHome = std::getenv("HOME");
    const std::string cache = savedCache ? savedCache : "", home = savedHome ? savedHome : "";
    ::setenv("XDG_CACHE_HOME", "/tmp/xdg-cache", 1);
    EXPECT_EQ(ProgramCacheFolder(), fs::path("/tmp/xdg-cache/Korvena/Veltrano"));
    ::setenv("XDG_CACHE_HOME", "relative", 1);
    ::setenv("HOME", "/tmp/home", 1);
    EXPECT_EQ(ProgramCacheFolder(), fs::path("/tmp/home/.cache/Korvena/Veltrano"));
    savedCache ? ::setenv("XDG_CACHE_HOME", cache.c_str(), 1) : ::unsetenv("XDG_CACHE_HOME");
    savedHome ? ::setenv("HOME", home.c_str(), 1) : ::unsetenv("HOME");
}

// The window program the module carries is written out and runs: without its socket it says how to use it.
TEST_F(CarriedProgramTest, TheCarriedWindowProgramRuns) {
    const std::optional<std::string_view> carried = resources::Find("veltrano-windows");
    if (!carried)
        GTEST_SKIP() << "this build carries no window program (GTK 3 was not found)";
    const ProgramLocation located = LocateCarriedProgram("veltrano-windows", *carried, Version, {}, cache_);
    ASSERT_TRUE(located.Ok()) << located.Error;
    EXPECT_EQ(Read(located.Path), *carried);
    EXPECT_EQ(WEXITSTATUS(std::system((located.Path.string() + " 2>/dev/null").c_str())), 2);
}

} // namespace
} // namespace veltrano::platform
