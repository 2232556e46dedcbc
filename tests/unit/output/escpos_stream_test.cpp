#include "output/escpos/code_page.h"
#include "output/escpos/document_stream.h"
#include "output/picture/barcode_picture.h"
#include "output/picture/eac_logo.h"
#include "output/picture/graphic_text.h"
#include "output/picture/raster.h"
#include "picture_test_support.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace veltrano::output {
namespace {

using namespace std::string_literals;

// The codes a device decodes from the settings' default strings.
EscCodes DefaultCodes() {
    EscCodes codes;
    codes.ESCInit = ParseEscCode("27+64");
    codes.ESCRus = ParseEscCode("27+116+6");
    codes.ESCCut = ParseEscCode("29+86+1");
    codes.ESCFntBoldOn = ParseEscCode("27+71+01");
    codes.ESCFntBoldOff = ParseEscCode("27+69+0");
    codes.ESCFntItalicOn = ParseEscCode("27+52+00");
    codes.ESCFntItalicOff = ParseEscCode("27+52+0");
    codes.ESCFntUnderlineOn = ParseEscCode("27+45+2");
    codes.ESCFntUnderlineOff = ParseEscCode("27+45+0");
    codes.ESCFntInvertOn = ParseEscCode("29+66+01");
    codes.ESCFntInvertOff = ParseEscCode("29+66+00");
    codes.ESCFont1On = ParseEscCode("27+33+10");
    codes.ESCFont1Off = ParseEscCode("27+33+00");
    codes.ESCFont2On = ParseEscCode("27+33+20");
    codes.ESCFont2Off = ParseEscCode("27+33+00");
    codes.ESCFont3On = ParseEscCode("27+33+30");
    codes.ESCFont3Off = ParseEscCode("27+33+00");
    codes.ESCCustomFontOn = ParseEscCode("27+33+40");
    codes.ESCCustomFontOff = ParseEscCode("27+33+00");
    return codes;
}

PrintSettings DefaultSettings() {
    PrintSettings settings;
    settings.Codes = DefaultCodes();
    settings.GraphicText = {
        GraphicTextFont{"Arial", 10, ""}, GraphicTextFont{"Times New Roman", 15, "bold italic "},
        GraphicTextFont{"Tahoma", 8, "underline"}, GraphicTextFont{"Verdana", 13, "bold strikeout "},
        GraphicTextFont{"Courier New", 20, ""}};
    return settings;
}

ReceiptEntries Lines(const std::vector<std::string>& lines) {
    ReceiptEntries entries;
    for (const std::string& line : lines)
        entries.push_back({line, TextLineObject()});
    return entries;
}

ReceiptEntry Item(int kind, const std::string& text) {
    return {text, MakePrintObject(kind, text)};
}

const std::string Init = "\x1B@\x1Bt\x06";
const std::string Feed = " \r\n";
const std::string Cut = "\x1DV\x01";

TEST(DocumentStream, APlainLineWithDefaultSettings) {
    const std::string line(42, 'A');
    EXPECT_EQ(EncodeDocument(Lines({line}), DefaultSettings(), false), Init + line + "\r\n" + Feed + Cut);
}

TEST(DocumentStream, FeedAndCutFollowTheSettingsAndTheFlag) {
    PrintSettings settings = DefaultSettings();
    settings.FeedLineCount = 3;
    EXPECT_EQ(EncodeDocument(Lines({"x"}), settings, false), Init + "x\r\n" + Feed + Feed + Feed + Cut);
    settings.FeedLineCount = 0;
    EXPECT_EQ(EncodeDocument(Lines({"x"}), settings, true), Init + "x\r\n");
    settings.FeedLineCount = -4;
    EXPECT_EQ(EncodeDocument({}, settings, false), Init + Cut);
    // A mistyped huge setting feeds a bounded strip instead of taking the memory.
    settings.FeedLineCount = 1'000'000'000'000;
    EXPECT_EQ(EncodeDocument({}, settings, true).size(), Init.size() + MaxFeedLines * Feed.size());
    // Codes that did not parse send nothing.
    PrintSettings empty;
    empty.FeedLineCount = 0;
    EXPECT_EQ(EncodeDocument(Lines({"x"}), empty, false), "x\r\n");
}

TEST(DocumentStream, TagsBecomeTheirCodesAndLeaveNoMarkup) {
    const PrintSettings settings = DefaultSettings();
    EXPECT_EQ(EncodeTextLine("Участие [b]дисконт[/b] ", settings),
              EncodeForPrinter("Участие ", 866) + "\x1BG\x01"s + EncodeForPrinter("дисконт", 866) +
                  "\x1B\x45\x00"s + " \r\n");
    const struct {
        std::string line;
        std::string bytes;
    } cases[] = {
        {"[I]a[/i]", "\x1B\x34\x00"s + "a" + "\x1B\x34\x00"s},
        {"[u]a[/U]", "\x1B-\x02"s + "a" + "\x1B-\x00"s},
        {"[invert]a[/invert]", "\x1D\x42\x01"s + "a" + "\x1D\x42\x00"s},
        {"[font1][/font1][font2][/font2][font3][/font3]",
         "\x1B!\x0A\x1B!\x00\x1B!\x14\x1B!\x00\x1B!\x1E\x1B!\x00"s},
        {"[customfont]a[/customfont]", "\x1B!\x28"s + "a" + "\x1B!\x00"s},
        {"a[cut]b[отрезка]c", "a" + Cut + "b" + Cut + "c"},
        // A graphic-text tag without its counterpart is dropped.
        {"[gt3]без пары", EncodeForPrinter("без пары", 866)},
        {"x[/gt1]", "x"},
        {"[bold] [ b]", "[bold] [ b]"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EncodeTextLine(c.line, settings), c.bytes + "\r\n") << c.line;
}

TEST(DocumentStream, TheCutMarkerLineIsACutAloneWithoutLineEnd) {
    PrintSettings settings = DefaultSettings();
    EXPECT_EQ(EncodeTextLine("до [CUT] после", settings), Cut);
    EXPECT_EQ(EncodeTextLine("до [cut] после", settings),
              EncodeForPrinter("до ", 866) + Cut + EncodeForPrinter(" после", 866) + "\r\n");
    settings.CutMarker = "ИТОГ";
    EXPECT_EQ(EncodeDocument(Lines({"ИТОГО  =10.00", "итог"}), settings, true),
              Init + Cut + EncodeForPrinter("итог", 866) + "\r\n" + Feed);
    settings.CutMarker.clear();
    EXPECT_EQ(EncodeTextLine("a", settings), "a\r\n");
}

TEST(DocumentStream, AGraphicTextLineIsThePictureOfItsBlockAlone) {
    const PrintSettings settings = DefaultSettings();
    const std::string expected = RenderBitmap(
        GetGraphicText("Слово", 64, 15, "Times New Roman", "bold italic ", "center", "center"), 0);
    ASSERT_GT(expected.size(), 100u);
    EXPECT_EQ(EncodeTextLine("текст [GT2]Слово[/gt2] хвост", settings), expected);
    EXPECT_EQ(RenderGraphicTextLine("[gt2]Слово[//gt4]", settings), expected);
    EXPECT_EQ(RenderGraphicTextLine("[gt2]Слово", settings), std::nullopt);

    Bitmap picture;
    ASSERT_TRUE(picture_test::UnpackRaster(expected, picture));
    EXPECT_EQ(picture.Width(), 512);
}

TEST(DocumentStream, GraphicTextEntriesAndTheLogoArePictures) {
    PrintSettings settings = DefaultSettings();
    settings.Geometry.RibbonWidth = 58;
    settings.Geometry.EACAlignment = 2;
    auto descriptor = MakePrintObject(KindGraphicText, "Акция");
    descriptor->FontName = "Verdana";
    descriptor->FontSize = 12;
    descriptor->FontStyle = "underline";
    const ReceiptEntries entries{{"Акция", descriptor}, {"Товар [EAC]", TextLineObject()}};

    const PlacedLogo logo = PlaceEacLogo(EacLogo(), 2, 2, 58);
    const std::string graphic =
        RenderBitmap(GetGraphicText("Акция", 44, 12, "Verdana", "underline", "center", "center"), 0);
    EXPECT_EQ(EncodeDocument(entries, settings, false), Init + graphic + EncodeForPrinter("Товар ", 866) +
                                                            "\r\n" + RenderBitmap(logo.Logo, logo.Margin) +
                                                            "\r\n" + Feed + Cut);
    EXPECT_EQ(logo.Margin, 58 * 8 - 64);
}

TEST(DocumentStream, BarcodeCommands) {
    const PrintSettings settings = DefaultSettings();
    const std::string ean13 = "4601234567893";
    EXPECT_EQ(EncodeDocument({Item(KindEAN13, ean13)}, settings, true),
              Init + "\x1B\x61\x01\x1DH\x30\x1Dh\x3C\x1Dk\x02"s + ean13 + "\0\x1B\x61\x00"s + Feed);
    EXPECT_EQ(BarcodeCommand("46120441", KindEAN8, 1, 300, 6),
              "\x1B\x61\x02\x1DH\x30\x1Dh\x2C\x1Dk\x03"s + "46120441" + "\0\x1B\x61\x00"s);
    EXPECT_EQ(BarcodeCommand("abc-1", KindCode39, 0, 60, 6),
              "\x1B\x61\x00\x1DH\x30\x1Dh\x3C\x1Dk\x04"s + "abc-1" + "\0\x1B\x61\x00"s);
    // Characters outside ASCII go as "?"; the barcode is the printer's to refuse.
    EXPECT_EQ(BarcodeCommand("Я1", KindCode39, 2, 60, 6),
              "\x1B\x61\x01\x1DH\x30\x1Dh\x3C\x1Dk\x04"s + "?1" + "\0\x1B\x61\x00"s);
    EXPECT_EQ(BarcodeCommand("1", 7, 2, 60, 6), "");
}

TEST(DocumentStream, QrCommandsCarryTheModuleSizeAndTheStoreLength) {
    for (const auto& [length, pL, pH] : {std::tuple{100, 103, 0}, std::tuple{300, 47, 1}}) {
        const std::string data(static_cast<std::size_t>(length), 'q');
        const std::string expected = "\x1B\x61\x01"s + "\x1D(k\x03\x00\x31\x43\x0A"s +
                                     "\x1D(k\x03\x00\x31\x45\x31"s + "\x1D(k"s + static_cast<char>(pL) +
                                     static_cast<char>(pH) + "\x31\x50\x30"s + data +
                                     "\x1D(k\x03\x00\x31\x51\x30"s + "\x1B\x61\x00"s;
        EXPECT_EQ(BarcodeCommand(data, KindQRCode, 2, 60, 10), expected) << length;
    }
    // More than a version-40 symbol holds: nothing for this item, the rest of the document goes on.
    PrintSettings settings = DefaultSettings();
    settings.FeedLineCount = 0;
    EXPECT_EQ(
        EncodeDocument({Item(KindQRCode, std::string(3000, 'x')), {"a", TextLineObject()}}, settings, true),
        Init + "a\r\n");
}

TEST(DocumentStream, BarcodesAsPicturesAreThePicturesAcrossThePaper) {
    PrintSettings settings = DefaultSettings();
    settings.BarcodeAsPicture = true;
    settings.FeedLineCount = 0;
    const BarcodePictureSettings geometry{78, 60, 3, 6};
    const std::string qr = "t=20240115T1030&s=1250.50&fn=9999078900004792&i=15&fp=3522207165&n=1";
    EXPECT_EQ(EncodeDocument({Item(KindQRCode, qr), Item(KindEAN8, "46120441")}, settings, true),
              Init + BarcodePictureRaster(qr, QrCodeKind, geometry) +
                  BarcodePictureRaster("46120441", Ean8Kind, geometry));

    // Data that cannot be encoded prints the error text instead of bars.
    Bitmap picture;
    ASSERT_TRUE(picture_test::UnpackRaster(SetBarcodeAsPicture("12ab", KindEAN13, 2, {}), picture));
    int black = 0;
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x)
            black += picture.IsBlack(x, y) ? 1 : 0;
    EXPECT_GT(black, 100);
    EXPECT_EQ(picture.Width(), 624);
}

TEST(CodePage, EachPageHasItsLettersAndAQuestionMarkForTheRest) {
    const struct {
        int codePage;
        std::string text;
        std::string bytes;
    } cases[] = {
        {866, "АЯаяЁё№ ok", "\x80\x9F\xA0\xEF\xF0\xF1\xFC ok"},
        {1251, "АЯаяЁё№€", "\xC0\xDF\xE0\xFF\xA8\xB8\xB9\x88"},
        {1254, "ĞğİıŞş€Ÿ", "\xD0\xF0\xDD\xFD\xDE\xFE\x80\x9F"},
        {28599, "ĞğİıŞşÿ€", "\xD0\xF0\xDD\xFD\xDE\xFE\xFF?"},
        {1254, "Привет", "??????"},
        {866, "ĞŞ€", "???"},
        // Bytes that are no UTF-8 each become one "?".
        {1251, "a\xFF\xC3(\xE2\x82",
         "a?"
         "?(?"
         "?"},
        // Any other number is taken for 866.
        {437, "Ж", "\x86"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EncodeForPrinter(c.text, c.codePage), c.bytes) << c.codePage << " " << c.text;
}

TEST(DocumentStream, TheLineIsEncodedInTheCodePageOfTheSettings) {
    PrintSettings settings = DefaultSettings();
    settings.PrinterCodePage = 1251;
    EXPECT_EQ(EncodeTextLine("[b]Чек[/b]", settings), "\x1BG\x01\xD7\xE5\xEA\x1B\x45\x00\r\n"s);
    settings.PrinterCodePage = 28599;
    EXPECT_EQ(EncodeTextLine("Çek", settings), "\xC7"
                                               "ek\r\n"s);
}

} // namespace
} // namespace veltrano::output
