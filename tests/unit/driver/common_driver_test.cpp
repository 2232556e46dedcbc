#include "driver/common_driver.h"

#include "addin/variant.h"
#include "common/text.h"
#include "common/version.h"
#include "driver/guid.h"
#include "driver_test_support.h"
#include "kkt/cash_register_driver.h"
#include "log/log.h"

#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <set>
#include <string>
#include <vector>

namespace veltrano::driver {
namespace {

using testing::CallHostMethod;
using testing::HeapMemory;
using testing::HostParams;

struct MethodRow {
    const char16_t* nameLoc;
    const char16_t* name;
    int paramCount;
};

// The host method table of CashRegisterDriver, index by index.
const MethodRow kMethodTable[] = {
    {u"ПолучитьРевизиюИнтерфейса", u"GetInterfaceRevision", 0},
    {u"SetExternalDeviceId", u"SetExternalDeviceId", 1},
    {u"ПолучитьПараметрыККТ", u"GetDataKKT", 2},
    {u"ОперацияФН", u"OperationFN", 3},
    {u"ОткрытьСмену", u"OpenShift", 3},
    {u"ЗакрытьСмену", u"CloseShift", 3},
    {u"СформироватьЧек", u"ProcessCheck", 4},
    {u"СформироватьЧекКоррекции", u"ProcessCorrectionCheck", 4},
    {u"НапечататьТекстовыйДокумент", u"PrintTextDocument", 2},
    {u"НапечататьЧекВнесенияВыемки", u"CashInOutcome", 3},
    {u"НапечататьОтчетБезГашения", u"PrintXReport", 2},
    {u"ПолучитьТекущееСостояние", u"GetCurrentStatus", 3},
    {u"ОтчетОТекущемСостоянииРасчетов", u"ReportCurrentStatusOfSettlements", 3},
    {u"ОткрытьДенежныйЯщик", u"OpenCashDrawer", 1},
    {u"ПолучитьШиринуСтроки", u"GetLineLength", 2},
    {u"НапечататьКопиюЧека", u"PrintCheckCopy", 2},
    {u"ОткрытьСессиюРегистрацииКМ", u"OpenSessionRegistrationKM", 1},
    {u"ЗакрытьСессиюРегистрацииКМ", u"CloseSessionRegistrationKM", 1},
    {u"ЗапросКМ", u"RequestKM", 3},
    {u"ПолучитьРезультатыЗапросаКМ", u"GetProcessingKMResult", 3},
    {u"ПодтвердитьКМ", u"ConfirmKM", 3},
    {u"УстановитьДатуВремя", u"SetDateTime", 2},
    {u"ПолучитьДатуВремя", u"GetDateTime", 2},
    {u"ПолучитьИнформациюПоДокументу", u"GetDocumentInformation", 3},
    {u"ПолучитьРевизиюИнтерфейса", u"GetInterfaceRevision", 0},
    {u"ПолучитьОписание", u"GetDescription", 1},
    {u"ПолучитьОшибку", u"GetLastError", 1},
    {u"ПодключитьОборудование", u"ConnectEquipment", 3},
    {u"ОтключитьОборудование", u"DisconnectEquipment", 1},
    {u"ПараметрыОборудования", u"EquipmentParameters", 2},
    {u"УстановитьПараметр", u"SetParameter", 2},
    {u"ТестированиеОборудования", u"EquipmentTest", 4},
    {u"ПолучитьДополнительныеДействия", u"GetAdditionalActions", 1},
    {u"ВыполнитьДополнительноеДействие", u"DoAdditionalAction", 1},
    {u"АвтонастройкаОборудования", u"EquipmentAutoSetup", 5},
    {u"УстановитьИнформациюПриложения", u"SetApplicationInformation", 1},
    {u"ПолучитьШаблонЛокализации", u"GetLocalizationPattern", 1},
    {u"УстановитьЛокализацию", u"SetLocalization", 2},
};

std::vector<const addin::ExportMeth*> WalkMethods(const addin::ClassDeclarations& declarations) {
    std::vector<const addin::ExportMeth*> methods;
    addin::ForEachClass(declarations, [&](const addin::ClassDeclarations& level) {
        for (const addin::ExportMeth& method : level.methods)
            methods.push_back(&method);
    });
    return methods;
}

TEST(DeclarationsTest, TheDriversWalkGivesTheHostMethodTableInOrder) {
    const std::vector<const addin::ExportMeth*> methods = WalkMethods(kkt::CashRegisterDriver::Decls);
    ASSERT_EQ(methods.size(), std::size(kMethodTable));
    for (std::size_t i = 0; i < methods.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(methods[i]->nameLoc, kMethodTable[i].nameLoc);
        EXPECT_EQ(methods[i]->name, kMethodTable[i].name);
        EXPECT_EQ(methods[i]->paramCount, kMethodTable[i].paramCount);
        EXPECT_NE(methods[i]->execute, nullptr);
    }
    // The two revision entries are implementations of different levels.
    EXPECT_NE(methods[0]->execute, methods[24]->execute);
}

TEST(DeclarationsTest, LogEnabledIsTheOnlyPropertyAndSwitchesTheLog) {
    std::vector<const addin::PropertyDecl*> properties;
    addin::ForEachClass(kkt::CashRegisterDriver::Decls, [&](const addin::ClassDeclarations& level) {
        for (const addin::PropertyDecl& property : level.properties)
            properties.push_back(&property);
    });
    ASSERT_EQ(properties.size(), 1u);
    const addin::PropertyDecl& logEnabled = *properties[0];
    EXPECT_EQ(logEnabled.name, "LogEnabled");
    EXPECT_EQ(logEnabled.nameLoc, "ЛогВключен");
    EXPECT_EQ(logEnabled.caption, "Вести лог");
    EXPECT_EQ(logEnabled.defValue, "False");
    EXPECT_FALSE(logEnabled.readOnly);
    EXPECT_EQ(logEnabled.kind, addin::PropKind::Boolean);

    logEnabled.set(nullptr, true);
    EXPECT_EQ(log::GetLogMode(), log::ModeAll);
    EXPECT_EQ(logEnabled.get(nullptr), addin::PropValue(true));
    logEnabled.set(nullptr, false);
    EXPECT_EQ(log::GetLogMode(), log::ModeOff);
    EXPECT_EQ(logEnabled.get(nullptr), addin::PropValue(false));
}

TEST(EquipmentTypeTest, EveryKindHasItsNameAndOthersFail) {
    const std::vector<std::string> names{
        "СканерШтрихкода", "СчитывательМагнитныхКарт", "ФискальныйРегистратор",     "ПринтерЧеков",
        "ПринтерЭтикеток", "ДисплейПокупателя",        "ТерминалСбораДанных",       "ЭквайринговыйТерминал",
        "ЭлектронныеВесы", "ВесыСПечатьюЭтикеток",     "СчитывательRFID",           "ККТ",
        "Видеокамера",     "ЭлектронныйЗамок",         "НеизвестныйТипОборудования"};
    for (std::size_t value = 0; value < names.size(); ++value)
        EXPECT_EQ(EquipmentTypeName(static_cast<EquipmentKind>(value)), names[value]) << value;
    EXPECT_EQ(EquipmentTypeName(EquipmentKind::etECR), "ККТ");
    try {
        EquipmentTypeName(static_cast<EquipmentKind>(15));
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "Enum value unacceptable");
    }
}

TEST(GuidTest, IsUpperCaseHexWithoutBracesAndNeverRepeats) {
    std::set<std::string> seen;
    for (int i = 0; i < 64; ++i) {
        const std::string guid = NewGuidText();
        ASSERT_EQ(guid.size(), 36u) << guid;
        for (std::size_t at = 0; at < guid.size(); ++at) {
            if (at == 8 || at == 13 || at == 18 || at == 23)
                EXPECT_EQ(guid[at], '-') << guid;
            else
                EXPECT_TRUE((guid[at] >= '0' && guid[at] <= '9') || (guid[at] >= 'A' && guid[at] <= 'F'))
                    << guid;
        }
        EXPECT_EQ(guid[14], '4') << "random GUIDs are version 4";
        EXPECT_TRUE(seen.insert(guid).second) << guid;
    }
}

TEST(PropertySettingsTest, ADriverWithoutSchemaOffersOnePageOfItsProperties) {
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(BuildPropertySettingsXml(CommonDriver::Decls).c_str()));
    const pugi::xml_node page = doc.child("Settings").child("Page");
    EXPECT_STREQ(page.attribute("Caption").value(), "Параметры");
    const pugi::xml_node parameter = page.child("Parameter");
    EXPECT_STREQ(parameter.attribute("Name").value(), "LogEnabled");
    EXPECT_STREQ(parameter.attribute("Caption").value(), "Вести лог");
    EXPECT_STREQ(parameter.attribute("TypeValue").value(), "Boolean");
    EXPECT_STREQ(parameter.attribute("DefaultValue").value(), "False");
    EXPECT_STREQ(parameter.attribute("ReadOnly").value(), "false");
    EXPECT_FALSE(parameter.next_sibling());
}

