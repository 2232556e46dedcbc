#include "output/wrap_words.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace veltrano::output {
namespace {

struct WrapCase {
    std::string text;
    std::size_t width;
    std::vector<std::string> expected;
};

TEST(WrapWords, BreaksAtSpacesLineEndsOrHardAtWidth) {
    const WrapCase cases[] = {
        {"abc defgh", 5, {"abc", "defgh"}},
        {"a\r\n\r\nb", 5, {"a", "b"}},
        {"abcdefghij", 4, {"abcd", "efgh", "ij"}},
        {"one\ntwo", 10, {"one", "two"}},
        {"one\rtwo", 10, {"one", "two"}},
        {"abcde fgh", 5, {"abcde", "fgh"}},
        {"ab cd ef", 5, {"ab cd", "ef"}},
        {"hello world foo", 8, {"hello", "world", "foo"}},
        {"abc   ", 10, {"abc   "}},
        {"  abc", 10, {"  abc"}},
        {"a\n   \nb", 5, {"a", "b"}},
        {"Привет мир", 6, {"Привет", "мир"}},
        {"Съешь ещё этих мягких булок", 12, {"Съешь ещё", "этих мягких", "булок"}},
        {"", 5, {}},
        {"\r\n", 5, {}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> lines;
        WrapWords(c.text, c.width, lines);
        EXPECT_EQ(lines, c.expected) << c.text << " / " << c.width;
    }
}

TEST(WrapWords, AppendsToTheLinesAlreadyInTheList) {
    std::vector<std::string> lines{"first"};
    WrapWords("second", 10, lines);
    EXPECT_EQ(lines, (std::vector<std::string>{"first", "second"}));
}

TEST(WrapWords, HandlesWidthsAboveOneByte) {
    const std::string word(300, 'x');
    std::vector<std::string> lines;
    WrapWords(word + " " + word + "y", 300, lines);
    EXPECT_EQ(lines, (std::vector<std::string>{word, word, "y"}));
}

} // namespace
} // namespace veltrano::output
