#include "tests/platform/win32/Win32TestSupport.h"

#include "platform/win32/ProgramFolder.h"

#include <windows.h>

#include <fstream>
#include <stdexcept>

namespace {
std::wstring quoted(const std::wstring& argument) {
    return L"\"" + argument + L"\"";
}

std::filesystem::path temporaryLogFile() {
    wchar_t folder[MAX_PATH + 1] = {};
    wchar_t name[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, folder);
    GetTempFileNameW(folder, L"tap", 0, name);
    return name;
}
} // namespace

ChildProcess::ChildProcess(const std::filesystem::path& program, const std::vector<std::wstring>& arguments) {
    const std::wstring path = (programFolder() / program).wstring();
    std::wstring commandLine = quoted(path);
    for (const std::wstring& argument : arguments)
        commandLine += L" " + quoted(argument);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info))
        throw std::runtime_error("cannot start a test program");
    CloseHandle(info.hThread);
    m_process = info.hProcess;
    m_processId = info.dwProcessId;
}

std::uintptr_t ChildProcess::window(const std::wstring& title) const {
    struct Search {
        DWORD processId;
        const std::wstring& title;
        HWND found;
    } search{m_processId, title, nullptr};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto& search = *reinterpret_cast<Search*>(data);
            DWORD processId = 0;
            GetWindowThreadProcessId(window, &processId);
            wchar_t text[256] = {};
            GetWindowTextW(window, text, 256);
            if (processId != search.processId || !IsWindowVisible(window) ||
                std::wstring(text).rfind(search.title, 0) != 0)
                return TRUE;
            search.found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return reinterpret_cast<std::uintptr_t>(search.found);
}

ChildProcess::~ChildProcess() {
    if (WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT) {
        TerminateProcess(m_process, 1);
        WaitForSingleObject(m_process, 5000);
    }
    CloseHandle(m_process);
}

int ChildProcess::waitForExit(std::chrono::milliseconds timeout) {
    if (!pumpUntil([this] { return WaitForSingleObject(m_process, 0) == WAIT_OBJECT_0; }, timeout))
        return -1;
    DWORD code = 0;
    GetExitCodeProcess(m_process, &code);
    return static_cast<int>(code);
}

bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    // Checked after every message: a fast timer can keep the queue from ever running empty.
    for (;;) {
        if (done())
            return true;
        if (std::chrono::steady_clock::now() >= end)
            return false;
        MSG message{};
        if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        } else {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        }
    }
}

void pumpFor(std::chrono::milliseconds duration) {
    pumpUntil([] { return false; }, duration);
}

TargetWindow::TargetWindow(int left, int top, int width, int height, bool withTimes)
    : m_log(temporaryLogFile()), m_left(left), m_top(top) {
    std::vector<std::wstring> arguments{m_log.wstring(), std::to_wstring(left), std::to_wstring(top),
                                        std::to_wstring(width), std::to_wstring(height)};
    if (withTimes)
        arguments.emplace_back(L"times");
    m_process = std::make_unique<ChildProcess>(L"tappora_win32_target.exe", arguments);
    if (!pumpUntil([this] { return !readLines().empty(); }))
        throw std::runtime_error("the target window did not come up");
    m_skipped = 1;
}

TargetWindow::~TargetWindow() {
    m_process.reset();
    std::error_code ignored;
    std::filesystem::remove(m_log, ignored);
}

std::vector<std::string> TargetWindow::readLines() const {
    std::ifstream in(m_log);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::vector<std::string> TargetWindow::waitForLines(std::size_t count) {
    std::vector<std::string> lines;
    pumpUntil([&] {
        lines = readLines();
        return lines.size() >= m_skipped + count;
    });
    lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(std::min(m_skipped, lines.size())));
    return lines;
}

void TargetWindow::clear() {
    m_skipped = readLines().size();
}
