#include "engine/ClickRunner.h"
#include "platform/win32/Win32Backend.h"
#include "tests/platform/win32/Win32TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

using ::testing::ElementsAre;

namespace {
constexpr int kLeft = 60;
constexpr int kTop = 80;

std::string at(const char* message, int x, int y) {
    return std::string(message) + " " + std::to_string(x) + " " + std::to_string(y);
}

// The click step on the real timers and input: a fixed-point click that moves the pointer back afterwards.
TEST(Win32ClickStepTest, AFixedPointClickLandsThereAndPutsThePointerBack) {
    TargetWindow target(kLeft, kTop, 400, 300);
    Win32Backend backend;
    Platform platform = backend.platform();
    TClickRunner runner(platform);
    runner.pointType = ptFixed;
    runner.fPosX = kLeft + 300;
    runner.fPosY = kTop + 250;
    runner.mouseType = mtRight;
    runner.finishType = ftBack;
    runner.stopType = spRepeat;
    runner.fRepeat = 1;
    runner.iClickInterval = 10;
    backend.mouse().setCursorPos(kLeft + 5, kTop + 5);

    runner.Start();
    ASSERT_TRUE(pumpUntil([&] { return !runner.running; }));

    EXPECT_THAT(target.waitForLines(2), ElementsAre(at("WM_RBUTTONDOWN", 300, 250), at("WM_RBUTTONUP", 300, 250)));
    // Under Wine the pointer follows the X server's pointer, which settles a moment after the last warp.
    EXPECT_TRUE(pumpUntil([&] {
        return backend.mouse().cursorPos() == TPoint{kLeft + 5, kTop + 5};
    })) << "the pointer stayed at "
        << backend.mouse().cursorPos().x << ", " << backend.mouse().cursorPos().y;
    EXPECT_EQ(runner.count, 1);
}
// Where Windows refuses injected input, a click step counts nothing and its row can say why.
TEST(Win32ClickStepTest, ARefusedClickIsNotCountedAndTheRunnerSaysWhy) {
    Win32Backend backend;
    Win32Mouse refusing([](std::uint32_t) { return false; });
    Platform platform{refusing, backend.screen(), backend.loop(), backend.clock(), backend.hotKeys()};
    TClickRunner runner(platform);
    runner.pointType = ptFixed;
    runner.fPosX = kLeft + 10;
    runner.fPosY = kTop + 10;
    runner.iClickInterval = 10;

    runner.Start();
    ASSERT_TRUE(pumpUntil([&] { return !runner.tickError.empty(); }));
    pumpFor(std::chrono::milliseconds(50));

    EXPECT_EQ(runner.count, 0);
    EXPECT_TRUE(runner.running);
    EXPECT_THAT(runner.tickError, ::testing::HasSubstr("refused"));
}
} // namespace
