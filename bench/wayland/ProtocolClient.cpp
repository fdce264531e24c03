#include "ProtocolClient.h"

#include "wlr-screencopy-unstable-v1-client-protocol.h"
#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

#include <wayland-client.h>

#include <algorithm>
#include <cstring>
#include <linux/input-event-codes.h>
#include <stdexcept>
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>

namespace {
ProtocolClient& clientOf(void* data) {
    return *static_cast<ProtocolClient*>(data);
}

void onGlobal(void* data, wl_registry* registry, std::uint32_t name, const char* interface, std::uint32_t version) {
    clientOf(data).addGlobal(registry, name, interface, version);
}

void onGlobalRemove(void*, wl_registry*, std::uint32_t) {}

const wl_registry_listener kRegistryListener = {onGlobal, onGlobalRemove};

void onBuffer(void* data, zwlr_screencopy_frame_v1*, std::uint32_t format, std::uint32_t width, std::uint32_t height,
              std::uint32_t stride) {
    clientOf(data).bufferOffered(format, static_cast<int>(width), static_cast<int>(height), static_cast<int>(stride));
}

void onFlags(void*, zwlr_screencopy_frame_v1*, std::uint32_t) {}

void onReady(void* data, zwlr_screencopy_frame_v1*, std::uint32_t, std::uint32_t, std::uint32_t) {
    clientOf(data).frameEnded(true);
}

void onFailed(void* data, zwlr_screencopy_frame_v1*) {
    clientOf(data).frameEnded(false);
}

void onDamage(void*, zwlr_screencopy_frame_v1*, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t) {}

void onDmabuf(void*, zwlr_screencopy_frame_v1*, std::uint32_t, std::uint32_t, std::uint32_t) {}

void onBufferDone(void* data, zwlr_screencopy_frame_v1*) {
    clientOf(data).bufferDone();
}

const zwlr_screencopy_frame_v1_listener kFrameListener = {onBuffer, onFlags,  onReady,     onFailed,
                                                          onDamage, onDmabuf, onBufferDone};

std::uint32_t milliseconds(const timespec& time) {
    return static_cast<std::uint32_t>(time.tv_sec * 1000 + time.tv_nsec / 1000000);
}

timespec later(timespec time, std::chrono::nanoseconds by) {
    const long long nanoseconds = time.tv_nsec + by.count();
    time.tv_sec += static_cast<time_t>(nanoseconds / 1000000000);
    time.tv_nsec = static_cast<long>(nanoseconds % 1000000000);
    return time;
}
} // namespace

ProtocolClient::ProtocolClient() : m_display(wl_display_connect(nullptr)) {
    if (m_display == nullptr)
        throw std::runtime_error("no Wayland display");
    wl_registry_add_listener(wl_display_get_registry(m_display), &kRegistryListener, this);
    wl_display_roundtrip(m_display);
    if (m_shm == nullptr || m_output == nullptr || m_screencopy == nullptr || m_pointers == nullptr)
        throw std::runtime_error("the compositor lacks shared memory, an output, screen copy or the virtual pointer");
}

ProtocolClient::~ProtocolClient() {
    releaseBuffer();
    wl_display_disconnect(m_display);
}

void ProtocolClient::addGlobal(void* registry, std::uint32_t name, const char* interface, std::uint32_t version) {
    const auto bind = [&](const wl_interface& type, std::uint32_t highest) {
        return wl_registry_bind(static_cast<wl_registry*>(registry), name, &type, std::min(version, highest));
    };
    if (std::strcmp(interface, wl_shm_interface.name) == 0)
        m_shm = static_cast<wl_shm*>(bind(wl_shm_interface, 1));
    else if (std::strcmp(interface, wl_output_interface.name) == 0 && m_output == nullptr)
        m_output = static_cast<wl_output*>(bind(wl_output_interface, 1));
    else if (std::strcmp(interface, wl_seat_interface.name) == 0 && m_seat == nullptr)
        m_seat = static_cast<wl_seat*>(bind(wl_seat_interface, 1));
    else if (std::strcmp(interface, zwlr_screencopy_manager_v1_interface.name) == 0)
        m_screencopy = static_cast<zwlr_screencopy_manager_v1*>(bind(zwlr_screencopy_manager_v1_interface, 3));
    else if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
        m_pointers = static_cast<zwlr_virtual_pointer_manager_v1*>(bind(zwlr_virtual_pointer_manager_v1_interface, 1));
}

