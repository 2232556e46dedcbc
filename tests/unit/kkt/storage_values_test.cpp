#include "kkt/storage/fiscal_storage.h"
#include "storage_fixture.h"

#include <pugixml.hpp>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace veltrano::kkt {
namespace {

using testing::DataFNTest;

std::string TypeInFile(const fs::path& file, const char* field) {
    pugi::xml_document doc;
    EXPECT_TRUE(doc.load_file(file.c_str()));
    return doc.child("DataFN").child(field).attribute("TypeValue").value();
}

std::string MessageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    return "no failure";
}

struct StoredCase {
    const char* field;
    const char* stored; // Value as written in the file
    const char* read;   // what GetValue returns
};

class DataFNStoredValue : public DataFNTest, public ::testing::WithParamInterface<StoredCase> {};

TEST_P(DataFNStoredValue, ReadsNumbersWithAPoint) {
    FiscalStorage storage{fs::path()};
    const std::string original = "<" + std::string(GetParam().field) + " Value=\"";
    const std::string text = ReadBytes(DefaultFile());
    const auto at = text.find(original);
    ASSERT_NE(at, std::string::npos);
    const auto end = text.find('"', at + original.size());
    WriteBytes(DefaultFile(), text.substr(0, at + original.size()) + GetParam().stored + text.substr(end));

    (void)storage.Load();
    EXPECT_EQ(storage.GetValue(GetParam().field), GetParam().read);
}

// Only Number fields change, and only their first comma; other values come as stored, letter case included.
INSTANTIATE_TEST_SUITE_P(Table, DataFNStoredValue,
                         ::testing::Values(StoredCase{"M241", "1234,56", "1234.56"},
                                           StoredCase{"M241", "1234.56", "1234.56"},
                                           StoredCase{"O10", "1,2,3", "1.2,3"},
                                           StoredCase{"TaxVariant", "0,1,2", "0,1,2"},
                                           StoredCase{"RegDocumentNumber", "7,5", "7,5"},
                                           StoredCase{"OfflineMode", "True", "True"},
                                           StoredCase{"DataEncryption", "FALSE", "FALSE"},
                                           StoredCase{"VATIN", "  123  ", "  123  "}));

TEST_F(DataFNTest, HandEditBetweenOperationsIsTaken) {
    FiscalStorage storage{fs::path()};
    EditFile(DefaultFile(), "<M241 Value=\"0\"", "<M241 Value=\"500.25\"");
    EXPECT_EQ(storage.GetValue("M241"), "0");
    (void)storage.Load();
    EXPECT_EQ(storage.GetValue("M241"), "500.25");
}

struct WriteCase {
    const char* field;
    std::function<void(FiscalStorage&)> write;
    const char* read;
};

TEST_F(DataFNTest, TypedValuesHaveTheirStoredForms) {
    const std::vector<WriteCase> cases = {
        {"DayCounter", [](FiscalStorage& s) { s.SetValue("DayCounter", 7); }, "7"},
        {"DayStart", [](FiscalStorage& s) { s.SetValue("DayStart", std::int64_t{-2203891200}); },
         "-2203891200"},
        {"M241", [](FiscalStorage& s) { s.SetValue("M241", Money::FromUnits(125000)); }, "12.5"},
        {"M242", [](FiscalStorage& s) { s.SetValue("M242", Money::FromUnits(-1)); }, "-0.0001"},
        {"M243", [](FiscalStorage& s) { s.SetValue("M243", Money::FromWhole(3)); }, "3"},
        {"OfflineMode", [](FiscalStorage& s) { s.SetValue("OfflineMode", true); }, "true"},
        {"ServiceSign", [](FiscalStorage& s) { s.SetValue("ServiceSign", false); }, "false"},
        {"OrganizationName",
         [](FiscalStorage& s) { s.SetValue("OrganizationName", "ООО \"Ромашка\" & <Ко>\r\n"); },
         "ООО \"Ромашка\" & <Ко>\r\n"},
        {"AutomaticNumber", [](FiscalStorage& s) { s.SetValue("AutomaticNumber", std::string_view("A-1")); },
         "A-1"},
    };
    {
        FiscalStorage storage{fs::path()};
        for (const WriteCase& c : cases) {
            c.write(storage);
            EXPECT_EQ(storage.GetValue(c.field), c.read) << c.field;
        }
        storage.Save();
    }
    FiscalStorage reloaded{fs::path()};
    for (const WriteCase& c : cases)
        EXPECT_EQ(reloaded.GetValue(c.field), c.read) << c.field << " after a save and a new load";
}

TEST_F(DataFNTest, ValueTrimsTheStoredText) {
    FiscalStorage storage{fs::path()};
    storage.SetValue("KKTNumber", "  0000000001  ");
    EXPECT_EQ(storage.Value("KKTNumber"), "0000000001");
    EXPECT_EQ(storage.GetValue("KKTNumber"), "  0000000001  ");
}

