#pragma once

#include "platform/OutputPicture.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

struct pw_context;
struct pw_core;
struct pw_loop;

// PipeWire's loop, run in the program's thread: its file descriptor is watched by the toolkit's loop, and a reading
// that must wait for a frame runs it itself.
class PipeWireLoop {
public:
    PipeWireLoop();
    PipeWireLoop(const PipeWireLoop&) = delete;
    PipeWireLoop& operator=(const PipeWireLoop&) = delete;
    ~PipeWireLoop();

    pw_loop* loop() const { return m_loop; }
    // Readable when the loop has work.
    int fileDescriptor() const;
    // Runs what is due, waiting up to `milliseconds` for something to come.
    void iterate(int milliseconds);

private:
    pw_loop* m_loop;
};

// The frames of the portal session's streams (one per monitor), received over the PipeWire connection the portal
// opened for the session. Frames come in shared memory; a desktop sends one when the monitor's picture changes (GNOME
// sends none while nothing changes, so the last one stays true).
class PipeWireCapture {
public:
    // Takes a frame of stream `index`.
    using FrameHandler = std::function<void(std::size_t index, const OutputFrame& frame)>;

    // Connects to the streams' `nodes` through `remoteFd` (taken over); `failure()` says why when it cannot.
    PipeWireCapture(PipeWireLoop& loop, int remoteFd, const std::vector<unsigned>& nodes, FrameHandler onFrame);
    PipeWireCapture(const PipeWireCapture&) = delete;
    PipeWireCapture& operator=(const PipeWireCapture&) = delete;
    ~PipeWireCapture();

    // Why the frames stopped or never came; empty while they may come.
    const std::string& failure() const { return m_failure; }
    // Whether every stream has sent a frame since the capture began.
    bool allReceived() const;

    struct Stream;

private:
    friend struct PipeWireStreamEvents;

    PipeWireLoop& m_loop;
    pw_context* m_context = nullptr;
    pw_core* m_core = nullptr;
    std::vector<std::unique_ptr<Stream>> m_streams;
    FrameHandler m_onFrame;
    std::string m_failure;
};
