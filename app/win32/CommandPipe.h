#pragma once

#include "control/CommandRequest.h"
#include "ui/win32/Win32.h"

#include <filesystem>
#include <string>

// The channel through which `tappora.exe start NAME` and the other commands reach the copy running with the same
// files folder: a named pipe that only this user may open, served by the running copy on a thread of its own so that
// no client can hold its window up.

// The running copy's end. Each complete request is sent to `window` as TMainWindow::WM_REMOTECOMMAND and its answer
// written back; once the client has it, TMainWindow::WM_REMOTEANSWERED follows. A client that sends no complete request
// within two seconds is dropped.
class TCommandServer {
public:
    TCommandServer(const std::wstring& pipeName, HWND window);
    // Waits for the request being answered, if any.
    ~TCommandServer();
    TCommandServer(const TCommandServer&) = delete;
    TCommandServer& operator=(const TCommandServer&) = delete;

    // False when the pipe could not be made, most likely because another program made it first.
    bool listening() const { return m_pipe != INVALID_HANDLE_VALUE; }

private:
    void serve();
    void serveClient();
    bool readRequest();
    // One overlapped read of at most `size` bytes; false when nothing came within `timeout` or the client left.
    bool readSome(char* buffer, DWORD size, DWORD timeout, DWORD& bytes);
    // Waits for the overlapped operation until `timeout` ends or the server stops; false when it did not complete.
    bool finish(OVERLAPPED& operation, DWORD timeout, DWORD& bytes);

    HWND m_window;
    HANDLE m_pipe = INVALID_HANDLE_VALUE;
    HANDLE m_stop = nullptr;
    HANDLE m_io = nullptr;
    TRequestReader m_reader;
    HANDLE m_thread = nullptr;
};

// The command's end: sends `request` to the copy running with `folder`. With no such copy the answer has exit code
// 3 and one sentence naming the folder and how to start one.
TCommandAnswer sendCommand(const std::filesystem::path& folder, const TCommandRequest& request);
