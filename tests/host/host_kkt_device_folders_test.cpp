// An external device identifier given before a connection gives that device its own folder for the storage
// file and the log; an identifier that is no plain folder name is refused.
#include "host_kkt_fixture.h"

#include <string>
#include <vector>

namespace veltrano::hosttest {
namespace {

class KktDeviceFoldersTest : public KktHostTest {
protected:
    bool SetExternalDeviceId(const std::string& identifier) {
        return driver_->Call("SetExternalDeviceId", {Value::Text(identifier)}).Succeeded();
    }

    // The text of every log file in a folder.
    static std::string LogsIn(const std::filesystem::path& folder) {
        std::string text;
        if (!std::filesystem::is_directory(folder))
            return text;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            text += ReadAll(entry.path());
        return text;
    }
};

TEST_F(KktDeviceFoldersTest, TheNextConnectionKeepsItsStorageAndLogInTheDevicesFolder) {
    ASSERT_TRUE(SetExternalDeviceId("KASSA-07")) << LastMessage();
    const std::string own = Connect(Settings({{"LogEnabled", "true"}}));
    ASSERT_FALSE(own.empty());
    const std::filesystem::path folder = DataFolder() / "KASSA-07";
    ASSERT_TRUE(OpenShift(own).Succeeded()) << LastMessage();
    EXPECT_EQ(Field(folder / "DataFN.xml", "DayState"), "1");
    EXPECT_FALSE(std::filesystem::exists(StorageFile())) << "the default storage is not touched";

    const std::string log = LogsIn(folder / "logs");
    EXPECT_NE(log.find("\tDEBUG\t> OpenShift: \tParams: [" + own + "; "), std::string::npos) << log;
    EXPECT_NE(log.find("\tDEBUG\t< OpenShift: \tResult=True; Params: [" + own + "; "), std::string::npos)
        << log;

    // The identifier went with that connection: the next one without an identifier of its own shares the
    // default storage.
    const std::string shared = Connect(Settings());
    ASSERT_FALSE(shared.empty());
    ASSERT_TRUE(std::filesystem::exists(StorageFile()));
    EXPECT_EQ(Field("DayState"), "0");
    ASSERT_TRUE(OpenShift(shared).Succeeded()) << LastMessage();
    EXPECT_EQ(Field("DayCounter"), "1");
    EXPECT_TRUE(CloseShift(own).Succeeded()) << LastMessage();
    EXPECT_EQ(Field(folder / "DataFN.xml", "DayState"), "0");
    EXPECT_EQ(Field("DayState"), "1");
}

TEST_F(KktDeviceFoldersTest, AnIdentifierGivenWhileADeviceIsCurrentStillWaitsForTheNextConnection) {
    const std::string first = Connect(Settings());
    ASSERT_FALSE(first.empty());
    ASSERT_TRUE(SetExternalDeviceId("  Касса 2  ")) << LastMessage();
    ASSERT_TRUE(OpenShift(first).Succeeded()) << LastMessage();
    EXPECT_EQ(Field("DayState"), "1") << "a connected device keeps its storage";

    const std::string second = Connect(Settings());
    ASSERT_TRUE(OpenShift(second).Succeeded()) << LastMessage();
    EXPECT_EQ(Field(DataFolder() / "Касса 2" / "DataFN.xml", "DayState"), "1");
}

TEST_F(KktDeviceFoldersTest, TheEquipmentTestUsesTheIdentifierWithoutTakingIt) {
    ASSERT_TRUE(SetExternalDeviceId("KASSA-09")) << LastMessage();
    const CallResult test =
        driver_->Call("ТестированиеОборудования",
                      {Value::Empty(), Value::Text(Settings()), Value::Empty(), Value::Empty()});
    ASSERT_TRUE(test.Succeeded()) << LastMessage();
    const std::filesystem::path storage = DataFolder() / "KASSA-09" / "DataFN.xml";
    EXPECT_TRUE(std::filesystem::exists(storage));

    const std::string id = Connect(Settings());
    ASSERT_TRUE(OpenShift(id).Succeeded()) << LastMessage();
    EXPECT_EQ(Field(storage, "DayState"), "1");
    EXPECT_FALSE(std::filesystem::exists(StorageFile()));
}

TEST_F(KktDeviceFoldersTest, IdentifiersThatWouldLeaveTheDataFolderAreRefused) {
    for (const char* unsafe : {"..", ".", " .. ", "../evil", "a/b", "/tmp/evil", "x\\y", "..\\..\\evil"}) {
        EXPECT_FALSE(SetExternalDeviceId(unsafe)) << unsafe;
        EXPECT_EQ(driver_->LastError().code, 1001);
        EXPECT_NE(LastMessage().find("не может быть именем папки"), std::string::npos) << LastMessage();
    }
    // Nothing was kept: the connection takes the default storage and no folder appears outside.
    const std::string id = Connect(Settings());
    ASSERT_TRUE(OpenShift(id).Succeeded()) << LastMessage();
    EXPECT_EQ(Field("DayState"), "1");
    EXPECT_FALSE(std::filesystem::exists(DataHome() / "Korvena" / "evil"));
    EXPECT_FALSE(std::filesystem::exists(DataHome() / "evil"));
    std::vector<std::string> inDataFolder;
    for (const auto& entry : std::filesystem::directory_iterator(DataFolder()))
        if (entry.is_directory())
            inDataFolder.push_back(entry.path().filename().string());
    EXPECT_TRUE(inDataFolder.empty()) << inDataFolder.front();
}

TEST_F(KktDeviceFoldersTest, ABlankIdentifierMeansNone) {
    ASSERT_TRUE(SetExternalDeviceId("KASSA-11")) << LastMessage();
    ASSERT_TRUE(SetExternalDeviceId("   ")) << LastMessage();
    const std::string id = Connect(Settings());
    ASSERT_TRUE(OpenShift(id).Succeeded()) << LastMessage();
    EXPECT_EQ(Field("DayState"), "1");
    EXPECT_FALSE(std::filesystem::exists(DataFolder() / "KASSA-11"));
}

} // namespace
} // namespace veltrano::hosttest