// A cash-register driver object as the host gets it, with a memory manager of its own.
class DriverObjectTest : public testing::DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        log::SetLogFolder("");
        log::SetLogFileName("Veltrano");
        driver_.V8MM = &memory_;
    }
    void TearDown() override {
        log::SetLogMode(log::ModeOff);
        DataFolderTest::TearDown();
    }

    // Calls a host method; the result slot's Boolean is returned, the host call itself must succeed.
    bool Call(std::u16string_view name, HostParams& params) {
        V8Variant result{};
        EXPECT_TRUE(CallHostMethod(driver_, name, &result, params));
        EXPECT_EQ(result.vt, napi::VTYPE_BOOL);
        return result.bVal;
    }

    std::pair<std::int32_t, std::string> LastError() {
        HostParams params(memory_);
        params.Empty();
        V8Variant result{};
        EXPECT_TRUE(CallHostMethod(driver_, u"GetLastError", &result, params));
        EXPECT_EQ(result.vt, napi::VTYPE_I4);
        return {result.lVal, params.OutText(0)};
    }

    HeapMemory memory_;
    kkt::CashRegisterDriver driver_;
};

TEST_F(DriverObjectTest, CreationFillsTheDescriptionRecordAsACashRegister) {
    const DriverDescription& info = DriverInfo();
    EXPECT_EQ(info.EquipmentType, EquipmentKind::etECR);
    EXPECT_FALSE(info.IntegrationComponent);
    EXPECT_FALSE(info.MainDriverInstalled);
    EXPECT_EQ(info.DriverVersion, ModuleVersionText());
    EXPECT_EQ(info.IntegrationComponentVersion, info.DriverVersion);
    EXPECT_EQ(info.DownloadURL, kDownloadURL);
}

