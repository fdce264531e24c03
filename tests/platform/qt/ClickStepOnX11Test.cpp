// gtest first: the X headers define None, which gtest uses as a name.
#include <gtest/gtest.h>

#include "engine/ClickRunner.h"
#include "engine/Search.h"
#include "platform/qt/QtEventLoop.h"
#include "platform/x11/X11Backend.h"

#include "TargetClient.h"
#include "XvfbServer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <memory>
#include <vector>

namespace {
using Kind = ButtonRecord::Kind;

// Runners on the real backend and the Qt loop, clicking at the target.
class ClickStepOnX11 : public testing::Test {
protected:
    static void SetUpTestSuite() { application = std::make_unique<QCoreApplication>(argc, argv); }
    static void TearDownTestSuite() { application.reset(); }

    std::unique_ptr<TClickRunner> fixedPointClick(int x, int y, TMouseType button, TActionType action) {
        auto click = std::make_unique<TClickRunner>(platform);
        click->pointType = ptFixed;
        click->fPosX = x;
        click->fPosY = y;
        click->mouseType = button;
        click->actionType = action;
        click->iClickInterval = 10;
        click->stopType = spRepeat;
        click->fRepeat = 1;
        return click;
    }

    void runWhile(const TClickRunner& runner) {
        const QDeadlineTimer deadline(30000);
        while (runner.running && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    }

    static inline int argc = 1;
    static inline char name[] = "x11_qt_tests";
    static inline char* argv[] = {name, nullptr};
    static inline std::unique_ptr<QCoreApplication> application;
    XvfbServer server;
    std::unique_ptr<X11Backend> backend = X11Backend::open(server.displayName());
    QtEventLoop loop;
    Platform platform{backend->mouse(), backend->screen(), loop, backend->clock(), backend->hotKeys()};
    TargetClient target{server.displayName()};
};

TEST_F(ClickStepOnX11, RightDoubleClickAtAFixedPointThenBackAndLeftClickAtTheOrigin) {
    backend->mouse().setCursorPos(40, 50);
    auto click = fixedPointClick(300, 200, mtRight, atDouble);
    click->finishType = ftBackClick;
    click->Start();
    runWhile(*click);

    const std::vector<ButtonRecord> expected{{Kind::Press, 3, 300, 200}, {Kind::Release, 3, 300, 200},
                                             {Kind::Press, 3, 300, 200}, {Kind::Release, 3, 300, 200},
                                             {Kind::Press, 1, 40, 50},   {Kind::Release, 1, 40, 50}};
    EXPECT_EQ(target.waitForButtonEvents(expected.size()), expected);
    EXPECT_EQ(backend->mouse().cursorPos(), (TPoint{40, 50}));
}

TEST_F(ClickStepOnX11, ButtonDownFromOneClickAndUpFromAnother) {
    auto down = fixedPointClick(100, 120, mtMiddle, atDown);
    auto up = fixedPointClick(500, 400, mtMiddle, atUp);
    down->Start();
    runWhile(*down);
    up->Start();
    runWhile(*up);

    const std::vector<ButtonRecord> expected{{Kind::Press, 2, 100, 120}, {Kind::Release, 2, 500, 400}};
    EXPECT_EQ(target.waitForButtonEvents(expected.size()), expected);
}
TEST_F(ClickStepOnX11, SearchesSeeOnlyTheScreenNeverBlackBeyondItsEdgeNorAScopeOffIt) {
    // The whole 1366 x 768 screen grey, one black pixel in its top-left corner.
    target.paint(0, 0, 1366, 768, [](int x, int y) { return x == 0 && y == 0 ? 0x000000u : 0x808080u; });
    IScreen& screen = backend->screen();
    // Partly past the right and bottom edges: the part beyond shows no black, so none is found there.
    EXPECT_EQ(SearchColorBlock(screen, "clBlack", 1300, 700, 1500, 900, 100), (TPoint{-1, -1}));
    EXPECT_EQ(SearchColorBlock(screen, "clBlack", 1300, 700, 1500, 900, 90), (TPoint{-1, -1}));
    // Wholly off the screen: nothing, not the black pixel at the corner the scope never named.
    EXPECT_EQ(SearchColorBlock(screen, "clBlack", 5000, 5000, 5300, 5300, 100), (TPoint{-1, -1}));
    EXPECT_EQ(SearchColorBlock(screen, "clBlack", 1366, 0, 1400, 100, 100), (TPoint{-1, -1}));
    // The part on the screen is searched.
    target.paint(1365, 767, 1, 1, [](int, int) { return 0x000000u; });
    EXPECT_EQ(SearchColorBlock(screen, "clBlack", 1300, 700, 1500, 900, 100), (TPoint{1365, 767}));
    EXPECT_EQ(SearchColorBlock(screen, "clBlack", -50, -50, 20, 20, 100), (TPoint{0, 0}));
}
} // namespace
