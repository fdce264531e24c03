#include "platform/fake/FakeScreen.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace {

// Copies a rectangle into a fresh block with rows padded to 4 bytes, as the pixel buffer lays them out.
struct Copy {
    Copy(FakeScreen& screen, int left, int top, int width, int height)
        : width(width), height(height), lineWidth((3 * width + 3) / 4 * 4),
          bits(static_cast<std::size_t>(lineWidth) * static_cast<std::size_t>(height), 0xEE),
          ok(screen.copyRect(left, top, width, height, bits.data(), lineWidth)) {}

    // 0x00RRGGBB of column x of row y counted from the top.
    std::uint32_t rgb(int x, int y) const {
        const std::uint8_t* p = bits.data() + static_cast<std::size_t>((height - 1 - y) * lineWidth + 3 * x);
        return std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 | p[0];
    }

    int width;
    int height;
    int lineWidth;
    std::vector<std::uint8_t> bits;
    bool ok;
};

} // namespace

TEST(FakeScreenTest, StartsBlackAtFullHd) {
    FakeScreen screen;
    EXPECT_EQ(screen.screenSize(), (TSize{1920, 1080}));
    EXPECT_EQ(screen.rgbAt(1919, 1079), 0u);
}

TEST(FakeScreenTest, PixelColorAnswersInThePlatformForm) {
    FakeScreen screen(10, 10);
    screen.setPixel(3, 4, 0x112233);
    EXPECT_EQ(screen.rgbAt(3, 4), 0x112233u);
    EXPECT_EQ(screen.pixelColor(3, 4), 0x332211u);
    EXPECT_EQ(screen.pixelColor(-1, 4), 0u);
    EXPECT_EQ(screen.pixelColor(10, 4), 0u);
}

TEST(FakeScreenTest, PaintingClipsToTheScreen) {
    FakeScreen screen(4, 3);
    screen.fillRect(-2, -2, 4, 4, 0x0000FF);
    screen.paint(3, 2, 2, std::vector<std::uint32_t>{0x010101, 0x020202, 0x030303, 0x040404});
    EXPECT_EQ(screen.rgbAt(0, 0), 0x0000FFu);
    EXPECT_EQ(screen.rgbAt(1, 1), 0x0000FFu);
    EXPECT_EQ(screen.rgbAt(2, 1), 0u);
    EXPECT_EQ(screen.rgbAt(3, 2), 0x010101u);
    screen.fillRect(INT_MAX - 1, INT_MAX - 1, INT_MAX, INT_MAX, 0xFFFFFF);
}

TEST(FakeScreenTest, CopiesRowsBottomUpWithBlackBeyondTheEdgesLeavingThePaddingAlone) {
    FakeScreen screen(5, 4);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 5; ++x) {
            screen.setPixel(x, y, static_cast<std::uint32_t>(0x100000 * (x + 1) + 0x100 * (y + 1) + 7));
        }
    }
    const Copy copy(screen, -1, 2, 3, 3);
    ASSERT_TRUE(copy.ok);
    EXPECT_EQ(copy.rgb(0, 0), 0u);
    EXPECT_EQ(copy.rgb(1, 0), screen.rgbAt(0, 2));
    EXPECT_EQ(copy.rgb(2, 1), screen.rgbAt(1, 3));
    EXPECT_EQ(copy.rgb(1, 2), 0u);
    EXPECT_EQ(copy.bits[0], 0u);    // bottom row, beyond the screen
    EXPECT_EQ(copy.bits[9], 0xEEu); // padding: the rows may lie inside a larger buffer
    EXPECT_EQ(copy.bits[11], 0xEEu);
    EXPECT_EQ(screen.lastCopy(), (FakeScreen::CopyRequest{-1, 2, 3, 3}));
}

TEST(FakeScreenTest, FarAwayRectanglesCopyBlackWithoutOverflow) {
    FakeScreen screen(5, 4);
    screen.fill(0xFFFFFF);
    for (const auto& [left, top] : {std::pair{INT_MAX - 1, 0}, {0, INT_MAX - 1}, {INT_MIN, INT_MIN}, {-3, 4}}) {
        const Copy copy(screen, left, top, 3, 2);
        ASSERT_TRUE(copy.ok);
        EXPECT_EQ(copy.rgb(0, 0) | copy.rgb(2, 1), 0u) << left << "," << top;
    }
}

TEST(FakeScreenTest, CountsCopiesAndFailsTheNextOneOnRequest) {
    FakeScreen screen(5, 4);
    screen.failNextCopy();
    EXPECT_FALSE(Copy(screen, 0, 0, 2, 2).ok);
    EXPECT_TRUE(Copy(screen, 0, 0, 2, 2).ok);
    EXPECT_EQ(screen.copyCount(), 2);
}

TEST(FakeScreenTest, RefusesRowsNarrowerThanThePixels) {
    FakeScreen screen(5, 4);
    std::vector<std::uint8_t> bits(64);
    EXPECT_FALSE(screen.copyRect(0, 0, 3, 2, bits.data(), 8));
    EXPECT_FALSE(screen.copyRect(0, 0, 0, 2, bits.data(), 8));
}

TEST(FakeScreenTest, ResizeBlanksTheScreen) {
    FakeScreen screen(5, 4);
    screen.fill(0x123456);
    screen.resize(8, 2);
    EXPECT_EQ(screen.screenSize(), (TSize{8, 2}));
    EXPECT_EQ(screen.rgbAt(0, 0), 0u);
}
