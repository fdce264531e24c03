#include "ui/qt/MainWindow.h"
#include "TapporaVersion.h"
#include "TempFolder.h"
#include "control/ClickListController.h"
#include "model/ClickListFile.h"
#include "model/Config.h"
#include "model/Maker.h"
#include "platform/Shell.h"
#include "platform/fake/FakePlatform.h"
#include "ui/qt/AboutBox.h"
#include "ui/qt/ClickEditorDialog.h"
#include "ui/qt/ClickEditorPanel.h"
#include "ui/qt/ClickListModel.h"
#include "ui/qt/OptionsDialog.h"
#include "ui/qt/ScopeOverlay.h"
#include "ui/qt/UiTestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>

namespace {
class RecordingShell : public IShell {
public:
    void openUrl(const std::string& url) override { opened.push_back(url); }
    std::vector<std::string> opened;
};

class MainWindowTest : public ::testing::Test {
protected:
    ~MainWindowTest() override { form.reset(); }

    void writeList(const std::string& items) {
        std::ofstream(folder / kClickListFileName)
            << R"(<?xml version="1.0" encoding="utf-8"?><list versionNo="1.0">)" << items << "</list>";
    }
    std::string readList() {
        std::ifstream in(folder / kClickListFileName);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    TMainWindow& start() {
        form = std::make_unique<TMainWindow>(fake.platform, shell, folder.string());
        form->show();
        return *form;
    }
    TClickListController& ctrl() { return *form->controller(); }
    QString cell(int row, int column) { return form->list()->model()->index(row, column).data().toString(); }
    void clickButton(int index) { form->toolButton(index)->click(); }

    FakePlatform fake;
    RecordingShell shell;
    TempFolder temp;
    const std::filesystem::path& folder = temp.path();
    std::unique_ptr<TMainWindow> form;
};

const char* const kTwoClicks = R"(<item fName="First" hkStart="1" hkStop="2" checked="True"/>)"
                               R"(<item fName="Second" hkStart="4" hkStop="5" checked="False"/>)";
} // namespace

TEST_F(MainWindowTest, ShowsItsCaptionToolbarAndMenus) {
    start();
    EXPECT_EQ(form->windowTitle(), TAPPORA_TITLE);
    EXPECT_TRUE(form->windowFlags() & Qt::WindowStaysOnTopHint);
    const std::vector<std::pair<QString, QString>> expected{{"&New", "Create a new Click"},
                                                            {"&Edit", "Modify Selected Click"},
                                                            {"&Delete", "Delete Selected Click"},
                                                            {"&Start", "Start Checked Click to Run"},
                                                            {"S&top", "Stop All Running Click"},
                                                            {"&Options", "Config Visible Columns"},
                                                            {"E&xit", "Exit"}};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(form->toolButton(i)->text(), expected[std::size_t(i)].first);
        EXPECT_EQ(form->toolButton(i)->toolTip(), expected[std::size_t(i)].second);
        EXPECT_TRUE(form->toolButton(i)->font().bold());
        if (i > 0) {
            EXPECT_GT(form->toolButton(i)->x(), form->toolButton(i - 1)->x()) << "left to right in order";
        }
    }
    EXPECT_TRUE(form->list()->horizontalHeader()->sectionsMovable());
    EXPECT_EQ(form->list()->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_TRUE(form->list()->showGrid());
}

TEST_F(MainWindowTest, ListShowsTheControllersRowsWithCheckBoxes) {
    writeList(kTwoClicks);
    start();
    QAbstractItemModel* model = form->list()->model();
    ASSERT_EQ(model->rowCount(), 2);
    EXPECT_EQ(cell(0, 0), "First");
    EXPECT_EQ(model->index(0, 0).data(Qt::CheckStateRole).toInt(), Qt::Checked);
    EXPECT_EQ(model->index(1, 0).data(Qt::CheckStateRole).toInt(), Qt::Unchecked);
    EXPECT_FALSE(model->index(0, 1).data(Qt::CheckStateRole).isValid()) << "only the main column has boxes";
    model->setData(model->index(0, 0), Qt::Unchecked, Qt::CheckStateRole);
    EXPECT_FALSE(ctrl().RowChecked(0));
}

TEST_F(MainWindowTest, NewWithOkAddsATickedIdleClickAndCancelAddsNothing) {
    start();
    whenModal<TClickEditorDialog>([](TClickEditorDialog& editor) {
        EXPECT_EQ(editor.windowTitle(), "New Mouse Action");
        editor.frame()->edName->setText("Made here");
        editor.okButton()->click();
    });
    clickButton(0);
    ASSERT_EQ(ctrl().RowCount(), 1);
    EXPECT_EQ(cell(0, 0), "Made here");
    EXPECT_TRUE(ctrl().RowChecked(0));
    EXPECT_FALSE(ctrl().Runner(0).running);

    whenModal<TClickEditorDialog>([](TClickEditorDialog& editor) { editor.cancelButton()->click(); });
    clickButton(0);
    EXPECT_EQ(ctrl().RowCount(), 1);
}

// Capture Scope hides the editor while the overlay is up; the editor must come back, still modal, with its edits.
TEST_F(MainWindowTest, NewWithACapturedScopeAddsTheClickWithThatScope) {
    fake.screen.resize(1024, 768);
    start();
    whenModal<TClickEditorDialog>([](TClickEditorDialog& editor) {
        TClickEditorPanel& frame = *editor.frame();
        frame.rbPart->click();
        frame.edName->setText("Scoped");
        whenModal<TScopeOverlay>([](TScopeOverlay& overlay) {
            QTest::mouseMove(&overlay, QPoint(700, 500));
            QTest::mousePress(&overlay, Qt::LeftButton, {}, QPoint(700, 500));
            QTest::mouseMove(&overlay, QPoint(300, 200));
            whenModal<TClickEditorDialog>([](TClickEditorDialog& shownAgain) { shownAgain.okButton()->click(); });
            QTest::mouseRelease(&overlay, Qt::LeftButton, {}, QPoint(300, 200));
        });
        frame.btnCaptureScope->click();
    });
    clickButton(0);
    ASSERT_EQ(ctrl().RowCount(), 1) << "the editor came back and its OK added the click";
    const TClickRunner& click = ctrl().Runner(0);
    EXPECT_EQ(click.fName, "Scoped");
    EXPECT_EQ(click.ScreenType, scPart);
    EXPECT_EQ(click.fLeft, 700);
    EXPECT_EQ(click.fTop, 500);
    EXPECT_EQ(click.fRight, 300);
    EXPECT_EQ(click.fBottom, 200);
}

TEST_F(MainWindowTest, EditOfAClickWithAnUnreadablePictureOpensTheEditorAndSaysSo) {
    writeList(R"(<item fName="Broken picture" pointType="3" fBMP="@@@ not base64 @@@"/>)");
    start();
    form->list()->setCurrentIndex(form->list()->model()->index(0, 0));
    QString told;
    bool pictureEmpty = false;
    whenModal<QMessageBox>([&](QMessageBox& box) {
        told = box.text();
        whenModal<TClickEditorDialog>([&](TClickEditorDialog& editor) {
            pictureEmpty = editor.frame()->picture().isNull();
            editor.cancelButton()->click();
        });
        box.accept();
    });
    clickButton(1);
    EXPECT_TRUE(told.contains("picture of this click could not be read")) << told.toStdString();
    EXPECT_TRUE(pictureEmpty);
    EXPECT_EQ(ctrl().Runner(0).fBMP, "@@@ not base64 @@@") << "Cancel keeps the click as it was";
}

TEST_F(MainWindowTest, HotKeysAnotherProgramHoldsAreToldAtStartAndMarkedInTheListAndEditor) {
    fake.hotKeys.takeByOtherProgram({HotKeyModifier::Control, 2});
    writeList(kTwoClicks);
    start();
    QString told;
    whenModal<QMessageBox>([&](QMessageBox& box) {
        told = box.text();
        box.accept();
    });
    form->showStartupMessages();
    EXPECT_TRUE(told.contains("CTRL+F2")) << told.toStdString();
    EXPECT_EQ(cell(0, 7), "CTRL+F2 (unavailable)");
    EXPECT_EQ(cell(0, 8), "CTRL+F3");
    bool f2Marked = false, f3Marked = true;
    whenModal<TClickEditorDialog>([&](TClickEditorDialog& editor) {
        f2Marked = !editor.frame()->cbHKStart->itemIcon(1).isNull() && !editor.frame()->cbHKStop->itemIcon(1).isNull();
        f3Marked = !editor.frame()->cbHKStop->itemIcon(2).isNull();
        editor.cancelButton()->click();
    });
    clickButton(0);
    EXPECT_TRUE(f2Marked);
    EXPECT_FALSE(f3Marked);
}

TEST_F(MainWindowTest, EditChangesTheFocusedClickOnlyOnOk) {
    writeList(kTwoClicks);
    start();
    form->list()->setCurrentIndex(form->list()->model()->index(1, 0));
    whenModal<TClickEditorDialog>([](TClickEditorDialog& editor) {
        EXPECT_EQ(editor.windowTitle(), "Edit Mouse Action");
        EXPECT_EQ(editor.frame()->edName->text(), "Second");
        editor.frame()->edName->setText("Changed");
        editor.cancelButton()->click();
    });
    clickButton(1);
    EXPECT_EQ(ctrl().Runner(1).fName, "Second");

    whenModal<TClickEditorDialog>([](TClickEditorDialog& editor) {
        editor.frame()->edName->setText("Changed");
        editor.okButton()->click();
    });
    clickButton(1);
    EXPECT_EQ(ctrl().Runner(1).fName, "Changed");
    EXPECT_EQ(cell(1, 0), "Changed");
}

TEST_F(MainWindowTest, EditOfARunningClickKeepsItRunning) {
    writeList(kTwoClicks);
    start();
    ctrl().HotKeyPressed(1);
    ASSERT_TRUE(ctrl().Runner(0).running);
    form->list()->setCurrentIndex(form->list()->model()->index(0, 0));
    whenModal<TClickEditorDialog>([](TClickEditorDialog& editor) {
        editor.frame()->edIntSecond->setText("7");
        editor.okButton()->click();
    });
    clickButton(1);
    EXPECT_TRUE(ctrl().Runner(0).running);
    EXPECT_EQ(ctrl().Runner(0).iClickInterval, 7000);
}

TEST_F(MainWindowTest, OnlyExactlyCtrlWithAFunctionKeyReachesTheController) {
    writeList(kTwoClicks);
    start();
    fake.hotKeys.press({HotKeyModifier::Control | HotKeyModifier::Shift, 2});
    EXPECT_FALSE(ctrl().Runner(0).running);
    fake.hotKeys.press({HotKeyModifier::Alt, 2});
    ctrl().HotKeyReceived(TClickListController::kHotKeyCount);
    EXPECT_FALSE(ctrl().Runner(0).running);
    fake.hotKeys.press({HotKeyModifier::Control, 2});
    EXPECT_TRUE(ctrl().Runner(0).running);
    fake.hotKeys.press({HotKeyModifier::Control, 3});
    EXPECT_FALSE(ctrl().Runner(0).running);
}

TEST_F(MainWindowTest, DeleteAsksFirst) {
    writeList(kTwoClicks);
    start();
    form->list()->setCurrentIndex(form->list()->model()->index(0, 0));
    whenModal<QMessageBox>([](QMessageBox& box) {
        EXPECT_EQ(box.text(), "Are you sure to delete the click?");
        EXPECT_EQ(box.windowTitle(), "Warning");
        box.button(QMessageBox::No)->click();
    });
    clickButton(2);
    EXPECT_EQ(ctrl().RowCount(), 2);
    whenModal<QMessageBox>([](QMessageBox& box) { box.button(QMessageBox::Yes)->click(); });
    clickButton(2);
    ASSERT_EQ(ctrl().RowCount(), 1);
    EXPECT_EQ(form->list()->model()->rowCount(), 1);
    EXPECT_EQ(cell(0, 0), "Second");
}

TEST_F(MainWindowTest, OptionsShowsTheSettingsAndOkShowsTheColumnsTheUserTicked) {
    start();
    QHeaderView* header = form->list()->horizontalHeader();
    ASSERT_TRUE(header->isSectionHidden(9));
    whenModal<TOptionsDialog>([](TOptionsDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Config Options");
        ASSERT_EQ(dialog.clbList->count(), 11);
        EXPECT_EQ(dialog.clbList->item(9)->text(), "After Click Action");
        EXPECT_EQ(dialog.clbList->item(9)->checkState(), Qt::Unchecked);
        dialog.clbList->item(9)->setCheckState(Qt::Checked);
        dialog.clbList->item(1)->setCheckState(Qt::Unchecked);
        dialog.cbAuto->setChecked(true);
        dialog.btnOK->click();
    });
    clickButton(5);
    EXPECT_FALSE(header->isSectionHidden(9));
    EXPECT_TRUE(header->isSectionHidden(1));
    EXPECT_TRUE(ctrl().Config().GetFrame().Getautorun());

    whenModal<TOptionsDialog>([](TOptionsDialog& dialog) {
        dialog.clbList->item(9)->setCheckState(Qt::Unchecked);
        dialog.btnCancel->click();
    });
    clickButton(5);
    EXPECT_FALSE(header->isSectionHidden(9));
}

TEST_F(MainWindowTest, ExitAndTheCloseBoxSaveTheListAlike) {
    for (int byExit : {1, 0}) {
        start();
        whenModal<TClickEditorDialog>([](TClickEditorDialog& editor) { editor.okButton()->click(); });
        clickButton(0);
        bool closed = false;
        QObject::connect(form.get(), &TMainWindow::closed, [&] { closed = true; });
        byExit ? clickButton(6) : (void)form->close();
        EXPECT_TRUE(closed);
        EXPECT_EQ(form->controller(), nullptr);
        const std::string saved = readList();
        EXPECT_NE(saved.find(R"(fName="New Click")"), std::string::npos) << saved;
        form.reset();
        std::filesystem::remove(folder / kClickListFileName);
    }
}

TEST_F(MainWindowTest, AClosingRequestClosesAnOpenDialogFirst) {
    start();
    whenModal<TClickEditorDialog>([this](TClickEditorDialog&) { form->requestClose(false); });
    clickButton(0);
    QTRY_VERIFY_WITH_TIMEOUT(form->controller() == nullptr, 5000);
    EXPECT_NE(readList().find("<list"), std::string::npos);
}

TEST_F(MainWindowTest, HelpAndTheAboutLinksOpenTheMakersAddresses) {
    start();
    TAboutBox about(shell, form.get());
    about.show();
    EXPECT_EQ(about.windowTitle(), "About Tappora");
    EXPECT_EQ(about.lblTitle->text(), TAPPORA_TITLE);
    EXPECT_EQ(about.lblLicense->text(), kLicenseNotice);
    EXPECT_TRUE(about.rect().contains(about.lblLicense->geometry())) << "the licence line is not cut off";
    QTest::mouseClick(about.lblWebAddress, Qt::LeftButton);
    QTest::mouseClick(about.lblMailAddress, Qt::LeftButton);
    ASSERT_EQ(shell.opened.size(), 2u);
    EXPECT_EQ(shell.opened[0], "https://tappora.example.org/");
    EXPECT_EQ(shell.opened[1], "mailto:support@tappora.example.org");
    EXPECT_TRUE(about.isVisible());
    QTest::mouseClick(&about, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(about.isVisible()) << "a click on the background closes the box";
}

TEST_F(MainWindowTest, AnUnreadableListFileIsMentionedOnceAtStart) {
    std::ofstream(folder / kClickListFileName) << "this is no list";
    start();
    ASSERT_FALSE(ctrl().StartupMessages().empty());
    QString shown;
    whenModal<QMessageBox>([&](QMessageBox& box) {
        shown = box.text();
        box.accept();
    });
    form->showStartupMessages();
    EXPECT_EQ(shown.toStdString(), ctrl().StartupMessages().front());
}

TEST_F(MainWindowTest, WithoutANotificationAreaMinimisingLeavesTheWindowReachable) {
    start();
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable()) << "the offscreen platform has no notification area";
    form->showMinimized();
    QTest::qWait(50);
    EXPECT_TRUE(form->isVisible());
}

// A folder in the list file's place, with something in it, cannot be replaced by the saved file.
void blockListFile(const std::filesystem::path& folder) {
    std::filesystem::remove(folder / kClickListFileName);
    std::filesystem::create_directories(folder / kClickListFileName / "blocker");
}

QPushButton* buttonNamed(QMessageBox& box, const QString& text) {
    for (QAbstractButton* button : box.buttons())
        if (button->text() == text)
            return qobject_cast<QPushButton*>(button);
    return nullptr;
}

TEST_F(MainWindowTest, AFailedSaveIsShownNamingTheFile) {
    start();
    blockListFile(folder);
    QString shown;
    whenModal<QMessageBox>([&](QMessageBox& box) {
        shown = box.text();
        buttonNamed(box, "&Quit Without Saving")->click();
    });
    clickButton(6);
    EXPECT_TRUE(shown.contains(QString::fromStdString(kClickListFileName))) << shown.toStdString();
    EXPECT_TRUE(std::filesystem::exists(folder / kClickListFileName / "blocker")) << "nothing was overwritten";
}

TEST_F(MainWindowTest, AChangeThatCannotBeSavedIsToldAtOnceNamingTheFile) {
    start();
    blockListFile(folder);
    QString shown;
    whenModal<QMessageBox>([&](QMessageBox& box) {
        shown = box.text();
        box.accept();
    });
    whenModal<TClickEditorDialog>([](TClickEditorDialog& editor) { editor.okButton()->click(); });
    clickButton(0);
    QTRY_VERIFY_WITH_TIMEOUT(!shown.isEmpty(), 5000);
    EXPECT_TRUE(shown.contains(QString::fromStdString((folder / kClickListFileName).string()))) << shown.toStdString();
    EXPECT_TRUE(ctrl().ListUnsaved());
    EXPECT_EQ(ctrl().RowCount(), 1) << "the change stays";
}

TEST_F(MainWindowTest, AnExitThatCannotSaveQuitsUnsavedOnlyOnTheUsersExplicitChoice) {
    start();
    whenModal<TClickEditorDialog>([](TClickEditorDialog& editor) { editor.okButton()->click(); });
    clickButton(0);
    blockListFile(folder);
    form->list()->model()->setData(form->list()->model()->index(0, 0), Qt::Unchecked, Qt::CheckStateRole);
    whenModal<QMessageBox>([](QMessageBox& box) { box.accept(); });
    QTest::qWait(50);

    int questions = 0;
    bool closed = false;
    QObject::connect(form.get(), &TMainWindow::closed, [&] { closed = true; });
    // Escape, then the close button of the box, then the explicit choice.
    std::function<void(QMessageBox&)> answer = [&](QMessageBox& box) {
        ++questions;
        EXPECT_NE(buttonNamed(box, "&Try Again"), nullptr);
        EXPECT_NE(buttonNamed(box, "&Save List As..."), nullptr);
        EXPECT_FALSE(closed);
        if (questions == 1) {
            QTest::keyClick(&box, Qt::Key_Escape);
        } else if (questions == 2) {
            box.close();
        } else {
            buttonNamed(box, "&Quit Without Saving")->click();
            return;
        }
        whenModal<QMessageBox>(answer);
    };
    whenModal<QMessageBox>(answer);
    clickButton(6);

    EXPECT_EQ(questions, 3);
    EXPECT_TRUE(closed);
    EXPECT_TRUE(std::filesystem::exists(folder / kClickListFileName / "blocker"));
}

TEST_F(MainWindowTest, AnExitThatCannotSaveCanSaveTheListElsewhereThroughTheFileChooser) {
    start();
    whenModal<TClickEditorDialog>([](TClickEditorDialog& editor) {
        editor.frame()->edName->setText("Keep me");
        editor.okButton()->click();
    });
    clickButton(0);
    const std::string saved = readList();
    blockListFile(folder);
    const std::filesystem::path elsewhere = folder / "elsewhere.xml";
    whenModal<QMessageBox>([&](QMessageBox& box) {
        whenModal<QFileDialog>([&](QFileDialog& chooser) {
            chooser.selectFile(QString::fromStdString(elsewhere.string()));
            QMetaObject::invokeMethod(&chooser, "accept");
        });
        buttonNamed(box, "&Save List As...")->click();
    });
    clickButton(6);

    EXPECT_EQ(form->controller(), nullptr);
    std::ifstream in(elsewhere, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), saved);
}

