#pragma once

#include "platform/Geometry.h"

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

class WaylandConnection;
struct WaylandOutput;
struct wl_buffer;
struct zwlr_screencopy_frame_v1;

// One output's frames copied into shared memory (zwlr_screencopy_frame_v1) while its user wants them: a whole first
// frame, then each frame that differs from the one before, with where it differs (the protocol's damage), so that an
// unchanged output is not copied again. Two copies are asked for at all times, each into a buffer of its own: while
// one arrives the other still waits, so every frame the output shows is copied, also one shown while the previous copy
// was being taken in.
class WaylandOutputCapture {
public:
    // A frame as it arrived: `pixels` rows of 4-byte pixels in the compositor's format, `stride` bytes apart.
    struct Frame {
        const std::uint8_t* pixels = nullptr;
        int width = 0;
        int height = 0;
        int stride = 0;
        std::uint32_t format = 0;
        bool bottomUp = false;
        // Where it differs from the previous frame, in its own pixels; nothing when all of it may differ.
        const std::vector<TRect>* damage = nullptr;
    };
    // Takes a frame; false to stop asking for more once the copies pending have arrived.
    using FrameHandler = std::function<bool(const Frame&)>;

    // One frame asked of the compositor, with the buffer it is copied into.
    struct Slot {
        WaylandOutputCapture* capture = nullptr;
        zwlr_screencopy_frame_v1* frame = nullptr;
        bool onlyChanged = false;
        bool copyAsked = false;
        bool bottomUp = false;
        std::vector<TRect> damage;
        std::uint32_t format = 0;
        int width = 0, height = 0, stride = 0;
        wl_buffer* buffer = nullptr;
        std::uint8_t* memory = nullptr;
        std::size_t size = 0;
        int madeWidth = 0, madeHeight = 0, madeStride = 0;
        std::uint32_t madeFormat = 0;
    };

    WaylandOutputCapture(WaylandConnection& connection, const WaylandOutput& output, FrameHandler onFrame);
    WaylandOutputCapture(const WaylandOutputCapture&) = delete;
    WaylandOutputCapture& operator=(const WaylandOutputCapture&) = delete;
    ~WaylandOutputCapture();

    // Starts copying: the first frame whole, every later one where it changed, until the handler declines one.
    void start();
    // Whether a copy is still asked for.
    bool copying() const;
    bool failed() const { return m_failed; }
    const WaylandOutput& output() const { return m_output; }

    // A slot's frame events.
    void bufferOffered(Slot& slot, std::uint32_t format, int width, int height, int stride);
    void copy(Slot& slot);
    void ready(Slot& slot);
    void refused(Slot& slot);

private:
    void ask(Slot& slot, bool onlyChanged);
    void makeBuffer(Slot& slot);
    static void releaseBuffer(Slot& slot);
    static void endFrame(Slot& slot);

    WaylandConnection& m_connection;
    const WaylandOutput& m_output;
    FrameHandler m_onFrame;
    std::array<Slot, 2> m_slots;
    bool m_failed = false;
};
