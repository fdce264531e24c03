#include "model/StartTime.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

TEST(StartTimeTest, OnlyColonSeparatedTimesOfDayAreRead) {
    struct Case {
        std::string text;
        std::optional<TTimeOfDay> read;
    };
    const std::vector<Case> cases{
        {"14:05:00", TTimeOfDay{14, 5, 0}},
        {"07:08", TTimeOfDay{7, 8, 0}},
        {"7:8:9", TTimeOfDay{7, 8, 9}},
        {"07:08 ", TTimeOfDay{7, 8, 0}},
        {" 23:59:59", TTimeOfDay{23, 59, 59}},
        {"00:00:00", TTimeOfDay{0, 0, 0}},
        {" 7: 8", std::nullopt},
        {"+7:08", std::nullopt},
        {"-7:08", std::nullopt},
        {"24:00", std::nullopt},
        {"7:60", std::nullopt},
        {"7:08:60", std::nullopt},
        {"", std::nullopt},
        {"  ", std::nullopt},
        {"7", std::nullopt},
        {"7.08", std::nullopt},
        {"7 h 08", std::nullopt},
        {"7:08:09:10", std::nullopt},
        {"007:08", std::nullopt},
        {"7::08", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadStartTime(c.text), c.read) << '"' << c.text << '"';
    EXPECT_EQ(StartTimeText({7, 8, 0}), "07:08:00");
}
