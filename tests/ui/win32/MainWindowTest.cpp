#include "ui/win32/MainWindow.h"

#include "TapporaVersion.h"
#include "Win32UiSupport.h"
#include "control/ClickListController.h"
#include "model/ClickListFile.h"
#include "model/Config.h"
#include "platform/fake/FakePlatform.h"
#include "platform/win32/Utf16.h"
#include "ui/win32/ClickList.h"
#include "ui/win32/OptionsDialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>

namespace {
const char* const kTwoClicks = R"(<item fName="First" hkStart="1" hkStop="2" checked="True"/>)"
                               R"(<item fName="Second" hkStart="4" hkStop="5" checked="False"/>)";

class MainWindowTest : public ::testing::Test {
protected:
    MainWindowTest() { initCommonControls(); }
    ~MainWindowTest() override { form.reset(); }

    void writeList(const std::string& items) {
        std::ofstream(temp.path() / kClickListFileName)
            << R"(<?xml version="1.0" encoding="utf-8"?><list versionNo="1.0">)" << items << "</list>";
    }
    TMainWindow& start() {
        form = std::make_unique<TMainWindow>(fake.platform, shell, temp.path().string());
        form->setOnClosed([this] { closed = true; });
        form->show();
        pumpMessages();
        return *form;
    }
    HWND list() const { return form->list().handle(); }
    std::string cell(int row, int shownColumn) const {
        wchar_t text[256] = L"";
        ListView_GetItemText(list(), row, shownColumn, text, 256);
        return toUtf8(text);
    }
    void command(int id) { SendMessageW(form->handle(), WM_COMMAND, WPARAM(id), 0); }

    FakePlatform fake;
    RecordingShell shell;
    TempFolder temp;
    std::unique_ptr<TMainWindow> form;
    bool closed = false;
};
} // namespace

