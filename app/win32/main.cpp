#include "platform/win32/ProgramFolder.h"
#include "platform/win32/Utf16.h"
#include "platform/win32/Win32Backend.h"
#include "ui/win32/MForm.h"
#include "ui/win32/Win32.h"

#include <exception>

namespace {
int run() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    Win32Backend backend;
    Platform platform = backend.platform();
    TMForm form(platform, backend.shell(), toUtf8(programFolder().wstring()));
    form.setOnClosed([] { PostQuitMessage(0); });
    backend.loop().setMessageFilter([&form](MSG& message) { return form.translateAccelerator(message); });
    form.show();
    form.showStartupMessages();
    return backend.loop().run();
}
} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    try {
        return run();
    } catch (const std::exception& error) {
        MessageBoxW(nullptr, toUtf16(error.what()).c_str(), L"Tappora", MB_OK | MB_ICONERROR);
        return 1;
    }
}
