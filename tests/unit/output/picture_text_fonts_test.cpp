#include "output/picture/font_cache.h"
#include "output/picture/graphic_text.h"
#include "picture_text_test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace veltrano::output::test {
namespace {

struct FamilyCase {
    const char* Requested;
    const char* Installed;
};

class FontFamilyTest : public ::testing::TestWithParam<FamilyCase> {};

TEST_P(FontFamilyTest, WindowsNamesResolveToInstalledFaces) {
    FontLock fonts;
    const ResolvedFace face = fonts.Resolve(FontRequest{GetParam().Requested, false, false, 20});
    EXPECT_EQ(face.Family, GetParam().Installed);
    EXPECT_NE(fonts.Find(FontRequest{GetParam().Requested, false, false, 20}), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Names, FontFamilyTest,
                         ::testing::Values(FamilyCase{"Arial", "Liberation Sans"},
                                           FamilyCase{"arial", "Liberation Sans"},
                                           FamilyCase{"Times New Roman", "Liberation Serif"},
                                           FamilyCase{"Courier New", "Liberation Mono"},
                                           FamilyCase{"Tahoma", "DejaVu Sans"},
                                           FamilyCase{"Verdana", "DejaVu Sans"}));

TEST(FontCache, BoldAndItalicComeFromTheFamilysOwnFaces) {
    FontLock fonts;
    const ResolvedFace face = fonts.Resolve(FontRequest{"Times New Roman", true, true, 20});
    EXPECT_EQ(face.Family, "Liberation Serif");
    EXPECT_EQ(face.Style, "Bold Italic");
    EXPECT_FALSE(face.SynthesisedBold);
    EXPECT_FALSE(face.SynthesisedItalic);
}

TEST(FontCache, BoldAndItalicAreMadeUpForAFamilyWithoutSuchFaces) {
    FontLock fonts;
    const ResolvedFace face = fonts.Resolve(FontRequest{"DejaVu Math TeX Gyre", true, true, 20});
    if (face.Family != "DejaVu Math TeX Gyre")
        GTEST_SKIP() << "the single-face family DejaVu Math TeX Gyre (fonts-dejavu-extra) is not installed";
    EXPECT_TRUE(face.SynthesisedBold);
    EXPECT_TRUE(face.SynthesisedItalic);
}

TEST(FontCache, AnUnknownNameFallsBackToAnInstalledFace) {
    {
        FontLock fonts;
        EXPECT_FALSE(fonts.Resolve(FontRequest{"No Such Font Family 7", false, false, 20}).Family.empty());
    }
    const Bitmap picture = GetGraphicText("Касса", 64, 10, "No Such Font Family 7", "", "left", "top");
    EXPECT_EQ(picture.Width(), 512);
    EXPECT_FALSE(InkOf(picture).Empty());
}

TEST(FontCache, DrawsWithoutAnyDisplay) {
    ASSERT_EQ(std::getenv("DISPLAY"), nullptr);
    ASSERT_EQ(std::getenv("WAYLAND_DISPLAY"), nullptr);
    EXPECT_FALSE(InkOf(GetGraphicText("Итог", 30, 10, "Arial", "bold", "center", "center")).Empty());
}

TEST(FontCache, CharactersTheFaceLacksComeFromAnotherFace) {
    // Liberation Mono has no Georgian letters, the DejaVu faces do; no installed face has Thai, which leaves
    // the requested face's box for a missing character.
    FontLock fonts;
    Font* font = fonts.Find(FontRequest{"Courier New", false, false, 30});
    ASSERT_NE(font, nullptr);
    const Glyph georgian = font->GlyphOf(U'\u10D0');
    const Glyph& missing = font->GlyphOf(U'\u0E01');
    EXPECT_GT(georgian.Advance, 0);
    EXPECT_GT(georgian.Width, 0);
    EXPECT_GT(missing.Width, 0);
    EXPECT_NE(georgian.Ink, missing.Ink);
}

TEST(FontCache, PointsBecomePixelsLikeTheWindowsFontMapper) {
    EXPECT_EQ(PixelsFromPoints(10, 203), 28); // 28.19
    EXPECT_EQ(PixelsFromPoints(8, 203), 23);  // 22.56
    EXPECT_EQ(PixelsFromPoints(8, 96), 11);   // 10.67
    EXPECT_EQ(PixelsFromPoints(9, 96), 12);   // 12.0
}

} // namespace
} // namespace veltrano::output::test
