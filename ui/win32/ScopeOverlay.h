#pragma once

#include "control/CaptureSession.h"
#include "control/ScopeDrag.h"
#include "ui/win32/Window.h"

#include <cstdint>

class IScreen;

// A frozen picture of the primary monitor, borderless over all of it, on which the user drags a search scope or
// picks a pixel. mrOk when a rectangle was dragged or a pixel pressed; drag.FStartPos and drag.FEndPos are then its
// corners, unsorted, in the picture's pixels, which frozen() turns into program positions and colours. Escape
// cancels a pick; no key cancels a scope; the system's close command cancels either.
class TScopeOverlay : public TModalWindow {
public:
    TScopeOverlay(IScreen& screen, HWND owner, TDragKind kind = TDragKind::Scope);
    ~TScopeOverlay() override;

    void OverlayMouseDown(int x, int y);
    void OverlayMouseMove(int x, int y);
    void OverlayMouseUp(int x, int y);

    // A pixel of the picture as shown, 0x00RRGGBB.
    std::uint32_t pixel(int x, int y) const;
    const TFrozenScreen& frozen() const { return m_frozen; }

    TScopeDrag drag{{}};

protected:
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void FormCreate(TDragKind kind);
    void invert(const std::vector<TLine>& lines);
    void paint();

    TFrozenScreen m_frozen;
    TSize m_size;
    HDC m_picture = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_oldBitmap = nullptr;
    std::uint8_t* m_bits = nullptr;
};
