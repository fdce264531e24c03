#include "platform/x11/X11Screen.h"

#include "platform/PrimaryMonitor.h"
#include "platform/PixelRows.h"
#include "platform/x11/X11Damage.h"
#include "platform/x11/X11ErrorTrap.h"
#include "platform/x11/X11Monitors.h"
#include "platform/x11/X11ShmSegment.h"

#include <X11/Xlib-xcb.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <xcb/shm.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

namespace {
PixelLayout layoutOf(const XImage& image) {
    return {image.bits_per_pixel, image.byte_order == MSBFirst, static_cast<std::uint32_t>(image.red_mask),
            static_cast<std::uint32_t>(image.green_mask), static_cast<std::uint32_t>(image.blue_mask)};
}

// Palette visuals and pixels narrower than a byte are not true colour; nothing here can convert them.
bool isConvertible(const XImage& image) {
    const int bpp = image.bits_per_pixel;
    return (bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32) && image.red_mask != 0 && image.green_mask != 0 &&
           image.blue_mask != 0;
}

// The rectangle clipped to the screen; empty when nothing of it is on the screen.
struct Span {
    long long begin;
    long long end;
    bool empty() const { return end <= begin; }
};

Span clip(long long start, long long length, long long limit) {
    return {std::max(start, 0LL), std::min(start + length, limit)};
}

// The pixel bytes of every row only: the rows may lie inside a larger buffer.
void blackenRows(std::uint8_t* bits, int width, int height, int lineWidth) {
    for (int row = 0; row < height; ++row)
        std::memset(bits + static_cast<std::ptrdiff_t>(row) * lineWidth, 0, 3 * static_cast<std::size_t>(width));
}

// Rows per band of a shared-memory capture: a band of a full-width screen stays within the second-level cache
// while it is converted, and the server copies the next band meanwhile.
int rowsPerBand(int bytesPerLine) {
    constexpr int kBandBytes = 256 * 1024;
    return std::max(1, kBandBytes / std::max(bytesPerLine, 1));
}
// How the server lays out a shared-memory image of the root window.
struct ShmImageFormat {
    int bytesPerLine = 0;
    bool convertible = false;
    PixelLayout layout;
};

std::optional<ShmImageFormat> shmImageFormat(Display* display, int width, int height) {
    const int screen = DefaultScreen(display);
    XShmSegmentInfo probe{};
    XImage* header = XShmCreateImage(display, DefaultVisual(display, screen), DefaultDepth(display, screen), ZPixmap,
                                     nullptr, &probe, width, height);
    if (header == nullptr)
        return std::nullopt;
    const ShmImageFormat format{header->bytes_per_line, isConvertible(*header), layoutOf(*header)};
    XDestroyImage(header);
    return format;
}

// Copies the root window's rectangle into the segment at `offset`, the rows back to back, and waits until it is
// there; false when the server refused.
bool copyRootInto(Display* display, X11ShmSegment& segment, TRect rect, std::uint32_t offset) {
    xcb_connection_t* connection = XGetXCBConnection(display);
    const xcb_shm_get_image_cookie_t cookie = xcb_shm_get_image(
        connection, DefaultRootWindow(display), static_cast<std::int16_t>(rect.left),
        static_cast<std::int16_t>(rect.top), static_cast<std::uint16_t>(rect.width),
        static_cast<std::uint16_t>(rect.height), ~0u, XCB_IMAGE_FORMAT_Z_PIXMAP,
        static_cast<xcb_shm_seg_t>(segment.info().shmseg), offset);
    xcb_generic_error_t* error = nullptr;
    xcb_shm_get_image_reply_t* reply = xcb_shm_get_image_reply(connection, cookie, &error);
    const bool copied = reply != nullptr && error == nullptr;
    std::free(reply);
    std::free(error);
    return copied;
}
} // namespace

struct X11Screen::Grab {
    XImage* image = nullptr;
    ~Grab() {
        if (image != nullptr)
            XDestroyImage(image);
    }
};

