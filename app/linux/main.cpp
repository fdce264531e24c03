#include "app/linux/CommandLine.h"
#include "app/linux/FilesFolder.h"
#include "app/linux/QtKeyboardState.h"
#include "app/linux/SignalWatcher.h"
#include "app/linux/SingleCopy.h"
#include "control/BackendReport.h"
#include "platform/Backend.h"
#include "platform/posix/UserFolders.h"
#include "platform/qt/QtEventLoop.h"
#include "platform/qt/QtShell.h"
#include "ui/qt/MainWindow.h"
#include "ui/qt/ProgramFont.h"

#include <QApplication>
#include <QTimer>

#include <cstdlib>
#include <exception>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace {
FilesFolder filesFolder() {
    return chooseFilesFolder(probeProgramFolder(programFolder(), std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME")));
}

// What the running copy did goes to stdout, also when a named click was missing or `find` found nothing; a command it
// could not take at all (bad usage, no copy) is told on stderr.
int sendCommand(const TCommandRequest& request, const FilesFolder& files) {
    const TCommandAnswer answer = askRunningCopy(files.folder.string(), request);
    const bool acted = answer.exitCode == TExitCode::kDone || answer.exitCode == TExitCode::kClickNotInList ||
                       answer.exitCode == TExitCode::kNotFound;
    for (const std::string& line : answer.lines)
        (acted ? std::cout : std::cerr) << (acted ? "" : "tappora: ") << line << '\n';
    return answer.exitCode;
}

// `tappora check`: the backend this session would run on and what works with it.
int checkBackend(const std::string& requested) {
    std::string failure;
    const std::unique_ptr<IBackend> backend = openBackend(requested, failure);
    if (!backend) {
        std::cout << "Backend: none\n" << failure << '\n';
        return 2;
    }
    for (const std::string& line : BackendReportLines(backend->report()))
        std::cout << line << '\n';
    return 0;
}

// --help, --version, a command and a wrong option are answered without a display; nothing when the program is to run.
std::optional<int> answerCommandLine(const CommandLine& line, const FilesFolder& files) {
    switch (line.action) {
    case CommandLine::ShowHelp:
        std::cout << helpText(files);
        return 0;
    case CommandLine::ShowVersion:
        std::cout << versionText();
        return 0;
    case CommandLine::Command:
        return sendCommand(line.request, files);
    case CommandLine::Check:
        return checkBackend(line.backend);
    case CommandLine::Refuse:
        std::cerr << line.message << '\n';
        return 2;
    case CommandLine::Run:
        break;
    }
    return std::nullopt;
}

// Puts Qt's windows where the backend needs them. An X11 backend in a Wayland session needs them on XWayland: on
// Wayland they would be out of reach of its hotkeys, clicks and captures. The Wayland backend shows them as native
// Wayland windows, unless the caller asked for another platform (the tests' offscreen one).
void showWindowsOn(TWindowSystem system) {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (system == TWindowSystem::X11 && (platform == nullptr || std::string_view(platform).starts_with("wayland")))
        ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    if (system == TWindowSystem::Wayland && (platform == nullptr || std::string_view(platform) == "xcb"))
        ::setenv("QT_QPA_PLATFORM", "wayland", 1);
}

// A folder that cannot be made is told here; the window then says that the files cannot be saved.
void prepareFilesFolder(const FilesFolder& files) {
    try {
        createFilesFolder(files);
    } catch (const std::exception& error) {
        std::cerr << "tappora: " << error.what() << '\n';
    }
}

TMainWindow* formToSaveAtExit = nullptr;
TSingleCopy* copyToReleaseAtExit = nullptr;

extern "C" void saveAtUnexpectedExit() {
    if (formToSaveAtExit)
        formToSaveAtExit->saveBeforeExit();
    if (copyToReleaseAtExit)
        copyToReleaseAtExit->removeSocketFile();
}

// Qt's xcb plugin and Xlib both end the process with exit() when the connection to the X server is lost (the server
// or the session died): the list and the settings are saved on the way out, without a call to the display, and the
// socket file of the one copy does not stay behind.
class SaveAtUnexpectedExit {
public:
    SaveAtUnexpectedExit(TMainWindow& form, TSingleCopy& singleCopy) {
        static const bool registered = std::atexit(saveAtUnexpectedExit) == 0;
        formToSaveAtExit = registered ? &form : nullptr;
        copyToReleaseAtExit = registered ? &singleCopy : nullptr;
    }
    ~SaveAtUnexpectedExit() {
        formToSaveAtExit = nullptr;
        copyToReleaseAtExit = nullptr;
    }
    SaveAtUnexpectedExit(const SaveAtUnexpectedExit&) = delete;
    SaveAtUnexpectedExit& operator=(const SaveAtUnexpectedExit&) = delete;
};

int run(int argc, char* argv[], const FilesFolder& files, const CommandLine& line) {
    // Opened before Qt, which would abort without a display; the program keeps these connections.
    std::string failure;
    const std::unique_ptr<IBackend> backend = openBackend(line.backend, failure);
    if (!backend) {
        std::cerr << "tappora: " << failure << '\n';
        return 2;
    }
    prepareFilesFolder(files);
    showWindowsOn(backend->windowSystem());
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tappora");
    QApplication::setQuitOnLastWindowClosed(false);
    applyProgramFont();
    keepPointerButtonsOutOfQtKeyboardState();
    TSingleCopy singleCopy(files.folder.string());
    if (!singleCopy.isFirst()) {
        std::cerr << "tappora: " << singleCopy.message() << '\n';
        return singleCopy.otherShown() ? 0 : 1;
    }
    if (!singleCopy.channelProblem().empty())
        std::cerr << "tappora: " << singleCopy.channelProblem() << '\n';

    QtEventLoop loop;
    backend->deliverEventsThrough(loop);
    QtShell shell;
    Platform platform = backend->platform(loop);
    TMainWindow form(platform, shell, files.folder.string(),
                     stateFolder(std::getenv("XDG_STATE_HOME"), std::getenv("HOME")).string());
    const SaveAtUnexpectedExit saveAtExit(form, singleCopy);
    QObject::connect(&form, &TMainWindow::closed, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    singleCopy.setCommandHandler([&form](const TCommandRequest& request) { return form.answerCommand(request); });
    TSignalWatcher signalWatcher;
    QObject::connect(&signalWatcher, &TSignalWatcher::terminationRequested, &form,
                     [&form] { form.requestClose(false); });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &form, [&form] { form.requestClose(false); });
    form.setBackendReport(BackendReportLines(backend->report()));
    if (!line.hidden)
        form.show();
    QTimer::singleShot(0, &form, [&form] { form.showStartupMessages(); });
    return QApplication::exec();
}
} // namespace

int main(int argc, char* argv[]) {
    const FilesFolder files = filesFolder();
    const CommandLine line = parseCommandLine({argv + 1, argv + argc});
    if (const auto exitCode = answerCommandLine(line, files))
        return *exitCode;
    try {
        return run(argc, argv, files, line);
    } catch (const std::exception& error) {
        std::cerr << "tappora: " << error.what() << '\n';
        return 1;
    }
}
