#include "ui/qt/OptionsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {
const TOptionsChoices kShown{{{"Name", true}, {"Click Point", false}, {"Action Stats", true}}, false};

std::vector<bool> ticks(const TOptionsDialog& dialog) {
    std::vector<bool> result;
    for (int i = 0; i < dialog.clbList->count(); ++i)
        result.push_back(dialog.clbList->item(i)->checkState() == Qt::Checked);
    return result;
}
} // namespace

TEST(OptionsTest, ShowsTheColumnsInTheirOrderTickedByVisibilityAndTheAutoStart) {
    TOptionsDialog dialog;
    dialog.showChoices(kShown);
    ASSERT_EQ(dialog.clbList->count(), 3);
    EXPECT_EQ(dialog.clbList->item(0)->text(), "Name");
    EXPECT_EQ(dialog.clbList->item(2)->text(), "Action Stats");
    EXPECT_EQ(ticks(dialog), (std::vector<bool>{true, false, true}));
    EXPECT_FALSE(dialog.cbAuto->isChecked());
    EXPECT_EQ(dialog.choices(), kShown) << "unchanged controls give back what they were shown";

    dialog.showChoices({{{"Name", false}}, true});
    EXPECT_EQ(ticks(dialog), std::vector<bool>{false}) << "shown again, the list is replaced";
    EXPECT_TRUE(dialog.cbAuto->isChecked());
}

TEST(OptionsTest, OkGivesBackTheUsersChoices) {
    TOptionsDialog dialog;
    dialog.showChoices(kShown);
    dialog.clbList->item(0)->setCheckState(Qt::Unchecked);
    dialog.clbList->item(1)->setCheckState(Qt::Checked);
    dialog.cbAuto->setChecked(true);
    dialog.btnOKClick();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.choices(),
              (TOptionsChoices{{{"Name", false}, {"Click Point", true}, {"Action Stats", true}}, true}));
}

TEST(OptionsTest, ThePrimaryOutputListIsShownOnlyWithItemsAboveTheButtonsAndGivesBackThePick) {
    TOptionsDialog dialog;
    TOptionsChoices shown = kShown;
    shown.primaryOutput = {{"At the layout's origin", "HEADLESS-1"}, {"", "HEADLESS-1"}, 1};
    dialog.showChoices(shown);
    EXPECT_FALSE(dialog.cbPrimaryOutput->isHidden());
    EXPECT_GT(dialog.btnOK->y(), dialog.cbPrimaryOutput->geometry().bottom());
    dialog.cbPrimaryOutput->setCurrentIndex(0);
    shown.primaryOutput.selected = 0;
    EXPECT_EQ(dialog.choices(), shown);

    dialog.showChoices(kShown);
    EXPECT_TRUE(dialog.cbPrimaryOutput->isHidden());
}

// Below the primary output, where the desktop asks its leave before the first click.
TEST(OptionsTest, TheDesktopsQuestionIsOfferedBelowThePrimaryOutputOnlyWhereTheDesktopAsks) {
    TOptionsDialog dialog;
    TOptionsChoices shown = kShown;
    shown.primaryOutput = {{"At the layout's origin", "Meta-0"}, {"", "Meta-0"}, 0};
    shown.askDesktop = "Ask the desktop now";
    dialog.showChoices(shown);
    EXPECT_FALSE(dialog.cbAskDesktop->isHidden());
    EXPECT_GT(dialog.cbAskDesktop->y(), dialog.cbPrimaryOutput->geometry().bottom());
    EXPECT_GT(dialog.btnOK->y(), dialog.cbAskDesktop->geometry().bottom());
    dialog.cbAskDesktop->setChecked(true);
    shown.askDesktopNow = true;
    EXPECT_EQ(dialog.choices(), shown);

    dialog.showChoices(kShown);
    EXPECT_TRUE(dialog.cbAskDesktop->isHidden());
    EXPECT_FALSE(dialog.choices().askDesktopNow);
}

TEST(OptionsTest, CancelAndTheCloseBoxEndTheDialogUnaccepted) {
    for (bool byCloseBox : {false, true}) {
        TOptionsDialog dialog;
        dialog.showChoices(kShown);
        dialog.show();
        dialog.clbList->item(0)->setCheckState(Qt::Unchecked);
        byCloseBox ? (void)dialog.close() : dialog.btnCancelClick();
        EXPECT_NE(dialog.result(), QDialog::Accepted);
    }
}

// The stop-all key's list and the corner's check box give back the user's pick; a corner that cannot be watched says
// why and cannot be ticked.
TEST(OptionsTest, TheStopAllKeyAndTheCornerGiveBackThePickAndAnUnavailableCornerSaysWhy) {
    TOptionsDialog dialog;
    TOptionsChoices shown = kShown;
    shown.stopAllKey = {{"None", "Ctrl+Shift+F11"}, {"None", "Ctrl+Shift+F11"}, 1};
    dialog.showChoices(shown);
    dialog.cbStopAllKey->setCurrentIndex(0);
    dialog.cbCornerStop->setChecked(true);
    shown.stopAllKey.selected = 0;
    shown.cornerStop = true;
    EXPECT_EQ(dialog.choices(), shown);
    shown.cornerStopUnavailable = "Wayland hides the pointer, so no corner can stop the clicks.";
    dialog.showChoices(shown);
    EXPECT_FALSE(dialog.cbCornerStop->isEnabled() || dialog.cbCornerStop->isChecked());
    EXPECT_EQ(dialog.cbCornerStop->accessibleName().toStdString(), shown.cornerStopUnavailable);
}
