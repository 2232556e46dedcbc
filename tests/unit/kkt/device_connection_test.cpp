// CashRegisterDriver's device instances: what a connection derives from the settings, which failures leave no
// instance, selection and disconnection, the external identifier, and the equipment test's sample document.
#include "kkt/cash_register_driver.h"
#include "log/log.h"
#include "output/output_device.h"
#include "output/printer_port.h"
#include "storage_fixture.h"

#include <pugixml.hpp>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace veltrano::kkt {
namespace {

using Parameters = std::vector<std::pair<std::string, std::string>>;

pugi::xml_document SettingsDocument(const Parameters& parameters) {
    pugi::xml_document doc;
    pugi::xml_node root = doc.append_child("Parameters");
    for (const auto& [name, value] : parameters) {
        pugi::xml_node parameter = root.append_child("Parameter");
        parameter.append_attribute("Name") = name.c_str();
        parameter.append_attribute("Value") = value.c_str();
    }
    return doc;
}

std::string MessageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& error) {
        return error.what();
    }
    return "no failure";
}

class DeviceConnectionTest : public testing::DataFNTest {
protected:
    void TearDown() override {
        driver_.reset();
        log::SetLogMode(log::ModeOff);
        log::SetLogFolder("");
        DataFNTest::TearDown();
    }

    DeviceInstance& Connect(const Parameters& parameters) {
        driver_->ConnectEquipment(SettingsDocument(parameters));
        return driver_->Instance();
    }

    std::unique_ptr<CashRegisterDriver> driver_ = std::make_unique<CashRegisterDriver>();
};

struct EscCase {
    Parameters settings;
    std::string rus;
    std::string cut;
};

TEST_F(DeviceConnectionTest, EscCodesAreDecodedWithTheListsOverridingTheManualFields) {
    const std::vector<EscCase> cases{
        {{{"ESCRusList", "27+116+6"}, {"ESCRus", "27+82+7"}, {"ESCCutList", "29+86+1"}, {"ESCCut", "27+105"}},
         "\x1bt\x06",
         "\x1dV\x01"},
        {{{"ESCRusList", "-1"}, {"ESCRus", "27+82+7"}, {"ESCCutList", "-1"}, {"ESCCut", "27+105"}},
         "\x1bR\x07",
         "\x1bi"},
        {{{"ESCRusList", "-1"}, {"ESCRus", "27+64"}, {"ESCCutList", "-1"}, {"ESCCut", "27+x+64"}},
         "\x1b@",
         "\x1b@"},
        // A host that passes no list gets no code from it.
        {{{"ESCRus", "27+116+6"}, {"ESCCut", "29+86+1"}}, "", ""},
        {{{"ESCRusList", "nonsense"}, {"ESCCutList", ""}, {"ESCCut", "29+86+1"}}, "", ""},
    };
    for (const EscCase& c : cases) {
        const DeviceInstance& instance = Connect(c.settings);
        EXPECT_EQ(instance.EscCodes().ESCRus, c.rus) << c.settings[0].second;
        EXPECT_EQ(instance.EscCodes().ESCCut, c.cut) << c.settings[0].second;
    }

    const DeviceInstance& fonts = Connect({{"ESCInit", "27+64"},
                                           {"ESCFntBoldOn", "27+71+01"},
                                           {"ESCCustomFontOff", "27+33+00"},
                                           {"ESCBeep", "7"},
                                           {"ESCSpeaker", "27+112+0+25+250"}});
    EXPECT_EQ(fonts.EscCodes().ESCInit, "\x1b@");
    EXPECT_EQ(fonts.EscCodes().ESCFntBoldOn, "\x1bG\x01");
    EXPECT_EQ(fonts.EscCodes().ESCCustomFontOff, std::string("\x1b!\0", 3));
    EXPECT_EQ(fonts.EscCodes().ESCBeep, "\x07");
    EXPECT_EQ(fonts.EscCodes().ESCSpeaker, std::string("\x1bp\0\x19\xfa", 5));
    EXPECT_EQ(fonts.EscCodes().ESCProgon, "");
}