TEST_F(MainWindowTest, ShowsItsCaptionToolbarHintsAndMenu) {
    start();
    EXPECT_EQ(windowText(form->handle()), TAPPORA_TITLE);
    EXPECT_TRUE(GetWindowLongW(form->handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    const std::vector<std::pair<std::string, std::string>> expected{{"&New", "Create a new Click"},
                                                                    {"&Edit", "Modify Selected Click"},
                                                                    {"&Delete", "Delete Selected Click"},
                                                                    {"&Start", "Start Checked Click to Run"},
                                                                    {"S&top", "Stop All Running Click"},
                                                                    {"&Options", "Config Visible Columns"},
                                                                    {"E&xit", "Exit"}};
    ASSERT_EQ(SendMessageW(form->toolBar(), TB_BUTTONCOUNT, 0, 0), LRESULT(expected.size()));
    for (std::size_t index = 0; index < expected.size(); ++index) {
        TBBUTTON button{};
        SendMessageW(form->toolBar(), TB_GETBUTTON, index, LPARAM(&button));
        EXPECT_EQ(button.idCommand, int(TMainWindow::cmNew + index));
        wchar_t caption[64] = L"";
        SendMessageW(form->toolBar(), TB_GETBUTTONTEXTW, WPARAM(button.idCommand), LPARAM(caption));
        EXPECT_EQ(toUtf8(caption), expected[index].first);
        NMTTDISPINFOW tip{};
        tip.hdr.hwndFrom = HWND(SendMessageW(form->toolBar(), TB_GETTOOLTIPS, 0, 0));
        tip.hdr.idFrom = UINT_PTR(button.idCommand);
        tip.hdr.code = TTN_GETDISPINFOW;
        SendMessageW(form->handle(), WM_NOTIFY, 0, LPARAM(&tip));
        ASSERT_NE(tip.lpszText, nullptr);
        EXPECT_EQ(toUtf8(tip.lpszText), expected[index].second);
    }
    HMENU menu = GetMenu(form->handle());
    ASSERT_EQ(GetMenuItemCount(menu), 2);
    wchar_t item[32] = L"";
    GetMenuStringW(menu, 0, item, 32, MF_BYPOSITION);
    EXPECT_EQ(toUtf8(item), "About");
    GetMenuStringW(menu, 1, item, 32, MF_BYPOSITION);
    EXPECT_EQ(toUtf8(item), "Help");
    command(TMainWindow::cmHelp);
    EXPECT_EQ(shell.opened.size(), 1u);
}

TEST_F(MainWindowTest, RowsShowTheControllersTextsAndCheckBoxes) {
    writeList(kTwoClicks);
    start();
    ASSERT_EQ(ListView_GetItemCount(list()), 2);
    EXPECT_TRUE(ListView_GetExtendedListViewStyle(list()) & LVS_EX_CHECKBOXES);
    EXPECT_TRUE(ListView_GetExtendedListViewStyle(list()) & LVS_EX_GRIDLINES);
    EXPECT_TRUE(ListView_GetExtendedListViewStyle(list()) & LVS_EX_HEADERDRAGDROP);
    EXPECT_EQ(cell(0, 0), "First");
    EXPECT_EQ(cell(1, 0), "Second");
    EXPECT_TRUE(ListView_GetCheckState(list(), 0));
    EXPECT_FALSE(ListView_GetCheckState(list(), 1));

    ListView_SetCheckState(list(), 1, TRUE);
    ListView_SetCheckState(list(), 0, FALSE);
    EXPECT_TRUE(form->controller()->RowChecked(1)) << "the check box reaches the controller";
    EXPECT_FALSE(form->controller()->RowChecked(0));
    command(TMainWindow::cmStart);
    EXPECT_TRUE(form->controller()->Runner(1).running);
    EXPECT_FALSE(form->controller()->Runner(0).running);
    const std::vector<int> shown = form->list().shownColumns();
    const auto stats = std::find(shown.begin(), shown.end(), 10);
    ASSERT_NE(stats, shown.end());
    EXPECT_EQ(cell(1, int(stats - shown.begin())), "running 0 times");
}

TEST_F(MainWindowTest, HiddenColumnsLeaveTheListAndKeepTheirWidthAndPlace) {
    start();
    const std::vector<int> shown = form->list().shownColumns();
    EXPECT_EQ(shown.size(), 10u) << "\"After Click Action\" is hidden by default";
    EXPECT_EQ(std::find(shown.begin(), shown.end(), 9), shown.end());
    form->setColumnWidth(9, 123);
    EXPECT_EQ(form->columnWidth(9), 123);
    EXPECT_EQ(form->columnPosition(9), 9);
    form->setColumnVisible(9, true);
    EXPECT_EQ(form->list().shownColumns().size(), 11u);
    EXPECT_EQ(form->columnWidth(9), 123);
}

TEST_F(MainWindowTest, ColumnsDraggedByTheUserAreReadBackInTheirNewPlaces) {
    start();
    const int shown = Header_GetItemCount(ListView_GetHeader(list()));
    std::vector<int> order(std::size_t(shown), 0);
    ListView_GetColumnOrderArray(list(), shown, order.data());
    std::swap(order[0], order[1]);
    ListView_SetColumnOrderArray(list(), shown, order.data());
    EXPECT_EQ(form->columnPosition(0), 1);
    EXPECT_EQ(form->columnPosition(1), 0);
    EXPECT_EQ(form->columnPosition(9), 9) << "a hidden column keeps its place";
    ListView_SetColumnWidth(list(), 0, 77);
    EXPECT_EQ(form->columnWidth(0), 77);
    form->controller()->ApplyColumns();
    EXPECT_EQ(form->columnPosition(0), 0) << "the stored layout comes back";
    EXPECT_EQ(form->list().mainColumn(), 0);
}

TEST_F(MainWindowTest, MinimisingHidesToTheIconAndALeftClickOnItTogglesTheWindow) {
    start();
    if (!form->trayIconShown())
        GTEST_SKIP() << "no notification area";
    SendMessageW(form->handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_FALSE(IsWindowVisible(form->handle()));
    SendMessageW(form->handle(), TMainWindow::WM_TRAYICON, 1, WM_RBUTTONUP);
    EXPECT_FALSE(IsWindowVisible(form->handle())) << "only a left click toggles";
    SendMessageW(form->handle(), TMainWindow::WM_TRAYICON, 1, WM_LBUTTONUP);
    EXPECT_TRUE(IsWindowVisible(form->handle()));
    EXPECT_FALSE(IsIconic(form->handle()));
    SendMessageW(form->handle(), TMainWindow::WM_TRAYICON, 1, WM_LBUTTONUP);
    EXPECT_FALSE(IsWindowVisible(form->handle()));
}

TEST_F(MainWindowTest, TheEndOfTheSessionSavesBothFiles) {
    start();
    form->controller()->AddClick(std::make_unique<TClickRunner>(fake.platform));
    EXPECT_EQ(SendMessageW(form->handle(), WM_QUERYENDSESSION, 0, 0), TRUE);
    SendMessageW(form->handle(), WM_ENDSESSION, TRUE, 0);
    EXPECT_NE(readWholeFile(temp.path() / kClickListFileName).find("<item "), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(temp.path() / "TapporaConfig.xml"));
}

TEST_F(MainWindowTest, ExitAndTheCloseBoxSaveAndEndTheProgram) {
    for (UINT how : {UINT(WM_COMMAND), UINT(WM_CLOSE)}) {
        closed = false;
        std::filesystem::remove(temp.path() / kClickListFileName);
        start();
        form->controller()->AddClick(std::make_unique<TClickRunner>(fake.platform));
        SendMessageW(form->handle(), how, how == WM_COMMAND ? WPARAM(TMainWindow::cmExit) : 0, 0);
        EXPECT_TRUE(closed);
        EXPECT_FALSE(IsWindow(form->handle()));
        EXPECT_NE(readWholeFile(temp.path() / kClickListFileName).find("<item "), std::string::npos);
        form.reset();
    }
}

TEST_F(MainWindowTest, ACloseWhileADialogIsOpenEndsTheDialogFirst) {
    start();
    PostMessageW(form->handle(), WM_CLOSE, 0, 0);
    command(TMainWindow::cmOptions);
    EXPECT_EQ(TModalWindow::running(), 0);
    for (int i = 0; i < 20 && !closed; ++i)
        pumpMessages();
    EXPECT_TRUE(closed);
    EXPECT_TRUE(std::filesystem::exists(temp.path() / kClickListFileName));
}

TEST_F(MainWindowTest, OptionsShowsTheSettingsAndOkShowsTheColumnsTheUserTicked) {
    start();
    ASSERT_EQ(form->list().shownColumns().size(), 10u);
    std::vector<std::string> offered;
    whenWindowAppears("Config Options", [&](HWND window) {
        // A window keeps its object in its user data.
        auto* dialog =
            dynamic_cast<TOptionsDialog*>(reinterpret_cast<TWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA)));
        ASSERT_NE(dialog, nullptr);
        for (int item = 0; item < dialog->itemCount(); ++item)
            offered.push_back(dialog->itemText(item) + (dialog->itemChecked(item) ? "+" : "-"));
        dialog->setItemChecked(9, true);
        SendMessageW(dialog->cbAuto, BM_SETCHECK, BST_CHECKED, 0);
        PostMessageW(dialog->btnOK, BM_CLICK, 0, 0);
    });
    command(TMainWindow::cmOptions);
    ASSERT_EQ(offered.size(), 11u);
    EXPECT_EQ(offered[0], "Name+");
    EXPECT_EQ(offered[9], "After Click Action-");
    EXPECT_EQ(form->list().shownColumns().size(), 11u);
    EXPECT_TRUE(form->controller()->Config().GetFrame().Getautorun());
}

TEST_F(MainWindowTest, TheWindowTellsItsBoundsAndMonitors) {
    start();
    const std::vector<TRect> monitors = form->monitorAreas();
    ASSERT_FALSE(monitors.empty());
    EXPECT_GT(monitors.front().width, 0);
    form->setWindowBounds({20, 30, 600, 320});
    EXPECT_EQ(form->windowBounds(), (TRect{20, 30, 600, 320}));
    EXPECT_FALSE(form->windowMaximized());
}

TEST_F(MainWindowTest, AltWithACaptionsUnderlinedLetterPressesItsButton) {
    writeList(kTwoClicks);
    start();
    command(TMainWindow::cmStart);
    ASSERT_TRUE(form->controller()->Runner(0).running);
    MSG plain{list(), WM_KEYDOWN, 'T', 0, 0, {}};
    EXPECT_FALSE(form->translateAccelerator(plain));
    EXPECT_TRUE(form->controller()->Runner(0).running);
    // Alt held, as the thread's keyboard state says.
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_MENU] = 0x80;
    SetKeyboardState(keys);
    MSG alt{list(), WM_SYSKEYDOWN, 'T', LPARAM(1) << 29, 0, {}};
    EXPECT_TRUE(form->translateAccelerator(alt));
    keys[VK_MENU] = 0;
    SetKeyboardState(keys);
    EXPECT_FALSE(form->controller()->Runner(0).running) << "Alt+T is S&top";
}

