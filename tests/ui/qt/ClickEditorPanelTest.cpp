#include "ui/qt/ClickEditorPanel.h"
#include "PixelTestSupport.h"
#include "TempFolder.h"
#include "engine/Search.h"
#include "model/MouseObj.h"
#include "pixels/Base64.h"
#include "pixels/PictureText.h"
#include "platform/fake/FakePlatform.h"
#include "ui/qt/BmpFile.h"
#include "ui/qt/UpDown.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimeEdit>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <initializer_list>
#include <stdexcept>
#include <string>
#include <vector>

namespace {
class FrameTest : public ::testing::Test {
protected:
    FakePlatform fake;
    TClickEditorPanel frame{fake.mouse, fake.screen, fake.hotKeys};

    std::vector<std::string> texts(std::initializer_list<QLineEdit*> edits) {
        std::vector<std::string> result;
        for (QLineEdit* edit : edits)
            result.push_back(edit->text().toStdString());
        return result;
    }
    std::vector<std::string> intervalTexts() {
        return texts({frame.edIntHour, frame.edIntMinute, frame.edIntSecond, frame.edIntTenths, frame.edIntHundredths,
                      frame.edIntThousandths});
    }
    // Loads a click holding the settings made by `edit`, then saves the controls into a fresh definition.
    template <class Edit> void roundTrip(TMouseObj& saved, Edit edit) {
        TMouseObj loaded;
        edit(loaded);
        frame.LoadFromClick(loaded);
        frame.SaveToClick(saved);
    }
};

QImage sampleImage() {
    QImage image(3, 2, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(0x10, 0x20, 0x30));
    image.setPixel(1, 0, qRgb(0xff, 0, 0));
    image.setPixel(2, 0, qRgb(0, 0xff, 0));
    image.setPixel(0, 1, qRgb(0, 0, 0xff));
    image.setPixel(1, 1, qRgb(0xff, 0xff, 0xff));
    image.setPixel(2, 1, qRgb(0x12, 0x34, 0x56));
    return image;
}
} // namespace

TEST_F(FrameTest, AnUnchangedNewDialogStoresTheInitialValues) {
    TMouseObj click;
    click.fStartInterval = 5;
    click.fRepeat = 77;
    click.checked = false;
    frame.SaveToClick(click);

    EXPECT_EQ(click.pointType, ptCurrent);
    EXPECT_EQ(click.fPosX, 1000);
    EXPECT_EQ(click.fPosY, 600);
    EXPECT_EQ(click.startType, stNow);
    EXPECT_EQ(click.fStartAt, frame.dtpTime->time().toString("HH:mm:ss").toStdString());
    EXPECT_EQ(click.fStartInterval, 60);
    EXPECT_EQ(click.mouseType, mtLeft);
    EXPECT_EQ(click.actionType, atSingle);
    EXPECT_EQ(click.iClickInterval, 1000);
    EXPECT_EQ(click.fRanBegin, 100);
    EXPECT_EQ(click.fRanEnd, 5000);
    EXPECT_EQ(click.InteverType, itFixed);
    EXPECT_EQ(click.stopType, spCommand);
    EXPECT_EQ(click.fRepeat, 1);
    EXPECT_EQ(click.hkStart, 1);
    EXPECT_EQ(click.hkStop, 2);
    EXPECT_EQ(click.finishType, ftNothing);
    EXPECT_EQ(click.fColor, "clBlack");
    EXPECT_EQ(click.ScreenType, scFull);
    EXPECT_EQ(click.fTop, 0);
    EXPECT_EQ(click.fBottom, 768);
    EXPECT_EQ(click.fLeft, 0);
    EXPECT_EQ(click.fRight, 1024);
    EXPECT_EQ(click.fBMP, "");
    EXPECT_EQ(click.fColorSimplar, 100);
    EXPECT_EQ(click.fBMPSimplar, 100);
    EXPECT_EQ(click.fName, "New Click");
    EXPECT_FALSE(click.checked) << "checked is not the dialog's";
}

