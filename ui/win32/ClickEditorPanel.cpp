#include "ui/win32/ClickEditorPanel.h"

#include "model/MouseObj.h"
#include "pixels/PixelBuffer.h"
#include "platform/Mouse.h"
#include "platform/Screen.h"
#include "platform/win32/Utf16.h"
#include "ui/win32/Controls.h"
#include "ui/win32/ScopeOverlay.h"

#include <commctrl.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <stdexcept>

namespace {
using Id = TEditorId;
using Kind = TEditorKind;
constexpr UINT_PTR kFilterId = 1;
constexpr int kDroppedListHeight = 200;
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

int comboIndex(HWND combo) {
    return int(SendMessageW(combo, CB_GETCURSEL, 0, 0));
}

// The header of a 24-bit bottom-up device-independent bitmap: the layout of TPixelBuffer's rows.
BITMAPINFO bitmapInfo24(const TPixelBuffer& picture) {
    BITMAPINFO info{};
    info.bmiHeader = {
        sizeof(BITMAPINFOHEADER), picture.width, picture.height, 1, 24, BI_RGB, DWORD(picture.size), 0, 0, 0, 0};
    return info;
}

// The picture as a bitmap the preview can show; nullptr when it has no pixels.
HBITMAP bitmapOf(const TPixelBuffer& picture) {
    if (picture.size == 0)
        return nullptr;
    const BITMAPINFO info = bitmapInfo24(picture);
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateDIBitmap(screen, &info.bmiHeader, CBM_INIT, picture.bits, &info, DIB_RGB_COLORS);
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
    TPixelBuffer picture;
    int rows = 0;
    if (width > 0 && picture.SetSize(width, height)) {
        BITMAPINFO info = bitmapInfo24(picture);
        HDC screen = GetDC(nullptr);
        rows = GetDIBits(screen, loaded, 0, UINT(height), picture.bits, &info, DIB_RGB_COLORS);
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

TClickEditorPanel::TClickEditorPanel(IMouse& mouse, IScreen& screen, HWND dialog)
    : m_mouse(mouse), m_screen(screen), m_capture(m_loop, mouse, screen, *this),
      m_monitors(TClickEditorModel::Extent(screen.monitorAreas())), m_findNow(screen, m_loop, *this, m_monitors, true) {
    const TSize size = TClickEditorLayout::PanelSize();
    createChild(dialog, 6, 8, size.width, size.height);
    createControl(handle(), L"STATIC", "", SS_ETCHEDFRAME, 0, 0, size.width, size.height);
    for (const TEditorControl& control : TClickEditorLayout::Controls())
        m_controls.push_back({&control, create(control)});
    nameControls();
    SYSTEMTIME now{};
    GetLocalTime(&now);
    showFields(TClickEditorModel::Initial({now.wHour, now.wMinute, now.wSecond}));
    // The colour and picture groups start enabled; only their buttons wait for their point type.
    setGroupEnabled(Id::gbPoint, TClickEditorModel::EnabledGroups(fields().pointType).point);
    EnableWindow(btnCaptureColor, FALSE);
    EnableWindow(btnPickColor, FALSE);
    EnableWindow(btnBMP, FALSE);
}

TClickEditorPanel::~TClickEditorPanel() {
    if (m_preview)
        DeleteObject(m_preview);
    if (m_swatchBrush)
        DeleteObject(m_swatchBrush);
}

HWND TClickEditorPanel::control(TEditorId id) const {
    for (const auto& [control, window] : m_controls)
        if (control->id == id)
            return window;
    return nullptr;
}

void TClickEditorPanel::nameControls() {
    static const std::pair<TEditorId, HWND TClickEditorPanel::*> named[] = {
        {Id::rbCurrent, &TClickEditorPanel::rbCurrent},
        {Id::rbFixed, &TClickEditorPanel::rbFixed},
        {Id::rbColor, &TClickEditorPanel::rbColor},
        {Id::rbBMP, &TClickEditorPanel::rbBMP},
        {Id::gbPoint, &TClickEditorPanel::gbPoint},
        {Id::btnCapture, &TClickEditorPanel::btnCapture},
        {Id::edPX, &TClickEditorPanel::edPX},
        {Id::edPY, &TClickEditorPanel::edPY},
        {Id::btnPickPoint, &TClickEditorPanel::btnPickPoint},
        {Id::gbColor, &TClickEditorPanel::gbColor},
        {Id::btnCaptureColor, &TClickEditorPanel::btnCaptureColor},
        {Id::edSwatch, &TClickEditorPanel::edSwatch},
        {Id::edColor, &TClickEditorPanel::edColor},
        {Id::btnPickColor, &TClickEditorPanel::btnPickColor},
        {Id::edSimilar, &TClickEditorPanel::edSimilar},
        {Id::gbBMP, &TClickEditorPanel::gbBMP},
        {Id::btnBMP, &TClickEditorPanel::btnBMP},
        {Id::ImageBMP, &TClickEditorPanel::ImageBMP},
        {Id::btnCaptureScope, &TClickEditorPanel::btnCaptureScope},
        {Id::edColorL, &TClickEditorPanel::edColorL},
        {Id::edColorR, &TClickEditorPanel::edColorR},
        {Id::edColorT, &TClickEditorPanel::edColorT},
        {Id::edColorB, &TClickEditorPanel::edColorB},
        {Id::edIntHour, &TClickEditorPanel::edIntHour},
        {Id::edIntMinute, &TClickEditorPanel::edIntMinute},
        {Id::edIntThousandths, &TClickEditorPanel::edIntThousandths},
        {Id::edRanBegin, &TClickEditorPanel::edRanBegin},
        {Id::dtpTime, &TClickEditorPanel::dtpTime},
        {Id::cbHKStart, &TClickEditorPanel::cbHKStart},
        {Id::cbHKStop, &TClickEditorPanel::cbHKStop},
        {Id::edJitter, &TClickEditorPanel::edJitter},
        {Id::lblSpreadArea, &TClickEditorPanel::lblSpreadArea},
        {Id::edName, &TClickEditorPanel::edName},
        {Id::btnFindNow, &TClickEditorPanel::btnFindNow},
        {Id::lblFindResult, &TClickEditorPanel::lblFindResult}};
    for (const auto& [id, member] : named)
        this->*member = control(id);
}

HWND TClickEditorPanel::create(const TEditorControl& control) {
    switch (control.kind) {
    case Kind::Group: {
        HWND box = place(control, L"BUTTON", BS_GROUPBOX);
        SendMessageW(box, WM_SETFONT, WPARAM(programFont(8, true)), FALSE);
        return box;
    }
    case Kind::Panel:
        return place(control, L"STATIC", SS_ETCHEDFRAME);
    case Kind::SunkenFrame:
    case Kind::PictureFrame:
        return place(control, L"STATIC", SS_SUNKEN);
    case Kind::Picture:
        return place(control, L"STATIC", SS_BITMAP | SS_CENTERIMAGE);
    case Kind::Radio:
        return place(control, L"BUTTON",
                     WS_TABSTOP | BS_RADIOBUTTON |
                         (control.bounds.height > TClickEditorLayout::kRadioHeight ? BS_MULTILINE : 0));
    case Kind::Label:
        return label(control);
    case Kind::Note:
        return place(control, L"STATIC", SS_LEFT | SS_NOPREFIX);
    case Kind::NumericEdit:
        return numericEdit(control);
    case Kind::ReadOnlyEdit:
        return edit(control, WS_TABSTOP | ES_READONLY | ES_AUTOHSCROLL);
    case Kind::ReadOnlyLines:
        return edit(control, WS_TABSTOP | WS_HSCROLL | ES_READONLY | ES_MULTILINE | ES_AUTOHSCROLL);
    case Kind::Swatch:
        return edit(control, ES_READONLY);
    case Kind::LineEdit:
        return edit(control, WS_TABSTOP | ES_AUTOHSCROLL);
    case Kind::List:
        return listOnly(control);
    case Kind::Button: {
        HWND button = place(control, L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON | BS_MULTILINE);
        if (control.look == TEditorLook::Tight)
            SendMessageW(button, WM_SETFONT, WPARAM(programFont(7)), FALSE);
        return button;
    }
    case Kind::ToolButton:
        return place(control, L"BUTTON", BS_PUSHBUTTON);
    case Kind::TimePicker: {
        HWND picker = place(control, DATETIMEPICK_CLASSW, WS_TABSTOP | DTS_TIMEFORMAT | DTS_UPDOWN);
        SendMessageW(picker, DTM_SETFORMATW, 0, LPARAM(L"HH':'mm':'ss"));
        return picker;
    }
    }
    throw std::logic_error("unknown editor control");
}

// Controls are children of the panel, placed by their bounds within it.
HWND TClickEditorPanel::place(const TEditorControl& control, const wchar_t* windowClass, DWORD style, int height) {
    const TRect at = TClickEditorLayout::PanelBounds(control);
    HWND window = createControl(handle(), windowClass, control.caption, style, at.left, at.top, at.width,
                                height ? height : at.height);
    if (control.look == TEditorLook::Blue)
        m_blue.push_back(window);
    return window;
}

// Blue labels run nearly into the next control, so they take a point less to fit with any of the usual fonts.
HWND TClickEditorPanel::label(const TEditorControl& control) {
    const bool blue = control.look != TEditorLook::Plain;
    const TRect at = TClickEditorLayout::PanelBounds(control);
    HWND result = createControl(handle(), L"STATIC", control.caption, SS_LEFT | SS_NOPREFIX, at.left, at.top, 10, 14);
    SendMessageW(result, WM_SETFONT, WPARAM(programFont(blue ? 7 : 8, control.look == TEditorLook::Title)), FALSE);
    SetWindowPos(result, nullptr, 0, 0, textWidth(result, control.caption) + 1, dpiScaled(14),
                 SWP_NOMOVE | SWP_NOZORDER);
    if (blue)
        m_blue.push_back(result);
    return result;
}

HWND TClickEditorPanel::edit(const TEditorControl& control, DWORD style) {
    HWND edit = place(control, L"EDIT", style);
    SetWindowLongPtrW(edit, GWL_EXSTYLE, WS_EX_CLIENTEDGE);
    SetWindowPos(edit, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    return edit;
}

// Its arrows and what it takes come from the editor model's table.
HWND TClickEditorPanel::numericEdit(const TEditorControl& control) {
    const TNumericField& field = TClickEditorModel::NumericField(control.text);
    HWND numeric = edit(control, WS_TABSTOP | ES_AUTOHSCROLL);
    SetWindowSubclass(numeric, filterNumeric, kFilterId, DWORD_PTR(&field));
    if (field.spin)
        spin(numeric, *field.spin);
    m_numericEdits.push_back({numeric, control.text});
    return numeric;
}

// The arrows step within the bounds; a text typed outside them stays as it is until an arrow is used.
void TClickEditorPanel::spin(HWND edit, TSpin bounds) {
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

// The list drops down below its edit box, as high as the system lets it.
HWND TClickEditorPanel::listOnly(const TEditorControl& control) {
    HWND combo = place(control, WC_COMBOBOXW, WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, kDroppedListHeight);
    for (const std::string& item : TClickEditorLayout::Items(control.choice))
        SendMessageW(combo, CB_ADDSTRING, 0, LPARAM(toUtf16(item).c_str()));
    SendMessageW(combo, CB_SETCURSEL, 0, 0);
    return combo;
}

void TClickEditorPanel::markHotKeyUnavailable(int n) {
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

void TClickEditorPanel::setGroupEnabled(TEditorId group, bool enabled) {
    for (const auto& [control, window] : m_controls)
        if (TClickEditorLayout::Within(*control, group))
            EnableWindow(window, enabled);
}

void TClickEditorPanel::rbFixedClick() {
    const TPointGroups enabled = TClickEditorModel::EnabledGroups(fields().pointType);
    setGroupEnabled(Id::gbPoint, enabled.point);
    setGroupEnabled(Id::gbColor, enabled.color);
    setGroupEnabled(Id::gbBMP, enabled.picture);
    StopCapture();
}

// The radios check themselves only within their group, as the layout gives it.
void TClickEditorPanel::radioClicked(HWND clicked) {
    const auto entry = std::find_if(m_controls.begin(), m_controls.end(),
                                    [&](const auto& c) { return c.second == clicked && c.first->kind == Kind::Radio; });
    if (entry == m_controls.end())
        return;
    for (const auto& [control, window] : m_controls)
        if (control->kind == Kind::Radio && control->choice == entry->first->choice)
            setChecked(window, window == clicked);
    if (entry->first->choice == &TClickEditorFields::pointType)
        rbFixedClick();
}

void TClickEditorPanel::btnCaptureClick() {
    m_capture.StartPoint();
    SetFocus(handle());
}

void TClickEditorPanel::btnCaptureColorClick() {
    m_findNow.HideMark();
    m_capture.StartColor();
    SetFocus(handle());
}

void TClickEditorPanel::btnPickPointClick() {
    StopCapture();
    PickOnFrozenScreen(*this, *this, TPickKind::Point);
}

void TClickEditorPanel::btnPickColorClick() {
    StopCapture();
    PickOnFrozenScreen(*this, *this, TPickKind::Color);
}

void TClickEditorPanel::StopCapture() {
    m_capture.Stop();
}

void TClickEditorPanel::showCapturedPoint(TPoint point) {
    setNumber(edPX, point.x);
    setNumber(edPY, point.y);
}

void TClickEditorPanel::showCapturedColor(const std::string& text, TSwatch swatch) {
    setText(edColor, text);
    setSwatch(swatch);
}

void TClickEditorPanel::setSwatch(TSwatch swatch) {
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

// Decoded by the codec the search uses, so the preview shows exactly the pixels searched for.
bool TClickEditorPanel::showPicture(const std::vector<std::uint8_t>& bmpFile) {
    TPixelBuffer picture;
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

void TClickEditorPanel::clearPicture() {
    m_picture.clear();
    SendMessageW(ImageBMP, STM_SETIMAGE, IMAGE_BITMAP, 0);
    if (m_preview)
        DeleteObject(m_preview);
    m_preview = nullptr;
}

// The picture is always kept as a 24-bit uncompressed BMP file image, whatever kind of BMP was loaded.
bool TClickEditorPanel::loadPictureFile(const std::wstring& path) {
    const std::vector<std::uint8_t> bytes = bmp24FileOf(path);
    return !bytes.empty() && showPicture(bytes);
}

void TClickEditorPanel::btnBMPClick() {
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

void TClickEditorPanel::setScope(TPoint start, TPoint end) {
    const TClickEditorFields scoped = TClickEditorModel::WithScope(fields(), start, end);
    for (const TNumericEdit& numeric : m_numericEdits)
        setText(numeric.edit, scoped.*numeric.field);
}

void TClickEditorPanel::btnCaptureScopeClick() {
    CaptureScope(*this);
}

void TClickEditorPanel::btnFindNowClick() {
    m_findNow.Click();
}

void TClickEditorPanel::showFindResult(const std::string& line) {
    setText(lblFindResult, line);
}

void TClickEditorPanel::setFindNowCaption(const std::string& caption) {
    setText(btnFindNow, caption);
}

void TClickEditorPanel::showMark(const std::vector<TMarkBar>& bars) {
    m_mark.show(bars);
}

void TClickEditorPanel::hideMark() {
    m_mark.hide();
}

// The frozen screen is taken once the editor is gone: the mark goes with it.
void TClickEditorPanel::hideEditor() {
    m_findNow.HideMark();
    ShowWindow(GetAncestor(handle(), GA_ROOT), SW_HIDE);
}

void TClickEditorPanel::waitHidden(int milliseconds) {
    pumpFor(DWORD(milliseconds));
}

// The dialog is hidden but stays modal: its own loop is below this handler, and the overlay's loop runs on top.
std::optional<std::pair<TPoint, TPoint>> TClickEditorPanel::runScopeOverlay() {
    TScopeOverlay overlay(m_screen, GetAncestor(handle(), GA_ROOT));
    if (overlay.ShowModal() != mrOk)
        return std::nullopt;
    return std::pair{overlay.frozen().ProgramPoint(overlay.drag.FStartPos),
                     overlay.frozen().ProgramPoint(overlay.drag.FEndPos)};
}

std::optional<TPick> TClickEditorPanel::runPickOverlay() {
    TScopeOverlay overlay(m_screen, GetAncestor(handle(), GA_ROOT), TDragKind::Point);
    if (overlay.ShowModal() != mrOk)
        return std::nullopt;
    return overlay.frozen().Pick(overlay.drag.FStartPos);
}

void TClickEditorPanel::showEditor() {
    HWND dialog = GetAncestor(handle(), GA_ROOT);
    ShowWindow(dialog, SW_SHOW);
    SetForegroundWindow(dialog);
}

const TNumericEdit* TClickEditorPanel::refusedEdit(std::string& message) const {
    const std::optional<TFieldRefusal> refusal =
        TClickEditorModel::Refusal(fields(), m_monitors, m_mouse.doubleClickTime());
    if (!refusal)
        return nullptr;
    message = refusal->message;
    for (const TNumericEdit& numeric : m_numericEdits)
        if (numeric.field == refusal->field)
            return &numeric;
    return nullptr;
}

TClickEditorFields TClickEditorPanel::fields() const {
    TClickEditorFields f = m_shown;
    for (const auto& [control, window] : m_controls) {
        switch (control->kind) {
        case Kind::NumericEdit:
        case Kind::ReadOnlyEdit:
        case Kind::LineEdit:
            f.*control->text = getText(window);
            break;
        case Kind::Radio:
            // None checked is -1; the group's first radio comes first.
            if (control->item == 0)
                f.*control->choice = -1;
            if (isChecked(window))
                f.*control->choice = control->item;
            break;
        case Kind::List:
            f.*control->choice = comboIndex(window);
            break;
        default:
            break;
        }
    }
    f.picture = m_picture;
    SYSTEMTIME time{};
    SendMessageW(dtpTime, DTM_GETSYSTEMTIME, 0, LPARAM(&time));
    f.fStartAt = StartTimeText({time.wHour, time.wMinute, time.wSecond});
    return f;
}

void TClickEditorPanel::showFields(const TClickEditorFields& f) {
    m_shown = f;
    for (const auto& [control, window] : m_controls) {
        switch (control->kind) {
        case Kind::NumericEdit:
        case Kind::ReadOnlyEdit:
        case Kind::LineEdit:
            setText(window, f.*control->text);
            break;
        case Kind::Radio:
            setChecked(window, f.*control->choice == control->item);
            break;
        case Kind::List:
            SendMessageW(window, CB_SETCURSEL, WPARAM(f.*control->choice), 0);
            break;
        default:
            break;
        }
    }
    setSwatch(SwatchForText(f.fColor));
    if (f.picture != m_picture && !showPicture(f.picture))
        clearPicture();
    if (const auto startAt = ReadStartTime(f.fStartAt)) {
        SYSTEMTIME time{};
        SendMessageW(dtpTime, DTM_GETSYSTEMTIME, 0, LPARAM(&time));
        time.wHour = WORD(startAt->hour);
        time.wMinute = WORD(startAt->minute);
        time.wSecond = WORD(startAt->second);
        SendMessageW(dtpTime, DTM_SETSYSTEMTIME, GDT_VALID, LPARAM(&time));
    }
}

// A point type that loading checks anew sets the groups as a click on it would.
// A stored value that cannot be shown must not keep the editor from opening: it opens without it, and says so.
void TClickEditorPanel::LoadFromClick(TMouseObj& click) {
    const TClickEditorFields before = fields();
    const TClickEditorFields shown = TClickEditorModel::FromClick(click, before);
    showFields(shown);
    m_shown.pictureUnreadable = shown.pictureUnreadable || (!shown.picture.empty() && m_picture.empty());
    m_loadNotice = TClickEditorModel::LoadNotice(m_shown);
    const int after = fields().pointType;
    if (after >= 0 && after != before.pointType)
        rbFixedClick();
}

void TClickEditorPanel::SaveToClick(TMouseObj& click) {
    click = TClickEditorModel::ToClick(fields(), click, m_monitors, m_mouse.doubleClickTime());
}

void TClickEditorPanel::showSpreadArea() {
    const std::string area = TClickEditorModel::SpreadArea(getText(edJitter));
    setText(lblSpreadArea, area);
    SetWindowPos(lblSpreadArea, nullptr, 0, 0, textWidth(lblSpreadArea, area) + 1, dpiScaled(14),
                 SWP_NOMOVE | SWP_NOZORDER);
}

LRESULT TClickEditorPanel::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND: {
        RECT client{};
        GetClientRect(handle(), &client);
        FillRect(HDC(wParam), &client, GetSysColorBrush(COLOR_BTNFACE));
        return TRUE;
    }
    case WM_COMMAND: {
        HWND from = HWND(lParam);
        if (HIWORD(wParam) == EN_CHANGE && from == edJitter)
            showSpreadArea();
        if (HIWORD(wParam) != BN_CLICKED)
            return 0;
        if (from == btnCapture)
            btnCaptureClick();
        else if (from == btnCaptureColor)
            btnCaptureColorClick();
        else if (from == btnPickPoint)
            btnPickPointClick();
        else if (from == btnPickColor)
            btnPickColorClick();
        else if (from == btnBMP)
            btnBMPClick();
        else if (from == btnCaptureScope)
            btnCaptureScopeClick();
        else if (from == btnFindNow)
            btnFindNowClick();
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
