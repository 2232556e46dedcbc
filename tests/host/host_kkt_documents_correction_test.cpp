// Correction receipts through СформироватьЧекКоррекции: the document, the answer, the registers and the
// refusals, with hostile packages among them.
#include "host_kkt_documents_fixture.h"

#include <string>

namespace veltrano::hosttest::documents {
namespace {

std::string Package(const std::string& parameters, const std::string& correction,
                    const std::string& positions, const std::string& payments) {
    return "<?xml version=\"1.0\"?>\r\n<CheckCorrectionPackage><Parameters " + parameters +
           "><CorrectionData " + correction + "/></Parameters><Positions>" + positions +
           "</Positions><Payments " + payments + "/></CheckCorrectionPackage>";
}

Lines Payments(const Lines& amounts) {
    const char* names[] = {"НАЛИЧНЫМИ", "БЕЗНАЛИЧНЫМИ", "АВАНС", "КРЕДИТ", "ИНАЯ ФОРМА ОПЛАТЫ"};
    Lines lines;
    for (std::size_t i = 0; i < amounts.size(); ++i)
        lines.push_back(Line(std::string("  ") + names[i], amounts[i]));
    return lines;
}

Lines Vat(const Lines& amounts) {
    const char* labels[] = {"СУММА НДС 20%",    "СУММА НДС 10%",    "СУММА НДС 0%", "СУММА БЕЗ НДС",
                            "СУММА НДС 20/120", "СУММА НДС 10/110", "СУММА НДС 5%", "СУММА НДС 7%",
                            "СУММА НДС 5/105",  "СУММА НДС 7/107"};
    Lines lines;
    for (std::size_t i = 0; i < amounts.size(); ++i)
        lines.push_back(Line(labels[i], amounts[i]));
    return lines;
}

class KktCorrectionHostTest : public KktDocumentsHostTest {
protected:
    void SetUp() override {
        KktDocumentsHostTest::SetUp();
        id = Connect(Settings({{"EnablePrinting", "1"}}));
        ASSERT_FALSE(id.empty());
        ASSERT_TRUE(OpenShift(id).Succeeded()) << LastMessage();
        ASSERT_TRUE(CashInOut(id, 250).Succeeded()) << LastMessage();
        NewDocumentLines();
    }
    std::string id;
};

TEST_F(KktCorrectionHostTest, ACorrectionOfSalesAndOneOfPurchasesGiveTheirDocumentsAnswersAndRegisters) {
    const CallResult sales = Correction(
        id,
        Package(
            R"(CashierName="Петров П.П." CashierINN="771234567890" OperationType="1" TaxationSystems="1")",
            R"(Type="1" Description="Предписание № 5" Number="5-П" Date="2024-03-01T01:30:00+03:00")",
            R"(<FiscalString VATRate="20" VATAmount="16.67"/><FiscalString VATRate="10" VATAmount="4,55"/>
                   <FiscalString VATRate="none" VATAmount="0"/>)",
            R"(Cash="100" ElectronicPayment="50.05")"),
        true);
    ASSERT_TRUE(sales.Succeeded()) << LastMessage();
    EXPECT_EQ(
        NewDocumentLines(),
        Join(
            {{Line("КОРРЕКЦИЯ ПРИХОДА"), Line("ТИП КОРРЕКЦИИ:", "по предписаниию"), Line("ИТОГ:", "=150.05")},
             Payments({"=100.00", "=50.05", "=0.00", "=0.00", "=0.00"}),
             Vat({"=16.67", "=4.55", "=0.00", "=0.00", "=0.00", "=0.00", "=0.00", "=0.00", "=0.00", "=0.00"}),
             {Line("ОСН. ДЛЯ КОРР:", "Предписание № 5"), Line("№ ДОК. КОРР:", "5-П"),
              Line("ДАТА КОРР:", "29.02.2024"), Line("СНО:УСН доход", "ФД:2 " + MaskedSign)},
             Separator}));
    EXPECT_EQ(MaskedDocumentAnswer(sales.Out(3)),
              "<DocumentOutputParameters><Parameters ShiftNumber=\"1\" CheckNumber=\"2\" "
              "ShiftClosingCheckNumber=\"1\" DateTime=\"*\" FiscalSign=\"##########\" "
              "AddressSiteInspections=\"www.nalog.gov.ru\"/></DocumentOutputParameters>");

