// The harness of the Wayland tests on a real headless sway: outputs laid out as asked, the target client full screen
// and painted where it was asked (read back through wlr-screencopy), and compositor key bindings fired by keys typed
// through the virtual-keyboard protocol.

#include "SwayHeadless.h"
#include "TempFolder.h"
#include "WaylandTarget.h"

#include "pixels/PixelBuffer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <thread>

namespace fs = std::filesystem;

namespace {
const SwayOptions twoOutputs{
    .outputs = {{.width = 1920, .height = 1080, .x = 0, .y = 0}, {.width = 1280, .height = 1024, .x = -1280, .y = 0}}};

// Whether every pixel of the screenshot is `inside` within `rect` and `outside` elsewhere; names the first that is not.
testing::AssertionResult showsRect(const ScreenPixels& screen, const TRect& rect, std::uint32_t inside,
                                   std::uint32_t outside) {
    for (int y = 0; y < screen.height; ++y)
        for (int x = 0; x < screen.width; ++x) {
            const bool within =
                x >= rect.left && x < rect.left + rect.width && y >= rect.top && y < rect.top + rect.height;
            if (screen.at(x, y) != (within ? inside : outside))
                return testing::AssertionFailure()
                       << "pixel " << x << ", " << y << " of the screenshot is " << std::hex << screen.at(x, y);
        }
    return testing::AssertionSuccess();
}

bool waitForFile(const fs::path& file) {
    for (int attempt = 0; attempt < 1000 && !fs::exists(file); ++attempt)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return fs::exists(file);
}
} // namespace

TEST(SwayHarnessTest, OutputsAreLaidOutAsConfigured) {
    const SwayHeadless sway(twoOutputs);

    EXPECT_THAT(sway.outputs(), testing::ElementsAre(SwayOutput{"HEADLESS-1", {0, 0, 1920, 1080}, 1},
                                                     SwayOutput{"HEADLESS-2", {-1280, 0, 1280, 1024}, 1}));
}

TEST(SwayHarnessTest, ItsProcessesRunAsTheTestUserOnItsDisplayOnlyWithFoldersOfTheirOwn) {
    const SwayHeadless sway;
    std::string waylandDisplay;
    for (const auto& [name, value] : sway.environment())
        if (name == "WAYLAND_DISPLAY")
            waylandDisplay = value;
    // A display of the test's own, which no process of the session may reach.
    ::setenv("DISPLAY", ":97", 1);

    const CommandResult seen = sway.run({"sh", "-c",
                                         "id -u; echo \"${DISPLAY:-no X display}\"; echo $WAYLAND_DISPLAY; "
                                         "test -w \"$HOME\" && echo writable"});
    ::unsetenv("DISPLAY");

    EXPECT_EQ(seen.output, std::to_string(sway.user().uid()) + "\nno X display\n" + waylandDisplay + "\nwritable\n");
}

TEST(SwayHarnessTest, TargetFillsItsOutputWithTheSceneAtTheScreenPlaceExpected) {
    const SwayHeadless sway(twoOutputs);
    struct Case {
        std::string output;
        TRect outputRect;
        std::uint32_t background;
        WaylandScene::Rect rect;
    };
    const Case cases[] = {
        {"HEADLESS-1", {0, 0, 1920, 1080}, 0x204060, {{100, 50, 40, 30}, 0xFF8000}},
        // In the bottom right corner of an output left of the origin.
        {"HEADLESS-2", {-1280, 0, 1280, 1024}, 0x608040, {{1200, 1000, 80, 24}, 0x00C0FF}},
    };
    std::vector<std::unique_ptr<WaylandTarget>> targets;
    for (const Case& test : cases) {
        targets.push_back(std::make_unique<WaylandTarget>(
            sway, WaylandScene{.output = test.output, .background = test.background, .rects = {test.rect}}));
        EXPECT_EQ(targets.back()->waitReady(), (TSize{test.outputRect.width, test.outputRect.height})) << test.output;
    }

    for (const Case& test : cases) {
        SCOPED_TRACE(test.output);
        const TRect& place = test.rect.place;
        // The rectangle and the background around it, clipped to the output.
        const int left = test.outputRect.left + place.left - 1;
        const int top = test.outputRect.top + place.top - 1;
        const int right = std::min(left + place.width + 2, test.outputRect.left + test.outputRect.width);
        const int bottom = std::min(top + place.height + 2, test.outputRect.top + test.outputRect.height);
        // Headless sway may show a window's frame on an output without the pointer a moment after presenting it.
        const auto shown = [&] {
            return showsRect(sway.screenshot({left, top, right - left, bottom - top}),
                             {1, 1, place.width, place.height}, test.rect.colour, test.background);
        };
        testing::AssertionResult result = shown();
        for (int attempt = 0; attempt < 50 && !result; ++attempt) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            result = shown();
        }
        EXPECT_TRUE(result);
    }
}

TEST(SwayHarnessTest, TargetShowsAPictureFromABmpFileTheRightWayUp) {
    const SwayHeadless sway;
    TPixelBuffer picture;
    ASSERT_TRUE(picture.SetSize(3, 2));
    const std::uint32_t colours[2][3] = {{0xFF0000, 0x00FF00, 0x0000FF}, {0x123456, 0xABCDEF, 0xFFFFFF}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            picture.SetPixel(x, y, colours[y][x]);
    const fs::path file = sway.folder() / "picture.bmp";
    const auto bytes = EncodeBmp24(picture);
    writeWholeFile(file, {reinterpret_cast<const char*>(bytes.data()), bytes.size()});

    WaylandTarget target(sway, {.background = 0x000000, .picture = file, .picturePlace = {300, 200}});
    target.waitReady();

    const ScreenPixels screen = sway.screenshot({300, 200, 3, 2});
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(screen.at(x, y), colours[y][x]) << x << ", " << y;
}

// The benchmarks' changing screen: the whole window shown anew at every frame, its scene kept.
TEST(SwayHarnessTest, AnAnimatedTargetTurnsItsBackgroundAtEveryFrameAndKeepsItsScene) {
    const SwayHeadless sway;
    WaylandTarget target(sway, {.background = 0x102030, .rects = {{{10, 10, 4, 4}, 0xFF0000}}, .animate = true});
    target.waitReady();

    std::set<std::uint32_t> backgrounds;
    for (int shot = 0; shot < 40 && backgrounds.size() < 2; ++shot) {
        const ScreenPixels screen = sway.screenshot({8, 8, 8, 8});
        EXPECT_TRUE(showsRect(screen, {2, 2, 4, 4}, 0xFF0000, screen.at(0, 0)));
        backgrounds.insert(screen.at(0, 0));
    }
    EXPECT_EQ(backgrounds, (std::set<std::uint32_t>{0x102030, 0x102031}));
}

TEST(SwayHarnessTest, KeyTypedThroughTheVirtualKeyboardFiresTheCompositorBinding) {
    const TempFolder scratch;
    TestUser().own(scratch.path());
    const fs::path fired = scratch.path() / "fired";
    const SwayHeadless sway({.configLines = {"bindsym Ctrl+F9 exec touch " + fired.string()}});

    EXPECT_EQ(sway.run({"wtype", "-M", "ctrl", "-k", "F9", "-m", "ctrl"}).exitStatus, 0);
    EXPECT_TRUE(waitForFile(fired));
}
