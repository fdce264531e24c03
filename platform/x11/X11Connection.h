#pragma once

#include <memory>
#include <string>

struct _XDisplay;

// One connection to an X server, closed when it goes; the backend's error handler is installed while one exists.
class X11Connection {
public:
    // Opens `displayName`, or the display of the session when it is empty; nothing when no server answers.
    static std::unique_ptr<X11Connection> open(const std::string& displayName = {});
    X11Connection(const X11Connection&) = delete;
    X11Connection& operator=(const X11Connection&) = delete;
    ~X11Connection();

    _XDisplay* display() const { return m_display; }
    // The connection's file descriptor, for an event loop to watch.
    int fileDescriptor() const;

private:
    explicit X11Connection(_XDisplay* display) : m_display(display) {}

    _XDisplay* m_display;
};

// Why the program cannot run on X11 here, in one sentence for the user, once opening `displayName` (the session's
// DISPLAY; empty or absent means none is set) has failed. It opens nothing itself: a connection opened and closed
// only to look would let a server that resets when its last client leaves reset under the program's own.
std::string x11UnavailableReason(const char* displayName);
