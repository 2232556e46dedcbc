#include "common/text.h"
#include "output/picture/graphic_text.h"
#include "picture_text_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace veltrano::output::test {
namespace {

Bitmap Draw(std::string_view text, double widthMm = 64, std::string_view style = "",
            std::string_view horizontal = "", std::string_view vertical = "", std::string_view font = "Arial",
            int size = 10) {
    return GetGraphicText(text, widthMm, size, font, style, horizontal, vertical);
}

bool Same(const Bitmap& a, const Bitmap& b) {
    return a.Width() == b.Width() && a.Height() == b.Height() && a.Dots() == b.Dots();
}

std::string Repeat(std::string_view piece, int count) {
    std::string result;
    for (int i = 0; i < count; ++i)
        result += piece;
    return result;
}

struct WidthCase {
    double Millimetres;
    int Dots;
};

class GraphicTextWidthTest : public ::testing::TestWithParam<WidthCase> {};

TEST_P(GraphicTextWidthTest, WidthIsTheMillimetresAtEightDotsEach) {
    const Bitmap picture = Draw("Чек", GetParam().Millimetres);
    EXPECT_EQ(picture.Width(), GetParam().Dots);
    EXPECT_EQ(picture.Height() > 0, GetParam().Dots > 0);
}

INSTANTIATE_TEST_SUITE_P(Widths, GraphicTextWidthTest,
                         ::testing::Values(WidthCase{64, 512}, WidthCase{78, 624}, WidthCase{44, 352},
                                           WidthCase{10.06, 80}, WidthCase{0.1875, 2}, WidthCase{0.0625, 0},
                                           WidthCase{0, 0}, WidthCase{-5, 0}));

TEST(GraphicText, HeightGrowsWithTheNumberOfLines) {
    const int line = Draw("Сумма").Height();
    ASSERT_GT(line, 0);
    EXPECT_EQ(Draw("Сумма\nИтог").Height(), 2 * line);
    EXPECT_EQ(Draw("Сумма\r\nИтог\rСдача").Height(), 3 * line);
    EXPECT_EQ(Draw("Сумма\n\nИтог").Height(), 3 * line);
    // Words wrap at spaces: many short words on a narrow picture take many whole lines.
    const Bitmap wrapped = Draw(Repeat("слово ", 40), 20);
    EXPECT_GT(wrapped.Height(), 5 * line);
    EXPECT_EQ(wrapped.Height() % line, 0);
    const InkBox ink = InkOf(wrapped);
    EXPECT_LE(ink.Right, wrapped.Width());
}

TEST(GraphicText, AnEmptyTextGivesAnEmptyPicture) {
    EXPECT_TRUE(Draw("").Empty());
}

struct HorizontalCase {
    const char* Word;
    HorizontalAlign Expected;
};

class HorizontalAlignTest : public ::testing::TestWithParam<HorizontalCase> {};

TEST_P(HorizontalAlignTest, TheWordMovesTheInk) {
    EXPECT_EQ(ParseHorizontalAlign(GetParam().Word), GetParam().Expected);
    const Bitmap picture = Draw("ИНН 7701", 64, "", GetParam().Word);
    const InkBox ink = InkOf(picture);
    ASSERT_FALSE(ink.Empty());
    ASSERT_LT(ink.Right - ink.Left, picture.Width() / 2);
    switch (GetParam().Expected) {
    case HorizontalAlign::Left:
        EXPECT_LT(ink.Left, 6);
        break;
    case HorizontalAlign::Center:
        EXPECT_LE(std::abs(ink.Left + ink.Right - picture.Width()), 6);
        break;
    case HorizontalAlign::Right:
        EXPECT_GT(ink.Right, picture.Width() - 6);
        break;
    }
}

INSTANTIATE_TEST_SUITE_P(Words, HorizontalAlignTest,
                         ::testing::Values(HorizontalCase{"left", HorizontalAlign::Left},
                                           HorizontalCase{"", HorizontalAlign::Left},
                                           HorizontalCase{"middle", HorizontalAlign::Left},
                                           HorizontalCase{"center", HorizontalAlign::Center},
                                           HorizontalCase{"taCenter", HorizontalAlign::Center},
                                           HorizontalCase{"right", HorizontalAlign::Right},
                                           HorizontalCase{"RIGHT", HorizontalAlign::Right}));

struct VerticalCase {
    const char* Word;
    VerticalAlign Expected;
};

class VerticalAlignTest : public ::testing::TestWithParam<VerticalCase> {};

TEST_P(VerticalAlignTest, TheWordMovesTheInkInAPictureOfFixedHeight) {
    const VerticalAlign align = ParseVerticalAlign(GetParam().Word);
    EXPECT_EQ(align, GetParam().Expected);
    GraphicText job;
    job.Data = "Итог";
    job.Width = 40;
    job.Height = 30;
    job.FontName = "Arial";
    job.FontSize = 10;
    job.Vertical = align;
    const Bitmap picture = RenderGraphicText(job);
    ASSERT_EQ(picture.Height(), 240);
    const int line = Draw("Итог", 40).Height();
    const InkBox ink = InkOf(picture);
    ASSERT_FALSE(ink.Empty());
    switch (GetParam().Expected) {
    case VerticalAlign::Top:
        EXPECT_LT(ink.Bottom, line);
        break;
    case VerticalAlign::Center:
        EXPECT_GT(ink.Top, 120 - line);
        EXPECT_LT(ink.Bottom, 120 + line);
        break;
    case VerticalAlign::Bottom:
        EXPECT_GT(ink.Top, 240 - line);
        break;
    }
}

INSTANTIATE_TEST_SUITE_P(Words, VerticalAlignTest,
                         ::testing::Values(VerticalCase{"top", VerticalAlign::Top},
                                           VerticalCase{"", VerticalAlign::Top},
                                           VerticalCase{"center", VerticalAlign::Center},
                                           VerticalCase{"vaCENTER", VerticalAlign::Center},
                                           VerticalCase{"bottom", VerticalAlign::Bottom}));

TEST(GraphicText, LinesThatDoNotFitAFixedHeightWholeAreLeftOut) {
    GraphicText job;
    job.Data = "Один\nДва\nТри";
    job.Width = 40;
    job.FontName = "Arial";
    job.FontSize = 10;
    const int line = RenderGraphicText(job).Height() / 3;
    job.Height = (2 * line + line / 2) / 8.0;
    const Bitmap picture = RenderGraphicText(job);
    job.Data = "Один\nДва";
    job.Height = 0;
    const Bitmap twoLines = RenderGraphicText(job);
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x)
            ASSERT_EQ(picture.IsBlack(x, y), twoLines.IsBlack(x, y)) << x << "," << y;
}

