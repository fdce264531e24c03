#include "platform/win32/Win32Screen.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

namespace {
// The part of [start, start + length) inside [low, high); empty when end <= begin.
struct Span {
    long long begin;
    long long end;
    bool empty() const { return end <= begin; }
};

Span clip(long long start, long long length, long long low, long long high) {
    return {std::max(start, low), std::min(start + length, high)};
}

int rowBytes(int width) {
    return (width * 3 + 3) & ~3;
}

// Releases the screen's device context on every path.
class ScreenDC {
public:
    ScreenDC() : m_dc(GetDC(nullptr)) {}
    ScreenDC(const ScreenDC&) = delete;
    ScreenDC& operator=(const ScreenDC&) = delete;
    ~ScreenDC() {
        if (m_dc != nullptr)
            ReleaseDC(nullptr, m_dc);
    }
    HDC get() const { return m_dc; }

private:
    HDC m_dc;
};
} // namespace

// A memory device context with a bottom-up 24-bit DIB section selected, kept between captures and grown (never
// shrunk) to the largest rectangle asked for, so repeated searches allocate nothing.
class Win32Screen::Surface {
public:
    static std::unique_ptr<Surface> create(HDC screen, int width, int height) {
        std::unique_ptr<Surface> surface(new Surface(width, height));
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        info.bmiHeader.biCompression = BI_RGB;
        surface->m_dc = CreateCompatibleDC(screen);
        surface->m_bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &surface->m_pixels, nullptr, 0);
        if (surface->m_dc == nullptr || surface->m_bitmap == nullptr || surface->m_pixels == nullptr)
            return nullptr;
        surface->m_previous = SelectObject(surface->m_dc, surface->m_bitmap);
        return surface;
    }
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;
    ~Surface() {
        if (m_previous != nullptr)
            SelectObject(m_dc, m_previous);
        if (m_dc != nullptr)
            DeleteDC(m_dc);
        if (m_bitmap != nullptr)
            DeleteObject(m_bitmap);
    }

    bool fits(int width, int height) const { return width <= m_width && height <= m_height; }
    int width() const { return m_width; }
    int height() const { return m_height; }

    // Copies width x height screen pixels from (x, y); row r of them (from the top) starts at row(r) afterwards.
    bool copyFrom(HDC screen, int x, int y, int width, int height) {
        const bool copied = BitBlt(m_dc, 0, 0, width, height, screen, x, y, SRCCOPY) != 0;
        // The DIB's memory is read directly next: the blit must have landed.
        GdiFlush();
        return copied;
    }
    const std::uint8_t* row(int fromTop) const {
        return static_cast<const std::uint8_t*>(m_pixels) +
               static_cast<std::ptrdiff_t>(m_height - 1 - fromTop) * rowBytes(m_width);
    }

private:
    Surface(int width, int height) : m_width(width), m_height(height) {}

    int m_width;
    int m_height;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_previous = nullptr;
    void* m_pixels = nullptr;
};

Win32Screen::Win32Screen() = default;

Win32Screen::~Win32Screen() = default;

TSize Win32Screen::screenSize() {
    return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

std::vector<TRect> Win32Screen::monitorAreas() {
    std::vector<TRect> areas;
    const auto addArea = [](HMONITOR, HDC, LPRECT area, LPARAM found) -> BOOL {
        reinterpret_cast<std::vector<TRect>*>(found)->push_back(
            {area->left, area->top, area->right - area->left, area->bottom - area->top});
        return TRUE;
    };
    EnumDisplayMonitors(nullptr, nullptr, addArea, reinterpret_cast<LPARAM>(&areas));
    if (areas.empty()) {
        const TSize primary = screenSize();
        areas.push_back({0, 0, primary.width, primary.height});
    }
    return areas;
}

bool Win32Screen::copyRect(int left, int top, int width, int height, std::uint8_t* bits, int lineWidth) {
    if (width <= 0 || height <= 0 || bits == nullptr || lineWidth < 3LL * width)
        return false;
    return copyClipped(left, top, width, height, bits, lineWidth);
}

bool Win32Screen::copyClipped(int left, int top, int width, int height, std::uint8_t* bits, int lineWidth) {
    // The desktop spans every monitor; monitors left of or above the primary one have negative coordinates.
    const long long desktopLeft = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const long long desktopTop = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const Span columns = clip(left, width, desktopLeft, desktopLeft + GetSystemMetrics(SM_CXVIRTUALSCREEN));
    const Span rows = clip(top, height, desktopTop, desktopTop + GetSystemMetrics(SM_CYVIRTUALSCREEN));
    const bool wholeOnScreen = columns.begin == left && columns.end == static_cast<long long>(left) + width &&
                               rows.begin == top && rows.end == static_cast<long long>(top) + height;
    // The pixel bytes of each row only: the rows may lie inside a larger buffer.
    if (!wholeOnScreen) {
        for (int row = 0; row < height; ++row)
            std::memset(bits + static_cast<std::ptrdiff_t>(row) * lineWidth, 0, 3 * static_cast<std::size_t>(width));
    }
    if (columns.empty() || rows.empty())
        return true;

    const int grabWidth = static_cast<int>(columns.end - columns.begin);
    const int grabHeight = static_cast<int>(rows.end - rows.begin);
    const ScreenDC screen;
    if (screen.get() == nullptr)
        return false;
    if (!m_surface || !m_surface->fits(grabWidth, grabHeight)) {
        const int surfaceWidth = m_surface ? std::max(grabWidth, m_surface->width()) : grabWidth;
        const int surfaceHeight = m_surface ? std::max(grabHeight, m_surface->height()) : grabHeight;
        m_surface.reset();
        m_surface = Surface::create(screen.get(), surfaceWidth, surfaceHeight);
        if (!m_surface)
            return false;
    }
    if (!m_surface->copyFrom(screen.get(), static_cast<int>(columns.begin), static_cast<int>(rows.begin), grabWidth,
                             grabHeight))
        return false;

    // Bottom-up target: the rectangle's row r (from its top) is memory row height - 1 - r.
    const long long firstRow = rows.begin - top;
    const long long firstColumnBytes = 3 * (columns.begin - left);
    for (int r = 0; r < grabHeight; ++r) {
        std::uint8_t* target = bits + (height - 1 - (firstRow + r)) * lineWidth + firstColumnBytes;
        std::memcpy(target, m_surface->row(r), static_cast<std::size_t>(grabWidth) * 3);
    }
    return true;
}

std::uint32_t Win32Screen::pixelColor(int x, int y) {
    const ScreenDC screen;
    if (screen.get() == nullptr)
        return 0;
    const COLORREF colour = GetPixel(screen.get(), x, y);
    // Outside the desktop GetPixel has no colour to give; black, as copyRect gives there.
    return colour == CLR_INVALID ? 0 : static_cast<std::uint32_t>(colour);
}
