#include "kkt/operations/registration.h"
#include "kkt/operations/shift_operations.h"
#include "kkt/storage/fiscal_storage.h"
#include "registration_fixture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace veltrano::kkt::testing::documents {
namespace {

constexpr std::string_view BadInput = "Ошибка входных параметров команды";

const char* const FullRegistration = R"(<Parameters CashierName="Петров П.П." CashierINN="771234567890"
    KKTNumber="0000000001" CompanyName="ООО Ромашка" INN="7701234567" SaleAddress="Москва, ул. Ленина, 1"
    SaleLocation="Магазин" TaxationSystems=" 0, 2" IsOffline="TRUE" IsEncrypted="true" IsAutomatic="True"
    IsOnlineOnly="1" IsAutomaticPrinter="false" IsService="yes" AgentTypes="2,5,9" AutomaticNumber="A-17"
    BSOSing="True" OFDCompany="ООО Такском" OFDCompanyINN="7704211201" SenderEmail="kkt@example.ru"
    FNSURL="www.nalog.gov.ru" IsExcisable="tRuE" IsGambling="" IsLottery="True"/>)";

// The header of a storage operation made at TestNow.
Lines Header(std::string_view kktNumber, std::string_view inn, std::string_view shift,
             std::string_view cashier, std::string_view number, std::string_view cashierInn = {}) {
    Lines lines{
        Centered("Учебный ККТ"),
        Line("РН ККТ:" + std::string(kktNumber), "01.05.2024 13:45"),
        Line("ЗН ККТ:12345678", shift),
        Line("ИНН:" + std::string(inn), "ФН:9999000000000000"),
        Line("Кассир:" + std::string(cashier), number),
    };
    if (!cashierInn.empty())
        lines.push_back(Line("ИНН кассира:", cashierInn));
    lines.push_back(Line("Сайт ФНС:", "www.nalog.gov.ru"));
    return lines;
}

class Registration : public DocumentsTest {
protected:
    void Operation(std::uint8_t type, std::string_view parameters) {
        OperationFN(Instance(), type, Xml(parameters));
    }
    // The field as the file holds it, padding included.
    std::string RawValue(std::string_view field) const { return FiscalStorage(storageFile).GetValue(field); }
};

TEST_F(Registration, RegistrationStoresTheDataPadsTheNumbersAndPrintsTheRegistrationDocument) {
    Instance().VersionFFD = 3;
    Operation(OperationRegistration, FullRegistration);

    // The header still shows the number registered before; the INN is taken first.
    ExpectNewDocument(Concat({
        Header("1234567890123456", "7701234567", "", "Петров П.П.", "#0001", "771234567890        "),
        {
            Line("РЕГИСТРАЦИЯ"),
            Line("ОФД", "ООО Такском"),
            Line("ИНН ОФД", "7704211201"),
            Line("АВТОНОМН. РЕЖИМ"),
            Line("ШФР"),
            Line("ПОДАКЦИЗНЫЕ ТОВАРЫ"),
            Line("ПРОВЕДЕНИЕ ЛОТЕРЕИ"),
            Line("АС БСО"),
            Line("АВТОМАТ. РЕЖИМ"),
            Line("СНО", "ОСН"),
            Line("СНО", "УСН доход - расход"),
            Line("ПЛ.АГЕНТ"),
            Line("КОМИССИОНЕР"),
            Line("ФФД ККТ 1.1"),
            Line("ФД:1", "ФП:##########"),
        },
        Separator,
    }));
    ASSERT_EQ(Shown().size(), 1u);
    EXPECT_EQ(Shown()[0].caption, "Регистрация");
    EXPECT_EQ(Shown()[0].number, "1");
    EXPECT_EQ(printed, 1);

    EXPECT_EQ(RawValue("KKTNumber"), "0000000001          ");
    EXPECT_EQ(RawValue("VATIN"), "7701234567  ");
    EXPECT_EQ(RawValue("OFDVATIN"), "7704211201  ");
    EXPECT_EQ(RawValue("AutomaticNumber"), "A-17                ");
    EXPECT_EQ(Instance().CurrentCashier().Name, "Петров П.П.");
    EXPECT_EQ(Instance().CurrentCashier().INN, "771234567890        ");
    ExpectStored({{"FiscalDocCounter", "1"},
                  {"TotalDocCounter", "1"},
                  {"TotalFiscalDocCounter", "1"},
                  {"ReceiptNumber", "0"},
                  {"TotalReceiptCounter", "0"},
                  {"RegDocumentNumber", "1"},
                  {"RegDateTime", std::to_string(TestMoment())},
                  {"FFD", "3"},
                  {"FNLifeState", "1"},
                  {"OrganizationName", "ООО Ромашка"},
                  {"AddressSettle", "Москва, ул. Ленина, 1"},
                  {"PlaceSettle", "Магазин"},
                  {"TaxVariant", "0, 2"},
                  {"OFDOrganizationName", "ООО Такском"},
                  {"SenderEmail", "kkt@example.ru"},
                  {"FNSWebSite", "www.nalog.gov.ru"},
                  {"OfflineMode", "true"},
                  {"DataEncryption", "true"},
                  {"ServiceSign", "false"},
                  {"SaleExcisableGoods", "true"},
                  {"SignOfGambling", "false"},
                  {"SignOfLottery", "true"},
                  {"SignOfAgent", "2,5,9"},
                  {"BSOSing", "true"},
                  {"CalcOnlineSign", "false"},
                  {"PrinterAutomatic", "false"},
                  {"AutomaticMode", "true"}});
    // The registration number is written as a number into a field that stays a text field.
    EXPECT_NE(StorageBytes().find("<RegDocumentNumber Value=\"1\" TypeValue=\"String\""), std::string::npos);

    pugi::xml_document table = EmptyOutput();
    GetDataKKT(Instance(), table);
    EXPECT_EQ(
        Compact(table),
        "<Parameters FFDVersionFN=\"1.1\" FFDVersionKKT=\"1.1\" Fiscal=\"true\" KKTNumber=\"0000000001\" "
        "KKTSerialNumber=\"12345678\" FNSerialNumber=\"9999000000000000\" DocumentNumber=\"1\" "
        "DateTime=\"01.05.2024 13:45:07\" CompanyName=\"ООО Ромашка\" INN=\"7701234567\" "
        "SaleAddress=\"Москва, ул. Ленина, 1\" SaleLocation=\"Магазин\" TaxationSystems=\"0, 2\" "
        "IsEncrypted=\"true\" IsOffline=\"true\" IsAutomatic=\"true\" IsService=\"false\" "
        "IsOnlineOnly=\"false\" BSOSing=\"true\" AgentTypes=\"2,5,9\" IsLottery=\"true\" "
        "IsGambling=\"false\" IsExcisable=\"true\" AutomaticNumber=\"A-17\" IsAutomaticPrinter=\"false\" "
        "OFDCompany=\"ООО Такском\" OFDCompanyINN=\"7704211201\" FNSURL=\"www.nalog.gov.ru\" "
        "SenderEmail=\"kkt@example.ru\"/>");

    Operation(0, R"(<P CashierName="Петров П.П." INN="7701234567"/>)");
    EXPECT_EQ(NewOutputLines().at(1), Line("РН ККТ:0000000001", "01.05.2024 13:45"));
}

