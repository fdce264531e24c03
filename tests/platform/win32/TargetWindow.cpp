// The click and capture target of the Win32 tests, a program of its own as a real target would be:
//
//     tappora_win32_target LOG LEFT TOP WIDTH HEIGHT [times]
//
// shows a topmost window with the client area at (LEFT, TOP), WIDTH x HEIGHT, painted with targetPatternColour, and
// writes to LOG (UTF-8, one line each, flushed at once) "ready" when it is up, then every button message it receives
// with its client point, for example "WM_RBUTTONDBLCLK 40 25", and with "times" the message's time in ms after it
// ("WM_LBUTTONUP 30 40 81234"). It runs until it is closed or killed.

#include "tests/platform/win32/TargetPattern.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {
std::FILE* logFile = nullptr;
bool logTimes = false;
std::vector<std::uint8_t> picture;
BITMAPINFO pictureInfo{};

void writeLine(const char* text, int x, int y) {
    std::fprintf(logFile, "%s %d %d\n", text, x, y);
    std::fflush(logFile);
}

const char* buttonMessageName(UINT message) {
    switch (message) {
    case WM_LBUTTONDOWN:
        return "WM_LBUTTONDOWN";
    case WM_LBUTTONUP:
        return "WM_LBUTTONUP";
    case WM_LBUTTONDBLCLK:
        return "WM_LBUTTONDBLCLK";
    case WM_RBUTTONDOWN:
        return "WM_RBUTTONDOWN";
    case WM_RBUTTONUP:
        return "WM_RBUTTONUP";
    case WM_RBUTTONDBLCLK:
        return "WM_RBUTTONDBLCLK";
    case WM_MBUTTONDOWN:
        return "WM_MBUTTONDOWN";
    case WM_MBUTTONUP:
        return "WM_MBUTTONUP";
    case WM_MBUTTONDBLCLK:
        return "WM_MBUTTONDBLCLK";
    default:
        return nullptr;
    }
}

void preparePicture(int width, int height) {
    const int rowBytes = (width * 3 + 3) & ~3;
    picture.assign(static_cast<std::size_t>(rowBytes) * height, 0);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = picture.data() + static_cast<std::size_t>(height - 1 - y) * rowBytes;
        for (int x = 0; x < width; ++x) {
            const std::uint32_t colour = targetPatternColour(x, y);
            row[3 * x] = colour & 0xFF;
            row[3 * x + 1] = (colour >> 8) & 0xFF;
            row[3 * x + 2] = (colour >> 16) & 0xFF;
        }
    }
    pictureInfo.bmiHeader.biSize = sizeof pictureInfo.bmiHeader;
    pictureInfo.bmiHeader.biWidth = width;
    pictureInfo.bmiHeader.biHeight = height;
    pictureInfo.bmiHeader.biPlanes = 1;
    pictureInfo.bmiHeader.biBitCount = 24;
    pictureInfo.bmiHeader.biCompression = BI_RGB;
}

LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (const char* name = buttonMessageName(message)) {
        const int x = static_cast<short>(LOWORD(lParam)), y = static_cast<short>(HIWORD(lParam));
        if (logTimes)
            std::fprintf(logFile, "%s %d %d %ld\n", name, x, y, GetMessageTime());
        else
            writeLine(name, x, y);
        std::fflush(logFile);
        return 0;
    }
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint{};
        const HDC dc = BeginPaint(window, &paint);
        const int width = pictureInfo.bmiHeader.biWidth;
        const int height = pictureInfo.bmiHeader.biHeight;
        SetDIBitsToDevice(dc, 0, 0, width, height, 0, 0, 0, height, picture.data(), &pictureInfo, DIB_RGB_COLORS);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}
} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 6 && !(argc == 7 && std::wcscmp(argv[6], L"times") == 0))
        return 2;
    logTimes = argc == 7;
    logFile = _wfopen(argv[1], L"w");
    if (logFile == nullptr)
        return 2;
    const int left = _wtoi(argv[2]);
    const int top = _wtoi(argv[3]);
    const int width = _wtoi(argv[4]);
    const int height = _wtoi(argv[5]);
    preparePicture(width, height);

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"TapporaTestTarget";
    RegisterClassExW(&windowClass);
    // A popup has no frame, so its client area is the window.
    const HWND window =
        CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, windowClass.lpszClassName, L"Tappora target", WS_POPUP, left,
                        top, width, height, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (window == nullptr)
        return 2;
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    GdiFlush();
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    writeLine("ready", origin.x, origin.y);

    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    std::fclose(logFile);
    return 0;
}