TEST_F(DeviceConnectionTest, TheOutputDeviceGetsTheLayoutSettings) {
    const std::filesystem::path output = root_ / "out.txt";
    const DeviceInstance& instance = Connect({{"LineLength", "10"},
                                              {"CutString", "[отрезка]"},
                                              {"PrintOutFilePath", output.string()},
                                              {"ShowReceiptForm", "1"},
                                              {"RibbonWidth", "58"},
                                              {"EACSize", "7"},
                                              {"EACAlignment", "2"},
                                              {"BarcodeHeight", "80"},
                                              {"BarcodeSize", "4"},
                                              {"QRSize", "9"}});
    EXPECT_EQ(instance.LineLength, 24);
    EXPECT_EQ(instance.CutMarker(), "[ОТРЕЗКА]");
    output::OutputDevice& device = instance.Device();
    EXPECT_EQ(device.LineLen, 24);
    EXPECT_EQ(device.PrintOutFilePath, output.string());
    EXPECT_EQ(device.ShowReceiptForm, 1);
    EXPECT_EQ(device.RibbonWidth, 58);
    EXPECT_EQ(device.EACSize, 7);
    EXPECT_EQ(device.EACAlignment, 2);
    EXPECT_EQ(device.BarcodeHeight, 80);
    EXPECT_EQ(device.BarcodeSize, 4);
    EXPECT_EQ(device.QRSize, 9);
    EXPECT_EQ(instance.Storage().FileName(), DefaultFile());
}

TEST_F(DeviceConnectionTest, ThePrinterConnectionFollowsTheInterfaceTypeAndIsNotOpened) {
    const DeviceInstance& usb = Connect({{"InterfaceType", "0"}, {"USBPort", "\\\\?\\usb#vid_0416"}});
    ASSERT_TRUE(usb.PrinterPort());
    EXPECT_EQ(std::get<output::UsbPortSettings>(usb.PrinterPort()->Settings()).Path, "\\\\?\\usb#vid_0416");

    const DeviceInstance& com = Connect({{"InterfaceType", "1"},
                                         {"COMPort", "3"},
                                         {"BaudRate", "9600"},
                                         {"DataBits", "7"},
                                         {"StopBits", "2"},
                                         {"Parity", "1"}});
    ASSERT_TRUE(com.PrinterPort());
    const auto& serial = std::get<output::ComPortSettings>(com.PrinterPort()->Settings());
    EXPECT_EQ(serial.Port, 3);
    EXPECT_EQ(serial.BaudRate, 9600);
    EXPECT_EQ(serial.DataBits, 7);
    EXPECT_EQ(serial.StopBits, 2);
    EXPECT_EQ(serial.Parity, 1);

    const DeviceInstance& lan =
        Connect({{"InterfaceType", "2"}, {"IPAddress", "192.0.2.7"}, {"IPPort", "9101"}});
    ASSERT_TRUE(lan.PrinterPort());
    const auto& network = std::get<output::LanPortSettings>(lan.PrinterPort()->Settings());
    EXPECT_EQ(network.Address, "192.0.2.7");
    EXPECT_EQ(network.Port, 9101);
    // A host name is refused before any traffic: only dotted addresses are read.
    const DeviceInstance& named = Connect({{"InterfaceType", "2"}, {"IPAddress", "printer.example"}});
    EXPECT_EQ(MessageOf([&] { named.PrinterPort()->Open(); }), "Синтаксическая ошибка в IP-адресе");

    for (const char* none : {"-1", "3", "99"})
        EXPECT_FALSE(Connect({{"InterfaceType", none}}).PrinterPort()) << none;
}

