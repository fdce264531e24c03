#include "app/win32/CommandPipe.h"

#include "app/win32/SingleCopy.h"
#include "platform/win32/Utf16.h"
#include "ui/win32/MainWindow.h"

#include <aclapi.h>

#include <chrono>
#include <memory>
#include <vector>

namespace {
constexpr DWORD kBufferBytes = 64 * 1024;
// How long a client may take to send its request, and to take its answer.
constexpr DWORD kClientTimeoutMs = 2000;
// A copy busy with another client (at most kClientTimeoutMs each) is waited for this long.
constexpr DWORD kBusyWaitMs = 10000;

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

// The process's user, as its token names it.
std::vector<BYTE> currentUser() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return {};
    const UniqueHandle owned(token);
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<BYTE> user(size);
    if (size == 0 || !GetTokenInformation(token, TokenUser, user.data(), size, &size))
        return {};
    return user;
}

PSID sidOf(std::vector<BYTE>& user) {
    return reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid;
}

// Owner and only ACE this user: the default DACL would also let SYSTEM and the administrators in, and an empty one
// everybody.
class OwnerOnlySecurity {
public:
    OwnerOnlySecurity() : m_user(currentUser()) {
        if (m_user.empty())
            return;
        const PSID user = sidOf(m_user);
        m_acl.resize(sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + GetLengthSid(user));
        const auto acl = reinterpret_cast<PACL>(m_acl.data());
        m_ready = InitializeAcl(acl, DWORD(m_acl.size()), ACL_REVISION) &&
                  AddAccessAllowedAce(acl, ACL_REVISION, FILE_ALL_ACCESS, user) &&
                  InitializeSecurityDescriptor(&m_descriptor, SECURITY_DESCRIPTOR_REVISION) &&
                  SetSecurityDescriptorOwner(&m_descriptor, user, FALSE) &&
                  SetSecurityDescriptorDacl(&m_descriptor, TRUE, acl, FALSE);
        m_attributes.lpSecurityDescriptor = &m_descriptor;
    }
    // Null when the user could not be told: then no pipe is made rather than one open to others.
    SECURITY_ATTRIBUTES* attributes() { return m_ready ? &m_attributes : nullptr; }

private:
    std::vector<BYTE> m_user;
    std::vector<BYTE> m_acl;
    SECURITY_DESCRIPTOR m_descriptor{};
    SECURITY_ATTRIBUTES m_attributes{sizeof(SECURITY_ATTRIBUTES), nullptr, FALSE};
    bool m_ready = false;
};

// Whether the pipe's owner is this user: a pipe made by anyone else before the running copy could make its own is
// told no click names.
bool ownedByCurrentUser(HANDLE pipe) {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetSecurityInfo(pipe, SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr, nullptr,
                        &descriptor) != ERROR_SUCCESS)
        return false;
    std::vector<BYTE> user = currentUser();
    const bool same = !user.empty() && owner != nullptr && EqualSid(owner, sidOf(user));
    LocalFree(descriptor);
    return same;
}

std::string folderText(const std::filesystem::path& folder) {
    return toUtf8(folder.wstring());
}

TCommandAnswer noRunningCopy(const std::filesystem::path& folder) {
    return {TExitCode::kNoRunningCopy,
            {"No Tappora is running with the files in " + folderText(folder) +
             "; start one with tappora.exe (or tappora.exe --hidden for the notification area) and try again."}};
}

TCommandAnswer notAnswered(const std::filesystem::path& folder, const std::string& why) {
    return {TExitCode::kNoRunningCopy, {"The Tappora running with the files in " + folderText(folder) + " " + why}};
}

// kClientTimeoutMs from its making.
class Deadline {
public:
    bool over() const { return left() == 0; }
    DWORD left() const {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(m_end - std::chrono::steady_clock::now());
        return left.count() > 0 ? DWORD(left.count()) : 0;
    }

private:
    std::chrono::steady_clock::time_point m_end =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kClientTimeoutMs);
};

// The pipe's client end; null when no copy listens (or it stayed busy too long).
UniqueHandle connectTo(const std::wstring& name) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kBusyWaitMs);
    for (;;) {
        const HANDLE pipe = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                        SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, nullptr);
        if (pipe != INVALID_HANDLE_VALUE)
            return UniqueHandle(pipe);
        if (GetLastError() != ERROR_PIPE_BUSY || std::chrono::steady_clock::now() >= end)
            return nullptr;
        // Wine's WaitNamedPipeW returns at once while the only instance is between two clients.
        if (!WaitNamedPipeW(name.c_str(), kClientTimeoutMs))
            Sleep(20);
    }
}
} // namespace

