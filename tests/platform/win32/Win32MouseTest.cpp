#include "platform/win32/Win32Backend.h"
#include "tests/platform/win32/Win32TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>

#include <stdexcept>
#include <string>
#include <vector>

using ::testing::ElementsAreArray;

namespace {
constexpr int kLeft = 60;
constexpr int kTop = 80;

class Win32MouseTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { target = new TargetWindow(kLeft, kTop, 400, 300); }
    static void TearDownTestSuite() {
        delete target;
        target = nullptr;
    }
    void SetUp() override { target->clear(); }

    static TargetWindow* target;
    Win32Backend backend;
};

TargetWindow* Win32MouseTest::target = nullptr;

std::string at(const char* message, int x, int y) {
    return std::string(message) + " " + std::to_string(x) + " " + std::to_string(y);
}

TEST_F(Win32MouseTest, SetCursorPosMovesThePointerWhereCursorPosReadsIt) {
    backend.mouse().setCursorPos(kLeft + 123, kTop + 45);
    EXPECT_EQ(backend.mouse().cursorPos(), (TPoint{kLeft + 123, kTop + 45}));
}

struct ButtonCase {
    const char* name;
    std::uint32_t down;
    std::uint32_t up;
    const char* downMessage;
    const char* upMessage;
    const char* doubleMessage;
};

const ButtonCase kButtons[] = {
    {"left", MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, "WM_LBUTTONDOWN", "WM_LBUTTONUP", "WM_LBUTTONDBLCLK"},
    {"right", MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, "WM_RBUTTONDOWN", "WM_RBUTTONUP", "WM_RBUTTONDBLCLK"},
    {"middle", MOUSEEVENTF_MIDDLEDOWN, MOUSEEVENTF_MIDDLEUP, "WM_MBUTTONDOWN", "WM_MBUTTONUP", "WM_MBUTTONDBLCLK"},
};

// Each case clicks at a point of its own, far enough from the last that no two clicks pair into a double click.
TEST_F(Win32MouseTest, SingleAndDoubleClicksArriveAsTheirMessagesWhereThePointerIs) {
    int x = 20;
    for (const ButtonCase& button : kButtons) {
        SCOPED_TRACE(button.name);
        const int y = 30 + x / 2;
        backend.mouse().setCursorPos(kLeft + x, kTop + y);
        backend.mouse().sendButtonEvent(button.down);
        backend.mouse().sendButtonEvent(button.up);
        EXPECT_THAT(target->waitForLines(2),
                    ElementsAreArray({at(button.downMessage, x, y), at(button.upMessage, x, y)}));
        target->clear();
        x += 60;

        const int y2 = 30 + x / 2;
        backend.mouse().setCursorPos(kLeft + x, kTop + y2);
        for (int i = 0; i < 2; ++i) {
            backend.mouse().sendButtonEvent(button.down);
            backend.mouse().sendButtonEvent(button.up);
        }
        EXPECT_THAT(target->waitForLines(4),
                    ElementsAreArray({at(button.downMessage, x, y2), at(button.upMessage, x, y2),
                                      at(button.doubleMessage, x, y2), at(button.upMessage, x, y2)}));
        target->clear();
        x += 60;
    }
}

TEST_F(Win32MouseTest, FlagsOtherThanOneButtonEventSendNothing) {
    backend.mouse().setCursorPos(kLeft + 200, kTop + 200);
    backend.mouse().sendButtonEvent(MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_LEFTUP);
    backend.mouse().sendButtonEvent(0x0001); // a move
    backend.mouse().sendButtonEvent(MOUSEEVENTF_RIGHTDOWN);
    backend.mouse().sendButtonEvent(MOUSEEVENTF_RIGHTUP);
    EXPECT_THAT(target->waitForLines(2),
                ElementsAreArray({at("WM_RBUTTONDOWN", 200, 200), at("WM_RBUTTONUP", 200, 200)}));
}

TEST(Win32MouseRefusalTest, ARefusedButtonEventThrowsSayingWhy) {
    Win32Mouse mouse([](std::uint32_t) { return false; });
    try {
        mouse.sendButtonEvent(MOUSEEVENTF_LEFTDOWN);
        FAIL() << "a refused event went by silently";
    } catch (const std::runtime_error& error) {
        EXPECT_THAT(error.what(), ::testing::HasSubstr("refused"));
    }
}
} // namespace