TEST_F(DeviceConnectionTest, AFailedConnectionRegistersNothingAndLeavesNoInstanceCurrent) {
    DeviceInstance& kept = Connect({});
    const std::string keptId = driver_->DeviceId();

    struct Failure {
        std::function<void()> prepare;
        std::string settings;
        std::string message; // a part of it
    };
    const std::vector<Failure> failures{
        {[] {}, "<Settings/>", "В настройках нет элемента Parameters"},
        {[] {}, "<Parameters><Parameter Name=\"QRSize\" Value=\"x\"/></Parameters>",
         "'x' is not a valid integer value"},
        // A storage path that is a folder cannot be read: that failure comes after the settings were applied.
        {[&] {
             std::filesystem::create_directories(root_ / "data" / "Korvena" / "Veltrano" / "K1" /
                                                 "DataFN.xml");
             driver_->SetExternalDeviceId("K1");
         },
         "<Parameters/>", "DataFN.xml"},
    };
    for (const Failure& failure : failures) {
        ASSERT_NE(driver_->Current(), nullptr);
        failure.prepare();
        pugi::xml_document settings;
        ASSERT_TRUE(settings.load_string(failure.settings.c_str()));
        const std::string message = MessageOf([&] { driver_->ConnectEquipment(settings); });
        EXPECT_NE(message.find(failure.message), std::string::npos) << message;
        EXPECT_EQ(driver_->Current(), nullptr) << message;
        EXPECT_EQ(driver_->Instances().size(), 1u) << message;
        EXPECT_EQ(driver_->DeviceId().size(), 36u) << "the new identifier stays";
        EXPECT_NE(driver_->DeviceId(), keptId);
        driver_->SelectInstance(keptId);
    }
    EXPECT_EQ(driver_->PendingExternalDeviceId(), "K1")
        << "a failed connection does not use up the identifier";
    EXPECT_EQ(&driver_->Instance(), &kept);
}

TEST_F(DeviceConnectionTest, SelectionAndDisconnectionMoveTheCurrentInstance) {
    DeviceInstance& first = Connect({});
    const std::string firstId = driver_->DeviceId();
    DeviceInstance& second = Connect({});
    const std::string secondId = driver_->DeviceId();
    EXPECT_EQ(driver_->Current(), &second);

    driver_->SelectInstance(firstId);
    EXPECT_EQ(driver_->Current(), &first);
    EXPECT_EQ(MessageOf([&] { driver_->SelectInstance("   "); }), "Не передан идентификатор устройства");
    EXPECT_EQ(driver_->Current(), &first) << "a blank identifier changes nothing";
    EXPECT_EQ(MessageOf([&] { driver_->SelectInstance(" " + firstId); }),
              "Экземпляр устройства c идентификатором  " + firstId + " не существует или уже был отключен");
    EXPECT_EQ(driver_->Current(), nullptr);
    EXPECT_EQ(MessageOf([&] { driver_->Instance(); }), "Устройство не включено");

    driver_->SelectInstance(secondId);
    driver_->DisconnectEquipment("not connected");
    EXPECT_EQ(driver_->Current(), nullptr);
    EXPECT_EQ(driver_->DeviceId(), "");
    EXPECT_EQ(driver_->Instances().size(), 2u);
    driver_->DisconnectEquipment(secondId);
    EXPECT_EQ(driver_->Instances().count(secondId), 0u);
    EXPECT_EQ(driver_->Instances().count(firstId), 1u);
}

TEST_F(DeviceConnectionTest, TheExternalIdentifierGoesToTheNextConnectionAndItsFolders) {
    DeviceInstance& before = Connect({});
    driver_->SetExternalDeviceId(" KASSA-07 ");
    EXPECT_EQ(before.ExternalDeviceId(), "KASSA-07");
    EXPECT_EQ(driver_->PendingExternalDeviceId(), "KASSA-07");

    const DeviceInstance& own = Connect({});
    const std::filesystem::path folder = root_ / "data" / "Korvena" / "Veltrano" / "KASSA-07";
    EXPECT_EQ(own.ExternalDeviceId(), "KASSA-07");
    EXPECT_EQ(own.Storage().FileName(), folder / "DataFN.xml");
    EXPECT_TRUE(std::filesystem::exists(folder / "DataFN.xml"));
    EXPECT_EQ(log::GetLogPath(false), (folder / "logs").string() + "/");
    EXPECT_EQ(driver_->PendingExternalDeviceId(), "");

    EXPECT_EQ(Connect({}).Storage().FileName(), DefaultFile());
}

