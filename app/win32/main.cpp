#include "app/win32/CommandPipe.h"
#include "app/win32/SingleCopy.h"
#include "control/ClickListController.h"
#include "control/CommandRequest.h"
#include "platform/win32/ProgramFolder.h"
#include "platform/win32/Utf16.h"
#include "platform/win32/Win32Backend.h"
#include "ui/win32/MainWindow.h"
#include "ui/win32/Win32.h"

#include <shellapi.h>
#include <shlobj.h>

#include <exception>
#include <filesystem>
#include <string>
#include <vector>

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

const char kUsage[] =
    "Usage: tappora.exe [--hidden]\n"
    "       tappora.exe start NAME... | stop NAME... | toggle NAME... | stop --all | list [--json] | show | quit\n"
    "       tappora.exe find NAME [--json]\n"
    "\n"
    "Without a command Tappora starts (in the notification area with --hidden), or brings forward the copy that\n"
    "runs with the files beside tappora.exe. A command is carried out by that running copy: NAME is a click's name\n"
    "as the list shows it (all clicks of that name), or #N for the N-th row. find searches once for the click's\n"
    "colour or picture on the screen as it is, without clicking, and says where it is or how near it came.\n"
    "\n"
    "  tappora.exe toggle \"Fire button\"\n"
    "  tappora.exe stop --all\n"
    "  tappora.exe list --json\n"
    "\n"
    "Exit codes: 0 done; 1 a named click is not in the list (or not ticked); 2 bad usage; 3 no running copy;\n"
    "4 find found nothing (or could not search).\n";

// The program's arguments as UTF-8, without its own name.
std::vector<std::string> arguments() {
    int count = 0;
    LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int index = 1; words && index < count; ++index)
        args.push_back(toUtf8(words[index]));
    LocalFree(words);
    return args;
}

// Where a command prints: the output it was given (a file, a pipe) or else the console it was started from.
// INVALID_HANDLE_VALUE when it has neither.
HANDLE commandOutput() {
    const HANDLE given = GetStdHandle(STD_OUTPUT_HANDLE);
    const DWORD type = given && given != INVALID_HANDLE_VALUE ? GetFileType(given) : FILE_TYPE_UNKNOWN;
    if (type == FILE_TYPE_DISK || type == FILE_TYPE_PIPE)
        return given;
    if (!AttachConsole(ATTACH_PARENT_PROCESS))
        return INVALID_HANDLE_VALUE;
    return CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, 0, nullptr);
}

// A console takes UTF-16 whatever its code page; files and pipes get UTF-8.
bool print(const std::string& text) {
    const HANDLE output = commandOutput();
    if (output == INVALID_HANDLE_VALUE)
        return false;
    DWORD mode = 0;
    DWORD written = 0;
    if (GetConsoleMode(output, &mode)) {
        const std::wstring wide = toUtf16(text);
        return WriteConsoleW(output, wide.data(), DWORD(wide.size()), &written, nullptr);
    }
    return WriteFile(output, text.data(), DWORD(text.size()), &written, nullptr);
}

// With nowhere to print (a shortcut's key, say), only a failure is shown.
void tell(const TCommandAnswer& answer) {
    std::string text;
    for (const std::string& line : answer.lines)
        text += line + "\r\n";
    // `find` finding nothing is an answer, which a script without a console polls: no box for it.
    if (!print(text) && answer.exitCode != TExitCode::kDone && answer.exitCode != TExitCode::kNotFound)
        MessageBoxW(nullptr, toUtf16(text).c_str(), L"Tappora", MB_OK | MB_ICONWARNING);
}

int runCommand(const std::filesystem::path& folder, const std::vector<std::string>& args) {
    if (args == std::vector<std::string>{"--help"} || args == std::vector<std::string>{"/?"}) {
        print(kUsage);
        return TExitCode::kDone;
    }
    const TParsedArguments parsed = ParseArguments(args);
    const TCommandAnswer answer = parsed.request ? sendCommand(folder, *parsed.request) : parsed.badUsage;
    tell(answer);
    return answer.exitCode;
}

int run(const std::vector<std::string>& args) {
    const std::filesystem::path folder = programFolder();
    const bool hidden = args == std::vector<std::string>{"--hidden"};
    if (!args.empty() && !hidden)
        return runCommand(folder, args);
    const TSingleCopy singleCopy(folder);
    if (!singleCopy.isFirst()) {
        // An autostart finds the program running already: nothing to bring forward.
        if (hidden || singleCopy.showOther())
            return 0;
        tellOtherCopyNotFound(folder);
        return 1;
    }
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    Win32Backend backend;
    Platform platform = backend.platform();
    const std::filesystem::path recovery = recoveryFolder();
    TMainWindow form(platform, backend.shell(), toUtf8(folder.wstring()), toUtf8(recovery.wstring()));
    singleCopy.markWindow(form.handle());
    const TCommandServer commands(commandPipeName(folder), form.handle());
    form.setOnClosed([] { PostQuitMessage(0); });
    backend.loop().setMessageFilter([&form](MSG& message) { return form.translateAccelerator(message); });
    // Without a notification area a hidden start could only be reached by commands.
    if (!hidden || !form.trayIconShown())
        form.show();
    form.showStartupMessages();
    if (!commands.listening())
        form.showFileMessage("Another program already holds this folder's command channel " +
                             toUtf8(commandPipeName(folder)) +
                             ", so commands such as \"tappora.exe list\" cannot "
                             "reach this copy.");
    if (recovery.empty())
        form.showFileMessage("Windows names no local application data folder for this user, so a list that cannot be "
                             "saved when the session ends cannot be kept anywhere.");
    if (TClickListController* controller = form.controller())
        controller->OfferRecoveredList();
    return backend.loop().run();
}
} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    try {
        return run(arguments());
    } catch (const std::exception& error) {
        MessageBoxW(nullptr, toUtf16(error.what()).c_str(), L"Tappora", MB_OK | MB_ICONERROR);
        return 1;
    }
}