// Every field goes into its control and back: the rules between them are the editor model's, tested there.
TEST_F(FrameTest, EveryFieldIsShownInItsControlAndReadBack) {
    TMouseObj click;
    click.pointType = ptFixed;
    click.fPosX = -12;
    click.fPosY = 4321;
    click.fColor = "$00563412";
    click.fColorSimplar = 35;
    click.fBMP = StreamToBase64(encodeBmp24(sampleImage()));
    click.fBMPSimplar = 85;
    click.ScreenType = scPart;
    click.fLeft = 800;
    click.fTop = 600;
    click.fRight = 100;
    click.fBottom = 50;
    click.mouseType = mtMiddle;
    click.actionType = atUp;
    click.InteverType = itRandom;
    click.iClickInterval = 3723456;
    click.fRanBegin = 300;
    click.fRanEnd = 7000;
    click.startType = stAfter;
    click.fStartAt = "07:08:09";
    click.fStartInterval = 3661;
    click.stopType = spRepeat;
    click.fRepeat = 250000;
    click.hkStart = 11;
    click.hkStop = 0;
    click.finishType = ftBackClick;
    click.fName = "Every field";
    click.checked = false;
    frame.LoadFromClick(click);

    EXPECT_EQ(intervalTexts(), (std::vector<std::string>{"1", "2", "3", "4", "5", "6"}));
    EXPECT_EQ(texts({frame.edtStartHour, frame.edtStartMin, frame.edtStartSec, frame.edRanBegin, frame.edRanEnd}),
              (std::vector<std::string>{"1", "1", "1", "3", "7"}));
    EXPECT_EQ(texts({frame.edPX, frame.edPY, frame.edColorL, frame.edColorT, frame.edColorR, frame.edColorB}),
              (std::vector<std::string>{"-12", "4321", "800", "600", "100", "50"}));
    EXPECT_EQ(texts({frame.edSimilar, frame.edBMPSimilar, frame.edStopTimes, frame.edName}),
              (std::vector<std::string>{"35", "85", "250000", "Every field"}))
        << "stored values outside the arrows' bounds are shown unchanged";
    EXPECT_EQ(frame.edColor->text(), "$00563412");
    EXPECT_EQ(frame.dtpTime->time(), QTime(7, 8, 9));
    EXPECT_EQ(frame.picture().convertToFormat(QImage::Format_RGB32), sampleImage());

    TMouseObj saved;
    frame.SaveToClick(saved);
    saved.checked = false;
    EXPECT_EQ(saved, click);

    frame.edtStartMin->setText(" 2 ");
    frame.SaveToClick(saved);
    EXPECT_EQ(saved.fStartInterval, 3600 + 120 + 1) << "what the user typed is what is stored";
}

TEST_F(FrameTest, RadioChoicesRoundTripAndCheckTheirRadio) {
    struct Case {
        std::uint8_t TMouseObj::*field;
        std::vector<QRadioButton*> radios;
    };
    const std::vector<Case> cases{
        {&TMouseObj::pointType, {frame.rbCurrent, frame.rbFixed, frame.rbColor, frame.rbBMP}},
        {&TMouseObj::ScreenType, {frame.rbFull, frame.rbPart}},
        {&TMouseObj::InteverType, {frame.rbIntFixed, frame.rbIntRan}},
        {&TMouseObj::startType, {frame.rbNow, frame.rbAt, frame.rbAfter}},
        {&TMouseObj::stopType, {frame.rbStopOrder, frame.rbStopClick}},
        {&TMouseObj::finishType, {frame.rbNo, frame.rbBack, frame.rbBackClick}},
    };
    for (const Case& c : cases)
        for (std::uint8_t value = 0; value < c.radios.size(); ++value) {
            TMouseObj saved;
            roundTrip(saved, [&](TMouseObj& click) { click.*c.field = value; });
            EXPECT_EQ(saved.*c.field, value);
            for (std::size_t i = 0; i < c.radios.size(); ++i)
                EXPECT_EQ(c.radios[i]->isChecked(), i == value) << c.radios[i]->text().toStdString();
        }
}

TEST_F(FrameTest, AnUnknownPointTypeChecksNoRadioAndIsKeptOnSave) {
    TMouseObj click;
    click.pointType = 7;
    frame.LoadFromClick(click);
    for (QRadioButton* radio : {frame.rbCurrent, frame.rbFixed, frame.rbColor, frame.rbBMP})
        EXPECT_FALSE(radio->isChecked());
    frame.SaveToClick(click);
    EXPECT_EQ(click.pointType, 7);
}