TEST(ExternalDeviceIdTest, OnlyASingleFolderNameIsAccepted) {
    for (const auto& [given, kept] :
         std::vector<std::pair<std::string, std::string>>{{"KASSA-07", "KASSA-07"},
                                                          {"  Касса 1 ", "Касса 1"},
                                                          {"", ""},
                                                          {" \t ", ""},
                                                          {"...", "..."},
                                                          {".hidden", ".hidden"},
                                                          {"a..b", "a..b"}})
        EXPECT_EQ(CheckedExternalDeviceId(given), kept) << given;
    for (const std::string& unsafe :
         {std::string("."), std::string(".."), std::string(" .. "), std::string("a/b"), std::string("/etc"),
          std::string("a\\b"), std::string("a\0b", 3)})
        EXPECT_NE(MessageOf([&] { CheckedExternalDeviceId(unsafe); }).find("не может быть именем папки"),
                  std::string::npos)
            << unsafe;
}

TEST_F(DeviceConnectionTest, TheEquipmentTestSampleIsLaidOutInOrder) {
    DeviceInstance& instance = Connect({{"LineLength", "42"},
                                        {"GTFontName2", "Times New Roman"},
                                        {"GTFontSize2", "15"},
                                        {"GTIsBold2", "true"},
                                        {"GTIsItalic2", "true"},
                                        {"GTFontName5", "Courier New"},
                                        {"GTFontSize5", "20"}});
    LayOutEquipmentTestDocument(instance);
    const output::ReceiptEntries& buffer = instance.Device().ReceiptStrList();
    ASSERT_EQ(buffer.size(), 19u);

    const std::vector<std::string> texts{"Driver KKT-online training 1C:Compatible  ",
                                         "Драйвер ККТ-онлайн учебный 1С:Совместимо  ",
                                         "[b]Bold font type[/b]",
                                         "[i]Italics font type[/i]",
                                         "[u]Underline font type[/u]",
                                         "[invert]Inversion font type[/invert]",
                                         "[font1]Font1 sample[/font1]",
                                         "[font2]Font2 sample[/font2]",
                                         "[font3]Font3 sample[/font3]",
                                         "[customfont]Custom font sample[/customfont]"};
    for (std::size_t i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(buffer[i].Text, texts[i]);
        EXPECT_EQ(buffer[i].NumType(), output::KindTextLine);
    }
    for (int n = 1; n <= 5; ++n) {
        const output::ReceiptEntry& entry = buffer[9 + n];
        EXPECT_EQ(entry.Text, "Graphic text" + std::to_string(n));
        ASSERT_EQ(entry.NumType(), output::KindGraphicText);
        EXPECT_EQ(entry.Object->FontName, instance.GT[n - 1].FontName);
        EXPECT_EQ(entry.Object->FontSize, instance.GT[n - 1].FontSize);
    }
    EXPECT_EQ(buffer[11].Object->FontStyle, "bold italic ");
    EXPECT_EQ(buffer[14].Object->FontStyle, "");

    EXPECT_EQ(buffer[15].Text, "46120441");
    EXPECT_EQ(buffer[15].NumType(), output::KindEAN8);
    EXPECT_EQ(buffer[16].Text, "2900001462105");
    EXPECT_EQ(buffer[16].NumType(), output::KindEAN13);
    EXPECT_EQ(buffer[17].Text, "2PMP-468-PJM");
    EXPECT_EQ(buffer[17].NumType(), output::KindCode39);
    EXPECT_EQ(buffer[18].NumType(), output::KindQRCode);
    EXPECT_FALSE(buffer[18].Text.empty());
}

TEST_F(DeviceConnectionTest, TheEquipmentTestLeavesNoInstanceAndNoCurrentOne) {
    Connect({});
    std::string description;
    std::string second;
    driver_->EquipmentTest(SettingsDocument({{"InterfaceType", "-1"}}), description, second);
    EXPECT_EQ(description, "Driver KKT-online training 1C:Compatible 3.X NativeAPI");
    EXPECT_EQ(driver_->Instances().size(), 1u);
    EXPECT_EQ(driver_->Current(), nullptr);
    EXPECT_EQ(driver_->DeviceId(), "");

    // USB with no printer path: the sample cannot go out.
    EXPECT_EQ(MessageOf([&] { driver_->EquipmentTest(SettingsDocument({}), description, second); }),
              "Порт недоступен");
    EXPECT_EQ(driver_->Instances().size(), 1u);
    EXPECT_EQ(driver_->DeviceId(), "");
}

} // namespace
} // namespace veltrano::kkt
