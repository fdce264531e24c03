#include "ui/win32/frmDefine.h"

#include "model/MouseObj.h"
#include "pixels/BitmapData.h"
#include "platform/Mouse.h"
#include "platform/Screen.h"
#include "platform/win32/Utf16.h"
#include "ui/win32/Controls.h"
#include "ui/win32/fmCopy.h"

#include <commctrl.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <stdexcept>

namespace {
using F = TClickEditorFields;
constexpr UINT_PTR kFilterId = 1;
constexpr DWORD kHideForScopeMs = 200;
constexpr int kEditHeight = 20;
constexpr int kSpinWidth = 13;

int textWidth(HWND window, const std::string& text) {
    HDC dc = GetDC(window);
    const HGDIOBJ old = SelectObject(dc, HFONT(SendMessageW(window, WM_GETFONT, 0, 0)));
    const std::wstring wide = toUtf16(text);
    SIZE size{};
    GetTextExtentPoint32W(dc, wide.c_str(), int(wide.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return size.cx;
}

bool isChecked(HWND button) {
    return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void setChecked(HWND button, bool checked) {
    SendMessageW(button, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void setNumber(HWND edit, std::int32_t value) {
    setText(edit, std::to_string(value));
}

const TNumericField& numericField(std::string F::*text) {
    for (const TNumericField& field : TClickEditorModel::NumericFields())
        if (field.text == text)
            return field;
    throw std::logic_error("not a numeric field");
}

// The edit's text with its selection replaced by `typed`.
std::string afterTyping(HWND edit, const std::wstring& typed) {
    DWORD from = 0, to = 0;
    SendMessageW(edit, EM_GETSEL, WPARAM(&from), LPARAM(&to));
    std::wstring text = toUtf16(getText(edit));
    text.replace(std::min<std::size_t>(from, text.size()), to - from, typed);
    return toUtf8(text);
}

std::wstring clipboardText(HWND owner) {
    std::wstring text;
    if (!OpenClipboard(owner))
        return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

// What a numeric edit takes, typed or pasted, is the editor model's rule; editing keys pass.
LRESULT CALLBACK filterNumeric(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR field) {
    const auto& numeric = *reinterpret_cast<const TNumericField*>(field);
    if (message == WM_CHAR && wParam >= L' ' &&
        !TClickEditorModel::Accepts(numeric, afterTyping(edit, std::wstring(1, wchar_t(wParam)))))
        return 0;
    if (message == WM_PASTE && !TClickEditorModel::Accepts(numeric, afterTyping(edit, clipboardText(edit))))
        return 0;
    return DefSubclassProc(edit, message, wParam, lParam);
}

std::string choice(int F::*group, int index) {
    return TClickEditorModel::Choices(group)[std::size_t(index)];
}

std::vector<std::string> items(const std::vector<const char*>& texts) {
    return {texts.begin(), texts.end()};
}

int comboIndex(HWND combo) {
    return int(SendMessageW(combo, CB_GETCURSEL, 0, 0));
}

// The header of a 24-bit bottom-up device-independent bitmap: the layout of TBDBitmapData's rows.
BITMAPINFO bitmapInfo24(const TBDBitmapData& picture) {
    BITMAPINFO info{};
    info.bmiHeader = {
        sizeof(BITMAPINFOHEADER), picture.Width, picture.Height, 1, 24, BI_RGB, DWORD(picture.Size), 0, 0, 0, 0};
    return info;
}

// The picture as a bitmap the preview can show; nullptr when it has no pixels.
HBITMAP bitmapOf(const TBDBitmapData& picture) {
    if (picture.Size == 0)
        return nullptr;
    const BITMAPINFO info = bitmapInfo24(picture);
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateDIBitmap(screen, &info.bmiHeader, CBM_INIT, picture.Bits, &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

// Any BMP file the system reads, as the codec's 24-bit BMP file image that the picture search reads; nothing when it
// is no picture.
std::vector<std::uint8_t> bmp24FileOf(const std::wstring& path) {
    auto* loaded = static_cast<HBITMAP>(
        LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    if (!loaded)
        return {};
    BITMAP shape{};
    GetObjectW(loaded, sizeof shape, &shape);
    const int width = shape.bmWidth, height = std::abs(shape.bmHeight);
    TBDBitmapData picture;
    int rows = 0;
    if (width > 0 && picture.SetSize(width, height)) {
        BITMAPINFO info = bitmapInfo24(picture);
        HDC screen = GetDC(nullptr);
        rows = GetDIBits(screen, loaded, 0, UINT(height), picture.Bits, &info, DIB_RGB_COLORS);
        ReleaseDC(nullptr, screen);
    }
    DeleteObject(loaded);
    return rows > 0 && rows == height ? EncodeBmp24(picture) : std::vector<std::uint8_t>{};
}

// Waits without blocking the thread: timers, hotkeys and painting go on meanwhile.
void pumpFor(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    for (DWORD elapsed = 0; elapsed < milliseconds; elapsed = GetTickCount() - start) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                PostQuitMessage(int(message.wParam));
                return;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}
} // namespace

TfrmDefine::TfrmDefine(IMouse& mouse, IScreen& screen, HWND dialog)
    : m_screen(screen), m_capture(m_loop, mouse, screen, *this),
      m_monitors(TClickEditorModel::Extent(screen.monitorAreas())) {
    createChild(dialog, 6, 8, 421, 595);
    createControl(handle(), L"STATIC", "", SS_ETCHEDFRAME, 0, 0, 421, 595);
    createClickPoint();
    createClickOptions();
    createClickInterval();
    createStartOptions();
    createStopOptions();
    createAfterClick();
    createHotKeys();
    // Texts that run (nearly) into the next control take a point less, so they fit with any of the usual fonts.
    label("Action Name:", {0, 0}, 12, 571, true, 7, true);
    edName = control(L"EDIT", "New Click", WS_TABSTOP | ES_AUTOHSCROLL, {0, 0}, 92, 568, 111, 21);
    SetWindowLongPtrW(edName, GWL_EXSTYLE, WS_EX_CLIENTEDGE);
    SetWindowPos(edName, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    m_blue.push_back(edName);
    SYSTEMTIME now{};
    GetLocalTime(&now);
    showFields(TClickEditorModel::Initial({now.wHour, now.wMinute, now.wSecond}));
    // The colour and picture groups start enabled; only their buttons wait for their point type.
    setGroupEnabled(m_pointGroup, TClickEditorModel::EnabledGroups(checkedIn(m_pointTypes)).point);
    EnableWindow(btnCaptureColor, FALSE);
    EnableWindow(btnBMP, FALSE);
}

TfrmDefine::~TfrmDefine() {
    if (m_preview)
        DeleteObject(m_preview);
    if (m_swatchBrush)
        DeleteObject(m_swatchBrush);
}

HWND TfrmDefine::control(const wchar_t* windowClass, const std::string& text, DWORD style, Origin at, int x, int y,
                         int width, int height) {
    return createControl(handle(), windowClass, text, style, at.x + x, at.y + y, width, height);
}

HWND TfrmDefine::label(const std::string& text, Origin at, int x, int y, bool blue, int points, bool bold) {
    HWND result = control(L"STATIC", text, SS_LEFT | SS_NOPREFIX, at, x, y, 10, 14);
    SendMessageW(result, WM_SETFONT, WPARAM(programFont(points, bold)), FALSE);
    SetWindowPos(result, nullptr, 0, 0, textWidth(result, text) + 1, dpiScaled(14), SWP_NOMOVE | SWP_NOZORDER);
    if (blue)
        m_blue.push_back(result);
    return result;
}

HWND TfrmDefine::group(const std::string& caption, Origin at, int x, int y, int width, int height) {
    HWND box = control(L"BUTTON", caption, BS_GROUPBOX, at, x, y, width, height);
    SendMessageW(box, WM_SETFONT, WPARAM(programFont(8, true)), FALSE);
    return box;
}

HWND TfrmDefine::radio(const std::string& caption, Origin at, int x, int y, int width, int height) {
    return control(L"BUTTON", caption, WS_TABSTOP | BS_RADIOBUTTON | (height > 18 ? BS_MULTILINE : 0), at, x, y, width,
                   height);
}

// Its arrows and what it takes come from the editor model's table.
HWND TfrmDefine::numericEdit(std::string F::*text, Origin at, int x, int y, int width) {
    const TNumericField& field = numericField(text);
    HWND edit = control(L"EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL, at, x, y, width, kEditHeight);
    SetWindowLongPtrW(edit, GWL_EXSTYLE, WS_EX_CLIENTEDGE);
    SetWindowPos(edit, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    SetWindowSubclass(edit, filterNumeric, kFilterId, DWORD_PTR(&field));
    if (field.spin)
        spin(edit, *field.spin);
    m_numericEdits.push_back({edit, text});
    return edit;
}

// The arrows step within the bounds; a text typed outside them stays as it is until an arrow is used.
void TfrmDefine::spin(HWND edit, TSpin bounds) {
    RECT placed{};
    GetWindowRect(edit, &placed);
    MapWindowPoints(nullptr, handle(), reinterpret_cast<POINT*>(&placed), 2);
    // Placed in the edit's own (already scaled) pixels, beside it.
    HWND upDown = createControl(handle(), UPDOWN_CLASSW, "", UDS_ARROWKEYS | UDS_NOTHOUSANDS | UDS_SETBUDDYINT, 0, 0,
                                kSpinWidth, 0);
    SetWindowPos(upDown, nullptr, placed.right, placed.top, dpiScaled(kSpinWidth), placed.bottom - placed.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    const std::string text = getText(edit);
    SendMessageW(upDown, UDM_SETBUDDY, WPARAM(edit), 0);
    SendMessageW(upDown, UDM_SETRANGE32, WPARAM(bounds.min), LPARAM(bounds.max));
    UDACCEL step{0, UINT(bounds.step)};
    SendMessageW(upDown, UDM_SETACCEL, 1, LPARAM(&step));
    setText(edit, text);
}

HWND TfrmDefine::listOnly(const std::vector<std::string>& items, Origin at, int x, int y, int width) {
    HWND combo = control(WC_COMBOBOXW, "", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, at, x, y, width, 200);
    for (const std::string& item : items)
        SendMessageW(combo, CB_ADDSTRING, 0, LPARAM(toUtf16(item).c_str()));
    SendMessageW(combo, CB_SETCURSEL, 0, 0);
    return combo;
}

void TfrmDefine::createClickPoint() {
    const Origin gbClickPoint{8, 4};
    group("Click Point", {0, 0}, gbClickPoint.x, gbClickPoint.y, 193, 503);
    rbCurrent = radio(choice(&F::pointType, 0), gbClickPoint, 9, 16, 180);
    rbFixed = radio(choice(&F::pointType, 1), gbClickPoint, 9, 34, 180);
    createPointGroup(gbClickPoint);
    rbColor = radio(choice(&F::pointType, 2), gbClickPoint, 9, 137, 180);
    createColorGroup(gbClickPoint);
    rbBMP = radio(choice(&F::pointType, 3), gbClickPoint, 9, 264, 180);
    createPictureGroup(gbClickPoint);
    createScopePanel(gbClickPoint);
    m_pointTypes = {rbCurrent, rbFixed, rbColor, rbBMP};
    m_radioGroups.push_back(m_pointTypes);
}

void TfrmDefine::createPointGroup(Origin gbClickPoint) {
    const Origin at{gbClickPoint.x + 23, gbClickPoint.y + 51};
    gbPoint = group("Specify click point", at, 0, 0, 162, 85);
    btnCapture =
        control(L"BUTTON", "Start to capture point", WS_TABSTOP | BS_PUSHBUTTON | BS_MULTILINE, at, 6, 18, 76, 46);
    SendMessageW(btnCapture, WM_SETFONT, WPARAM(programFont(7)), FALSE);
    HWND x = label("X:", at, 88, 21);
    edPX = numericEdit(&F::edPX, at, 104, 18, 50);
    HWND y = label("Y:", at, 88, 45);
    edPY = numericEdit(&F::edPY, at, 104, 42, 50);
    HWND hint = label("Press any key to stop capture", at, 4, 67, true, 7);
    m_pointGroup = {gbPoint, btnCapture, x, edPX, y, edPY, hint};
}

void TfrmDefine::createColorGroup(Origin gbClickPoint) {
    const Origin at{gbClickPoint.x + 23, gbClickPoint.y + 155};
    gbColor = group("specify color block", at, 0, 0, 162, 109);
    btnCaptureColor =
        control(L"BUTTON", "Start to capture color", WS_TABSTOP | BS_PUSHBUTTON | BS_MULTILINE, at, 6, 18, 74, 46);
    SendMessageW(btnCaptureColor, WM_SETFONT, WPARAM(programFont(7)), FALSE);
    edSwatch = control(L"EDIT", "", ES_READONLY, at, 86, 18, 70, kEditHeight);
    edColor = control(L"EDIT", "clBlack", WS_TABSTOP | ES_READONLY | ES_AUTOHSCROLL, at, 86, 42, 70, kEditHeight);
    for (HWND edit : {edSwatch, edColor}) {
        SetWindowLongPtrW(edit, GWL_EXSTYLE, WS_EX_CLIENTEDGE);
        SetWindowPos(edit, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    }
    HWND hint = label("Press any key to stop capture", at, 4, 66, true, 7);
    HWND similar = label("Color Simliar:", at, 6, 87);
    edSimilar = numericEdit(&F::edSimilar, at, 94, 84, 34);
    HWND percent = label("%", at, 146, 87);
    m_colorGroup = {gbColor, btnCaptureColor, edSwatch, edColor, hint, similar, edSimilar, percent};
}

void TfrmDefine::createPictureGroup(Origin gbClickPoint) {
    const Origin at{gbClickPoint.x + 23, gbClickPoint.y + 281};
    gbBMP = group("specify BMP", at, 0, 0, 162, 98);
    btnBMP = control(L"BUTTON", "Load BMP", BS_PUSHBUTTON, at, 6, 16, 57, 33);
    HWND depth = label("(24bit bmp)", at, 6, 52, true, 7);
    HWND panel = control(L"STATIC", "", SS_SUNKEN, at, 66, 14, 92, 53);
    ImageBMP = control(L"STATIC", "", SS_BITMAP | SS_CENTERIMAGE, at, 67, 15, 90, 51);
    HWND similar = label("BMP Simliar:", at, 6, 75);
    edBMPSimilar = numericEdit(&F::edBMPSimilar, at, 94, 72, 34);
    HWND percent = label("%", at, 146, 75);
    m_pictureGroup = {gbBMP, btnBMP, depth, panel, ImageBMP, similar, edBMPSimilar, percent};
}

void TfrmDefine::createScopePanel(Origin gbClickPoint) {
    const Origin at{gbClickPoint.x + 3, gbClickPoint.y + 383};
    control(L"STATIC", "", SS_ETCHEDFRAME, at, 0, 0, 186, 109);
    rbFull = radio(choice(&F::ScreenType, 0), at, 6, 4, 170);
    rbPart = radio(choice(&F::ScreenType, 1), at, 6, 24, 170);
    m_screenTypes = {rbFull, rbPart};
    m_radioGroups.push_back(m_screenTypes);
    btnCaptureScope = control(L"BUTTON", "Capture Scope", WS_TABSTOP | BS_PUSHBUTTON | BS_MULTILINE, at, 6, 48, 50, 54);
    const Origin scope{at.x + 60, at.y + 48};
    control(L"STATIC", "", SS_SUNKEN, scope, 0, 0, 122, 54);
    label("L:", scope, 4, 7);
    edColorL = numericEdit(&F::edColorL, scope, 18, 4, 40);
    label("R:", scope, 62, 7);
    edColorR = numericEdit(&F::edColorR, scope, 77, 4, 40);
    label("T:", scope, 4, 31);
    edColorT = numericEdit(&F::edColorT, scope, 18, 28, 40);
    label("B:", scope, 62, 31);
    edColorB = numericEdit(&F::edColorB, scope, 77, 28, 40);
}

void TfrmDefine::createClickOptions() {
    const Origin at{208, 5};
    group("Click Options", at, 0, 0, 206, 73);
    label("Mouse Button:", at, 8, 21);
    cbButton = listOnly(items(TClickEditorModel::ButtonItems()), at, 96, 17, 102);
    label("Mouse Action:", at, 8, 47);
    cbClick = listOnly(items(TClickEditorModel::ActionItems()), at, 96, 43, 102);
}

void TfrmDefine::createClickInterval() {
    const Origin at{208, 78};
    group("Click Interval", at, 0, 0, 206, 136);
    rbIntFixed = radio(choice(&F::InteverType, 0), at, 8, 16, 180);
    edIntHour = numericEdit(&F::edIntHour, at, 6, 38, 22);
    label("Hour", at, 43, 41);
    edIntMinute = numericEdit(&F::edIntMinute, at, 74, 38, 22);
    label("Min", at, 111, 41);
    edIntSecond = numericEdit(&F::edIntSecond, at, 136, 38, 22);
    label("Sec", at, 173, 41);
    edIntTenths = numericEdit(&F::edIntTenths, at, 6, 64, 16);
    label("0.1S", at, 37, 67);
    edIntHundredths = numericEdit(&F::edIntHundredths, at, 67, 64, 16);
    label("0.01S", at, 98, 67);
    edIntThousandths = numericEdit(&F::edIntThousandths, at, 134, 64, 16);
    label("0.001S", at, 165, 67);
    rbIntRan = radio(choice(&F::InteverType, 1), at, 8, 88, 140);
    m_intervalTypes = {rbIntFixed, rbIntRan};
    m_radioGroups.push_back(m_intervalTypes);
    m_blue.insert(m_blue.end(), {rbIntFixed, rbIntRan});
    edRanBegin = numericEdit(&F::edRanBegin, at, 8, 110, 16);
    label("1/10 S", at, 41, 113);
    label("to", at, 86, 113);
    edRanEnd = numericEdit(&F::edRanEnd, at, 102, 110, 30);
    label("Seconds", at, 149, 113);
}

void TfrmDefine::createStartOptions() {
    const Origin at{208, 215};
    group("Start Options", at, 0, 0, 206, 119);
    rbNow = radio(choice(&F::startType, 0), at, 8, 16, 120);
    rbAt = radio(choice(&F::startType, 1), at, 8, 38, 80);
    dtpTime = control(DATETIMEPICK_CLASSW, "", WS_TABSTOP | DTS_TIMEFORMAT | DTS_UPDOWN, at, 90, 35, 90, 22);
    SendMessageW(dtpTime, DTM_SETFORMATW, 0, LPARAM(L"HH':'mm':'ss"));
    rbAfter = radio(choice(&F::startType, 2), at, 8, 60, 180);
    m_startTypes = {rbNow, rbAt, rbAfter};
    m_radioGroups.push_back(m_startTypes);
    label("Hours", at, 8, 79);
    edtStartHour = numericEdit(&F::edtStartHour, at, 8, 93, 24);
    label("Minutes", at, 70, 79);
    edtStartMin = numericEdit(&F::edtStartMin, at, 70, 93, 24);
    label("Seconds", at, 134, 79);
    edtStartSec = numericEdit(&F::edtStartSec, at, 134, 93, 24);
}

void TfrmDefine::createStopOptions() {
    const Origin at{208, 334};
    group("Stop Options", at, 0, 0, 206, 78);
    rbStopOrder = radio(choice(&F::stopType, 0), at, 8, 18, 180);
    rbStopClick = radio(choice(&F::stopType, 1), at, 8, 44, 108);
    m_stopTypes = {rbStopOrder, rbStopClick};
    m_radioGroups.push_back(m_stopTypes);
    edStopTimes = numericEdit(&F::edStopTimes, at, 118, 43, 36);
    label("times", at, 170, 46);
}

void TfrmDefine::createAfterClick() {
    const Origin at{208, 413};
    group("After Fixed Point Click", at, 0, 0, 206, 94);
    rbNo = radio(choice(&F::finishType, 0), at, 8, 16, 180);
    rbBack = radio(choice(&F::finishType, 1), at, 8, 36, 194);
    rbBackClick = radio(choice(&F::finishType, 2), at, 8, 56, 194, 30);
    m_finishTypes = {rbNo, rbBack, rbBackClick};
    m_radioGroups.push_back(m_finishTypes);
}

void TfrmDefine::createHotKeys() {
    const Origin at{8, 507};
    group("Click HotKey", at, 0, 0, 407, 50);
    std::vector<std::string> keys;
    for (int n = 0; n < TClickEditorModel::kHotKeyCount; ++n)
        keys.push_back(TClickEditorModel::HotKeyItem(n, true));
    label("Start Hotkey:", at, 10, 23);
    label("Ctrl +", at, 94, 23);
    cbHKStart = listOnly(keys, at, 132, 19, 60);
    label("Stop Hotkey:", at, 212, 23);
    label("Ctrl +", at, 294, 23);
    cbHKStop = listOnly(keys, at, 332, 19, 60);
}

void TfrmDefine::markHotKeyUnavailable(int n) {
    const std::wstring item = toUtf16(TClickEditorModel::HotKeyItem(n, false));
    for (HWND keys : {cbHKStart, cbHKStop}) {
        if (n < 0 || n >= int(SendMessageW(keys, CB_GETCOUNT, 0, 0)))
            continue;
        const LRESULT chosen = SendMessageW(keys, CB_GETCURSEL, 0, 0);
        SendMessageW(keys, CB_DELETESTRING, WPARAM(n), 0);
        SendMessageW(keys, CB_INSERTSTRING, WPARAM(n), LPARAM(item.c_str()));
        SendMessageW(keys, CB_SETCURSEL, WPARAM(chosen), 0);
        SendMessageW(keys, CB_SETDROPPEDWIDTH, 110, 0);
    }
}

void TfrmDefine::setGroupEnabled(const std::vector<HWND>& group, bool enabled) {
    for (HWND control : group)
        EnableWindow(control, enabled);
}

void TfrmDefine::rbFixedClick() {
    const TPointGroups enabled = TClickEditorModel::EnabledGroups(checkedIn(m_pointTypes));
    setGroupEnabled(m_pointGroup, enabled.point);
    setGroupEnabled(m_colorGroup, enabled.color);
    setGroupEnabled(m_pictureGroup, enabled.picture);
    StopCapture();
}

int TfrmDefine::checkedIn(const std::vector<HWND>& radios) const {
    for (std::size_t index = 0; index < radios.size(); ++index)
        if (isChecked(radios[index]))
            return int(index);
    return -1;
}

// Each radio is checked exactly when `value` is its number; none at all for a value of none.
void TfrmDefine::checkExactly(const std::vector<HWND>& radios, int value) {
    for (std::size_t index = 0; index < radios.size(); ++index)
        setChecked(radios[index], int(index) == value);
}

void TfrmDefine::radioClicked(HWND clicked) {
    for (const std::vector<HWND>& radios : m_radioGroups) {
        if (std::find(radios.begin(), radios.end(), clicked) == radios.end())
            continue;
        for (HWND radio : radios)
            setChecked(radio, radio == clicked);
        if (radios.front() == rbCurrent)
            rbFixedClick();
    }
}

void TfrmDefine::btnCaptureClick() {
    m_capture.StartPoint();
    SetFocus(handle());
}

void TfrmDefine::btnCaptureColorClick() {
    m_capture.StartColor();
    SetFocus(handle());
}

void TfrmDefine::StopCapture() {
    m_capture.Stop();
}

void TfrmDefine::showCapturedPoint(TPoint point) {
    setNumber(edPX, point.x);
    setNumber(edPY, point.y);
}

void TfrmDefine::showCapturedColor(const std::string& text, TSwatch swatch) {
    setText(edColor, text);
    setSwatch(swatch);
}

void TfrmDefine::setSwatch(TSwatch swatch) {
    switch (swatch.kind) {
    case TSwatch::System:
        m_swatch = GetSysColor(int(swatch.value));
        break;
    case TSwatch::EditBackground:
        m_swatch = GetSysColor(COLOR_WINDOW);
        break;
    default:
        m_swatch = swatch.value;
    }
    if (m_swatchBrush)
        DeleteObject(m_swatchBrush);
    m_swatchBrush = CreateSolidBrush(COLORREF(m_swatch));
    InvalidateRect(edSwatch, nullptr, TRUE);
}

void TfrmDefine::showColor(const std::string& text) {
    setText(edColor, text);
    setSwatch(SwatchForText(text));
}

// Decoded by the codec the search uses, so the preview shows exactly the pixels searched for.
bool TfrmDefine::showPicture(const std::vector<std::uint8_t>& bmpFile) {
    TBDBitmapData picture;
    if (!DecodeBmp24(bmpFile, picture))
        return false;
    HBITMAP bitmap = bitmapOf(picture);
    if (!bitmap)
        return false;
    m_picture = bmpFile;
    SendMessageW(ImageBMP, STM_SETIMAGE, IMAGE_BITMAP, LPARAM(bitmap));
    if (m_preview)
        DeleteObject(m_preview);
    m_preview = bitmap;
    return true;
}

void TfrmDefine::clearPicture() {
    m_picture.clear();
    SendMessageW(ImageBMP, STM_SETIMAGE, IMAGE_BITMAP, 0);
    if (m_preview)
        DeleteObject(m_preview);
    m_preview = nullptr;
}

// The picture is always kept as a 24-bit uncompressed BMP file image, whatever kind of BMP was loaded.
bool TfrmDefine::loadPictureFile(const std::wstring& path) {
    const std::vector<std::uint8_t> bytes = bmp24FileOf(path);
    return !bytes.empty() && showPicture(bytes);
}

void TfrmDefine::btnBMPClick() {
    wchar_t path[MAX_PATH] = L"";
    OPENFILENAMEW chooser{};
    chooser.lStructSize = sizeof chooser;
    chooser.hwndOwner = GetAncestor(handle(), GA_ROOT);
    chooser.lpstrFilter = L"BMP File\0*.bmp\0";
    chooser.lpstrFile = path;
    chooser.nMaxFile = MAX_PATH;
    chooser.lpstrDefExt = L"bmp";
    chooser.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameW(&chooser))
        return;
    std::error_code error;
    if (!std::filesystem::is_regular_file(std::filesystem::path(path), error)) {
        MessageBoxW(chooser.hwndOwner, L"The file does not exist.", L"Warning", MB_OK | MB_ICONQUESTION);
        return;
    }
    loadPictureFile(path);
}

void TfrmDefine::setScope(TPoint start, TPoint end) {
    setNumber(edColorL, start.x);
    setNumber(edColorT, start.y);
    setNumber(edColorR, end.x);
    setNumber(edColorB, end.y);
}

// The dialog is hidden but stays modal: its own loop is below this handler, and the overlay's loop runs on top.
void TfrmDefine::btnCaptureScopeClick() {
    HWND dialog = GetAncestor(handle(), GA_ROOT);
    ShowWindow(dialog, SW_HIDE);
    pumpFor(kHideForScopeMs);
    {
        TfmCopy overlay(m_screen, dialog);
        if (overlay.ShowModal() == mrOk)
            setScope(overlay.drag.FStartPos, overlay.drag.FEndPos);
    }
    ShowWindow(dialog, SW_SHOW);
    SetForegroundWindow(dialog);
}

const TNumericEdit* TfrmDefine::refusedEdit(std::string& message) const {
    const std::optional<TFieldRefusal> refusal = TClickEditorModel::Refusal(fields(), m_monitors);
    if (!refusal)
        return nullptr;
    message = refusal->message;
    for (const TNumericEdit& numeric : m_numericEdits)
        if (numeric.field == refusal->field)
            return &numeric;
    return nullptr;
}

TClickEditorFields TfrmDefine::fields() const {
    TClickEditorFields f = m_shown;
    for (const TNumericEdit& numeric : m_numericEdits)
        f.*numeric.field = getText(numeric.edit);
    f.pointType = checkedIn(m_pointTypes);
    f.fColor = getText(edColor);
    f.picture = m_picture;
    f.ScreenType = checkedIn(m_screenTypes);
    f.mouseType = comboIndex(cbButton);
    f.actionType = comboIndex(cbClick);
    f.InteverType = checkedIn(m_intervalTypes);
    f.startType = checkedIn(m_startTypes);
    SYSTEMTIME time{};
    SendMessageW(dtpTime, DTM_GETSYSTEMTIME, 0, LPARAM(&time));
    f.fStartAt = StartTimeText({time.wHour, time.wMinute, time.wSecond});
    f.stopType = checkedIn(m_stopTypes);
    f.hkStart = comboIndex(cbHKStart);
    f.hkStop = comboIndex(cbHKStop);
    f.finishType = checkedIn(m_finishTypes);
    f.edName = getText(edName);
    return f;
}

void TfrmDefine::showFields(const TClickEditorFields& f) {
    m_shown = f;
    for (const TNumericEdit& numeric : m_numericEdits)
        setText(numeric.edit, f.*numeric.field);
    checkExactly(m_pointTypes, f.pointType);
    showColor(f.fColor);
    if (f.picture != m_picture && !showPicture(f.picture))
        clearPicture();
    checkExactly(m_screenTypes, f.ScreenType);
    SendMessageW(cbButton, CB_SETCURSEL, WPARAM(f.mouseType), 0);
    SendMessageW(cbClick, CB_SETCURSEL, WPARAM(f.actionType), 0);
    checkExactly(m_intervalTypes, f.InteverType);
    checkExactly(m_startTypes, f.startType);
    if (const auto startAt = ReadStartTime(f.fStartAt)) {
        SYSTEMTIME time{};
        SendMessageW(dtpTime, DTM_GETSYSTEMTIME, 0, LPARAM(&time));
        time.wHour = WORD(startAt->hour);
        time.wMinute = WORD(startAt->minute);
        time.wSecond = WORD(startAt->second);
        SendMessageW(dtpTime, DTM_SETSYSTEMTIME, GDT_VALID, LPARAM(&time));
    }
    checkExactly(m_stopTypes, f.stopType);
    SendMessageW(cbHKStart, CB_SETCURSEL, WPARAM(f.hkStart), 0);
    SendMessageW(cbHKStop, CB_SETCURSEL, WPARAM(f.hkStop), 0);
    checkExactly(m_finishTypes, f.finishType);
    setText(edName, f.edName);
}

// A point type that loading checks anew sets the groups as a click on it would.
// A stored value that cannot be shown must not keep the editor from opening: it opens without it, and says so.
void TfrmDefine::LoadFromClick(TMouseObj& click) {
    const int before = checkedIn(m_pointTypes);
    const TClickEditorFields shown = TClickEditorModel::FromClick(click, fields());
    showFields(shown);
    m_shown.pictureUnreadable = shown.pictureUnreadable || (!shown.picture.empty() && m_picture.empty());
    m_loadNotice = TClickEditorModel::LoadNotice(m_shown);
    const int after = checkedIn(m_pointTypes);
    if (after >= 0 && after != before)
        rbFixedClick();
}

void TfrmDefine::SaveToClick(TMouseObj& click) {
    click = TClickEditorModel::ToClick(fields(), click, m_monitors);
}

LRESULT TfrmDefine::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND: {
        RECT client{};
        GetClientRect(handle(), &client);
        FillRect(HDC(wParam), &client, GetSysColorBrush(COLOR_BTNFACE));
        return TRUE;
    }
    case WM_COMMAND: {
        HWND from = HWND(lParam);
        if (HIWORD(wParam) != BN_CLICKED)
            return 0;
        if (from == btnCapture)
            btnCaptureClick();
        else if (from == btnCaptureColor)
            btnCaptureColorClick();
        else if (from == btnBMP)
            btnBMPClick();
        else if (from == btnCaptureScope)
            btnCaptureScopeClick();
        else
            radioClicked(from);
        return 0;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
        HDC dc = HDC(wParam);
        HWND control = HWND(lParam);
        if (control == edSwatch) {
            SetBkColor(dc, COLORREF(m_swatch));
            return LRESULT(m_swatchBrush);
        }
        const LRESULT brush = DefWindowProcW(handle(), message, wParam, lParam);
        if (std::find(m_blue.begin(), m_blue.end(), control) != m_blue.end())
            SetTextColor(dc, RGB(0, 0, 255));
        return brush;
    }
    default:
        break;
    }
    return TWindow::handleMessage(message, wParam, lParam);
}
