#include "platform/portal/PipeWireCapture.h"

#include <pipewire/pipewire.h>
#include <spa/param/video/format-utils.h>
#include <spa/pod/builder.h>

#include <unistd.h>

#include <algorithm>

struct PipeWireCapture::Stream {
    PipeWireCapture* capture = nullptr;
    std::size_t index = 0;
    pw_stream* stream = nullptr;
    spa_hook listener{};
    spa_video_info_raw format{};
    bool received = false;
};

namespace {
bool redFirst(spa_video_format format) {
    return format == SPA_VIDEO_FORMAT_RGBx || format == SPA_VIDEO_FORMAT_RGBA;
}

// Raw 32-bit frames in shared memory, in the orders OutputPicture takes, of any size and rate.
const spa_pod* formatOffer(spa_pod_builder& builder) {
    spa_rectangle defaultSize{1920, 1080}, smallest{1, 1}, largest{16384, 16384};
    spa_fraction defaultRate{0, 1}, slowest{0, 1}, fastest{1000, 1};
    return static_cast<const spa_pod*>(spa_pod_builder_add_object(
        &builder, SPA_TYPE_OBJECT_Format, SPA_PARAM_EnumFormat, SPA_FORMAT_mediaType, SPA_POD_Id(SPA_MEDIA_TYPE_video),
        SPA_FORMAT_mediaSubtype, SPA_POD_Id(SPA_MEDIA_SUBTYPE_raw), SPA_FORMAT_VIDEO_format,
        SPA_POD_CHOICE_ENUM_Id(5, SPA_VIDEO_FORMAT_BGRx, SPA_VIDEO_FORMAT_BGRx, SPA_VIDEO_FORMAT_BGRA,
                               SPA_VIDEO_FORMAT_RGBx, SPA_VIDEO_FORMAT_RGBA),
        SPA_FORMAT_VIDEO_size, SPA_POD_CHOICE_RANGE_Rectangle(&defaultSize, &smallest, &largest),
        SPA_FORMAT_VIDEO_framerate, SPA_POD_CHOICE_RANGE_Fraction(&defaultRate, &slowest, &fastest)));
}

const spa_pod* sharedMemoryBuffers(spa_pod_builder& builder) {
    return static_cast<const spa_pod*>(spa_pod_builder_add_object(
        &builder, SPA_TYPE_OBJECT_ParamBuffers, SPA_PARAM_Buffers, SPA_PARAM_BUFFERS_dataType,
        SPA_POD_CHOICE_FLAGS_Int((1 << SPA_DATA_MemPtr) | (1 << SPA_DATA_MemFd))));
}

void onParamChanged(void* data, std::uint32_t id, const spa_pod* param) {
    auto& stream = *static_cast<PipeWireCapture::Stream*>(data);
    if (param == nullptr || id != SPA_PARAM_Format)
        return;
    if (spa_format_video_raw_parse(param, &stream.format) < 0)
        return;
    std::uint8_t bytes[256];
    spa_pod_builder builder = SPA_POD_BUILDER_INIT(bytes, sizeof(bytes));
    const spa_pod* buffers = sharedMemoryBuffers(builder);
    pw_stream_update_params(stream.stream, &buffers, 1);
}

// The newest frame waiting is taken; older ones are handed back unread.
pw_buffer* newestBuffer(pw_stream* stream) {
    pw_buffer* newest = nullptr;
    while (pw_buffer* next = pw_stream_dequeue_buffer(stream)) {
        if (newest)
            pw_stream_queue_buffer(stream, newest);
        newest = next;
    }
    return newest;
}
} // namespace

// Declared here so that it can reach the capture's handler and failure.
struct PipeWireStreamEvents {
    static void process(void* data) {
        auto& stream = *static_cast<PipeWireCapture::Stream*>(data);
        pw_buffer* buffer = newestBuffer(stream.stream);
        if (buffer == nullptr)
            return;
        const spa_data& plane = buffer->buffer->datas[0];
        const spa_video_info_raw& format = stream.format;
        const auto width = static_cast<int>(format.size.width);
        const auto height = static_cast<int>(format.size.height);
        const int stride = plane.chunk->stride > 0 ? plane.chunk->stride : 4 * width;
        const bool whole = plane.data != nullptr && (plane.chunk->flags & SPA_CHUNK_FLAG_CORRUPTED) == 0 &&
                           static_cast<std::int64_t>(plane.chunk->size) >= static_cast<std::int64_t>(stride) * height;
        if (whole && width > 0 && height > 0) {
            const OutputFrame frame{static_cast<const std::uint8_t*>(plane.data) + plane.chunk->offset,
                                    width,
                                    height,
                                    stride,
                                    redFirst(format.format),
                                    false};
            stream.received = true;
            stream.capture->m_onFrame(stream.index, frame);
        }
        pw_stream_queue_buffer(stream.stream, buffer);
    }

