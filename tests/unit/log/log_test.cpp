#include "log/log.h"

#include "common/version.h"
#include "data_folder.h"
#include "log/log_clock.h"
#include "platform/platform.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace veltrano::log {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;

moment::DateTime gNow{2024, 3, 5, 14, 7, 9, 45};
moment::DateTime FixedClock() {
    return gNow;
}

// Every test starts with the log as the module leaves it after registration: off, no banner yet, default
// folder.
class LogTest : public testing::DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        gNow = {2024, 3, 5, 14, 7, 9, 45};
        SetLogClock(&FixedClock);
        SetLogFileName("Veltrano");
        SetLogFolder("");
        SetLogMode(ModeAll);
        SetLogMode(ModeOff);
    }

    void TearDown() override {
        SetLogMode(ModeAll);
        SetLogMode(ModeOff);
        SetLogFolder("");
        SetLogClock(nullptr);
        DataFolderTest::TearDown();
    }

    fs::path LogFile(const std::string& date = "2024.03.05") const {
        return DefaultLogFolder() / ("Veltrano_" + date + ".log");
    }

    static std::vector<std::string> Lines(const std::string& bytes) {
        std::vector<std::string> lines;
        std::size_t start = 0;
        for (std::size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
            lines.push_back(bytes.substr(start, end - start));
        EXPECT_EQ(start, bytes.size()) << "every line ends with CR LF";
        return lines;
    }

    static std::size_t Count(const std::string& bytes, const std::string& piece) {
        std::size_t count = 0;
        for (std::size_t at = bytes.find(piece); at != std::string::npos; at = bytes.find(piece, at + 1))
            ++count;
        return count;
    }
};

TEST_F(LogTest, OffWritesNothingAndCreatesNoFolder) {
    WriteLog("Exception", "Смена закрыта", Level::Error);
    EXPECT_FALSE(fs::exists(DataHome() / "Korvena"));
}

struct ModeCase {
    std::uint8_t mode;
    Level level;
    bool written;
};

class LogModeTest : public LogTest, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(LogModeTest, LetsOnlyItsLevelsThrough) {
    const ModeCase& c = GetParam();
    SetLogMode(c.mode);
    WriteLog("probe line", "", c.level);
    EXPECT_EQ(ReadBytes(LogFile()).find("probe line") != std::string::npos, c.written);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, LogModeTest,
    ::testing::Values(ModeCase{ModeOff, Level::Error, false}, ModeCase{ModeErrors, Level::Info, false},
                      ModeCase{ModeErrors, Level::Debug, false}, ModeCase{ModeErrors, Level::Error, true},
                      ModeCase{ModeInfo, Level::Info, true}, ModeCase{ModeInfo, Level::Debug, false},
                      ModeCase{ModeInfo, Level::Error, true}, ModeCase{ModeAll, Level::Debug, true},
                      ModeCase{ModeAll, Level::Info, true}, ModeCase{ModeHeld, Level::Error, false}));

TEST_F(LogTest, FirstLineOfTheDayComesAfterTheStartBanner) {
    SetLogMode(ModeAll);
    WriteLog("> OpenShift", "Params: []", Level::Debug);
    WriteLog("< OpenShift", "Result=True; Params: []", Level::Debug);

    const std::vector<std::string> lines = Lines(ReadBytes(LogFile()));
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[0], std::string(40, ' '));
    EXPECT_EQ(lines[1], "============Start log=============");
    EXPECT_EQ(lines[2], "OS version:\t" + platform::SystemText());
    EXPECT_EQ(lines[3], "Application:\t" + platform::ModulePath().filename().string());
    EXPECT_EQ(lines[4], "App. version:\t" + ModuleVersionText());
    EXPECT_EQ(lines[5], std::string(40, ' '));
    EXPECT_EQ(lines[6], "2024.03.05 14:07:09.045\tDEBUG\t> OpenShift: \tParams: []");
    EXPECT_EQ(lines[7], "2024.03.05 14:07:09.045\tDEBUG\t< OpenShift: \tResult=True; Params: []");
}