TEST_F(FrameTest, DropDownListsHoldTheIndexes) {
    TMouseObj saved;
    roundTrip(saved, [](TMouseObj& c) {
        c.mouseType = mtMiddle;
        c.actionType = atUp;
        c.hkStart = 11;
        c.hkStop = 0;
    });
    EXPECT_EQ(frame.cbButton->currentText(), "Middle Button");
    EXPECT_EQ(frame.cbClick->currentText(), "Button Up");
    EXPECT_EQ(frame.cbHKStart->currentText(), "F12");
    EXPECT_EQ(frame.cbHKStop->currentText(), "F1");
    EXPECT_EQ(saved.mouseType, mtMiddle);
    EXPECT_EQ(saved.actionType, atUp);
    EXPECT_EQ(saved.hkStart, 11);
    EXPECT_EQ(saved.hkStop, 0);
}

TEST_F(FrameTest, AStartTimeThatIsNoTimeShowsTheTimeTheDialogOpened) {
    const QTime opened = frame.dtpTime->time();
    for (const char* unreadable : {"", "noon", "25:99"}) {
        TMouseObj click;
        click.fStartAt = unreadable;
        frame.LoadFromClick(click);
        EXPECT_EQ(frame.dtpTime->time(), opened) << unreadable;
    }
}

TEST_F(FrameTest, ColourTextIsKeptAndItsColourFillsTheSwatch) {
    TMouseObj saved;
    roundTrip(saved, [](TMouseObj& c) { c.fColor = "$00563412"; });
    EXPECT_EQ(frame.edColor->text(), "$00563412");
    EXPECT_EQ(frame.edSwatch->palette().color(QPalette::Base), QColor(0x12, 0x34, 0x56));
    EXPECT_EQ(saved.fColor, "$00563412");

    roundTrip(saved, [](TMouseObj& c) { c.fColor = "not a colour"; });
    EXPECT_EQ(frame.edColor->text(), "not a colour");
    EXPECT_EQ(frame.edSwatch->palette().color(QPalette::Base), QColor(Qt::black));
    EXPECT_EQ(saved.fColor, "not a colour");
}

// Which system colour a name denotes is the swatch rule's (ColorSwatchTest); here, the desktop's colour for it.
TEST_F(FrameTest, SystemColoursShowTheDesktopsColourForThem) {
    const QPalette desktop = QApplication::palette();
    const std::vector<std::pair<const char*, QColor>> cases{
        {"clBtnFace", desktop.color(QPalette::Button)},
        {"clWindow", desktop.color(QPalette::Base)},
        {"clHighlight", desktop.color(QPalette::Highlight)},
        {"clInfoBk", desktop.color(QPalette::ToolTipBase)},
        {"clGrayText", desktop.color(QPalette::Disabled, QPalette::Text)},
        {"clActiveCaption", QColor(0x99, 0xB4, 0xD1)},
        {"clNone", desktop.color(QPalette::Base)},
    };
    for (const auto& [name, expected] : cases) {
        TMouseObj click;
        click.fColor = name;
        frame.LoadFromClick(click);
        EXPECT_EQ(frame.edColor->text(), name);
        EXPECT_EQ(frame.edSwatch->palette().color(QPalette::Base), expected) << name;
    }
}

TEST_F(FrameTest, AStoredPictureThatCannotBeReadOpensEmptyAndSaysSo) {
    for (const char* stored : {"@@@ not base64 @@@", "QUJD"}) {
        TClickEditorPanel fresh(fake.mouse, fake.screen, fake.hotKeys);
        TMouseObj click;
        click.pointType = ptPicture;
        click.fBMP = stored;
        fresh.LoadFromClick(click);
        EXPECT_TRUE(fresh.picture().isNull()) << stored;
        EXPECT_TRUE(fresh.loadNotice().contains("could not be read")) << stored;
        EXPECT_TRUE(fresh.rbBMP->isChecked()) << "the rest of the click is shown: " << stored;
    }
    TMouseObj good;
    good.fBMP = StreamToBase64(encodeBmp24(sampleImage()));
    TClickEditorPanel fresh(fake.mouse, fake.screen, fake.hotKeys);
    fresh.LoadFromClick(good);
    EXPECT_TRUE(fresh.loadNotice().isEmpty());
}

