#include "ui/qt/ClickEditorDialog.h"
#include "platform/fake/FakePlatform.h"
#include "ui/qt/ClickEditorPanel.h"
#include "ui/qt/ScopeOverlay.h"
#include "ui/qt/UiTestSupport.h"

#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {
class DialogTest : public ::testing::Test {
protected:
    DialogTest() {
        dialog.show();
        frame.rbFixed->click();
    }

    FakePlatform fake;
    TClickEditorDialog dialog{fake.mouse, fake.screen};
    TClickEditorPanel& frame = *dialog.frame();
};
} // namespace

TEST_F(DialogTest, ATypedCharacterEndsTheCaptureAndStillReachesItsEdit) {
    frame.btnCaptureClick();
    frame.edPY->setFocus();
    frame.edPY->setText("12");
    QTest::keyClick(frame.edPY, Qt::Key_5);
    EXPECT_FALSE(frame.capture().capturingPoint());
    EXPECT_FALSE(frame.capture().timerRunning());
    EXPECT_EQ(frame.edPY->text(), "125");
}

TEST_F(DialogTest, KeysThatTypeNothingLeaveTheCaptureRunning) {
    frame.btnCaptureClick();
    for (Qt::Key key : {Qt::Key_Shift, Qt::Key_Control, Qt::Key_Left, Qt::Key_Down, Qt::Key_F5, Qt::Key_Tab})
        QTest::keyClick(&frame, key);
    EXPECT_TRUE(frame.capture().capturingPoint());
    QTest::keyClick(&frame, Qt::Key_Space);
    EXPECT_FALSE(frame.capture().capturingPoint()) << "the space bar types a character";
}

TEST_F(DialogTest, EnterAndEscapeAreCharactersThatEndTheCapture) {
    const std::vector<std::pair<Qt::Key, QString>> keys{
        {Qt::Key_Return, "\r"}, {Qt::Key_Enter, "\r"}, {Qt::Key_Escape, "\x1b"}, {Qt::Key_Backspace, "\b"}};
    for (const auto& [key, text] : keys) {
        frame.btnCaptureClick();
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(&frame, &press);
        EXPECT_FALSE(frame.capture().capturingPoint()) << key;
    }
    EXPECT_TRUE(dialog.isVisible()) << "Escape closes nothing, Enter presses no button without its focus";
}

TEST_F(DialogTest, EnterPressesTheFocusedButton) {
    dialog.cancelButton()->setFocus();
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
    QApplication::sendEvent(dialog.cancelButton(), &enter);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST_F(DialogTest, KeysTypedOutsideTheDialogDoNotEndItsCapture) {
    QLineEdit elsewhere;
    elsewhere.show();
    frame.btnCaptureClick();
    QTest::keyClick(&elsewhere, Qt::Key_A);
    EXPECT_TRUE(frame.capture().capturingPoint());
}

TEST_F(DialogTest, OkEndsTheCaptureAndAccepts) {
    frame.btnCaptureClick();
    dialog.btnOKClick();
    EXPECT_FALSE(frame.capture().capturingPoint());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(DialogTest, ClosingStopsTheCaptureTimer) {
    frame.btnCaptureClick();
    dialog.close();
    EXPECT_FALSE(frame.capture().timerRunning());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST_F(DialogTest, OkWithAnEmptyEditIsRefusedNamingTheFieldAndFocusingIt) {
    frame.edIntMinute->clear();
    QString shown;
    whenModal<QMessageBox>([&](QMessageBox& box) {
        shown = box.text();
        box.accept();
    });
    dialog.btnOKClick();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(shown.contains("\"Min\" is empty")) << shown.toStdString();
    EXPECT_EQ(dialog.focusWidget(), frame.edIntMinute);
}

TEST_F(DialogTest, ShowModalGivesOneForOkAndTwoOtherwise) {
    dialog.hide();
    whenModal<TClickEditorDialog>([](TClickEditorDialog& shown) { shown.okButton()->click(); });
    EXPECT_EQ(dialog.ShowModal(), mrOk);
    whenModal<TClickEditorDialog>([](TClickEditorDialog& shown) { shown.cancelButton()->click(); });
    EXPECT_EQ(dialog.ShowModal(), mrCancel);
    whenModal<TClickEditorDialog>([](TClickEditorDialog& shown) { shown.close(); });
    EXPECT_EQ(dialog.ShowModal(), mrCancel);
}

TEST_F(DialogTest, CaptionAndSizeAreTheEditors) {
    EXPECT_EQ(dialog.windowTitle(), "Click Info");
    dialog.setCaption("Edit Mouse Action");
    EXPECT_EQ(dialog.windowTitle(), "Edit Mouse Action");
    EXPECT_EQ(dialog.size(), QSize(435, 607));
    EXPECT_FALSE(dialog.okButton()->autoDefault());
    EXPECT_FALSE(dialog.cancelButton()->autoDefault());
}

TEST_F(DialogTest, CaptureScopeHidesTheDialogAndFillsTheScopeFromTheDrag) {
    fake.screen.resize(640, 480);
    bool hiddenDuringOverlay = false;
    whenModal<TScopeOverlay>([&](TScopeOverlay& overlay) {
        hiddenDuringOverlay = !dialog.isVisible();
        overlay.OverlayMouseDown(500, 400);
        overlay.OverlayMouseMove(300, 200);
        overlay.OverlayMouseUp(100, 50);
    });
    frame.btnCaptureScope->click();
    EXPECT_TRUE(hiddenDuringOverlay);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(frame.edColorL->text(), "500");
    EXPECT_EQ(frame.edColorT->text(), "400");
    EXPECT_EQ(frame.edColorR->text(), "100");
    EXPECT_EQ(frame.edColorB->text(), "50");
}

TEST_F(DialogTest, CaptureScopeClosedWithoutADragKeepsTheScope) {
    fake.screen.resize(640, 480);
    whenModal<TScopeOverlay>([](TScopeOverlay& overlay) { overlay.close(); });
    frame.btnCaptureScope->click();
    EXPECT_EQ(frame.edColorL->text(), "0");
    EXPECT_EQ(frame.edColorB->text(), "768");
}

TEST_F(DialogTest, ChoosingAFileThatDoesNotExistWarnsAndChangesNothing) {
    frame.rbBMP->click();
    QString warning;
    whenModal<QFileDialog>([&](QFileDialog& chooser) {
        EXPECT_TRUE(chooser.nameFilters().join(";").contains("*.bmp"));
        whenModal<QMessageBox>([&](QMessageBox& box) {
            warning = box.windowTitle() + ": " + box.text();
            box.accept();
        });
        chooser.selectFile("/nonexistent-folder-of-tappora/missing.bmp");
        static_cast<QDialog&>(chooser).accept();
    });
    frame.btnBMP->click();
    EXPECT_EQ(warning, "Warning: The file does not exist.");
    EXPECT_TRUE(frame.picture().isNull());
}