TEST_F(MainWindowTest, ATerminationWhileTheQuestionIsOpenKeepsTheListForTheNextStart) {
    const std::filesystem::path state = folder / "state";
    form = std::make_unique<TMainWindow>(fake.platform, shell, folder.string(), state.string());
    form->show();
    whenModal<TClickEditorDialog>([](TClickEditorDialog& editor) { editor.okButton()->click(); });
    clickButton(0);
    const std::string saved = readList();
    blockListFile(folder);
    whenModal<QMessageBox>([&](QMessageBox&) { form->requestClose(false); });
    clickButton(6);
    QTRY_VERIFY_WITH_TIMEOUT(form->controller() == nullptr, 5000);

    ASSERT_TRUE(std::filesystem::is_directory(state));
    const std::filesystem::directory_entry kept = *std::filesystem::directory_iterator(state);
    std::ifstream in(kept.path(), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), saved);

    form.reset();
    std::filesystem::remove_all(folder / kClickListFileName);
    form = std::make_unique<TMainWindow>(fake.platform, shell, folder.string(), state.string());
    form->show();
    QString offered;
    whenModal<QMessageBox>([&](QMessageBox& box) {
        offered = box.text();
        buttonNamed(box, "&Restore")->click();
    });
    form->showStartupMessages();
    EXPECT_TRUE(offered.contains(QString::fromStdString(kept.path().string()))) << offered.toStdString();
    EXPECT_EQ(readList(), saved);
    EXPECT_FALSE(std::filesystem::exists(kept.path()));
}

