#include "ui/win32/ClickEditorDialog.h"

#include "Win32UiSupport.h"
#include "model/MouseObj.h"
#include "pixels/Base64.h"
#include "pixels/PictureText.h"
#include "platform/fake/FakePlatform.h"
#include "platform/win32/Utf16.h"
#include "ui/win32/ClickEditorPanel.h"
#include "ui/win32/ScopeOverlay.h"

#include <gtest/gtest.h>

#include <cstring>

#include <fstream>

namespace {
class EditorTest : public ::testing::Test {
protected:
    EditorTest() {
        initCommonControls();
        fake.screen.resize(640, 480);
    }
    TClickEditorPanel& frame() { return editor.frame(); }
    bool enabled(HWND control) { return IsWindowEnabled(control) != 0; }
    // Runs the dialog's own loop over what was posted to it, ended by Cancel.
    int runPosted() {
        PostMessageW(editor.handle(), WM_CLOSE, 0, 0);
        return editor.ShowModal();
    }

    FakePlatform fake;
    TClickEditorDialog editor{fake.mouse, fake.screen, nullptr};
};
} // namespace

TEST_F(EditorTest, ANewEditorShowsTheInitialValuesAndGroups) {
    EXPECT_EQ(windowText(editor.handle()), "Click Info");
    EXPECT_EQ(windowText(frame().edPX), "1000");
    EXPECT_EQ(windowText(frame().edColorR), "1024");
    EXPECT_EQ(windowText(frame().edColor), "clBlack");
    EXPECT_EQ(windowText(frame().edName), "New Click");
    EXPECT_EQ(SendMessageW(frame().cbHKStart, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(SendMessageW(frame().cbHKStop, CB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(SendMessageW(frame().rbCurrent, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_FALSE(enabled(frame().gbPoint));
    EXPECT_FALSE(enabled(frame().btnCapture));
    EXPECT_TRUE(enabled(frame().gbColor)) << "the colour and picture groups start enabled";
    EXPECT_FALSE(enabled(frame().btnCaptureColor));
    EXPECT_TRUE(enabled(frame().gbBMP));
    EXPECT_FALSE(enabled(frame().btnBMP));
    editor.setCaption("New Mouse Action");
    EXPECT_EQ(windowText(editor.handle()), "New Mouse Action");
}

TEST_F(EditorTest, AClickedPointTypeMakesOnlyItsGroupUsable) {
    const std::vector<std::tuple<HWND, bool, bool, bool>> cases{
        {frame().rbFixed, true, false, false},
        {frame().rbColor, false, true, false},
        {frame().rbBMP, false, false, true},
        {frame().rbCurrent, false, false, false},
    };
    for (const auto& [radio, point, color, picture] : cases) {
        SendMessageW(radio, BM_CLICK, 0, 0);
        EXPECT_EQ(SendMessageW(radio, BM_GETCHECK, 0, 0), BST_CHECKED);
        EXPECT_EQ(enabled(frame().btnCapture), point);
        EXPECT_EQ(enabled(frame().edPX), point);
        EXPECT_EQ(enabled(frame().btnCaptureColor), color);
        EXPECT_EQ(enabled(frame().edSimilar), color);
        EXPECT_EQ(enabled(frame().btnBMP), picture);
    }
    EXPECT_EQ(SendMessageW(frame().rbFixed, BM_GETCHECK, 0, 0), BST_UNCHECKED) << "one radio of the group only";
}

TEST_F(EditorTest, EveryFieldGoesThroughTheControlsAndBackUnchanged) {
    TMouseObj click;
    click.pointType = ptColor;
    click.fPosX = -1200;
    click.fPosY = 40;
    click.fColor = "$00563412";
    click.fColorSimplar = 85;
    click.ScreenType = scPart;
    click.fLeft = 800;
    click.fTop = 600;
    click.fRight = 100;
    click.fBottom = 50;
    click.mouseType = mtRight;
    click.actionType = atDouble;
    click.InteverType = itRandom;
    click.iClickInterval = 3723456;
    click.fRanBegin = 300;
    click.fRanEnd = 7000;
    click.startType = stAt;
    click.fStartAt = "07:08:09";
    click.fStartInterval = 3661;
    click.stopType = spRepeat;
    click.fRepeat = 250;
    click.hkStart = 11;
    click.hkStop = 0;
    click.finishType = ftBackClick;
    click.fName = "Zähler ✓";
    editor.LoadFromClick(click);
    EXPECT_EQ(windowText(frame().edIntHour), "1");
    EXPECT_EQ(windowText(frame().edIntThousandths), "6");
    EXPECT_EQ(windowText(frame().edRanBegin), "3");
    EXPECT_TRUE(enabled(frame().btnCaptureColor)) << "loading a point type sets its groups";
    EXPECT_EQ(frame().swatchColor(), 0x563412u);
    TMouseObj copy;
    editor.SaveToClick(copy);
    EXPECT_EQ(copy.pointType, ptColor);
    EXPECT_EQ(copy.fPosX, -1200);
    EXPECT_EQ(copy.fColor, "$00563412");
    EXPECT_EQ(copy.ScreenType, scPart);
    EXPECT_EQ(copy.fLeft, 800);
    EXPECT_EQ(copy.fBottom, 50);
    EXPECT_EQ(copy.mouseType, mtRight);
    EXPECT_EQ(copy.actionType, atDouble);
    EXPECT_EQ(copy.InteverType, itRandom);
    EXPECT_EQ(copy.iClickInterval, 3723456);
    EXPECT_EQ(copy.fRanBegin, 300);
    EXPECT_EQ(copy.fRanEnd, 7000);
    EXPECT_EQ(copy.startType, stAt);
    EXPECT_EQ(copy.fStartAt, "07:08:09");
    EXPECT_EQ(copy.fStartInterval, 3661);
    EXPECT_EQ(copy.stopType, spRepeat);
    EXPECT_EQ(copy.fRepeat, 250);
    EXPECT_EQ(copy.hkStart, 11);
    EXPECT_EQ(copy.hkStop, 0);
    EXPECT_EQ(copy.finishType, ftBackClick);
    EXPECT_EQ(copy.fName, "Zähler ✓") << "UTF-8 in the click, UTF-16 in the edit";
}

TEST_F(EditorTest, AnEmptyNumericEditIsNamedAndTheClickKeepsItsFields) {
    SetWindowTextW(frame().edIntMinute, L"");
    std::string message;
    const TNumericEdit* unreadable = frame().refusedEdit(message);
    ASSERT_NE(unreadable, nullptr);
    EXPECT_EQ(unreadable->edit, frame().edIntMinute);
    EXPECT_EQ(message, "The field \"Min\" is empty. Please enter a number.");
    TMouseObj click;
    click.fName = "Kept";
    EXPECT_THROW(editor.SaveToClick(click), std::invalid_argument);
    EXPECT_EQ(click.fName, "Kept");
}

TEST_F(EditorTest, NumericEditsTakeDigitsOnlyAndAnyTypedKeyEndsACapture) {
    SendMessageW(frame().rbFixed, BM_CLICK, 0, 0);
    SetWindowTextW(frame().edPY, L"");
    SetWindowTextW(frame().edName, L"");
    frame().btnCaptureClick();
    EXPECT_TRUE(frame().capture().capturingPoint());
    EXPECT_TRUE(frame().capture().timerRunning());
    for (wchar_t typed : {L'a', L'5', L'-', L'7'})
        PostMessageW(frame().edPY, WM_CHAR, typed, 0);
    PostMessageW(frame().edName, WM_CHAR, L'x', 0);
    EXPECT_EQ(runPosted(), mrCancel);
    EXPECT_EQ(windowText(frame().edPY), "57");
    EXPECT_FALSE(frame().capture().capturingPoint()) << "the first typed character ended the capture";
    EXPECT_FALSE(frame().capture().timerRunning());
    EXPECT_EQ(windowText(frame().edName), "x") << "the name takes any character";
}

TEST_F(EditorTest, PastingASignIntoADurationChangesNothingButACoordinateTakesIt) {
    const std::wstring minusOne = L"-1";
    ASSERT_TRUE(OpenClipboard(editor.handle()));
    EmptyClipboard();
    HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, (minusOne.size() + 1) * sizeof(wchar_t));
    std::memcpy(GlobalLock(data), minusOne.c_str(), (minusOne.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(data);
    SetClipboardData(CF_UNICODETEXT, data);
    CloseClipboard();
    for (HWND edit : {frame().edIntHour, frame().edPX}) {
        SendMessageW(edit, EM_SETSEL, 0, -1);
        SendMessageW(edit, WM_PASTE, 0, 0);
    }
    EXPECT_EQ(windowText(frame().edIntHour), "0");
    EXPECT_EQ(windowText(frame().edPX), "-1");
}

TEST_F(EditorTest, EscapeAndEnterOutsideAButtonCloseNothing) {
    PostMessageW(frame().edName, WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageW(frame().edName, WM_KEYDOWN, VK_RETURN, 0);
    PostMessageW(editor.handle(), WM_COMMAND, IDOK, 0);
    PostMessageW(editor.handle(), WM_COMMAND, IDCANCEL, 0);
    PostMessageW(editor.btnOK, BM_CLICK, 0, 0);
    EXPECT_EQ(editor.ShowModal(), mrOk) << "only the OK button closed it";
}

TEST_F(EditorTest, TheCaptureTickShowsThePointerAndTheColourUnderIt) {
    frame().btnCaptureClick();
    fake.mouse.setCursorPos(-1200, 40);
    frame().capture().Tick();
    EXPECT_EQ(windowText(frame().edPX), "-1200") << "beyond the typing limit of five";
    EXPECT_EQ(windowText(frame().edPY), "40");
    frame().StopCapture();
    frame().btnCaptureColorClick();
    fake.screen.setPixel(10, 20, 0x123456);
    fake.mouse.setCursorPos(10, 20);
    frame().capture().Tick();
    EXPECT_EQ(windowText(frame().edColor), "$00563412");
    EXPECT_EQ(frame().swatchColor(), 0x563412u);
    fake.screen.setPixel(11, 20, 0xFFFFFF);
    fake.mouse.setCursorPos(11, 20);
    frame().capture().Tick();
    EXPECT_EQ(windowText(frame().edColor), "clWhite");
}

TEST_F(EditorTest, HotKeysHeldByAnotherProgramAreMarked) {
    frame().markHotKeyUnavailable(1);
    wchar_t item[64] = L"";
    SendMessageW(frame().cbHKStart, CB_GETLBTEXT, 1, LPARAM(item));
    EXPECT_EQ(toUtf8(item), "F2 (unavailable)");
    EXPECT_EQ(SendMessageW(frame().cbHKStart, CB_GETCURSEL, 0, 0), 1) << "the choice stays";
}

TEST(ScopeOverlayTest, ADragOverTheFrozenScreenGivesItsCornersUnsorted) {
    initCommonControls();
    FakePlatform fake;
    fake.screen.resize(320, 240);
    fake.screen.fillRect(0, 0, 320, 240, 0x204060);
    TScopeOverlay overlay(fake.screen, nullptr);
    fake.screen.fill(0);
    EXPECT_EQ(overlay.pixel(5, 5), 0x204060u) << "the picture is the screen at creation";
    PostMessageW(overlay.handle(), WM_MOUSEMOVE, 0, MAKELPARAM(50, 60));
    PostMessageW(overlay.handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageW(overlay.handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(300, 200));
    PostMessageW(overlay.handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(100, 50));
    PostMessageW(overlay.handle(), WM_LBUTTONUP, 0, MAKELPARAM(100, 50));
    EXPECT_EQ(overlay.ShowModal(), mrOk);
    EXPECT_EQ(overlay.drag.FStartPos, (TPoint{300, 200}));
    EXPECT_EQ(overlay.drag.FEndPos, (TPoint{100, 50}));
    EXPECT_EQ(overlay.pixel(100, 120), 0xDFBF9Fu) << "the band is drawn inverted";
    EXPECT_EQ(overlay.pixel(50, 100), 0x204060u) << "the crosshair was erased";
}

TEST(ScopeOverlayTest, TheSystemsCloseCommandGivesNoScope) {
    initCommonControls();
    FakePlatform fake;
    fake.screen.resize(100, 100);
    TScopeOverlay overlay(fake.screen, nullptr);
    PostMessageW(overlay.handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    PostMessageW(overlay.handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(overlay.ShowModal(), mrCancel);
}

TEST(ScopeOverlayTest, APickEndsAtThePressWithTheFrozenPixelAndEscapeCancelsIt) {
    initCommonControls();
    FakePlatform fake;
    fake.screen.resize(100, 100);
    fake.screen.setPixel(20, 30, 0x123456);
    TScopeOverlay pick(fake.screen, nullptr, TDragKind::Point);
    fake.screen.fill(0);
    PostMessageW(pick.handle(), WM_MOUSEMOVE, 0, MAKELPARAM(20, 30));
    PostMessageW(pick.handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 30));
    EXPECT_EQ(pick.ShowModal(), mrOk);
    EXPECT_EQ(pick.frozen().Pick(pick.drag.FStartPos), (TPick{{20, 30}, "$00563412", {TSwatch::Plain, 0x563412}}));
    EXPECT_EQ(pick.pixel(20, 90), 0u) << "the crosshair was erased";
    TScopeOverlay escaped(fake.screen, nullptr, TDragKind::Point);
    PostMessageW(escaped.handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(escaped.ShowModal(), mrCancel);
}

TEST_F(EditorTest, PickingAColourOnTheFrozenScreenShowsItInTheEditor) {
    fake.screen.setPixel(40, 50, 0x123456);
    PostMessageW(frame().rbColor, BM_CLICK, 0, 0);
    whenWindowAppears("fmCopy",
                      [&](HWND overlay) { PostMessageW(overlay, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 50)); });
    PostMessageW(frame().btnPickColor, BM_CLICK, 0, 0);
    EXPECT_EQ(runPosted(), mrCancel);
    EXPECT_EQ(windowText(frame().edColor), "$00563412");
    EXPECT_EQ(frame().swatchColor(), 0x563412u);
}

TEST_F(EditorTest, AStoredPictureThatCannotBeReadShowsNoneAndIsTold) {
    TMouseObj click;
    click.fBMP = StreamToBase64({'n', 'o', ' ', 'B', 'M', 'P'});
    editor.LoadFromClick(click);
    EXPECT_TRUE(frame().picture().empty());
    EXPECT_FALSE(frame().loadNotice().empty());
    TMouseObj saved;
    saved.fBMP = "kept";
    editor.SaveToClick(saved);
    EXPECT_EQ(saved.fBMP, "") << "OK stores the click without a picture";
}

TEST_F(EditorTest, ALoadedPictureOfAnyBmpKindIsKeptAsA24BitOne) {
    // A 2 x 1 32-bit BMP: a red and a blue pixel.
    std::vector<std::uint8_t> file{'B', 'M', 62, 0, 0, 0, 0, 0,  0, 0, 54, 0, 0, 0, 40,  0, 0,   0, 2, 0, 0,
                                   0,   1,   0,  0, 0, 1, 0, 32, 0, 0, 0,  0, 0, 8, 0,   0, 0,   0, 0, 0, 0,
                                   0,   0,   0,  0, 0, 0, 0, 0,  0, 0, 0,  0, 0, 0, 255, 0, 255, 0, 0, 0};
    TempFolder temp;
    const std::filesystem::path path = temp.path() / L"Bild \u00e4.bmp";
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
    ASSERT_TRUE(frame().loadPictureFile(path.wstring()));
    ASSERT_GT(frame().picture().size(), 28u);
    EXPECT_EQ(frame().picture()[28], 24) << "bits per pixel";
    TMouseObj click;
    editor.SaveToClick(click);
    const std::shared_ptr<const TPixelBuffer> picture = DecodePicture(click.fBMP);
    ASSERT_NE(picture, nullptr);
    ASSERT_EQ(picture->width, 2);
    EXPECT_EQ(picture->Pixel(0, 0), 0xFF0000u);
    EXPECT_EQ(picture->Pixel(1, 0), 0x0000FFu);
    EXPECT_FALSE(frame().loadPictureFile((temp.path() / L"missing.bmp").wstring()));
    EXPECT_EQ(frame().picture()[28], 24) << "a failed load changes nothing";
}

TEST_F(EditorTest, CaptureScopeHidesTheEditorWhichStaysModalAndFillsTheScopeUnsorted) {
    fake.screen.fill(0x336699);
    bool editorHiddenAndModal = false;
    whenWindowAppears("fmCopy", [&](HWND overlay) {
        editorHiddenAndModal = !IsWindowVisible(editor.handle()) && editor.inModalLoop();
        PostMessageW(overlay, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(500, 400));
        PostMessageW(overlay, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(100, 50));
        PostMessageW(overlay, WM_LBUTTONUP, 0, MAKELPARAM(100, 50));
    });
    PostMessageW(frame().btnCaptureScope, BM_CLICK, 0, 0);
    EXPECT_EQ(runPosted(), mrCancel);
    EXPECT_TRUE(editorHiddenAndModal);
    EXPECT_EQ(windowText(frame().edColorL), "500");
    EXPECT_EQ(windowText(frame().edColorT), "400");
    EXPECT_EQ(windowText(frame().edColorR), "100");
    EXPECT_EQ(windowText(frame().edColorB), "50");
}
