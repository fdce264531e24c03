#include "app/linux/QtKeyboardState.h"

#include "XvfbServer.h"

#include <QAbstractNativeEventFilter>
#include <QElapsedTimer>
#include <QGuiApplication>

// Before Xlib, whose macros (None) would break it.
#include <gtest/gtest.h>

#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// What changed, for each keyboard-state report that reaches Qt's own connection.
struct StateReports : QAbstractNativeEventFilter {
    explicit StateReports(int xkbEventBase) : xkbEventBase(xkbEventBase) {}
    bool nativeEventFilter(const QByteArray&, void* message, qintptr*) override {
        const auto* event = static_cast<const std::uint8_t*>(message);
        std::uint16_t changedParts = 0;
        std::memcpy(&changedParts, event + 26, sizeof changedParts);
        if ((event[0] & 0x7f) == xkbEventBase && event[1] == XkbStateNotify)
            changed.push_back(changedParts);
        return false;
    }
    int xkbEventBase;
    std::vector<unsigned> changed;
};

TEST(QtKeyboardStateTest, QtHearsModifiersButNotThePointerButtonsTheProgramPresses) {
    XvfbServer server;
    const std::string display = server.displayName();
    int argc = 5;
    char* argv[] = {const_cast<char*>("test"),     const_cast<char*>("-platform"),     const_cast<char*>("xcb"),
                    const_cast<char*>("-display"), const_cast<char*>(display.c_str()), nullptr};
    QGuiApplication app(argc, argv);
    keepPointerButtonsOutOfQtKeyboardState();

    Display* sender = XOpenDisplay(display.c_str());
    ASSERT_NE(sender, nullptr);
    int opcode = 0, eventBase = 0, errorBase = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
    ASSERT_TRUE(XkbQueryExtension(sender, &opcode, &eventBase, &errorBase, &major, &minor));
    StateReports reports(eventBase);
    app.installNativeEventFilter(&reports);
    XTestFakeButtonEvent(sender, Button1, True, CurrentTime);
    XTestFakeButtonEvent(sender, Button1, False, CurrentTime);
    // Reports arrive in order: once Shift's release is in, the clicks' reports would have come before it.
    const unsigned shift = XKeysymToKeycode(sender, XK_Shift_L);
    XTestFakeKeyEvent(sender, shift, True, CurrentTime);
    XTestFakeKeyEvent(sender, shift, False, CurrentTime);
    XSync(sender, False);
    const auto modifierReports = [&] {
        return std::count_if(reports.changed.begin(), reports.changed.end(),
                             [](unsigned parts) { return (parts & XkbModifierStateMask) != 0; });
    };
    QElapsedTimer waited;
    waited.start();
    while (modifierReports() < 2 && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    XCloseDisplay(sender);

    EXPECT_EQ(modifierReports(), 2);
    for (const unsigned parts : reports.changed)
        EXPECT_EQ(parts & XkbPointerButtonMask, 0u);
}

} // namespace
