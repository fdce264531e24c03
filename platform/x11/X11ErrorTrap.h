#pragma once

struct _XDisplay;

// Makes Xlib's error handler the backend's own for the life of the program: an X error is recorded by the trap
// that is watching its connection, or else ignored, and never ends the program. Safe to call more than once.
void installX11ErrorHandler();

// Watches one connection for X errors while it exists; traps nest, the innermost watching a connection wins. While
// traps exist the error handler is theirs, whoever installed one since; the one before comes back after them.
class X11ErrorTrap {
public:
    explicit X11ErrorTrap(_XDisplay* display);
    X11ErrorTrap(const X11ErrorTrap&) = delete;
    X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;
    ~X11ErrorTrap();

    // Waits until the server has handled every request sent so far, then tells whether any of them failed.
    bool syncAndCheck();
    // The error code of the first failure seen, 0 when none.
    int firstErrorCode() const { return m_firstErrorCode; }

private:
    friend int recordX11Error(_XDisplay* display, int errorCode);

    _XDisplay* m_display;
    X11ErrorTrap* m_outer;
    int m_firstErrorCode = 0;
};
