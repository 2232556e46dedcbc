// Barcode and QR pictures are checked with the independent readers ZXingReader (zxing-cpp-tools) and zbarimg
// (zbar-tools): the raster is read back out of the ESC/POS bands, written as a PNG and decoded.
#include "output/picture/barcode_picture.h"
#include "output/picture/qr_picture.h"

#include "picture_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <string>

namespace veltrano::output {
namespace {

using picture_test::CommandOutput;
using picture_test::ProgramInstalled;
using picture_test::ScratchFolder;
using picture_test::UnpackRaster;
using picture_test::WritePng;

struct ReaderCase {
    std::string_view name;
    int kind;
    std::string data;
    BarcodePictureSettings settings;
    std::string zxingFormat, zbarType, text;
};

std::string Field(const std::string& output, const std::string& pattern) {
    std::smatch match;
    return std::regex_search(output, match, std::regex(pattern)) ? match[1].str() : std::string("(none)");
}

BarcodePictureSettings Settings(int ribbonWidth, int barcodeSize, int qrSize) {
    BarcodePictureSettings settings;
    settings.RibbonWidth = ribbonWidth;
    settings.BarcodeSize = barcodeSize;
    settings.QRSize = qrSize;
    return settings;
}

// Stretches by whole factors (BarcodeSize 1 draws at paper width, 6 at half of it). The default size 3
// stretches a one-pixel module to 1.26 dots, so one- and two-module elements both come out two dots wide in
// places and the readers reject most such symbols.
const ReaderCase Cases[] = {
    {"ean13-from-12", 1, "400638133393", Settings(78, 1, 6), "EAN-13", "EAN-13", "4006381333931"},
    {"ean13-from-13", 1, "4601234567893", Settings(78, 6, 6), "EAN-13", "EAN-13", "4601234567893"},
    {"ean13-58mm", 1, "590123412345", Settings(58, 6, 6), "EAN-13", "EAN-13", "5901234123457"},
    {"ean8", 2, "9638507", Settings(78, 6, 6), "EAN-8", "EAN-8", "96385074"},
    {"ean8-from-8", 2, "73513537", Settings(78, 1, 6), "EAN-8", "EAN-8", "73513537"},
    // Code 39 has no lower case: the data is printed upper-cased.
    {"code39-lower-case", 3, "veltrano-39 $/+%.", Settings(78, 6, 6), "Code39", "CODE-39",
     "VELTRANO-39 $/+%."},
    {"code39-size1", 3, "ABC123", Settings(58, 1, 6), "Code39", "CODE-39", "ABC123"},
    {"qr-receipt", 0, "t=20240115T1030&s=1250.50&fn=9999078900004792&i=15&fp=3522207165&n=1",
     Settings(78, 3, 6), "QRCode", "QR-Code",
     "t=20240115T1030&s=1250.50&fn=9999078900004792&i=15&fp=3522207165&n=1"},
    {"qr-cyrillic", 0, "Учебный ККТ: чек 15", Settings(78, 3, 4), "QRCode", "QR-Code", "Учебный ККТ: чек 15"},
    {"qr-size12-58mm", 0, "HELLO 12", Settings(58, 3, 12), "QRCode", "QR-Code", "HELLO 12"},
};

void PrintTo(const ReaderCase& c, std::ostream* out) {
    *out << c.name;
}

class PictureReaders : public ::testing::TestWithParam<ReaderCase> {
protected:
    void SetUp() override {
        if (!ProgramInstalled("ZXingReader") || !ProgramInstalled("zbarimg"))
            GTEST_SKIP() << "ZXingReader (zxing-cpp-tools) and zbarimg (zbar-tools) are needed";
    }

