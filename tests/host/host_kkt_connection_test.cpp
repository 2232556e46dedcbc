// Connecting training cash registers through the host: the schema's defaults, odd settings, printer
// connections that cannot print yet, several instances on one storage, and disconnection.
#include "host_kkt_fixture.h"

#include <string>
#include <vector>

namespace veltrano::hosttest {
namespace {

class KktConnectionTest : public KktHostTest {
protected:
    std::int64_t LineLengthOf(const std::string& id) {
        const CallResult width = driver_->Call("ПолучитьШиринуСтроки", {Value::Text(id), Value::Empty()});
        EXPECT_TRUE(width.Succeeded()) << LastMessage();
        EXPECT_EQ(width.params.at(1).vt, napi::VTYPE_I4);
        return width.params.at(1).integer;
    }
};

TEST_F(KktConnectionTest, TheSchemaDefaultsConnectAVirtualDeviceOnANewDefaultStorage) {
    const std::string id = Connect(Settings());
    ASSERT_EQ(id.size(), 36u);
    EXPECT_EQ(id.find_first_of("abcdef{}"), std::string::npos) << id;

    pugi::xml_document storage;
    ASSERT_TRUE(storage.load_file(StorageFile().c_str())) << StorageFile();
    EXPECT_EQ(std::distance(storage.child("DataFN").begin(), storage.child("DataFN").end()), 639);
    EXPECT_EQ(Field("KKTNumber"), "1234567890123456");
    EXPECT_EQ(LineLengthOf(id), 42);

    // The small methods: a beep for the drawer, the computer's clock.
    EXPECT_TRUE(driver_->Call("ОткрытьДенежныйЯщик", {Value::Text(id)}).Succeeded());
    EXPECT_TRUE(driver_->Call("УстановитьДатуВремя", {Value::Text(id), Value::Text("01.01.2030 10:00:00")})
                    .Succeeded());
    const CallResult dateTime = driver_->Call("ПолучитьДатуВремя", {Value::Text(id), Value::Empty()});
    EXPECT_TRUE(dateTime.Succeeded());
    EXPECT_EQ(dateTime.params.at(1).vt, napi::VTYPE_PWSTR);
    EXPECT_EQ(dateTime.Out(1), "");
    EXPECT_FALSE(std::filesystem::exists(OutputFile())) << "connecting prints nothing";
}

struct LineLengthCase {
    Overrides settings;
    std::int64_t lineLength;
};

TEST_F(KktConnectionTest, ALineShorterThan24CharactersBecomes24) {
    const std::vector<LineLengthCase> cases{
        {{{"LineLength", "10"}}, 24},
        {{{"LineLength", "-3"}}, 24},
        {{{"LineLength", "24"}}, 24},
        {{{"LineLength", "1000"}}, 1000},
        // Names are matched without regard to letter case; the later parameter wins.
        {{{"lineLENGTH", "30"}}, 30},
    };
    for (const LineLengthCase& c : cases) {
        const std::string id = Connect(Settings(c.settings));
        ASSERT_FALSE(id.empty());
        EXPECT_EQ(LineLengthOf(id), c.lineLength) << c.settings[0].second;
    }

    const std::string narrow = Connect(Settings({{"LineLength", "10"}}));
    ASSERT_TRUE(OpenShift(narrow).Succeeded()) << LastMessage();
    const std::vector<std::string> lines = NewDocumentLines();
    ASSERT_FALSE(lines.empty());
    for (const std::string& line : lines)
        EXPECT_EQ(CharCount(line), 24u) << "[" << line << "]";
}

TEST_F(KktConnectionTest, EscCodeListsAndUnreadableCodesConnect) {
    for (const Overrides& escCodes : std::vector<Overrides>{
             {{"ESCRusList", "27+116+6"}, {"ESCRus", "27+116+17"}, {"ESCCutList", "29+86+66+0"}},
             {{"ESCRusList", "-1"}, {"ESCCutList", "-1"}, {"ESCCut", "27+x+64"}},
             {{"ESCInit", ""}, {"ESCFntBoldOn", "bold"}, {"ESCCustomFontOff", "++"}}}) {
        const std::string id = Connect(Settings(escCodes));
        EXPECT_EQ(id.size(), 36u) << escCodes[0].first;
        EXPECT_TRUE(OpenShift(id).Succeeded()) << LastMessage();
        EXPECT_TRUE(CloseShift(id).Succeeded()) << LastMessage();
    }
}

TEST_F(KktConnectionTest, NamesThatAreNoSettingAreSkippedAndValuesThatAreNoValueFail) {
    const std::string id = Connect("<Parameters><Parameter Name=\"NoSuchSetting\" Value=\"x\"/>"
                                   "<Other Name=\"LineLength\" Value=\"abc\"/><!-- a comment -->"
                                   "<PARAMETER Name=\"InterfaceType\" Value=\"-1\"/></Parameters>");
    ASSERT_FALSE(id.empty());
    EXPECT_EQ(LineLengthOf(id), 24);

    struct Refused {
        Overrides setting;
        std::string message;
    };
    for (const Refused& c : std::vector<Refused>{
             {{{"LineLength", "abc"}}, "'abc' is not a valid integer value"},
             {{{"PrintFiscalSigns", "1"}}, "'1' is not a valid boolean value"},
             {{{"EnablePrinting", "300"}}, "Значение переключателя печати 300 вне диапазона 0..255"},
             // Each line of each document would be a string of that many characters.
             {{{"LineLength", "1001"}}, "Длина строки 1001 больше 1000 символов"},
             {{{"LineLength", "2147483647"}}, "Длина строки 2147483647 больше 1000 символов"},
         }) {
        const CallResult connect = driver_->Call(
            "ПодключитьОборудование", {Value::Empty(), Value::Empty(), Value::Text(Settings(c.setting))});
        EXPECT_TRUE(connect.returned);
        EXPECT_FALSE(connect.result.boolean);
        EXPECT_TRUE(connect.params.at(0).IsEmpty()) << "a failed connection gives no identifier";
        EXPECT_EQ(driver_->LastError().code, 1001);
        EXPECT_EQ(LastMessage(), c.message);
    }
}

TEST_F(KktConnectionTest, SettingsWithoutParametersConnectNothing) {
    for (const char* settings : {"<Settings/>", "<parameters><Parameter Name=\"LineLength\" Value=\"42\"/>"
                                                "</parameters>"}) {
        const CallResult connect =
            driver_->Call("ПодключитьОборудование", {Value::Empty(), Value::Empty(), Value::Text(settings)});
        EXPECT_FALSE(connect.result.boolean) << settings;
        EXPECT_TRUE(connect.params.at(0).IsEmpty()) << settings;
        EXPECT_EQ(LastMessage(), "В настройках нет элемента Parameters");
    }
    EXPECT_FALSE(std::filesystem::exists(StorageFile())) << "no storage was opened";
}

TEST_F(KktConnectionTest, TwoConnectionsAreTwoInstancesOnOneStorage) {
    const std::string settings = Settings();
    const std::string first = Connect(settings);
    const std::string second = Connect(settings);
    ASSERT_FALSE(first.empty());
    ASSERT_FALSE(second.empty());
    EXPECT_NE(first, second);

    ASSERT_TRUE(OpenShift(first).Succeeded()) << LastMessage();
    // The second instance reloads the file the first one saved.
    EXPECT_FALSE(OpenShift(second).result.boolean);
    EXPECT_EQ(LastMessage(), "Смена открыта");
    ASSERT_TRUE(CashInOut(second, 75).Succeeded()) << LastMessage();
    EXPECT_EQ(Field("M241"), "75");
    EXPECT_EQ(Field("TotalDocCounter"), "2");

    // Disconnecting one leaves the other working.
    EXPECT_TRUE(driver_->Call("ОтключитьОборудование", {Value::Text(second)}).Succeeded());
    EXPECT_FALSE(CashInOut(second, 1).result.boolean);
    EXPECT_EQ(LastMessage(),
              "Экземпляр устройства c идентификатором " + second + " не существует или уже был отключен");
    ASSERT_TRUE(CloseShift(first).Succeeded()) << LastMessage();
    EXPECT_EQ(Field("DayState"), "0");

    // An identifier that is not connected disconnects without complaint.
    EXPECT_TRUE(driver_->Call("ОтключитьОборудование", {Value::Text(second)}).Succeeded());
    EXPECT_TRUE(driver_->Call("ОтключитьОборудование", {Value::Text("")}).Succeeded());
}

TEST_F(KktConnectionTest, DocumentsForAnUnreachablePrinterAreCountedAndShownAndTheFailureIsReported) {
    struct Printer {
        const char* kind;
        Overrides settings;
        std::int32_t code;
        std::string message;
    };
    const std::filesystem::path missing = root_ / "no-such-printer";
    const std::vector<Printer> printers{
        {"USB", {{"InterfaceType", "0"}, {"USBPort", missing.string()}}, 1011, "Порт недоступен"},
        {"LAN",
         {{"InterfaceType", "2"}, {"IPAddress", "printer.example"}},
         1001,
         "Синтаксическая ошибка в IP-адресе"},
    };
    for (const Printer& printer : printers) {
        std::filesystem::remove(StorageFile());
        const std::string id = Connect(Settings(printer.settings));
        ASSERT_FALSE(id.empty()) << printer.kind;

        EXPECT_FALSE(OpenShift(id).result.boolean) << printer.kind;
        EXPECT_EQ(LastMessage(), printer.message);
        EXPECT_EQ(driver_->LastError().code, printer.code) << printer.kind;
        EXPECT_EQ(Field("DayState"), "1") << "the document was counted and saved first";
        const std::vector<std::string> shown = NewDocumentLines();
        ASSERT_FALSE(shown.empty());
        EXPECT_EQ(shown.back(), Rule());
    }

    // With the reports kept off the paper the same device has nothing to send.
    const std::string quiet = Connect(
        Settings({{"InterfaceType", "2"}, {"IPAddress", "printer.example"}, {"EnableReportPrinting", "2"}}));
    EXPECT_TRUE(XReport(quiet).Succeeded()) << LastMessage();
    EXPECT_FALSE(CashInOut(quiet, 5).result.boolean) << "cash documents follow EnablePrinting";
}

} // namespace
} // namespace veltrano::hosttest
