#include "platform/win32/Win32EventLoop.h"

#include "platform/ErrorGuard.h"
#include "platform/TickSchedule.h"
#include "platform/TimerBase.h"
#include "platform/win32/MessageWindow.h"

#include <windows.h>

#include <mmsystem.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cwchar>
#include <map>
#include <utility>
#include <vector>

namespace {
constexpr UINT kTickMessage = WM_APP + 0x54;
// Marks where the messages pending at a processMessages() call end.
constexpr UINT kMarkMessage = WM_APP + 0x55;

TickSchedule::Time now() {
    static const long long frequency = [] {
        LARGE_INTEGER value{};
        QueryPerformanceFrequency(&value);
        return value.QuadPart;
    }();
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    // Split to keep counter x 10^9 from overflowing after a few days of uptime.
    const long long seconds = counter.QuadPart / frequency;
    const long long rest = counter.QuadPart % frequency;
    return TickSchedule::Time(seconds * 1'000'000'000LL + rest * 1'000'000'000LL / frequency);
}

// Since Windows 11 a process whose windows are all hidden or minimised (Tappora clicking from the notification area)
// may be held to the scheduler's coarse tick whatever timer resolution it asked for, unless it opts out. Looked up at
// run time: older systems lack the call and keep the resolution anyway.
void keepTimerResolutionWhileHidden() {
    struct ThrottlingState {
        ULONG version;
        ULONG controlMask;
        ULONG stateMask;
    };
    constexpr int kProcessPowerThrottling = 4;
    constexpr ULONG kIgnoreTimerResolution = 0x4;
    using SetProcessInformationFunction = BOOL(WINAPI*)(HANDLE, int, LPVOID, DWORD);
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    if (kernel == nullptr)
        return;
    const auto setProcessInformation = reinterpret_cast<SetProcessInformationFunction>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetProcessInformation")));
    if (setProcessInformation == nullptr)
        return;
    ThrottlingState state{1, kIgnoreTimerResolution, 0};
    setProcessInformation(GetCurrentProcess(), kProcessPowerThrottling, &state, sizeof state);
}

bool isDialog(HWND window) {
    wchar_t className[8] = {};
    return GetClassNameW(window, className, 8) > 0 && std::wcscmp(className, L"#32770") == 0;
}

class Win32Timer;
} // namespace

struct Win32EventLoop::State {
    State()
        : window([this](unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
              return handle(message, wParam, lParam);
          }) {}

    bool handle(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);

    MessageWindow window;
    std::map<std::uintptr_t, Win32Timer*> timers;
    std::uintptr_t nextTimerId = 1;
    std::function<bool(MSG&)> filter;
    // Set when the loop goes: its timers stay harmless objects that never tick again.
    bool closed = false;
    std::uintptr_t marksPosted = 0;
    std::uintptr_t marksSeen = 0;
};

namespace {
// What a pending multimedia timer posts; it stays put until the timer event is killed.
struct TickPost {
    HWND window = nullptr;
    WPARAM timerId = 0;
    LPARAM generation = 0;
};

void CALLBACK postTick(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
    const auto* post = reinterpret_cast<const TickPost*>(user);
    PostMessageW(post->window, kTickMessage, post->timerId, post->generation);
}

class Win32Timer : public TimerBase {
public:
    explicit Win32Timer(std::shared_ptr<Win32EventLoop::State> state)
        : m_state(std::move(state)), m_id(m_state->nextTimerId++) {
        m_post.window = reinterpret_cast<HWND>(m_state->window.handle());
        m_post.timerId = m_id;
        m_state->timers[m_id] = this;
    }
    Win32Timer(const Win32Timer&) = delete;
    Win32Timer& operator=(const Win32Timer&) = delete;
    ~Win32Timer() override {
        *m_alive = false;
        cancel();
        m_state->timers.erase(m_id);
    }

    // The loop goes: no tick is armed from now on.
    void halt() { cancel(); }

    // The coarse fallback timer of the current arming fired.
    void deliverFallback() { deliver(m_post.generation); }

    // A tick message arrived; ticks of an earlier arming are stale.
    void deliver(LPARAM generation) {
        if (generation != m_post.generation || !m_pending)
            return;
        m_pending = false;
        m_schedule.delivered();
        const auto handler = onTick();
        const auto alive = m_alive;
        const auto armed = m_post.generation;
        if (handler)
            runGuarded(handler);
        if (!*alive)
            return;
        // A handler that changed the interval or switched the timer off and on has armed it already.
        if (armed == m_post.generation && ticking())
            armNext();
    }

private:
    void rearm() override {
        cancel();
        ++m_post.generation;
        if (!ticking())
            return;
        m_schedule.restart(now(), std::chrono::milliseconds(interval()));
        armNext();
    }