    ScratchFolder folder;
};

TEST_P(PictureReaders, DecodeTheDataUprightAndUnmirrored) {
    const ReaderCase& c = GetParam();
    const BarcodePicture drawn = DrawBarcodePicture(c.data, c.kind, c.settings);
    ASSERT_FALSE(drawn.BadData);
    ASSERT_EQ(drawn.Picture.Width(), c.settings.RibbonWidth * 8);

    Bitmap printed;
    ASSERT_TRUE(UnpackRaster(BarcodePictureRaster(c.data, c.kind, c.settings), printed));
    ASSERT_EQ(printed.Width(), drawn.Picture.Width());
    for (int y = 0; y < printed.Height(); ++y)
        for (int x = 0; x < printed.Width(); ++x)
            ASSERT_EQ(printed.IsBlack(x, y), drawn.Picture.IsBlack(x, y)) << x << "," << y;

    const std::string file = (folder.Path() / (std::string(c.name) + ".png")).string();
    WritePng(printed, file);

    const std::string zxing = CommandOutput("ZXingReader '" + file + "' 2>&1");
    EXPECT_EQ(Field(zxing, "Text: *\"([^\"]*)\""), c.text) << zxing;
    EXPECT_EQ(Field(zxing, "Format: *(\\S+)"), c.zxingFormat) << zxing;
    EXPECT_EQ(Field(zxing, "Rotation: *(-?\\d+) deg"), "0") << zxing;
    EXPECT_EQ(Field(zxing, "IsMirrored: *(\\S+)"), "false") << zxing;
    if (c.kind == 0) {
        EXPECT_EQ(Field(zxing, "EC Level: *(\\S+)"), "L") << zxing;
    }

    const std::string zbar = CommandOutput("zbarimg --xml -q '" + file + "' 2>/dev/null");
    EXPECT_EQ(Field(zbar, "<symbol type='([^']*)'"), c.zbarType) << zbar;
    EXPECT_EQ(Field(zbar, "orientation='([A-Z]+)'"), "UP") << zbar;
    // The raw bytes: zbar's guess of the character set gets UTF-8 wrong.
    EXPECT_EQ(CommandOutput("zbarimg -q --raw -Sbinary '" + file + "' 2>/dev/null"), c.text);
}

INSTANTIATE_TEST_SUITE_P(Pictures, PictureReaders, ::testing::ValuesIn(Cases),
                         [](const ::testing::TestParamInfo<ReaderCase>& info) {
                             std::string name(info.param.name);
                             for (char& ch : name)
                                 if (ch == '-')
                                     ch = '_';
                             return name;
                         });

struct InkBox {
    int left = 0, top = 0, right = -1, bottom = -1; // inclusive; right < left when there is no ink
};

InkBox Ink(const Bitmap& picture) {
    InkBox box{picture.Width(), picture.Height(), -1, -1};
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x)
            if (picture.IsBlack(x, y)) {
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
                box.top = std::min(box.top, y);
                box.bottom = std::max(box.bottom, y);
            }
    return box;
}

// Left of the first bar and right of the last the paper is white for more than ten modules; above and below
// the bars a tenth of the drawing height; the symbol sits in the middle of the paper.
TEST(PictureQuietZones, LinearBarcodes) {
    for (const ReaderCase& c : Cases) {
        if (c.kind == 0)
            continue;
        const Bitmap picture = DrawBarcodePicture(c.data, c.kind, c.settings).Picture;
        const InkBox ink = Ink(picture);
        const int module = c.settings.BarcodeSize == 6 ? 2 : 1;
        EXPECT_GT(ink.left, 10 * module) << c.name;
        EXPECT_LT(ink.right, picture.Width() - 1 - 10 * module) << c.name;
        EXPECT_NEAR(ink.left + ink.right, picture.Width() - 1, 2 * module) << c.name;
        EXPECT_GE(ink.top, picture.Height() / 10 - 1) << c.name;
        EXPECT_NEAR(ink.top, picture.Height() - 1 - ink.bottom, 1) << c.name;
    }
}

// Four modules of white around the symbol, inside the centred square (or the whole picture when the square is
// wider than the paper).
TEST(PictureQuietZones, QrCodes) {
    for (const ReaderCase& c : Cases) {
        if (c.kind != 0)
            continue;
        const Bitmap picture = DrawBarcodePicture(c.data, c.kind, c.settings).Picture;
        const int paper = c.settings.RibbonWidth * 8, side = c.settings.QRSize * 40;
        const int x0 = side < paper ? (paper - side) / 2 : 0, x1 = side < paper ? paper - x0 : paper;
        const int modules = QrModules(c.data).Width();
        const InkBox ink = Ink(picture);
        const int across = 4 * (x1 - x0) / modules, down = 4 * side / modules;
        EXPECT_GE(ink.left - x0, across) << c.name;
        EXPECT_GE(x1 - 1 - ink.right, across) << c.name;
        EXPECT_GE(ink.top, down) << c.name;
        EXPECT_GE(side - 1 - ink.bottom, down) << c.name;
        // The dark modules start right after the quiet zone: the finder pattern's corner.
        EXPECT_LE(ink.left - x0, across + (x1 - x0) / modules) << c.name;
        EXPECT_LE(ink.top, down + side / modules) << c.name;
    }
}

} // namespace
} // namespace veltrano::output
