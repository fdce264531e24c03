// The real program under Xvfb for minutes: 100 clicks at 1 to 50 ms side by side, colour and picture clicks among
// them, started and stopped by hotkeys while the editor is opened and closed. No crash, every hotkey answered,
// resident memory flat after the warm-up, and the list file saved at close is the one it started with.
//   TAPPORA_SOAK_SECONDS  how long the clicks run (default 120)
#include "ProgramMemory.h"
#include "ProgramRun.h"
#include "SoakList.h"
#include "TapporaVersion.h"
#include "TargetClient.h"
#include "XTestKeys.h"
#include "XvfbServer.h"

#include <gtest/gtest.h>

// After gtest: the X headers define macros such as None and Bool that gtest's own names would meet.
#include "XWindows.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Generous: under the sanitizers the program runs several times slower.
constexpr auto kAnswerTimeout = 10s;
// A group counts as stopped once its places stay silent this long.
constexpr auto kSilence = 700ms;

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TAPPORA_SOAK_UNDER_ASAN
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(TAPPORA_SOAK_UNDER_ASAN)
constexpr bool kMemoryIsMeaningful = false; // the sanitizer's quarantine keeps freed memory resident
#else
constexpr bool kMemoryIsMeaningful = true;
#endif

std::chrono::seconds SoakDuration() {
    const char* text = std::getenv("TAPPORA_SOAK_SECONDS");
    return std::chrono::seconds(text != nullptr ? std::max(10, std::atoi(text)) : 120);
}

// The program's windows come and go while the test looks at them: a window gone meanwhile is no error here.
int IgnoreXErrors(Display*, XErrorEvent*) {
    return 0;
}

bool IsShown(Display* display, Window window) {
    XWindowAttributes attributes{};
    return window != 0 && XGetWindowAttributes(display, window, &attributes) != 0 && attributes.map_state == IsViewable;
}

struct MemorySample {
    double seconds = 0;
    long kilobytes = 0;
};

class SoakTest : public ::testing::Test {
protected:
    void SetUp() override {
        XSetErrorHandler(IgnoreXErrors);
        run.writeFile("tapporas.xml", list.FileText());
        run.writeFile("TapporaConfig.xml", TopLeftSettings(false));
        list.PaintTargets([this](int left, int top, int width, int height, const auto& colour) {
            target.paint(left, top, width, height, colour);
        });
        run.start(server.displayName());
        mainWindow = WaitFor(
            [&] { return findWindowTitled(target.display(), DefaultRootWindow(target.display()), TAPPORA_TITLE); });
        ASSERT_NE(mainWindow, 0u) << run.errorOutput();
    }

    // Pumps the target's events while waiting for `condition` to give something true, up to the timeout.
    template <class Condition>
    auto WaitFor(Condition condition, Clock::duration timeout = 20s) -> decltype(condition()) {
        const auto deadline = Clock::now() + timeout;
        auto result = condition();
        while (!result && Clock::now() < deadline) {
            Pump(20ms);
            result = condition();
        }
        return result;
    }

    void Pump(Clock::duration time) {
        std::this_thread::sleep_for(time);
        target.pumpEvents();
    }

    // Presses at the places of `group` recorded from event `from` on.
    std::size_t PressesOfGroup(int group, std::size_t from) {
        const std::vector<ButtonRecord>& events = target.pumpEvents();
        std::size_t presses = 0;
        for (std::size_t i = from; i < events.size(); ++i) {
            presses += events[i].kind == ButtonRecord::Press && list.GroupAt(events[i].rootX, events[i].rootY) == group;
        }
        return presses;
    }

    void PressCtrlF(int n) { pressChord(target.display(), {XK_Control_L}, XK_F1 + static_cast<KeySymbol>(n)); }

    // Starting a group is answered by a press at one of its places.
    bool StartGroup(int group) {
        const std::size_t from = target.pumpEvents().size();
        PressCtrlF(group);
        running[static_cast<std::size_t>(group)] = true;
        return WaitFor([&] { return PressesOfGroup(group, from) > 0; }, kAnswerTimeout);
    }

    // Stopping a group is answered by silence at all its places (a tick under way may still land one press).
    bool StopGroup(int group) {
        PressCtrlF(SoakList::kGroups + group);
        running[static_cast<std::size_t>(group)] = false;
        const auto deadline = Clock::now() + kAnswerTimeout;
        while (Clock::now() < deadline) {
            const std::size_t from = target.pumpEvents().size();
            Pump(kSilence);
            if (PressesOfGroup(group, from) == 0) {
                return true;
            }
        }
        return false;
    }

    // Alt+N opens the "New Mouse Action" editor over the main window; Alt+C (Cancel) closes it without a new click.
    bool OpenAndCloseEditor() {
        // The window takes keys once the toolkit has seen it become active.
        XSetInputFocus(target.display(), mainWindow, RevertToParent, CurrentTime);
        Pump(300ms);
        pressChord(target.display(), {XK_Alt_L}, XK_n);
        Display* display = target.display();
        const Window editor = WaitFor(
            [&] {
                const Window found = findWindowTitled(display, DefaultRootWindow(display), "New Mouse Action");
                return IsShown(display, found) ? found : Window{0};
            },
            kAnswerTimeout);
        if (editor == 0) {
            return false;
        }
        XSetInputFocus(display, editor, RevertToParent, CurrentTime);
        Pump(300ms);
        pressChord(display, {XK_Alt_L}, XK_c);
        return WaitFor([&] { return !IsShown(display, editor); }, kAnswerTimeout);
    }

