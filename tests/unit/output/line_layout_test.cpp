#include "common/text.h"
#include "output/line_layout.h"

#include <gtest/gtest.h>

#include <string>

namespace veltrano::output {
namespace {

std::string Spaces(std::size_t count) {
    return std::string(count, ' ');
}

struct CleanCase {
    std::string input;
    std::string expected;
};

TEST(CleanText, TurnsTabsAndNoBreakSpacesIntoSpacesAndDropsControlCharacters) {
    const CleanCase cases[] = {
        {"a\tb", "a b"},
        {"a\u00A0b", "a b"},
        {"a\x01\x02\x1F"
         "b",
         "ab"},
        {"a\r\nb", "a\r\nb"},
        {"a\rb\nc", "a\rb\nc"},
        {"Сумма\t=1.00", "Сумма =1.00"},
        {"\x7F", "\x7F"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CleanText(c.input), c.expected) << c.input;
}

struct AlignCase {
    std::string left, right;
    std::size_t width;
    std::string expected;
};

TEST(AlignSides, PutsTheRightTextAtTheRightEdgeOfExactlyWidthCharacters) {
    const AlignCase cases[] = {
        {"ab", "cd", 10, "ab" + Spaces(6) + "cd"},   {"", "", 10, Spaces(10)},
        {"abcdefghij", "12", 10, "abcdefgh12"},      {"ab", "0123456789", 10, "0123456789"},
        {"ab", "0123456789AB", 10, "0123456789"},    {"Итог", "=1", 10, "Итог" + Spaces(4) + "=1"},
        {"Сумма налога", "=1.00", 10, "Сумма=1.00"}, {"ab", "cd", 300, "ab" + Spaces(296) + "cd"},
    };
    for (const auto& c : cases) {
        const std::string line = AlignSides(c.left, c.right, c.width);
        EXPECT_EQ(line, c.expected) << c.left << " | " << c.right;
        EXPECT_EQ(text::Length(line), c.width);
    }
}

struct CenterCase {
    std::string input;
    std::size_t width;
    std::string expected;
};

TEST(CenterText, GivesTheOddSpareSpaceToTheRightAndKeepsTheMiddleOfALongText) {
    const CenterCase cases[] = {
        {"abc", 10, Spaces(3) + "abc" + Spaces(4)},
        {"abcd", 10, Spaces(3) + "abcd" + Spaces(3)},
        {"abcdefghi", 10, "abcdefghi "},
        {"abcdefghij", 10, "abcdefghij"},
        {"abcdefghijkl", 10, "bcdefghijk"},
        {"abcdefghijklm", 10, "bcdefghijk"},
        {"", 4, Spaces(4)},
        {"Ёж", 5, " Ёж  "},
        {"Учебный ККТ", 7, "ебный К"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CenterText(c.input, c.width), c.expected) << c.input;
}

TEST(PadRight, FillsToWidthInCharactersAndKeepsALongerText) {
    EXPECT_EQ(PadRight("Ёж", 4), "Ёж  ");
    EXPECT_EQ(PadRight("abcdef", 4), "abcdef");
}

} // namespace
} // namespace veltrano::output
