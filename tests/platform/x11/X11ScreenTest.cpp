// gtest first: the X headers define None, which gtest uses as a name.
#include <gtest/gtest.h>

#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Screen.h"
#include "platform/x11/X11ShmSegment.h"

#include "TargetClient.h"
#include "XMonitors.h"
#include "XvfbServer.h"

#include <X11/Xlib.h>

#include <cstdint>
#include <limits>
#include <memory>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <vector>

namespace {
constexpr int screenWidth = 1366;
constexpr int screenHeight = 768;

// Every pixel differs from its neighbours in every channel, so a shifted or swapped byte cannot pass.
std::uint32_t pattern(int x, int y) {
    const auto red = static_cast<std::uint32_t>((x * 7 + y * 13) & 0xFF);
    const auto green = static_cast<std::uint32_t>((x * 3 ^ y * 5) & 0xFF);
    const auto blue = static_cast<std::uint32_t>((x + y * 11 + 100) & 0xFF);
    return red << 16 | green << 8 | blue;
}

// Channels of 0 or 255 only, which a 5-6-5 screen keeps exactly.
std::uint32_t coarsePattern(int x, int y) {
    const int code = (x / 3 + y / 2) % 8;
    return ((code & 4) ? 0xFF0000u : 0) | ((code & 2) ? 0x00FF00u : 0) | ((code & 1) ? 0x0000FFu : 0);
}

struct Rect {
    int left, top, width, height;
};

// A pixel buffer's rows for `rect`: bottom-up, 3-byte B,G,R, padded to 4 bytes; black off the screen.
struct Buffer {
    explicit Buffer(const Rect& rect)
        : rect(rect), lineWidth((rect.width * 3 + 3) & ~3),
          bytes(static_cast<std::size_t>(lineWidth) * rect.height, 0xEE) {}

    std::uint8_t* pixel(int column, int row) { return bytes.data() + (rect.height - 1 - row) * lineWidth + 3 * column; }

    Rect rect;
    int lineWidth;
    std::vector<std::uint8_t> bytes;
};

Buffer expectedCapture(const Rect& rect, std::uint32_t (*colour)(int, int)) {
    Buffer expected(rect);
    for (int row = 0; row < rect.height; ++row) {
        for (int column = 0; column < rect.width; ++column) {
            const long long x = static_cast<long long>(rect.left) + column;
            const long long y = static_cast<long long>(rect.top) + row;
            const bool onScreen = x >= 0 && y >= 0 && x < screenWidth && y < screenHeight;
            const std::uint32_t rgb = onScreen ? colour(static_cast<int>(x), static_cast<int>(y)) : 0;
            std::uint8_t* at = expected.pixel(column, row);
            at[0] = rgb & 0xFF;
            at[1] = (rgb >> 8) & 0xFF;
            at[2] = (rgb >> 16) & 0xFF;
        }
    }
    return expected;
}

// Compares the pixel bytes only; the padding at the end of each row is the buffer's own.
void expectSamePixels(Buffer& actual, Buffer& expected) {
    for (int row = 0; row < actual.rect.height; ++row) {
        const std::vector<std::uint8_t> got(actual.pixel(0, row), actual.pixel(0, row) + 3 * actual.rect.width);
        const std::vector<std::uint8_t> want(expected.pixel(0, row), expected.pixel(0, row) + 3 * actual.rect.width);
        ASSERT_EQ(got, want) << "row " << row;
    }
}

const std::vector<Rect> rectangles{{0, 0, 1, 1},
                                   {700, 300, 1, 5},
                                   {5, 7, 3, 2},
                                   {0, 0, screenWidth, screenHeight},
                                   {0, 100, 1366, 3},
                                   {17, 100, 1366, 50},
                                   {-10, -5, 30, 20},
                                   {1360, 760, 20, 20},
                                   {-3, 400, 3, 3},
                                   {2000, 2000, 4, 4},
                                   {1365, 767, 1, 1},
                                   {100, -40, 1, 41},
                                   // Ends past the largest int: nothing of it is on the screen.
                                   {std::numeric_limits<int>::max() - 1, 5, 4, 2},
                                   {std::numeric_limits<int>::min(), std::numeric_limits<int>::max() - 1, 3, 3}};

class X11ScreenCapture : public testing::TestWithParam<X11Screen::CaptureMethod> {
protected:
    static void SetUpTestSuite() {
        server = std::make_unique<XvfbServer>(XvfbOptions{screenWidth, screenHeight});
        target = std::make_unique<TargetClient>(server->displayName());
        target->paint(0, 0, screenWidth, screenHeight, pattern);
    }
    static void TearDownTestSuite() {
        target.reset();
        server.reset();
    }

