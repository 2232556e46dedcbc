#include "driver/help/zip_archive.h"

#include "zip_test_support.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace veltrano::driver::help {
namespace {

using testing::MakeZip;
using testing::TestEntry;

TEST(ZipArchive, ReadsStoredAndDeflatedEntriesInDirectoryOrder) {
    const std::string text(5000, 'x');
    const std::string archive = MakeZip({{"docs/", "", false},
                                         {"docs/help.md", "# Справка\n" + text, true},
                                         {"style.css", "body{}", false},
                                         {"empty.txt", "", true}});
    const std::vector<ZipEntry> entries = ReadZip(archive);
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].Name, "docs/");
    EXPECT_EQ(entries[1].Name, "docs/help.md");
    EXPECT_EQ(entries[1].Bytes, "# Справка\n" + text);
    EXPECT_EQ(entries[2].Bytes, "body{}");
    EXPECT_EQ(entries[3].Bytes, "");
}

TEST(ZipArchive, RefusesDamagedArchives) {
    const std::string good = MakeZip({{"a.md", "hello, archive", true}});
    std::string badChecksum = MakeZip({{"a.md", "hello", false}});
    badChecksum[badChecksum.find("hello")] = 'j';
    std::string badMethod = MakeZip({{"a.md", "hello", false}});
    badMethod[8] = 12; // the local header's method: bzip2
    badMethod[badMethod.find("PK\x01\x02") + 10] = 12;
    const struct {
        const char* what;
        std::string archive;
    } cases[] = {
        {"empty", ""},
        {"no central directory", "just some bytes that are not a zip archive at all"},
        {"cut short", good.substr(0, good.size() / 2) + good.substr(good.size() - 22)},
        {"checksum", badChecksum},
        {"method", badMethod},
    };
    for (const auto& c : cases)
        EXPECT_THROW(ReadZip(c.archive), std::runtime_error) << c.what;
}

} // namespace
} // namespace veltrano::driver::help
