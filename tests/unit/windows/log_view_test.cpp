#include "log_view.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace veltrano::windows {
namespace {

using namespace std::string_literals;
namespace fs = std::filesystem;

TEST(LogFileNames, KeepsLogExtensionsInAnyCaseSortedWithTheNewestDayLast) {
    const std::vector<std::string> names = LogFileNames({
        "Veltrano_2024.03.02.log",
        "notes.txt",
        "Veltrano_2024.03.01.LOG",
        "archive.log.zip",
        "Veltrano_2023.12.31.Log",
        "log",
        "catalog",
        ".log",
        "old.log.bak",
        "a.b.log",
    });
    EXPECT_EQ(names, (std::vector<std::string>{".log", "a.b.log", "Veltrano_2023.12.31.Log",
                                               "Veltrano_2024.03.01.LOG", "Veltrano_2024.03.02.log"}));
}

TEST(LogFileNames, SortsWithoutRegardToCase) {
    EXPECT_EQ(LogFileNames({"b.log", "A.log", "a.log", "B.LOG"}),
              (std::vector<std::string>{"A.log", "a.log", "B.LOG", "b.log"}));
}

class LogFolder : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/veltrano-logview-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        root_ = pattern;
    }
    void TearDown() override { fs::remove_all(root_); }
    void Touch(const std::string& name) { std::ofstream(root_ / name) << "x"; }
    fs::path root_;
};

TEST_F(LogFolder, ListsOnlyRegularLogFiles) {
    Touch("Veltrano_2024.05.01.log");
    Touch("Veltrano_2024.05.02.LOG");
    Touch("readme.txt");
    fs::create_directory(root_ / "folder.log");
    EXPECT_EQ(ListLogFiles(root_),
              (std::vector<std::string>{"Veltrano_2024.05.01.log", "Veltrano_2024.05.02.LOG"}));
}

TEST_F(LogFolder, FolderWithoutLogFilesOrMissingGivesAnEmptyList) {
    Touch("readme.txt");
    EXPECT_TRUE(ListLogFiles(root_).empty());
    EXPECT_TRUE(ListLogFiles(root_ / "missing").empty());
}

struct DecodeCase {
    std::string bytes;
    LogEncoding encoding;
    std::string text;
};

class DecodeLog : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeLog, GivesValidUtf8Text) {
    EXPECT_EQ(DecodeLogText(GetParam().bytes, GetParam().encoding), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DecodeLog,
    ::testing::Values(DecodeCase{"Смена открыта\r\n", LogEncoding::Utf8, "Смена открыта\r\n"},
                      DecodeCase{"\xEF\xBB\xBFЧек", LogEncoding::Utf8, "Чек"},
                      // A log that is not valid UTF-8 still shows, with its broken bytes marked.
                      DecodeCase{"\xcf\xf0\xe8 ok", LogEncoding::Utf8,
                                 "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD ok"},
                      DecodeCase{"a\0b"s, LogEncoding::Utf8,
                                 "a\xEF\xBF\xBD"
                                 "b"},
                      DecodeCase{"\xcf\xf0\xe8\xe2\xe5\xf2 \xb9\xa8", LogEncoding::Ansi, "Привет №Ё"},
                      DecodeCase{"\x8f\xe0\xa8\xa2\xa5\xe2 \xfc\xf0\xf1", LogEncoding::Oem, "Привет №Ёё"},
                      DecodeCase{"\xc9\xcd\xbb\xb3\xb0\xdb\xff", LogEncoding::Oem, "╔═╗│░█\u00a0"},
                      DecodeCase{"\x80\x9f\xa0\xaf\xe0\xef", LogEncoding::Oem, "АЯапря"},
                      DecodeCase{"x\0y"s, LogEncoding::Oem, "x\xEF\xBF\xBDy"}));

} // namespace
} // namespace veltrano::windows
