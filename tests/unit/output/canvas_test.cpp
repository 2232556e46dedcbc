// The document canvas drawn headless: its geometry, the pixels of each kind of band, and a QR code read back
// out of the picture by an independent reader.
#include "output/canvas/document_canvas.h"

#include "output/picture/eac_logo.h"
#include "output/picture/font_cache.h"
#include "output/picture/graphic_text.h"
#include "output/picture/monospace_text.h"
#include "picture_test_support.h"
#include "picture_text_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <string>

namespace veltrano::output {
namespace {

using test::InkBox;
using test::InkOf;

constexpr std::size_t Line = 42;

Bitmap ToBitmap(const window_protocol::Picture& picture) {
    Bitmap bitmap(static_cast<int>(picture.Width), static_cast<int>(picture.Height));
    for (std::uint32_t y = 0; y < picture.Height; ++y)
        for (std::uint32_t x = 0; x < picture.Width; ++x)
            if (window_protocol::IsDark(picture, x, y))
                bitmap.Set(static_cast<int>(x), static_cast<int>(y), true);
    return bitmap;
}

// The rows [top, bottom) of a picture.
Bitmap Band(const Bitmap& picture, int top, int bottom) {
    Bitmap band(picture.Width(), bottom - top);
    for (int y = top; y < bottom; ++y)
        for (int x = 0; x < picture.Width(); ++x)
            band.Set(x, y - top, picture.IsBlack(x, y));
    return band;
}

ReceiptEntry Text(std::string line) {
    return {std::move(line), TextLineObject()};
}

ReceiptEntry Item(int kind, std::string text) {
    return {text, MakePrintObject(kind, text)};
}

ReceiptEntry Graphic(std::string text, int fontSize, std::string fontName = "Arial", std::string style = "") {
    auto object = MakePrintObject(KindGraphicText, text);
    object->FontSize = fontSize;
    object->FontName = std::move(fontName);
    object->FontStyle = std::move(style);
    return {std::move(text), object};
}

std::string Padded(std::string text) {
    text.resize(Line, ' ');
    return text;
}

TEST(DocumentCanvas, MeasuresCourierNewAtEightPointsOnTheScreen) {
    const DocumentCanvas canvas(Line);
    const MonospaceText font(PixelsFromPoints(8, 96));
    EXPECT_EQ(canvas.SymbWidth(), font.CellWidth());
    EXPECT_EQ(canvas.SymbHeight(), font.TextHeight() + 1);
    EXPECT_EQ(canvas.LineWidth(), canvas.SymbWidth() * 42);
    EXPECT_GT(canvas.SymbWidth(), 4);
    EXPECT_EQ(DocumentCanvas(24).LineWidth(), canvas.SymbWidth() * 24);
}

TEST(DocumentCanvas, TwoLinesAQrCodeAndABarcodeMakeTheirBandsInOrder) {
    const DocumentCanvas canvas(Line);
    const ReceiptEntries copy{Text(Padded("КАССОВЫЙ ЧЕК")), Text("ИТОГО" + std::string(30, ' ') + "=100.00"),
                              Item(KindQRCode, "t=20240501T0900&s=100.00&fn=9999078900004312&i=15&fp=1&n=1"),
                              Item(KindEAN13, "2900001462105"), Text(Padded("Спасибо за покупку"))};
    const CanvasDrawing drawing = canvas.Draw(copy);
    const int h = canvas.SymbHeight();
    ASSERT_EQ(drawing.Picture.Width, static_cast<std::uint32_t>(canvas.LineWidth()));
    ASSERT_EQ(drawing.Picture.Height, static_cast<std::uint32_t>(3 * h + 100 + 40));
    EXPECT_EQ(drawing.ItemsLeftOut, 0u);
    const Bitmap picture = ToBitmap(drawing.Picture);
    const int width = canvas.LineWidth();

    // Text lines start at the left edge of their cells, after the barcode as well.
    for (int top : {0, h, 2 * h + 140}) {
        const InkBox ink = InkOf(Band(picture, top, top + h));
        ASSERT_FALSE(ink.Empty()) << top;
        EXPECT_LT(ink.Left, canvas.SymbWidth()) << top;
    }
    // The second line's right part ends in the last cell.
    EXPECT_GT(InkOf(Band(picture, h, 2 * h)).Right, width - canvas.SymbWidth());

    // The QR code fills a centred 100-pixel square, its quiet zone white.
    const InkBox qr = InkOf(Band(picture, 2 * h, 2 * h + 100));
    const int qrLeft = (width - 100) / 2;
    EXPECT_GE(qr.Left, qrLeft);
    EXPECT_LE(qr.Right, width - qrLeft);
    EXPECT_NEAR((qr.Left + qr.Right) / 2.0, width / 2.0, 2.0);
    EXPECT_GT(qr.Top, 0);
    EXPECT_LT(qr.Bottom, 100);

    // The barcode: one-pixel modules centred across the line, a tenth of the band free above and below.
    const InkBox bars = InkOf(Band(picture, 2 * h + 100, 2 * h + 140));
    const int barsWidth = 95; // EAN-13: 95 modules
    EXPECT_EQ(bars.Left, (width - barsWidth) / 2);
    EXPECT_EQ(bars.Right - bars.Left, barsWidth);
    EXPECT_EQ(bars.Top, 4);
    EXPECT_EQ(bars.Bottom, 36);
}

TEST(DocumentCanvas, TheQrCodeReadsBackOutOfThePicture) {
    if (!picture_test::ProgramInstalled("ZXingReader"))
        GTEST_SKIP() << "ZXingReader (zxing-cpp-tools) is needed";
    const std::string data = "t=20240501T0900&s=1234.50&fn=9999078900004312&i=27&fp=3164512089&n=1";
    const DocumentCanvas canvas(Line);
    const Bitmap picture = ToBitmap(canvas.Draw({Text(Padded("Чек")), Item(KindQRCode, data)}).Picture);
    picture_test::ScratchFolder folder;
    const std::string file = (folder.Path() / "canvas.png").string();
    picture_test::WritePng(picture, file);
    const std::string out = picture_test::CommandOutput("ZXingReader '" + file + "' 2>&1");
    std::smatch text;
    ASSERT_TRUE(std::regex_search(out, text, std::regex("Text: *\"([^\"]*)\""))) << out;
    EXPECT_EQ(text[1].str(), data);
    EXPECT_NE(out.find("QRCode"), std::string::npos) << out;
}

TEST(DocumentCanvas, GraphicTextIsScaledToTheFullLineWidthWhateverItsSize) {
    const DocumentCanvas canvas(Line);
    for (int size : {8, 14, 30}) {
        const Bitmap rendered =
            GetGraphicText("Графический текст", 80, size, "Arial", "bold", "center", "top");
        ASSERT_EQ(rendered.Width(), 640);
        const CanvasDrawing drawing = canvas.Draw({Graphic("Графический текст", size, "Arial", "bold")});
        EXPECT_EQ(drawing.Picture.Height,
                  static_cast<std::uint32_t>(
                      std::lround(static_cast<double>(rendered.Height()) * canvas.LineWidth() / 640)))
            << size;
        const InkBox ink = InkOf(ToBitmap(drawing.Picture));
        ASSERT_FALSE(ink.Empty()) << size;
        // Centred on 640 dots, centred on the line.
        EXPECT_NEAR((ink.Left + ink.Right) / 2.0, canvas.LineWidth() / 2.0, canvas.LineWidth() / 20.0)
            << size;
    }
}

TEST(DocumentCanvas, GraphicTextThatDoesNotFitStaysWithinTheLine) {
    const DocumentCanvas canvas(Line);
    const std::string word(60, 'W');
    const CanvasDrawing drawing =
        canvas.Draw({Graphic(word + " " + word, 48), Graphic("", 12), Text(Padded("x"))});
    const Bitmap picture = ToBitmap(drawing.Picture);
    EXPECT_EQ(picture.Width(), canvas.LineWidth());
    // Each over-long word takes a line of its own, cut with an ellipsis; the empty block adds nothing.
    const Bitmap rendered = GetGraphicText(word + " " + word, 80, 48, "Arial", "", "center", "top");
    const int band =
        static_cast<int>(std::lround(static_cast<double>(rendered.Height()) * canvas.LineWidth() / 640));
    EXPECT_EQ(picture.Height(), band + canvas.SymbHeight());
    const InkBox ink = InkOf(Band(picture, 0, band));
    EXPECT_FALSE(ink.Empty());
    EXPECT_LE(ink.Right, canvas.LineWidth());
}

TEST(DocumentCanvas, TheEacLogoIsFittedIntoTwentyPixelsAndCentred) {
    const DocumentCanvas canvas(Line);
    const Bitmap logo = FitKeepingProportions(EacLogo(), 20, 20);
    ASSERT_EQ(logo.Width(), 20);
    const Bitmap picture = ToBitmap(canvas.Draw({Text(Padded("Товар")), Item(KindEACLogo, "EAC")}).Picture);
    ASSERT_EQ(picture.Height(), canvas.SymbHeight() + logo.Height());
    const int x = static_cast<int>(std::lround(canvas.LineWidth() / 2.0 - 10));
    const Bitmap drawn = Band(picture, canvas.SymbHeight(), picture.Height());
    for (int y = 0; y < logo.Height(); ++y)
        for (int px = 0; px < canvas.LineWidth(); ++px)
            ASSERT_EQ(drawn.IsBlack(px, y), px >= x && px < x + 20 && logo.IsBlack(px - x, y))
                << px << "," << y;
}

TEST(DocumentCanvas, BadBarcodeDataDrawsTheErrorTextInsteadOfBars) {
    const DocumentCanvas canvas(Line);
    const Bitmap picture = ToBitmap(canvas.Draw({Item(KindEAN8, "12AB")}).Picture);
    ASSERT_EQ(picture.Height(), 40);
    const InkBox ink = InkOf(picture);
    ASSERT_FALSE(ink.Empty());
    // Seven characters of text, not a symbol of bars: far narrower than EAN-8's 67 modules would need
    // as a solid run, and vertically in the middle of the band.
    EXPECT_LE(ink.Right - ink.Left, 7 * canvas.SymbWidth());
    EXPECT_GT(ink.Top, 4);
    EXPECT_LT(ink.Bottom, 36);
}

TEST(DocumentCanvas, AFiveThousandLineDocumentIsDrawnWhole) {
    const DocumentCanvas canvas(Line);
    ReceiptEntries copy;
    for (int i = 0; i < 5000; ++i)
        copy.push_back(Text(Padded("Позиция " + std::to_string(i + 1))));
    const CanvasDrawing drawing = canvas.Draw(copy);
    EXPECT_EQ(drawing.ItemsLeftOut, 0u);
    ASSERT_EQ(drawing.Picture.Height, static_cast<std::uint32_t>(5000 * canvas.SymbHeight()));
    const Bitmap picture = ToBitmap(drawing.Picture);
    const int h = canvas.SymbHeight();
    EXPECT_FALSE(InkOf(Band(picture, 4999 * h, 5000 * h)).Empty());
    // "Позиция 5000" is one character longer than "Позиция 999".
    EXPECT_GT(InkOf(Band(picture, 4999 * h, 5000 * h)).Right, InkOf(Band(picture, 998 * h, 999 * h)).Right);
}

TEST(DocumentCanvas, ADocumentTallerThanAMessageCanCarryIsCut) {
    // The widest line the window program takes: about 5,000 lines fill a message.
    const DocumentCanvas canvas(2000);
    ASSERT_EQ(canvas.LineWidth(), static_cast<int>(window_protocol::MaxPictureWidth));
    const int fit = canvas.MaxHeight() / canvas.SymbHeight();
    const ReceiptEntries copy(static_cast<std::size_t>(fit) + 7, Text(""));
    const CanvasDrawing drawing = canvas.Draw(copy);
    EXPECT_EQ(drawing.ItemsLeftOut, 7u);
    EXPECT_EQ(drawing.Picture.Height, static_cast<std::uint32_t>(fit * canvas.SymbHeight()));
    EXPECT_LE(drawing.Picture.Pixels.size() + (1u << 20), window_protocol::MaxFrameBytes);
}

struct VisibleCase {
    const char* name;
    std::u32string text;
    std::size_t lineLen;
    std::u32string shown;
};

TEST(DocumentCanvas, ALineCellShowsTheWordsThatFit) {
    const VisibleCase cases[] = {
        {"fits", U"ИТОГО  =1.00", 12, U"ИТОГО  =1.00"},
        {"shorter", U"abc", 12, U"abc"},
        {"wraps at the last space in the cell", U"один два три четыре", 11, U"один два"},
        {"a space right after the cell keeps the whole cell", U"один два три четыре", 12, U"один два три"},
        {"a space just past the edge", U"abcd efgh ijk", 9, U"abcd efgh"},
        {"a word longer than the cell is cut", U"abcdefghijklmnop qr", 10, U"abcdefghij"},
        {"a line break ends what is shown", U"first\nsecond", 12, U"first"},
        {"a lone carriage return too", U"a\rb", 12, U"a"},
    };
    for (const VisibleCase& c : cases)
        EXPECT_EQ(VisibleLinePart(c.text, c.lineLen), c.shown) << c.name;
}

} // namespace
} // namespace veltrano::output
