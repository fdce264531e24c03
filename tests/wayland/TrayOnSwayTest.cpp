// The notification-area icon on a wlroots compositor: swaybar's tray offers the StatusNotifierItem service on the
// session bus; the program started with --hidden registers its item there and shows no window, the bar draws its
// icon, and activating the item (what a click on the icon does) shows the window, a second activation hides it.

#include "ProgramOnSway.h"
#include "SwayHeadless.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <regex>
#include <string>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

namespace {
const SwayOptions kBarWithTray{.configLines = {"bar {", "    position top", "    tray_output *", "}"},
                               .sessionBus = true};
// The top of the bar, where its tray draws the icon.
const TRect kBarStrip{0, 0, 1920, 16};
constexpr auto waitLimit = 10s;

// The items the bar's watcher lists, as "service/path" (dbus-send prints each as `string ":1.4/StatusNotifierItem"`).
std::vector<std::string> registeredItems(const SwayHeadless& sway) {
    const CommandResult result =
        sway.run({"dbus-send", "--session", "--print-reply", "--dest=org.kde.StatusNotifierWatcher",
                  "/StatusNotifierWatcher", "org.freedesktop.DBus.Properties.Get",
                  "string:org.kde.StatusNotifierWatcher", "string:RegisteredStatusNotifierItems"});
    static const std::regex quoted(R"re("([^"]*)")re");
    std::vector<std::string> items;
    for (std::sregex_iterator it(result.output.begin(), result.output.end(), quoted), end; it != end; ++it)
        items.push_back((*it)[1]);
    return items;
}

// Activates the item as the bar does when the icon is clicked.
CommandResult activate(const SwayHeadless& sway, const std::string& item) {
    const std::size_t slash = item.find('/');
    std::string destination = "--dest=";
    destination += item.substr(0, slash);
    return sway.run({"dbus-send", "--session", "--print-reply", destination, item.substr(slash),
                     "org.kde.StatusNotifierItem.Activate", "int32:0", "int32:0"});
}

bool windowShown(const SwayHeadless& sway) {
    return sway.swaymsg({"-t", "get_tree"}).find(R"("app_id": "tappora")") != std::string::npos;
}

// Whether the strip shows the icon's blue ring.
bool iconDrawn(const SwayHeadless& sway) {
    const ScreenPixels strip = sway.screenshot(kBarStrip);
    const auto near = [](std::uint32_t pixel, std::uint32_t colour) {
        for (int shift : {0, 8, 16})
            if (std::abs(static_cast<int>(pixel >> shift & 0xFF) - static_cast<int>(colour >> shift & 0xFF)) > 8)
                return false;
        return true;
    };
    return std::any_of(strip.pixels.begin(), strip.pixels.end(), [&](std::uint32_t p) { return near(p, 0x1F5FBF); });
}

template <typename Condition> bool eventually(Condition condition) {
    const auto deadline = std::chrono::steady_clock::now() + waitLimit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(50ms);
    }
    return true;
}
} // namespace

TEST(TrayOnSwayTest, AHiddenStartRegistersTheIconAndActivatingItShowsAndHidesTheWindow) {
    const SwayHeadless sway(kBarWithTray);
    ASSERT_FALSE(iconDrawn(sway)) << "the bar alone shows the icon's colour";
    const ProgramOnSway program(sway, TAPPORA_PROGRAM, {}, {"--hidden"});
    ASSERT_TRUE(eventually([&] { return !registeredItems(sway).empty(); })) << sway.log();
    const std::vector<std::string> items = registeredItems(sway);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_FALSE(windowShown(sway));
    EXPECT_TRUE(eventually([&] { return iconDrawn(sway); }));

    ASSERT_EQ(activate(sway, items[0]).exitStatus, 0);
    EXPECT_TRUE(eventually([&] { return windowShown(sway); }));
    ASSERT_EQ(activate(sway, items[0]).exitStatus, 0);
    EXPECT_TRUE(eventually([&] { return !windowShown(sway); }));
    EXPECT_EQ(registeredItems(sway), items) << "the icon stays while the window is hidden";
}
