#include "driver/help/help_page.h"

#include "platform/platform.h"
#include "resources/resources.h"
#include "zip_test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <regex>
#include <stdexcept>
#include <string>

namespace fs = std::filesystem;

namespace veltrano::driver::help {
namespace {

using testing::MakeZip;
using testing::TestEntry;

constexpr std::string_view kBom = "\xEF\xBB\xBF";

// Every page is made under a temporary folder of the test's own, named by TMPDIR for the test's duration.
class HelpPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/veltrano-help-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        root_ = pattern;
        fs::create_directory(Temp());
        if (const char* previous = std::getenv("TMPDIR"))
            previousTmp_ = previous;
        ::setenv("TMPDIR", Temp().c_str(), 1);
        ::setenv("XDG_DATA_HOME", (root_ / "data").c_str(), 1);
    }
    void TearDown() override {
        if (previousTmp_)
            ::setenv("TMPDIR", previousTmp_->c_str(), 1);
        else
            ::unsetenv("TMPDIR");
        fs::remove_all(root_);
    }
    fs::path Temp() const { return root_ / "tmp"; }
    bool TempIsEmpty() const { return fs::is_empty(Temp()); }

    fs::path root_;
    std::optional<std::string> previousTmp_;
};

TEST_F(HelpPageTest, ShippedManualBecomesAPageBesideItsStylesheetInAPrivateFolder) {
    const std::optional<std::string_view> archive = resources::Find("help");
    ASSERT_TRUE(archive.has_value());
    fs::path folder;
    {
        const HelpPage page(*archive);
        folder = page.Folder();
        EXPECT_EQ(folder.parent_path(), Temp());
        EXPECT_TRUE(std::regex_match(
            folder.filename().string(),
            std::regex(R"(\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\})")))
            << folder;
        EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all);
        for (const char* name : {"md.zip", "help.md", "help.css", "md.html"})
            EXPECT_TRUE(fs::is_regular_file(folder / name)) << name;
        EXPECT_EQ(platform::ReadFile(folder / "md.zip"), *archive);

        const std::string html = platform::ReadFile(page.PagePath());
        const std::string head =
            std::string(kBom) +
            "<!DOCTYPE html>\r\n<html>\r\n<head>\r\n<link href=\"help.css\" rel=\"stylesheet\">"
            "\r\n</head>\r\n<body>\r\n";
        EXPECT_EQ(html.substr(0, head.size()), head);
        EXPECT_TRUE(html.ends_with("\r\n</body>\r\n</html>"));
        EXPECT_NE(html.find("<h1>Veltrano — учебная ККТ для 1С:Предприятие 8</h1>"), std::string::npos);
        EXPECT_NE(html.find("<h2>Summary in English</h2>"), std::string::npos);
        EXPECT_NE(html.find("<code>ПодключитьВнешнююКомпоненту"), std::string::npos);
    }
    EXPECT_FALSE(fs::exists(folder));
    EXPECT_TRUE(TempIsEmpty());
}

TEST_F(HelpPageTest, PageFollowsTheFirstMarkdownAndStylesheetInAnyEncodingAndLetterCase) {
    const std::string utf16le("\xFF\xFE#\0 \0\x1F\x04\x40\x04\x38\x04\n\0", 14); // "# При\n"
    const std::string utf16be("\xFE\xFF\0#\0 \x04\x1F\x04\x40\x04\x38\0\n", 14);
    const struct {
        const char* what;
        std::vector<TestEntry> entries;
        std::string page; // after the byte-order mark
    } cases[] = {
        {"no stylesheet: the rendering alone",
         {{"guide.MD", "# Заголовок\n\nтекст *важно*\n", true}},
         "<h1>Заголовок</h1>\n<p>текст <em>важно</em></p>\n"},
        {"UTF-8 mark dropped", {{"a.md", std::string(kBom) + "# При\n", false}}, "<h1>При</h1>\n"},
        {"UTF-16 little-endian", {{"a.md", utf16le, false}}, "<h1>При</h1>\n"},
        {"UTF-16 big-endian", {{"a.md", utf16be, false}}, "<h1>При</h1>\n"},
        {"first names win, subfolders are not searched",
         {{"sub/", "", false},
          {"sub/0.md", "# sub\n", false},
          {"sub/0.css", "", false},
          {"b.md", "# b\n", false},
          {"a.md", "# a\n", false},
          {"z.css", "", false},
          {"Style.CSS", "", false}},
         "<!DOCTYPE html>\r\n<html>\r\n<head>\r\n<link href=\"Style.CSS\" rel=\"stylesheet\">\r\n</head>\r\n"
         "<body>\r\n<h1>a</h1>\n\r\n</body>\r\n</html>"},
    };
    for (const auto& c : cases) {
        const HelpPage page(MakeZip(c.entries));
        EXPECT_EQ(platform::ReadFile(page.PagePath()), std::string(kBom) + c.page) << c.what;
    }
    EXPECT_TRUE(TempIsEmpty());
}

TEST_F(HelpPageTest, FailedAssemblyLeavesNoFolderBehind) {
    const struct {
        const char* what;
        std::string archive;
        std::string message; // empty: any message
    } cases[] = {
        {"no markdown", MakeZip({{"help.css", "body{}", false}, {"notes.txt", "x", false}}),
         "Mardown file not found"},
        {"markdown only in a subfolder", MakeZip({{"doc/help.md", "# x", false}}), "Mardown file not found"},
        {"not an archive", "plain text", ""},
        {"entry leaving the folder", MakeZip({{"../escaped.md", "# x", false}}), ""},
        {"absolute entry", MakeZip({{"/tmp/escaped.md", "# x", false}}), ""},
    };
    for (const auto& c : cases) {
        try {
            const HelpPage page(c.archive);
            ADD_FAILURE() << c.what << ": no error";
        } catch (const std::runtime_error& error) {
            if (!c.message.empty()) {
                EXPECT_EQ(std::string(error.what()), c.message) << c.what;
            }
        }
        EXPECT_TRUE(TempIsEmpty()) << c.what;
    }
    EXPECT_FALSE(fs::exists(root_ / "escaped.md"));
    EXPECT_FALSE(fs::exists("/tmp/escaped.md"));
}

TEST_F(HelpPageTest, EveryRequestGetsAFolderOfItsOwn) {
    const std::string archive = MakeZip({{"help.md", "# x\n", false}});
    const HelpPage first(archive);
    const HelpPage second(archive);
    EXPECT_NE(first.Folder(), second.Folder());
    EXPECT_TRUE(fs::exists(first.PagePath()));
    EXPECT_TRUE(fs::exists(second.PagePath()));
}

TEST_F(HelpPageTest, ReleasedFolderOutlivesThePage) {
    std::optional<platform::PrivateFolder> kept;
    {
        HelpPage page(MakeZip({{"help.md", "# x\n", false}}));
        kept = std::move(page).ReleaseFolder();
    }
    ASSERT_TRUE(kept.has_value());
    EXPECT_TRUE(fs::exists(kept->Path() / "md.html"));
    kept.reset();
    EXPECT_TRUE(TempIsEmpty());
}

} // namespace
} // namespace veltrano::driver::help
