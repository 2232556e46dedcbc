#include "common/moment.h"
#include "kkt/operations/registration.h"
#include "kkt/operations/registration_codes.h"
#include "registration_fixture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace veltrano::kkt::testing::documents {
namespace {

class KktData : public DocumentsTest {
protected:
    std::string Table() {
        pugi::xml_document output = EmptyOutput();
        GetDataKKT(Instance(), output);
        return Compact(output);
    }
    std::string Attribute(const char* name) {
        pugi::xml_document output = EmptyOutput();
        GetDataKKT(Instance(), output);
        return output.child("Parameters").attribute(name).as_string();
    }
};

TEST_F(KktData, ANewStorageReportsTheDefaultsAsNotFiscalAndChangesNothing) {
    const std::string storage = StorageBytes();
    EXPECT_EQ(
        Table(),
        "<Parameters FFDVersionFN=\"1.0.5\" FFDVersionKKT=\"1.0.5\" Fiscal=\"false\" "
        "KKTNumber=\"1234567890123456\" KKTSerialNumber=\"12345678\" FNSerialNumber=\"9999000000000000\" "
        "DocumentNumber=\"0\" DateTime=\"01.01.1970\" CompanyName=\"Центр тестирования учебного ККТ\" "
        "INN=\"9988776655\" SaleAddress=\"Адрес\" SaleLocation=\"Место\" TaxationSystems=\"0,1,2,3,4,5\" "
        "IsEncrypted=\"false\" IsOffline=\"false\" IsAutomatic=\"false\" IsService=\"false\" "
        "IsOnlineOnly=\"false\" BSOSing=\"false\" AgentTypes=\"\" IsLottery=\"false\" IsGambling=\"false\" "
        "IsExcisable=\"false\" AutomaticNumber=\"\" IsAutomaticPrinter=\"false\" OFDCompany=\"\" "
        "OFDCompanyINN=\"\" FNSURL=\"\" SenderEmail=\"\"/>");
    EXPECT_EQ(StorageBytes(), storage);
    EXPECT_EQ(OutputBytes(), "");
    EXPECT_TRUE(Shown().empty());
    EXPECT_EQ(printed, 0);
}

TEST_F(KktData, TheStorageIsFiscalOnceRegisteredAndStillWhenClosed) {
    for (const auto& [state, fiscal] : std::vector<std::pair<std::string, std::string>>{
             {"0", "false"}, {"1", "true"}, {"2", "true"}, {"-1", "false"}}) {
        EditStorage({{"FNLifeState", state}});
        EXPECT_EQ(Attribute("Fiscal"), fiscal) << state;
    }
}

TEST_F(KktData, TheRegistrationMomentShowsItsTimeUnlessItIsMidnight) {
    const moment::Moment midnight = moment::ToMoment({2024, 5, 1, 0, 0, 0, 0});
    const std::vector<std::pair<moment::Moment, std::string>> cases{
        {0, "01.01.1970"},
        {midnight, "01.05.2024"},
        {midnight + 1, "01.05.2024 00:00:01"},
        {TestMoment(), "01.05.2024 13:45:07"},
        {midnight - 1, "30.04.2024 23:59:59"},
    };
    for (const auto& [registered, shown] : cases) {
        EditStorage({{"RegDateTime", std::to_string(registered)}});
        EXPECT_EQ(Attribute("DateTime"), shown) << registered;
    }
}

TEST_F(KktData, StoredValuesComeTrimmedAndFlagsAsTheFileWritesThem) {
    EditStorage({{"KKTNumber", "0000000001          "}, {"VATIN", " 7701234567  "}, {"OfflineMode", "True"}});
    EXPECT_EQ(Attribute("KKTNumber"), "0000000001");
    EXPECT_EQ(Attribute("INN"), "7701234567");
    EXPECT_EQ(Attribute("IsOffline"), "True");
}

TEST_F(KktData, AStorageThatCannotBeReportedFailsWithoutAnAnswer) {
    const std::vector<std::tuple<const char*, Fields, std::string>> cases{
        {"unknown format version", {{"FFD", "4"}}, "Ошибка входных параметров команды"},
        {"format version not a number",
         {{"FFD", "two"}},
         "Значение поля FFD в ФН не является числом: \"two\""},
        {"registration moment beyond the calendar",
         {{"RegDateTime", "9223372036854775807"}},
         "Значение поля RegDateTime в ФН вне допустимого диапазона"},
        {"registration moment after the year 9999",
         {{"RegDateTime", "253402300800"}},
         "Значение поля RegDateTime в ФН вне допустимого диапазона"},
        {"registration moment before the year 1",
         {{"RegDateTime", "-62135596801"}},
         "Значение поля RegDateTime в ФН вне допустимого диапазона"},
    };
    for (const auto& [name, fields, message] : cases) {
        SCOPED_TRACE(name);
        EditStorage(fields);
        pugi::xml_document output = EmptyOutput();
        ExpectRefused([&] { GetDataKKT(Instance(), output); }, message);
        EXPECT_EQ(Compact(output), "");
        EditStorage({{"FFD", "2"}, {"RegDateTime", "0"}});
    }
}

TEST(FFDVersionName, NamesTheThreeVersionsAndRefusesAnyOther) {
    EXPECT_EQ(FFDVersionName(1), "1.0");
    EXPECT_EQ(FFDVersionName(2), "1.0.5");
    EXPECT_EQ(FFDVersionName(3), "1.1");
    for (std::int64_t number : {std::int64_t{0}, std::int64_t{4}, std::int64_t{-1}, INT64_MAX})
        EXPECT_THROW(FFDVersionName(number), std::runtime_error) << number;
}

TEST(ReadCodeList, DropsEverySpaceAndReadsEachPieceAsAnInteger) {
    const std::vector<std::pair<std::string, std::vector<std::int32_t>>> read{
        {"", {}},           {"   ", {}},        {" 0, 2", {0, 2}},
        {"1 2,3", {12, 3}}, {"+4,-1", {4, -1}}, {"0,1,2,3,4,5", {0, 1, 2, 3, 4, 5}},
    };
    for (const auto& [codes, expected] : read)
        EXPECT_EQ(ReadCodeList(codes), expected) << codes;
    for (const char* bad : {",", "1,", ",1", "0,,2", "a", "1.0", "+-1", "2147483648", "\t1"})
        EXPECT_THROW(ReadCodeList(bad), std::invalid_argument) << bad;
}

class CodeLines : public DocumentsTest {
protected:
    Lines Printed() {
        Lines lines;
        for (const output::ReceiptEntry& entry : Device().ReceiptStrList())
            lines.push_back(entry.Text);
        return lines;
    }
};

TEST_F(CodeLines, TaxationSystemsPrintTheKnownCodesInListOrder) {
    const std::vector<std::pair<std::string, Lines>> cases{
        {"", {}},
        {" 0, 2", {Line("СНО", "ОСН"), Line("СНО", "УСН доход - расход")}},
        {"5,1,3,4",
         {Line("СНО", "Патент"), Line("СНО", "УСН доход"), Line("СНО", "ЕНВД"), Line("СНО", "ЕСН")}},
        {"6,-1,1", {Line("СНО", "УСН доход")}},
    };
    for (const auto& [codes, expected] : cases) {
        Device().ClearBuffer();
        PrintTaxationSystems(Device(), codes);
        EXPECT_EQ(Printed(), expected) << codes;
    }
}

TEST_F(CodeLines, AgentTypesPrintTheKnownCodesAndRefuseAPieceThatIsNoInteger) {
    const std::vector<std::pair<std::string, Lines>> cases{
        {"", {}},
        {"0,1,2,3,4,5,6",
         {Line("БАНК.ПЛ.АГЕНТ"), Line("БАНК.ПЛ.СУБАГЕНТ"), Line("ПЛ.АГЕНТ"), Line("ПЛ.СУБАГЕНТ"),
          Line("АГЕНТ"), Line("КОМИССИОНЕР"), Line("ПОВЕРЕННЫЙ")}},
        {"7, 6", {Line("ПОВЕРЕННЫЙ")}},
    };
    for (const auto& [codes, expected] : cases) {
        Device().ClearBuffer();
        PrintAgentTypes(Device(), codes);
        EXPECT_EQ(Printed(), expected) << codes;
    }
    for (const char* bad : {"2,a", "x", ",", "1,,2"}) {
        try {
            PrintAgentTypes(Device(), bad);
            ADD_FAILURE() << bad;
        } catch (const std::runtime_error& error) {
            EXPECT_STREQ(error.what(), "Ошибка передачи типа данных агента") << bad;
        }
    }
}

} // namespace
} // namespace veltrano::kkt::testing::documents
