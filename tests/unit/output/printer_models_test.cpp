#include "output/printer_models.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace veltrano::output {
namespace {

std::size_t CodeRow(std::string_view name) {
    return static_cast<std::size_t>(std::find(kEscCodeNames.begin(), kEscCodeNames.end(), name) -
                                    kEscCodeNames.begin());
}

TEST(PrinterModels, CarriedDocumentHoldsTheTwentyModelsInItsOrder) {
    const std::vector<PrinterModel>& table = PrinterModels();
    ASSERT_EQ(table.size(), 21u);
    EXPECT_EQ(table[0].PrinterIndex, 0);
    EXPECT_EQ(table[0].PrinterName, "Ручная установка");
    EXPECT_EQ(table[0].Codes, EscCodeValues{});

    const std::pair<int, std::string_view> expected[] = {
        {1, "Axiohm A794"},
        {9, "Advanpos WP-T800"},
        {6, "Epson TM U210PD"},
        {16, "LUKHAN LK-TXXX"},
        {17, "Posiflex PP-7000/8000/9000 series"},
        {2, "Star SP298"},
        {3, "Star SP500, SP2000"},
        {4, "Star TSP600"},
        {5, "Star SCP700 (чековая лента)"},
        {10, "Star SCP700 (подкладная печать)"},
        {19, "Star TSP100 (Star Line)"},
        {14, "Star TSP100 (ESC/POS)"},
        {15, "Star TSP650"},
        {7, "Samsung BIXOLON SRP270"},
        {8, "Samsung BIXOLON SRP3x0"},
        {11, "Samsung BIXOLON STP131"},
        {12, "Samsung BIXOLON SRP103"},
        {13, "Samsung BIXOLON SRP275"},
        {18, "Штрих-700"},
        {20, "CUSTOM VKP80III"},
    };
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(table[i + 1].PrinterIndex, expected[i].first) << i;
        EXPECT_EQ(table[i + 1].PrinterName, expected[i].second) << i;
    }
}

TEST(PrinterModels, CodesOfTheCarriedModels) {
    const std::vector<PrinterModel>& table = PrinterModels();
    const struct {
        std::size_t entry;
        std::string_view code;
        std::string_view value;
    } cases[] = {
        // The row stored under the element "mpdel" is a model like any other.
        {2, "ESCInit", "27+64"},
        {2, "ESCRus", "27+116+17"},
        {2, "ESCCut", "29+86+1"},
        {2, "ESCBeep", "27+112+0+50+50+0+27+112+1+50+50+0"},
        {2, "ESCSpeaker", "29+07+01+20+01"},
        {2, "ESCFntBoldOn", "27+69+255"},
        {2, "ESCFntInvertOff", "29+66+0"},
        {2, "ESCFont1On", ""},
        {1, "ESCRus", "27+82+7"},
        {1, "ESCSpeaker", ""},
        {1, "ESCFntBoldOn", ""},
        {4, "ESCSpeaker", "30"},
        {9, "ESCInit", "27+64+27+77+27+122+49+27+43+65+48"},
        {11, "ESCInit", ""},
        {11, "ESCCut", "27+100+1"},
        {11, "ESCBeep", "7+26"},
        {11, "ESCFntUnderlineOn", "27+69"},
        {11, "ESCFntUnderlineOff", "27+70"},
        {11, "ESCFntInvertOn", "27+52"},
        {11, "ESCFntInvertOff", "27+53"},
        {11, "ESCFntBoldOn", ""},
        {13, "ESCBeep", "27+64+7+27+64+0+27+64+26+27+64+0"},
        {19, "ESCCut", "12"},
        {20, "ESCCut", "27+105+29+101+3+2"},
        {20, "ESCFntItalicOn", "27+52+1"},
        {20, "ESCFntUnderlineOn", "27+45+2"},
        {20, "ESCBeep", ""},
        {20, "ESCCustomFontOff", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(table[c.entry].Codes[CodeRow(c.code)], c.value)
            << table[c.entry].PrinterName << " " << c.code;

    // Besides the five printer basics only three models carry codes.
    for (std::size_t entry = 1; entry < table.size(); ++entry) {
        if (entry == 2 || entry == 11 || entry == 20)
            continue;
        for (std::size_t row = CodeRow("ESCFntBoldOn"); row < kEscCodeCount; ++row) {
            EXPECT_EQ(table[entry].Codes[row], "") << table[entry].PrinterName << " " << kEscCodeNames[row];
        }
    }
}

TEST(PrinterModels, DocumentReadingRules) {
    const struct {
        const char* what;
        std::string_view xml;
        std::vector<std::pair<int, std::string>> models; // after the manual entry
    } cases[] = {
        {"element names and other nodes ignored",
         R"(<models><printer PrinterIndex="5" PrinterName="A"/><!-- note --><x PrinterIndex="-3" PrinterName="B"/></models>)",
         {{5, "A"}, {-3, "B"}}},
        {"index missing or not a number",
         R"(<models><m PrinterName="A"/><m PrinterIndex="7a" PrinterName="B"/><m PrinterIndex="" PrinterName="C"/></models>)",
         {{-1, "A"}, {-1, "B"}, {-1, "C"}}},
        {"no models element", R"(<printers><m PrinterIndex="1" PrinterName="A"/></printers>)", {}},
        {"not a document", "", {}},
        {"cut after a model",
         R"(<models><m PrinterIndex="1" PrinterName="A"/><m PrinterIndex="2" PrinterName="B"/>)",
         {{1, "A"}, {2, "B"}}},
        {"cut inside a model: what it had so far",
         R"(<models><m PrinterIndex="1" PrinterName="A"/><m PrinterIndex="3" PrinterName=)",
         {{1, "A"}, {3, ""}}},
    };
    for (const auto& c : cases) {
        const std::vector<PrinterModel> table = ParseModelTable(c.xml);
        ASSERT_GE(table.size(), 1u) << c.what;
        EXPECT_EQ(table[0].PrinterName, "Ручная установка") << c.what;
        std::vector<std::pair<int, std::string>> read;
        for (std::size_t i = 1; i < table.size(); ++i)
            read.emplace_back(table[i].PrinterIndex, table[i].PrinterName);
        EXPECT_EQ(read, c.models) << c.what;
    }
    const std::vector<PrinterModel> table =
        ParseModelTable(R"(<models><m ESCCut="29+86+1" escinit="1"/></models>)");
    EXPECT_EQ(table[1].Codes[CodeRow("ESCCut")], "29+86+1");
    EXPECT_EQ(table[1].Codes[CodeRow("ESCInit")], "");
}

} // namespace
} // namespace veltrano::output