TEST_F(FrameTest, TheEditorAndThePictureSearchReadAStoredPictureAlike) {
    fake.screen.resize(40, 30);
    fake.screen.fill(0x000000);
    const std::vector<std::uint8_t> rows = PixelTest::CountingRows(3, 2);
    // BMP files Qt reads, but not the codec the search uses: the editor must not show a picture never found.
    for (const PixelTest::BmpFields& refused : {PixelTest::BmpFields{.width = 3, .height = 2, .bitCount = 32},
                                                PixelTest::BmpFields{.width = 3, .height = 2, .infoSize = 108},
                                                PixelTest::BmpFields{.width = 3, .height = -2}}) {
        TMouseObj click;
        click.fBMP = StreamToBase64(PixelTest::BmpImage(refused, PixelTest::CountingRows(3, 4)));
        TClickEditorPanel fresh(fake.mouse, fake.screen, fake.hotKeys);
        fresh.LoadFromClick(click);
        EXPECT_TRUE(fresh.picture().isNull()) << refused.bitCount << " bits, " << refused.infoSize;
        EXPECT_TRUE(fresh.loadNotice().contains("could not be read"));
        const std::shared_ptr<const TPixelBuffer> searched = DecodePicture(click.fBMP);
        ASSERT_NE(searched, nullptr);
        EXPECT_EQ(SearchPicture(fake.screen, searched.get(), 0, 0, 40, 30, 0).x, -1) << "never found";
    }
    // Accepted by the codec, which reads the rows right behind the headers whatever the offset field says.
    for (const std::uint32_t dataOffset : {54u, 1078u}) {
        TMouseObj click;
        click.fBMP = StreamToBase64(PixelTest::BmpImage({.width = 3, .height = 2, .dataOffset = dataOffset}, rows));
        TClickEditorPanel fresh(fake.mouse, fake.screen, fake.hotKeys);
        fresh.LoadFromClick(click);
        const std::shared_ptr<const TPixelBuffer> searched = DecodePicture(click.fBMP);
        ASSERT_EQ(fresh.picture().size(), QSize(3, 2)) << dataOffset;
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                EXPECT_EQ(fresh.picture().pixel(x, y) & 0xFFFFFFu, searched->Pixel(x, y)) << x << ", " << y;
    }
}

TEST_F(FrameTest, ALoadedPictureFileIsShownAsItIsStored) {
    QImage translucent(2, 1, QImage::Format_ARGB32);
    translucent.setPixel(0, 0, qRgba(0x10, 0x20, 0x30, 0x80));
    translucent.setPixel(1, 0, qRgba(0xFF, 0x00, 0x00, 0xFF));
    TempFolder folder;
    const std::string path = (folder.path() / "translucent.bmp").string();
    ASSERT_TRUE(translucent.save(QString::fromStdString(path), "BMP"));
    ASSERT_TRUE(frame.loadPictureFile(QString::fromStdString(path)));
    TMouseObj click;
    frame.SaveToClick(click);
    const std::shared_ptr<const TPixelBuffer> searched = DecodePicture(click.fBMP);
    ASSERT_NE(searched, nullptr);
    ASSERT_EQ(frame.picture().size(), QSize(searched->width, searched->height));
    for (int x = 0; x < 2; ++x)
        EXPECT_EQ(frame.picture().pixel(x, 0) & 0xFFFFFFu, searched->Pixel(x, 0)) << x;
}

TEST_F(FrameTest, HotKeysThatCouldNotBeTakenAreMarkedInBothLists) {
    frame.markHotKeyUnavailable(4);
    for (QComboBox* keys : {frame.cbHKStart, frame.cbHKStop}) {
        EXPECT_EQ(keys->itemText(4), "F5");
        EXPECT_FALSE(keys->itemIcon(4).isNull());
        EXPECT_TRUE(keys->itemData(4, Qt::ToolTipRole).toString().startsWith("Ctrl+F5 is unavailable"));
        EXPECT_TRUE(keys->itemIcon(3).isNull());
        EXPECT_FALSE(keys->itemData(3, Qt::ToolTipRole).isValid());
    }
    frame.cbHKStart->setCurrentIndex(4);
    TMouseObj saved;
    frame.SaveToClick(saved);
    EXPECT_EQ(saved.hkStart, 4) << "the index is stored, not the text";
}

