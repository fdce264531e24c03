#pragma once

#include "platform/Geometry.h"

#include <vector>

struct _XDisplay;

// Where the primary monitor lies in the root window, read with XRandR's monitor list together with the root
// window's size in one round trip, and read again when the server tells of a new layout. The mouse and the screen of
// one connection share it, so that a program position names the same root pixel for both.
class X11Monitors {
public:
    explicit X11Monitors(_XDisplay* display);

    // The requests of one reading, sent but not yet answered, so that another request can share the round trip.
    struct Question {
        unsigned geometry = 0;
        unsigned monitors = 0;
        bool monitorsAsked = false;
    };
    Question ask();
    // Waits for the answer and keeps it as the last reading.
    TRect answer(const Question& question);
    TRect readPrimary() { return answer(ask()); }

    // The primary monitor in root pixels: as last read, or read afresh when the layout changed since.
    TRect primary();
    // Its top-left corner.
    TPoint origin();
    // Every monitor in root pixels, the primary among them; the root window when XRandR lists none.
    std::vector<TRect> areas();

private:
    // Whether the server told of a new layout of the root window (monitors set, outputs moved or resized) since the
    // last call; it tells without being asked, so looking costs no round trip.
    bool layoutChanged();

    _XDisplay* m_display;
    bool m_monitorsListed;
    TRect m_primary;
    std::vector<TRect> m_areas;
};