    static void stateChanged(void* data, pw_stream_state, pw_stream_state state, const char* error) {
        auto& stream = *static_cast<PipeWireCapture::Stream*>(data);
        if (state == PW_STREAM_STATE_ERROR || (state == PW_STREAM_STATE_UNCONNECTED && stream.received))
            stream.capture->m_failure = std::string("The desktop stopped sending the screen") +
                                        (error ? std::string(" (") + error + ")" : std::string()) + ".";
    }
};

namespace {
const pw_stream_events kStreamEvents = [] {
    pw_stream_events events{};
    events.version = PW_VERSION_STREAM_EVENTS;
    events.state_changed = PipeWireStreamEvents::stateChanged;
    events.param_changed = onParamChanged;
    events.process = PipeWireStreamEvents::process;
    return events;
}();
} // namespace

// The loop stays entered by the program's thread for its whole life: a loop that no thread has entered runs what
// PipeWire's own data thread hands it (each frame) at once in that thread, beside the readings of the picture, and
// never wakes the program's loop.
PipeWireLoop::PipeWireLoop() {
    pw_init(nullptr, nullptr);
    m_loop = pw_loop_new(nullptr);
    pw_loop_enter(m_loop);
}

PipeWireLoop::~PipeWireLoop() {
    pw_loop_leave(m_loop);
    pw_loop_destroy(m_loop);
}

int PipeWireLoop::fileDescriptor() const {
    return pw_loop_get_fd(m_loop);
}

void PipeWireLoop::iterate(int milliseconds) {
    pw_loop_iterate(m_loop, milliseconds);
}

PipeWireCapture::PipeWireCapture(PipeWireLoop& loop, int remoteFd, const std::vector<unsigned>& nodes,
                                 FrameHandler onFrame)
    : m_loop(loop), m_onFrame(std::move(onFrame)) {
    m_context = pw_context_new(loop.loop(), nullptr, 0);
    m_core = m_context ? pw_context_connect_fd(m_context, remoteFd, nullptr, 0) : nullptr;
    if (m_core == nullptr) {
        if (!m_context)
            ::close(remoteFd);
        m_failure = "Tappora could not connect to PipeWire for the desktop's screen.";
        return;
    }
    for (unsigned node : nodes) {
        auto stream = std::make_unique<Stream>();
        stream->capture = this;
        stream->index = m_streams.size();
        stream->stream = pw_stream_new(m_core, "tappora-screen",
                                       pw_properties_new(PW_KEY_MEDIA_TYPE, "Video", PW_KEY_MEDIA_CATEGORY, "Capture",
                                                         PW_KEY_MEDIA_ROLE, "Screen", nullptr));
        pw_stream_add_listener(stream->stream, &stream->listener, &kStreamEvents, stream.get());
        std::uint8_t bytes[1024];
        spa_pod_builder builder = SPA_POD_BUILDER_INIT(bytes, sizeof(bytes));
        const spa_pod* offer = formatOffer(builder);
        pw_stream_connect(stream->stream, PW_DIRECTION_INPUT, node,
                          static_cast<pw_stream_flags>(PW_STREAM_FLAG_AUTOCONNECT | PW_STREAM_FLAG_MAP_BUFFERS), &offer,
                          1);
        m_streams.push_back(std::move(stream));
    }
}

PipeWireCapture::~PipeWireCapture() {
    for (const auto& stream : m_streams) {
        spa_hook_remove(&stream->listener);
        pw_stream_destroy(stream->stream);
    }
    if (m_core)
        pw_core_disconnect(m_core);
    if (m_context)
        pw_context_destroy(m_context);
}

bool PipeWireCapture::allReceived() const {
    return std::ranges::all_of(m_streams, [](const auto& stream) { return stream->received; });
}
