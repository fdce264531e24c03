#pragma once

#include "PixelTestSupport.h"
#include "engine/ClickRunner.h"
#include "platform/ErrorGuard.h"
#include "platform/fake/FakePlatform.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A runner on the fake platform, with what a test asks of its clicks.
class RunnerTest : public ::testing::Test {
protected:
    void SetUp() override {
        setDroppedErrorObserver([this](const char* what) { droppedErrors.emplace_back(what); });
    }
    void TearDown() override { setDroppedErrorObserver(nullptr); }

    // Virtual times of the button events of one kind.
    std::vector<std::int64_t> timesOf(std::uint32_t flag) const {
        std::vector<std::int64_t> times;
        for (const FakeMouseEvent& event : fake.mouse.buttonEvents(flag))
            times.push_back(event.time);
        return times;
    }
    std::vector<std::int64_t> leftClickTimes() const { return timesOf(MouseButtonEvent::LeftDown); }
    std::int64_t firstLeftClickTime() const {
        const auto times = leftClickTimes();
        return times.empty() ? -1 : times.front();
    }

    FakePlatform fake;
    std::unique_ptr<TClickRunner> runner = std::make_unique<TClickRunner>(fake.platform);
    std::vector<std::string> droppedErrors;
};

// A runner that tells when it is destroyed.
class ProbeRunner : public TClickRunner {
public:
    ProbeRunner(Platform& platform, bool& destroyed) : TClickRunner(platform), m_destroyed(destroyed) {}
    ~ProbeRunner() override { m_destroyed = true; }

private:
    bool& m_destroyed;
};

// A complete 24-bit BMP file image of `rgbRows` (0x00RRGGBB, top row first).
inline std::vector<std::uint8_t> MakeBmp24(int width, const std::vector<std::uint32_t>& rgbRows) {
    return PixelTest::Bmp24Image(width, static_cast<int>(rgbRows.size()) / width,
                                 [&](int x, int y) { return rgbRows[static_cast<std::size_t>(y * width + x)]; });
}
