// gtest first: the X headers define None, which gtest uses as a name.
#include <gtest/gtest.h>

#include "platform/Backend.h"
#include "platform/x11/X11Backend.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11ErrorTrap.h"

#include "XvfbServer.h"

#include <X11/Xlib.h>
#include <X11/Xproto.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

namespace {
TEST(X11UnavailableReason, SaysInOneSentenceThatNoDisplayIsSet) {
    for (const char* name : {static_cast<const char*>(nullptr), ""}) {
        const std::string reason = x11UnavailableReason(name);
        EXPECT_NE(reason.find("DISPLAY"), std::string::npos) << reason;
        EXPECT_NE(reason.find("needs an X11 session or XWayland"), std::string::npos) << reason;
        EXPECT_EQ(reason.back(), '.');
    }
}

TEST(X11UnavailableReason, NamesADisplayThatDoesNotAnswer) {
    const std::string reason = x11UnavailableReason(":987");
    EXPECT_NE(reason.find("\":987\""), std::string::npos) << reason;
}

TEST(X11Backend, OpensEveryTimeOnAServerThatResetsWhenItsLastClientLeaves) {
    XvfbServer server({.resetsWhenLastClientLeaves = true});
    // Each backend closes its connections as it goes, so the next one meets a server that is resetting.
    for (int start = 0; start < 10; ++start) {
        SCOPED_TRACE(start);
        const auto backend = X11Backend::open(server.displayName());
        ASSERT_NE(backend, nullptr);
        EXPECT_EQ(backend->screen().screenSize(), (TSize{1366, 768}));
    }
}

// DISPLAY set for one test and put back as it was.
class SessionDisplay {
public:
    explicit SessionDisplay(const std::string& name) {
        if (const char* value = std::getenv("DISPLAY"))
            m_saved = value;
        ::setenv("DISPLAY", name.c_str(), 1);
    }
    ~SessionDisplay() {
        if (m_saved)
            ::setenv("DISPLAY", m_saved->c_str(), 1);
        else
            ::unsetenv("DISPLAY");
    }
    SessionDisplay(const SessionDisplay&) = delete;
    SessionDisplay& operator=(const SessionDisplay&) = delete;

private:
    std::optional<std::string> m_saved;
};

// The program's way in: the session's display, or one sentence saying why there is none.
TEST(OpenBackend, OpensTheSessionsDisplayOrSaysWhyNot) {
    {
        const SessionDisplay none(":987");
        std::string failure;
        EXPECT_EQ(openBackend(failure), nullptr);
        EXPECT_EQ(failure, x11UnavailableReason(":987"));
    }
    XvfbServer server({.width = 800, .height = 600});
    const SessionDisplay session(server.displayName());
    std::string failure;
    const std::unique_ptr<IBackend> backend = openBackend(failure);
    ASSERT_NE(backend, nullptr) << failure;
    EXPECT_EQ(backend->screen().screenSize(), (TSize{800, 600}));
}

TEST(X11Backend, OpensWholeOrNotAtAll) {
    EXPECT_EQ(X11Backend::open(":987"), nullptr);
    XvfbServer server({.width = 800, .height = 600});
    const auto backend = X11Backend::open(server.displayName());
    ASSERT_NE(backend, nullptr);
    EXPECT_EQ(backend->screen().screenSize(), (TSize{800, 600}));
    backend->mouse().setCursorPos(12, 34);
    EXPECT_EQ(backend->mouse().cursorPos(), (TPoint{12, 34}));
    EXPECT_GT(backend->hotKeys().fileDescriptor(), 2);
}

class X11ErrorTrapTest : public testing::Test {
protected:
    XvfbServer server;
    std::unique_ptr<X11Connection> connection = X11Connection::open(server.displayName());
    Display* display = connection->display();
    // An id the server never gave out: every request on it fails with BadWindow.
    const Window missing = 0x0FFFFFF0;
};

TEST_F(X11ErrorTrapTest, AnErrorOutsideATrapIsDroppedAndTheConnectionGoesOn) {
    XMapWindow(display, missing);
    XSync(display, False);
    EXPECT_GT(DisplayWidth(display, DefaultScreen(display)), 0);
    X11ErrorTrap trap(display);
    XNoOp(display);
    EXPECT_FALSE(trap.syncAndCheck());
}

TEST_F(X11ErrorTrapTest, ATrapReportsTheFirstErrorOfItsOwnConnectionOnly) {
    auto other = X11Connection::open(server.displayName());
    X11ErrorTrap trap(display);
    XMapWindow(other->display(), missing);
    XSync(other->display(), False);
    EXPECT_FALSE(trap.syncAndCheck());

    XMapWindow(display, missing);
    XFreePixmap(display, missing);
    EXPECT_TRUE(trap.syncAndCheck());
    EXPECT_EQ(trap.firstErrorCode(), BadWindow);
}

// A toolkit started after the backend (Qt's xcb platform does) installs an error handler of its own.
TEST_F(X11ErrorTrapTest, AHandlerInstalledLaterNeitherBlindsATrapNorIsLost) {
    static int seenByToolkit = 0;
    seenByToolkit = 0;
    const XErrorHandler before = XSetErrorHandler([](Display*, XErrorEvent*) { return ++seenByToolkit, 0; });
    {
        X11ErrorTrap trap(display);
        XMapWindow(display, missing);
        EXPECT_TRUE(trap.syncAndCheck());
        EXPECT_EQ(trap.firstErrorCode(), BadWindow);
    }
    EXPECT_EQ(seenByToolkit, 0);
    XMapWindow(display, missing);
    XSync(display, False);
    EXPECT_EQ(seenByToolkit, 1) << "the toolkit's handler is back after the trap";
    XSetErrorHandler(before);
}

TEST_F(X11ErrorTrapTest, NestedTrapsKeepTheirOwnErrors) {
    X11ErrorTrap outer(display);
    {
        X11ErrorTrap inner(display);
        XMapWindow(display, missing);
        EXPECT_TRUE(inner.syncAndCheck());
    }
    EXPECT_FALSE(outer.syncAndCheck());
}
} // namespace