X11Screen::X11Screen(Display* display, std::shared_ptr<X11Monitors> monitors, CaptureMethod method,
                     ChangeReports reports)
    : m_display(display), m_monitors(monitors ? std::move(monitors) : std::make_shared<X11Monitors>(display)),
      m_sharedMemoryUsable(method == CaptureMethod::SharedMemoryFirst),
      m_damageWanted(reports == ChangeReports::Damage) {
    installX11ErrorHandler();
}

X11Screen::~X11Screen() = default;

// Asked at every search of a full screen, and answered without a round trip: the monitors are read again only when
// the server has told of a new layout, which it does before answering any later request.
TSize X11Screen::screenSize() {
    const TRect primary = m_monitors->primary();
    return {primary.width, primary.height};
}

std::vector<TRect> X11Screen::monitorAreas() {
    std::vector<TRect> areas = m_monitors->areas();
    const TPoint origin = m_monitors->origin();
    for (TRect& area : areas) {
        const TPoint topLeft = programFromRoot({area.left, area.top}, origin);
        area.left = topLeft.x;
        area.top = topLeft.y;
    }
    return areas;
}

TSize X11Screen::rootSize() {
    Window root = 0;
    int x = 0;
    int y = 0;
    unsigned width = 0;
    unsigned height = 0;
    unsigned border = 0;
    unsigned depth = 0;
    XGetGeometry(m_display, DefaultRootWindow(m_display), &root, &x, &y, &width, &height, &border, &depth);
    return {static_cast<int>(width), static_cast<int>(height)};
}

bool X11Screen::copyRect(int left, int top, int width, int height, std::uint8_t* bits, int lineWidth) {
    const TPoint root = rootFromProgram({left, top}, m_monitors->origin());
    return copyRootRect(root.x, root.y, width, height, bits, lineWidth);
}

bool X11Screen::copyRootRect(int left, int top, int width, int height, std::uint8_t* bits, int lineWidth) {
    if (width <= 0 || height <= 0 || bits == nullptr || lineWidth < 3LL * width)
        return false;
    const bool beyondKnownScreen = !m_knownRootSize || static_cast<long long>(left) + width > m_knownRootSize->width ||
                                   static_cast<long long>(top) + height > m_knownRootSize->height;
    if (beyondKnownScreen)
        m_knownRootSize = rootSize();
    if (copyClipped(left, top, width, height, bits, lineWidth))
        return true;
    // The screen may have shrunk under the rectangle since its size was read: read it again and retry once.
    const TSize before = *m_knownRootSize;
    m_knownRootSize = rootSize();
    return *m_knownRootSize != before && copyClipped(left, top, width, height, bits, lineWidth);
}

bool X11Screen::copyClipped(int left, int top, int width, int height, std::uint8_t* bits, int lineWidth) {
    const Span columns = clip(left, width, m_knownRootSize->width);
    const Span rows = clip(top, height, m_knownRootSize->height);
    const bool wholeOnScreen = columns.begin == left && columns.end == static_cast<long long>(left) + width &&
                               rows.begin == top && rows.end == static_cast<long long>(top) + height;
    if (!wholeOnScreen)
        blackenRows(bits, width, height, lineWidth);
    if (columns.empty() || rows.empty())
        return true;

    const int grabWidth = static_cast<int>(columns.end - columns.begin);
    const int grabHeight = static_cast<int>(rows.end - rows.begin);
    const long long topRowInMemory = height - 1 - (rows.begin - top);
    const TargetRows target{bits + topRowInMemory * lineWidth + 3 * (columns.begin - left),
                            -static_cast<std::ptrdiff_t>(lineWidth)};
    const int x = static_cast<int>(columns.begin);
    const int y = static_cast<int>(rows.begin);
    m_lastCaptureUsedSharedMemory = m_sharedMemoryUsable && copySharedInBands(x, y, grabWidth, grabHeight, target);
    if (m_lastCaptureUsedSharedMemory)
        return true;
    Grab grab;
    if (!grabWithGetImage(x, y, grabWidth, grabHeight, grab))
        return false;
    const XImage& image = *grab.image;
    convertPixelRows({reinterpret_cast<const std::uint8_t*>(image.data), image.bytes_per_line, layoutOf(image)},
                     grabWidth, grabHeight, target);
    return true;
}

