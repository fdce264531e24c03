#include "platform/wayland/WaylandOutputCapture.h"

#include "platform/wayland/WaylandConnection.h"
#include "wlr-screencopy-unstable-v1-client-protocol.h"

#include <wayland-client.h>

#include <algorithm>
#include <stdexcept>
#include <sys/mman.h>
#include <unistd.h>

namespace {
using Slot = WaylandOutputCapture::Slot;

Slot& slotOf(void* data) {
    return *static_cast<Slot*>(data);
}

void onBuffer(void* data, zwlr_screencopy_frame_v1*, std::uint32_t format, std::uint32_t width, std::uint32_t height,
              std::uint32_t stride) {
    Slot& slot = slotOf(data);
    slot.capture->bufferOffered(slot, format, static_cast<int>(width), static_cast<int>(height),
                                static_cast<int>(stride));
}

void onFlags(void* data, zwlr_screencopy_frame_v1*, std::uint32_t flags) {
    slotOf(data).bottomUp = (flags & ZWLR_SCREENCOPY_FRAME_V1_FLAGS_Y_INVERT) != 0;
}

void onReady(void* data, zwlr_screencopy_frame_v1*, std::uint32_t, std::uint32_t, std::uint32_t) {
    slotOf(data).capture->ready(slotOf(data));
}

void onFailed(void* data, zwlr_screencopy_frame_v1*) {
    slotOf(data).capture->refused(slotOf(data));
}

void onDamage(void* data, zwlr_screencopy_frame_v1*, std::uint32_t x, std::uint32_t y, std::uint32_t width,
              std::uint32_t height) {
    slotOf(data).damage.push_back(
        {static_cast<int>(x), static_cast<int>(y), static_cast<int>(width), static_cast<int>(height)});
}

void onDmabuf(void*, zwlr_screencopy_frame_v1*, std::uint32_t, std::uint32_t, std::uint32_t) {}

void onBufferDone(void* data, zwlr_screencopy_frame_v1*) {
    slotOf(data).capture->copy(slotOf(data));
}

const zwlr_screencopy_frame_v1_listener kFrameListener = {onBuffer, onFlags,  onReady,     onFailed,
                                                          onDamage, onDmabuf, onBufferDone};
} // namespace

WaylandOutputCapture::WaylandOutputCapture(WaylandConnection& connection, const WaylandOutput& output,
                                           FrameHandler onFrame)
    : m_connection(connection), m_output(output), m_onFrame(std::move(onFrame)) {
    for (Slot& slot : m_slots)
        slot.capture = this;
}

WaylandOutputCapture::~WaylandOutputCapture() {
    for (Slot& slot : m_slots) {
        endFrame(slot);
        releaseBuffer(slot);
    }
}

bool WaylandOutputCapture::copying() const {
    return std::ranges::any_of(m_slots, [](const Slot& slot) { return slot.frame != nullptr; });
}

void WaylandOutputCapture::start() {
    if (copying() && !m_failed)
        return;
    m_failed = false;
    for (Slot& slot : m_slots)
        endFrame(slot);
    ask(m_slots[0], false);
    ask(m_slots[1], true);
}

void WaylandOutputCapture::ask(Slot& slot, bool onlyChanged) {
    slot.onlyChanged = onlyChanged;
    slot.copyAsked = false;
    slot.damage.clear();
    slot.frame = zwlr_screencopy_manager_v1_capture_output(m_connection.screencopyManager(), 0, m_output.output);
    zwlr_screencopy_frame_v1_add_listener(slot.frame, &kFrameListener, &slot);
    wl_display_flush(m_connection.display());
}

// Version 3 tells every buffer kind it offers, then buffer_done; earlier versions offer one shared-memory buffer.
void WaylandOutputCapture::bufferOffered(Slot& slot, std::uint32_t format, int width, int height, int stride) {
    slot.format = format;
    slot.width = width;
    slot.height = height;
    slot.stride = stride;
    if (m_connection.screencopyVersion() < 3)
        copy(slot);
}

void WaylandOutputCapture::copy(Slot& slot) {
    if (slot.copyAsked || slot.frame == nullptr)
        return;
    slot.copyAsked = true;
    makeBuffer(slot);
    if (slot.onlyChanged)
        zwlr_screencopy_frame_v1_copy_with_damage(slot.frame, slot.buffer);
    else
        zwlr_screencopy_frame_v1_copy(slot.frame, slot.buffer);
    wl_display_flush(m_connection.display());
}

void WaylandOutputCapture::makeBuffer(Slot& slot) {
    if (slot.buffer != nullptr && slot.madeWidth == slot.width && slot.madeHeight == slot.height &&
        slot.madeStride == slot.stride && slot.madeFormat == slot.format)
        return;
    releaseBuffer(slot);
    slot.size = static_cast<std::size_t>(slot.stride) * static_cast<std::size_t>(slot.height);
    const int file = memfd_create("tappora-screen", MFD_CLOEXEC);
    void* memory = MAP_FAILED;
    if (file >= 0 && ftruncate(file, static_cast<off_t>(slot.size)) == 0)
        memory = mmap(nullptr, slot.size, PROT_READ | PROT_WRITE, MAP_SHARED, file, 0);
    if (memory == MAP_FAILED) {
        if (file >= 0)
            close(file);
        throw std::runtime_error("No shared memory for a copy of the screen.");
    }
    slot.memory = static_cast<std::uint8_t*>(memory);
    wl_shm_pool* pool = wl_shm_create_pool(m_connection.shm(), file, static_cast<std::int32_t>(slot.size));
    slot.buffer = wl_shm_pool_create_buffer(pool, 0, slot.width, slot.height, slot.stride, slot.format);
    wl_shm_pool_destroy(pool);
    close(file);
    slot.madeWidth = slot.width;
    slot.madeHeight = slot.height;
    slot.madeStride = slot.stride;
    slot.madeFormat = slot.format;
}

void WaylandOutputCapture::releaseBuffer(Slot& slot) {
    if (slot.buffer != nullptr)
        wl_buffer_destroy(slot.buffer);
    if (slot.memory != nullptr)
        munmap(slot.memory, slot.size);
    slot.buffer = nullptr;
    slot.memory = nullptr;
}

// The frame is taken, then the slot waits for the next change; the other slot's copy stays pending meanwhile.
void WaylandOutputCapture::ready(Slot& slot) {
    endFrame(slot);
    if (m_onFrame({slot.memory, slot.madeWidth, slot.madeHeight, slot.madeStride, slot.madeFormat, slot.bottomUp,
                   slot.onlyChanged ? &slot.damage : nullptr}))
        ask(slot, true);
}

void WaylandOutputCapture::refused(Slot& slot) {
    endFrame(slot);
    m_failed = true;
}

void WaylandOutputCapture::endFrame(Slot& slot) {
    if (slot.frame != nullptr)
        zwlr_screencopy_frame_v1_destroy(slot.frame);
    slot.frame = nullptr;
}
