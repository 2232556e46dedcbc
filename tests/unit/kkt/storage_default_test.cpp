#include "kkt/storage/fiscal_storage.h"
#include "storage_fixture.h"

#include <pugixml.hpp>

#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace veltrano::kkt {
namespace {

using testing::DataFNTest;

struct Expected {
    const char* name;
    const char* type;
    const char* value;
};

// A new storage, field by field, in file order.
const Expected NamedFields[] = {
    {"KKTNumber", "String", "1234567890123456"},
    {"KKTSerialNumber", "String", "12345678"},
    {"FNSerialNumber", "String", "9999000000000000"},
    {"OrganizationName", "String", "Центр тестирования учебного ККТ"},
    {"VATIN", "String", "9988776655"},
    {"AddressSettle", "String", "Адрес"},
    {"PlaceSettle", "String", "Место"},
    {"TaxVariant", "String", "0,1,2,3,4,5"},
    {"OFDOrganizationName", "String", ""},
    {"OFDVATIN", "String", ""},
    {"SenderEmail", "String", ""},
    {"FNSWebSite", "String", ""},
    {"OfflineMode", "Boolean", "false"},
    {"DataEncryption", "Boolean", "false"},
    {"ServiceSign", "Boolean", "false"},
    {"SaleExcisableGoods", "Boolean", "false"},
    {"SignOfGambling", "Boolean", "false"},
    {"SignOfLottery", "Boolean", "false"},
    {"SignOfAgent", "String", ""},
    {"BSOSing", "Boolean", "false"},
    {"CalcOnlineSign", "Boolean", "false"},
    {"PrinterAutomatic", "Boolean", "false"},
    {"AutomaticMode", "Boolean", "false"},
    {"AutomaticNumber", "String", ""},
    {"FFD", "Number", "2"},
    {"CashierName", "String", "Иванов И.И."},
    {"RegDocumentNumber", "String", "0"},
    {"RegDateTime", "Number", "0"},
    {"DayStart", "Number", "0"},
    {"DayCounter", "Number", "0"},
    {"FiscalDocCounter", "Number", "0"},
    {"TotalFiscalDocCounter", "Number", "0"},
    {"ReceiptNumber", "Number", "0"},
    {"TotalReceiptCounter", "Number", "0"},
    {"TotalDocCounter", "Number", "0"},
    {"DayState", "Number", "0"},
    {"FNLifeState", "Number", "0"},
};

std::vector<pugi::xml_node> FieldsOf(const pugi::xml_document& doc) {
    std::vector<pugi::xml_node> fields;
    for (pugi::xml_node node : doc.child("DataFN").children())
        fields.push_back(node);
    return fields;
}

TEST_F(DataFNTest, NewMachineGetsTheDefaultFileUnderTheCommonDataFolder) {
    FiscalStorage storage{fs::path()};
    EXPECT_EQ(storage.FileName(), DefaultFile());
    ASSERT_TRUE(fs::is_regular_file(DefaultFile()));

    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_file(DefaultFile().c_str()));
    const std::vector<pugi::xml_node> fields = FieldsOf(doc);
    const std::size_t named = std::size(NamedFields);
    ASSERT_EQ(fields.size(), named + 2 * 301);

    for (std::size_t i = 0; i < fields.size(); ++i) {
        std::string name;
        std::string type = "Number";
        std::string value = "0";
        if (i < named) {
            name = NamedFields[i].name;
            type = NamedFields[i].type;
            value = NamedFields[i].value;
        } else {
            const std::size_t index = i - named;
            name = (index < 301 ? "M" : "O") + std::to_string(index % 301);
        }
        const pugi::xml_node field = fields[i];
        SCOPED_TRACE(name);
        EXPECT_EQ(field.type(), pugi::node_element);
        EXPECT_EQ(std::string(field.name()), name);
        EXPECT_FALSE(field.first_child());
        // Exactly two attributes, Value first.
        const pugi::xml_attribute first = field.first_attribute();
        ASSERT_TRUE(first);
        EXPECT_EQ(std::string(first.name()), "Value");
        EXPECT_EQ(std::string(first.value()), value);
        ASSERT_TRUE(first.next_attribute());
        EXPECT_EQ(std::string(first.next_attribute().name()), "TypeValue");
        EXPECT_EQ(std::string(first.next_attribute().value()), type);
        EXPECT_FALSE(first.next_attribute().next_attribute());
    }
}

TEST_F(DataFNTest, FileIsUtf8WithPlainDeclarationAndCrLfLines) {
    FiscalStorage storage{fs::path()};
    const std::string text = ReadBytes(DefaultFile());
    EXPECT_EQ(text.rfind("<?xml version=\"1.0\"?>\r\n<DataFN>\r\n", 0), 0u) << text.substr(0, 60);
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1))
        ASSERT_EQ(text[at - 1], '\r') << "bare line feed at " << at;
    EXPECT_NE(text.find("<KKTNumber Value=\"1234567890123456\" TypeValue=\"String\" />\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("Центр тестирования учебного ККТ"), std::string::npos);
}

TEST_F(DataFNTest, ExplicitPathIsUsedAsGivenWithItsFoldersCreated) {
    const fs::path file = root_ / "x" / "y" / "z" / "Storage.xml";
    FiscalStorage storage(file);
    EXPECT_EQ(storage.FileName(), file);
    EXPECT_TRUE(fs::is_regular_file(file));
    EXPECT_FALSE(fs::exists(DefaultFile()));
    EXPECT_EQ(storage.GetValue("KKTSerialNumber"), "12345678");
}

TEST_F(DataFNTest, ExistingFileIsLoadedNotReplaced) {
    {
        FiscalStorage first{fs::path()};
        first.SetValue("DayCounter", 41);
        first.Save();
    }
    const std::string before = ReadBytes(DefaultFile());
    FiscalStorage second{fs::path()};
    EXPECT_EQ(second.GetValue("DayCounter"), "41");
    EXPECT_TRUE(ReadBytes(DefaultFile()) == before) << "a readable storage is not rewritten at the start";
}

} // namespace
} // namespace veltrano::kkt
