#pragma once

#include "platform/Geometry.h"

#include <cstdint>
#include <functional>
#include <vector>

class WaylandConnection;
struct WaylandOutput;
struct wl_buffer;
struct zwlr_screencopy_frame_v1;

// One output's frames copied into shared memory (zwlr_screencopy_frame_v1), one at a time. After the first frame it
// can wait for the next one that differs and tell where it differs (the protocol's damage), so that an unchanged
// output is not copied again.
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
    using FrameHandler = std::function<void(const Frame&)>;

    WaylandOutputCapture(WaylandConnection& connection, const WaylandOutput& output, FrameHandler onFrame);
    WaylandOutputCapture(const WaylandOutputCapture&) = delete;
    WaylandOutputCapture& operator=(const WaylandOutputCapture&) = delete;
    ~WaylandOutputCapture();

    // Asks for the next frame the output shows; with `onlyChanged`, for the next one that differs from the last one
    // copied, with where it differs.
    void request(bool onlyChanged);
    bool waiting() const { return m_frame != nullptr; }
    bool failed() const { return m_failed; }
    const WaylandOutput& output() const { return m_output; }

    // The frame's events.
    void bufferOffered(std::uint32_t format, int width, int height, int stride);
    void buffersOffered();
    void flagsTold(std::uint32_t flags) { m_bottomUp = (flags & 1u) != 0; }
    void damaged(TRect area) { m_damage.push_back(area); }
    void ready();
    void refused();

private:
    void copy();
    void makeBuffer();
    void releaseBuffer();
    void endFrame();

    WaylandConnection& m_connection;
    const WaylandOutput& m_output;
    FrameHandler m_onFrame;
    zwlr_screencopy_frame_v1* m_frame = nullptr;
    bool m_onlyChanged = false;
    bool m_copyAsked = false;
    bool m_failed = false;
    bool m_bottomUp = false;
    std::vector<TRect> m_damage;
    // The offered buffer and the one made for it, kept while the offer stays the same.
    std::uint32_t m_format = 0;
    int m_width = 0, m_height = 0, m_stride = 0;
    wl_buffer* m_buffer = nullptr;
    std::uint8_t* m_memory = nullptr;
    std::size_t m_size = 0;
    int m_madeWidth = 0, m_madeHeight = 0, m_madeStride = 0;
    std::uint32_t m_madeFormat = 0;
};