TEST_F(MainWindowTest, RowChangesKeepTheColumnsWidthsOrderAndVisibility) {
    writeList(kTwoClicks);
    start();
    QHeaderView* header = form->list()->horizontalHeader();
    form->setColumnVisible(2, false);
    form->setColumnWidth(1, 133);
    form->setColumnPosition(3, 0);
    form->rowsReset();
    form->rowRemoved(0);
    EXPECT_TRUE(header->isSectionHidden(2));
    EXPECT_EQ(form->columnWidth(1), 133);
    EXPECT_EQ(form->columnPosition(3), 0);
    EXPECT_EQ(form->list()->model()->rowCount(), 1);
}

TEST_F(MainWindowTest, AHiddenColumnKeepsItsWidthThroughCloseAndIsShownWithItWhenTicked) {
    start();
    ASSERT_TRUE(form->list()->horizontalHeader()->isSectionHidden(9));
    clickButton(6);
    form.reset();
    start();
    QHeaderView* header = form->list()->horizontalHeader();
    TXMLColType afterClick = ctrl().Config().GetCols().Item(9);
    EXPECT_EQ(afterClick.GetWidth(), 72) << "the settings kept the hidden column's width";
    afterClick.SetVisible(true);
    ctrl().ApplyColumns();
    EXPECT_FALSE(header->isSectionHidden(9));
    EXPECT_EQ(header->sectionSize(9), 72);
}