TCommandServer::TCommandServer(const std::wstring& pipeName, HWND window) : m_window(window) {
    OwnerOnlySecurity security;
    if (security.attributes() == nullptr)
        return;
    m_pipe =
        CreateNamedPipeW(pipeName.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
                         PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1, kBufferBytes,
                         kBufferBytes, 0, security.attributes());
    if (m_pipe == INVALID_HANDLE_VALUE)
        return;
    m_stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_io = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    m_thread = CreateThread(
        nullptr, 0,
        [](LPVOID server) -> DWORD {
            static_cast<TCommandServer*>(server)->serve();
            return 0;
        },
        this, 0, nullptr);
}

// The thread may be sending a request to the window, which this thread owns: such messages are let through while
// waiting.
TCommandServer::~TCommandServer() {
    if (m_thread) {
        SetEvent(m_stop);
        while (MsgWaitForMultipleObjects(1, &m_thread, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
            MSG message;
            PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
    }
    for (const HANDLE handle : {m_thread, m_stop, m_io})
        if (handle)
            CloseHandle(handle);
    if (m_pipe != INVALID_HANDLE_VALUE)
        CloseHandle(m_pipe);
}

bool TCommandServer::finish(OVERLAPPED& operation, DWORD timeout, DWORD& bytes) {
    const HANDLE events[] = {m_stop, m_io};
    if (WaitForMultipleObjects(2, events, FALSE, timeout) != WAIT_OBJECT_0 + 1)
        CancelIo(m_pipe);
    return GetOverlappedResult(m_pipe, &operation, &bytes, TRUE) != 0;
}

void TCommandServer::serve() {
    while (WaitForSingleObject(m_stop, 0) == WAIT_TIMEOUT) {
        OVERLAPPED connect{};
        connect.hEvent = m_io;
        DWORD unused = 0;
        const bool connected = ConnectNamedPipe(m_pipe, &connect)       ? true
                               : GetLastError() == ERROR_PIPE_CONNECTED ? true
                               : GetLastError() == ERROR_IO_PENDING     ? finish(connect, INFINITE, unused)
                                                                        : false;
        if (connected)
            serveClient();
        DisconnectNamedPipe(m_pipe);
    }
}

bool TCommandServer::readSome(char* buffer, DWORD size, DWORD timeout, DWORD& bytes) {
    OVERLAPPED read{};
    read.hEvent = m_io;
    return (ReadFile(m_pipe, buffer, size, nullptr, &read) || GetLastError() == ERROR_IO_PENDING) &&
           finish(read, timeout, bytes);
}

// True once the reader holds a complete request or its refusal; false when the client went quiet or away first.
bool TCommandServer::readRequest() {
    m_reader.Reset();
    const Deadline deadline;
    char buffer[4096];
    DWORD bytes = 0;
    while (m_reader.State() == TRequestReader::TState::NeedMore) {
        if (deadline.over() || !readSome(buffer, sizeof buffer, deadline.left(), bytes))
            return false;
        m_reader.Feed({buffer, bytes});
    }
    return true;
}

void TCommandServer::serveClient() {
    if (!readRequest())
        return;
    TRemoteCommand command{m_reader.Request(), m_reader.Refusal()};
    const bool complete = m_reader.State() == TRequestReader::TState::Complete;
    if (complete)
        SendMessageW(m_window, TMainWindow::WM_REMOTECOMMAND, 0, LPARAM(&command));
    const std::string answer = EncodeAnswer(command.answer);
    const Deadline deadline;
    OVERLAPPED write{};
    write.hEvent = m_io;
    DWORD bytes = 0;
    if (WriteFile(m_pipe, answer.data(), DWORD(answer.size()), nullptr, &write) || GetLastError() == ERROR_IO_PENDING)
        finish(write, deadline.left(), bytes);
    // Disconnecting throws away what the client has not read yet: wait for it to hang up.
    char rest[64];
    while (!deadline.over() && readSome(rest, sizeof rest, deadline.left(), bytes)) {
    }
    if (complete)
        PostMessageW(m_window, TMainWindow::WM_REMOTEANSWERED, 0, 0);
}

TCommandAnswer sendCommand(const std::filesystem::path& folder, const TCommandRequest& request) {
    const UniqueHandle pipe = connectTo(commandPipeName(folder));
    if (!pipe)
        return noRunningCopy(folder);
    if (!ownedByCurrentUser(pipe.get()))
        return notAnswered(folder, "listens on a channel that another user made; the command was not sent.");
    // Lets `show` bring the running copy's window in front of the console.
    ULONG server = 0;
    if (GetNamedPipeServerProcessId(pipe.get(), &server))
        AllowSetForegroundWindow(server);
    const std::string line = EncodeRequest(request);
    DWORD bytes = 0;
    if (!WriteFile(pipe.get(), line.data(), DWORD(line.size()), &bytes, nullptr))
        return notAnswered(folder, "did not take the command.");
    std::string received;
    char buffer[4096];
    while (ReadFile(pipe.get(), buffer, sizeof buffer, &bytes, nullptr) && bytes > 0) {
        received.append(buffer, bytes);
        if (std::optional<TCommandAnswer> answer = DecodeAnswer(received))
            return std::move(*answer);
    }
    return notAnswered(folder, "gave no answer.");
}