std::uint32_t X11Screen::pixelColor(int x, int y) {
    std::uint8_t bgr[4] = {};
    if (!copyRect(x, y, 1, 1, bgr, sizeof bgr))
        return 0;
    return static_cast<std::uint32_t>(bgr[0]) << 16 | static_cast<std::uint32_t>(bgr[1]) << 8 | bgr[2];
}

std::optional<std::vector<TRect>> X11Screen::changedAreas() {
    if (m_damageWanted) {
        m_damageWanted = false;
        m_damage = X11Damage::open(DisplayString(m_display));
    }
    std::optional<std::vector<TRect>> changes = m_damage ? m_damage->takeChanges() : std::nullopt;
    // With the primary monitor moved, a kept copy shows another part of the root window: all of it may differ.
    const TPoint origin = m_monitors->origin();
    const bool originMoved = origin != m_originOfChanges;
    m_originOfChanges = origin;
    if (!changes || originMoved)
        return std::nullopt;
    for (TRect& area : *changes) {
        const TPoint topLeft = programFromRoot({area.left, area.top}, origin);
        area.left = topLeft.x;
        area.top = topLeft.y;
    }
    return changes;
}

std::optional<TScreenImage> X11Screen::copyScreenImage() {
    const TRect primary = m_monitors->primary();
    if (!m_sharedMemoryUsable || primary.width <= 0 || primary.height <= 0 ||
        !serverGivesBgrx(primary.width, primary.height))
        return std::nullopt;
    const std::size_t bytes = 4 * static_cast<std::size_t>(primary.width) * static_cast<std::size_t>(primary.height);
    if (!m_imageSegment || m_imageSegment->size() < bytes) {
        m_imageSegment.reset();
        m_imageSegment = X11ShmSegment::create(m_display, bytes);
        m_sharedMemoryUsable = m_imageSegment != nullptr;
        if (!m_imageSegment)
            return std::nullopt;
    }
    m_imageArea = primary;
    if (!copyImageRows(0, primary.height))
        return std::nullopt;
    return TScreenImage{reinterpret_cast<const std::uint8_t*>(m_imageSegment->info().shmaddr),
                        4 * static_cast<std::ptrdiff_t>(primary.width), primary.width, primary.height};
}

bool X11Screen::updateScreenImage(const TRect& area) {
    const Span columns = clip(area.left, area.width, m_imageArea.width);
    const Span rows = clip(area.top, area.height, m_imageArea.height);
    if (!m_imageSegment)
        return false;
    if (columns.empty() || rows.empty())
        return true;
    const int top = static_cast<int>(rows.begin);
    const int height = static_cast<int>(rows.end - rows.begin);
    // An area of at least half the width costs less as whole rows, which the server writes in place.
    if (2 * (columns.end - columns.begin) >= m_imageArea.width)
        return copyImageRows(top, height);
    return copyImagePart(static_cast<int>(columns.begin), top, static_cast<int>(columns.end - columns.begin), height);
}

// Through the capture segment, since the server writes an image's rows back to back, then row by row into place.
bool X11Screen::copyImagePart(int left, int top, int width, int height) {
    const std::size_t rowBytes = 4 * static_cast<std::size_t>(width);
    if (!ensureSegment(rowBytes * static_cast<std::size_t>(height)) ||
        !copyRootInto(m_display, *m_segment, {m_imageArea.left + left, m_imageArea.top + top, width, height}, 0))
        return false;
    const auto* part = reinterpret_cast<const std::uint8_t*>(m_segment->info().shmaddr);
    auto* image = reinterpret_cast<std::uint8_t*>(m_imageSegment->info().shmaddr);
    const std::size_t imageRowBytes = 4 * static_cast<std::size_t>(m_imageArea.width);
    for (int row = 0; row < height; ++row)
        std::memcpy(image + (static_cast<std::size_t>(top) + row) * imageRowBytes + 4 * static_cast<std::size_t>(left),
                    part + static_cast<std::size_t>(row) * rowBytes, rowBytes);
    return true;
}

