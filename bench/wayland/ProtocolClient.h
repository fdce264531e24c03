#pragma once

// A bare client of the wlroots protocols, the way any program would use them with nothing of its own around: the first
// output's frames copied into shared memory (zwlr_screencopy_frame_v1: capture_output, copy, ready) with no
// conversion, and left clicks through a virtual pointer of its own on an absolute schedule. What the Wayland benchmark
// holds the program against. Connects to WAYLAND_DISPLAY; throws std::runtime_error when it cannot.

#include <chrono>
#include <cstddef>
#include <cstdint>

struct wl_buffer;
struct wl_display;
struct wl_output;
struct wl_seat;
struct wl_shm;
struct zwlr_screencopy_manager_v1;
struct zwlr_virtual_pointer_manager_v1;

class ProtocolClient {
public:
    ProtocolClient();
    ProtocolClient(const ProtocolClient&) = delete;
    ProtocolClient& operator=(const ProtocolClient&) = delete;
    ~ProtocolClient();

    // One whole frame of the output, the next it shows, copied into a shared-memory buffer kept from the last copy.
    // False when the compositor refused it.
    bool captureFrame();
    // `count` left clicks (press and release, each in a frame of its own) at the pixel (x, y) of a layout of
    // width x height, one at start + k x interval whatever the clicks before took.
    void clickEvery(std::chrono::microseconds interval, int count, int x, int y, int width, int height);

    // Frame events.
    void bufferOffered(std::uint32_t format, int width, int height, int stride);
    void bufferDone();
    void frameEnded(bool copied);

    void addGlobal(void* registry, std::uint32_t name, const char* interface, std::uint32_t version);

private:
    void makeBuffer();
    void releaseBuffer();

    wl_display* m_display = nullptr;
    wl_shm* m_shm = nullptr;
    wl_output* m_output = nullptr;
    wl_seat* m_seat = nullptr;
    zwlr_screencopy_manager_v1* m_screencopy = nullptr;
    zwlr_virtual_pointer_manager_v1* m_pointers = nullptr;

    // The frame being copied and the buffer it goes into.
    void* m_frame = nullptr;
    std::uint32_t m_format = 0;
    int m_width = 0, m_height = 0, m_stride = 0;
    wl_buffer* m_buffer = nullptr;
    void* m_memory = nullptr;
    std::size_t m_size = 0;
    int m_madeWidth = 0, m_madeHeight = 0, m_madeStride = 0;
    std::uint32_t m_madeFormat = 0;
    bool m_ended = false;
    bool m_copied = false;
};
