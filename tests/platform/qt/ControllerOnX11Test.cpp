// gtest first: the X headers define None, which gtest uses as a name.
#include <gtest/gtest.h>

#include "control/ClickListController.h"
#include "platform/qt/QtEventLoop.h"
#include "platform/x11/X11Backend.h"
#include "platform/x11/X11HotKeys.h"

#include "TargetClient.h"
#include "TempFolder.h"
#include "XTestKeys.h"
#include "XvfbServer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <filesystem>
#include <memory>
#include <vector>

namespace {
using Kind = ButtonRecord::Kind;

// The main window as the controller sees it, without a window.
class WindowlessView : public IClickListView {
public:
    TRect windowBounds() const override { return {10, 10, 561, 306}; }
    void setWindowBounds(const TRect&) override {}
    bool windowMaximized() const override { return false; }
    void setWindowMaximized() override {}
    std::vector<TRect> monitorAreas() const override { return {}; }
    void clearColumns() override { m_columns = 0; }
    void addColumn(const std::string&) override { ++m_columns; }
    void beginColumnUpdate() override {}
    void endColumnUpdate() override {}
    int columnWidth(int) const override { return 100; }
    void setColumnWidth(int, int) override {}
    void setColumnAlignment(int, TColumnAlignment) override {}
    void setColumnVisible(int, bool) override {}
    int columnPosition(int column) const override { return column; }
    void setColumnPosition(int, int) override {}
    void setMainColumn(int) override {}
    void rowsReset() override {}
    void rowInserted(int) override {}
    void rowRemoved(int) override {}
    void repaintRow(int) override {}
    void repaintAll() override {}
    int focusedRow() const override { return -1; }
    bool confirmDelete() override { return true; }
    std::unique_ptr<IClickEditor> createClickEditor(const std::vector<int>&) override { return nullptr; }
    std::unique_ptr<IOptionsDialog> createOptionsDialog() override { return nullptr; }
    void showFileMessage(const std::string&) override {}
    int ask(const TQuestion&) override { return kNoAnswer; }
    std::string chooseListFile(const std::string&) override { return {}; }
    void closeByUser() override {}

private:
    int m_columns = 0;
};

class ControllerOnX11 : public testing::Test {
protected:
    static void SetUpTestSuite() { application = std::make_unique<QCoreApplication>(argc, argv); }
    static void TearDownTestSuite() { application.reset(); }

    void SetUp() override {
        ASSERT_TRUE(backend);
        backend->deliverEventsThrough(loop);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    // The list file holds one fixed-point left click at (300, 200) every 10 ms, three times, started by Ctrl+F1;
    // the settings start every checked click at once.
    void writeFiles() {
        TClickListController writer(view, platform, folder);
        auto click = std::make_unique<TClickRunner>(platform);
        click->fName = "target";
        click->pointType = ptFixed;
        click->fPosX = 300;
        click->fPosY = 200;
        click->iClickInterval = 10;
        click->stopType = spRepeat;
        click->fRepeat = 3;
        click->hkStart = 0;
        writer.AddClick(std::move(click));
        writer.Config().GetFrame().Setautorun(true);
        ASSERT_TRUE(writer.Close().empty());
    }

    const std::vector<ButtonRecord>& runUntilButtonEvents(TargetClient& target, std::size_t count) {
        const QDeadlineTimer deadline(30000);
        while (target.pumpEvents().size() < count && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
        return target.pumpEvents();
    }

    static inline int argc = 1;
    static inline char name[] = "x11_qt_tests";
    static inline char* argv[] = {name, nullptr};
    static inline std::unique_ptr<QCoreApplication> application;
    XvfbServer server;
    std::unique_ptr<X11Backend> backend = X11Backend::open(server.displayName());
    QtEventLoop loop;
    Platform platform = backend->platform(loop);
    WindowlessView view;
    std::string folder = makeTempFolder("tappora-x11").string();
};

TEST_F(ControllerOnX11, AutorunClicksAtTheTargetAndTheStartHotKeyClicksAgain) {
    writeFiles();
    TargetClient target(server.displayName());
    TClickListController controller(view, platform, folder);
    ASSERT_EQ(controller.RowCount(), 1);

    std::vector<ButtonRecord> expected;
    for (int i = 0; i < 3; ++i) {
        expected.push_back({Kind::Press, 1, 300, 200});
        expected.push_back({Kind::Release, 1, 300, 200});
    }
    EXPECT_EQ(runUntilButtonEvents(target, 6), expected);
    const QDeadlineTimer deadline(30000);
    while (controller.Runner(0).running && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    EXPECT_FALSE(controller.Runner(0).running);

    Display* keyboard = XOpenDisplay(server.displayName().c_str());
    pressChord(keyboard, {XK_Control_L}, XK_F1);
    XCloseDisplay(keyboard);
    expected.insert(expected.end(), expected.begin(), expected.end());
    EXPECT_EQ(runUntilButtonEvents(target, 12), expected);
    EXPECT_TRUE(controller.Close().empty());
}
TEST_F(ControllerOnX11, AKeyAnotherProgramHoldsIsToldAtStartAndMarkedNotTaken) {
    const std::unique_ptr<X11HotKeys> otherProgram = X11HotKeys::open(server.displayName());
    ASSERT_TRUE(otherProgram);
    ASSERT_TRUE(otherProgram->registerHotKey(7, {HotKeyModifier::Control, 2}));
    TClickListController controller(view, platform, folder);
    ASSERT_EQ(controller.StartupMessages().size(), 1u);
    EXPECT_NE(controller.StartupMessages()[0].find(": CTRL+F2."), std::string::npos) << controller.StartupMessages()[0];
    EXPECT_FALSE(controller.HotKeyTaken(1));
    EXPECT_TRUE(controller.HotKeyTaken(0));
    EXPECT_TRUE(controller.HotKeyTaken(2));
    EXPECT_TRUE(controller.Close().empty());
}
} // namespace