TEST_F(FrameTest, APictureIsStoredAsA24BitBmpAndItsDecodedFormFollows) {
    TMouseObj click;
    click.fBMP = StreamToBase64(encodeBmp24(sampleImage()));
    frame.LoadFromClick(click);
    EXPECT_EQ(frame.picture().convertToFormat(QImage::Format_RGB32), sampleImage());

    QImage other(5, 4, QImage::Format_RGB32);
    other.fill(qRgb(1, 2, 3));
    TempFolder folder;
    const std::string path = (folder.path() / "other.bmp").string();
    ASSERT_TRUE(other.save(QString::fromStdString(path), "BMP"));
    ASSERT_TRUE(frame.loadPictureFile(QString::fromStdString(path)));
    frame.SaveToClick(click);

    const std::vector<std::uint8_t> bytes = Base64ToStream(click.fBMP);
    ASSERT_GE(bytes.size(), 54u);
    EXPECT_EQ(bytes[28], 24) << "bits per pixel";
    const std::shared_ptr<const TPixelBuffer> picture = DecodePicture(click.fBMP);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->width, 5);
    EXPECT_EQ(picture->height, 4);
    EXPECT_EQ(picture->Pixel(4, 3), 0x010203u);
}

TEST_F(FrameTest, WithoutAnyPictureNoDecodedPictureIsMade) {
    TMouseObj click;
    frame.LoadFromClick(click);
    frame.SaveToClick(click);
    EXPECT_EQ(click.fBMP, "");
    EXPECT_EQ(DecodePicture(click.fBMP), nullptr);
}

TEST_F(FrameTest, AFileThatIsNoBmpLeavesThePreviewAsItWas) {
    TempFolder folder;
    const std::string path = (folder.path() / "not-a-picture.bmp").string();
    FILE* file = std::fopen(path.c_str(), "w");
    std::fputs("hello", file);
    std::fclose(file);
    EXPECT_FALSE(frame.loadPictureFile(QString::fromStdString(path)));
    EXPECT_TRUE(frame.picture().isNull());
}

TEST_F(FrameTest, AnUnreadableEditLeavesTheWholeClickUnwritten) {
    TMouseObj click;
    click.fName = "kept";
    click.fPosX = 5;
    frame.edName->setText("changed");
    frame.edPX->setText("77");
    frame.edIntThousandths->clear();
    EXPECT_THROW(frame.SaveToClick(click), std::invalid_argument);
    EXPECT_EQ(click.fName, "kept");
    EXPECT_EQ(click.fPosX, 5);
    std::string message;
    const TNumericEdit* unreadable = frame.refusedEdit(message);
    ASSERT_NE(unreadable, nullptr);
    EXPECT_EQ(unreadable->edit, frame.edIntThousandths);
    EXPECT_EQ(message, "The field \"0.001S\" is empty. Please enter a number.");
}

TEST_F(FrameTest, AFreshDialogEnablesOnlyTheColourAndPictureGroups) {
    EXPECT_FALSE(frame.gbPoint->isEnabled());
    EXPECT_FALSE(frame.btnCapture->isEnabled());
    EXPECT_TRUE(frame.gbColor->isEnabled());
    EXPECT_FALSE(frame.btnCaptureColor->isEnabled());
    EXPECT_TRUE(frame.gbBMP->isEnabled());
    EXPECT_FALSE(frame.btnBMP->isEnabled());

    TMouseObj atPointer;
    frame.LoadFromClick(atPointer);
    EXPECT_TRUE(frame.gbColor->isEnabled()) << "loading the already checked radio runs no rule";
    EXPECT_FALSE(frame.btnCaptureColor->isEnabled());
}