// Whether an image of the root window comes as rows of 32-bit B,G,R,X pixels with nothing between them.
bool X11Screen::serverGivesBgrx(int width, int height) {
    const std::optional<ShmImageFormat> format = shmImageFormat(m_display, width, height);
    return format && isBgrxLayout(format->layout) && format->bytesPerLine == 4 * width;
}

bool X11Screen::copyImageRows(int top, int rows) {
    const std::uint32_t offset = static_cast<std::uint32_t>(top) * 4 * static_cast<std::uint32_t>(m_imageArea.width);
    return copyRootInto(m_display, *m_imageSegment, {m_imageArea.left, m_imageArea.top + top, m_imageArea.width, rows},
                        offset);
}

bool X11Screen::grabWithGetImage(int x, int y, int width, int height, Grab& grab) {
    // XGetImage waits for its reply, so a failure is known at once; the backend's error handler drops the X error.
    grab.image = XGetImage(m_display, DefaultRootWindow(m_display), x, y, width, height, AllPlanes, ZPixmap);
    if (grab.image != nullptr && !isConvertible(*grab.image)) {
        XDestroyImage(grab.image);
        grab.image = nullptr;
    }
    return grab.image != nullptr;
}

// Asks for every band at once and converts each band as its reply comes, so the server copies the next band
// while this one is converted. False (and every reply taken) when the server refused any band.
bool X11Screen::copySharedInBands(int x, int y, int width, int height, const TargetRows& target) {
    const std::optional<ShmImageFormat> format = shmImageFormat(m_display, width, height);
    if (!format || !format->convertible ||
        !ensureSegment(static_cast<std::size_t>(format->bytesPerLine) * height))
        return false;
    const int bytesPerLine = format->bytesPerLine;
    const PixelLayout layout = format->layout;

    xcb_connection_t* connection = XGetXCBConnection(m_display);
    const int bandRows = rowsPerBand(bytesPerLine);
    std::vector<xcb_shm_get_image_cookie_t> cookies;
    for (int row = 0; row < height; row += bandRows) {
        const int rows = std::min(bandRows, height - row);
        cookies.push_back(xcb_shm_get_image(
            connection, DefaultRootWindow(m_display), static_cast<std::int16_t>(x), static_cast<std::int16_t>(y + row),
            static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(rows), ~0u, XCB_IMAGE_FORMAT_Z_PIXMAP,
            static_cast<xcb_shm_seg_t>(m_segment->info().shmseg), static_cast<std::uint32_t>(row) * bytesPerLine));
    }
    xcb_flush(connection);

    const auto* pixels = reinterpret_cast<const std::uint8_t*>(m_segment->info().shmaddr);
    bool complete = true;
    for (std::size_t band = 0; band < cookies.size(); ++band) {
        xcb_generic_error_t* error = nullptr;
        xcb_shm_get_image_reply_t* reply = xcb_shm_get_image_reply(connection, cookies[band], &error);
        complete = complete && reply != nullptr && error == nullptr;
        std::free(reply);
        std::free(error);
        if (!complete)
            continue;
        const int row = static_cast<int>(band) * bandRows;
        const int rows = std::min(bandRows, height - row);
        convertPixelRows({pixels + static_cast<std::ptrdiff_t>(row) * bytesPerLine, bytesPerLine, layout}, width, rows,
                         {target.top + row * target.step, target.step});
    }
    return complete;
}

bool X11Screen::ensureSegment(std::size_t bytes) {
    if (m_segment && m_segment->size() >= bytes)
        return true;
    m_segment.reset();
    m_segment = X11ShmSegment::create(m_display, bytes);
    // A server that cannot attach one segment will not attach the next: use XGetImage from now on.
    m_sharedMemoryUsable = m_segment != nullptr;
    return m_sharedMemoryUsable;
}