    void SampleMemory(Clock::time_point start) {
        if (const auto kilobytes = ResidentKilobytes(run.folder() / "tappora")) {
            memory.push_back({std::chrono::duration<double>(Clock::now() - start).count(), *kilobytes});
        }
    }

    XvfbServer server;
    TargetClient target{server.displayName()};
    ProgramRun run;
    SoakList list;
    Window mainWindow = 0;
    std::array<bool, SoakList::kGroups> running{};
    std::vector<MemorySample> memory;
};

TEST_F(SoakTest, HundredClicksUnderHotkeysForMinutesStayFlatAndSaveTheListUnchanged) {
    const auto duration = SoakDuration();
    const auto start = Clock::now();
    std::mt19937 random(7);
    int hotkeys = 0;
    int unanswered = 0;
    int editorOpenings = 0;
    int editorFailures = 0;
    for (int group = 0; group < SoakList::kGroups; ++group) {
        ++hotkeys;
        unanswered += StartGroup(group) ? 0 : 1;
    }
    auto nextSample = start;
    auto nextEditor = start + 10s;
    while (Clock::now() - start < duration) {
        if (Clock::now() >= nextSample) {
            SampleMemory(start);
            nextSample += 5s;
        }
        if (Clock::now() >= nextEditor) {
            ++editorOpenings;
            editorFailures += OpenAndCloseEditor() ? 0 : 1;
            nextEditor += 10s;
        }
        const int group = static_cast<int>(random() % SoakList::kGroups);
        const bool stopping = running[static_cast<std::size_t>(group)];
        ++hotkeys;
        const bool answered = stopping ? StopGroup(group) : StartGroup(group);
        unanswered += answered ? 0 : 1;
        EXPECT_TRUE(answered) << "Ctrl+F" << (stopping ? SoakList::kGroups + group + 1 : group + 1) << " after "
                              << std::chrono::duration<double>(Clock::now() - start).count() << " s";
        list.PaintTargets([this](int left, int top, int width, int height, const auto& colour) {
            target.paint(left, top, width, height, colour);
        });
        Pump(std::chrono::milliseconds(200 + random() % 800));
        ASSERT_TRUE(ResidentKilobytes(run.folder() / "tappora")) << "the program ended: " << run.errorOutput();
    }
    for (int group = 0; group < SoakList::kGroups; ++group) {
        if (running[static_cast<std::size_t>(group)]) {
            ++hotkeys;
            unanswered += StopGroup(group) ? 0 : 1;
        }
    }
    SampleMemory(start);
    std::vector<std::size_t> pressesPerClick(SoakList::kClicks);
    std::size_t presses = 0;
    std::size_t strayPresses = 0;
    for (const ButtonRecord& event : target.pumpEvents()) {
        if (event.kind == ButtonRecord::Press) {
            ++presses;
            const int click = list.ClickAt(event.rootX, event.rootY);
            ++(click < 0 ? strayPresses : pressesPerClick[static_cast<std::size_t>(click)]);
        }
    }

    run.signal(SIGTERM);
    const std::optional<int> exitCode = run.waitForExit(60s);

    std::printf("soak: %.0f s, %zu presses, %d hotkeys (%d unanswered), editor opened %d times (%d failed)\n",
                std::chrono::duration<double>(Clock::now() - start).count(), presses, hotkeys, unanswered,
                editorOpenings, editorFailures);
    for (const MemorySample& sample : memory) {
        std::printf("soak: rss %6.1f s %8ld kB\n", sample.seconds, sample.kilobytes);
    }
    EXPECT_EQ(exitCode, 0) << run.errorOutput();
    EXPECT_EQ(unanswered, 0);
    EXPECT_EQ(editorFailures, 0);
    EXPECT_GT(presses, 1000u);
    EXPECT_EQ(strayPresses, 0u) << "presses where no click aims";
    for (int click = 0; click < SoakList::kClicks; ++click) {
        EXPECT_GT(pressesPerClick[static_cast<std::size_t>(click)], 0u) << list.Clicks()[click]->fName;
    }
    EXPECT_EQ(run.readFile("tapporas.xml"), list.FileText());

    // Flat: after the warm-up (the first quarter of the run, and at least the first two editor openings), resident
    // memory grows by no more than 2 % plus 1 MB. Runs too short to have a warm-up are not judged.
    const double warmUp = std::max(std::chrono::duration<double>(duration).count() / 4, 25.0);
    const auto settled = std::find_if(memory.begin(), memory.end(), [&](const auto& s) { return s.seconds >= warmUp; });
    if (settled == memory.end() || std::next(settled) == memory.end()) {
        return;
    }
    const long peak = std::max_element(settled, memory.end(), [](const auto& a, const auto& b) {
                          return a.kilobytes < b.kilobytes;
                      })->kilobytes;
    RecordProperty("rss_after_warm_up_kb", std::to_string(settled->kilobytes));
    RecordProperty("rss_peak_after_warm_up_kb", std::to_string(peak));
    if (kMemoryIsMeaningful) {
        EXPECT_LE(peak, settled->kilobytes * 102 / 100 + 1024) << "resident memory grew after the warm-up";
    }
}

} // namespace
