#include "common/code_pages.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::string_literals;
using namespace veltrano::code_pages;

struct CodePageCase {
    const UpperHalf* table;
    std::string bytes;
    std::string utf8;
};

class CodePageToUtf8 : public ::testing::TestWithParam<CodePageCase> {};

TEST_P(CodePageToUtf8, ReadsEveryByteAsItsCharacter) {
    EXPECT_EQ(ToUtf8(GetParam().bytes, *GetParam().table), GetParam().utf8);
}

INSTANTIATE_TEST_SUITE_P(
    Cp1251, CodePageToUtf8,
    ::testing::Values(CodePageCase{&Cp1251, "", ""}, CodePageCase{&Cp1251, "Abc 019", "Abc 019"},
                      CodePageCase{&Cp1251, "\x00\x1d\x7f"s, "\x00\x1d\x7f"s},
                      // The whole Cyrillic alphabet block, its ends and Ё/ё which lie outside it.
                      CodePageCase{&Cp1251, "\xc0\xc1\xdf\xe0\xff", "АБЯая"},
                      CodePageCase{&Cp1251, "\xa8\xb8", "Ёё"},
                      CodePageCase{&Cp1251, "\xcf\xf0\xe8\xe2\xe5\xf2", "Привет"},
                      CodePageCase{&Cp1251, "\x80\x81\x8f\x90\x9f", "ЂЃЏђџ"},
                      CodePageCase{&Cp1251, "\x88\xb9\x99", "€№™"},
                      CodePageCase{&Cp1251, "\x96\x97\xab\xbb\xa0", "–—«»\u00a0"},
                      CodePageCase{&Cp1251, "\xa5\xb4", "Ґґ"}, CodePageCase{&Cp1251, "\x98", "\uFFFD"}));

INSTANTIATE_TEST_SUITE_P(OtherPages, CodePageToUtf8,
                         ::testing::Values(CodePageCase{&Cp866, "\x8f\xe0\xa8\xa2\xa5\xe2", "Привет"},
                                           CodePageCase{&Cp866, "\xf0\xf1\xfc\xc4\xb3", "Ёё№─│"},
                                           CodePageCase{&Cp1254, "\xd0\xdd\xde\xf0\xfd\xfe", "ĞİŞğış"},
                                           CodePageCase{&Cp1254, "\x81\x8d", "\uFFFD\uFFFD"},
                                           CodePageCase{&Cp28599, "\xd0\xdd\xde\xf0\xfd\xfe", "ĞİŞğış"},
                                           CodePageCase{&Cp28599, "\x80\xa4", "\u0080¤"}));

} // namespace