TEST(GraphicText, AWordWiderThanThePictureIsCutWithAnEllipsis) {
    const std::string word = Repeat("Ж", 200);
    const Bitmap cut = Draw(word, 30);
    EXPECT_EQ(cut.Height(), Draw("Ж", 30).Height());
    // The picture is that of the first letters followed by the ellipsis, as many as fit.
    int letters = 0;
    for (int k = 1; k < 30 && letters == 0; ++k)
        if (Same(Draw(Repeat("Ж", k) + "…", 30), cut))
            letters = k;
    ASSERT_GT(letters, 3);
    const Bitmap withoutEllipsis = Draw(Repeat("Ж", letters), 30);
    EXPECT_GT(InkOf(cut).Right, InkOf(withoutEllipsis).Right);
    EXPECT_LE(InkOf(cut).Right, cut.Width());
    // After a short word the long one starts a line of its own.
    EXPECT_EQ(Draw("НДС " + word, 30).Height(), 2 * cut.Height());
}

TEST(GraphicText, EachStyleWordChangesThePicture) {
    // Families with faces of their own for every style, and one with a single face where bold and italic are
    // made up.
    for (const char* font :
         {"Arial", "Tahoma", "Courier New", "DejaVu Math TeX Gyre", "No Such Font Family 7"}) {
        const Bitmap plain = Draw("Итого к оплате", 64, "", "", "", font);
        for (const char* style :
             {"bold", "italic", "underline", "strikeout", "BOLD", "Italic", "bold italic"})
            EXPECT_FALSE(Same(Draw("Итого к оплате", 64, style, "", "", font), plain))
                << font << ": " << style;
        for (const char* style : {"shadow", "  ", "boldly"})
            EXPECT_TRUE(Same(Draw("Итого к оплате", 64, style, "", "", font), plain))
                << font << ": " << style;
    }
}

