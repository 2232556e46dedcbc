#include "platform/platform.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>

namespace {

// A thousand draws never repeat, and every one of the 64 bits is seen both set and clear.
TEST(RandomNumber, DrawsDistinctNumbersOverAllBits) {
    std::set<std::uint64_t> seen;
    std::uint64_t everSet = 0;
    std::uint64_t everClear = 0;
    for (int i = 0; i < 1000; ++i) {
        const std::uint64_t number = veltrano::platform::RandomNumber();
        seen.insert(number);
        everSet |= number;
        everClear |= ~number;
    }
    EXPECT_EQ(seen.size(), 1000u);
    EXPECT_EQ(everSet, ~std::uint64_t{0});
    EXPECT_EQ(everClear, ~std::uint64_t{0});
}

} // namespace
