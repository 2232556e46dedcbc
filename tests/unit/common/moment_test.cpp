#include "common/moment.h"

#include <gtest/gtest.h>

#include <string_view>

namespace {

using namespace veltrano::moment;

struct MomentCase {
    DateTime dt;
    Moment moment;
    std::string_view text;
};

class MomentTable : public ::testing::TestWithParam<MomentCase> {};

TEST_P(MomentTable, LocalDateTimeCountsAsIfUtc) {
    EXPECT_EQ(ToMoment(GetParam().dt), GetParam().moment);
}

TEST_P(MomentTable, MomentReadsBackToTheSameWallClock) {
    const DateTime back = FromMoment(GetParam().moment);
    EXPECT_EQ(FormatDateTime(back), GetParam().text);
    EXPECT_EQ(ToMoment(back), GetParam().moment);
}

TEST_P(MomentTable, FormatsDayMonthYear) {
    EXPECT_EQ(FormatDateTime(GetParam().dt), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MomentTable,
    ::testing::Values(MomentCase{{1970, 1, 1, 0, 0, 0}, 0, "01.01.1970 00:00:00"},
                      MomentCase{{1970, 1, 2, 0, 0, 1}, 86401, "02.01.1970 00:00:01"},
                      MomentCase{{2000, 2, 29, 12, 0, 0}, 951825600, "29.02.2000 12:00:00"},
                      MomentCase{{2000, 3, 1, 0, 0, 0}, 951868800, "01.03.2000 00:00:00"},
                      MomentCase{{2024, 2, 29, 23, 59, 59}, 1709251199, "29.02.2024 23:59:59"},
                      MomentCase{{2024, 1, 31, 15, 45, 2}, 1706715902, "31.01.2024 15:45:02"},
                      MomentCase{{2019, 1, 1, 0, 0, 0}, 1546300800, "01.01.2019 00:00:00"},
                      MomentCase{{2038, 1, 19, 3, 14, 8}, 2147483648, "19.01.2038 03:14:08"},
                      MomentCase{{2100, 3, 1, 0, 0, 0}, 4107542400, "01.03.2100 00:00:00"},
                      MomentCase{{1969, 12, 31, 23, 59, 59}, -1, "31.12.1969 23:59:59"},
                      MomentCase{{1900, 3, 1, 0, 0, 0}, -2203891200, "01.03.1900 00:00:00"},
                      MomentCase{{1601, 1, 1, 0, 0, 0}, -11644473600, "01.01.1601 00:00:00"}));

TEST(Moment, MillisecondsDoNotCount) {
    EXPECT_EQ(ToMoment({2024, 5, 6, 7, 8, 9, 999}), ToMoment({2024, 5, 6, 7, 8, 9, 0}));
}

TEST(Moment, ShortForms) {
    const DateTime dt{2024, 3, 5, 7, 9, 4};
    EXPECT_EQ(FormatDate(dt), "05.03.2024");
    EXPECT_EQ(FormatHourMinute(dt), "07:09");
}

} // namespace