TEST_F(DriverObjectTest, DescriptionCarriesItsAttributesInOrder) {
    DriverInfo().Name = "Драйвер ККТ-online Учебный";
    DriverInfo().Description = "Драйвер ККТ-online Учебный 1С:Совместимо для 1С:БПО 4.X NativeAPI";
    log::SetLogMode(log::ModeOff);
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(driver_.BuildDescriptionXml().c_str()));
    std::vector<std::pair<std::string, std::string>> attributes;
    for (pugi::xml_attribute attribute : doc.child("DriverDescription").attributes())
        attributes.emplace_back(attribute.name(), attribute.value());
    const std::vector<std::pair<std::string, std::string>> expected{
        {"Name", "Драйвер ККТ-online Учебный"},
        {"Description", "Драйвер ККТ-online Учебный 1С:Совместимо для 1С:БПО 4.X NativeAPI"},
        {"EquipmentType", "ККТ"},
        {"IntegrationComponent", "false"},
        {"MainDriverInstalled", "false"},
        {"DriverVersion", ModuleVersionText()},
        {"IntegrationComponentVersion", ModuleVersionText()},
        {"DownloadURL", std::string(kDownloadURL)},
        {"LogIsEnabled", "false"},
        {"LogPath", DefaultLogFolder().string() + "/"}};
    EXPECT_EQ(attributes, expected);
    EXPECT_TRUE(std::filesystem::is_directory(DefaultLogFolder()));
}

