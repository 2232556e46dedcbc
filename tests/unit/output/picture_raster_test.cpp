#include "output/picture/raster.h"

#include "picture_test_support.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace veltrano::output {
namespace {

using picture_test::UnpackRaster;

const std::string LineSpacing24("\x1B\x33\x18", 3);
const std::string LineSpacing30("\x1B\x33\x1E", 3);

std::string BandHeader(int width) {
    return std::string{'\x1B', '*', '\x21', static_cast<char>(width & 0xFF), static_cast<char>(width >> 8)};
}

Bitmap RandomBitmap(int width, int height, unsigned seed) {
    std::mt19937 random(seed);
    Bitmap bitmap(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bitmap.Set(x, y, (random() & 1) != 0);
    return bitmap;
}

TEST(RenderBitmap, TenRowsMakeOneBandWhoseLowerFourteenDotRowsAreWhite) {
    Bitmap bitmap(3, 10);
    bitmap.Fill(0, 0, 3, 10, true);
    std::string band;
    for (int x = 0; x < 3; ++x)
        band += std::string("\xFF\xC0\x00", 3);
    EXPECT_EQ(RenderBitmap(bitmap, 0), LineSpacing24 + BandHeader(3) + band + "\r\n" + LineSpacing30);
}

TEST(RenderBitmap, TopDotIsTheMostSignificantBitOfTheFirstByte) {
    const struct {
        int x, y;
        std::size_t byte; // within the band, 3 per column
        unsigned char value;
    } cases[] = {
        {0, 0, 0, 0x80},  {0, 7, 0, 0x01},   {0, 8, 1, 0x80},
        {0, 23, 2, 0x01}, {4, 17, 14, 0x40}, {12, 0, 36, 0x80},
    };
    for (const auto& c : cases) {
        Bitmap bitmap(13, 24); // 13 columns: not a multiple of 8
        bitmap.Set(c.x, c.y, true);
        const std::string bytes = RenderBitmap(bitmap, 0);
        ASSERT_EQ(bytes.size(), 3 + 5 + 39 + 2 + 3u);
        for (std::size_t i = 0; i < 39; ++i)
            EXPECT_EQ(static_cast<unsigned char>(bytes[8 + i]), i == c.byte ? c.value : 0)
                << "dot " << c.x << "," << c.y << " byte " << i;
    }
}

TEST(RenderBitmap, MarginWidensEveryBandWithBlankColumns) {
    Bitmap bitmap(412, 30);
    bitmap.Fill(0, 0, 412, 30, true);
    const std::string bytes = RenderBitmap(bitmap, 100);
    const std::size_t bandSize = 5 + 3 * 512 + 2;
    ASSERT_EQ(bytes.size(), 3 + 2 * bandSize + 3);
    for (std::size_t band = 0; band < 2; ++band) {
        const std::size_t at = 3 + band * bandSize;
        EXPECT_EQ(bytes.substr(at, 5), std::string("\x1B*\x21\x00\x02", 5)) << band;
        EXPECT_EQ(bytes.substr(at + 5, 300), std::string(300, '\0')) << band;
        EXPECT_NE(bytes[at + 5 + 300], '\0') << band;
    }
}

TEST(RenderBitmap, BandsReadBackToThePicturePixelForPixel) {
    const struct {
        int width, height, margin;
    } cases[] = {{333, 77, 17}, {1, 1, 0}, {8, 48, 0}, {640, 25, 3}};
    for (const auto& c : cases) {
        const Bitmap bitmap = RandomBitmap(c.width, c.height, static_cast<unsigned>(c.width * 31 + c.height));
        Bitmap unpacked;
        ASSERT_TRUE(UnpackRaster(RenderBitmap(bitmap, c.margin), unpacked));
        ASSERT_EQ(unpacked.Width(), c.margin + c.width);
        ASSERT_EQ(unpacked.Height(), (c.height + 23) / 24 * 24);
        int differences = 0;
        for (int y = 0; y < unpacked.Height(); ++y)
            for (int x = 0; x < unpacked.Width(); ++x)
                differences += unpacked.IsBlack(x, y) != bitmap.IsBlack(x - c.margin, y);
        EXPECT_EQ(differences, 0) << c.width << "x" << c.height << " margin " << c.margin;
    }
}

TEST(RenderBitmap, EmptyPictureSendsOnlyTheLineSpacings) {
    EXPECT_EQ(RenderBitmap(Bitmap(), 50), LineSpacing24 + LineSpacing30);
    EXPECT_EQ(RenderBitmap(Bitmap(), -5), LineSpacing24 + LineSpacing30);
}

TEST(RecalculateBitmap, FitsTheBoxKeepingProportions) {
    const struct {
        int width, height, boxWidth, boxHeight, expectedWidth, expectedHeight;
    } cases[] = {
        {200, 100, 100, 100, 100, 50}, // wider than the box: the width decides
        {100, 200, 100, 100, 50, 100}, // taller: the height decides
        {50, 30, 96, 30, 50, 30},      // a logo narrower than the limit keeps its size
        {300, 90, 96, 90, 96, 28},     // a wide logo is reduced, its height rounded down
        {3, 7, 10, 10, 4, 10},         {10, 10, 20, 40, 20, 20}, // enlarged too
    };
    for (const auto& c : cases) {
        Bitmap bitmap(c.width, c.height);
        RecalculateBitmap(bitmap, c.boxWidth, c.boxHeight);
        EXPECT_EQ(bitmap.Width(), c.expectedWidth) << c.width << "x" << c.height;
        EXPECT_EQ(bitmap.Height(), c.expectedHeight) << c.width << "x" << c.height;
    }
}

TEST(RecalculateBitmap, EmptyBitmapOrBoxLeavesNothing) {
    Bitmap empty;
    RecalculateBitmap(empty, 10, 10);
    EXPECT_TRUE(empty.Empty());
    Bitmap bitmap(10, 10);
    RecalculateBitmap(bitmap, 0, 10);
    EXPECT_TRUE(bitmap.Empty());
}

TEST(ResizeBitmap, StretchesToExactlyTheSize) {
    Bitmap bitmap(2, 1);
    bitmap.Set(0, 0, true);
    ResizeBitmap(bitmap, 6, 3);
    ASSERT_EQ(bitmap.Width(), 6);
    ASSERT_EQ(bitmap.Height(), 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(bitmap.IsBlack(x, y), x < 3) << x << "," << y;

    Bitmap empty;
    ResizeBitmap(empty, 6, 3);
    EXPECT_TRUE(empty.Empty());
}

} // namespace
} // namespace veltrano::output