TEST_F(LogTest, VersionHasFourParts) {
    std::istringstream parts(ModuleVersionText());
    int major = -1, minor = -1, release = -1, build = -1;
    char dot1 = 0, dot2 = 0, dot3 = 0;
    parts >> major >> dot1 >> minor >> dot2 >> release >> dot3 >> build;
    EXPECT_TRUE(parts.eof());
    EXPECT_EQ(std::string() + dot1 + dot2 + dot3, "...");
    EXPECT_GE(build, 0);
}

struct TrimCase {
    std::string text;
    std::string details;
    std::string written;
};

class LogTrimTest : public LogTest, public ::testing::WithParamInterface<TrimCase> {};

TEST_P(LogTrimTest, TrimsTextAndDetailsButKeepsInnerBreaks) {
    const TrimCase& c = GetParam();
    SetLogMode(ModeAll);
    WriteLog(c.text, c.details, Level::Info);
    const std::string bytes = ReadBytes(LogFile());
    EXPECT_NE(bytes.find("2024.03.05 14:07:09.045\tINFO\t" + c.written + "\r\n"), std::string::npos) << bytes;
}

INSTANTIATE_TEST_SUITE_P(Trims, LogTrimTest,
                         ::testing::Values(TrimCase{"plain", "", "plain"},
                                           TrimCase{"  padded\t\r\n", "", "padded"},
                                           TrimCase{"text", "  details \n", "text: \tdetails"},
                                           TrimCase{"\x01 Смена ", " открыта\x1f", "Смена: \tоткрыта"},
                                           TrimCase{"line one\r\nline two", "", "line one\r\nline two"},
                                           TrimCase{"blank details", "   ", "blank details: \t"}));

TEST_F(LogTest, SwitchingOffAndOnAgainWritesASecondBanner) {
    SetLogMode(ModeAll);
    WriteLog("first", "", Level::Info);
    SetLogMode(ModeOff);
    WriteLog("while off", "", Level::Error);
    SetLogMode(ModeAll);
    WriteLog("second", "", Level::Info);

    const std::string bytes = ReadBytes(LogFile());
    EXPECT_EQ(Count(bytes, "============Start log============="), 2u);
    EXPECT_EQ(bytes.find("while off"), std::string::npos);
    EXPECT_LT(bytes.rfind("============Start log"), bytes.find("second"));
}

TEST_F(LogTest, HoldingKeepsTheBannerOfTheRunningLog) {
    SetLogMode(ModeAll);
    WriteLog("first", "", Level::Info);
    SetLogMode(ModeHeld);
    WriteLog("held", "", Level::Error);
    SetLogMode(ModeAll);
    WriteLog("second", "", Level::Info);

    const std::string bytes = ReadBytes(LogFile());
    EXPECT_EQ(Count(bytes, "============Start log============="), 1u);
    EXPECT_EQ(bytes.find("held"), std::string::npos);
}

TEST_F(LogTest, HeldThenOffStartsANewBannerLater) {
    // The call trace holds the log, then switches it off for a device that is not logged.
    SetLogMode(ModeAll);
    WriteLog("first", "", Level::Info);
    SetLogMode(ModeHeld);
    SetLogMode(ModeOff);
    SetLogMode(ModeAll);
    WriteLog("second", "", Level::Info);
    EXPECT_EQ(Count(ReadBytes(LogFile()), "============Start log============="), 2u);
}

TEST_F(LogTest, ALineStampedAfterMidnightGoesToTheNewDaysFile) {
    SetLogMode(ModeAll);
    gNow = {2024, 12, 31, 23, 59, 59, 999};
    WriteLog("old year", "", Level::Info);
    gNow = {2025, 1, 1, 0, 0, 0, 0};
    WriteLog("new year", "", Level::Info);

    const std::string oldDay = ReadBytes(LogFile("2024.12.31"));
    const std::string newDay = ReadBytes(LogFile("2025.01.01"));
    EXPECT_NE(oldDay.find("2024.12.31 23:59:59.999\tINFO\told year"), std::string::npos);
    EXPECT_EQ(oldDay.find("new year"), std::string::npos);
    EXPECT_EQ(newDay, "2025.01.01 00:00:00.000\tINFO\tnew year\r\n");
}