TEST_F(DataFNTest, WritingNeverChangesTheType) {
    FiscalStorage storage{fs::path()};
    storage.SetValue("RegDocumentNumber", 15);
    storage.SetValue("FFD", "1.1");
    storage.SetValue("OfflineMode", 1);
    storage.SetValue("VATIN", Money::FromWhole(5));
    storage.Save();
    EXPECT_EQ(storage.GetValue("RegDocumentNumber"), "15");
    EXPECT_EQ(TypeInFile(DefaultFile(), "RegDocumentNumber"), "String");
    EXPECT_EQ(TypeInFile(DefaultFile(), "FFD"), "Number");
    EXPECT_EQ(TypeInFile(DefaultFile(), "OfflineMode"), "Boolean");
    EXPECT_EQ(TypeInFile(DefaultFile(), "VATIN"), "String");
}

TEST_F(DataFNTest, NamesCompareWithLetterCase) {
    FiscalStorage storage{fs::path()};
    for (const char* name : {"kktnumber", "KKTNUMBER", "m241", "o0", "DataFN", "", "M301", "M 1"}) {
        EXPECT_EQ(MessageOf([&] { storage.GetValue(name); }),
                  "Не найдено поле " + std::string(name) + " в ФН");
        EXPECT_EQ(MessageOf([&] { storage.SetValue(name, 1); }),
                  "Не найдено поле " + std::string(name) + " в ФН");
    }
}

TEST_F(DataFNTest, WritingAFieldTheFileLacksChangesNothing) {
    FiscalStorage storage{fs::path()};
    EditFile(DefaultFile(), "\r\n  <M300 Value=\"0\" TypeValue=\"Number\" />", "");
    (void)storage.Load();
    const std::string before = ReadBytes(DefaultFile());

    EXPECT_EQ(MessageOf([&] { storage.SetValue("M300", Money::FromWhole(1)); }), "Не найдено поле M300 в ФН");
    storage.Save();
    EXPECT_TRUE(ReadBytes(DefaultFile()) == before) << "the saved file changed";
}

TEST_F(DataFNTest, AValueAttributeMissingByHandIsWrittenBeforeTheType) {
    FiscalStorage storage{fs::path()};
    EditFile(DefaultFile(), "<DayState Value=\"0\" ", "<DayState ");
    (void)storage.Load();
    EXPECT_EQ(storage.GetValue("DayState"), "");
    storage.SetValue("DayState", 1);
    storage.Save();
    EXPECT_NE(ReadBytes(DefaultFile()).find("<DayState Value=\"1\" TypeValue=\"Number\" />"),
              std::string::npos);
}

// What closing a shift zeroes, and nothing else.
std::vector<std::string> ShiftFields() {
    std::vector<std::string> names = {
        "FiscalDocCounter", "ReceiptNumber", "M254", "M255", "O202", "O203", "O153", "O154"};
    for (int i = 92; i <= 115; ++i)
        names.push_back("M" + std::to_string(i));
    for (int i = 241; i <= 243; ++i)
        names.push_back("M" + std::to_string(i));
    for (int i = 193; i <= 212; ++i)
        names.push_back("M" + std::to_string(i));
    for (int i = 144; i <= 147; ++i)
        names.push_back("O" + std::to_string(i));
    return names;
}

TEST_F(DataFNTest, ClearingShiftCountersZeroesExactlyTheShiftFields) {
    FiscalStorage storage{fs::path()};
    const std::vector<std::string> shift = ShiftFields();
    const std::vector<std::string> kept = {"DayCounter",
                                           "TotalFiscalDocCounter",
                                           "TotalReceiptCounter",
                                           "TotalDocCounter",
                                           "DayState",
                                           "DayStart",
                                           "M72",
                                           "M91",
                                           "M116",
                                           "M192",
                                           "M213",
                                           "M240",
                                           "M244",
                                           "M253",
                                           "M256",
                                           "O143",
                                           "O148",
                                           "O152",
                                           "O155",
                                           "O200",
                                           "O201",
                                           "O204"};
    for (const auto& name : shift)
        storage.SetValue(name, 5);
    for (const auto& name : kept)
        storage.SetValue(name, 5);
    const std::string fileBefore = ReadBytes(DefaultFile());

    storage.ClearFNCounters();
    for (const auto& name : shift)
        EXPECT_EQ(storage.GetValue(name), "0") << name;
    for (const auto& name : kept)
        EXPECT_EQ(storage.GetValue(name), "5") << name;
    EXPECT_TRUE(ReadBytes(DefaultFile()) == fileBefore) << "clearing does not save";
}

TEST_F(DataFNTest, ClearingShiftCountersOfAFileLackingOneChangesNothing) {
    FiscalStorage storage{fs::path()};
    EditFile(DefaultFile(), "\r\n  <O154 Value=\"0\" TypeValue=\"Number\" />", "");
    (void)storage.Load();
    storage.SetValue("FiscalDocCounter", 9);
    EXPECT_EQ(MessageOf([&] { storage.ClearFNCounters(); }), "Не найдено поле O154 в ФН");
    EXPECT_EQ(storage.GetValue("FiscalDocCounter"), "9");
}

} // namespace
} // namespace veltrano::kkt