TEST_F(FrameTest, EachPointTypeEnablesExactlyItsGroup) {
    struct Case {
        QRadioButton* radio;
        bool point, color, picture;
    };
    for (const Case& c : {Case{frame.rbCurrent, false, false, false}, Case{frame.rbFixed, true, false, false},
                          Case{frame.rbColor, false, true, false}, Case{frame.rbBMP, false, false, true}}) {
        c.radio->click();
        EXPECT_EQ(frame.gbPoint->isEnabled(), c.point) << c.radio->text().toStdString();
        EXPECT_EQ(frame.btnCapture->isEnabled(), c.point);
        EXPECT_EQ(frame.gbColor->isEnabled(), c.color);
        EXPECT_EQ(frame.btnCaptureColor->isEnabled(), c.color);
        EXPECT_EQ(frame.gbBMP->isEnabled(), c.picture);
        EXPECT_EQ(frame.btnBMP->isEnabled(), c.picture);
    }
    TMouseObj colourClick;
    colourClick.pointType = ptColor;
    frame.LoadFromClick(colourClick);
    EXPECT_TRUE(frame.btnCaptureColor->isEnabled());
    EXPECT_FALSE(frame.gbPoint->isEnabled());
}

TEST_F(FrameTest, NumericEditsTakeDigitsOnly) {
    frame.show();
    for (QGroupBox* group : {frame.gbPoint, frame.gbColor, frame.gbBMP})
        group->setEnabled(true);
    ASSERT_EQ(frame.numericEdits().size(), 23u);
    for (const TNumericEdit& numeric : frame.numericEdits()) {
        std::string name;
        for (const TNumericField& field : TClickEditorModel::NumericFields())
            if (field.text == numeric.field)
                name = field.name;
        numeric.edit->clear();
        QTest::keyClicks(numeric.edit, "a7-x.");
        EXPECT_EQ(numeric.edit->text(), "7") << name;
        QTest::keyClick(numeric.edit, Qt::Key_Backspace);
        EXPECT_EQ(numeric.edit->text(), "") << name;
    }
    QTest::keyClicks(frame.edName, "a7-x.");
    EXPECT_EQ(frame.edName->text(), "New Clicka7-x.");
}

TEST_F(FrameTest, PastingASignIntoADurationChangesNothingButACoordinateTakesIt) {
    frame.show();
    frame.rbFixed->click();
    QApplication::clipboard()->setText("-1");
    for (QLineEdit* edit : {frame.edIntHour, frame.edPX}) {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    }
    EXPECT_EQ(frame.edIntHour->text(), "0");
    EXPECT_EQ(frame.edPX->text(), "-1");
}

TEST_F(FrameTest, TypingStopsAtTheInputLimitButCaptureMayWriteLonger) {
    frame.show();
    for (QGroupBox* group : {frame.gbPoint, frame.gbColor, frame.gbBMP})
        group->setEnabled(true);
    const std::vector<std::pair<QLineEdit*, int>> limits{{frame.edPX, 5},        {frame.edIntHour, 2},
                                                         {frame.edIntTenths, 1}, {frame.edRanEnd, 3},
                                                         {frame.edSimilar, 0},   {frame.edStopTimes, 0}};
    for (const auto& [edit, limit] : limits) {
        edit->clear();
        QTest::keyClicks(edit, "123456789");
        EXPECT_EQ(edit->text().size(), limit == 0 ? 9 : limit);
    }
    frame.btnCaptureClick();
    fake.mouse.placePointer({-12345, 7});
    frame.capture().Tick();
    EXPECT_EQ(frame.edPX->text(), "-12345");
}

TEST_F(FrameTest, SpinArrowsStayWithinTheirBoundsTypedTextDoesNot) {
    frame.upDownOf(frame.edSimilar)->stepUp();
    EXPECT_EQ(frame.edSimilar->text(), "100");
    frame.upDownOf(frame.edSimilar)->stepDown();
    EXPECT_EQ(frame.edSimilar->text(), "95");
    frame.edStopTimes->setText("9995");
    frame.upDownOf(frame.edStopTimes)->stepUp();
    EXPECT_EQ(frame.edStopTimes->text(), "10000") << "no thousands separator";
    frame.edSimilar->setText("55");
    TMouseObj click;
    frame.SaveToClick(click);
    EXPECT_EQ(click.fColorSimplar, 55);
    frame.upDownOf(frame.edSimilar)->stepUp();
    EXPECT_EQ(frame.edSimilar->text(), "60");
}