TEST_F(Registration, ReregistrationNumbersItselfAfterTheLastFiscalDocumentAndKeepsTheFormatVersion) {
    EditStorage({{"TotalFiscalDocCounter", "41"},
                 {"TotalDocCounter", "99"},
                 {"DayCounter", "3"},
                 {"FFD", "1"},
                 {"FNLifeState", "2"}});
    Instance().EnablePrinting = 2;
    Operation(OperationReregistration,
              R"(<Data CashierName="Сидорова А.А." KKTNumber="7777" INN="123456789012" AgentTypes=""/>)");

    ExpectNewDocument(Concat({
        Header("1234567890123456", "123456789012", "СМЕНА:3", "Сидорова А.А.", "#0100"),
        {Line("ПЕРЕРЕГИСТРАЦИЯ"), Line("ОФД"), Line("ИНН ОФД"), Line("ФФД ККТ 1.0"),
         Line("ФД:42", "ФП:##########")},
        Separator,
    }));
    ASSERT_EQ(Shown().size(), 1u);
    EXPECT_EQ(Shown()[0].caption, "Перегистрация");
    EXPECT_EQ(Shown()[0].number, "100");
    EXPECT_EQ(printed, 0);
    ExpectStored({{"RegDocumentNumber", "42"},
                  {"TotalFiscalDocCounter", "42"},
                  {"FiscalDocCounter", "1"},
                  {"TotalDocCounter", "100"},
                  {"FFD", "1"},
                  {"FNLifeState", "1"},
                  {"TaxVariant", ""},
                  {"OrganizationName", ""}});
}

struct CloseCase {
    std::uint8_t type;
    Lines body;
    std::string lifeState;
};

