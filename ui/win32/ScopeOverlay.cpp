#include "ui/win32/ScopeOverlay.h"

#include <algorithm>
#include <cstring>

namespace {
int lineWidth(int width) {
    return (width * 3 + 3) & ~3;
}
} // namespace

TScopeOverlay::TScopeOverlay(IScreen& screen, HWND owner, TDragKind kind)
    : m_frozen(screen, TFrozenScreen::TPart::Primary) {
    FormCreate(kind);
    createWindow("fmCopy", WS_POPUP, WS_EX_TOPMOST | WS_EX_TOOLWINDOW, m_size.width, m_size.height, owner);
    SetWindowPos(handle(), nullptr, 0, 0, m_size.width, m_size.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

TScopeOverlay::~TScopeOverlay() {
    SelectObject(m_picture, m_oldBitmap);
    DeleteObject(m_bitmap);
    DeleteDC(m_picture);
}

// The picture is the frozen screen's, shown in a bottom-up 24-bit DIB, the very form of its rows.
void TScopeOverlay::FormCreate(TDragKind kind) {
    const TPixelBuffer& frozen = m_frozen.pixels();
    m_size = {std::max(1, frozen.width), std::max(1, frozen.height)};
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = m_size.width;
    info.bmiHeader.biHeight = m_size.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    m_bits = static_cast<std::uint8_t*>(bits);
    m_picture = CreateCompatibleDC(nullptr);
    m_oldBitmap = SelectObject(m_picture, m_bitmap);
    PatBlt(m_picture, 0, 0, m_size.width, m_size.height, BLACKNESS);
    GdiFlush();
    for (int y = 0; m_bits && y < frozen.height; ++y)
        std::memcpy(m_bits + std::size_t(m_size.height - 1 - y) * std::size_t(lineWidth(m_size.width)), frozen.Row(y),
                    std::size_t(frozen.width) * 3);
    drag = TScopeDrag(m_size, kind);
}

std::uint32_t TScopeOverlay::pixel(int x, int y) const {
    if (!m_bits || x < 0 || y < 0 || x >= m_size.width || y >= m_size.height)
        return 0;
    GdiFlush();
    const std::uint8_t* at =
        m_bits + std::size_t(m_size.height - 1 - y) * std::size_t(lineWidth(m_size.width)) + std::size_t(x) * 3;
    return std::uint32_t(at[2]) << 16 | std::uint32_t(at[1]) << 8 | at[0];
}

void TScopeOverlay::invert(const std::vector<TLine>& lines) {
    for (const TLine& line : lines) {
        RECT area{std::min(line.from.x, line.to.x), std::min(line.from.y, line.to.y),
                  std::max(line.from.x, line.to.x) + 1, std::max(line.from.y, line.to.y) + 1};
        PatBlt(m_picture, area.left, area.top, area.right - area.left, area.bottom - area.top, DSTINVERT);
        if (handle())
            InvalidateRect(handle(), &area, FALSE);
    }
    if (drag.finished())
        setModalResult(mrOk);
}

void TScopeOverlay::OverlayMouseMove(int x, int y) {
    invert(drag.MouseMove({x, y}));
}

void TScopeOverlay::OverlayMouseDown(int x, int y) {
    invert(drag.MouseDown({x, y}));
}

void TScopeOverlay::OverlayMouseUp(int x, int y) {
    invert(drag.MouseUp({x, y}));
}

void TScopeOverlay::paint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(handle(), &paint);
    BitBlt(dc, paint.rcPaint.left, paint.rcPaint.top, paint.rcPaint.right - paint.rcPaint.left,
           paint.rcPaint.bottom - paint.rcPaint.top, m_picture, paint.rcPaint.left, paint.rcPaint.top, SRCCOPY);
    EndPaint(handle(), &paint);
}

LRESULT TScopeOverlay::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    switch (message) {
    case WM_PAINT:
        paint();
        return 0;
    case WM_ERASEBKGND:
        return TRUE;
    case WM_SETCURSOR:
        SetCursor(LoadCursorW(nullptr, IDC_CROSS));
        return TRUE;
    case WM_MOUSEMOVE:
        OverlayMouseMove(x, y);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
        SetCapture(handle());
        OverlayMouseDown(x, y);
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        ReleaseCapture();
        OverlayMouseUp(x, y);
        return 0;
    case WM_COMMAND:
        // Escape and Enter reach a window as commands; Escape ends a pick, no key a scope.
        if (LOWORD(wParam) == IDCANCEL && drag.kind() == TDragKind::Point)
            setModalResult(mrCancel);
        return 0;
    default:
        break;
    }
    return TModalWindow::handleMessage(message, wParam, lParam);
}
