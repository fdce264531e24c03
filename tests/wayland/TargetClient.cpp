// The click target of the Wayland end-to-end tests: a native client with one full-screen window on the output named,
// painted with the scene given, that prints what it receives. No toolkit: wl_shm buffers and xdg-shell.
//
// Usage: tappora_wayland_target [--output NAME] [--background RRGGBB] [--rect X,Y,W,H,RRGGBB]...
//                               [--picture X,Y,FILE.bmp] [--animate]
// Rectangles and the picture are placed in the window's (logical) coordinates, later ones over earlier ones, the
// picture last. With --animate the window changes at every frame the compositor shows: the whole of it is shown anew,
// the background one step of blue apart from the last frame's, as a video does. Prints one line per event, flushed:
//     ready WIDTH HEIGHT                  the full-screen window is on the screen, WIDTH x HEIGHT logical pixels
//     button BUTTON pressed|released X Y  a pointer button (the Linux code: 272 left, 273 right, 274 middle) at the
//                                         window position of the pointer's last enter or motion
// Exits 0 when the compositor closes the window, 1 on a failure, 2 on bad usage.

#include "xdg-shell-client-protocol.h"

#include "pixels/PixelBuffer.h"

#include <wayland-client.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <sys/mman.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {
struct FilledRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    std::uint32_t rgb = 0;
};

struct Scene {
    std::string output;
    std::uint32_t background = 0;
    std::vector<FilledRect> rects;
    int pictureX = 0;
    int pictureY = 0;
    TPixelBuffer picture;
    bool animate = false;
};

// The comma-separated fields of `text`, the last one taking the rest (a file name may hold commas).
std::vector<std::string_view> splitFields(std::string_view text, std::size_t count) {
    std::vector<std::string_view> fields;
    while (fields.size() + 1 < count) {
        const std::size_t comma = text.find(',');
        if (comma == std::string_view::npos)
            throw std::invalid_argument("too few fields");
        fields.push_back(text.substr(0, comma));
        text.remove_prefix(comma + 1);
    }
    fields.push_back(text);
    return fields;
}

std::uint32_t parseNumber(std::string_view text, int base = 10) {
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        throw std::invalid_argument("not a number: " + std::string(text));
    return value;
}

int parseInt(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        throw std::invalid_argument("not a number: " + std::string(text));
    return value;
}

std::uint32_t parseColour(std::string_view text) {
    if (text.size() != 6)
        throw std::invalid_argument("a colour is RRGGBB: " + std::string(text));
    return parseNumber(text, 16);
}

void loadPicture(const std::string& file, TPixelBuffer& picture) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (!in || !DecodeBmp24(bytes, picture))
        throw std::invalid_argument("not a 24-bit BMP file: " + file);
}

void parseArguments(int argc, char** argv, Scene& scene) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view option = argv[i];
        if (option == "--animate") {
            scene.animate = true;
            continue;
        }
        if (i + 1 == argc)
            throw std::invalid_argument("no value after " + std::string(option));
        const std::string_view value = argv[++i];
        if (option == "--output") {
            scene.output = value;
        } else if (option == "--background") {
            scene.background = parseColour(value);
        } else if (option == "--rect") {
            const auto fields = splitFields(value, 5);
            scene.rects.push_back({parseInt(fields[0]), parseInt(fields[1]), parseInt(fields[2]), parseInt(fields[3]),
                                   parseColour(fields[4])});
        } else if (option == "--picture") {
            const auto fields = splitFields(value, 3);
            scene.pictureX = parseInt(fields[0]);
            scene.pictureY = parseInt(fields[1]);
            loadPicture(std::string(fields[2]), scene.picture);
        } else {
            throw std::invalid_argument("unknown option " + std::string(option));
        }
    }
}

