#include "engine/ClickRunner.h"

#include "engine/Desktop.h"
#include "engine/Search.h"
#include "model/ColorText.h"
#include "model/StartTime.h"
#include "pixels/PictureText.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>
#include <utility>

namespace {

constexpr double kMsPerDay = 86'400'000.0;

// The stored start time as a fraction of a day; throws when it is no time of day.
double TimeOfDayFromText(const std::string& text) {
    const std::optional<TTimeOfDay> time = ReadStartTime(text);
    if (!time)
        throw std::invalid_argument("'" + text + "' is not a valid time");
    return ((time->hour * 60 + time->minute) * 60 + time->second) * 1000 / kMsPerDay;
}

long double RoundHalfToEven(long double value) {
    const long double lower = std::floor(value);
    const long double fraction = value - lower;
    if (fraction > 0.5L)
        return lower + 1;
    if (fraction < 0.5L)
        return lower;
    return std::fmod(lower, 2.0L) == 0 ? lower : lower + 1;
}

bool IsRelease(std::uint32_t flag) {
    return (flag & (MouseButtonEvent::LeftUp | MouseButtonEvent::RightUp | MouseButtonEvent::MiddleUp)) != 0;
}

std::uint32_t SeedFrom(IClock& clock) {
    const std::optional<std::uint64_t> counter = clock.performanceCounter();
    return counter ? static_cast<std::uint32_t>(*counter) : clock.tickCount();
}

// A click's move and button events go to the system in one go, also when a step throws.
class HeldEvents {
public:
    explicit HeldEvents(IMouse& mouse) : m_mouse(mouse) { m_mouse.holdEvents(); }
    HeldEvents(const HeldEvents&) = delete;
    HeldEvents& operator=(const HeldEvents&) = delete;
    ~HeldEvents() { m_mouse.sendHeld(); }

private:
    IMouse& m_mouse;
};

} // namespace

// Tracks how deeply the runner's ticks are nested, and destroys a runner disposed meanwhile once the outermost
// tick is done. It must be the first object of a tick, so that nothing of the runner is touched after it.
class TClickRunner::TickScope {
public:
    explicit TickScope(TClickRunner& runner) : m_runner(runner) { ++m_runner.m_tickDepth; }
    TickScope(const TickScope&) = delete;
    TickScope& operator=(const TickScope&) = delete;
    ~TickScope() {
        if (--m_runner.m_tickDepth == 0 && m_runner.m_disposed)
            delete &m_runner;
    }

private:
    TClickRunner& m_runner;
};

TClickRunner::TClickRunner(Platform& platform) : random(SeedFrom(platform.clock)), m_platform(platform) {}

TClickRunner::~TClickRunner() {
    assert(m_tickDepth == 0 && "a runner inside its own tick is released through Dispose");
    if (timer)
        timer->setEnabled(false);
    ReleaseHeldButtons();
}

void TClickRunner::Start() {
    if (!timer)
        timer = m_platform.loop.createTimer();
    timer->setEnabled(false);
    timer->setInterval(kWaitTickInterval);
    timer->setOnTick([this] { StartWaitTick(); });
    count = 0;
    running = true;
    waiting = true;
    tickError.clear();
    lastSearch = {};
    ++m_startNumber;
    m_platform.mouse.prepare();
    timer->setEnabled(true);
}

void TClickRunner::Stop() {
    if (timer)
        timer->setEnabled(false);
    running = false;
    tickError.clear();
    ++m_startNumber;
}

void TClickRunner::CountOne() {
    // A click left running at 1 ms reaches the top of the count after about 25 days; it stays there.
    if (count < std::numeric_limits<std::int32_t>::max())
        ++count;
}

void TClickRunner::StartWaitTick() {
    TickScope scope(*this);
    RememberOutcome([this] {
        if (!ProcessMessagesStillRunning(m_startNumber))
            return;
        CountOne();
        if (StartConditionHolds())
            SwitchToClicking();
    });
}

// Inside the tick's TickScope, so the runner still exists even when it was disposed meanwhile.
void TClickRunner::RememberOutcome(const std::function<void()>& tick) {
    try {
        tick();
        tickError.clear();
    } catch (const TServiceRefused& refusal) {
        Stop();
        tickError = refusal.what();
        throw;
    } catch (const std::exception& error) {
        tickError = error.what();
        throw;
    }
}