TEST_F(DriverObjectTest, ActionsAreListedOwnClassFirst) {
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(driver_.BuildActionsXml().c_str()));
    std::vector<std::string> actions;
    for (pugi::xml_node action : doc.child("Actions").children())
        actions.push_back(std::string(action.name()) + ":" + action.attribute("Name").value() + ":" +
                          action.attribute("Caption").value());
    EXPECT_EQ(actions, (std::vector<std::string>{"Action:ClearFN:Очистить ФН",
                                                 "Action:ESCSettings:Настройка ESC-кодов",
                                                 "Action:ViewLog:Просмотр лога", "Action:ShowHelp:Справка"}));
}

TEST_F(DriverObjectTest, ActionNamesMatchWithTheirLetterCase) {
    for (const char* name : {"viewlog", "VIEWLOG", "Очистить ФН", "", "ClearFN "}) {
        try {
            driver_.RunAdditionalAction(name);
            ADD_FAILURE() << name;
        } catch (const std::runtime_error& error) {
            EXPECT_STREQ(error.what(), "Action not found") << name;
        }
    }
    try {
        driver_.RunAdditionalAction("ViewLog");
        ADD_FAILURE() << "the log viewer is no window here";
    } catch (const std::runtime_error& error) {
        EXPECT_STRNE(error.what(), "Action not found");
    }
}

TEST_F(DriverObjectTest, LastErrorFollowsTheGuardedMethods) {
    EXPECT_EQ(LastError(), std::make_pair(0, std::string()));

    HostParams bad(memory_);
    bad.Utf8("NoSuchAction");
    EXPECT_FALSE(Call(u"DoAdditionalAction", bad));
    EXPECT_EQ(LastError(), std::make_pair(1001, std::string("Action not found")));
    EXPECT_EQ(LastError(), std::make_pair(1001, std::string("Action not found"))) << "reading does not clear";

    HostParams none(memory_);
    none.Empty();
    EXPECT_TRUE(Call(u"SetApplicationInformation", none));
    EXPECT_EQ(LastError(), std::make_pair(0, std::string()));
}

TEST_F(DriverObjectTest, FailureIsLoggedAsAnException) {
    log::SetLogMode(log::ModeAll);
    HostParams bad(memory_);
    bad.Utf8("Missing");
    EXPECT_FALSE(Call(u"DoAdditionalAction", bad));
    const std::string bytes = testing::ReadBytes(log::GetLogPath(true));
    EXPECT_NE(bytes.find("\tERROR\tException: \tAction not found\r\n"), std::string::npos) << bytes;
}

TEST_F(DriverObjectTest, SetParameterReachesTheLogSwitchInAnyLetterCase) {
    HostParams on(memory_);
    on.Utf8("logenabled").Bool(true);
    EXPECT_TRUE(Call(u"SetParameter", on));
    EXPECT_EQ(log::GetLogMode(), log::ModeAll);

    HostParams off(memory_);
    off.Utf8("ЛОГВКЛЮЧЕН").Bool(false);
    EXPECT_TRUE(Call(u"SetParameter", off));
    EXPECT_EQ(log::GetLogMode(), log::ModeOff);

    HostParams unknown(memory_);
    unknown.Utf8("LineLength").Int(42);
    EXPECT_FALSE(Call(u"SetParameter", unknown));
    EXPECT_EQ(LastError(), std::make_pair(1001, std::string("Property not found: LineLength")));
}

TEST_F(DriverObjectTest, ConnectionGivesANewIdentifierAndDisconnectionForgetsIt) {
    HostParams connect(memory_);
    connect.Empty().Empty().Utf8("<Parameters><Parameter Name=\"LineLength\" Value=\"42\"/></Parameters>");
    EXPECT_TRUE(Call(u"ConnectEquipment", connect));
    const std::string first = connect.OutText(0);
    EXPECT_EQ(first.size(), 36u);
    EXPECT_EQ(driver_.DeviceId(), first);

    HostParams again(memory_);
    again.Empty().Empty().Utf8("<Parameters/>");
    EXPECT_TRUE(Call(u"ConnectEquipment", again));
    EXPECT_NE(again.OutText(0), first);

    HostParams disconnect(memory_);
    disconnect.Utf8(again.OutText(0));
    EXPECT_TRUE(Call(u"DisconnectEquipment", disconnect));
    EXPECT_EQ(driver_.DeviceId(), "");
}

