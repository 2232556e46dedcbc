// Registration, re-registration and closing the storage through ОперацияФН, read back with
// ПолучитьПараметрыККТ, the output file and DataFN.xml.
#include "host_kkt_documents_fixture.h"

#include <regex>
#include <string>

namespace veltrano::hosttest::documents {
namespace {

const std::string Registration = R"(<?xml version="1.0"?>
<Parameters CashierName="Петров П.П." CashierINN="771234567890" KKTNumber="0000000001" CompanyName="ООО Ромашка"
  INN="7701234567" SaleAddress="Москва, ул. Ленина, 1" SaleLocation="Магазин" TaxationSystems=" 0, 2"
  IsOffline="false" IsEncrypted="true" IsAutomatic="false" IsOnlineOnly="True" IsAutomaticPrinter="false"
  IsService="true" AgentTypes="4" AutomaticNumber="" BSOSing="false" OFDCompany="ООО Такском"
  OFDCompanyINN="7704211201" SenderEmail="kkt@example.ru" FNSURL="www.nalog.gov.ru" IsExcisable="false"
  IsGambling="false" IsLottery="false"/>)";

class KktRegistrationHostTest : public KktDocumentsHostTest {
protected:
    // The KKT table; its registration moment must be a date with or without a time and is masked with "*".
    std::string Table(const std::string& id) {
        const CallResult table = DataKKT(id);
        EXPECT_TRUE(table.Succeeded()) << LastMessage();
        pugi::xml_document doc;
        EXPECT_TRUE(doc.load_string(table.Out(1).c_str())) << table.Out(1);
        pugi::xml_attribute moment = doc.child("Parameters").attribute("DateTime");
        static const std::regex shown(R"(\d{2}\.\d{2}\.\d{4}( \d{2}:\d{2}:\d{2})?)");
        EXPECT_TRUE(std::regex_match(moment.value(), shown)) << moment.value();
        moment.set_value("*");
        std::ostringstream text;
        doc.save(text, "", pugi::format_raw | pugi::format_no_declaration);
        return text.str();
    }
};

TEST_F(KktRegistrationHostTest, RegistrationIsPrintedStoredAndReportedInTheKktTable) {
    const std::string id = Connect(Settings({{"VersionFFD", "3"}}));
    ASSERT_FALSE(id.empty());
    EXPECT_EQ(
        Table(id),
        "<Parameters FFDVersionFN=\"1.0.5\" FFDVersionKKT=\"1.0.5\" Fiscal=\"false\" "
        "KKTNumber=\"1234567890123456\" KKTSerialNumber=\"12345678\" FNSerialNumber=\"9999000000000000\" "
        "DocumentNumber=\"0\" DateTime=\"*\" CompanyName=\"Центр тестирования учебного ККТ\" "
        "INN=\"9988776655\" SaleAddress=\"Адрес\" SaleLocation=\"Место\" TaxationSystems=\"0,1,2,3,4,5\" "
        "IsEncrypted=\"false\" IsOffline=\"false\" IsAutomatic=\"false\" IsService=\"false\" "
        "IsOnlineOnly=\"false\" BSOSing=\"false\" AgentTypes=\"\" IsLottery=\"false\" IsGambling=\"false\" "
        "IsExcisable=\"false\" AutomaticNumber=\"\" IsAutomaticPrinter=\"false\" OFDCompany=\"\" "
        "OFDCompanyINN=\"\" FNSURL=\"\" SenderEmail=\"\"/>");

    ASSERT_TRUE(OperationFN(id, 1, Registration).Succeeded()) << LastMessage();
    EXPECT_EQ(NewDocumentLines(),
              Join({Header({.inn = "7701234567",
                            .cashier = "Петров П.П.",
                            .number = "#0001",
                            .cashierInn = "771234567890        "}),
                    {Line("РЕГИСТРАЦИЯ"), Line("ОФД", "ООО Такском"), Line("ИНН ОФД", "7704211201"),
                     Line("ШФР"), Line("ККТ ДЛЯ УСЛУГ"), Line("ККТ ДЛЯ ИНТЕРНЕТ"), Line("СНО", "ОСН"),
                     Line("СНО", "УСН доход - расход"), Line("АГЕНТ"), Line("ФФД ККТ 1.1"),
                     Line("ФД:1", MaskedSign)},
                    Separator}));
    ExpectFields({{"KKTNumber", "0000000001          "},
                  {"VATIN", "7701234567  "},
                  {"OFDVATIN", "7704211201  "},
                  {"AutomaticNumber", "                    "},
                  {"RegDocumentNumber", "1"},
                  {"FFD", "3"},
                  {"FNLifeState", "1"},
                  {"FiscalDocCounter", "1"},
                  {"TotalFiscalDocCounter", "1"},
                  {"TotalDocCounter", "1"}},
                 "after the registration");
    EXPECT_EQ(
        Table(id),
        "<Parameters FFDVersionFN=\"1.1\" FFDVersionKKT=\"1.1\" Fiscal=\"true\" KKTNumber=\"0000000001\" "
        "KKTSerialNumber=\"12345678\" FNSerialNumber=\"9999000000000000\" DocumentNumber=\"1\" "
        "DateTime=\"*\" CompanyName=\"ООО Ромашка\" INN=\"7701234567\" SaleAddress=\"Москва, ул. Ленина, 1\" "
        "SaleLocation=\"Магазин\" TaxationSystems=\"0, 2\" IsEncrypted=\"true\" IsOffline=\"false\" "
        "IsAutomatic=\"false\" IsService=\"true\" IsOnlineOnly=\"true\" BSOSing=\"false\" AgentTypes=\"4\" "
        "IsLottery=\"false\" IsGambling=\"false\" IsExcisable=\"false\" AutomaticNumber=\"\" "
        "IsAutomaticPrinter=\"false\" OFDCompany=\"ООО Такском\" OFDCompanyINN=\"7704211201\" "
        "FNSURL=\"www.nalog.gov.ru\" SenderEmail=\"kkt@example.ru\"/>");
    EXPECT_TRUE(NewDocumentLines().empty()) << "the KKT table is no document";

    // The host's integer is cut to its low byte: 258 is a re-registration.
    ASSERT_TRUE(OpenShift(id).Succeeded()) << LastMessage();
    ASSERT_TRUE(CloseShift(id).Succeeded()) << LastMessage();
    NewDocumentLines();
    ASSERT_TRUE(OperationFN(id, 258, R"(<Parameters CashierName="Сидорова А.А." KKTNumber="0000000002"
        INN="7701234567" TaxationSystems="1" OFDCompany="ООО Такском"/>)")
                    .Succeeded())
        << LastMessage();
    EXPECT_EQ(NewDocumentLines(),
              Join({Header({.kktNumber = "0000000001",
                            .inn = "7701234567",
                            .shift = "СМЕНА:1",
                            .cashier = "Сидорова А.А.",
                            .number = "#0004"}),
                    {Line("ПЕРЕРЕГИСТРАЦИЯ"), Line("ОФД", "ООО Такском"), Line("ИНН ОФД"),
                     Line("СНО", "УСН доход"), Line("ФФД ККТ 1.1"), Line("ФД:4", MaskedSign)},
                    Separator}));
    ExpectFields({{"RegDocumentNumber", "4"}, {"KKTNumber", "0000000002          "}, {"FNLifeState", "1"}},
                 "after the re-registration");

    ASSERT_TRUE(
        OperationFN(id, 3, R"(<Parameters CashierName="Сидорова А.А." INN="500100732259"/>)").Succeeded())
        << LastMessage();
    EXPECT_EQ(NewDocumentLines(), Join({Header({.kktNumber = "0000000002",
                                                .inn = "500100732259",
                                                .shift = "СМЕНА:1",
                                                .cashier = "Сидорова А.А.",
                                                .number = "#0005"}),
                                        {Line("ЗАКРЫТИЕ ФН")},
                                        Separator}));
    ExpectFields({{"FNLifeState", "2"}, {"RegDocumentNumber", "4"}, {"TotalFiscalDocCounter", "5"}},
                 "after closing the storage");
    EXPECT_NE(Table(id).find("Fiscal=\"true\""), std::string::npos);
    ExpectRefused([&] { return OpenShift(id); }, "ФН закрыт");
}

TEST_F(KktRegistrationHostTest, RefusedStorageOperationsChangeNothing) {
    // Without a format version of its own the device registers with the stored one.
    const std::string id = Connect(Settings({{"VersionFFD", "0"}}));
    ASSERT_FALSE(id.empty());
    ExpectRefused([&] { return OperationFN(id, 1, R"(<P AgentTypes="2,a"/>)"); },
                  "Ошибка передачи типа данных агента");
    ExpectRefused([&] { return OperationFN(id, 2, R"(<P TaxationSystems="0;1"/>)"); },
                  "\"0;1\" не является целым числом");
    EditStorage({{"FFD", "9"}});
    ExpectRefused([&] { return OperationFN(id, 1, "<P/>"); }, "Ошибка входных параметров команды");
    ExpectRefused([&] { return DataKKT(id); }, "Ошибка входных параметров команды");
    EditStorage({{"FFD", "2"}});
    ASSERT_TRUE(OpenShift(id).Succeeded()) << LastMessage();
    ExpectRefused([&] { return OperationFN(id, 3, "<P/>"); }, "Смена открыта");
    ExpectRefused([&] { return OperationFN(id, 1, ""); }, "No document element found (offset 0)");
}

} // namespace
} // namespace veltrano::hosttest::documents
