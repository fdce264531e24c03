#include "ui/win32/OptionsDialog.h"

#include "TapporaVersion.h"
#include "Win32UiSupport.h"
#include "model/Maker.h"
#include "platform/win32/Utf16.h"
#include "ui/win32/AboutBox.h"

#include <gtest/gtest.h>

namespace {
const TOptionsChoices kShown{{{"Name", true}, {"Click Point", false}, {"Action Stats", true}}, false};

class OptionsTest : public ::testing::Test {
protected:
    OptionsTest() { initCommonControls(); }

    TOptionsDialog dialog{nullptr};
};
} // namespace

TEST_F(OptionsTest, ShowsEveryColumnWithItsVisibilityAndTheAutoStart) {
    dialog.showChoices(kShown);
    ASSERT_EQ(dialog.itemCount(), 3);
    EXPECT_EQ(dialog.itemText(0), "Name");
    EXPECT_EQ(dialog.itemText(2), "Action Stats");
    for (int item = 0; item < 3; ++item)
        EXPECT_EQ(dialog.itemChecked(item), item != 1) << dialog.itemText(item);
    EXPECT_EQ(SendMessageW(dialog.cbAuto, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(windowText(dialog.handle()), "Config Options");
    EXPECT_EQ(dialog.choices(), kShown) << "unchanged controls give back what they were shown";
}

// The stop-all key's list and the corner's check box give back the user's pick; a corner that cannot be watched says
// why and cannot be ticked.
TEST_F(OptionsTest, TheStopAllKeyAndTheCornerGiveBackThePickAndAnUnavailableCornerSaysWhy) {
    TOptionsChoices shown = kShown;
    shown.stopAllKey = {{"None", "Ctrl+Shift+F11"}, {"None", "Ctrl+Shift+F11"}, 1};
    dialog.showChoices(shown);
    SendMessageW(dialog.cbStopAllKey, CB_SETCURSEL, 0, 0);
    SendMessageW(dialog.cbCornerStop, BM_SETCHECK, BST_CHECKED, 0);
    shown.stopAllKey.selected = 0;
    shown.cornerStop = true;
    EXPECT_EQ(dialog.choices(), shown);
    shown.cornerStopUnavailable = "Wayland hides the pointer, so no corner can stop the clicks.";
    dialog.showChoices(shown);
    EXPECT_FALSE(IsWindowEnabled(dialog.cbCornerStop) || dialog.choices().cornerStop);
    EXPECT_EQ(windowText(dialog.cbCornerStop), shown.cornerStopUnavailable);
}

TEST_F(OptionsTest, OkGivesBackTheUsersChoicesAndCancelOrTheCloseBoxEndUnaccepted) {
    for (UINT end : {UINT(IDCANCEL), UINT(WM_CLOSE), UINT(IDOK)}) {
        dialog.showChoices(kShown);
        for (int item = 0; item < dialog.itemCount(); ++item)
            dialog.setItemChecked(item, item == 1);
        SendMessageW(dialog.cbAuto, BM_SETCHECK, BST_CHECKED, 0);
        const int result = [&] {
            if (end == IDOK) {
                dialog.btnOKClick();
                return mrOk;
            }
            PostMessageW(dialog.handle(), end == WM_CLOSE ? WM_CLOSE : WM_COMMAND, end == WM_CLOSE ? 0 : end, 0);
            return dialog.ShowModal();
        }();
        EXPECT_EQ(result, end == IDOK ? mrOk : mrCancel);
        EXPECT_EQ(dialog.choices(),
                  (TOptionsChoices{{{"Name", false}, {"Click Point", true}, {"Action Stats", false}}, true}));
    }
}

TEST(AboutTest, ShowsTheTitleAndOpensTheLinks) {
    initCommonControls();
    RecordingShell shell;
    TAboutBox about(shell, nullptr);
    EXPECT_EQ(windowText(about.handle()), "About Tappora");
    EXPECT_EQ(windowText(about.lblTitle), TAPPORA_TITLE);
    EXPECT_EQ(windowText(about.lblLicense), kLicenseNotice);
    RECT client{}, license{};
    GetClientRect(about.handle(), &client);
    GetWindowRect(about.lblLicense, &license);
    MapWindowPoints(nullptr, about.handle(), reinterpret_cast<POINT*>(&license), 2);
    EXPECT_LE(license.bottom, client.bottom) << "the licence line is not cut off";
    SendMessageW(about.handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(about.lblWebAddress), STN_CLICKED),
                 LPARAM(about.lblWebAddress));
    SendMessageW(about.handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(about.lblMailAddress), STN_CLICKED),
                 LPARAM(about.lblMailAddress));
    ASSERT_EQ(shell.opened.size(), 2u);
    EXPECT_EQ(shell.opened[1].rfind("mailto:", 0), 0u);
    PostMessageW(about.handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    about.ShowModal();
    EXPECT_FALSE(about.inModalLoop()) << "a click on the background closes it";
}
