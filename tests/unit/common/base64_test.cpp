#include "common/base64.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>

namespace {

using namespace std::string_literals;

struct DecodeCase {
    std::string_view text;
    std::optional<std::string> bytes;
};

class Base64Decode : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(Base64Decode, GivesTheBytesOrNothing) {
    const DecodeCase& c = GetParam();
    const std::optional<std::string> bytes = veltrano::base64::Decode(c.text);
    if (!c.bytes) {
        EXPECT_FALSE(bytes.has_value()) << "'" << c.text << "' decoded";
        return;
    }
    ASSERT_TRUE(bytes.has_value()) << "'" << c.text << "'";
    EXPECT_EQ(*bytes, *c.bytes) << "'" << c.text << "'";
}

// The test vectors of RFC 4648, with and without padding.
INSTANTIATE_TEST_SUITE_P(StandardVectors, Base64Decode,
                         ::testing::Values(DecodeCase{"", ""s}, DecodeCase{"Zg==", "f"s},
                                           DecodeCase{"Zm8=", "fo"s}, DecodeCase{"Zm9v", "foo"s},
                                           DecodeCase{"Zm9vYg==", "foob"s}, DecodeCase{"Zm9vYmE=", "fooba"s},
                                           DecodeCase{"Zm9vYmFy", "foobar"s}, DecodeCase{"Zg", "f"s},
                                           DecodeCase{"Zm8", "fo"s}, DecodeCase{"Zm9vYg", "foob"s}));

INSTANTIATE_TEST_SUITE_P(WholeAlphabetAndBinary, Base64Decode,
                         ::testing::Values(DecodeCase{"+/+/", "\xfb\xff\xbf"s}, DecodeCase{"AAAA", "\0\0\0"s},
                                           DecodeCase{"////", "\xff\xff\xff"s},
                                           DecodeCase{"AB1DZXpzeTA5",
                                                      "\x00\x1d\x43\x65\x7a\x73\x79\x30\x39"s}));

INSTANTIATE_TEST_SUITE_P(BlanksAreSkipped, Base64Decode,
                         ::testing::Values(DecodeCase{" Zm9v ", "foo"s},
                                           DecodeCase{"Zm9v\r\nYmFy", "foobar"s},
                                           DecodeCase{"Z m\t8 =", "fo"s}, DecodeCase{"Zg== \n", "f"s},
                                           DecodeCase{"   ", ""s}));

INSTANTIATE_TEST_SUITE_P(Invalid, Base64Decode,
                         ::testing::Values(DecodeCase{"Z", std::nullopt}, DecodeCase{"Zm9vY", std::nullopt},
                                           DecodeCase{"Zm9v!", std::nullopt},
                                           DecodeCase{"Zm-_", std::nullopt}, DecodeCase{"Zg=", std::nullopt},
                                           DecodeCase{"Zm8==", std::nullopt},
                                           DecodeCase{"Zg==Zg==", std::nullopt},
                                           DecodeCase{"=", std::nullopt}, DecodeCase{"====", std::nullopt},
                                           DecodeCase{"Zm9v====", std::nullopt},
                                           DecodeCase{"Zm9v\x01", std::nullopt},
                                           DecodeCase{"0J/RgNC40LLQtdGC\xd0\x96", std::nullopt}));

} // namespace