TEST(GraphicText, StyleWordsInAnyCaseAndOrder) {
    EXPECT_EQ(ParseTextStyle("bold italic strikeout underline"), (TextStyle{true, true, true, true}));
    EXPECT_EQ(ParseTextStyle("Underline  BOLD"), (TextStyle{true, false, true, false}));
    EXPECT_EQ(ParseTextStyle("heavy italics"), TextStyle{});
}

// The longest run of black pixels in a row.
int LongestRun(const Bitmap& picture, int y) {
    int longest = 0, run = 0;
    for (int x = 0; x < picture.Width(); ++x) {
        run = picture.IsBlack(x, y) ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest;
}

TEST(GraphicText, UnderlineAndStrikeoutAreLinesAcrossTheText) {
    const Bitmap plain = Draw("Итого к оплате", 64);
    const InkBox ink = InkOf(plain);
    for (const char* style : {"underline", "strikeout"}) {
        const Bitmap lined = Draw("Итого к оплате", 64, style);
        ASSERT_EQ(lined.Height(), plain.Height());
        int longest = 0, row = -1;
        for (int y = 0; y < lined.Height(); ++y)
            if (LongestRun(lined, y) > longest) {
                longest = LongestRun(lined, y);
                row = y;
            }
        EXPECT_GE(longest, (ink.Right - ink.Left) * 9 / 10) << style;
        if (std::string(style) == "underline")
            EXPECT_GE(row, ink.Bottom - 4) << style;
        else
            EXPECT_TRUE(row > ink.Top && row < ink.Bottom - 4) << style;
    }
}

TEST(GraphicText, DefaultsStandInForAnEmptyFontNameAndASizeOfZero) {
    EXPECT_TRUE(Same(GetGraphicText("Чек", 64, 0, "", "", "", ""),
                     GetGraphicText("Чек", 64, 8, "Tahoma", "", "", "")));
    EXPECT_TRUE(Same(GetGraphicText("Чек", 64, -3, "", "", "", ""),
                     GetGraphicText("Чек", 64, 8, "Tahoma", "", "", "")));
}

TEST(GraphicText, TenThousandCharacters) {
    std::string text;
    while (text::Length(text) < 10000)
        text += "Товар №12 молоко ";
    text = text::Substr(text, 0, 10000);
    const Bitmap picture = Draw(text, 64, "bold", "center", "center");
    const int line = Draw("Т", 64, "bold").Height();
    ASSERT_GT(line, 0);
    EXPECT_GT(picture.Height(), 100 * line);
    EXPECT_EQ(picture.Height() % line, 0);
    const InkBox ink = InkOf(picture);
    EXPECT_LT(ink.Top, line);
    EXPECT_GT(ink.Bottom, picture.Height() - line);
}

TEST(GraphicText, InvalidUtf8DrawsWithoutFailing) {
    for (const char* bytes : {"\xff\xfe", "Сумма \xd0", "\xe2\x82 итог",
                              "\xc0\xaf\xed\xa0\x80 \xf4\x90\x80\x80", "\x01\x02\x7f abc"}) {
        const Bitmap picture = Draw(bytes, 40);
        EXPECT_EQ(picture.Width(), 320);
        EXPECT_GT(picture.Height(), 0);
    }
}

} // namespace
} // namespace veltrano::output::test
