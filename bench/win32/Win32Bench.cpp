// The Win32 backend's figures, measured under whatever runs it (Wine here), each against a peer or a floor from the
// same run, never against a fixed time:
//   - clicks a second of a 1 ms click (the real runner on the real timers, counted where the target received them),
//     against the 1000 a second its interval asks for;
//   - how far the ticks of a 10 ms timer stray from start + k x 10 ms;
//   - a full-screen capture into the pixel buffer against a raw BitBlt of the same screen.
//
//     tappora_win32_bench [SECONDS]      (default 3 seconds per timing figure)

#include "engine/ClickRunner.h"
#include "platform/win32/Win32Backend.h"
#include "tests/platform/win32/Win32TestSupport.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {
using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::duration<double, std::milli>;

double percentile(std::vector<double> values, double fraction) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1))];
}

void clicksAtOneMillisecond(Win32Backend& backend, int seconds) {
    TargetWindow target(40, 40, 200, 200);
    Platform platform = backend.platform();
    TClickRunner runner(platform);
    runner.pointType = ptFixed;
    runner.fPosX = 140;
    runner.fPosY = 140;
    runner.iClickInterval = 1;
    runner.Start();
    // The runner waits one second before its first click; measure from the first click on.
    pumpUntil([&] { return runner.count > 0; });
    const int countBefore = runner.count;
    const std::size_t received = target.waitForLines(0).size();
    const auto start = Clock::now();
    pumpFor(std::chrono::seconds(seconds));
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    const int counted = runner.count - countBefore;
    runner.Stop();
    // The target logs what its queue holds a moment later.
    pumpFor(std::chrono::milliseconds(1000));
    // Each click is a down and an up; a second down within the double-click time arrives as WM_LBUTTONDBLCLK.
    const std::size_t messages = target.waitForLines(0).size() - received;
    std::printf("1 ms click: %.0f clicks/s counted, %.0f/s received by the target (%.2f of the 1000/s asked for)\n",
                counted / elapsed, static_cast<double>(messages) / 2 / elapsed,
                static_cast<double>(messages) / 2 / elapsed / 1000);
}

// Ticks of a timer with an empty handler: what the timers alone can deliver, without a click step's cost.
void emptyTicksAtOneMillisecond(Win32Backend& backend, int seconds) {
    auto timer = backend.loop().createTimer();
    int ticks = 0;
    timer->setInterval(1);
    timer->setOnTick([&] { ++ticks; });
    timer->setEnabled(true);
    pumpFor(std::chrono::seconds(seconds));
    timer->setEnabled(false);
    std::printf("1 ms timer, empty handler: %.0f ticks/s (%.2f of 1000/s)\n", ticks / static_cast<double>(seconds),
                ticks / static_cast<double>(seconds) / 1000);
}

// How far each tick is from its nearest slot start + k x 10 ms (negative: early), and the slots no tick came for.
void scheduleAtTenMilliseconds(Win32Backend& backend, int seconds) {
    auto timer = backend.loop().createTimer();
    std::vector<Clock::time_point> ticks;
    timer->setInterval(10);
    timer->setOnTick([&] { ticks.push_back(Clock::now()); });
    const auto start = Clock::now();
    timer->setEnabled(true);
    pumpFor(std::chrono::seconds(seconds));
    timer->setEnabled(false);
    const Milliseconds period(10);
    std::vector<double> errors;
    std::vector<double> sizes;
    long long lastSlot = 0;
    for (const Clock::time_point tick : ticks) {
        const Milliseconds sinceStart = tick - start;
        lastSlot = std::llround(sinceStart / period);
        errors.push_back((sinceStart - period * static_cast<double>(lastSlot)).count());
        sizes.push_back(std::abs(errors.back()));
    }
    std::printf("10 ms timer: %zu ticks for %lld slots; error from the slot median %+.2f ms, largest early %.2f ms, "
                "largest late %.2f ms, 95th percentile of its size %.2f ms; the last tick %+.2f ms from slot %lld "
                "(no drift)\n",
                ticks.size(), lastSlot, percentile(errors, 0.5), -percentile(errors, 0.0), percentile(errors, 1.0),
                percentile(sizes, 0.95), errors.empty() ? 0.0 : errors.back(), lastSlot);
}

template <typename Capture> double bestOf(int runs, Capture capture) {
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        capture();
        best = std::min(best, Milliseconds(Clock::now() - start).count());
    }
    return best;
}

void fullScreenCapture(Win32Backend& backend) {
    const TSize size = backend.screen().screenSize();
    const int line = (size.width * 3 + 3) & ~3;
    std::vector<std::uint8_t> bits(static_cast<std::size_t>(line) * size.height);
    const double ours =
        bestOf(20, [&] { backend.screen().copyRect(0, 0, size.width, size.height, bits.data(), line); });

    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, size.width, size.height);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    const double raw = bestOf(20, [&] {
        BitBlt(memory, 0, 0, size.width, size.height, screen, 0, 0, SRCCOPY);
        GdiFlush();
    });
    // The long way: a device-format copy, then GetDIBits to extract 24-bit rows.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size.width;
    info.bmiHeader.biHeight = size.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    SelectObject(memory, previous);
    const double twoStep = bestOf(20, [&] {
        SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, size.width, size.height, screen, 0, 0, SRCCOPY);
        SelectObject(memory, previous);
        GetDIBits(screen, bitmap, 0, static_cast<UINT>(size.height), bits.data(), &info, DIB_RGB_COLORS);
    });
    DeleteDC(memory);
    DeleteObject(bitmap);
    ReleaseDC(nullptr, screen);
    std::printf("full-screen capture %dx%d: %.2f ms into the pixel buffer, %.2f ms raw BitBlt (%.2fx), %.2f ms "
                "BitBlt + GetDIBits (%.2fx)\n",
                size.width, size.height, ours, raw, ours / raw, twoStep, twoStep / raw);
}
} // namespace

int wmain(int argc, wchar_t** argv) {
    const int seconds = argc > 1 ? std::max(1, _wtoi(argv[1])) : 3;
    Win32Backend backend;
    fullScreenCapture(backend);
    emptyTicksAtOneMillisecond(backend, seconds);
    scheduleAtTenMilliseconds(backend, seconds);
    clicksAtOneMillisecond(backend, seconds);
    return 0;
}