    const CallResult purchases =
        Correction(id, Package(R"(OperationType="3" TaxationSystem="5")", "", "", R"(Barter="12.345")"));
    ASSERT_TRUE(purchases.Succeeded()) << LastMessage();
    const Lines lines = NewDocumentLines();
    ASSERT_EQ(lines.size(), 24u);
    EXPECT_EQ(lines[0], Line("КОРРЕКЦИЯ РАСХОДА"));
    EXPECT_EQ(lines[2], Line("ИТОГ:", "=12.35"));
    EXPECT_EQ(lines[7], Line("  ИНАЯ ФОРМА ОПЛАТЫ", "=12.35"));
    EXPECT_EQ(lines[21], Line("СНО:ОСН", "ФД:3 " + MaskedSign));

    ExpectFields({{"O200", "1"},
                  {"O202", "1"},
                  {"M254", "150.05"},
                  {"O201", "1"},
                  {"O203", "1"},
                  {"M255", "12.345"},
                  {"M241", "250"},
                  {"ReceiptNumber", "2"},
                  {"TotalReceiptCounter", "3"},
                  {"FiscalDocCounter", "3"},
                  {"TotalFiscalDocCounter", "3"},
                  {"TotalDocCounter", "4"}},
                 "after the corrections");
}

TEST_F(KktCorrectionHostTest, RefusedCorrectionsChangeNothingAndAnUnreadableDateCarriesItsCode) {
    const std::string bad = "Ошибка входных параметров команды";
    ExpectRefused(
        [&] { return Correction(id, Package(R"(OperationType="1")", R"(Date="31.12.2023")", "", "")); }, bad,
        1004);
    ExpectRefused(
        [&] {
            return Correction(
                id, Package(R"(OperationType="2")", "", R"(<FiscalString VATRate="21" VATAmount="1"/>)", ""));
        },
        "Налоговая группа вне допустимого диапазона");
    ExpectRefused([&] { return Correction(id, Package(R"(OperationType="2")", "", "", "")); }, bad);
    ExpectRefused(
        [&] { return Correction(id, Package(R"(OperationType="1" TaxationSystems="6")", "", "", "")); }, bad);
    ExpectRefused(
        [&] { return Correction(id, "<CheckCorrectionPackage><Parameters/></CheckCorrectionPackage>"); },
        bad);
    ExpectRefused(
        [&] {
            return Correction(id, Package(R"(OperationType="1")", "", "",
                                          R"(Cash="922337203685477" ElectronicPayment="922337203685477")"));
        },
        "Сумма вне допустимого диапазона");
    ASSERT_TRUE(CloseShift(id).Succeeded()) << LastMessage();
    ExpectRefused([&] { return Correction(id, Package(R"(OperationType="1")", "", "", "")); },
                  "Смена закрыта");
}

TEST_F(KktCorrectionHostTest, HostilePackagesGiveADefinedDocument) {
    // Deep nesting inside a position, characters beyond the basic plane, amounts that are no numbers or too
    // large for an amount.
    std::string nested;
    for (int depth = 0; depth < 20000; ++depth)
        nested += "<n>";
    for (int depth = 0; depth < 20000; ++depth)
        nested += "</n>";
    const CallResult result = Correction(
        id, Package(R"(OperationType="1")", "Description=\"Сбой \xF0\x9F\x98\x80 кассы\" Number=\"1\"",
                    R"(<FiscalString VATRate="20" VATAmount="1e300">)" + nested +
                        R"(</FiscalString><FiscalString VATRate="10" VATAmount="1,2,3"/>)",
                    R"(Cash="сто" ElectronicPayment="-0.5")"));
    ASSERT_TRUE(result.Succeeded()) << LastMessage();
    const Lines lines = NewDocumentLines();
    ASSERT_EQ(lines.size(), 24u);
    EXPECT_EQ(lines[2], Line("ИТОГ:", "=-0.50"));
    EXPECT_EQ(lines[3], Line("  НАЛИЧНЫМИ", "=0.00"));
    EXPECT_EQ(lines[8], Line("СУММА НДС 20%", "=0.00"));
    EXPECT_EQ(lines[9], Line("СУММА НДС 10%", "=0.00"));
    EXPECT_EQ(lines[18], Line("ОСН. ДЛЯ КОРР:", "Сбой  кассы"));
    EXPECT_EQ(Field("M254"), "-0.5");
}

TEST_F(KktCorrectionHostTest, ACorrectionIsAnnouncedInTheLogOfADeviceThatLogs) {
    const std::string logging = Connect(Settings({{"LogEnabled", "true"}}));
    ASSERT_FALSE(logging.empty());
    ASSERT_TRUE(Correction(logging, Package(R"(OperationType="1")", "", "", "")).Succeeded())
        << LastMessage();
    EXPECT_NE(LogText().find("\tINFO\tTDriver: \tStart ProcessCorrectionCheck\r\n"), std::string::npos);
}

} // namespace
} // namespace veltrano::hosttest::documents