TEST_F(Registration, ClosingTheStorageAndUnknownTypesPrintOnlyTheirFrameYetCountAndTakeTheINN) {
    const std::vector<CloseCase> cases{
        {OperationCloseFN, {Line("ЗАКРЫТИЕ ФН")}, "2"},
        {0, {}, "1"},
        {7, {}, "1"},
        {255, {}, "1"},
    };
    for (const CloseCase& test : cases) {
        SCOPED_TRACE(static_cast<int>(test.type));
        EditStorage({{"FNLifeState", "1"},
                     {"KKTNumber", "0000000001"},
                     {"TotalDocCounter", "5"},
                     {"FiscalDocCounter", "0"},
                     {"TotalFiscalDocCounter", "4"},
                     {"RegDocumentNumber", "2"}});
        NewOutputLines();
        Operation(test.type, R"(<P CashierName="Петров П.П." INN="500100732259" KKTNumber="9"/>)");
        ExpectNewDocument(
            Concat({Header("0000000001", "500100732259", "", "Петров П.П.", "#0006"), test.body, Separator}));
        ExpectStored({{"FNLifeState", test.lifeState},
                      {"TotalDocCounter", "6"},
                      {"FiscalDocCounter", "1"},
                      {"TotalFiscalDocCounter", "5"},
                      {"RegDocumentNumber", "2"},
                      {"KKTNumber", "0000000001"},
                      {"VATIN", "500100732259"}});
        EXPECT_EQ(Shown().back().caption, "Закрытие ФН");
        EXPECT_EQ(Shown().back().number, "6");
    }
}

TEST_F(Registration, AClosedStorageRefusesAShiftAndCanBeRegisteredAgain) {
    Operation(OperationCloseFN, "<P/>");
    pugi::xml_document output = EmptyOutput();
    std::string refusal;
    try {
        OpenShift(Instance(), CashierInput("Петров П.П.", ""), output);
    } catch (const std::exception& error) {
        refusal = error.what();
    }
    EXPECT_EQ(refusal, "ФН закрыт");
    Operation(OperationRegistration, "<P/>");
    ExpectStored({{"FNLifeState", "1"}});
}

struct RefusalCase {
    const char* name;
    Fields storage;
    std::int64_t versionFFD;
    std::uint8_t type;
    const char* parameters;
    std::string message;
};

TEST_F(Registration, RefusalsKeepTheStorageAndTheOutputFileAsTheyWere) {
    const std::vector<RefusalCase> cases{
        {"open shift", {{"DayState", "1"}}, 0, OperationRegistration, "<P/>", "Смена открыта"},
        {"expired shift", {{"DayState", "2"}}, 0, OperationCloseFN, "<P/>", "Смена открыта"},
        {"unknown format version", {{"FFD", "7"}}, 0, OperationRegistration, "<P/>", std::string(BadInput)},
        {"unknown format version again",
         {{"FFD", "0"}},
         4,
         OperationReregistration,
         "<P/>",
         std::string(BadInput)},
        {"empty taxation code",
         {},
         0,
         OperationRegistration,
         R"(<P TaxationSystems="0,,2"/>)",
         "\"\" не является целым числом"},
        {"taxation code list with another separator",
         {},
         0,
         OperationReregistration,
         R"(<P TaxationSystems="1;2"/>)",
         "\"1;2\" не является целым числом"},
        {"taxation code beyond 32 bits",
         {},
         0,
         OperationRegistration,
         R"(<P TaxationSystems="99999999999"/>)",
         "\"99999999999\" не является целым числом"},
        {"letter among the agent types",
         {},
         0,
         OperationRegistration,
         R"(<P AgentTypes="2,a"/>)",
         "Ошибка передачи типа данных агента"},
        {"trailing comma among the agent types",
         {},
         0,
         OperationRegistration,
         R"(<P AgentTypes="2,"/>)",
         "Ошибка передачи типа данных агента"},
    };
    for (const RefusalCase& test : cases) {
        SCOPED_TRACE(test.name);
        EditStorage(test.storage);
        Instance().VersionFFD = test.versionFFD;
        ExpectRefused([&] { Operation(test.type, test.parameters); }, test.message);
        EditStorage({{"DayState", "0"}, {"FFD", "2"}});
    }
}

TEST_F(Registration, TheCashierOfTheParametersStaysAfterARefusalButNotWithoutAnyDocument) {
    EditStorage({{"DayState", "1"}});
    ExpectRefused(
        [&] { Operation(OperationRegistration, R"(<P CashierName="Петров П.П." CashierINN="7"/>)"); },
        "Смена открыта");
    EXPECT_EQ(Instance().CurrentCashier().Name, "Петров П.П.");
    EXPECT_EQ(Instance().CurrentCashier().INN, "7                   ");

    ExpectRefused([&] { OperationFN(Instance(), OperationRegistration, pugi::xml_document()); }, BadInput);
    EXPECT_EQ(Instance().CurrentCashier().Name, "Петров П.П.");
}

TEST_F(Registration, AFormatVersionOfTheDeviceOutsideOneToThreeLeavesTheStoredOne) {
    for (const auto& [device, stored] : std::vector<std::pair<std::int64_t, std::string>>{
             {1, "1"}, {2, "2"}, {3, "3"}, {0, "3"}, {4, "3"}}) {
        SCOPED_TRACE(device);
        Instance().VersionFFD = device;
        Operation(OperationRegistration, "<P/>");
        ExpectStored({{"FFD", stored}});
    }
}

} // namespace
} // namespace veltrano::kkt::testing::documents
