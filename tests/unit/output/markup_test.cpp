#include "output/markup.h"

#include <gtest/gtest.h>

#include <array>
#include <cctype>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace veltrano::output {
namespace {

using namespace std::string_literals;

// One tag for each pattern, in table order.
constexpr std::array<const char*, MarkupPatternCount> Tags = {
    "[b]",      "[/b]",         "[i]",           "[/i]",     "[u]",     "[/u]",     "[cut]",
    "[invert]", "[/invert]",    "[font1]",       "[/font1]", "[font2]", "[/font2]", "[font3]",
    "[/font3]", "[customfont]", "[/customfont]", "[eac]",    "[gt1]",   "[/gt1]",   "[gt2]",
    "[/gt2]",   "[gt3]",        "[/gt3]",        "[gt4]",    "[/gt4]",  "[gt5]",    "[/gt5]",
};

TEST(Markup, EachPatternMatchesItsOwnTagInAnyCaseAndNoOtherTag) {
    for (std::size_t i = 0; i < MarkupPatternCount; ++i) {
        std::string upper = Tags[i];
        for (char& c : upper)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        EXPECT_TRUE(MarkupMatches(i, "x"s + Tags[i] + "y")) << Tags[i];
        EXPECT_TRUE(MarkupMatches(i, upper)) << upper;
        for (std::size_t j = 0; j < MarkupPatternCount; ++j) {
            if (j != i) {
                EXPECT_FALSE(MarkupMatches(j, Tags[i])) << MarkupTag(j) << " on " << Tags[i];
            }
        }
    }
}

TEST(Markup, TheCutPatternTakesTheCyrillicFormInAnyCase) {
    for (const char* tag : {"[отрезка]", "[ОТРЕЗКА]", "[ОтРеЗкА]", "[CUT]", "[Cut]"}) {
        EXPECT_TRUE(MarkupMatches(CutPatternIndex, tag)) << tag;
        EXPECT_TRUE(HasTag(tag)) << tag;
    }
}

TEST(Markup, HasTagIgnoresTextThatOnlyLooksLikeATag) {
    for (const char* text : {"", "b", "[bold]", "[ b]", "[gt6]", "[/gt0]", "[font4]", "[b", "b]", "[отрез]"})
        EXPECT_FALSE(HasTag(text)) << text;
}

TEST(Markup, StripTagsRemovesEveryTagButTheLogo) {
    std::string all;
    for (const char* tag : Tags)
        all += tag;
    EXPECT_EQ(StripTags(all), "[eac]");
    EXPECT_EQ(StripTags("Участие в [B] дисконтной программе [/b] "), "Участие в  дисконтной программе  ");
    EXPECT_EQ(StripTags("до[ОТРЕЗКА]после[Отрезка]"), "допосле");
    EXPECT_EQ(StripTags("[EAC] без тегов"), "[EAC] без тегов");
}

TEST(Markup, ReplaceInsertsTheReplacementLiterally) {
    const std::string code = "\x1B\x45\0$1\\"s;
    EXPECT_EQ(MarkupReplace(1, "a[/b]b[/B]", code), "a" + code + "b" + code);
    EXPECT_EQ(MarkupReplace(0, "no tags", code), "no tags");
}

TEST(Markup, BytesThatAreNotUtf8NeitherMatchNorStopTheSearch) {
    const std::string text = "\xFF[b]\xC3(\x80[/b]";
    EXPECT_TRUE(HasTag(text));
    EXPECT_EQ(StripTags(text), "\xFF\xC3(\x80");
}

// Letters match their Unicode case partners as well, as a caseless regular expression in UTF mode does.
TEST(Markup, LettersMatchEveryCasePartnerUnicodeGivesThem) {
    for (const char* text : {"[CUſTOMFONT]", "[cuſtomfont]", "[ᲂтрезка]", "[оᲄрезка]",
                             "[ОᲅРЕЗКА]", "[ГТ1]"}) {
        const bool isTag = std::string_view(text) != "[ГТ1]";
        EXPECT_EQ(HasTag(text), isTag) << text;
    }
    for (const char* text : {"[İ]", "[ı]", "[Ｂ]", "[ｃｕｔ]", "[ß]"})
        EXPECT_FALSE(HasTag(text)) << text;
}

// Tags go one after another in table order: a removal may join text into a later tag, which then goes too,
// while the joined text of an earlier tag stays.
TEST(Markup, StripTagsRemovesTagsJoinedByALaterRemovalOnlyInTableOrder) {
    EXPECT_EQ(StripTags("[[b]i]"), "");
    EXPECT_EQ(StripTags("[[i]b]"), "[b]");
    EXPECT_EQ(StripTags("[[gt1]b]"), "[b]");
    EXPECT_EQ(StripTags("[e[b]ac]"), "[eac]");
}

TEST(Markup, ReplaceTagsKeepsInsertedCodesOutOfLaterTags) {
    TagCodes codes;
    codes[0] = "[i]"; // a code whose bytes read like a later tag
    codes[2] = "I";
    codes[3] = "";
    const std::vector<MarkupPiece> pieces = ReplaceTags("a[b]c[[/i]i]", codes);
    ASSERT_EQ(pieces.size(), 3u);
    EXPECT_EQ(pieces[0].Text, "a");
    EXPECT_FALSE(pieces[0].IsCode);
    EXPECT_EQ(pieces[1].Text, "[i]");
    EXPECT_TRUE(pieces[1].IsCode);
    // "[/i]" goes after "[i]" in the table, so the "[i]" its removal joins stays text.
    EXPECT_EQ(pieces[2].Text, "c[i]");
    EXPECT_FALSE(pieces[2].IsCode);
    EXPECT_TRUE(ReplaceTags("", codes).empty());
}

TEST(Markup, AnIndexOutsideTheTableIsRefused) {
    EXPECT_THROW(MarkupMatches(MarkupPatternCount, "[b]"), std::out_of_range);
    EXPECT_THROW(MarkupTag(MarkupPatternCount), std::out_of_range);
}

} // namespace
} // namespace veltrano::output
