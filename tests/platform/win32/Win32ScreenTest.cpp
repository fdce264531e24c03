#include "platform/win32/Win32Screen.h"
#include "tests/platform/win32/TargetPattern.h"
#include "tests/platform/win32/Win32TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <vector>

namespace {
constexpr int kWidth = 240;
constexpr int kHeight = 160;

int rowBytes(int width) {
    return (width * 3 + 3) & ~3;
}

// What a capture of the rectangle should hold: the target's pattern where the target is, black off the desktop,
// and `unknown` (left as it was) elsewhere.
struct Expected {
    std::vector<std::uint8_t> bits;
    std::vector<bool> known;
};

class Win32ScreenTest : public ::testing::Test {
protected:
    // The target sits against the right edge of the primary screen, so rectangles can reach past it.
    static void SetUpTestSuite() {
        right = GetSystemMetrics(SM_CXSCREEN);
        target = new TargetWindow(right - kWidth, 40, kWidth, kHeight);
    }
    static void TearDownTestSuite() {
        delete target;
        target = nullptr;
    }

    // Captures (left, top, width, height) and compares each byte the test knows, naming the first that differs.
    static void expectCapture(int left, int top, int width, int height) {
        const int line = rowBytes(width);
        std::vector<std::uint8_t> bits(static_cast<std::size_t>(line) * height, 0xAA);
        ASSERT_TRUE(screen.copyRect(left, top, width, height, bits.data(), line));
        const int desktopLeft = GetSystemMetrics(SM_XVIRTUALSCREEN);
        const int desktopTop = GetSystemMetrics(SM_YVIRTUALSCREEN);
        const int desktopRight = desktopLeft + GetSystemMetrics(SM_CXVIRTUALSCREEN);
        const int desktopBottom = desktopTop + GetSystemMetrics(SM_CYVIRTUALSCREEN);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const int sx = left + x;
                const int sy = top + y;
                const bool offDesktop =
                    sx < desktopLeft || sx >= desktopRight || sy < desktopTop || sy >= desktopBottom;
                const bool onTarget = sx >= target->left() && sx < target->left() + kWidth && sy >= target->top() &&
                                      sy < target->top() + kHeight;
                if (!offDesktop && !onTarget)
                    continue;
                const std::uint32_t wanted =
                    offDesktop ? 0 : targetPatternColour(sx - target->left(), sy - target->top());
                const std::uint8_t* pixel = bits.data() + static_cast<std::size_t>(height - 1 - y) * line + 3 * x;
                const std::uint32_t got = pixel[2] << 16 | pixel[1] << 8 | pixel[0];
                ASSERT_EQ(got, wanted) << "at screen point " << sx << ", " << sy;
            }
        }
    }

    static TargetWindow* target;
    static int right;
    static Win32Screen screen;
};

TargetWindow* Win32ScreenTest::target = nullptr;
int Win32ScreenTest::right = 0;
Win32Screen Win32ScreenTest::screen;

TEST_F(Win32ScreenTest, CapturesTheTargetByteForByteAsBottomUpBgrRows) {
    expectCapture(target->left(), target->top(), kWidth, kHeight);
}

TEST_F(Win32ScreenTest, OddWidthsAndInnerRectanglesKeepTheirRowsApart) {
    for (const int width : {1, 2, 3, 5, 37}) {
        SCOPED_TRACE(width);
        expectCapture(target->left() + 11, target->top() + 7, width, 13);
    }
}

TEST_F(Win32ScreenTest, PartsBeyondTheDesktopComeOutBlack) {
    expectCapture(right - 50, target->top() + 10, 120, 20);
    expectCapture(right + 10, 0, 30, 4);
    expectCapture(GetSystemMetrics(SM_XVIRTUALSCREEN) - 8, GetSystemMetrics(SM_YVIRTUALSCREEN) - 3, 16, 6);
}

TEST_F(Win32ScreenTest, ALargerCaptureAfterASmallerOneIsWholeToo) {
    expectCapture(target->left() + 100, target->top() + 100, 10, 10);
    expectCapture(target->left(), target->top(), kWidth, kHeight);
    expectCapture(target->left() + 3, target->top() + 3, 20, 150);
}

TEST_F(Win32ScreenTest, RectanglesWithoutPixelsOrRoomAreRefused) {
    std::vector<std::uint8_t> bits(64);
    EXPECT_FALSE(screen.copyRect(0, 0, 0, 5, bits.data(), 4));
    EXPECT_FALSE(screen.copyRect(0, 0, 5, -1, bits.data(), 16));
    EXPECT_FALSE(screen.copyRect(0, 0, 5, 1, bits.data(), 14));
    EXPECT_FALSE(screen.copyRect(0, 0, 1, 1, nullptr, 4));
}

TEST_F(Win32ScreenTest, PixelColourIsThePlatformColourValueAndBlackOffTheDesktop) {
    const std::uint32_t rgb = targetPatternColour(17, 9);
    const std::uint32_t bgr = (rgb & 0xFF) << 16 | (rgb & 0xFF00) | (rgb >> 16);
    EXPECT_EQ(screen.pixelColor(target->left() + 17, target->top() + 9), bgr);
    EXPECT_EQ(screen.pixelColor(right + 5, 10), 0u);
}

TEST_F(Win32ScreenTest, ScreenSizeIsThePrimaryScreens) {
    EXPECT_EQ(screen.screenSize(), (TSize{right, GetSystemMetrics(SM_CYSCREEN)}));
}

// Wine on Xvfb shows one monitor: the primary, whose top-left is (0, 0).
TEST_F(Win32ScreenTest, TheMonitorsAreTheDisplaysAtScreenPositions) {
    ASSERT_EQ(GetSystemMetrics(SM_CMONITORS), 1);
    EXPECT_EQ(screen.monitorAreas(), (std::vector<TRect>{{0, 0, right, GetSystemMetrics(SM_CYSCREEN)}}));
}
} // namespace