    static inline std::unique_ptr<XvfbServer> server;
    static inline std::unique_ptr<TargetClient> target;
    std::unique_ptr<X11Connection> connection = X11Connection::open(server->displayName());
    X11Screen screen{connection->display(), nullptr, GetParam()};
};

TEST_P(X11ScreenCapture, ReadsBackPaintedPixelsByteForByte) {
    for (const Rect& rect : rectangles) {
        SCOPED_TRACE(testing::Message() << rect.left << "," << rect.top << " " << rect.width << "x" << rect.height);
        Buffer actual(rect);
        ASSERT_TRUE(
            screen.copyRect(rect.left, rect.top, rect.width, rect.height, actual.bytes.data(), actual.lineWidth));
        Buffer expected = expectedCapture(rect, pattern);
        expectSamePixels(actual, expected);
    }
}

TEST_P(X11ScreenCapture, TakesTheMethodAskedFor) {
    Buffer buffer({10, 10, 8, 8});
    ASSERT_TRUE(screen.copyRect(10, 10, 8, 8, buffer.bytes.data(), buffer.lineWidth));
    EXPECT_EQ(screen.lastCaptureUsedSharedMemory(), GetParam() == X11Screen::CaptureMethod::SharedMemoryFirst);
}

TEST_P(X11ScreenCapture, KeepsWorkingAfterALargerAndThenASmallerCapture) {
    for (const Rect& rect : {Rect{0, 0, 8, 8}, Rect{0, 0, screenWidth, screenHeight}, Rect{33, 44, 5, 7}}) {
        Buffer actual(rect);
        ASSERT_TRUE(
            screen.copyRect(rect.left, rect.top, rect.width, rect.height, actual.bytes.data(), actual.lineWidth));
        Buffer expected = expectedCapture(rect, pattern);
        expectSamePixels(actual, expected);
    }
}

TEST_P(X11ScreenCapture, RejectsEmptyRectanglesAndShortRows) {
    std::vector<std::uint8_t> bytes(64);
    EXPECT_FALSE(screen.copyRect(0, 0, 0, 5, bytes.data(), 12));
    EXPECT_FALSE(screen.copyRect(0, 0, 5, -1, bytes.data(), 16));
    EXPECT_FALSE(screen.copyRect(0, 0, 5, 1, bytes.data(), 14));
    EXPECT_FALSE(screen.copyRect(0, 0, 1, 1, nullptr, 4));
}

TEST_P(X11ScreenCapture, PixelColorIsBlueGreenRedWithRedLowest) {
    const std::uint32_t rgb = pattern(10, 20);
    const std::uint32_t bgr = (rgb & 0xFF) << 16 | (rgb & 0xFF00) | (rgb >> 16);
    EXPECT_EQ(screen.pixelColor(10, 20), bgr);
    EXPECT_EQ(screen.pixelColor(-1, 20), 0u);
    EXPECT_EQ(screen.pixelColor(10, screenHeight), 0u);
}

TEST_P(X11ScreenCapture, ScreenSizeIsTheWholeSingleMonitor) {
    EXPECT_EQ(screen.screenSize(), (TSize{screenWidth, screenHeight}));
}

// The shared screen copy has copies of parts land inside its rows: nothing beside them may be written.
TEST_P(X11ScreenCapture, WritesOnlyThePixelBytesOfEachRow) {
    constexpr int kLineWidth = 64;
    for (const Rect& rect : {Rect{10, 10, 8, 4}, Rect{-3, 765, 8, 4}}) {
        std::vector<std::uint8_t> bytes(kLineWidth * (rect.height + 2), 0xEE);
        std::uint8_t* inside = bytes.data() + kLineWidth + 5;
        ASSERT_TRUE(screen.copyRect(rect.left, rect.top, rect.width, rect.height, inside, kLineWidth));
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            const std::ptrdiff_t offset = static_cast<std::ptrdiff_t>(i) - (inside - bytes.data());
            const bool pixelByte =
                offset >= 0 && offset / kLineWidth < rect.height && offset % kLineWidth < 3 * rect.width;
            if (!pixelByte) {
                ASSERT_EQ(bytes[i], 0xEE) << "byte " << i << " of " << rect.left << "," << rect.top;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Methods, X11ScreenCapture,
                         testing::Values(X11Screen::CaptureMethod::SharedMemoryFirst,
                                         X11Screen::CaptureMethod::GetImageOnly),
                         [](const auto& info) {
                             return info.param == X11Screen::CaptureMethod::GetImageOnly ? "GetImage" : "SharedMemory";
                         });

TEST(X11ScreenWithoutSharedMemory, FallsBackToGetImage) {
    XvfbServer server({.width = screenWidth, .height = screenHeight, .depth = 24, .sharedMemory = false});
    TargetClient target(server.displayName());
    target.paint(0, 0, 64, 64, pattern);
    auto connection = X11Connection::open(server.displayName());
    X11Screen screen(connection->display());
    const Rect rect{-2, 3, 40, 30};
    Buffer actual(rect);
    ASSERT_TRUE(screen.copyRect(rect.left, rect.top, rect.width, rect.height, actual.bytes.data(), actual.lineWidth));
    EXPECT_FALSE(screen.lastCaptureUsedSharedMemory());
    Buffer expected = expectedCapture(rect, pattern);
    expectSamePixels(actual, expected);
}

TEST(X11ScreenOnSixteenBits, ConvertsTheServersLayout) {
    XvfbServer server({.width = screenWidth, .height = screenHeight, .depth = 16});
    TargetClient target(server.displayName());
    target.paint(0, 0, screenWidth, screenHeight, coarsePattern);
    auto connection = X11Connection::open(server.displayName());
    for (const auto method : {X11Screen::CaptureMethod::SharedMemoryFirst, X11Screen::CaptureMethod::GetImageOnly}) {
        X11Screen screen(connection->display(), nullptr, method);
        for (const Rect& rect : rectangles) {
            Buffer actual(rect);
            ASSERT_TRUE(
                screen.copyRect(rect.left, rect.top, rect.width, rect.height, actual.bytes.data(), actual.lineWidth));
            Buffer expected = expectedCapture(rect, coarsePattern);
            expectSamePixels(actual, expected);
        }
    }
}

TEST(X11ShmSegment, AServerThatCannotAttachIsAnsweredNotFatal) {
    XvfbServer server;
    auto connection = X11Connection::open(server.displayName());
    // A segment that no longer exists stands for one the server cannot reach.
    const int id = shmget(IPC_PRIVATE, 4096, IPC_CREAT | 0600);
    ASSERT_GE(id, 0);
    shmctl(id, IPC_RMID, nullptr);
    XShmSegmentInfo info{};
    info.shmid = id;
    EXPECT_FALSE(X11ShmSegment::attachToServer(connection->display(), info));

    X11Screen screen(connection->display());
    std::uint8_t bytes[4] = {1, 2, 3, 4};
    EXPECT_TRUE(screen.copyRect(0, 0, 1, 1, bytes, 4));
}
} // namespace

// The monitors and the root's size are read again when the server tells of a new layout, which it does before the
// other client's request is answered: a primary monitor set up by another client is the size of the next look, and
// while nothing changes a look sends no request at all.
TEST(X11ScreenSize, FollowsAMonitorSetByAnotherClient) {
    XvfbServer server({.width = 640, .height = 480});
    auto connection = X11Connection::open(server.displayName());
    X11Screen screen(connection->display());
    EXPECT_EQ(screen.screenSize(), (TSize{640, 480}));
    const unsigned long nextRequest = NextRequest(connection->display());
    EXPECT_EQ(screen.screenSize(), (TSize{640, 480}));
    EXPECT_EQ(NextRequest(connection->display()), nextRequest);

    Display* other = XOpenDisplay(server.displayName().c_str());
    ASSERT_NE(other, nullptr);
    setMonitor(other, "HALF", true, {0, 0, 320, 240});
    EXPECT_EQ(screen.screenSize(), (TSize{320, 240}));
    XCloseDisplay(other);
}