TEST_F(MainWindowTest, AHugeOrFarAwayStoredWindowOpensOnTheScreenNoLargerThanIt) {
    {
        TConfig settings(folder.string());
        settings.GetFrame().Setleft(2500);
        settings.GetFrame().Settop(-3000);
        settings.GetFrame().Setwidth(2000000000);
        settings.GetFrame().Setheight(2000000000);
        std::vector<std::string> told;
        ASSERT_NO_THROW(settings.SaveConfig(told));
    }
    start();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE(form->width(), screen.width());
    EXPECT_LE(form->height(), screen.height());
    EXPECT_TRUE(screen.contains(form->geometry().topLeft())) << form->x() << "," << form->y();
}

TEST_F(MainWindowTest, TheListIsRepaintedWhileClicksRun) {
    writeList(kTwoClicks);
    start();
    QSignalSpy repaints(form->list()->model(), &QAbstractItemModel::dataChanged);
    ctrl().StartAll();
    QTRY_VERIFY_WITH_TIMEOUT(repaints.count() >= 2, 5000);
}

TEST_F(MainWindowTest, ADoubleClickOnARowEditsIt) {
    writeList(kTwoClicks);
    start();
    QTableView* list = form->list();
    const QRect second = list->visualRect(list->model()->index(1, 1));
    QString caption, name;
    whenModal<TClickEditorDialog>([&](TClickEditorDialog& editor) {
        caption = editor.windowTitle();
        name = editor.frame()->edName->text();
        editor.cancelButton()->click();
    });
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_EQ(caption, "Edit Mouse Action");
    EXPECT_EQ(name, "Second");
}

