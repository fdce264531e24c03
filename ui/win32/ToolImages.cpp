#include "ui/win32/ToolImages.h"

#include "ui/win32/Resources.h"

#include "ui/win32/Win32.h"

#include <array>

namespace {
constexpr int kSize = 24;
constexpr COLORREF kTransparent = RGB(255, 0, 255);

void fill(HDC dc, COLORREF colour, COLORREF outline, const auto& draw) {
    HBRUSH brush = CreateSolidBrush(colour);
    HPEN pen = CreatePen(PS_SOLID, 1, outline);
    const HGDIOBJ oldBrush = SelectObject(dc, brush);
    const HGDIOBJ oldPen = SelectObject(dc, pen);
    draw();
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(brush);
    DeleteObject(pen);
}

void line(HDC dc, COLORREF colour, int width, POINT from, POINT to) {
    HPEN pen = CreatePen(PS_SOLID, width, colour);
    const HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, from.x, from.y, nullptr);
    LineTo(dc, to.x, to.y);
    SelectObject(dc, old);
    DeleteObject(pen);
}

void page(HDC dc) {
    const POINT outline[] = {{4, 2}, {15, 2}, {20, 7}, {20, 22}, {4, 22}};
    fill(dc, RGB(255, 255, 255), RGB(96, 96, 96), [&] { Polygon(dc, outline, 5); });
    line(dc, RGB(96, 96, 96), 1, {15, 2}, {15, 7});
    line(dc, RGB(96, 96, 96), 1, {15, 7}, {20, 7});
}

void drawNew(HDC dc) {
    page(dc);
    line(dc, RGB(0, 140, 0), 3, {12, 10}, {12, 19});
    line(dc, RGB(0, 140, 0), 3, {8, 14}, {17, 14});
}

void drawEdit(HDC dc) {
    page(dc);
    for (int y : {8, 12, 16})
        line(dc, RGB(160, 160, 160), 1, {7, y}, {14, y});
    line(dc, RGB(31, 95, 191), 3, {10, 20}, {21, 9});
}

void drawDelete(HDC dc) {
    line(dc, RGB(200, 30, 30), 4, {5, 5}, {19, 19});
    line(dc, RGB(200, 30, 30), 4, {19, 5}, {5, 19});
}

void drawStart(HDC dc) {
    const POINT triangle[] = {{6, 3}, {20, 12}, {6, 21}};
    fill(dc, RGB(30, 160, 50), RGB(20, 110, 35), [&] { Polygon(dc, triangle, 3); });
}

void drawStop(HDC dc) {
    fill(dc, RGB(210, 40, 40), RGB(150, 20, 20), [&] { Rectangle(dc, 5, 5, 20, 20); });
}

void drawOptions(HDC dc) {
    for (int y : {4, 10, 16}) {
        fill(dc, RGB(255, 255, 255), RGB(64, 64, 64), [&] { Rectangle(dc, 3, y, 8, y + 5); });
        line(dc, RGB(31, 95, 191), 2, {11, y + 2}, {21, y + 2});
    }
    line(dc, RGB(0, 0, 0), 1, {4, 6}, {6, 8});
    line(dc, RGB(0, 0, 0), 1, {6, 8}, {8, 3});
}

void drawExit(HDC dc) {
    fill(dc, RGB(170, 110, 60), RGB(100, 60, 30), [&] { Rectangle(dc, 4, 2, 15, 22); });
    line(dc, RGB(31, 95, 191), 3, {11, 12}, {21, 12});
    const POINT head[] = {{17, 7}, {22, 12}, {17, 17}};
    fill(dc, RGB(31, 95, 191), RGB(31, 95, 191), [&] { Polygon(dc, head, 3); });
}
} // namespace

HIMAGELIST createToolImages() {
    const std::array<void (*)(HDC), 7> pictures{drawNew,  drawEdit,    drawDelete, drawStart,
                                                drawStop, drawOptions, drawExit};
    HIMAGELIST images = ImageList_Create(kSize, kSize, ILC_COLOR24 | ILC_MASK, int(pictures.size()), 0);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    for (auto draw : pictures) {
        HBITMAP bitmap = CreateCompatibleBitmap(screen, kSize, kSize);
        const HGDIOBJ old = SelectObject(dc, bitmap);
        fill(dc, kTransparent, kTransparent, [&] { Rectangle(dc, 0, 0, kSize, kSize); });
        draw(dc);
        SelectObject(dc, old);
        ImageList_AddMasked(images, bitmap, kTransparent);
        DeleteObject(bitmap);
    }
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return images;
}

HICON appIcon() {
    static const HICON icon = [] {
        HICON own = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(TAPPORA_ICON));
        return own ? own : LoadIconW(nullptr, IDI_APPLICATION);
    }();
    return icon;
}
