#include "common/xml.h"
#include "resources/resources.h"

#include <pugixml.hpp>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace veltrano::driver {
namespace {

// Every parameter of the schema in order: name, page, group (empty directly on a page), caption, type,
// default.
struct SchemaRow {
    const char* name;
    const char* page;
    const char* group;
    const char* caption;
    const char* type;
    const char* defaultValue;
};

const SchemaRow kSchema[] = {
    {"InterfaceType", "Параметры подключения", "Способ подключения", "Способ подключения", "Number", "-1"},
    {"USBPort", "Параметры подключения", "USB", "USB-порт", "String", ""},
    {"COMPort", "Параметры подключения", "COM", "COM-порт", "Number", "1"},
    {"BaudRate", "Параметры подключения", "COM", "Скорость передачи", "Number", "115200"},
    {"DataBits", "Параметры подключения", "COM", "Биты данных", "Number", "8"},
    {"StopBits", "Параметры подключения", "COM", "Стоп биты", "Number", "0"},
    {"Parity", "Параметры подключения", "COM", "Четность", "Number", "0"},
    {"IPAddress", "Параметры подключения", "LAN", "IP-адрес", "String", ""},
    {"IPPort", "Параметры подключения", "LAN", "IP-порт", "Number", "9100"},
    {"PrintOutFilePath", "Параметры подключения", "Вывод в файл", "Файл вывода данных", "String", ""},
    {"PrinterCodePage", "Настройки принтера", "Параметры печати", "Кодовая страница печати", "Number", "866"},
    {"BarcodeHeight", "Настройки принтера", "Параметры печати", "Высота штрихкода", "Number", "60"},
    {"BarcodeSize", "Настройки принтера", "Параметры печати", "Размер штрихкода", "Number", "3"},
    {"QRSize", "Настройки принтера", "Параметры печати", "Размер блока QR-кода", "Number", "6"},
    {"EACSize", "Настройки принтера", "Параметры печати", "Размер логотипа EAC", "Number", "2"},
    {"EACAlignment", "Настройки принтера", "Параметры печати", "Выравнивание логотипа EAC", "Number", "1"},
    {"EnablePrinting", "Настройки принтера", "Параметры печати", "Печать чеков", "Number", "0"},
    {"EnableReportPrinting", "Настройки принтера", "Параметры печати", "Печать отчетов", "Number", "0"},
    {"ReceiptTextAvailable", "Настройки принтера", "Параметры печати", "Поддержка печати текста", "Boolean",
     "true"},
    {"ESCInit", "Настройки принтера", "ESC-коды", "Инициализация", "String", "27+64"},
    {"ESCRusList", "Настройки принтера", "ESC-коды", "Предустановки локализации", "String", "-1"},
    {"ESCRus", "Настройки принтера", "ESC-коды", "Локализация", "String", "27+116+6"},
    {"ESCCutList", "Настройки принтера", "ESC-коды", "Предустановки отрезки", "String", "-1"},
    {"ESCCut", "Настройки принтера", "ESC-коды", "Отрезка", "String", "29+86+1"},
    {"ESCBeep", "Настройки принтера", "ESC-коды", "Динамик", "String", ""},
    {"ESCSpeaker", "Настройки принтера", "ESC-коды", "Звонок/Ящик", "String", ""},
    {"ESCFntBoldOn", "Настройки принтера", "ESC-коды", "Жирный шрифт вкл.", "String", "27+71+01"},
    {"ESCFntBoldOff", "Настройки принтера", "ESC-коды", "Жирный шрифт выкл.", "String", "27+69+0"},
    {"ESCFntItalicOn", "Настройки принтера", "ESC-коды", "Курсив вкл.", "String", "27+52+00"},
    {"ESCFntItalicOff", "Настройки принтера", "ESC-коды", "Курсив выкл.", "String", "27+52+0"},
    {"ESCFntUnderlineOn", "Настройки принтера", "ESC-коды", "Подчеркивание вкл.", "String", "27+45+2"},
    {"ESCFntUnderlineOff", "Настройки принтера", "ESC-коды", "Подчеркивание выкл.", "String", "27+45+0"},
    {"ESCFntInvertOn", "Настройки принтера", "ESC-коды", "Инверсия вкл.", "String", "29+66+01"},
    {"ESCFntInvertOff", "Настройки принтера", "ESC-коды", "Инверсия выкл.", "String", "29+66+00"},
    {"ESCFont1On", "Настройки принтера", "ESC-коды", "Шрифт1 вкл.", "String", "27+33+10"},
    {"ESCFont1Off", "Настройки принтера", "ESC-коды", "Шрифт1 выкл.", "String", "27+33+00"},
    {"ESCFont2On", "Настройки принтера", "ESC-коды", "Шрифт2 вкл.", "String", "27+33+20"},
    {"ESCFont2Off", "Настройки принтера", "ESC-коды", "Шрифт2 выкл.", "String", "27+33+00"},
    {"ESCFont3On", "Настройки принтера", "ESC-коды", "Шрифт3 вкл.", "String", "27+33+30"},
    {"ESCFont3Off", "Настройки принтера", "ESC-коды", "Шрифт3 выкл.", "String", "27+33+00"},
    {"ESCCustomFontOn", "Настройки принтера", "ESC-коды", "Произвольное форматирование вкл.", "String",
     "27+33+40"},
    {"ESCCustomFontOff", "Настройки принтера", "ESC-коды", "Произвольное форматирование выкл.", "String",
     "27+33+00"},
    {"VersionFFD", "Основные параметры", "Основные", "Версия ФФД", "Number", "2"},
    {"ShowReceiptForm", "Основные параметры", "Основные", "Отображение окна", "Number", "2"},
    {"ChequeHeader", "Основные параметры", "Основные", "Заголовок чека", "String", "Учебный ККТ"},
    {"LineLength", "Основные параметры", "Основные", "Длина строки", "Number", "42"},
    {"FeedLineCount", "Основные параметры", "Основные", "Строк промотки", "Number", "1"},
    {"RibbonWidth", "Основные параметры", "Основные", "Ширина рулона в мм", "Number", "78"},
    {"CutString", "Основные параметры", "Основные", "Маркер отреза бумаги", "String", "[cut]"},
    {"PrintFiscalSigns", "Основные параметры", "Основные", "Печатать фискальные признаки", "Boolean", "true"},
    {"BarcodeAsPicture", "Основные параметры", "Основные", "Печатать штрихкод картинкой", "Boolean", "false"},
    {"LogEnabled", "Основные параметры", "Основные", "Вести лог", "Boolean", "false"},
    {"GTFontName1", "Графический текст", "Графический текст 1", "Название шрифта 1", "String", "Arial"},
    {"GTFontSize1", "Графический текст", "Графический текст 1", "Размер шрифта 1", "Number", "10"},
    {"GTIsBold1", "Графический текст", "Графический текст 1", "Текст жирный 1", "Boolean", "false"},
    {"GTIsItalic1", "Графический текст", "Графический текст 1", "Текст курсив 1", "Boolean", "false"},
    {"GTIsStrikeout1", "Графический текст", "Графический текст 1", "Текст перечеркнутый 1", "Boolean",
     "false"},
    {"GTIsUnderline1", "Графический текст", "Графический текст 1", "Текст подчеркнутый 1", "Boolean",
     "false"},
    {"GTFontName2", "Графический текст", "Графический текст 2", "Название шрифта 2", "String",
     "Times New Roman"},
    {"GTFontSize2", "Графический текст", "Графический текст 2", "Размер шрифта 2", "Number", "15"},
    {"GTIsBold2", "Графический текст", "Графический текст 2", "Текст жирный 2", "Boolean", "true"},
    {"GTIsItalic2", "Графический текст", "Графический текст 2", "Текст курсив 2", "Boolean", "true"},
    {"GTIsStrikeout2", "Графический текст", "Графический текст 2", "Текст перечеркнутый 2", "Boolean",
     "false"},
    {"GTIsUnderline2", "Графический текст", "Графический текст 2", "Текст подчеркнутый 2", "Boolean",
     "false"},
    {"GTFontName3", "Графический текст", "Графический текст 3", "Название шрифта 3", "String", "Tahoma"},
    {"GTFontSize3", "Графический текст", "Графический текст 3", "Размер шрифта 3", "Number", "8"},
    {"GTIsBold3", "Графический текст", "Графический текст 3", "Текст жирный 3", "Boolean", "false"},
    {"GTIsItalic3", "Графический текст", "Графический текст 3", "Текст курсив 3", "Boolean", "false"},
    {"GTIsStrikeout3", "Графический текст", "Графический текст 3", "Текст перечеркнутый 3", "Boolean",
     "false"},
    {"GTIsUnderline3", "Графический текст", "Графический текст 3", "Текст подчеркнутый 3", "Boolean", "true"},
    {"GTFontName4", "Графический текст", "Графический текст 4", "Название шрифта 4", "String", "Verdana"},
    {"GTFontSize4", "Графический текст", "Графический текст 4", "Размер шрифта 4", "Number", "13"},
    {"GTIsBold4", "Графический текст", "Графический текст 4", "Текст жирный 4", "Boolean", "true"},
    {"GTIsItalic4", "Графический текст", "Графический текст 4", "Текст курсив 4", "Boolean", "false"},
    {"GTIsStrikeout4", "Графический текст", "Графический текст 4", "Текст перечеркнутый 4", "Boolean",
     "true"},
    {"GTIsUnderline4", "Графический текст", "Графический текст 4", "Текст подчеркнутый 4", "Boolean",
     "false"},
    {"GTFontName5", "Графический текст", "Графический текст 5", "Название шрифта 5", "String", "Courier New"},
    {"GTFontSize5", "Графический текст", "Графический текст 5", "Размер шрифта 5", "Number", "20"},
    {"GTIsBold5", "Графический текст", "Графический текст 5", "Текст жирный 5", "Boolean", "false"},
    {"GTIsItalic5", "Графический текст", "Графический текст 5", "Текст курсив 5", "Boolean", "false"},
    {"GTIsStrikeout5", "Графический текст", "Графический текст 5", "Текст перечеркнутый 5", "Boolean",
     "false"},
    {"GTIsUnderline5", "Графический текст", "Графический текст 5", "Текст подчеркнутый 5", "Boolean",
     "false"},
    {"Pay1", "Типы оплат", "Типы оплат", "ОПЛАТА 1", "String", "НАЛИЧНЫМИ"},
    {"Pay2", "Типы оплат", "Типы оплат", "ОПЛАТА 2", "String", "БЕЗНАЛИЧНЫМИ"},
    {"Pay3", "Типы оплат", "Типы оплат", "ОПЛАТА 3", "String", "АВАНС"},
    {"Pay4", "Типы оплат", "Типы оплат", "ОПЛАТА 4", "String", "КРЕДИТ"},
    {"Pay5", "Типы оплат", "Типы оплат", "ОПЛАТА 5", "String", "ИНАЯ ФОРМА ОПЛАТЫ"},
    {"Pay6", "Типы оплат", "Типы оплат", "ОПЛАТА 6", "String", "РАСШИРЕННАЯ ОПЛАТА 1"},
    {"Pay7", "Типы оплат", "Типы оплат", "ОПЛАТА 7", "String", "РАСШИРЕННАЯ ОПЛАТА 2"},
    {"Pay8", "Типы оплат", "Типы оплат", "ОПЛАТА 8", "String", "РАСШИРЕННАЯ ОПЛАТА 3"},
    {"SingleCommand", "Служебные", "", "Однократное выполнение", "Boolean", "false"},
};

struct FoundParameter {
    std::string page;
    std::string group;
    pugi::xml_node node;
};

class SettingsSchemaTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto schema = resources::Find("Parameters");
        ASSERT_TRUE(schema.has_value());
        ASSERT_NO_THROW(xml::Parse(doc_, *schema));
        ASSERT_STREQ(doc_.document_element().name(), "Settings");
        for (pugi::xml_node page : doc_.document_element().children("Page")) {
            for (pugi::xml_node child : page.children()) {
                if (std::string(child.name()) == "Group")
                    for (pugi::xml_node parameter : child.children("Parameter"))
                        parameters_.push_back({page.attribute("Caption").value(),
                                               child.attribute("Caption").value(), parameter});
                else if (std::string(child.name()) == "Parameter")
                    parameters_.push_back({page.attribute("Caption").value(), "", child});
            }
        }
    }

    pugi::xml_node Parameter(const std::string& name) const {
        for (const FoundParameter& found : parameters_)
            if (name == found.node.attribute("Name").value())
                return found.node;
        return {};
    }

    // The choice list as "value=text" pairs.
    std::vector<std::string> Choices(const std::string& name) const {
        std::vector<std::string> items;
        for (pugi::xml_node item : Parameter(name).child("ChoiceList").children("Item"))
            items.push_back(std::string(item.attribute("Value").value()) + "=" + item.text().get());
        return items;
    }

    pugi::xml_document doc_;
    std::vector<FoundParameter> parameters_;
};