void TClickRunner::ClickTick() {
    TickScope scope(*this);
    RememberOutcome([this] {
        const std::uint64_t startNumber = m_startNumber;
        // Read only when the after-click action goes back there: the read waits for the display server's answer,
        // which a tick of many clicks at a short interval cannot spare.
        const std::optional<TPoint> origin =
            GoesBackAfterClick() ? std::optional<TPoint>(m_platform.mouse.cursorPos()) : std::nullopt;
        if (!ProcessMessagesStillRunning(startNumber))
            return;
        if (Holding())
            return;
        const std::optional<TPoint> target = FindTarget(startNumber);
        if (!target)
            return;
        const HeldEvents held(m_platform.mouse);
        // Where the pointer cannot be read, a click at the pointer is pressed where it is, unmoved.
        m_pressPlace.reset();
        if (pointType != ptCurrent || m_platform.mouse.readsPointer()) {
            const TPoint place = SpreadPlace(*target);
            m_platform.mouse.setCursorPos(place.x, place.y);
            if (pointType != ptCurrent)
                m_pressPlace = place;
        }
        m_pendingSteps = ButtonSteps(*this, m_platform.mouse.doubleClickTime(), random);
        m_finishOrigin = pointType != ptCurrent ? origin : std::nullopt;
        try {
            RunButtonSteps();
        } catch (const TClickDropped&) {
            m_finishOrigin.reset();
            return;
        }
        CountOne();
        StopWhenRepeatReached();
        if (InteverType == itRandom)
            NextRandomInterval();
    });
}

void TClickRunner::NextRandomInterval() {
    std::uint32_t seed = SeedFrom(m_platform.clock);
    seed = seed * 134775813u + 1u;
    const auto r = static_cast<std::uint32_t>((static_cast<std::uint64_t>(seed) * 100u) >> 32);
    const long double span = static_cast<long double>(static_cast<std::int64_t>(fRanEnd) - fRanBegin);
    const long double offset = RoundHalfToEven(span * (static_cast<long double>(r) / 100.0L));
    SetClickInterval(fRanBegin + static_cast<std::int64_t>(offset));
}

std::shared_ptr<const TPixelBuffer> TClickRunner::Picture() {
    if (fBMP != m_pictureText) {
        m_picture = DecodePicture(fBMP);
        m_pictureText = fBMP;
    }
    return m_picture;
}

void TClickRunner::Dispose(std::unique_ptr<TClickRunner> runner) {
    if (!runner)
        return;
    runner->Stop();
    if (runner->m_tickDepth == 0)
        return;
    // The outermost tick's TickScope destroys it.
    runner->m_disposed = true;
    runner.release();
}

bool TClickRunner::ProcessMessagesStillRunning(std::uint64_t startNumber) {
    m_platform.loop.processMessages();
    return !m_disposed && running && m_startNumber == startNumber;
}

bool TClickRunner::StartConditionHolds() {
    switch (startType) {
    case stNow:
        return true;
    case stAt:
        return TimeOfDayFromText(fStartAt) - m_platform.clock.timeOfDay() <= 0;
    default:
        return count >= fStartInterval;
    }
}

void TClickRunner::SwitchToClicking() {
    timer->setEnabled(false);
    timer->setOnTick([this] { ClickTick(); });
    waiting = false;
    if (InteverType != itFixed)
        NextRandomInterval();
    else
        SetClickInterval(iClickInterval);
    count = 0;
    timer->setEnabled(true);
}

// A timer does not tick at 0 ms, which would leave a running click that never clicks; the shortest period is 1 ms.
void TClickRunner::SetClickInterval(std::int64_t ms) {
    if (timer)
        timer->setInterval(static_cast<int>(std::clamp<std::int64_t>(ms, 1, std::numeric_limits<int>::max())));
}

TClickRunner::SearchRect TClickRunner::SearchScope() {
    if (ScreenType != scFull)
        return {fLeft, fTop, fRight, fBottom};
    const TSize screen = m_platform.screen.screenSize();
    return {0, 0, screen.width, screen.height};
}

std::optional<TPoint> TClickRunner::FindTarget(std::uint64_t startNumber) {
    switch (pointType) {
    case ptCurrent:
        return m_platform.mouse.cursorPos();
    case ptFixed:
        if (!ProcessMessagesStillRunning(startNumber))
            return std::nullopt;
        return FixedPointOnAMonitor();
    case ptColor: {
        const std::uint32_t colour = WantedColour();
        const auto [left, top, right, bottom] = SearchScope();
        return RememberSearch(FindColourTarget(m_platform.screen, colour, left, top, right, bottom, fColorSimplar,
                                               {m_platform.loop.tickBatch(), &m_searchMemo}));
    }
    case ptPicture: {
        std::shared_ptr<const TPixelBuffer> picture;
        try {
            picture = Picture();
        } catch (const std::invalid_argument&) {
            RememberFailure(TSearchFailure::PictureUnreadable);
            throw;
        }
        if (!picture) {
            RememberFailure(TSearchFailure::PictureUnreadable);
            return std::nullopt;
        }
        const auto [left, top, right, bottom] = SearchScope();
        return RememberSearch(FindPictureTarget(m_platform.screen, picture.get(), left, top, right, bottom, fBMPSimplar,
                                                {m_platform.loop.tickBatch(), &m_searchMemo}));
    }
    default:
        return std::nullopt;
    }
}

