#include "common/cp1251.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::string_literals;
using veltrano::cp1251::ToUtf8;

struct Cp1251Case {
    std::string bytes;
    std::string utf8;
};

class Cp1251ToUtf8 : public ::testing::TestWithParam<Cp1251Case> {};

TEST_P(Cp1251ToUtf8, ReadsEveryByteAsItsCharacter) {
    EXPECT_EQ(ToUtf8(GetParam().bytes), GetParam().utf8);
}

INSTANTIATE_TEST_SUITE_P(
    Table, Cp1251ToUtf8,
    ::testing::Values(Cp1251Case{"", ""}, Cp1251Case{"Abc 019", "Abc 019"},
                      Cp1251Case{"\x00\x1d\x7f"s, "\x00\x1d\x7f"s},
                      // The whole Cyrillic alphabet block, its ends and Ё/ё which lie outside it.
                      Cp1251Case{"\xc0\xc1\xdf\xe0\xff", "АБЯая"}, Cp1251Case{"\xa8\xb8", "Ёё"},
                      Cp1251Case{"\xcf\xf0\xe8\xe2\xe5\xf2", "Привет"},
                      Cp1251Case{"\x80\x81\x8f\x90\x9f", "ЂЃЏђџ"}, Cp1251Case{"\x88\xb9\x99", "€№™"},
                      Cp1251Case{"\x96\x97\xab\xbb\xa0", "–—«»\u00a0"}, Cp1251Case{"\xa5\xb4", "Ґґ"},
                      Cp1251Case{"\x98", "\uFFFD"}));

} // namespace
