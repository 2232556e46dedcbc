#include "kkt/cash_register_driver.h"

#include "common/xml.h"
#include "driver_test_support.h"

#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <string>
#include <vector>

namespace veltrano::kkt {
namespace {

using driver::testing::CallHostMethod;
using driver::testing::HeapMemory;
using driver::testing::HostParams;
using output::UsbPrinterInfo;

std::vector<std::string> UsbChoices(const pugi::xml_document& settings) {
    std::vector<std::string> items;
    for (const pugi::xpath_node& found :
         settings.select_nodes("//Parameter[@Name='USBPort']/ChoiceList/Item"))
        items.push_back(std::string(found.node().attribute("Value").value()) + "=" +
                        found.node().text().get());
    return items;
}

TEST(UsbChoicesTest, ListsEnabledLocalPrintersByLocationOrPath) {
    pugi::xml_document settings;
    xml::Parse(settings, "<Settings><Page><Group><Parameter Name=\"COMPort\"/></Group><Group>"
                         "<Parameter Name=\"USBPort\"/></Group></Page></Settings>");
    const std::vector<UsbPrinterInfo> printers{
        {"/dev/usb/lp0", "Port_#0001.Hub_#0004", "Receipt printer", true, "USB\\VID_0416"},
        {"/dev/usb/lp1", "", "No location", true, ""},
        {"/dev/usb/lp2", "Port_#0002", "Switched off", false, ""},
        {"\\\\?\\ROOT#RDPBUS#0000#{28D78FAD-5A12-11D1-AE5B-0000F803A8C2}\\printer", "Remote", "", true, ""},
    };
    AddUsbPrinterChoices(settings, printers);
    EXPECT_EQ(UsbChoices(settings), (std::vector<std::string>{"/dev/usb/lp0=Принтер Port_#0001.Hub_#0004",
                                                              "/dev/usb/lp1=Принтер /dev/usb/lp1"}));
}

TEST(UsbChoicesTest, TheFirstUsbPortInDocumentOrderGetsTheListInAnyLetterCase) {
    pugi::xml_document settings;
    xml::Parse(settings,
               "<Settings><Page><Group><Parameter Name=\"usbport\"><Note Name=\"USBPORT\"/></Parameter>"
               "</Group><Parameter Name=\"USBPort\"/></Page></Settings>");
    AddUsbPrinterChoices(settings, {});
    const pugi::xml_node first = settings.document_element().first_child().first_child().first_child();
    EXPECT_TRUE(first.child("ChoiceList"));
    EXPECT_FALSE(first.child("Note").child("ChoiceList"));
    EXPECT_FALSE(settings.document_element().first_child().child("Parameter").child("ChoiceList"));
}

TEST(UsbChoicesTest, TheRootItselfIsNotAChoice) {
    pugi::xml_document settings;
    xml::Parse(settings, "<Settings Name=\"USBPort\"/>");
    AddUsbPrinterChoices(settings, {});
    EXPECT_FALSE(settings.document_element().child("ChoiceList"));
}

class DriverTest : public driver::testing::DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        driver_.V8MM = &memory_;
    }

    HeapMemory memory_;
    CashRegisterDriver driver_;
};

TEST_F(DriverTest, SettingsCarryAnEmptyUsbChoiceListWithoutPrinters) {
    pugi::xml_document settings;
    xml::Parse(settings, driver_.BuildSettingsXml());
    const pugi::xml_node usbPort = settings.select_node("//Parameter[@Name='USBPort']").node();
    ASSERT_TRUE(usbPort);
    ASSERT_TRUE(usbPort.child("ChoiceList"));
    EXPECT_FALSE(usbPort.child("ChoiceList").first_child());
    EXPECT_EQ(settings.select_nodes("//Parameter").size(), 91u);
}

struct SelectCase {
    std::string deviceId;
    std::string message;
};

class SelectInstanceTest : public DriverTest, public ::testing::WithParamInterface<SelectCase> {};

TEST_P(SelectInstanceTest, NoInstanceCanBeSelectedYet) {
    try {
        driver_.SelectInstance(GetParam().deviceId);
        ADD_FAILURE() << "selected";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(error.what(), GetParam().message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Identifiers, SelectInstanceTest,
    ::testing::Values(
        SelectCase{"", "Не передан идентификатор устройства"},
        SelectCase{"   ", "Не передан идентификатор устройства"},
        SelectCase{"\t\r\n", "Не передан идентификатор устройства"},
        SelectCase{"3F2504E0-4F89-41D3-9A0C-0305E82C3301",
                   "Экземпляр устройства c идентификатором 3F2504E0-4F89-41D3-9A0C-0305E82C3301 не "
                   "существует или уже был отключен"},
        SelectCase{" X ", "Экземпляр устройства c идентификатором  X  не существует или уже был "
                          "отключен"}));

TEST_F(DriverTest, ExternalDeviceIdIsKeptForTheNextConnection) {
    HostParams params(memory_);
    params.Utf8("KASSA-07");
    V8Variant result{};
    EXPECT_TRUE(CallHostMethod(driver_, u"SetExternalDeviceId", &result, params));
    EXPECT_TRUE(result.bVal);
    EXPECT_EQ(driver_.PendingExternalDeviceId(), "KASSA-07");
}

TEST_F(DriverTest, TheEscSettingsActionWithoutADisplaySaysWhy) {
    try {
        driver_.RunAdditionalAction("ESCSettings");
        ADD_FAILURE() << "ran";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "Окно настройки ESC-кодов не открылось: Нет дисплея: переменные DISPLAY и "
                                   "WAYLAND_DISPLAY не заданы");
    }
}

} // namespace
} // namespace veltrano::kkt