TEST_F(SettingsSchemaTest, HoldsEveryParameterInOrderOnItsPageAndGroup) {
    ASSERT_EQ(parameters_.size(), std::size(kSchema));
    for (std::size_t i = 0; i < parameters_.size(); ++i) {
        const SchemaRow& row = kSchema[i];
        const FoundParameter& found = parameters_[i];
        SCOPED_TRACE(row.name);
        EXPECT_STREQ(found.node.attribute("Name").value(), row.name);
        EXPECT_EQ(found.page, row.page);
        EXPECT_EQ(found.group, row.group);
        EXPECT_STREQ(found.node.attribute("Caption").value(), row.caption);
        EXPECT_STREQ(found.node.attribute("TypeValue").value(), row.type);
        ASSERT_TRUE(found.node.attribute("DefaultValue"))
            << "every parameter carries a default, empty or not";
        EXPECT_STREQ(found.node.attribute("DefaultValue").value(), row.defaultValue);
    }
}

TEST_F(SettingsSchemaTest, PagesComeInTheirOrder) {
    std::vector<std::string> pages;
    for (pugi::xml_node page : doc_.document_element().children())
        pages.push_back(page.attribute("Caption").value());
    EXPECT_EQ(pages,
              (std::vector<std::string>{"Параметры подключения", "Настройки принтера", "Основные параметры",
                                        "Графический текст", "Типы оплат", "Служебные"}));
}

