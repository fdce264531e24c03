#pragma once

// The click target of the X11 and end-to-end tests: an override-redirect window covering the whole screen, on a
// connection of its own, that records every button press and release it receives with its root coordinates, the
// server's time and whether it was sent by XSendEvent (synthesised input through XTest is not). It can also paint the
// screen.
//
//     XvfbServer server;
//     TargetClient target(server.displayName());
//     ... make the program click ...
//     auto events = target.waitForButtonEvents(4);        // waits, with a generous timeout, for 4 events
//     EXPECT_EQ(events[0], (ButtonRecord{ButtonRecord::Press, 3, 300, 200}));
//
// A program under test that maps its own windows later may cover the target; click where no window of it is.
// The `tappora_target_client DISPLAY` executable runs the same target in a process of its own: it prints "ready" once
// its window is up, then one line per event ("press 1 300 200 0": kind, button, root x, root y, send_event), for
// tests that need the target outside the test process. It runs until it is killed.

#include <chrono>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

struct _XDisplay;

struct ButtonRecord {
    enum Kind { Press, Release };
    Kind kind = Press;
    unsigned button = 0;
    int rootX = 0;
    int rootY = 0;
    bool sendEvent = false;
    // The server's time of the event in ms, for how long a button was held; not compared.
    unsigned long serverTime = 0;
    friend bool operator==(const ButtonRecord& a, const ButtonRecord& b) {
        return a.kind == b.kind && a.button == b.button && a.rootX == b.rootX && a.rootY == b.rootY &&
               a.sendEvent == b.sendEvent;
    }
};

std::ostream& operator<<(std::ostream& out, const ButtonRecord& record);

class TargetClient {
public:
    // Throws std::runtime_error when the display cannot be opened.
    explicit TargetClient(const std::string& displayName);
    TargetClient(const TargetClient&) = delete;
    TargetClient& operator=(const TargetClient&) = delete;
    ~TargetClient();

    // Reads events until `count` button events have arrived in all or `timeout` has passed; returns all so far.
    const std::vector<ButtonRecord>& waitForButtonEvents(std::size_t count,
                                                         std::chrono::milliseconds timeout = std::chrono::seconds(20));
    // Records whatever has arrived, without waiting.
    const std::vector<ButtonRecord>& pumpEvents();
    void clearEvents() { m_events.clear(); }

    // Paints a rectangle of the window (so of the screen) with colour(x, y) as 0x00RRGGBB, x and y on the screen.
    void paint(int left, int top, int width, int height, const std::function<std::uint32_t(int x, int y)>& colour);

    _XDisplay* display() const { return m_display; }
    unsigned long window() const { return m_window; }

private:
    bool readEvent(int timeoutMs);

    _XDisplay* m_display = nullptr;
    unsigned long m_window = 0;
    std::vector<ButtonRecord> m_events;
};