TEST_F(DriverObjectTest, MalformedSettingsFailWithTheParsersMessage) {
    pugi::xml_document probe;
    const pugi::xml_parse_result parsed = probe.load_string("<Parameters><Parameter></Parameters>");
    HostParams connect(memory_);
    connect.Empty().Empty().Utf8("<Parameters><Parameter></Parameters>");
    EXPECT_FALSE(Call(u"ConnectEquipment", connect));
    const auto [code, description] = LastError();
    EXPECT_EQ(code, 1001);
    EXPECT_NE(description.find(parsed.description()), std::string::npos) << description;
    EXPECT_EQ(connect[0].vt, napi::VTYPE_EMPTY) << "no identifier for a failed connection";
}

TEST_F(DriverObjectTest, EquipmentTestGivesTheDriversDescription) {
    HostParams test(memory_);
    test.Empty()
        .Utf8("<Parameters><Parameter Name=\"InterfaceType\" Value=\"-1\"/></Parameters>")
        .Empty()
        .Empty();
    EXPECT_TRUE(Call(u"EquipmentTest", test));
    EXPECT_EQ(test.OutText(2), "Driver KKT-online training 1C:Compatible 3.X NativeAPI");
    EXPECT_EQ(test.OutText(3), "");
    EXPECT_EQ(driver_.DeviceId(), "") << "the test disconnects what it connected";
}

TEST_F(DriverObjectTest, EquipmentTestWithBadSettingsPutsTheMessageIntoTheDescription) {
    HostParams test(memory_);
    test.Empty().Utf8("<Parameters>").Empty().Empty();
    EXPECT_FALSE(Call(u"EquipmentTest", test));
    const auto [code, description] = LastError();
    EXPECT_EQ(code, 1001);
    EXPECT_EQ(test.OutText(2), description);
}

TEST_F(DriverObjectTest, SmallMethodsAnswerAsTheStandardAsks) {
    HostParams autoSetup(memory_);
    autoSetup.Empty()
        .Utf8("<Parameters><Parameter Name=\"COMPort\" Value=\"3\"/></Parameters>")
        .Empty()
        .Empty()
        .Empty();
    EXPECT_TRUE(Call(u"EquipmentAutoSetup", autoSetup));
    EXPECT_EQ(autoSetup.OutText(2), "<Parameters><Parameter Name=\"COMPort\" Value=\"3\"/></Parameters>");

    HostParams pattern(memory_);
    pattern.Empty();
    EXPECT_TRUE(Call(u"GetLocalizationPattern", pattern));
    EXPECT_EQ(pattern.OutText(0), "<?xml version=\"1.0\"?>\r\n");

    HostParams localization(memory_);
    localization.Utf8("ru").Utf8("<Localization/>");
    EXPECT_TRUE(Call(u"SetLocalization", localization));
}

TEST_F(DriverObjectTest, TooFewParametersFailClearlyInsteadOfReadingPastThem) {
    HostParams none(memory_);
    EXPECT_FALSE(Call(u"EquipmentParameters", none));
    const auto [code, description] = LastError();
    EXPECT_EQ(code, 1001);
    EXPECT_NE(description.find("Не передан параметр"), std::string::npos) << description;
}

TEST_F(DriverObjectTest, TheFrameworksRevisionEntryIsAHostError) {
    const std::vector<const addin::ExportMeth*> methods = WalkMethods(kkt::CashRegisterDriver::Decls);
    HostParams none(memory_);
    V8Variant result{};
    try {
        methods[24]->execute(driver_, &result, none.Data(), none.Count());
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "Abstract Error");
    }
    EXPECT_TRUE(methods[0]->execute(driver_, &result, none.Data(), none.Count()));
    EXPECT_EQ(result.vt, napi::VTYPE_I4);
    EXPECT_EQ(result.lVal, 4004);
}

TEST_F(DriverObjectTest, OutputsGoBackToTheHostsMemoryOnly) {
    {
        HostParams description(memory_);
        description.Empty();
        EXPECT_TRUE(Call(u"GetDescription", description));
        EXPECT_GT(memory_.Outstanding(), 0u);
    }
    EXPECT_EQ(memory_.Outstanding(), 0u);
    EXPECT_EQ(memory_.ForeignFrees(), 0u);
}

} // namespace
} // namespace veltrano::driver