TEST_F(MainWindowTest, DeleteAsksFirstAndNoKeepsTheClick) {
    writeList(kTwoClicks);
    start();
    ListView_SetItemState(list(), 1, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
    for (int answer : {IDNO, IDYES}) {
        std::string question;
        whenWindowAppears("Warning", [&](HWND box) {
            question = "asked";
            PostMessageW(box, WM_COMMAND, WPARAM(answer), 0);
        });
        command(TMainWindow::cmDelete);
        EXPECT_EQ(question, "asked");
        EXPECT_EQ(ListView_GetItemCount(list()), answer == IDNO ? 2 : 1);
    }
    EXPECT_EQ(cell(0, 0), "First");
    EXPECT_EQ(form->controller()->RowCount(), 1);
}

TEST_F(MainWindowTest, TheCheckBoxesGoToTheFirstVisibleColumn) {
    writeList(kTwoClicks);
    start();
    form->controller()->Config().GetCols().Item(0).SetVisible(false);
    form->controller()->ApplyColumns();
    EXPECT_EQ(form->list().mainColumn(), 1);
    const std::vector<int> shown = form->list().shownColumns();
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.front(), 1);
    EXPECT_EQ(cell(0, 0), "Click on mouse current point") << "the list view's first column, with the check boxes";
    EXPECT_TRUE(ListView_GetCheckState(list(), 0));
    for (int column = 0; column < 11; ++column)
        form->controller()->Config().GetCols().Item(column).SetVisible(false);
    form->controller()->ApplyColumns();
    EXPECT_TRUE(form->list().shownColumns().empty()) << "every column may be hidden";
    EXPECT_EQ(ListView_GetItemCount(list()), 2);
}

