#include "app/win32/SingleCopy.h"
#include "control/MouseCtrl.h"
#include "platform/win32/ProgramFolder.h"
#include "platform/win32/Utf16.h"
#include "platform/win32/Win32Backend.h"
#include "ui/win32/MForm.h"
#include "ui/win32/Win32.h"

#include <shlobj.h>

#include <exception>
#include <filesystem>
#include <string>

namespace {
// Where a list that cannot be saved at the session's end is kept: %LOCALAPPDATA%\tappora, the user's own folder on
// this machine. Empty when Windows names none.
std::filesystem::path recoveryFolder() {
    if (const wchar_t* local = _wgetenv(L"LOCALAPPDATA"); local && std::filesystem::path(local).is_absolute())
        return std::filesystem::path(local) / L"tappora";
    PWSTR known = nullptr;
    std::filesystem::path folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_DEFAULT, nullptr, &known)))
        folder = std::filesystem::path(known) / L"tappora";
    CoTaskMemFree(known);
    return folder;
}

void tellOtherCopyNotFound(const std::filesystem::path& folder) {
    const std::wstring text = L"Tappora is already running with the files in " + folder.wstring() +
                              L", but its window could not be found; this copy ends without touching them.";
    MessageBoxW(nullptr, text.c_str(), L"Tappora", MB_OK | MB_ICONWARNING);
}

int run() {
    const std::filesystem::path folder = programFolder();
    const TSingleCopy singleCopy(folder);
    if (!singleCopy.isFirst()) {
        if (singleCopy.showOther())
            return 0;
        tellOtherCopyNotFound(folder);
        return 1;
    }
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    Win32Backend backend;
    Platform platform = backend.platform();
    const std::filesystem::path recovery = recoveryFolder();
    TMForm form(platform, backend.shell(), toUtf8(folder.wstring()), toUtf8(recovery.wstring()));
    singleCopy.markWindow(form.handle());
    form.setOnClosed([] { PostQuitMessage(0); });
    backend.loop().setMessageFilter([&form](MSG& message) { return form.translateAccelerator(message); });
    form.show();
    form.showStartupMessages();
    if (recovery.empty())
        form.showFileMessage("Windows names no local application data folder for this user, so a list that cannot be "
                             "saved when the session ends cannot be kept anywhere.");
    if (TMouseCtrl* controller = form.controller())
        controller->OfferRecoveredList();
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