    void armNext() {
        if (m_state->closed)
            return;
        const TickSchedule::Time current = now();
        const auto wait = std::chrono::duration<double, std::milli>(m_schedule.nextDue(current) - current).count();
        m_pending = true;
        // A multimedia timer counts whole milliseconds: the nearest one keeps ticks within half a millisecond of their
        // slot, where rounding up would make a 1 ms timer wait up to 2 ms whenever its tick came a little late.
        const auto milliseconds = static_cast<UINT>(std::lround(std::max(wait, 0.0)));
        if (milliseconds == 0) {
            PostMessageW(m_post.window, kTickMessage, m_post.timerId, m_post.generation);
            return;
        }
        m_event = timeSetEvent(milliseconds, 1, postTick, reinterpret_cast<DWORD_PTR>(&m_post),
                               TIME_ONESHOT | TIME_CALLBACK_FUNCTION | TIME_KILL_SYNCHRONOUS);
        // Without a multimedia timer (none left) the scheduler's coarse timer still keeps the runner going.
        if (m_event == 0)
            SetTimer(m_post.window, m_id, milliseconds, nullptr);
    }

    void cancel() {
        if (m_event != 0)
            timeKillEvent(m_event);
        m_event = 0;
        KillTimer(m_post.window, m_id);
        m_pending = false;
    }

    std::shared_ptr<Win32EventLoop::State> m_state;
    std::uintptr_t m_id;
    TickPost m_post;
    TickSchedule m_schedule;
    MMRESULT m_event = 0;
    bool m_pending = false;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};
} // namespace

bool Win32EventLoop::State::handle(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    if (message == kMarkMessage) {
        marksSeen = std::max(marksSeen, wParam);
        return true;
    }
    if (message != kTickMessage && message != WM_TIMER)
        return false;
    const auto timer = timers.find(wParam);
    if (timer == timers.end())
        return true;
    if (message == WM_TIMER) {
        KillTimer(reinterpret_cast<HWND>(window.handle()), wParam);
        timer->second->deliverFallback();
    } else {
        timer->second->deliver(lParam);
    }
    return true;
}

Win32EventLoop::Win32EventLoop() : m_state(std::make_shared<State>()) {
    keepTimerResolutionWhileHidden();
}

Win32EventLoop::~Win32EventLoop() {
    m_state->closed = true;
    for (const auto& [id, timer] : m_state->timers)
        timer->halt();
}

std::unique_ptr<ITimer> Win32EventLoop::createTimer() {
    return std::make_unique<Win32Timer>(m_state);
}

void Win32EventLoop::processMessages() {
    // Everything pending when the call began, in the system's order. What handlers post meanwhile waits for the next
    // call: a timer whose handler outlasts its period posts its next tick at once, and would hold the caller here for
    // ever. The mark may be dispatched by a modal loop that a handler runs; seeing it there counts too.
    const std::uintptr_t mark = ++m_state->marksPosted;
    std::vector<MSG> ticks;
    MSG message{};
    bool quit = false;
    if (PostMessageW(reinterpret_cast<HWND>(m_state->window.handle()), kMarkMessage, mark, 0)) {
        while (!quit && m_state->marksSeen < mark && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            quit = !dispatchOrKeepTick(message, ticks);
    }
    // Posted messages come before input and painting, so while ticks keep the queue full the window would answer
    // nothing: let the input and painting that are waiting through as well.
    while (!quit && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_INPUT | PM_QS_PAINT | PM_QS_SENDMESSAGE))
        quit = !dispatchOrKeepTick(message, ticks);
    // The ticks wait for the loop outside the pump, first due first.
    for (const MSG& tick : ticks)
        PostMessageW(tick.hwnd, tick.message, tick.wParam, tick.lParam);
}

bool Win32EventLoop::dispatchOrKeepTick(MSG& message, std::vector<MSG>& ticks) {
    // No tick runs inside the pump: the pump is called from ticks, and a tick run there would nest inside another
    // one, as deep as there are timers due. A modal loop that a handler runs still delivers ticks as usual.
    const bool tick = message.hwnd == reinterpret_cast<HWND>(m_state->window.handle()) &&
                      (message.message == kTickMessage || message.message == WM_TIMER);
    if (tick) {
        ticks.push_back(message);
        return true;
    }
    return dispatchUnlessQuit(message);
}

bool Win32EventLoop::dispatchUnlessQuit(MSG& message) {
    if (message.message == WM_QUIT) {
        // Leave it for the loop that waits for it.
        PostQuitMessage(static_cast<int>(message.wParam));
        return false;
    }
    dispatch(message);
    return true;
}

int Win32EventLoop::run() {
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        dispatch(message);
    return static_cast<int>(message.wParam);
}

void Win32EventLoop::dispatch(MSG& message) {
    if (m_state->filter && m_state->filter(message))
        return;
    const HWND root = message.hwnd != nullptr ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (root != nullptr && isDialog(root) && IsDialogMessageW(root, &message))
        return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

void Win32EventLoop::setMessageFilter(std::function<bool(MSG& message)> filter) {
    m_state->filter = std::move(filter);
}