std::uint32_t TClickRunner::WantedColour() {
    try {
        return SwapRB(static_cast<std::uint32_t>(StringToColor(fColor)));
    } catch (const std::invalid_argument&) {
        RememberFailure(TSearchFailure::ColourUnreadable);
        throw;
    }
}

std::optional<TPoint> TClickRunner::RememberSearch(const TSearchAnswer& answer) {
    if (answer.failure != TSearchFailure::None) {
        RememberFailure(answer.failure);
        return NotFound();
    }
    if (answer.Found()) {
        lastSearch = {TLastSearch::TKind::Found, answer.found, 0, TSearchFailure::None};
        return answer.found;
    }
    const bool missedBefore = lastSearch.kind == TLastSearch::TKind::NotFound;
    lastSearch = {TLastSearch::TKind::NotFound,
                  {-1, -1},
                  missedBefore ? std::min(lastSearch.missesInRow, std::numeric_limits<std::int32_t>::max() - 1) + 1 : 1,
                  TSearchFailure::None};
    return NotFound();
}

void TClickRunner::RememberFailure(TSearchFailure failure) {
    lastSearch = {TLastSearch::TKind::Failed, {-1, -1}, 0, failure};
}

// The platform would move the pointer to the nearest screen edge and click there, on whatever is at that edge.
TPoint TClickRunner::FixedPointOnAMonitor() {
    const TPoint point{fPosX, fPosY};
    if (!OnAMonitor(m_platform.screen.monitorAreas(), point))
        throw std::runtime_error("the point " + std::to_string(point.x) + ", " + std::to_string(point.y) +
                                 " is on no monitor");
    return point;
}

std::optional<TPoint> TClickRunner::NotFound() {
    m_platform.loop.processMessages();
    return std::nullopt;
}

TPoint TClickRunner::SpreadPlace(TPoint target) {
    if (fJitter <= 0)
        return target;
    if (pointType == ptCurrent && m_lastSpread && m_lastSpread->first == target)
        target = m_lastSpread->second;
    const TPoint place = JitteredPoint(target, fJitter, m_platform.screen.monitorAreas(), random);
    m_lastSpread = {place, target};
    return place;
}

// The steps are taken out first: one the system refuses throws, and the rest of that click is dropped with it.
void TClickRunner::RunButtonSteps() {
    std::vector<TButtonStep> steps = std::exchange(m_pendingSteps, {});
    for (std::size_t i = 0; i < steps.size(); ++i) {
        m_platform.mouse.sendButtonEvent(steps[i].flag);
        if (steps[i].holdAfter > 0 && i + 1 < steps.size()) {
            m_pendingSteps.assign(steps.begin() + std::ptrdiff_t(i) + 1, steps.end());
            if (!m_holdTimer) {
                m_holdTimer = m_platform.loop.createTimer();
                m_holdTimer->setOnTick([this] { HoldTick(); });
            }
            m_holdTimer->setInterval(steps[i].holdAfter);
            m_holdTimer->setEnabled(true);
            return;
        }
    }
    if (m_finishOrigin)
        ApplyFinish(*std::exchange(m_finishOrigin, std::nullopt));
}

// Another click may have moved the pointer while this one held its button: it is released where it was pressed, or the
// press would become a drag. At the pointer, the user's own moves are left alone.
void TClickRunner::HoldTick() {
    TickScope scope(*this);
    m_holdTimer->setEnabled(false);
    const HeldEvents held(m_platform.mouse);
    if (m_pressPlace)
        m_platform.mouse.setCursorPos(m_pressPlace->x, m_pressPlace->y);
    RunButtonSteps();
}

void TClickRunner::ReleaseHeldButtons() noexcept {
    for (const TButtonStep& step : std::exchange(m_pendingSteps, {})) {
        try {
            if (IsRelease(step.flag))
                m_platform.mouse.sendButtonEvent(step.flag);
        } catch (const std::exception&) {
            // Nothing more can be done for a button the system will not release.
        }
    }
}

// Only where the pointer can be read: elsewhere there is no place to go back to.
bool TClickRunner::GoesBackAfterClick() const {
    return pointType != ptCurrent && (finishType == ftBack || finishType == ftBackClick) &&
           m_platform.mouse.readsPointer();
}

void TClickRunner::ApplyFinish(TPoint origin) {
    if (finishType != ftBack && finishType != ftBackClick)
        return;
    m_platform.mouse.setCursorPos(origin.x, origin.y);
    if (finishType == ftBackClick) {
        m_platform.mouse.sendButtonEvent(MouseButtonEvent::LeftDown);
        m_platform.mouse.sendButtonEvent(MouseButtonEvent::LeftUp);
    }
}

void TClickRunner::StopWhenRepeatReached() {
    if (stopType == spRepeat && count >= fRepeat) {
        timer->setEnabled(false);
        running = false;
    }
}
