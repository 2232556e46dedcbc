// The device instance's settings: one writable entry per parameter of the settings schema, applied by name.
#include "addin/class_registry.h"
#include "kkt/device_instance.h"
#include "resources/resources.h"

#include <pugixml.hpp>

#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace veltrano::kkt {
namespace {

std::vector<std::string> SettingNames() {
    std::vector<std::string> names;
    for (const addin::PropertyDecl& setting : DeviceInstance::Settings())
        names.emplace_back(setting.name);
    return names;
}

const addin::PropertyDecl& SettingNamed(std::string_view name) {
    for (const addin::PropertyDecl& setting : DeviceInstance::Settings())
        if (setting.name == name)
            return setting;
    throw std::logic_error("no setting " + std::string(name));
}

void Apply(DeviceInstance& instance, std::string_view name, std::string_view value) {
    addin::ApplySetting(DeviceInstance::Settings(), name, value, &instance, {});
}

TEST(DeviceSettingsTest, EverySchemaParameterIsAWritableSettingInDeclarationOrder) {
    const auto schema = resources::Find("Parameters");
    ASSERT_TRUE(schema);
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_buffer(schema->data(), schema->size()));
    std::vector<std::string> schemaNames;
    for (const pugi::xpath_node found : doc.select_nodes("//Parameter"))
        schemaNames.emplace_back(found.node().attribute("Name").value());

    const std::vector<std::string> names = SettingNames();
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()),
              std::set<std::string>(schemaNames.begin(), schemaNames.end()));
    for (const addin::PropertyDecl& setting : DeviceInstance::Settings()) {
        EXPECT_FALSE(setting.readOnly) << setting.name;
        EXPECT_NE(setting.set, nullptr) << setting.name;
    }
    // Declaration order: the connection settings, ESC codes, payment names, layout, graphic text, the rest.
    ASSERT_EQ(names.size(), 91u);
    EXPECT_EQ(names.front(), "InterfaceType");
    EXPECT_EQ(names[13], "ESCInit");
    EXPECT_EQ(names[36], "Pay1");
    EXPECT_EQ(names[44], "LineLength");
    EXPECT_EQ(names[58], "GTFontName1");
    EXPECT_EQ(names[87], "GTIsUnderline5");
    EXPECT_EQ(std::vector<std::string>(names.end() - 3, names.end()),
              (std::vector<std::string>{"SingleCommand", "ReceiptTextAvailable", "LogEnabled"}));
}

struct KindCase {
    const char* name;
    addin::PropKind kind;
};

TEST(DeviceSettingsTest, KindsFollowTheSettingsTypes) {
    for (const KindCase& c :
         {KindCase{"InterfaceType", addin::PropKind::Integer}, KindCase{"USBPort", addin::PropKind::Text},
          KindCase{"ESCCutList", addin::PropKind::Text}, KindCase{"Pay8", addin::PropKind::Text},
          KindCase{"EnablePrinting", addin::PropKind::Integer},
          KindCase{"PrintFiscalSigns", addin::PropKind::Boolean},
          KindCase{"GTFontSize3", addin::PropKind::Integer},
          KindCase{"GTIsStrikeout4", addin::PropKind::Boolean},
          KindCase{"LogEnabled", addin::PropKind::Boolean}})
        EXPECT_EQ(SettingNamed(c.name).kind, c.kind) << c.name;
}

TEST(DeviceSettingsTest, ApplyingByNameInAnyCaseReachesTheField) {
    DeviceInstance instance;
    Apply(instance, "interfacetype", "-1");
    Apply(instance, "PAY3", "АВАНС");
    Apply(instance, "GTFontName4", "Verdana");
    Apply(instance, "gtfontsize4", "13");
    Apply(instance, "GTIsUnderline5", "TRUE");
    Apply(instance, "EnableReportPrinting", "2");
    Apply(instance, "IPAddress", "192.0.2.7");
    EXPECT_EQ(instance.InterfaceType, -1);
    EXPECT_EQ(instance.Pay[2], "АВАНС");
    EXPECT_EQ(instance.GT[3].FontName, "Verdana");
    EXPECT_EQ(instance.GT[3].FontSize, 13);
    EXPECT_TRUE(instance.GT[4].IsUnderline);
    EXPECT_EQ(instance.EnableReportPrinting, 2);
    EXPECT_EQ(instance.IPAddress, "192.0.2.7");

    EXPECT_EQ(std::get<std::int64_t>(SettingNamed("EnableReportPrinting").get(&instance)), 2);
    EXPECT_EQ(std::get<std::string>(SettingNamed("Pay3").get(&instance)), "АВАНС");
    EXPECT_TRUE(std::get<bool>(SettingNamed("GTIsUnderline5").get(&instance)));
}

TEST(DeviceSettingsTest, APrintSwitchThatIsNoByteIsRefusedAndKeepsItsValue) {
    DeviceInstance instance;
    for (const char* value : {"256", "-1", "258"}) {
        try {
            Apply(instance, "EnablePrinting", value);
            ADD_FAILURE() << value;
        } catch (const std::runtime_error& error) {
            EXPECT_EQ(error.what(),
                      "Значение переключателя печати " + std::string(value) + " вне диапазона 0..255");
        }
        EXPECT_EQ(instance.EnablePrinting, 0) << value;
    }
}

TEST(DeviceSettingsTest, AnInstanceWithoutOutputDeviceSaysItIsNotSwitchedOn) {
    const DeviceInstance instance;
    try {
        instance.Device();
        ADD_FAILURE() << "a device";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "Устройство не включено");
    }
}

struct StyleCase {
    DeviceInstance::GraphicTextFont font;
    const char* words;
};

TEST(DeviceSettingsTest, GraphicTextStylesTakeTheirWordsFromTheSwitchesInFixedOrder) {
    const std::vector<StyleCase> cases{
        {{"Arial", 10, false, false, false, false}, ""},
        {{"Times New Roman", 15, true, true, false, false}, "bold italic "},
        {{"Tahoma", 8, false, false, false, true}, "underline"},
        {{"Verdana", 13, true, false, true, false}, "bold strikeout "},
        {{"Courier New", 20, true, true, true, true}, "bold italic strikeout underline"},
    };
    DeviceInstance instance;
    for (std::size_t n = 0; n < cases.size(); ++n)
        instance.GT[n] = cases[n].font;
    for (int n = 1; n <= 5; ++n) {
        const DeviceInstance::TextStyle style = instance.GraphicTextStyle(n);
        EXPECT_EQ(style.FontName, cases[n - 1].font.FontName);
        EXPECT_EQ(style.FontSize, cases[n - 1].font.FontSize);
        EXPECT_EQ(style.FontStyle, cases[n - 1].words) << n;
    }
    EXPECT_THROW(instance.GraphicTextStyle(0), std::runtime_error);
    EXPECT_THROW(instance.GraphicTextStyle(6), std::runtime_error);
}

} // namespace
} // namespace veltrano::kkt