TEST_F(MainWindowTest, AChangeThatCannotBeSavedIsToldOnlyAfterTheListsNotificationReturns) {
    writeList(kTwoClicks);
    start();
    const std::filesystem::path listFile = temp.path() / kClickListFileName;
    std::filesystem::remove(listFile);
    std::filesystem::create_directories(listFile / "blocker");
    bool notifying = true;
    std::string told;
    whenWindowAppears("Warning", [&](HWND box) {
        told = notifying ? "inside the notification" : "afterwards";
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    ListView_SetCheckState(list(), 0, FALSE);
    notifying = false;
    pumpMessages();
    EXPECT_EQ(told, "afterwards");
    std::filesystem::remove_all(listFile);
}

// A settings file means the same window in both front ends: its bounds are the outer frame, and they are written
// back unchanged.
TEST_F(MainWindowTest, StoredBoundsAreTheOuterFrameAndAreWrittenBackUnchanged) {
    {
        TConfig settings(temp.path().string());
        settings.GetFrame().Setleft(40);
        settings.GetFrame().Settop(50);
        settings.GetFrame().Setwidth(600);
        settings.GetFrame().Setheight(320);
        std::vector<std::string> told;
        settings.SaveConfig(told);
    }
    start();
    RECT outer{};
    GetWindowRect(form->handle(), &outer);
    EXPECT_EQ((TRect{int(outer.left), int(outer.top), int(outer.right - outer.left), int(outer.bottom - outer.top)}),
              (TRect{40, 50, 600, 320}));
    command(TMainWindow::cmExit);
    const TConfig settings(temp.path().string());
    const TXMLFrameType frame = settings.GetFrame();
    EXPECT_EQ((TRect{frame.Getleft(), frame.Gettop(), frame.Getwidth(), frame.Getheight()}), (TRect{40, 50, 600, 320}));
}

// The list's own tooltip asks for the tip of the row under the pointer; a click that searches nothing has none.
TEST_F(MainWindowTest, TheTipIsThatOfTheRowUnderThePointer) {
    writeList(
        R"(<item fName="Plain" hkStart="1" hkStop="2"/><item fName="Red" pointType="2" hkStart="4" hkStop="5"/>)");
    start();
    for (const auto& [row, tip] : {std::pair{0, ""}, std::pair{1, "Not searched since the click was started."}}) {
        RECT bounds{};
        ListView_GetItemRect(list(), row, &bounds, LVIR_BOUNDS);
        POINT pointer{bounds.left + 10, (bounds.top + bounds.bottom) / 2};
        ClientToScreen(list(), &pointer);
        SetCursorPos(pointer.x, pointer.y);
        NMTTDISPINFOW asked{};
        asked.hdr.hwndFrom = form->list().rowTip();
        asked.hdr.code = TTN_GETDISPINFOW;
        SendMessageW(form->handle(), WM_NOTIFY, 0, LPARAM(&asked));
        ASSERT_NE(asked.lpszText, nullptr);
        EXPECT_EQ(toUtf8(asked.lpszText), tip) << "row " << row;
    }
}
