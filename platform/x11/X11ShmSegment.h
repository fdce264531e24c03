#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include <cstddef>
#include <cstdint>
#include <memory>

// A System V shared-memory segment attached both here and in the X server, for XShmGetImage.
class X11ShmSegment {
public:
    // A segment of at least `bytes`, or nothing when the server cannot attach it (a remote display, another IPC
    // namespace, no MIT-SHM); the refusal is trapped, never fatal.
    static std::unique_ptr<X11ShmSegment> create(Display* display, std::size_t bytes);
    // Attaches the segment `info` names to the server; false, with the refusal trapped, when the server cannot.
    static bool attachToServer(Display* display, XShmSegmentInfo& info);
    X11ShmSegment(const X11ShmSegment&) = delete;
    X11ShmSegment& operator=(const X11ShmSegment&) = delete;
    ~X11ShmSegment();

    std::size_t size() const { return m_size; }
    XShmSegmentInfo& info() { return m_info; }

private:
    X11ShmSegment(Display* display, std::size_t size, const XShmSegmentInfo& info)
        : m_display(display), m_size(size), m_info(info) {}

    Display* m_display;
    std::size_t m_size;
    XShmSegmentInfo m_info;
};
