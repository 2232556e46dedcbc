#include "common/moment.h"
#include "kkt/operations/correction_receipt_date.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace veltrano::kkt::testing::documents {
namespace {

std::string Shown(const std::optional<moment::DateTime>& dt) {
    if (!dt)
        return "none";
    return moment::FormatDateTime(*dt) + "." + std::to_string(dt->millisecond);
}

TEST(ReadIsoDateTime, ReadsDatesAndTimesAndTurnsOffsetsIntoUTC) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"2024-05-01", "01.05.2024 00:00:00.0"},
        {"20240501", "01.05.2024 00:00:00.0"},
        {"2024-02-29", "29.02.2024 00:00:00.0"},
        {"2000-02-29", "29.02.2000 00:00:00.0"},
        {"2024-05-01T13", "01.05.2024 13:00:00.0"},
        {"2024-05-01T13:45", "01.05.2024 13:45:00.0"},
        {"2024-05-01T13:45:07", "01.05.2024 13:45:07.0"},
        {"2024-05-01t13:45:07.5", "01.05.2024 13:45:07.500"},
        {"2024-05-01T13:45:07,123456", "01.05.2024 13:45:07.123"},
        {"2024-05-01T134507", "01.05.2024 13:45:07.0"},
        {"20240501T134507Z", "01.05.2024 13:45:07.0"},
        {"2024-05-01T13:45:07z", "01.05.2024 13:45:07.0"},
        {"2024-05-01T01:00:00+03:00", "30.04.2024 22:00:00.0"},
        {"2024-05-01T01:00+0300", "30.04.2024 22:00:00.0"},
        {"2024-05-01T01:00+03", "30.04.2024 22:00:00.0"},
        {"2024-05-01T23:30:00-02:00", "02.05.2024 01:30:00.0"},
        {"2024-12-31T23:59:59.999-00:01", "01.01.2025 00:00:59.999"},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(Shown(ReadIsoDateTime(text)), expected) << text;
}

TEST(ReadIsoDateTime, RefusesWhatIsNoDateOrNoPossibleOne) {
    for (const char* text : {"",
                             "2024",
                             "2024-05",
                             "2024-5-1",
                             "2024-0501",
                             "202405-01",
                             "01.05.2024",
                             "2024-13-01",
                             "2024-00-10",
                             "2024-05-00",
                             "2024-02-30",
                             "2023-02-29",
                             "1900-02-29",
                             "0000-01-01",
                             "2024-05-01T",
                             "2024-05-01 12:00",
                             "2024-05-01T24:00",
                             "2024-05-01T12:60",
                             "2024-05-01T12:00:60",
                             "2024-05-01T12:00:00.",
                             "2024-05-01T1200:00",
                             "2024-05-01Z",
                             "2024-05-01T12:00+25:00",
                             "2024-05-01T12:00+03:",
                             "2024-05-01T12:00+03:75",
                             "2024-05-01T12:00:00Zjunk",
                             "2024-05-01T12:00:00 ",
                             "yesterday",
                             "\xef\xbc\x92\xef\xbc\x90\xef\xbc\x92\xef\xbc\x94-05-01"})
        EXPECT_EQ(Shown(ReadIsoDateTime(text)), "none") << text;
}

} // namespace
} // namespace veltrano::kkt::testing::documents
