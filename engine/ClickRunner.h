#pragma once

#include "engine/ClickVariation.h"
#include "engine/Search.h"
#include "model/MouseObj.h"
#include "pixels/PixelBuffer.h"
#include "platform/Platform.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// What a colour or picture click's searches gave lately: found, not found (how many ticks in a row), or why it could
// not search.
struct TLastSearch {
    enum class TKind { None, Found, NotFound, Failed };
    TKind kind = TKind::None;
    // Where it was found.
    TPoint at{-1, -1};
    std::int32_t missesInRow = 0;
    TSearchFailure failure = TSearchFailure::None;

    friend bool operator==(const TLastSearch&, const TLastSearch&) = default;
};

// A click definition that runs over time on its own timer: it waits for its start condition on one-second ticks,
// then performs one click step per tick of the click interval.
//
// Ticks let pending messages run, so Stop, Start, Delete and the runner's own next tick can all come in the middle
// of a tick. After each such point a tick goes on only while its runner still runs the same start and has not been
// disposed; otherwise it ends there without touching the runner again.
class TClickRunner : public TMouseObj {
public:
    static constexpr int kWaitTickInterval = 1000;

    explicit TClickRunner(Platform& platform);
    virtual ~TClickRunner();

    // Arms the runner from the beginning, whatever its state: it waits again and its count starts from 0.
    void Start();
    // Stops ticking; the count and the timer's settings stay until the next start.
    void Stop();
    // Tick of the waiting phase: counts the seconds and switches to clicking once the start condition holds.
    // Throws when `fStartAt` is not a time of day (the runner then keeps waiting).
    void StartWaitTick();
    // Tick of the clicking phase: one click step. Throws when `fColor` or `fBMP` cannot be decoded, or when the
    // fixed point lies on no monitor. A press that is held goes on after the tick, on the hold timer; a tick that
    // comes while the last click is still held does nothing.
    void ClickTick();
    // Whether a pressed button waits for its release (which comes also after Stop).
    bool Holding() const { return !m_pendingSteps.empty(); }
    // Draws the next random interval from fRanBegin..fRanEnd and sets it on the timer.
    void NextRandomInterval();
    // The picture of fBMP, decoded again only when fBMP has changed since the last decoding; nullptr for no picture.
    // Never changed once decoded: a tick holding it keeps a valid picture whatever an edit stores meanwhile.
    // Throws when fBMP is not base64 (nothing is kept then, so the next call tries again).
    std::shared_ptr<const TPixelBuffer> Picture();

    // Stops the runner and destroys it now, or, when called from inside one of its ticks (a tick lets pending
    // messages run, so Delete or close can come in there), right after the outermost of its ticks has returned.
    static void Dispose(std::unique_ptr<TClickRunner> runner);

    std::unique_ptr<ITimer> timer;
    std::int32_t count = 0;
    bool running = false;
    // From a start until its clicking begins; count then counts the seconds waited, not clicks.
    bool waiting = false;
    // Why the last tick failed (it still throws, to the error guard); empty after a tick that went well, at Start and
    // at Stop. A runner that stopped itself because the desktop refused a service keeps why.
    std::string tickError;
    // The last search of this run (colour and picture clicks); none at Start.
    TLastSearch lastSearch;
    // Draws the holds and the spread of the clicks; seeded from the clock.
    TClickRandom random;

protected:
    Platform& m_platform;

private:
    class TickScope;
    // Left, top, right and bottom, right and bottom exclusive.
    struct SearchRect {
        std::int32_t left, top, right, bottom;
    };

    // Lets pending messages run; false when meanwhile the runner was disposed, stopped or started anew.
    bool ProcessMessagesStillRunning(std::uint64_t startNumber);
    void RememberOutcome(const std::function<void()>& tick);
    bool StartConditionHolds();
    void SwitchToClicking();
    void SetClickInterval(std::int64_t ms);
    // The whole screen as it is now, or the stored scope unclipped.
    SearchRect SearchScope();
    std::optional<TPoint> FindTarget(std::uint64_t startNumber);
    // Throws when no monitor shows the point.
    TPoint FixedPointOnAMonitor();
    std::optional<TPoint> NotFound();
    // Keeps what the search answered; the point to click, or nothing.
    std::optional<TPoint> RememberSearch(const TSearchAnswer& answer);
    void RememberFailure(TSearchFailure failure);
    std::uint32_t WantedColour();
    // The place of this click: the target, or with a spread a place near it. At the pointer, the target is where
    // the user left it: the place the last spread click went to stands for that click's target.
    TPoint SpreadPlace(TPoint target);
    // Sends the button steps up to the next hold, arms the hold timer for it, and after the last one applies the
    // after-click action.
    void RunButtonSteps();
    void HoldTick();
    // The releases still owed, sent now: the runner goes and leaves no button pressed.
    void ReleaseHeldButtons() noexcept;
    bool GoesBackAfterClick() const;
    void ApplyFinish(TPoint origin);
    void StopWhenRepeatReached();
    void CountOne();

    // The text m_picture was decoded from.
    std::string m_pictureText;
    std::shared_ptr<const TPixelBuffer> m_picture;
    TSearchMemo m_searchMemo;
    std::unique_ptr<ITimer> m_holdTimer;
    // The click's button steps not sent yet, and where the pointer goes back to after them.
    std::vector<TButtonStep> m_pendingSteps;
    std::optional<TPoint> m_finishOrigin;
    // Where a click away from the pointer pressed its button, for the release after a hold.
    std::optional<TPoint> m_pressPlace;
    // The last spread click: where it went, and the target it was spread around.
    std::optional<std::pair<TPoint, TPoint>> m_lastSpread;
    int m_tickDepth = 0;
    bool m_disposed = false;
    // Counts every Start and Stop, so a tick can tell whether its run is still the current one.
    std::uint64_t m_startNumber = 0;
};
