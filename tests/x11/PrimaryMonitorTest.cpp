#include "platform/x11/PrimaryMonitor.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
struct Case {
    const char* name;
    std::vector<MonitorInfo> monitors;
    TSize expected;
};

class PrimaryMonitorSize : public testing::TestWithParam<Case> {};

TEST_P(PrimaryMonitorSize, ChoosesPrimaryElseFirstElseRoot) {
    const Case& c = GetParam();
    EXPECT_EQ(primaryMonitorSize(c.monitors, {3000, 1200}), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Monitors, PrimaryMonitorSize,
    testing::Values(Case{"none", {}, {3000, 1200}}, Case{"one", {{false, {1920, 1080}}}, {1920, 1080}},
                    Case{"primarySecond", {{false, {1280, 1024}}, {true, {1920, 1080}}}, {1920, 1080}},
                    Case{"primaryFirst", {{true, {1280, 1024}}, {false, {1920, 1080}}}, {1280, 1024}},
                    Case{"noPrimary", {{false, {1600, 900}}, {false, {1920, 1080}}}, {1600, 900}},
                    Case{"twoFlagged", {{false, {800, 600}}, {true, {1024, 768}}, {true, {1920, 1080}}}, {1024, 768}}),
    [](const testing::TestParamInfo<Case>& info) { return info.param.name; });
} // namespace
