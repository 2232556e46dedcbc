#include "frame_fixture.h"
#include "kkt/frame/document_frame.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace veltrano::kkt::testing {
namespace {

std::vector<std::string> BufferTexts(const output::OutputDevice& device) {
    std::vector<std::string> texts;
    for (const output::ReceiptEntry& entry : device.ReceiptStrList())
        texts.push_back(entry.Text);
    return texts;
}

struct HeaderCase {
    const char* name;
    std::string dayCounter;
    std::string receiptNumber;
    std::string totalDocCounter;
    bool receiptFlag;
    std::string cashierInn;
    std::string shiftPart;
    std::string number;
    bool innLine;
};

class Header : public KktInstanceTest, public ::testing::WithParamInterface<HeaderCase> {};

TEST_P(Header, LaysOutTheCommonLines) {
    const HeaderCase& testCase = GetParam();
    EditStorage({{"DayCounter", testCase.dayCounter},
                 {"ReceiptNumber", testCase.receiptNumber},
                 {"TotalDocCounter", testCase.totalDocCounter}});
    (void)Storage().Load();
    Instance().SetCashier("Иванова М.", testCase.cashierInn);

    PrintHeader(Instance(), testCase.receiptFlag);

    std::vector<std::string> expected{
        Centered("Учебный ККТ"),
        Line("РН ККТ:1234567890123456", "01.05.2024 13:45"),
        Line("ЗН ККТ:12345678", testCase.shiftPart),
        Line("ИНН:9988776655", "ФН:9999000000000000"),
        Line("Кассир:Иванова М.", testCase.number),
    };
    if (testCase.innLine)
        expected.push_back(Line("ИНН кассира:", testCase.cashierInn));
    expected.push_back(Line("Сайт ФНС:", "www.nalog.gov.ru"));
    EXPECT_EQ(BufferTexts(Device()), expected);
}

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, Header,
    ::testing::Values(
        HeaderCase{"NoShiftEver", "0", "0", "0", false, "", "", "#0000", false},
        HeaderCase{"NoShiftEverWithTheReceiptFlag", "0", "4", "7", true, "", " ЧЕК:5", "#0007", false},
        HeaderCase{"ShiftOnly", "3", "4", "7", false, "", "СМЕНА:3", "#0007", false},
        HeaderCase{"ShiftAndReceipt", "3", "4", "12345", true, "", "СМЕНА:3 ЧЕК:5", "#12345", false},
        HeaderCase{"CashierInnOfSpacesPrintsNoLine", "1", "0", "9999", false, "   ", "СМЕНА:1", "#9999",
                   false},
        HeaderCase{"CashierInnAsGiven", "1", "0", "10000", false, " 7700 ", "СМЕНА:1", "#10000", true}),
    [](const ::testing::TestParamInfo<HeaderCase>& info) { return std::string(info.param.name); });

TEST_F(KktInstanceTest, ReadCashierTakesBothAttributesAndMissingOnesAsEmpty) {
    ReadCashier(Instance(), CashierInput("Петров П.П.", "771234567890"));
    EXPECT_EQ(Instance().CurrentCashier().Name, "Петров П.П.");
    EXPECT_EQ(Instance().CurrentCashier().INN, "771234567890");

    pugi::xml_document nameOnly;
    nameOnly.append_child("InputParameters").append_child("Parameters").append_attribute("CashierName") =
        "Орлов";
    ReadCashier(Instance(), nameOnly);
    EXPECT_EQ(Instance().CurrentCashier().Name, "Орлов");
    EXPECT_EQ(Instance().CurrentCashier().INN, "");
}

struct KeptCashierCase {
    const char* name;
    const char* xml;
};

class KeptCashier : public KktInstanceTest, public ::testing::WithParamInterface<KeptCashierCase> {};

TEST_P(KeptCashier, AnInputWithoutParametersKeepsThePreviousCashier) {
    Instance().SetCashier("Петров П.П.", "7700");
    pugi::xml_document input;
    input.load_string(GetParam().xml);
    ReadCashier(Instance(), input);
    EXPECT_EQ(Instance().CurrentCashier().Name, "Петров П.П.");
    EXPECT_EQ(Instance().CurrentCashier().INN, "7700");
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, KeptCashier,
    ::testing::Values(KeptCashierCase{"EmptyDocument", ""},
                      KeptCashierCase{"NoParametersElement",
                                      "<InputParameters><Other CashierName=\"X\"/></InputParameters>"},
                      KeptCashierCase{
                          "ParametersOnlyDeeper",
                          "<InputParameters><A><Parameters CashierName=\"X\"/></A></InputParameters>"}),
    [](const ::testing::TestParamInfo<KeptCashierCase>& info) { return std::string(info.param.name); });

TEST_F(KktInstanceTest, TheSeparatorIsABlankLineAndALineOfEqualSigns) {
    PrintSeparator(Instance());
    EXPECT_EQ(BufferTexts(Device()), (std::vector<std::string>{BlankLine(), RuleLine()}));
}

TEST_F(KktInstanceTest, TheFiscalSignLineShowsTheFiscalDocumentNumber) {
    EditStorage({{"TotalFiscalDocCounter", "41"}});
    (void)Storage().Load();
    PrintFiscalSignLine(Instance());
    EXPECT_EQ(MaskFiscalSign(BufferTexts(Device())),
              (std::vector<std::string>{Line("ФД:41", "ФП:##########")}));
}

} // namespace
} // namespace veltrano::kkt::testing
