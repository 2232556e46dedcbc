#include "kkt/storage/fiscal_storage.h"
#include "platform/file_lock.h"
#include "storage_fixture.h"

#include <algorithm>
#include <chrono>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace veltrano::kkt {
namespace {

using testing::DataFNTest;

std::vector<std::string> FolderEntries(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A storage folder holds the file and its lock file, nothing else.
std::vector<std::string> StorageFolder() {
    return {"DataFN.xml", "DataFN.xml.lock"};
}

class DataFNDamagedAtStart : public DataFNTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(DataFNDamagedAtStart, IsReplacedByDefaultsSilently) {
    WriteBytes(DefaultFile(), GetParam());
    FiscalStorage storage{fs::path()};
    EXPECT_EQ(storage.GetValue("KKTNumber"), "1234567890123456");
    EXPECT_EQ(ReadBytes(DefaultFile()).rfind("<?xml version=\"1.0\"?>\r\n<DataFN>", 0), 0u);
    EXPECT_EQ(FolderEntries(DefaultFile().parent_path()), StorageFolder());
}

// An empty file is what a crash during a non-atomic save leaves behind.
INSTANTIATE_TEST_SUITE_P(
    Table, DataFNDamagedAtStart,
    ::testing::Values("", "not xml at all", "<DataFN><KKTNumber Value=\"1\"></DataFN>",
                      "<?xml version=\"1.0\"?>\r\n<DataFN>\r\n  <M0 Value=\"0\" TypeValue=", "\xEF\xBB\xBF"));

TEST_F(DataFNTest, ReadersAcceptAByteOrderMarkAndAnEncodingDeclaration) {
    const std::string text = "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                             "<DataFN>\r\n  <OrganizationName Value=\"Касса №1\" TypeValue=\"String\"/>\r\n"
                             "  <M241 Value=\"10,5\" TypeValue=\"Number\"/>\r\n</DataFN>\r\n";
    WriteBytes(DefaultFile(), text);
    FiscalStorage storage{fs::path()};
    EXPECT_EQ(storage.GetValue("OrganizationName"), "Касса №1");
    EXPECT_EQ(ReadBytes(DefaultFile()), text) << "a readable storage is not rewritten at the start";
    (void)storage.Load();
    EXPECT_EQ(storage.GetValue("M241"), "10.5");
}

TEST_F(DataFNTest, AWellFormedFileOfAnotherKindIsLeftAlone) {
    const std::string text = "<?xml version=\"1.0\"?>\r\n<Settings><Parameter Name=\"x\"/></Settings>\r\n";
    WriteBytes(DefaultFile(), text);
    FiscalStorage storage{fs::path()};
    EXPECT_THROW(storage.GetValue("KKTNumber"), std::runtime_error);
    EXPECT_THROW(storage.SetValue("KKTNumber", "1"), std::runtime_error);
    EXPECT_EQ(ReadBytes(DefaultFile()), text);
}

TEST_F(DataFNTest, DamageFoundAtAReloadFailsWithTheParsersMessageAndTouchesNothing) {
    FiscalStorage storage{fs::path()};
    storage.SetValue("DayCounter", 3);
    const std::string damaged =
        "<?xml version=\"1.0\"?>\r\n<DataFN>\r\n  <M0 Value=\"0\" TypeValue=\"Number\">\r\n";
    WriteBytes(DefaultFile(), damaged);

    std::string message;
    try {
        (void)storage.Load();
    } catch (const std::runtime_error& error) {
        message = error.what();
    }
    EXPECT_NE(message.find("Start-end tags mismatch"), std::string::npos) << message;
    EXPECT_EQ(ReadBytes(DefaultFile()), damaged);
    EXPECT_EQ(storage.FileName(), DefaultFile());
    EXPECT_EQ(storage.GetValue("DayCounter"), "3") << "the document in memory stays as it was";
}

TEST_F(DataFNTest, FileDeletedBetweenOperationsStartsAFreshStorageAtItsOwnPath) {
    const fs::path file = root_ / "device" / "DataFN.xml";
    FiscalStorage storage(file);
    storage.SetValue("DayCounter", 3);
    storage.Save();
    fs::remove_all(file.parent_path());

    (void)storage.Load();
    EXPECT_EQ(storage.FileName(), file);
    EXPECT_EQ(storage.GetValue("DayCounter"), "0");
    EXPECT_EQ(ReadBytes(file).rfind("<?xml version=\"1.0\"?>\r\n<DataFN>", 0), 0u);
    storage.SetValue("DayCounter", 1);
    storage.Save();
    EXPECT_EQ(FiscalStorage(file).GetValue("DayCounter"), "1");
}

TEST_F(DataFNTest, ChangesOfAnOperationThatEndsWithoutSavingAreReadAgain) {
    FiscalStorage storage{fs::path()};
    storage.SetValue("TotalDocCounter", 7);
    storage.Save();
    {
        const FiscalStorage::Hold hold = storage.Load();
        storage.SetValue("TotalDocCounter", 8);
        storage.ClearFNCounters();
    }
    (void)storage.Load();
    EXPECT_EQ(storage.GetValue("TotalDocCounter"), "7");
}

TEST_F(DataFNTest, AnotherObjectWaitsForTheHoldAndFailsWhenItLastsTooLong) {
    FiscalStorage first{fs::path()};
    FiscalStorage second{fs::path()};
    {
        const FiscalStorage::Hold hold = first.Load();
        platform::FileLock probe(FiscalStorage::LockFileFor(DefaultFile()));
        EXPECT_FALSE(probe.Acquire(std::chrono::milliseconds(50))) << "the hold keeps the lock";
        first.SetValue("TotalDocCounter", 5);
        first.Save();
        EXPECT_TRUE(probe.Acquire(std::chrono::milliseconds(0))) << "the save ends the hold";
    }
    (void)second.Load();
    EXPECT_EQ(second.GetValue("TotalDocCounter"), "5");
}

TEST_F(DataFNTest, AFailedReloadEndsItsHold) {
    FiscalStorage storage{fs::path()};
    WriteBytes(DefaultFile(), "<DataFN>");
    EXPECT_THROW((void)storage.Load(), std::runtime_error);
    platform::FileLock probe(FiscalStorage::LockFileFor(DefaultFile()));
    EXPECT_TRUE(probe.Acquire(std::chrono::milliseconds(0)));
}

TEST_F(DataFNTest, ATemporaryFileLeftByACrashedSaveIsRemovedAtTheNextLoad) {
    FiscalStorage storage{fs::path()};
    const fs::path leftover = DefaultFile().parent_path() / ".DataFN.xml.tmp";
    WriteBytes(leftover, "<?xml version=\"1.0\"?>\r\n<DataFN>\r\n  <M0 Va");
    (void)storage.Load();
    EXPECT_FALSE(fs::exists(leftover));
    EXPECT_EQ(FolderEntries(DefaultFile().parent_path()), StorageFolder());
}

TEST_F(DataFNTest, FoldersAndFilesAreTheUsersOwn) {
    const fs::path existing = root_ / "shared";
    fs::create_directories(existing);
    fs::permissions(existing, fs::perms::all);
    const fs::path file = existing / "Korvena" / "Veltrano" / "DataFN.xml";
    const FiscalStorage storage(file);
    const auto mode = [](const fs::path& path) { return fs::status(path).permissions() & fs::perms::mask; };
    EXPECT_EQ(mode(existing), fs::perms::all) << "an existing folder keeps its mode";
    for (const fs::path& folder : {file.parent_path(), file.parent_path().parent_path()})
        EXPECT_EQ(mode(folder) & (fs::perms::group_write | fs::perms::others_write), fs::perms::none)
            << folder;
    EXPECT_EQ(mode(file) & (fs::perms::group_write | fs::perms::others_write), fs::perms::none);
}

TEST_F(DataFNTest, SavesLeaveNoTemporaryFilesBehind) {
    FiscalStorage storage{fs::path()};
    for (int i = 0; i < 5; ++i) {
        storage.SetValue("TotalDocCounter", i);
        storage.Save();
    }
    EXPECT_EQ(FolderEntries(DefaultFile().parent_path()), StorageFolder());
    EXPECT_EQ(FiscalStorage(fs::path()).GetValue("TotalDocCounter"), "4");
}

TEST_F(DataFNTest, AFailedSaveThrowsAndLeavesTheOldFileIntact) {
    const fs::path folder = root_ / "device";
    FiscalStorage storage(folder / "DataFN.xml");
    const std::string saved = ReadBytes(folder / "DataFN.xml");
    storage.SetValue("DayCounter", 12);

    // The folder is moved away and a plain file stands in its place: nothing can be written there.
    fs::rename(folder, root_ / "moved");
    WriteBytes(folder, "a file, not a folder");
    EXPECT_THROW(storage.Save(), std::runtime_error);
    fs::remove(folder);
    fs::rename(root_ / "moved", folder);

    EXPECT_TRUE(ReadBytes(folder / "DataFN.xml") == saved) << "the old file changed";
    EXPECT_EQ(FolderEntries(folder), StorageFolder());
}

TEST_F(DataFNTest, AFailedReplaceRemovesItsTemporaryFile) {
    const fs::path file = root_ / "device" / "DataFN.xml";
    FiscalStorage storage(file);
    // A folder with content now stands at the storage path: the new text is written aside and cannot replace
    // it.
    fs::remove(file);
    WriteBytes(file / "keep.txt", "kept");
    EXPECT_THROW(storage.Save(), std::runtime_error);
    EXPECT_EQ(FolderEntries(file.parent_path()), StorageFolder());
    EXPECT_EQ(ReadBytes(file / "keep.txt"), "kept");
}

TEST_F(DataFNTest, AFileThatCannotBeReadAtTheStartFailsAndIsKept) {
    const fs::path file = root_ / "device" / "DataFN.xml";
    WriteBytes(file / "keep.txt", "kept");
    EXPECT_THROW(FiscalStorage{file}, std::runtime_error);
    EXPECT_EQ(ReadBytes(file / "keep.txt"), "kept");
}

TEST_F(DataFNTest, ClearFNDeletesTheFileAndConnectedStoragesStartAgainAtTheirPath) {
    FiscalStorage storage{fs::path()};
    storage.SetValue("DayCounter", 4);
    storage.Save();
    FiscalStorage::ClearFN(fs::path());
    EXPECT_FALSE(fs::exists(DefaultFile()));
    EXPECT_EQ(storage.GetValue("DayCounter"), "4") << "the document in memory stays until the next load";
    EXPECT_NO_THROW(FiscalStorage::ClearFN(fs::path())) << "nothing to delete is no failure";
    (void)storage.Load();
    EXPECT_EQ(storage.GetValue("DayCounter"), "0");
    EXPECT_TRUE(fs::exists(DefaultFile()));
}

TEST_F(DataFNTest, InstancesSharingAFileSeeEachOthersSaves) {
    FiscalStorage first{fs::path()};
    FiscalStorage second{fs::path()};
    first.SetValue("TotalDocCounter", 1);
    first.Save();
    (void)second.Load();
    EXPECT_EQ(second.GetValue("TotalDocCounter"), "1");
    second.SetValue("TotalDocCounter", 2);
    second.Save();
    (void)first.Load();
    EXPECT_EQ(first.GetValue("TotalDocCounter"), "2");
}

} // namespace
} // namespace veltrano::kkt
