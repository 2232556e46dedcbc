// The common methods of the equipment-driver standard, called by name through the platform's interfaces.
#include "host_driver_fixture.h"

#include <pugixml.hpp>

#include <string>
#include <utility>
#include <vector>

namespace veltrano::hosttest {
namespace {

pugi::xml_document ParseOut(const std::string& text) {
    pugi::xml_document doc;
    EXPECT_TRUE(doc.load_string(text.c_str())) << text;
    return doc;
}

TEST_F(DriverHostTest, InterfaceRevisionIs4004InBothNamesWithoutTouchingTheLastError) {
    ASSERT_FALSE(driver_->Call("ВыполнитьДополнительноеДействие", {Value::Text("nothing")}).result.boolean);
    for (const char* name : {"ПолучитьРевизиюИнтерфейса", "GetInterfaceRevision"}) {
        const CallResult call = driver_->Call(name);
        EXPECT_TRUE(call.returned) << name;
        ASSERT_EQ(call.result.vt, napi::VTYPE_I4) << name;
        EXPECT_EQ(call.result.integer, 4004) << name;
        EXPECT_TRUE(call.hostErrors.empty()) << name;
    }
    EXPECT_EQ(driver_->LastError().code, 1001);
}

TEST_F(DriverHostTest, TheFrameworksRevisionEntryFailsAsAHostError) {
    const CallResult call = driver_->CallIndex(24, {});
    EXPECT_FALSE(call.returned);
    ASSERT_EQ(call.hostErrors.size(), 1u);
    EXPECT_EQ(call.hostErrors[0].code, 1006);
    EXPECT_EQ(call.hostErrors[0].source, "Внешняя компонента");
    EXPECT_EQ(call.hostErrors[0].description, "Abstract Error");
}

TEST_F(DriverHostTest, LastErrorStartsClearRecordsAFailureAndClearsOnSuccess) {
    testhost::LastErrorInfo error = driver_->LastError();
    EXPECT_EQ(error.code, 0);
    EXPECT_EQ(error.description, "");

    const CallResult failed = driver_->Call("ВыполнитьДополнительноеДействие", {Value::Text("NoSuchAction")});
    EXPECT_TRUE(failed.returned) << "a failed guarded method still answers the host";
    EXPECT_TRUE(failed.result.IsBool());
    EXPECT_FALSE(failed.result.boolean);
    for (int read = 0; read < 2; ++read) {
        error = driver_->LastError();
        EXPECT_EQ(error.code, 1001);
        EXPECT_EQ(error.description, "Action not found");
    }

    EXPECT_TRUE(driver_->Call("УстановитьИнформациюПриложения", {Value::Text("<Info/>")}).Succeeded());
    error = driver_->LastError();
    EXPECT_EQ(error.code, 0);
    EXPECT_EQ(error.description, "");
}

TEST_F(DriverHostTest, DescriptionNamesTheTrainingCashRegister) {
    const CallResult call = driver_->Call("ПолучитьОписание", {Value::Empty()});
    ASSERT_TRUE(call.Succeeded());
    const std::string& text = call.Out(0);
    EXPECT_TRUE(text.starts_with("<?xml version=\"1.0\"?>\r\n")) << text;
    const pugi::xml_document doc = ParseOut(text);
    std::vector<std::string> names;
    for (pugi::xml_attribute attribute : doc.child("DriverDescription").attributes())
        names.emplace_back(attribute.name());
    EXPECT_EQ(names,
              (std::vector<std::string>{"Name", "Description", "EquipmentType", "IntegrationComponent",
                                        "MainDriverInstalled", "DriverVersion", "IntegrationComponentVersion",
                                        "DownloadURL", "LogIsEnabled", "LogPath"}));
    const pugi::xml_node description = doc.child("DriverDescription");
    EXPECT_STREQ(description.attribute("Name").value(), "Драйвер ККТ-online Учебный");
    EXPECT_STREQ(description.attribute("Description").value(),
                 "Драйвер ККТ-online Учебный 1С:Совместимо для 1С:БПО 4.X NativeAPI");
    EXPECT_STREQ(description.attribute("EquipmentType").value(), "ККТ");
    EXPECT_STREQ(description.attribute("IntegrationComponent").value(), "false");
    EXPECT_STREQ(description.attribute("MainDriverInstalled").value(), "false");
    EXPECT_STRNE(description.attribute("DriverVersion").value(), "");
    EXPECT_STREQ(description.attribute("DriverVersion").value(),
                 description.attribute("IntegrationComponentVersion").value());
    EXPECT_STREQ(description.attribute("LogPath").value(), (LogFolder().string() + "/").c_str());
}

TEST_F(DriverHostTest, ParametersCarryTheWholeSchemaWithTheUsbChoiceList) {
    const CallResult call = driver_->Call("ПараметрыОборудования", {Value::Empty(), Value::Empty()});
    ASSERT_TRUE(call.Succeeded());
    EXPECT_EQ(call.Out(0), "") << "the first parameter is not touched";
    const pugi::xml_document doc = ParseOut(call.Out(1));
    EXPECT_EQ(doc.select_nodes("/Settings/Page").size(), 6u);
    const pugi::xml_node usbPort = doc.select_node("//Parameter[@Name='USBPort']").node();
    ASSERT_TRUE(usbPort);
    EXPECT_TRUE(usbPort.child("ChoiceList"));
    EXPECT_STREQ(
        doc.select_node("//Parameter[@Name='ChequeHeader']").node().attribute("DefaultValue").value(),
        "Учебный ККТ");
    EXPECT_EQ(call.Out(1).find('\n'), call.Out(1).find("\r\n") + 1) << "lines end with CR LF";
    EXPECT_EQ(call.Out(1).rfind("<?xml version=\"1.0\"?>\r\n", 0), 0u) << "no encoding declaration";
}

TEST_F(DriverHostTest, AdditionalActionsAreListedInOrderAndRunByExactName) {
    const CallResult call = driver_->Call("ПолучитьДополнительныеДействия", {Value::Empty()});
    ASSERT_TRUE(call.Succeeded());
    const pugi::xml_document doc = ParseOut(call.Out(0));
    std::vector<std::pair<std::string, std::string>> actions;
    for (pugi::xml_node action : doc.child("Actions").children("Action"))
        actions.emplace_back(action.attribute("Name").value(), action.attribute("Caption").value());
    EXPECT_EQ(actions,
              (std::vector<std::pair<std::string, std::string>>{{"ClearFN", "Очистить ФН"},
                                                                {"ESCSettings", "Настройка ESC-кодов"},
                                                                {"ViewLog", "Просмотр лога"},
                                                                {"ShowHelp", "Справка"}}));

    for (const char* name : {"viewlog", "Справка", "CLEARFN"}) {
        EXPECT_FALSE(driver_->Call("ВыполнитьДополнительноеДействие", {Value::Text(name)}).result.boolean)
            << name;
        EXPECT_EQ(driver_->LastError().description, "Action not found") << name;
    }
}

TEST_F(DriverHostTest, AutoSetupGivesBackTheSettingsItGot) {
    const std::string settings = "<Parameters><Parameter Name=\"COMPort\" Value=\"3\"/></Parameters>";
    const CallResult call =
        driver_->Call("АвтонастройкаОборудования", {Value::Empty(), Value::Text(settings), Value::Empty(),
                                                    Value::Empty(), Value::Empty()});
    EXPECT_TRUE(call.Succeeded());
    EXPECT_EQ(call.Out(2), settings);
}

TEST_F(DriverHostTest, LocalisationMethodsSucceed) {
    const CallResult pattern = driver_->Call("ПолучитьШаблонЛокализации", {Value::Empty()});
    EXPECT_TRUE(pattern.Succeeded());
    EXPECT_EQ(pattern.Out(0), "<?xml version=\"1.0\"?>\r\n");
    EXPECT_TRUE(
        driver_->Call("УстановитьЛокализацию", {Value::Text("ru"), Value::Text("<Pattern/>")}).Succeeded());
}

TEST_F(DriverHostTest, ConnectionWithMalformedSettingsFailsWithTheParsersMessage) {
    const std::string malformed = "<Parameters><Parameter Name=\"LogEnabled\" Value=\"true\"></Parameters>";
    pugi::xml_document probe;
    const pugi::xml_parse_result parsed = probe.load_string(malformed.c_str());
    const CallResult call =
        driver_->Call("ПодключитьОборудование", {Value::Empty(), Value::Empty(), Value::Text(malformed)});
    EXPECT_TRUE(call.returned);
    EXPECT_FALSE(call.result.boolean);
    EXPECT_TRUE(call.params[0].IsEmpty());
    const testhost::LastErrorInfo error = driver_->LastError();
    EXPECT_EQ(error.code, 1001);
    EXPECT_NE(error.description.find(parsed.description()), std::string::npos) << error.description;
}

TEST_F(DriverHostTest, ParameterAcceptsTheLogSwitchByEitherNameInAnyCaseOnly) {
    EXPECT_TRUE(
        driver_->Call("УстановитьПараметр", {Value::Text("logenabled"), Value::Bool(true)}).Succeeded());
    EXPECT_TRUE(
        driver_->Call("УстановитьПараметр", {Value::Text("ЛОГВКЛЮЧЕН"), Value::Bool(false)}).Succeeded());

    EXPECT_FALSE(driver_->Call("УстановитьПараметр", {Value::Text("Speed"), Value::Int(1)}).result.boolean);
    EXPECT_EQ(driver_->LastError().description, "Property not found: Speed");
}

TEST_F(DriverHostTest, LogPropertyReadsBackWhatWasWritten) {
    for (const bool on : {true, false, true, false}) {
        ASSERT_TRUE(driver_->SetProp("ЛогВключен", Value::Bool(on)).returned);
        const testhost::PropResult read = driver_->GetProp("LogEnabled");
        EXPECT_TRUE(read.returned);
        EXPECT_TRUE(read.value.IsBool());
        EXPECT_EQ(read.value.boolean, on);
    }
}

} // namespace
} // namespace veltrano::hosttest
