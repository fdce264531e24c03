#pragma once

#include "control/ScopeDrag.h"
#include "ui/win32/Window.h"

#include <cstdint>

class IScreen;

// A frozen picture of the whole screen, borderless over all of it, on which the user drags a search scope. mrOk
// when a rectangle was dragged; drag.FStartPos and drag.FEndPos are then its corners, unsorted, in screen pixels.
// No key cancels it; the system's close command does.
class TScopeOverlay : public TModalWindow {
public:
    TScopeOverlay(IScreen& screen, HWND owner);
    ~TScopeOverlay() override;

    void OverlayMouseDown(int x, int y);
    void OverlayMouseMove(int x, int y);
    void OverlayMouseUp(int x, int y);

    // A pixel of the picture as shown, 0x00RRGGBB.
    std::uint32_t pixel(int x, int y) const;

    TScopeDrag drag{{}};

protected:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void FormCreate(IScreen& screen);
    void invert(const std::vector<TLine>& lines);
    void paint();

    TSize m_size;
    HDC m_picture = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_oldBitmap = nullptr;
    std::uint8_t* m_bits = nullptr;
};
