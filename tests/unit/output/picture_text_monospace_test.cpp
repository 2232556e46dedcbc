#include "output/picture/monospace_text.h"
#include "picture_text_test_support.h"

#include <gtest/gtest.h>

namespace veltrano::output::test {
namespace {

TEST(MonospaceText, EveryCharacterTakesOneCell) {
    const MonospaceText font(11);
    const int cell = font.CellWidth();
    ASSERT_GT(cell, 3);
    EXPECT_GT(font.TextHeight(), 8);
    for (const char* line :
         {"iiiiiiiiii", "WWWWWWWWWW", "ШШШШШШШШШШ", "..........", "ა.........", "1234567890"}) {
        Bitmap canvas(20 * cell, font.TextHeight());
        font.Draw(canvas, 0, 0, line);
        const InkBox ink = InkOf(canvas);
        ASSERT_FALSE(ink.Empty()) << line;
        EXPECT_LE(ink.Right, 10 * cell + 1) << line;
        EXPECT_GT(ink.Right, 9 * cell) << line;
        EXPECT_LE(ink.Bottom, font.TextHeight()) << line;
    }
}

TEST(MonospaceText, TheLineIsDrawnWhereItIsAsked) {
    const MonospaceText font(11);
    Bitmap atOrigin(300, 60), moved(300, 60);
    font.Draw(atOrigin, 0, 0, "Итог =123.00");
    font.Draw(moved, 17, 25, "Итог =123.00");
    const InkBox a = InkOf(atOrigin), b = InkOf(moved);
    EXPECT_EQ(b.Left - a.Left, 17);
    EXPECT_EQ(b.Top - a.Top, 25);
    EXPECT_EQ(b.Right - b.Left, a.Right - a.Left);
    EXPECT_EQ(b.Bottom - b.Top, a.Bottom - a.Top);
}

TEST(MonospaceText, TheCellGrowsWithThePixelSize) {
    EXPECT_LT(MonospaceText(11).CellWidth(), MonospaceText(22).CellWidth());
    EXPECT_LT(MonospaceText(11).TextHeight(), MonospaceText(22).TextHeight());
}

TEST(MonospaceText, ThePictureClipsAndBadBytesDrawNothingHarmful) {
    const MonospaceText font(11);
    Bitmap small(10, 5);
    font.Draw(small, -30, -4, "ЧЕК \xff\xfe\xc3 ЧЕК");
    font.Draw(small, 5, 3, "Ш");
    Bitmap empty;
    font.Draw(empty, 0, 0, "Ш");
    EXPECT_EQ(small.Width(), 10);
}

} // namespace
} // namespace veltrano::output::test
