#include "output/picture/barcode_picture.h"
#include "output/picture/qr_picture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace veltrano::output {
namespace {

BarcodePictureSettings Settings(int ribbonWidth, int barcodeSize, int barcodeHeight, int qrSize) {
    BarcodePictureSettings settings;
    settings.RibbonWidth = ribbonWidth;
    settings.BarcodeSize = barcodeSize;
    settings.BarcodeHeight = barcodeHeight;
    settings.QRSize = qrSize;
    return settings;
}

int BlackColumns(const Bitmap& picture, int y) {
    int count = 0;
    for (int x = 0; x < picture.Width(); ++x)
        count += picture.IsBlack(x, y);
    return count;
}

TEST(QrModules, OnePixelPerModuleWithAQuietZoneOfFour) {
    const Bitmap modules = QrModules("HELLO");
    ASSERT_EQ(modules.Width(), 21 + 8); // version 1
    ASSERT_EQ(modules.Height(), 21 + 8);
    for (int i = 0; i < modules.Width(); ++i)
        for (const int edge : {0, 3, modules.Width() - 4, modules.Width() - 1}) {
            EXPECT_FALSE(modules.IsBlack(i, edge)) << i << "," << edge;
            EXPECT_FALSE(modules.IsBlack(edge, i)) << edge << "," << i;
        }
    // Finder patterns: dark outer ring, light ring, dark centre, in three corners.
    for (const auto& [x, y] :
         {std::pair{4, 4}, std::pair{modules.Width() - 11, 4}, std::pair{4, modules.Width() - 11}}) {
        EXPECT_TRUE(modules.IsBlack(x, y));
        EXPECT_TRUE(modules.IsBlack(x + 6, y + 6));
        EXPECT_FALSE(modules.IsBlack(x + 1, y + 1));
        EXPECT_TRUE(modules.IsBlack(x + 3, y + 3));
    }
}

TEST(QrModules, LevelLChoosesTheSmallestSymbolForTheMode) {
    const struct {
        std::string text;
        int side;
    } cases[] = {
        {std::string(41, '7'), 21 + 8}, // numeric: 41 digits fit version 1
        {std::string(42, '7'), 25 + 8},
        {std::string(25, 'A'), 21 + 8}, // alphanumeric
        {std::string(17, 'a'), 21 + 8}, // bytes
        {std::string(18, 'a'), 25 + 8},
        {std::string(2953, 'a'), 177 + 8}, // the largest symbol holds 2953 bytes
        {std::string(7089, '1'), 177 + 8},
        {"", 21 + 8},
    };
    for (const auto& c : cases)
        EXPECT_EQ(QrModules(c.text).Width(), c.side) << c.text.size() << " characters";
}

TEST(QrModules, TextTooLongForAnySymbolGivesNoPicture) {
    for (const std::string& text : {std::string(2954, 'a'), std::string(7090, '1'), std::string(5000, 'Z')}) {
        EXPECT_TRUE(QrModules(text).Empty()) << text.size();
        EXPECT_TRUE(DrawBarcodePicture(text, QrCodeKind, {}).Picture.Empty()) << text.size();
        EXPECT_EQ(BarcodePictureRaster(text, QrCodeKind, {}), "") << text.size();
    }
}

TEST(QrPicture, SquareOfFortyDotsPerStepCentredOnThePaper) {
    const std::string data = "t=20240115T1030&s=1250.50";
    const Bitmap modules = QrModules(data);
    const Bitmap picture = DrawBarcodePicture(data, QrCodeKind, Settings(78, 3, 60, 6)).Picture;
    ASSERT_EQ(picture.Width(), 624);
    ASSERT_EQ(picture.Height(), 240);
    Bitmap square(240, 240);
    StretchDraw(square, 0, 0, 240, 240, modules);
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 624; ++x)
            ASSERT_EQ(picture.IsBlack(x, y), x >= 192 && x < 432 && square.IsBlack(x - 192, y))
                << x << "," << y;
}