TEST_F(LogTest, LinesThatCannotBeWrittenAreCountedAndNotedLater) {
    SetLogMode(ModeAll);
    // A folder where today's file should be: every append fails.
    fs::create_directories(LogFile());
    WriteLog("lost one", "", Level::Info);
    WriteLog("lost two", "", Level::Error);
    fs::remove(LogFile());
    gNow.second = 30;
    WriteLog("back again", "", Level::Info);

    const std::vector<std::string> lines = Lines(ReadBytes(LogFile()));
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[1], "============Start log=============");
    EXPECT_EQ(lines[6], "2024.03.05 14:07:30.045\tINFO\tLog lines dropped: 2");
    EXPECT_EQ(lines[7], "2024.03.05 14:07:30.045\tINFO\tback again");
}

TEST_F(LogTest, AFolderThatCannotBeMadeLosesTheLineQuietly) {
    fs::create_directories(DataHome());
    { std::ofstream(DataHome() / "Korvena") << "a file where the folder should be"; }
    SetLogMode(ModeAll);
    EXPECT_NO_THROW(WriteLog("nowhere to go", "", Level::Error));
    EXPECT_THROW(GetLogPath(false), std::runtime_error);
}

TEST_F(LogTest, FolderFormEndsWithADelimiterAndCreatesTheFolderForItsOwnerToWrite) {
    const std::string folder = GetLogPath(false);
    EXPECT_EQ(folder, DefaultLogFolder().string() + "/");
    ASSERT_TRUE(fs::is_directory(DefaultLogFolder()));
    EXPECT_EQ(fs::status(DefaultLogFolder()).permissions() &
                  (fs::perms::group_write | fs::perms::others_write),
              fs::perms::none);
    EXPECT_EQ(GetLogPath(true), DefaultLogFolder().string() + "/Veltrano_2024.03.05.log");
}

TEST_F(LogTest, LogFolderOverrideIsTakenAsIsWhenAbsoluteAndUnderTheDataFolderOtherwise) {
    const fs::path absolute = root_ / "elsewhere" / "logs";
    SetLogFolder(absolute.string());
    EXPECT_EQ(GetLogPath(true), absolute.string() + "/Veltrano_2024.03.05.log");
    EXPECT_TRUE(fs::is_directory(absolute));

    SetLogFolder("Korvena/Veltrano/EXT-1/logs");
    EXPECT_EQ(GetLogPath(false), (DataHome() / "Korvena/Veltrano/EXT-1/logs").string() + "/");
}

TEST_F(LogTest, FileNameComesFromTheBaseNameWithoutFolderAndExtension) {
    SetLogFileName("/opt/addins/Veltrano.so");
    EXPECT_EQ(GetLogPath(true), DefaultLogFolder().string() + "/Veltrano_2024.03.05.log");

    SetLogFileName("");
    const std::string module = platform::ModulePath().stem().string();
    EXPECT_EQ(GetLogPath(true),
              (DataHome() / "Korvena" / module).string() + "/" + module + "_2024.03.05.log");
    SetLogFileName("Veltrano");
}

TEST_F(LogTest, ShutdownWritesTheStopBannerOnlyWhenTheLogRuns) {
    Shutdown();
    EXPECT_FALSE(fs::exists(LogFile()));

    SetLogMode(ModeAll);
    WriteLog("working", "", Level::Info);
    Shutdown();
    const std::string bytes = ReadBytes(LogFile());
    EXPECT_TRUE(bytes.ends_with("\tINFO\tworking\r\n============Stop log===============\r\n\r\n")) << bytes;
}

} // namespace
} // namespace veltrano::log
