#include "output/esc_codes.h"

#include <gtest/gtest.h>

namespace veltrano::output {
namespace {

TEST(EscCodes, DecimalBytesJoinedBySeparators) {
    const struct {
        std::string_view setting;
        std::string bytes;
    } cases[] = {
        {"27+64", "\x1B\x40"},
        {"27+71+01", std::string("\x1B\x47\x01", 3)},
        {"27+G+64", "\x1B\x40"},
        {"29 86;1", std::string("\x1D\x56\x01", 3)},
        {"27.105,29-101", "\x1B\x69\x1D\x65"},
        {"27++64", "\x1B\x40"},
        {"", ""},
        {"-1", std::string("\x01", 1)},
        {"abc", ""},
        {"27+33+00", std::string("\x1B\x21\x00", 3)},
        // A number above 255 gives its low byte; one too large to read is skipped like a word.
        {"27+300", "\x1B\x2C"},
        {"256+27", std::string("\x00\x1B", 2)},
        {"27+99999999999999999999999+64", "\x1B\x40"},
        {" , ; ", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseEscCode(c.setting), c.bytes) << c.setting;
}

} // namespace
} // namespace veltrano::output
