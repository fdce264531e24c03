#include "ui/win32/OptionsDialog.h"

#include "platform/win32/Utf16.h"
#include "ui/win32/Controls.h"

namespace {
constexpr int kOkId = 101;
constexpr int kCancelId = 102;
constexpr int kRowHeight = 18;
// The stop-all key and the corner stop lie between the auto start and the buttons.
constexpr int kStopOptionsTop = 310;
constexpr int kButtonsTop = 406;
constexpr int kDroppedListHeight = 200;
} // namespace

TOptionsDialog::TOptionsDialog(HWND owner) {
    createWindow("Config Options", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, WS_EX_DLGMODALFRAME, 220,
                 kButtonsTop + 39, owner);
    centreOnDesktop(handle());
    btnOK = createControl(handle(), L"BUTTON", "&OK", WS_TABSTOP | BS_PUSHBUTTON, 24, kButtonsTop, 75, 25, kOkId);
    btnCancel =
        createControl(handle(), L"BUTTON", "&Cancel", WS_TABSTOP | BS_PUSHBUTTON, 120, kButtonsTop, 75, 25, kCancelId);
    createControl(handle(), L"STATIC", "", SS_ETCHEDFRAME, 22, 8, 179, 258);
    createControl(handle(), L"BUTTON", "Config visible columns", BS_GROUPBOX, 25, 10, 169, 249);
    clbList = createControl(handle(), WC_LISTVIEWW, "",
                            WS_TABSTOP | LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL | LVS_SHOWSELALWAYS, 28, 26,
                            163, 230);
    ListView_SetExtendedListViewStyle(clbList, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    // The rows are as high as the tallest picture in the small image list.
    ListView_SetImageList(clbList, ImageList_Create(1, kRowHeight, ILC_COLOR, 0, 0), LVSIL_SMALL);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    column.cx = 140;
    SendMessageW(clbList, LVM_INSERTCOLUMNW, 0, LPARAM(&column));
    cbAuto = createControl(handle(), L"BUTTON", "Auto Start Running When Program Start",
                           WS_TABSTOP | BS_AUTOCHECKBOX | BS_MULTILINE, 24, 272, 169, 33);
    createControl(handle(), L"STATIC", "&Stop all clicks with the key:", SS_LEFT, 24, kStopOptionsTop, 169, 16);
    cbStopAllKey = createControl(handle(), WC_COMBOBOXW, "", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 24,
                                 kStopOptionsTop + 16, 169, kDroppedListHeight);
    cbCornerStop = createControl(handle(), L"BUTTON", "", WS_TABSTOP | BS_AUTOCHECKBOX | BS_MULTILINE, 24,
                                 kStopOptionsTop + 44, 169, 48);
}

// Where the pointer cannot be watched, the check box says why in its place and cannot be ticked.
void TOptionsDialog::showStopOptions(const TOptionsChoices& choices) {
    m_stopAllKey = choices.stopAllKey;
    SendMessageW(cbStopAllKey, CB_RESETCONTENT, 0, 0);
    for (const std::string& item : m_stopAllKey.items)
        SendMessageW(cbStopAllKey, CB_ADDSTRING, 0, LPARAM(toUtf16(item).c_str()));
    SendMessageW(cbStopAllKey, CB_SETCURSEL, WPARAM(m_stopAllKey.selected), 0);
    m_cornerStopUnavailable = choices.cornerStopUnavailable;
    const bool available = m_cornerStopUnavailable.empty();
    setText(cbCornerStop, available ? "Stop all clicks when the pointer rests in a screen corner for half a second"
                                    : m_cornerStopUnavailable);
    Button_SetCheck(cbCornerStop, choices.cornerStop && available ? BST_CHECKED : BST_UNCHECKED);
    EnableWindow(cbCornerStop, available);
}

void TOptionsDialog::showChoices(const TOptionsChoices& choices) {
    ListView_DeleteAllItems(clbList);
    for (int i = 0; i < int(choices.columns.size()); ++i) {
        const std::wstring name = toUtf16(choices.columns[i].name);
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = const_cast<wchar_t*>(name.c_str());
        SendMessageW(clbList, LVM_INSERTITEMW, 0, LPARAM(&item));
        setItemChecked(i, choices.columns[i].visible);
    }
    Button_SetCheck(cbAuto, choices.autorun ? BST_CHECKED : BST_UNCHECKED);
    showStopOptions(choices);
}

TOptionsChoices TOptionsDialog::choices() const {
    TOptionsChoices chosen;
    for (int i = 0; i < itemCount(); ++i)
        chosen.columns.push_back({itemText(i), itemChecked(i)});
    chosen.autorun = Button_GetCheck(cbAuto) == BST_CHECKED;
    chosen.stopAllKey = m_stopAllKey;
    if (!m_stopAllKey.items.empty())
        chosen.stopAllKey.selected = int(SendMessageW(cbStopAllKey, CB_GETCURSEL, 0, 0));
    chosen.cornerStop = Button_GetCheck(cbCornerStop) == BST_CHECKED;
    chosen.cornerStopUnavailable = m_cornerStopUnavailable;
    return chosen;
}

void TOptionsDialog::btnOKClick() {
    setModalResult(mrOk);
}

void TOptionsDialog::btnCancelClick() {
    setModalResult(mrCancel);
}

int TOptionsDialog::itemCount() const {
    return ListView_GetItemCount(clbList);
}

bool TOptionsDialog::itemChecked(int item) const {
    return ListView_GetCheckState(clbList, item) != 0;
}

void TOptionsDialog::setItemChecked(int item, bool checked) {
    ListView_SetCheckState(clbList, item, checked);
}

std::string TOptionsDialog::itemText(int item) const {
    wchar_t text[256] = L"";
    ListView_GetItemText(clbList, item, 0, text, 256);
    return toUtf8(text);
}

LRESULT TOptionsDialog::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        switch (LOWORD(wParam)) {
        case kOkId:
            btnOKClick();
            return 0;
        case kCancelId:
        case IDCANCEL:
            btnCancelClick();
            return 0;
        default:
            break;
        }
    }
    return TModalWindow::handleMessage(message, wParam, lParam);
}
