#include "output/picture/barcode.h"

#include <gtest/gtest.h>

#include <string>

namespace veltrano::output {
namespace {

// "1" for every bar module, "0" for every space module.
std::string ModuleString(const BarPattern& pattern) {
    std::string modules;
    for (const BarElement& element : pattern.Elements)
        modules.append(static_cast<std::size_t>(element.Modules), element.Bar ? '1' : '0');
    return modules;
}

std::string Encoded(Symbology symbology, std::string_view data) {
    return ModuleString(EncodeBarcode(symbology, data));
}

TEST(Barcode, SymbolWidthsInModules) {
    const struct {
        Symbology symbology;
        std::string_view data;
        int modules;
    } cases[] = {
        {Symbology::Ean13, "400638133393", 95}, {Symbology::Ean13, "4006381333931", 95},
        {Symbology::Ean8, "9638507", 67},       {Symbology::Ean8, "96385074", 67},
        {Symbology::Code39, "ABC", 65},         {Symbology::Code39, "*ABC*", 65},
    };
    for (const auto& c : cases) {
        const BarPattern pattern = EncodeBarcode(c.symbology, c.data);
        EXPECT_FALSE(pattern.BadData) << c.data;
        EXPECT_EQ(pattern.Modules(), c.modules) << c.data;
        EXPECT_EQ(ModuleString(pattern).size(), static_cast<std::size_t>(c.modules)) << c.data;
    }
}

TEST(Barcode, EanCheckDigits) {
    const struct {
        std::string_view digits;
        int check;
    } cases[] = {
        {"400638133393", 1}, {"590123412345", 7}, {"460123456789", 3}, {"000000000000", 0},
        {"9638507", 4},      {"7351353", 7},      {"5512345", 7},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EanCheckDigit(c.digits), c.check) << c.digits;
}

TEST(Barcode, TwelveDigitsDrawTheComputedCheckDigitThirteenTheGivenOne) {
    EXPECT_EQ(Encoded(Symbology::Ean13, "400638133393"), Encoded(Symbology::Ean13, "4006381333931"));
    EXPECT_EQ(Encoded(Symbology::Ean8, "9638507"), Encoded(Symbology::Ean8, "96385074"));
    // A wrong check digit is drawn as given: the last digit (set C) then the end guard.
    EXPECT_EQ(Encoded(Symbology::Ean13, "4006381333932").substr(85), "1101100"
                                                                     "101");
    EXPECT_EQ(Encoded(Symbology::Ean8, "96385079").substr(57), "1110100"
                                                               "101");
}

TEST(Barcode, EanGuardsAndCodeSets) {
    // 5901234123457: first digit 5 gives sets A B B A A B for digits 2 to 7.
    const std::string modules = Encoded(Symbology::Ean13, "5901234123457");
    EXPECT_EQ(modules.substr(0, 3), "101");
    EXPECT_EQ(modules.substr(3, 42), "0001011"
                                     "0100111"
                                     "0110011"
                                     "0010011"
                                     "0111101"
                                     "0011101");
    EXPECT_EQ(modules.substr(45, 5), "01010");
    EXPECT_EQ(modules.substr(50, 42), "1100110"
                                      "1101100"
                                      "1000010"
                                      "1011100"
                                      "1001110"
                                      "1000100");
    EXPECT_EQ(modules.substr(92), "101");
    const BarPattern pattern = EncodeBarcode(Symbology::Ean13, "5901234123457");
    EXPECT_TRUE(pattern.Elements.front().Guard);
    EXPECT_TRUE(pattern.Elements.back().Guard);
}

TEST(Barcode, EanDataIsReadLeniently) {
    const struct {
        Symbology symbology;
        std::string_view data, same;
    } cases[] = {
        {Symbology::Ean13, "  4006381333931 ", "4006381333931"},  // surrounding spaces
        {Symbology::Ean13, "12345", "1234500000000"},             // missing digits are zeros
        {Symbology::Ean13, "40063813339315555", "4006381333931"}, // extra digits are ignored
        {Symbology::Ean8, "123", "12300000"},
        {Symbology::Ean13, "", "123456789012"}, // empty data keeps the painter's starting code
        {Symbology::Ean8, "", "123456789012"},
        {Symbology::Code39, "", "123456789012"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Encoded(c.symbology, c.data), Encoded(c.symbology, c.same)) << c.data;
}

TEST(Barcode, Code39IsUpperCaseBetweenStars) {
    EXPECT_EQ(Encoded(Symbology::Code39, "abc-1.z"), Encoded(Symbology::Code39, "*ABC-1.Z*"));
    EXPECT_EQ(Encoded(Symbology::Code39, "*ABC"), Encoded(Symbology::Code39, "ABC*"));
    // "*" narrow-wide-narrow-narrow-wide-narrow-wide-narrow-narrow, then the one-module gap.
    EXPECT_EQ(Encoded(Symbology::Code39, "A").substr(0, 13), "1001011011010");
    EXPECT_EQ(Encoded(Symbology::Code39, " $/+%").size(), 7u * 13);
}

TEST(Barcode, BadDataIsReportedNotRaised) {
    const struct {
        Symbology symbology;
        std::string_view data;
    } cases[] = {
        {Symbology::Ean13, "40063813339A"}, {Symbology::Ean13, "    "}, {Symbology::Ean13, "4006 381333931"},
        {Symbology::Ean8, "9638-07"},       {Symbology::Ean8, " "},     {Symbology::Code39, "ABC#"},
        {Symbology::Code39, "Штрих"},       {Symbology::Code39, "a_b"},
    };
    for (const auto& c : cases) {
        const BarPattern pattern = EncodeBarcode(c.symbology, c.data);
        EXPECT_TRUE(pattern.BadData) << c.data;
        EXPECT_TRUE(pattern.Elements.empty()) << c.data;
        EXPECT_EQ(BarcodeWidth(pattern, 96), 0) << c.data;

        Bitmap canvas(120, 40);
        canvas.Fill(0, 0, 120, 40, true);
        EXPECT_FALSE(PaintBarcode(canvas, {10, 0, 110, 40}, pattern, 96)) << c.data;
        for (int y = 0; y < 40; ++y)
            for (int x = 10; x < 110; ++x)
                ASSERT_FALSE(canvas.IsBlack(x, y)) << c.data << " " << x << "," << y;
        EXPECT_TRUE(canvas.IsBlack(9, 20));
    }
    EXPECT_EQ(BarcodeErrorText, "ОШИБКА!");
}

TEST(Barcode, ModuleWidthsFollowTheResolution) {
    const struct {
        int dpi, bar;
    } cases[] = {{96, 1}, {144, 2}, {0, 1}, {-10, 1}, {125, 2}, {120, 1}, {300, 4}, {600, 7}};
    for (const auto& c : cases) {
        const ModuleWidths widths = BarcodeModuleWidths(c.dpi);
        EXPECT_EQ(widths.Bar, c.bar) << c.dpi;
        EXPECT_EQ(widths.Space, c.bar) << c.dpi;
    }
    const BarPattern ean = EncodeBarcode(Symbology::Ean13, "400638133393");
    EXPECT_EQ(BarcodeWidth(ean, 96), 95);
    EXPECT_EQ(BarcodeWidth(ean, 144), 190);
}

TEST(Barcode, PaintsModulesFromTheLeftEdgeWithATenthWhiteAboveAndBelow) {
    const BarPattern pattern = EncodeBarcode(Symbology::Ean8, "9638507");
    const std::string modules = ModuleString(pattern);
    for (const int dpi : {96, 144}) {
        const int module = BarcodeModuleWidths(dpi).Bar;
        Bitmap canvas(200, 40);
        canvas.Fill(0, 0, 200, 40, true);
        ASSERT_TRUE(PaintBarcode(canvas, {5, 0, 200, 40}, pattern, dpi));
        for (int x = 0; x < 200; ++x) {
            const int index = (x - 5) / module;
            const bool bar = x >= 5 && index < static_cast<int>(modules.size()) && modules[index] == '1';
            EXPECT_EQ(canvas.IsBlack(x, 4), x < 5 || bar) << dpi << " column " << x;
            EXPECT_EQ(canvas.IsBlack(x, 35), x < 5 || bar) << dpi << " column " << x;
            for (const int y : {0, 3, 36, 39})
                EXPECT_EQ(canvas.IsBlack(x, y), x < 5) << dpi << " " << x << "," << y;
        }
    }
    EXPECT_EQ(BarcodeErrorTextBox({5, 0, 200, 40}).X0, 9);
    EXPECT_EQ(BarcodeErrorTextBox({5, 0, 200, 40}).Y0, 4);
    EXPECT_EQ(BarcodeErrorTextBox({5, 0, 200, 40}).Y1, 36);
}

} // namespace
} // namespace veltrano::output
