#include "engine/BitmapData.h"
#include "platform/x11/X11Backend.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11HotKeys.h"
#include "ui/MForm.h"
#include "ui/ProgramFont.h"
#include "ui/QtEventLoop.h"
#include "ui/QtShell.h"
#include "ui/SignalWatcher.h"

#include <QApplication>
#include <QTimer>

#include <cstdlib>
#include <exception>
#include <filesystem>
#include <iostream>

namespace {
// The click list and the settings live beside the program.
std::string programFolder() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return std::filesystem::current_path().string();
    return program.parent_path().string();
}

int run(int argc, char* argv[]) {
    const std::unique_ptr<X11Backend> backend = X11Backend::open();
    if (!backend) {
        std::cerr << "tappora: "
                  << x11UnavailableReason(std::getenv("DISPLAY")).value_or("the X display cannot be opened.") << '\n';
        return 2;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName("Tappora");
    QApplication::setQuitOnLastWindowClosed(false);
    applyProgramFont();

    QtEventLoop loop;
    X11HotKeys& hotKeys = backend->hotKeys();
    loop.watchReadable(hotKeys.fileDescriptor(), [&hotKeys] { hotKeys.processPendingEvents(); });
    hotKeys.setOnEventsQueued([&loop, &hotKeys] { loop.post([&hotKeys] { hotKeys.processPendingEvents(); }); });
    QtShell shell;
    Platform platform{backend->mouse(), backend->screen(), loop, backend->clock(), hotKeys};
    // The searches place a scope on the screen by the size it had at start; unread, every scope moves to (0, 0).
    ReadScreenMetrics(backend->screen());
    TMForm form(platform, shell, programFolder());
    QObject::connect(&form, &TMForm::closed, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    TSignalWatcher signalWatcher;
    QObject::connect(&signalWatcher, &TSignalWatcher::terminationRequested, &form,
                     [&form] { form.requestClose(false); });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &form, [&form] { form.requestClose(false); });
    form.show();
    QTimer::singleShot(0, &form, [&form] { form.showStartupMessages(); });
    return QApplication::exec();
}
} // namespace

int main(int argc, char* argv[]) {
    // Qt would abort without a display; say so in one sentence instead.
    if (const auto reason = x11UnavailableReason(std::getenv("DISPLAY"))) {
        std::cerr << "tappora: " << *reason << '\n';
        return 2;
    }
    try {
        return run(argc, argv);
    } catch (const std::exception& error) {
        std::cerr << "tappora: " << error.what() << '\n';
        return 1;
    }
}
