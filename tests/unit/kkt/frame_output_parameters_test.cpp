#include "frame_fixture.h"
#include "kkt/frame/output_parameters.h"

#include <gtest/gtest.h>

#include <regex>
#include <stdexcept>
#include <string>

namespace veltrano::kkt::testing {
namespace {

using enum OutputParameter;

class OutputParameters : public KktInstanceTest {
protected:
    std::string Built(OutputGroups groups) {
        (void)Storage().Load();
        pugi::xml_document output = EmptyOutput();
        GetOutputParameters(Instance(), output, groups);
        return Compact(output);
    }
};

TEST(OutputGroups, MembersTakeTheirBitsInDeclarationOrder) {
    EXPECT_EQ(OutputGroups{opShiftNumber}.Bits(), 1u);
    EXPECT_EQ(OutputGroups{opDateTime}.Bits(), 1u << 3);
    EXPECT_EQ(OutputGroups{opFNError}.Bits(), 1u << 13);
    EXPECT_EQ(OutputGroups{opKKTShortState}.Bits(), 1u << 19);
    EXPECT_EQ((OutputGroups{opShiftNumber, opKKTShortState}.Bits()), 1u | 1u << 19);
    EXPECT_TRUE((OutputGroups{opPayments, opCashBalance}.Contains(opCashBalance)));
    EXPECT_FALSE((OutputGroups{opPayments, opCashBalance}.Contains(opCashInOutcome)));
}

TEST_F(OutputParameters, OnlyTheShiftNumberGivesParametersWithOnlyThatAttribute) {
    EXPECT_EQ(Built({opShiftNumber}), "<OutputParameters><Parameters ShiftNumber=\"0\"/></OutputParameters>");
}

TEST_F(OutputParameters, TheGroupsWithoutValuesProduceNothing) {
    EXPECT_EQ(Built({opCountersOperationType3, opCountersOperationType4, opFNValidityDate}),
              "<OutputParameters><Parameters/></OutputParameters>");
}

const OutputGroups EveryGroup{opShiftNumber,
                              opCheckNumber,
                              opShiftClosingCheckNumber,
                              opDateTime,
                              opShiftState,
                              opCountersOperationType1,
                              opCountersOperationType2,
                              opCountersOperationType3,
                              opCountersOperationType4,
                              opBacklogDocumentsCounter,
                              opCashBalance,
                              opBacklogDocumentFirstNumber,
                              opBacklogDocumentFirstDateTime,
                              opFNError,
                              opFNOverflow,
                              opFNFail,
                              opFNValidityDate,
                              opPayments,
                              opCashInOutcome,
                              opKKTShortState};

TEST_F(OutputParameters, EveryGroupInItsOrderWithStoredAndComputedValues) {
    EditStorage({{"DayCounter", "7"},    {"TotalFiscalDocCounter", "12"},
                 {"ReceiptNumber", "3"}, {"DayState", "2"},
                 {"M241", "12,5"},       {"O144", "2"},
                 {"M193", "60"},         {"M197", "40.5"},
                 {"M201", "1"},          {"M205", "2"},
                 {"M209", "0.0001"},     {"O146", "1"},
                 {"M195", "5"},          {"M203", "3"},
                 {"M207", "4"},          {"M211", "0,25"},
                 {"M242", "100"},        {"O153", "1"},
                 {"M243", "7.25"},       {"O154", "2"},
                 {"M194", "999"}});
    EXPECT_EQ(Built(EveryGroup),
              "<OutputParameters>"
              "<Parameters FNError=\"false\" FNFail=\"false\" FNOverflow=\"false\" CashBalance=\"12.5\" "
              "RecState=\"0\" DrawerState=\"0\" CoverOpen=\"0\" ShiftNumber=\"7\" CheckNumber=\"12\" "
              "ShiftClosingCheckNumber=\"3\" DateTime=\"2024-05-01T13:45:07\" ShiftState=\"3\" "
              "BacklogDocumentsCounter=\"0\" BacklogDocumentFirstNumber=\"0\" "
              "BacklogDocumentFirstDateTime=\"2024-05-01T13:45:07\">"
              "<CountersOperationType1 CheckCount=\"2\" TotalChecksAmount=\"103.5001\"/>"
              "<CountersOperationType2 CheckCount=\"1\" TotalChecksAmount=\"12.25\"/>"
              "<CashIn Count=\"1\" TotalAmount=\"100\"/>"
              "<CashOut Count=\"2\" TotalAmount=\"7.25\"/>"
              "</Parameters>"
              "<Payments>"
              "<Cash Sell=\"60\" SellReturn=\"5\"/>"
              "<NonCash Sell=\"40.5\" SellReturn=\"0\"/>"
              "<Prepaid Sell=\"1\" SellReturn=\"3\"/>"
              "<Credit Sell=\"2\" SellReturn=\"4\"/>"
              "<Barter Sell=\"0.0001\" SellReturn=\"0.25\"/>"
              "</Payments>"
              "</OutputParameters>");
}

TEST_F(OutputParameters, ARegisterThatIsNoNumberFailsAndLeavesTheOutputEmpty) {
    EditStorage({{"M209", "x"}});
    (void)Storage().Load();
    pugi::xml_document output = EmptyOutput();
    try {
        GetOutputParameters(Instance(), output, EveryGroup);
        ADD_FAILURE() << "no failure";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "Значение поля M209 в ФН не является числом: \"x\"");
    }
    EXPECT_EQ(Compact(output), "");
}

TEST_F(KktInstanceTest, DocumentOutputParametersCarryTheCountersMomentSignAndSite) {
    EditStorage({{"DayCounter", "4"}, {"TotalFiscalDocCounter", "20"}, {"ReceiptNumber", "6"}});
    (void)Storage().Load();
    pugi::xml_document first = EmptyOutput();
    pugi::xml_document second = EmptyOutput();
    GetDocumentOutputParameters(Instance(), first);
    GetDocumentOutputParameters(Instance(), second);

    const std::regex sign("FiscalSign=\"(0[0-9]{9})\"");
    std::smatch firstSign;
    std::smatch secondSign;
    const std::string firstText = Compact(first);
    const std::string secondText = Compact(second);
    ASSERT_TRUE(std::regex_search(firstText, firstSign, sign)) << firstText;
    ASSERT_TRUE(std::regex_search(secondText, secondSign, sign)) << secondText;
    EXPECT_NE(firstSign[1].str(), secondSign[1].str());
    EXPECT_EQ(std::regex_replace(firstText, sign, "FiscalSign=\"#\""),
              "<DocumentOutputParameters><Parameters ShiftNumber=\"4\" CheckNumber=\"20\" "
              "ShiftClosingCheckNumber=\"6\" DateTime=\"2024-05-01T13:45:07\" FiscalSign=\"#\" "
              "AddressSiteInspections=\"www.nalog.gov.ru\"/></DocumentOutputParameters>");
}

} // namespace
} // namespace veltrano::kkt::testing
