#include "kkt/vocab/receipt_vocabulary.h"
#include "kkt/vocab/tax_values.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace veltrano::kkt {
namespace {

TEST(TaxValues, RateNumbersComeFromTheWholeCodeIgnoringCase) {
    const TaxValues taxes;
    const struct {
        std::string_view code;
        int rate;
    } cases[] = {{"20", 1},     {"18", 2},     {"10", 3},     {"0", 4},       {"none", 5}, {"NONE", 5},
                 {"None", 5},   {"20/120", 6}, {"18/118", 7}, {"10/110", 8},  {"5", 9},    {"7", 10},
                 {"5/105", 11}, {"7/107", 12}, {"22", 13},    {"22/122", 14}, {"22%", 0},  {"22/122 ", 0},
                 {"", 0},       {"20.0", 0},   {"20%", 0},    {"7/107 ", 0},  {" 20", 0},  {"НДС", 0}};
    for (const auto& c : cases)
        EXPECT_EQ(taxes.IDOfTax(c.code), c.rate) << '"' << c.code << '"';
}

TEST(Vocabulary, RateNamesAndTaxationSystemsRefuseCodesOutsideTheirTables) {
    EXPECT_EQ(VATRateName(1), "НДС 20%");
    EXPECT_EQ(VATRateName(5), "БЕЗ НДС");
    EXPECT_EQ(VATRateName(12), "НДС 7/107");
    EXPECT_EQ(VATRateName(13), "НДС 22%");
    EXPECT_EQ(VATRateName(14), "НДС 22/122");
    for (int bad : {0, 15, -1})
        EXPECT_THROW(VATRateName(bad), std::runtime_error) << bad;
    try {
        VATRateName(15);
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Ошибка входных параметров команды");
    }
    EXPECT_EQ(TaxationSystemName(0), "ОСН");
    EXPECT_EQ(TaxationSystemName(2), "УСН доход - расход");
    EXPECT_EQ(TaxationSystemName(4), "ЕСН");
    EXPECT_EQ(TaxationSystemName(5), "Патент");
    EXPECT_THROW(TaxationSystemName(6), std::runtime_error);
    EXPECT_THROW(TaxationSystemName(-1), std::runtime_error);
}

TEST(Vocabulary, MethodsAndSubjectsFallBackToTheirFirstName) {
    EXPECT_EQ(CalculationMethodName(0), "ПРЕДОПЛАТА 100%");
    EXPECT_EQ(CalculationMethodName(4), "ПОЛНЫЙ РАСЧЕТ");
    EXPECT_EQ(CalculationMethodName(7), "ОПЛАТА КРЕДИТА");
    EXPECT_EQ(CalculationMethodName(8), "ПРЕДОПЛАТА 100%");
    EXPECT_EQ(CalculationSubjectName(0), "ТОВАР");
    EXPECT_EQ(CalculationSubjectName(4), "УСЛУГА");
    EXPECT_EQ(CalculationSubjectName(13), "ИНОЙ ПРЕДМЕТ РАСЧЕТА");
    EXPECT_EQ(CalculationSubjectName(26), "ПЛАТЕЖ КАЗИНО");
    EXPECT_EQ(CalculationSubjectName(27), "ТОВАР");
    EXPECT_EQ(CalculationSubjectName(255), "ТОВАР");
}

TEST(Vocabulary, AgentBlockOrder) {
    const auto attributes = AgentAttributes();
    ASSERT_EQ(attributes.size(), 10u);
    EXPECT_EQ(attributes.front().attribute, "AgentOperation");
    EXPECT_EQ(attributes[6].label, "ИНН ОП. ПЕРЕВОДА");
    EXPECT_EQ(attributes[7].element, "VendorData");
    EXPECT_EQ(attributes.back().label, "ИНН ПОСТАВЩИКА");
}

} // namespace
} // namespace veltrano::kkt