// XRGB8888 pixels, row after row, as wl_shm takes them; the scene on `background`.
void paintScene(const Scene& scene, std::uint32_t background, std::uint32_t* pixels, int width, int height) {
    const auto fill = [&](int left, int top, int right, int bottom, auto colourAt) {
        for (int y = std::max(top, 0); y < std::min(bottom, height); ++y)
            for (int x = std::max(left, 0); x < std::min(right, width); ++x)
                pixels[static_cast<std::size_t>(y) * width + x] = colourAt(x - left, y - top);
    };
    fill(0, 0, width, height, [&](int, int) { return background; });
    for (const FilledRect& rect : scene.rects)
        fill(rect.x, rect.y, rect.x + rect.width, rect.y + rect.height, [&](int, int) { return rect.rgb; });
    const TPixelBuffer& picture = scene.picture;
    fill(scene.pictureX, scene.pictureY, scene.pictureX + picture.width, scene.pictureY + picture.height,
         [&](int x, int y) { return picture.Pixel(x, y); });
}

void printLine(const std::string& line) {
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// A wl_shm buffer of its own memory.
class ShmBuffer {
public:
    ShmBuffer(wl_shm* shm, int width, int height) : m_bytes(static_cast<std::size_t>(width) * height * 4) {
        const int fd = memfd_create("tappora-wayland-target", MFD_CLOEXEC);
        if (fd < 0 || ftruncate(fd, static_cast<off_t>(m_bytes)) != 0)
            throw std::runtime_error("cannot make the window's shared memory");
        void* memory = mmap(nullptr, m_bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        if (memory == MAP_FAILED) {
            close(fd);
            throw std::runtime_error("cannot map the window's shared memory");
        }
        m_pixels = static_cast<std::uint32_t*>(memory);
        wl_shm_pool* pool = wl_shm_create_pool(shm, fd, static_cast<std::int32_t>(m_bytes));
        m_buffer = wl_shm_pool_create_buffer(pool, 0, width, height, width * 4, WL_SHM_FORMAT_XRGB8888);
        wl_shm_pool_destroy(pool);
        close(fd);
    }
    ShmBuffer(const ShmBuffer&) = delete;
    ShmBuffer& operator=(const ShmBuffer&) = delete;
    ~ShmBuffer() {
        wl_buffer_destroy(m_buffer);
        munmap(m_pixels, m_bytes);
    }

    wl_buffer* buffer() const { return m_buffer; }
    std::uint32_t* pixels() const { return m_pixels; }

private:
    std::size_t m_bytes;
    std::uint32_t* m_pixels = nullptr;
    wl_buffer* m_buffer = nullptr;
};

struct Output {
    wl_output* output = nullptr;
    std::string name;
};

class TargetWindow {
public:
    explicit TargetWindow(const Scene& scene) : m_scene(scene) {
        m_display = wl_display_connect(nullptr);
        if (m_display == nullptr)
            throw std::runtime_error("cannot connect to the Wayland display");
        wl_registry_add_listener(wl_display_get_registry(m_display), &registryListener, this);
        // The globals, then the outputs' names.
        wl_display_roundtrip(m_display);
        wl_display_roundtrip(m_display);
        if (m_compositor == nullptr || m_shm == nullptr || m_wmBase == nullptr)
            throw std::runtime_error("the compositor lacks wl_compositor, wl_shm or xdg_wm_base");
        openWindow(outputNamed(scene.output));
    }

    // Handles events until the window is closed; false when the connection failed.
    bool run() {
        while (!m_closed) {
            if (wl_display_dispatch(m_display) < 0)
                return false;
        }
        return true;
    }

private:
    wl_output* outputNamed(const std::string& name) const {
        if (name.empty())
            return nullptr;
        for (const Output& output : m_outputs)
            if (output.name == name)
                return output.output;
        throw std::runtime_error("no output named " + name);
    }

    void openWindow(wl_output* output) {
        m_surface = wl_compositor_create_surface(m_compositor);
        m_xdgSurface = xdg_wm_base_get_xdg_surface(m_wmBase, m_surface);
        xdg_surface_add_listener(m_xdgSurface, &xdgSurfaceListener, this);
        m_toplevel = xdg_surface_get_toplevel(m_xdgSurface);
        xdg_toplevel_add_listener(m_toplevel, &toplevelListener, this);
        xdg_toplevel_set_app_id(m_toplevel, "tappora-wayland-target");
        xdg_toplevel_set_title(m_toplevel, "Tappora Wayland target");
        xdg_toplevel_set_fullscreen(m_toplevel, output);
        wl_surface_commit(m_surface);
    }

    // A configure is complete: commits a buffer of the size asked for (a small one while no size is given yet).
    void applyConfigure(std::uint32_t serial) {
        xdg_surface_ack_configure(m_xdgSurface, serial);
        const int width = m_asked.width > 0 ? m_asked.width : 1;
        const int height = m_asked.height > 0 ? m_asked.height : 1;
        const bool fullScreenAtItsSize = m_asked.width > 0 && m_asked.height > 0 && m_askedFullscreen;
        // The buffer shown until now goes after the commit that replaces it.
        std::unique_ptr<ShmBuffer> previous;
        if (!m_buffer || width != m_size.width || height != m_size.height) {
            previous = std::exchange(m_buffer, std::make_unique<ShmBuffer>(m_shm, width, height));
            paintScene(m_scene, m_scene.background, m_buffer->pixels(), width, height);
            if (m_scene.animate)
                m_alternate = alternateFrame(width, height);
            wl_surface_attach(m_surface, m_buffer->buffer(), 0, 0);
            wl_surface_damage_buffer(m_surface, 0, 0, width, height);
            m_size = {width, height};
        }
        if (fullScreenAtItsSize && !m_readyPending && !m_ready) {
            m_readyPending = true;
            wl_callback_add_listener(wl_surface_frame(m_surface), &frameListener, this);
        }
        wl_surface_commit(m_surface);
    }

    // The size and states of the configure to come; the window is ready once it is full screen at its size.
    void onToplevelConfigure(int width, int height, const wl_array& states) {
        m_asked = {width, height};
        m_askedFullscreen = false;
        const auto* state = static_cast<const std::uint32_t*>(states.data);
        for (std::size_t i = 0; i < states.size / sizeof(std::uint32_t); ++i)
            m_askedFullscreen |= state[i] == XDG_TOPLEVEL_STATE_FULLSCREEN;
    }

    void onFramePresented(wl_callback* callback) {
        wl_callback_destroy(callback);
        m_readyPending = false;
        m_ready = true;
        printLine("ready " + std::to_string(m_size.width) + " " + std::to_string(m_size.height));
        if (m_scene.animate)
            showNextFrame();
    }

    // The scene on a background one step of blue apart.
    std::unique_ptr<ShmBuffer> alternateFrame(int width, int height) const {
        auto buffer = std::make_unique<ShmBuffer>(m_shm, width, height);
        paintScene(m_scene, m_scene.background ^ 1, buffer->pixels(), width, height);
        return buffer;
    }

    // The two frames in turns, the whole window damaged, the next one when the compositor has shown this one.
    void showNextFrame() {
        const ShmBuffer& shown = ++m_framesShown % 2 == 0 ? *m_buffer : *m_alternate;
        wl_surface_attach(m_surface, shown.buffer(), 0, 0);
        wl_surface_damage_buffer(m_surface, 0, 0, m_size.width, m_size.height);
        wl_callback_add_listener(wl_surface_frame(m_surface), &animationListener, this);
        wl_surface_commit(m_surface);
    }

    void onSeatCapabilities(std::uint32_t capabilities) {
        const bool hasPointer = (capabilities & WL_SEAT_CAPABILITY_POINTER) != 0;
        if (hasPointer && m_pointer == nullptr) {
            m_pointer = wl_seat_get_pointer(m_seat);
            wl_pointer_add_listener(m_pointer, &pointerListener, this);
        } else if (!hasPointer && m_pointer != nullptr) {
            if (wl_pointer_get_version(m_pointer) >= WL_POINTER_RELEASE_SINCE_VERSION)
                wl_pointer_release(m_pointer);
            else
                wl_pointer_destroy(m_pointer);
            m_pointer = nullptr;
        }
    }

    void onButton(std::uint32_t button, std::uint32_t state) {
        const char* stateText = state == WL_POINTER_BUTTON_STATE_PRESSED ? "pressed" : "released";
        std::string line = "button " + std::to_string(button);
        line += ' ';
        line += stateText;
        line += ' ';
        line += std::to_string(m_pointerX);
        line += ' ';
        line += std::to_string(m_pointerY);
        printLine(line);
    }

    void onPointerAt(wl_fixed_t x, wl_fixed_t y) {
        m_pointerX = wl_fixed_to_int(x);
        m_pointerY = wl_fixed_to_int(y);
    }

    void onGlobal(wl_registry* registry, std::uint32_t name, std::string_view interface, std::uint32_t version) {
        const auto bind = [&](const wl_interface* type, std::uint32_t highest) {
            return wl_registry_bind(registry, name, type, std::min(version, highest));
        };
        if (interface == wl_compositor_interface.name) {
            m_compositor = static_cast<wl_compositor*>(bind(&wl_compositor_interface, 4));
        } else if (interface == wl_shm_interface.name) {
            m_shm = static_cast<wl_shm*>(bind(&wl_shm_interface, 1));
        } else if (interface == xdg_wm_base_interface.name) {
            m_wmBase = static_cast<xdg_wm_base*>(bind(&xdg_wm_base_interface, 1));
            xdg_wm_base_add_listener(m_wmBase, &wmBaseListener, this);
        } else if (interface == wl_seat_interface.name && m_seat == nullptr) {
            // Version 5 at most: the pointer events up to frame, axis source, axis stop and axis discrete.
            m_seat = static_cast<wl_seat*>(bind(&wl_seat_interface, 5));
            wl_seat_add_listener(m_seat, &seatListener, this);
        } else if (interface == wl_output_interface.name) {
            // Version 4 names the output.
            auto* output = static_cast<wl_output*>(bind(&wl_output_interface, 4));
            m_outputs.push_back({output, {}});
            wl_output_add_listener(output, &outputListener, this);
        }
    }

    void onOutputName(wl_output* output, const char* name) {
        for (Output& known : m_outputs)
            if (known.output == output)
                known.name = name;
    }

    static TargetWindow& self(void* data) { return *static_cast<TargetWindow*>(data); }

    static const wl_registry_listener registryListener;
    static const wl_output_listener outputListener;
    static const xdg_wm_base_listener wmBaseListener;
    static const xdg_surface_listener xdgSurfaceListener;
    static const xdg_toplevel_listener toplevelListener;
    static const wl_callback_listener frameListener;
    static const wl_callback_listener animationListener;
    static const wl_seat_listener seatListener;
    static const wl_pointer_listener pointerListener;

    const Scene& m_scene;
    wl_display* m_display = nullptr;
    wl_compositor* m_compositor = nullptr;
    wl_shm* m_shm = nullptr;
    xdg_wm_base* m_wmBase = nullptr;
    wl_seat* m_seat = nullptr;
    wl_pointer* m_pointer = nullptr;
    std::vector<Output> m_outputs;
    wl_surface* m_surface = nullptr;
    xdg_surface* m_xdgSurface = nullptr;
    xdg_toplevel* m_toplevel = nullptr;
    std::unique_ptr<ShmBuffer> m_buffer;
    std::unique_ptr<ShmBuffer> m_alternate;
    unsigned m_framesShown = 0;
    struct Size {
        int width = 0;
        int height = 0;
    };
    Size m_asked;
    bool m_askedFullscreen = false;
    Size m_size;
    bool m_readyPending = false;
    bool m_ready = false;
    bool m_closed = false;
    int m_pointerX = 0;
    int m_pointerY = 0;
};

const wl_registry_listener TargetWindow::registryListener{
    .global = [](void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                 std::uint32_t version) { self(data).onGlobal(registry, name, interface, version); },
    .global_remove = [](void*, wl_registry*, std::uint32_t) {},
};
const wl_output_listener TargetWindow::outputListener{
    .geometry = [](void*, wl_output*, std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t, const char*,
                   const char*, std::int32_t) {},
    .mode = [](void*, wl_output*, std::uint32_t, std::int32_t, std::int32_t, std::int32_t) {},
    .done = [](void*, wl_output*) {},
    .scale = [](void*, wl_output*, std::int32_t) {},
    .name = [](void* data, wl_output* output, const char* name) { self(data).onOutputName(output, name); },
    .description = [](void*, wl_output*, const char*) {},
};
const xdg_wm_base_listener TargetWindow::wmBaseListener{
    .ping = [](void*, xdg_wm_base* base, std::uint32_t serial) { xdg_wm_base_pong(base, serial); },
};
const xdg_surface_listener TargetWindow::xdgSurfaceListener{
    .configure = [](void* data, xdg_surface*, std::uint32_t serial) { self(data).applyConfigure(serial); },
};
const xdg_toplevel_listener TargetWindow::toplevelListener{
    .configure = [](void* data, xdg_toplevel*, std::int32_t width, std::int32_t height,
                    wl_array* states) { self(data).onToplevelConfigure(width, height, *states); },
    .close = [](void* data, xdg_toplevel*) { self(data).m_closed = true; },
    .configure_bounds = [](void*, xdg_toplevel*, std::int32_t, std::int32_t) {},
    .wm_capabilities = [](void*, xdg_toplevel*, wl_array*) {},
};
const wl_callback_listener TargetWindow::frameListener{
    .done = [](void* data, wl_callback* callback, std::uint32_t) { self(data).onFramePresented(callback); },
};
const wl_callback_listener TargetWindow::animationListener{
    .done =
        [](void* data, wl_callback* callback, std::uint32_t) {
            wl_callback_destroy(callback);
            self(data).showNextFrame();
        },
};
const wl_seat_listener TargetWindow::seatListener{
    .capabilities = [](void* data, wl_seat*,
                       std::uint32_t capabilities) { self(data).onSeatCapabilities(capabilities); },
    .name = [](void*, wl_seat*, const char*) {},
};
const wl_pointer_listener TargetWindow::pointerListener{
    .enter = [](void* data, wl_pointer*, std::uint32_t, wl_surface*, wl_fixed_t x,
                wl_fixed_t y) { self(data).onPointerAt(x, y); },
    .leave = [](void*, wl_pointer*, std::uint32_t, wl_surface*) {},
    .motion = [](void* data, wl_pointer*, std::uint32_t, wl_fixed_t x, wl_fixed_t y) { self(data).onPointerAt(x, y); },
    .button = [](void* data, wl_pointer*, std::uint32_t, std::uint32_t, std::uint32_t button,
                 std::uint32_t state) { self(data).onButton(button, state); },
    .axis = [](void*, wl_pointer*, std::uint32_t, std::uint32_t, wl_fixed_t) {},
    .frame = [](void*, wl_pointer*) {},
    .axis_source = [](void*, wl_pointer*, std::uint32_t) {},
    .axis_stop = [](void*, wl_pointer*, std::uint32_t, std::uint32_t) {},
    .axis_discrete = [](void*, wl_pointer*, std::uint32_t, std::int32_t) {},
    .axis_value120 = [](void*, wl_pointer*, std::uint32_t, std::int32_t) {},
};
} // namespace

int main(int argc, char** argv) {
    Scene scene;
    try {
        parseArguments(argc, argv, scene);
    } catch (const std::invalid_argument& error) {
        std::fprintf(stderr,
                     "tappora_wayland_target: %s\nusage: tappora_wayland_target [--output NAME] [--background RRGGBB] "
                     "[--rect X,Y,W,H,RRGGBB]... [--picture X,Y,FILE.bmp] [--animate]\n",
                     error.what());
        return 2;
    }
    try {
        TargetWindow window(scene);
        if (window.run())
            return 0;
        std::fputs("tappora_wayland_target: the connection to the compositor failed\n", stderr);
    } catch (const std::runtime_error& error) {
        std::fprintf(stderr, "tappora_wayland_target: %s\n", error.what());
    }
    return 1;
}
