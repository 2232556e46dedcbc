#include "platform/desktop.h"
#include "platform/platform.h"
#include "platform/private_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>

namespace fs = std::filesystem;

namespace veltrano::platform {
namespace {

class PrivateFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/veltrano-private-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        root_ = pattern;
    }
    void TearDown() override { fs::remove_all(root_); }
    fs::path root_;
};

// Restores one environment variable when the test ends.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value) : name_(name) {
        if (const char* previous = std::getenv(name))
            previous_ = previous;
        if (value != nullptr)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~ScopedVariable() {
        if (previous_)
            ::setenv(name_, previous_->c_str(), 1);
        else
            ::unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> previous_;
};

TEST_F(PrivateFolderTest, FolderIsForThisUserOnlyAndGoesAwayWithEverythingInIt) {
    const fs::path outside = root_ / "outside.txt";
    std::ofstream(outside) << "keep";
    const fs::path path = root_ / "missing-parent" / "{job}";
    {
        const PrivateFolder folder(path);
        EXPECT_EQ(folder.Path(), path);
        EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms::owner_all);
        fs::create_directories(path / "sub");
        WritePrivateFile(path / "sub" / "page.html", "page");
        fs::create_symlink(outside, path / "link");
        fs::create_directory_symlink(root_, path / "root-link");
    }
    EXPECT_FALSE(fs::exists(path));
    EXPECT_EQ(ReadFile(outside), "keep");
}

TEST_F(PrivateFolderTest, ExistingFolderIsNeverAdopted) {
    const fs::path path = root_ / "taken";
    fs::create_directory(path);
    std::ofstream(path / "theirs.txt") << "x";
    EXPECT_THROW(PrivateFolder{path}, std::runtime_error);
    EXPECT_TRUE(fs::exists(path / "theirs.txt"));
}

TEST_F(PrivateFolderTest, MovedFolderBelongsToItsNewOwner) {
    const fs::path path = root_ / "moved";
    std::optional<PrivateFolder> owner;
    {
        PrivateFolder first(path);
        owner.emplace(std::move(first));
    }
    EXPECT_TRUE(fs::is_directory(path));
    owner.reset();
    EXPECT_FALSE(fs::exists(path));
}

TEST_F(PrivateFolderTest, PrivateFileIsOwnerReadableAndRefusesALinkInItsPlace) {
    const fs::path file = root_ / "a.txt";
    WritePrivateFile(file, "first, longer");
    WritePrivateFile(file, "second");
    EXPECT_EQ(ReadFile(file), "second");
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);

    const fs::path target = root_ / "target.txt";
    std::ofstream(target) << "target";
    fs::create_symlink(target, root_ / "link.txt");
    EXPECT_THROW(WritePrivateFile(root_ / "link.txt", "x"), std::runtime_error);
    EXPECT_EQ(ReadFile(target), "target");
}

TEST(TemporaryFolder, FollowsAnAbsoluteTmpdir) {
    const struct {
        const char* tmpdir;
        fs::path expected;
    } cases[] = {{"/var/tmp/mine", "/var/tmp/mine"}, {"relative", "/tmp"}, {"", "/tmp"}, {nullptr, "/tmp"}};
    for (const auto& c : cases) {
        const ScopedVariable tmpdir("TMPDIR", c.tmpdir);
        EXPECT_EQ(TemporaryFolder(), c.expected) << (c.tmpdir ? c.tmpdir : "unset");
    }
}

TEST(Desktop, DisplayIsEitherX11OrWayland) {
    const struct {
        const char* display;
        const char* wayland;
        bool expected;
    } cases[] = {
        {":0", nullptr, true}, {nullptr, "wayland-0", true}, {"", "", false}, {nullptr, nullptr, false}};
    for (const auto& c : cases) {
        const ScopedVariable display("DISPLAY", c.display);
        const ScopedVariable wayland("WAYLAND_DISPLAY", c.wayland);
        EXPECT_EQ(HasDisplay(), c.expected)
            << (c.display ? c.display : "-") << " " << (c.wayland ? c.wayland : "-");
    }
}

TEST(Desktop, ProgramRunsToItsEndAndReportsItsExitStatus) {
    const struct {
        fs::path program;
        std::vector<std::string> arguments;
        int expected;
    } cases[] = {
        {"/bin/sh", {"-c", "exit 0"}, 0},
        {"/bin/sh", {"-c", "test \"$1\" = 'два слова'", "sh", "два слова"}, 0},
        {"/bin/sh", {"-c", "exit 3"}, 3},
        {"/bin/sh", {"-c", "kill -9 $$"}, -1},
        {"/nonexistent/veltrano-help", {}, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RunProgram(c.program, c.arguments), c.expected) << c.program << " " << c.arguments.size();
}

} // namespace
} // namespace veltrano::platform
