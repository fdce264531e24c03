#include "ui/qt/ClickEditorDialog.h"
#include "control/DesktopBinding.h"
#include "platform/fake/FakePlatform.h"
#include "ui/qt/ClickEditorPanel.h"
#include "ui/qt/ScopeOverlay.h"
#include "ui/qt/UiTestSupport.h"

#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
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
    TClickEditorDialog dialog{fake.mouse, fake.screen, fake.hotKeys};
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
    EXPECT_EQ(dialog.size(), QSize(435, 721));
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

// The pixel pressed on the overlay, with its colour as it was when the screen froze; Escape keeps what was shown.
TEST_F(DialogTest, PickingOnTheFrozenScreenShowsThePointOrTheColourThenTheEditorComesBack) {
    fake.screen.resize(640, 480);
    fake.screen.setPixel(300, 200, 0x123456);
    const auto pressAt = [this](TPoint at) {
        whenModal<TScopeOverlay>([this, at](TScopeOverlay& overlay) {
            EXPECT_FALSE(dialog.isVisible());
            fake.screen.fill(0xFFFFFF);
            overlay.OverlayMouseMove(at.x, at.y);
            overlay.OverlayMouseDown(at.x, at.y);
        });
    };
    pressAt({123, 45});
    frame.btnPickPoint->click();
    EXPECT_EQ(frame.edPX->text(), "123");
    EXPECT_EQ(frame.edPY->text(), "45");
    EXPECT_TRUE(dialog.isVisible());

    frame.rbColor->click();
    fake.screen.setPixel(300, 200, 0x123456);
    pressAt({300, 200});
    frame.btnPickColor->click();
    EXPECT_EQ(frame.edColor->text(), "$00563412");
    EXPECT_EQ(frame.edSwatch->palette().color(QPalette::Base), QColor(0x12, 0x34, 0x56));

    whenModal<TScopeOverlay>([](TScopeOverlay& overlay) { QTest::keyClick(&overlay, Qt::Key_Escape); });
    frame.btnPickColor->click();
    EXPECT_EQ(frame.edColor->text(), "$00563412");
    EXPECT_EQ(frame.edPX->text(), "123");
    EXPECT_TRUE(dialog.isVisible());
}

// Where the keys are bound in the desktop, the lines to paste follow the name and the keys as they are edited.
TEST(DesktopKeysTest, TheEditorShowsTheLinesForTheCompositorAndCopiesThem) {
    FakePlatform fake;
    fake.hotKeys.bindInDesktop();
    const QByteArray desktop = qgetenv("XDG_CURRENT_DESKTOP");
    qputenv("XDG_CURRENT_DESKTOP", "sway");
    TClickEditorDialog dialog{fake.mouse, fake.screen, fake.hotKeys};
    qputenv("XDG_CURRENT_DESKTOP", desktop);
    TClickEditorPanel& frame = *dialog.frame();
    ASSERT_NE(frame.edDesktopKeys, nullptr);
    const QString program = QString::fromStdString(ProgramToRun(QCoreApplication::applicationFilePath().toStdString()));
    EXPECT_EQ(frame.edDesktopKeys->toPlainText(), "bindsym Ctrl+F2 exec " + program + " start 'New Click'\n" +
                                                      "bindsym Ctrl+F3 exec " + program + " stop 'New Click'");
    EXPECT_TRUE(frame.lblDesktopKeysWhere->text().contains("sway/config"));
    frame.edName->setText("Farm gold");
    frame.cbHKStop->setCurrentIndex(1);
    EXPECT_EQ(frame.edDesktopKeys->toPlainText(), "bindsym Ctrl+F2 exec " + program + " toggle 'Farm gold'");
    frame.btnCopyDesktopKeys->click();
    EXPECT_EQ(QApplication::clipboard()->text(), frame.edDesktopKeys->toPlainText() + "\n");
    dialog.show();
    const QPoint linesBottom = frame.edDesktopKeys->mapTo(&dialog, frame.edDesktopKeys->rect().bottomLeft());
    EXPECT_GT(dialog.okButton()->geometry().top(), linesBottom.y())
        << "OK and Cancel stay in the bottom row, beside the name";
}
