// The equipment test with its sample document, and the cash register's additional actions.
#include "host_kkt_fixture.h"

#include <string>
#include <utility>

namespace veltrano::hosttest {
namespace {

const std::string TestDescription = "Driver KKT-online training 1C:Compatible 3.X NativeAPI";

class KktActionsTest : public KktHostTest {
protected:
    CallResult EquipmentTest(const std::string& settings) {
        return driver_->Call("ТестированиеОборудования",
                             {Value::Empty(), Value::Text(settings), Value::Empty(), Value::Empty()});
    }
    CallResult Action(const std::string& name) {
        return driver_->Call("ВыполнитьДополнительноеДействие", {Value::Text(name)});
    }
};

TEST_F(KktActionsTest, TheEquipmentTestOfAVirtualDeviceShowsAndWritesNothing) {
    const CallResult test = EquipmentTest(Settings());
    ASSERT_TRUE(test.Succeeded()) << LastMessage();
    EXPECT_EQ(test.Out(2), TestDescription);
    EXPECT_EQ(test.Out(3), "");
    EXPECT_FALSE(std::filesystem::exists(OutputFile()));
    EXPECT_EQ(Field("TotalDocCounter"), "0") << "the sample document is no fiscal document";
}

TEST_F(KktActionsTest, TheEquipmentTestOfAPrinterReportsThatItCannotPrintUnlessPrintingIsOff) {
    // COM 3 is a link in the data folder to a device that does not exist.
    std::filesystem::create_directories(DataFolder());
    std::filesystem::create_symlink(root_ / "no-such-tty", DataFolder() / "COM3");
    const CallResult test = EquipmentTest(Settings({{"InterfaceType", "1"}, {"COMPort", "3"}}));
    EXPECT_TRUE(test.returned);
    EXPECT_FALSE(test.result.boolean);
    EXPECT_EQ(LastMessage().rfind("Ошибка открытия COM-порта. ", 0), 0u) << LastMessage();
    EXPECT_EQ(test.Out(2), LastMessage());

    EXPECT_TRUE(EquipmentTest(Settings({{"InterfaceType", "1"}, {"EnablePrinting", "2"}})).Succeeded())
        << LastMessage();
    EXPECT_FALSE(std::filesystem::exists(OutputFile()));
}

TEST_F(KktActionsTest, ClearingTheStorageDeletesTheDefaultFileAndTheNextConnectionStartsAnew) {
    const std::string id = Connect(Settings());
    ASSERT_TRUE(OpenShift(id).Succeeded()) << LastMessage();
    EXPECT_EQ(Field("DayCounter"), "1");

    EXPECT_TRUE(Action("ClearFN").Succeeded()) << LastMessage();
    EXPECT_FALSE(std::filesystem::exists(StorageFile()));

    const std::string fresh = Connect(Settings());
    ASSERT_FALSE(fresh.empty());
    EXPECT_EQ(Field("DayCounter"), "0");
    EXPECT_EQ(Field("DayState"), "0");

    // Without any storage the action still ends with none.
    std::filesystem::remove(StorageFile());
    EXPECT_TRUE(Action("ClearFN").Succeeded()) << LastMessage();
    EXPECT_FALSE(std::filesystem::exists(StorageFile()));
}

// A connected device keeps its own storage path: the module's folder may be the platform's read-only or
// shared add-in cache, and the next connection looks in the data folder again.
TEST_F(KktActionsTest, AfterClearingTheStorageAConnectedDeviceStartsAnewWhereItsFileWas) {
    const std::string id = Connect(Settings());
    ASSERT_TRUE(OpenShift(id).Succeeded()) << LastMessage();
    ASSERT_TRUE(Action("ClearFN").Succeeded()) << LastMessage();

    ASSERT_TRUE(OpenShift(id).Succeeded()) << LastMessage();
    EXPECT_EQ(Field("DayCounter"), "1") << "a fresh storage in the data folder holds the new shift";
    EXPECT_EQ(Field("TotalDocCounter"), "1");
    const std::filesystem::path module = host_->GetModule().Path();
    EXPECT_FALSE(std::filesystem::exists(module.parent_path() / "DataFN.xml")) << module;

    ASSERT_TRUE(CashInOut(id, 10.0).Succeeded()) << LastMessage();
    const std::string other = Connect(Settings());
    ASSERT_FALSE(other.empty());
    EXPECT_TRUE(CashInOut(other, -10.0).Succeeded())
        << "the next connection sees the same cash: " << LastMessage();
}

// The tests run without a display: every window action fails through the last error and says why.
TEST_F(KktActionsTest, WindowActionsWithoutADisplaySayWhy) {
    const std::string noDisplay = "Нет дисплея: переменные DISPLAY и WAYLAND_DISPLAY не заданы";
    const std::pair<const char*, std::string> cases[] = {
        {"ESCSettings", "Окно настройки ESC-кодов не открылось: " + noDisplay},
        {"ViewLog", "Окно просмотра лога не открылось: " + noDisplay},
        {"ShowHelp", "Окно справки недоступно: нет дисплея"},
    };
    for (const auto& [action, message] : cases) {
        EXPECT_FALSE(Action(action).result.boolean) << action;
        EXPECT_EQ(LastMessage(), message) << action;
    }
}

} // namespace
} // namespace veltrano::hosttest
