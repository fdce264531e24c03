#pragma once

#include "platform/Screen.h"

#include <memory>

// Screen size and pixels through the screen's device context. A capture copies the part of the rectangle that lies
// on the desktop (all monitors) with one BitBlt into a kept 24-bit DIB section, which converts as it copies, then
// moves the rows into the caller's buffer; the rest of the rectangle comes out black.
class Win32Screen : public IScreen {
public:
    Win32Screen();
    Win32Screen(const Win32Screen&) = delete;
    Win32Screen& operator=(const Win32Screen&) = delete;
    ~Win32Screen() override;

    TSize screenSize() override;
    std::vector<TRect> monitorAreas() override;
    bool copyRect(int left, int top, int width, int height, std::uint8_t* bits, int lineWidth) override;
    std::uint32_t pixelColor(int x, int y) override;

private:
    class Surface;

    bool copyClipped(int left, int top, int width, int height, std::uint8_t* bits, int lineWidth);

    std::unique_ptr<Surface> m_surface;
};