TEST(QrPicture, SizeTwelveOnFiftyEightMillimetresFillsTheWholePicture) {
    const std::string data = "HELLO 12";
    const int side = QrModules(data).Width();
    const Bitmap picture = DrawBarcodePicture(data, QrCodeKind, Settings(58, 3, 60, 12)).Picture;
    ASSERT_EQ(picture.Width(), 464);
    ASSERT_EQ(picture.Height(), 480);
    Bitmap whole(464, 480);
    StretchDraw(whole, 0, 0, 464, 480, QrModules(data));
    int differences = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 464; ++x)
            differences += picture.IsBlack(x, y) != whole.IsBlack(x, y);
    EXPECT_EQ(differences, 0);
    // The first dark module is the finder's corner, four modules in: slightly taller than wide.
    const int left = 4 * 464 / side, top = 4 * 480 / side;
    EXPECT_TRUE(picture.IsBlack(left + 1, top + 1));
    EXPECT_FALSE(picture.IsBlack(left - 1, top + 1));
    EXPECT_FALSE(picture.IsBlack(left + 1, top - 1));
}

TEST(BarcodePicture, DrawingWidthAndStretchFollowTheSizeStep) {
    const struct {
        int ribbonWidth, barcodeSize, barcodeHeight;
        int width, height; // of the final picture
        int drawing;       // width before the stretch
    } cases[] = {
        {78, 1, 60, 624, 60, 624},                               // no stretch
        {78, 3, 60, 624, 75, 496},   {78, 6, 60, 624, 120, 312}, // twice as large
        {58, 6, 50, 464, 100, 232},  {57, 6, 60, 456, 122, 224}, // 28.5 mm rounds to 28
        {55, 6, 60, 440, 117, 224},                              // 27.5 mm rounds to 28
        {80, 2, 100, 640, 111, 576},
    };
    for (const auto& c : cases) {
        const BarcodePicture picture = DrawBarcodePicture(
            "400638133393", Ean13Kind, Settings(c.ribbonWidth, c.barcodeSize, c.barcodeHeight, 6));
        EXPECT_FALSE(picture.BadData);
        EXPECT_EQ(picture.Picture.Width(), c.width) << c.ribbonWidth << " mm, size " << c.barcodeSize;
        EXPECT_EQ(picture.Picture.Height(), c.height) << c.ribbonWidth << " mm, size " << c.barcodeSize;
        // 95 one-pixel modules, centred in the drawing width, then stretched with it.
        int first = -1, last = -1;
        const int middle = c.height / 2;
        for (int x = 0; x < c.width; ++x)
            if (picture.Picture.IsBlack(x, middle)) {
                last = x;
                if (first < 0)
                    first = x;
            }
        EXPECT_NEAR(first, (c.drawing - 95) / 2 * c.width / c.drawing, 1)
            << c.ribbonWidth << " mm, size " << c.barcodeSize;
        EXPECT_NEAR(last - first + 1, 95 * c.width / c.drawing, 1)
            << c.ribbonWidth << " mm, size " << c.barcodeSize;
    }
}

TEST(BarcodePicture, SizeOneDrawsOnePixelModulesUnstretched) {
    const Bitmap picture = DrawBarcodePicture("9638507", Ean8Kind, Settings(78, 1, 40, 6)).Picture;
    ASSERT_EQ(picture.Width(), 624);
    ASSERT_EQ(picture.Height(), 40);
    Bitmap expected(624, 40);
    PaintBarcode(expected, {(624 - 67) / 2, 0, 624, 40}, EncodeBarcode(Symbology::Ean8, "9638507"), 96);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 624; ++x)
            ASSERT_EQ(picture.IsBlack(x, y), expected.IsBlack(x, y)) << x << "," << y;
    EXPECT_EQ(BlackColumns(picture, 3), 0);
    EXPECT_GT(BlackColumns(picture, 4), 0);
    EXPECT_EQ(BlackColumns(picture, 36), 0);
}

