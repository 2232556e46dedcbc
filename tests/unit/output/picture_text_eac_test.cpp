#include "output/picture/eac_logo.h"
#include "picture_text_test_support.h"

#include <gtest/gtest.h>

namespace veltrano::output::test {
namespace {

// A logo of the given size with a frame and a diagonal, so that proportions show after scaling.
Bitmap Logo(int width, int height) {
    Bitmap logo(width, height);
    logo.Fill(0, 0, width, 1, true);
    logo.Fill(0, height - 1, width, height, true);
    for (int x = 0; x < width; ++x)
        logo.Set(x, x * height / width, true);
    return logo;
}

struct PlaceCase {
    int LogoWidth;
    int EacSize;
    int Alignment;
    int RibbonWidth;
    int Margin;
    int Width;
};

class PlaceEacLogoTest : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(PlaceEacLogoTest, MarginAndWidth) {
    const PlaceCase& c = GetParam();
    const PlacedLogo placed = PlaceEacLogo(Logo(c.LogoWidth, 48), c.EacSize, c.Alignment, c.RibbonWidth);
    EXPECT_EQ(placed.Margin, c.Margin);
    EXPECT_EQ(placed.Logo.Width(), c.Width);
}

INSTANTIATE_TEST_SUITE_P(Cases, PlaceEacLogoTest,
                         ::testing::Values(PlaceCase{96, 4, 2, 78, 528, 96}, // right edge of the 624-dot roll
                                           PlaceCase{96, 4, 1, 78, 264, 96}, // centred
                                           PlaceCase{96, 4, 0, 78, 0, 96},   // left
                                           PlaceCase{96, 4, 7, 78, 0, 96},   // unknown alignment: left
                                           PlaceCase{96, 20, 2, 58, 368, 96}, // a narrow logo keeps its size
                                           PlaceCase{96, 2, 2, 78, 560, 64},  // reduced to 2 × 16 + 32
                                           PlaceCase{63, 20, 1, 78, 280, 63}, // 280.5 rounds to the even 280
                                           PlaceCase{61, 20, 1, 78, 282, 61}, // 281.5 rounds to the even 282
                                           PlaceCase{600, 20, 1, 30, 0,
                                                     352}, // wider than the paper: at the left edge
                                           PlaceCase{96, -5, 1, 78, 0, 0})); // no room at all: no logo

TEST(EacLogo, AReducedLogoKeepsItsProportions) {
    // Black on the left half, white on the right.
    Bitmap logo(300, 90);
    logo.Fill(0, 0, 150, 90, true);
    const PlacedLogo placed = PlaceEacLogo(logo, 2, 1, 78);
    EXPECT_EQ(placed.Logo.Width(), 64);
    EXPECT_EQ(placed.Logo.Height(), 19); // 64 × 90 div 300
    const InkBox ink = InkOf(placed.Logo);
    EXPECT_EQ(ink.Left, 0);
    EXPECT_EQ(ink.Right, 32);
    EXPECT_EQ(ink.Bottom - ink.Top, 19);
}

TEST(EacLogo, FittingIntoABoxEnlargesOrReduces) {
    const Bitmap wide = FitKeepingProportions(Logo(96, 32), 20, 20);
    EXPECT_EQ(wide.Width(), 20);
    EXPECT_EQ(wide.Height(), 6);
    const Bitmap tall = FitKeepingProportions(Logo(10, 40), 20, 20);
    EXPECT_EQ(tall.Width(), 5);
    EXPECT_EQ(tall.Height(), 20);
    const Bitmap small = FitKeepingProportions(Logo(4, 4), 20, 20);
    EXPECT_EQ(small.Width(), 20);
    EXPECT_EQ(small.Height(), 20);
    EXPECT_TRUE(FitKeepingProportions(Bitmap{}, 20, 20).Empty());
    EXPECT_TRUE(FitKeepingProportions(Logo(4, 4), 0, 20).Empty());
}

TEST(EacLogo, ThreeBlockLettersSideBySide) {
    const Bitmap logo = EacLogo();
    ASSERT_EQ(logo.Width(), 96);
    ASSERT_EQ(logo.Height(), 32);
    // Columns with ink form three letters with blank columns between them.
    int letters = 0;
    bool inLetter = false;
    for (int x = 0; x < logo.Width(); ++x) {
        bool ink = false;
        for (int y = 0; y < logo.Height(); ++y)
            ink = ink || logo.IsBlack(x, y);
        if (ink && !inLetter)
            ++letters;
        inLetter = ink;
    }
    EXPECT_EQ(letters, 3);
    // E and C are open on the right, A at the bottom between its stems.
    EXPECT_TRUE(logo.IsBlack(27, 0) && logo.IsBlack(27, 16) && logo.IsBlack(27, 31) && !logo.IsBlack(27, 8));
    EXPECT_TRUE(logo.IsBlack(34, 31) && logo.IsBlack(61, 31) && !logo.IsBlack(47, 31) &&
                logo.IsBlack(47, 16));
    EXPECT_TRUE(logo.IsBlack(95, 0) && logo.IsBlack(95, 31) && !logo.IsBlack(95, 16));
    // Centred with the default size on the default roll.
    const PlacedLogo placed = PlaceEacLogo(logo, 2, 1, 78);
    EXPECT_EQ(placed.Logo.Width(), 64);
    EXPECT_EQ(placed.Logo.Height(), 21);
    EXPECT_EQ(placed.Margin, 280);
}

} // namespace
} // namespace veltrano::output::test