// The controller alone keeps the status column live: the window repaints the list only when told, so an idle list
// costs nothing while the program waits, and a running click's row is repainted as its count goes up.
TEST_F(MainWindowTest, TheListIsRepaintedOnlyForRowsTheControllerReportsChanged) {
    writeList(R"(<item fName="Fast" pointType="1" iClickInterval="10" checked="True"/>)"
              R"(<item fName="Idle" checked="False"/>)");
    start();
    QSignalSpy repaints(form->list()->model(), &QAbstractItemModel::dataChanged);
    QTest::qWait(450);
    EXPECT_EQ(repaints.count(), 0) << "nothing runs: nothing to repaint";
    clickButton(3);
    repaints.clear();
    fake.loop.advance(TClickRunner::kWaitTickInterval + 3 * TClickListController::kRefreshIntervalMs);
    ASSERT_GE(repaints.count(), 2);
    for (const QList<QVariant>& repaint : repaints) {
        EXPECT_EQ(repaint.at(0).toModelIndex().row(), 0);
        EXPECT_EQ(repaint.at(1).toModelIndex().row(), 0);
    }
    EXPECT_TRUE(cell(0, 10).startsWith("running")) << cell(0, 10).toStdString();
}

// A settings file means the same window in both front ends: its bounds are the outer frame, and they are written
// back unchanged. (Without a window manager the frame is the client area; ClientInFrame is tested with borders.)
TEST_F(MainWindowTest, StoredBoundsAreTheOuterFrameAndAreWrittenBackUnchanged) {
    {
        TConfig settings(folder.string());
        settings.GetFrame().Setleft(40);
        settings.GetFrame().Settop(50);
        settings.GetFrame().Setwidth(600);
        settings.GetFrame().Setheight(320);
        std::vector<std::string> told;
        ASSERT_NO_THROW(settings.SaveConfig(told));
    }
    start();
    EXPECT_EQ(form->frameGeometry(), QRect(40, 50, 600, 320));
    clickButton(6);
    const TConfig settings(folder.string());
    const TXMLFrameType frame = settings.GetFrame();
    EXPECT_EQ((TRect{frame.Getleft(), frame.Gettop(), frame.Getwidth(), frame.Getheight()}), (TRect{40, 50, 600, 320}));
}