TEST(BarcodePicture, BadDataLeavesTheErrorTextToTheWriter) {
    std::vector<PictureBox> boxes;
    std::vector<std::string> texts;
    const PictureTextWriter writer = [&](Bitmap& picture, const PictureBox& box, std::string_view text) {
        EXPECT_EQ(picture.Width(), 496); // written before the stretch
        EXPECT_EQ(picture.Height(), 60);
        boxes.push_back(box);
        texts.emplace_back(text);
        picture.Fill(box.X0, box.Y0, box.X1, box.Y1, true);
    };
    const BarcodePicture picture =
        DrawBarcodePicture("40063813339A", Ean13Kind, Settings(78, 3, 60, 6), writer);
    EXPECT_TRUE(picture.BadData);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(texts[0], "ОШИБКА!");
    // No bars: the box starts in the middle of the drawing, 4 pixels in, a tenth of the height from the
    // edges.
    EXPECT_EQ(boxes[0].X0, 248 + 4);
    EXPECT_EQ(boxes[0].Y0, 6);
    EXPECT_EQ(boxes[0].X1, 496);
    EXPECT_EQ(boxes[0].Y1, 54);
    ASSERT_EQ(picture.Picture.Width(), 624);
    ASSERT_EQ(picture.Picture.Height(), 75);
    EXPECT_TRUE(picture.Picture.IsBlack(400, 37));
    EXPECT_FALSE(picture.Picture.IsBlack(100, 37));

    const struct {
        int kind;
        std::string_view data;
    } bad[] = {{Ean13Kind, "   "}, {Ean8Kind, "12A4567"}, {Code39Kind, "a#b"}};
    for (const auto& c : bad) {
        const BarcodePicture unwritten = DrawBarcodePicture(c.data, c.kind, Settings(78, 3, 60, 6));
        EXPECT_TRUE(unwritten.BadData) << c.data;
        EXPECT_EQ(unwritten.Picture.Width(), 624) << c.data;
        for (int y = 0; y < unwritten.Picture.Height(); ++y)
            ASSERT_EQ(BlackColumns(unwritten.Picture, y), 0) << c.data;
    }
}

TEST(BarcodePicture, OtherKindsAndEmptySizesGiveNothing) {
    const struct {
        int kind;
        BarcodePictureSettings settings;
    } cases[] = {
        {4, Settings(78, 3, 60, 6)},
        {99, Settings(78, 3, 60, 6)},
        {-1, Settings(78, 3, 60, 6)},
        {Ean13Kind, Settings(78, 11, 60, 6)}, // no drawing width
        {Ean13Kind, Settings(78, 3, 0, 6)},
        {QrCodeKind, Settings(78, 3, 60, 0)},
        {Code39Kind, Settings(0, 3, 60, 6)},
        {QrCodeKind, Settings(78, 3, 60, 2000000)},  // taller than the printer can address
        {Ean13Kind, Settings(10000, 3, 60, 6)},      // wider
        {Ean13Kind, Settings(78, 3, 2000000000, 6)}, // taller
        {Ean13Kind, Settings(78, 10, 60000, 6)},     // stretched taller
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(DrawBarcodePicture("123", c.kind, c.settings).Picture.Empty()) << c.kind;
        EXPECT_EQ(BarcodePictureRaster("123", c.kind, c.settings), "") << c.kind;
    }
}

TEST(BarcodePicture, RasterIsTheRenderedPicture) {
    const std::string raster = BarcodePictureRaster("ABC", Code39Kind, Settings(78, 3, 60, 6));
    // 75 rows: four bands of 624 columns.
    EXPECT_EQ(raster.size(), 3 + 4 * (5 + 3 * 624 + 2) + 3u);
    EXPECT_EQ(raster.substr(3, 5), std::string("\x1B*\x21\x70\x02", 5));
}

} // namespace
} // namespace veltrano::output