TEST_F(FrameTest, ArrowKeysInAnEditStepItsSpin) {
    frame.show();
    frame.edIntSecond->setText("58");
    QTest::keyClick(frame.edIntSecond, Qt::Key_Up);
    QTest::keyClick(frame.edIntSecond, Qt::Key_Up);
    EXPECT_EQ(frame.edIntSecond->text(), "59");
    QTest::keyClick(frame.edIntSecond, Qt::Key_Down);
    EXPECT_EQ(frame.edIntSecond->text(), "58");
}

TEST_F(FrameTest, PointCaptureFollowsThePointerUntilStopped) {
    frame.rbFixed->click();
    frame.btnCapture->click();
    EXPECT_TRUE(frame.capture().capturingPoint());
    EXPECT_TRUE(frame.capture().timerRunning());
    fake.mouse.placePointer({-20, 300});
    frame.capture().Tick();
    EXPECT_EQ(texts({frame.edPX, frame.edPY}), (std::vector<std::string>{"-20", "300"}));
    frame.rbFixed->click();
    EXPECT_FALSE(frame.capture().capturingPoint()) << "a point-type radio ends the capture";
    EXPECT_FALSE(frame.capture().timerRunning());
}

TEST_F(FrameTest, ColourCaptureShowsThePixelUnderThePointer) {
    frame.rbColor->click();
    frame.btnCaptureColor->click();
    fake.screen.setPixel(40, 30, 0x123456);
    fake.screen.setPixel(41, 30, 0xFFFFFF);
    fake.mouse.placePointer({40, 30});
    frame.capture().Tick();
    EXPECT_EQ(frame.edColor->text(), "$00563412");
    EXPECT_EQ(frame.edSwatch->palette().color(QPalette::Base), QColor(0x12, 0x34, 0x56));
    fake.mouse.placePointer({41, 30});
    frame.capture().Tick();
    EXPECT_EQ(frame.edColor->text(), "clWhite");
    EXPECT_EQ(frame.edPX->text(), "1000") << "colour capture leaves the point alone";
}

TEST_F(FrameTest, CaptureScopeFillsTheEditsUnsorted) {
    frame.setScope({500, 400}, {100, 50});
    EXPECT_EQ(texts({frame.edColorL, frame.edColorT, frame.edColorR, frame.edColorB}),
              (std::vector<std::string>{"500", "400", "100", "50"}));
    EXPECT_TRUE(frame.rbFull->isChecked()) << "the full/part choice is not changed";
}

// Wayland: what needs the pointer's position is disabled, says why, and stays so whatever point type is chosen; the
// pick on the frozen screen takes the live capture's place.
TEST(HiddenPointerTest, GoingBackAndTheLiveCaptureAreDisabledWithTheReasonAndThePickIsOffered) {
    FakePlatform fake;
    fake.mouse.hidePointer();
    TClickEditorPanel frame{fake.mouse, fake.screen, fake.hotKeys};
    for (QRadioButton* pointType : {frame.rbFixed, frame.rbColor}) {
        pointType->click();
        EXPECT_FALSE(frame.btnCapture->isEnabled());
        EXPECT_FALSE(frame.btnCaptureColor->isEnabled());
        EXPECT_EQ(frame.btnPickPoint->isEnabled(), pointType == frame.rbFixed);
        EXPECT_EQ(frame.btnPickColor->isEnabled(), pointType == frame.rbColor);
    }
    EXPECT_TRUE(frame.btnCaptureColor->toolTip().contains("picked on the frozen screen"));
    for (QRadioButton* back : {frame.rbBack, frame.rbBackClick}) {
        EXPECT_FALSE(back->isEnabled());
        EXPECT_EQ(back->toolTip(), "Wayland lets no program read the pointer, so a click cannot go back where it was.");
    }
    EXPECT_TRUE(frame.rbNo->isEnabled());
    EXPECT_EQ(frame.edDesktopKeys, nullptr) << "keys bound in the desktop are another system's trait";

    FakePlatform x11;
    TClickEditorPanel reads{x11.mouse, x11.screen, x11.hotKeys};
    reads.rbFixed->click();
    EXPECT_TRUE(reads.btnCapture->isEnabled());
    EXPECT_TRUE(reads.btnPickPoint->isEnabled());
    EXPECT_TRUE(reads.rbBack->isEnabled());
    EXPECT_TRUE(reads.rbBack->toolTip().isEmpty());
}