bool ProtocolClient::captureFrame() {
    auto* frame = zwlr_screencopy_manager_v1_capture_output(m_screencopy, 0, m_output);
    m_frame = frame;
    m_ended = false;
    zwlr_screencopy_frame_v1_add_listener(frame, &kFrameListener, this);
    while (!m_ended)
        if (wl_display_dispatch(m_display) < 0)
            throw std::runtime_error("the compositor closed the connection");
    zwlr_screencopy_frame_v1_destroy(frame);
    m_frame = nullptr;
    return m_copied;
}

void ProtocolClient::bufferOffered(std::uint32_t format, int width, int height, int stride) {
    m_format = format;
    m_width = width;
    m_height = height;
    m_stride = stride;
}

void ProtocolClient::bufferDone() {
    makeBuffer();
    zwlr_screencopy_frame_v1_copy(static_cast<zwlr_screencopy_frame_v1*>(m_frame), m_buffer);
}

void ProtocolClient::frameEnded(bool copied) {
    m_ended = true;
    m_copied = copied;
}

void ProtocolClient::makeBuffer() {
    if (m_buffer != nullptr && m_madeWidth == m_width && m_madeHeight == m_height && m_madeStride == m_stride &&
        m_madeFormat == m_format)
        return;
    releaseBuffer();
    m_size = static_cast<std::size_t>(m_stride) * static_cast<std::size_t>(m_height);
    const int file = memfd_create("wayland-bench-frame", MFD_CLOEXEC);
    if (file < 0 || ftruncate(file, static_cast<off_t>(m_size)) != 0)
        throw std::runtime_error("no shared memory for a frame");
    m_memory = mmap(nullptr, m_size, PROT_READ | PROT_WRITE, MAP_SHARED, file, 0);
    if (m_memory == MAP_FAILED)
        throw std::runtime_error("no shared memory for a frame");
    wl_shm_pool* pool = wl_shm_create_pool(m_shm, file, static_cast<std::int32_t>(m_size));
    m_buffer = wl_shm_pool_create_buffer(pool, 0, m_width, m_height, m_stride, m_format);
    wl_shm_pool_destroy(pool);
    close(file);
    m_madeWidth = m_width;
    m_madeHeight = m_height;
    m_madeStride = m_stride;
    m_madeFormat = m_format;
}

void ProtocolClient::releaseBuffer() {
    if (m_buffer != nullptr)
        wl_buffer_destroy(m_buffer);
    if (m_memory != nullptr && m_memory != MAP_FAILED)
        munmap(m_memory, m_size);
    m_buffer = nullptr;
    m_memory = nullptr;
}

void ProtocolClient::clickEvery(std::chrono::microseconds interval, int count, int x, int y, int width, int height) {
    zwlr_virtual_pointer_v1* pointer = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(m_pointers, m_seat);
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    zwlr_virtual_pointer_v1_motion_absolute(
        pointer, milliseconds(now), static_cast<std::uint32_t>(2 * x + 1), static_cast<std::uint32_t>(2 * y + 1),
        static_cast<std::uint32_t>(2 * width), static_cast<std::uint32_t>(2 * height));
    zwlr_virtual_pointer_v1_frame(pointer);
    wl_display_roundtrip(m_display);
    timespec start{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    for (int k = 0; k < count; ++k) {
        const timespec slot = later(start, interval * k);
        clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &slot, nullptr);
        for (const auto state : {WL_POINTER_BUTTON_STATE_PRESSED, WL_POINTER_BUTTON_STATE_RELEASED}) {
            clock_gettime(CLOCK_MONOTONIC, &now);
            zwlr_virtual_pointer_v1_button(pointer, milliseconds(now), BTN_LEFT, state);
            zwlr_virtual_pointer_v1_frame(pointer);
        }
        wl_display_flush(m_display);
    }
    zwlr_virtual_pointer_v1_destroy(pointer);
    wl_display_roundtrip(m_display);
}
