#include "platform/wayland/WaylandOutputCapture.h"

#include "platform/wayland/WaylandConnection.h"
#include "wlr-screencopy-unstable-v1-client-protocol.h"

#include <wayland-client.h>

#include <stdexcept>
#include <sys/mman.h>
#include <unistd.h>

namespace {
WaylandOutputCapture& captureOf(void* data) {
    return *static_cast<WaylandOutputCapture*>(data);
}

void onBuffer(void* data, zwlr_screencopy_frame_v1*, std::uint32_t format, std::uint32_t width, std::uint32_t height,
              std::uint32_t stride) {
    captureOf(data).bufferOffered(format, static_cast<int>(width), static_cast<int>(height),
                                  static_cast<int>(stride));
}

void onFlags(void* data, zwlr_screencopy_frame_v1*, std::uint32_t flags) {
    captureOf(data).flagsTold(flags);
}

void onReady(void* data, zwlr_screencopy_frame_v1*, std::uint32_t, std::uint32_t, std::uint32_t) {
    captureOf(data).ready();
}

void onFailed(void* data, zwlr_screencopy_frame_v1*) {
    captureOf(data).refused();
}

void onDamage(void* data, zwlr_screencopy_frame_v1*, std::uint32_t x, std::uint32_t y, std::uint32_t width,
              std::uint32_t height) {
    captureOf(data).damaged(
        {static_cast<int>(x), static_cast<int>(y), static_cast<int>(width), static_cast<int>(height)});
}

void onDmabuf(void*, zwlr_screencopy_frame_v1*, std::uint32_t, std::uint32_t, std::uint32_t) {}

void onBufferDone(void* data, zwlr_screencopy_frame_v1*) {
    captureOf(data).buffersOffered();
}

const zwlr_screencopy_frame_v1_listener kFrameListener = {onBuffer,  onFlags,  onReady,     onFailed,
                                                          onDamage, onDmabuf, onBufferDone};
} // namespace

WaylandOutputCapture::WaylandOutputCapture(WaylandConnection& connection, const WaylandOutput& output,
                                           FrameHandler onFrame)
    : m_connection(connection), m_output(output), m_onFrame(std::move(onFrame)) {}

WaylandOutputCapture::~WaylandOutputCapture() {
    endFrame();
    releaseBuffer();
}

void WaylandOutputCapture::request(bool onlyChanged) {
    if (m_frame != nullptr)
        return;
    m_onlyChanged = onlyChanged;
    m_copyAsked = false;
    m_failed = false;
    m_damage.clear();
    m_frame = zwlr_screencopy_manager_v1_capture_output(m_connection.screencopyManager(), 0, m_output.output);
    zwlr_screencopy_frame_v1_add_listener(m_frame, &kFrameListener, this);
    wl_display_flush(m_connection.display());
}

// Version 3 tells every buffer kind it offers, then buffer_done; earlier versions offer one shared-memory buffer.
void WaylandOutputCapture::bufferOffered(std::uint32_t format, int width, int height, int stride) {
    m_format = format;
    m_width = width;
    m_height = height;
    m_stride = stride;
    if (m_connection.screencopyVersion() < 3)
        copy();
}

void WaylandOutputCapture::buffersOffered() {
    copy();
}

void WaylandOutputCapture::copy() {
    if (m_copyAsked || m_frame == nullptr)
        return;
    m_copyAsked = true;
    makeBuffer();
    if (m_onlyChanged)
        zwlr_screencopy_frame_v1_copy_with_damage(m_frame, m_buffer);
    else
        zwlr_screencopy_frame_v1_copy(m_frame, m_buffer);
    wl_display_flush(m_connection.display());
}

void WaylandOutputCapture::makeBuffer() {
    if (m_buffer != nullptr && m_madeWidth == m_width && m_madeHeight == m_height && m_madeStride == m_stride &&
        m_madeFormat == m_format)
        return;
    releaseBuffer();
    m_size = static_cast<std::size_t>(m_stride) * static_cast<std::size_t>(m_height);
    const int file = memfd_create("tappora-screen", MFD_CLOEXEC);
    if (file < 0 || ftruncate(file, static_cast<off_t>(m_size)) != 0) {
        if (file >= 0)
            close(file);
        throw std::runtime_error("No shared memory for a copy of the screen.");
    }
    void* memory = mmap(nullptr, m_size, PROT_READ | PROT_WRITE, MAP_SHARED, file, 0);
    if (memory == MAP_FAILED) {
        close(file);
        throw std::runtime_error("No shared memory for a copy of the screen.");
    }
    m_memory = static_cast<std::uint8_t*>(memory);
    wl_shm_pool* pool = wl_shm_create_pool(m_connection.shm(), file, static_cast<std::int32_t>(m_size));
    m_buffer = wl_shm_pool_create_buffer(pool, 0, m_width, m_height, m_stride, m_format);
    wl_shm_pool_destroy(pool);
    close(file);
    m_madeWidth = m_width;
    m_madeHeight = m_height;
    m_madeStride = m_stride;
    m_madeFormat = m_format;
}

void WaylandOutputCapture::releaseBuffer() {
    if (m_buffer != nullptr)
        wl_buffer_destroy(m_buffer);
    if (m_memory != nullptr)
        munmap(m_memory, m_size);
    m_buffer = nullptr;
    m_memory = nullptr;
}

void WaylandOutputCapture::ready() {
    const bool damageTold = m_onlyChanged;
    endFrame();
    m_onFrame({m_memory, m_madeWidth, m_madeHeight, m_madeStride, m_madeFormat, m_bottomUp,
               damageTold ? &m_damage : nullptr});
}

void WaylandOutputCapture::refused() {
    endFrame();
    m_failed = true;
}

void WaylandOutputCapture::endFrame() {
    if (m_frame != nullptr)
        zwlr_screencopy_frame_v1_destroy(m_frame);
    m_frame = nullptr;
}