TEST_F(SettingsSchemaTest, OnlyTheListedParametersAreReadOnlyOrDescribed) {
    for (const FoundParameter& found : parameters_) {
        const std::string name = found.node.attribute("Name").value();
        const bool readOnly = name == "ReceiptTextAvailable" || name == "SingleCommand";
        EXPECT_EQ(std::string(found.node.attribute("ReadOnly").value()), readOnly ? "true" : "") << name;
    }
    EXPECT_STREQ(Parameter("EnablePrinting").attribute("Description").value(), "Печать чеков");
    EXPECT_STREQ(Parameter("EnableReportPrinting").attribute("Description").value(), "Печать отчетов");
    EXPECT_STREQ(Parameter("ReceiptTextAvailable").attribute("Description").value(),
                 "Поддержка печати произвольного текста в чеке");
    EXPECT_STREQ(
        Parameter("ShowReceiptForm").attribute("Description").value(),
        "1 - Не показывать; 2 - Показывать всегда; 3 - Скрывать через 15 секунд; 4 - Скрывать через 30 "
        "секунд; 5 - Скрывать через 60 секунд");
    EXPECT_FALSE(Parameter("LineLength").attribute("Description"));
}

TEST_F(SettingsSchemaTest, ChoiceListsOfferTheirValues) {
    using Items = std::vector<std::string>;
    EXPECT_EQ(Choices("InterfaceType"), (Items{"-1=Виртуальное устройство", "0=USB", "1=COM", "2=LAN"}));
    EXPECT_EQ(Choices("StopBits"), (Items{"0=1", "1=1.5", "2=2"}));
    EXPECT_EQ(Choices("Parity"), (Items{"0=Нет", "1=Нечетный", "2=Четный"}));
    EXPECT_EQ(Choices("DataBits"), (Items{"7=7", "8=8"}));
    EXPECT_EQ(Choices("BaudRate"), (Items{"1200=1200", "2400=2400", "4800=4800", "9600=9600", "19200=19200",
                                          "38400=38400", "57600=57600", "115200=115200"}));
    EXPECT_EQ(Choices("PrinterCodePage"),
              (Items{"866=CP866", "1251=CP1251", "1254=CP1254", "28599=ISO-8859-9"}));
    EXPECT_EQ(Choices("EACAlignment"), (Items{"0=По левому краю", "1=По центру", "2=По правому краю"}));
    EXPECT_EQ(Choices("EnablePrinting"),
              (Items{"0=Печатать чеки", "1=По выбору пользователя", "2=Не печатать чеки"}));
    EXPECT_EQ(Choices("EnableReportPrinting"), (Items{"0=Печатать отчеты", "2=Не печатать отчеты"}));
    EXPECT_EQ(
        Choices("ESCRusList"),
        (Items{"-1=Ручной ввод", "27+82+7=27+82+7", "27+116+6=27+116+6", "27+116+7=27+116+7",
               "27+116+17=27+116+17", "27+116+17+27+82+0=27+116+17+27+82+0", "27+29+116+10=27+29+116+10"}));
    EXPECT_EQ(Choices("ESCCutList"),
              (Items{"-1=Ручной ввод", "29+86+48=29+86+48", "27+105+29+101+3+2=27+105+29+101+3+2",
                     "29+86+66+0=29+86+66+0", "29+86+1=29+86+1", "27+105=27+105"}));
    EXPECT_EQ(Choices("VersionFFD"), (Items{"2=1.0.5"}));
    EXPECT_EQ(Choices("ShowReceiptForm"),
              (Items{"1=Не показывать", "2=Показывать всегда", "3=Скрывать через 15 секунд",
                     "4=Скрывать через 30 секунд", "5=Скрывать через 60 секунд"}));
    const Items fonts{"Arial=Arial",
                      "Arial Narrow=Arial Narrow",
                      "Century=Century",
                      "Courier New=Courier New",
                      "MS Sans Serif=MS Sans Serif",
                      "Tahoma=Tahoma",
                      "Terminal=Terminal",
                      "Times New Roman=Times New Roman",
                      "Verdana=Verdana"};
    for (const char* name : {"GTFontName1", "GTFontName2", "GTFontName3", "GTFontName4", "GTFontName5"})
        EXPECT_EQ(Choices(name), fonts) << name;
}

TEST_F(SettingsSchemaTest, NumberRangesAreListedInFull) {
    struct Range {
        const char* name;
        int first;
        int last;
        const char* prefix;
    };
    for (const Range range : {Range{"COMPort", 1, 128, "COM"}, Range{"BarcodeSize", 1, 6, ""},
                              Range{"QRSize", 1, 12, ""}, Range{"EACSize", 1, 20, ""}}) {
        std::vector<std::string> expected;
        for (int value = range.first; value <= range.last; ++value)
            expected.push_back(std::to_string(value) + "=" + range.prefix + std::to_string(value));
        EXPECT_EQ(Choices(range.name), expected) << range.name;
    }
}

TEST_F(SettingsSchemaTest, UsbPortHasNoChoicesOfItsOwn) {
    EXPECT_FALSE(Parameter("USBPort").child("ChoiceList"));
    for (const FoundParameter& found : parameters_) {
        const std::string name = found.node.attribute("Name").value();
        if (pugi::xml_node list = found.node.child("ChoiceList")) {
            EXPECT_TRUE(list.first_child()) << name << " has an empty choice list";
        }
    }
}

} // namespace
} // namespace veltrano::driver
