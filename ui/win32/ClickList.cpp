#include "ui/win32/ClickList.h"

#include "control/ClickListController.h"
#include "platform/ErrorGuard.h"
#include "platform/win32/Utf16.h"
#include "ui/win32/Controls.h"

#include <algorithm>
#include <cwchar>

namespace {
int formatOf(TColumnAlignment alignment) {
    switch (alignment) {
    case TColumnAlignment::Right:
        return LVCFMT_RIGHT;
    case TColumnAlignment::Center:
        return LVCFMT_CENTER;
    case TColumnAlignment::Left:
        break;
    }
    return LVCFMT_LEFT;
}

int listColumnCount(HWND list) {
    return int(SendMessageW(ListView_GetHeader(list), HDM_GETITEMCOUNT, 0, 0));
}

void putColumn(HWND list, int index, const std::wstring& caption, int width, int format, bool insert) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.pszText = const_cast<wchar_t*>(caption.c_str());
    column.cx = width;
    column.fmt = format;
    SendMessageW(list, insert ? LVM_INSERTCOLUMNW : LVM_SETCOLUMNW, WPARAM(index), LPARAM(&column));
}
} // namespace

TClickList::TClickList(HWND parent, int id) {
    m_hwnd = createControl(parent, WC_LISTVIEWW, "",
                           WS_TABSTOP | WS_CLIPSIBLINGS | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, 0, 0, 100,
                           100, id, WS_EX_CLIENTEDGE);
    ListView_SetExtendedListViewStyle(m_hwnd, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES |
                                                  LVS_EX_HEADERDRAGDROP | LVS_EX_DOUBLEBUFFER);
    // A list view always has a first column; it stays, empty and narrow, while no column is shown.
    putColumn(m_hwnd, 0, L"", 0, LVCFMT_LEFT, true);
    addRowTip(parent);
}

TClickList::~TClickList() {
    RemoveWindowSubclass(m_hwnd, trackTipRow, 1);
}

// One tool, the whole list; its text is asked for when it is about to show, for the row under the pointer.
void TClickList::addRowTip(HWND parent) {
    m_tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, parent, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = parent;
    tool.uId = UINT_PTR(m_hwnd);
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    SendMessageW(m_tip, TTM_ADDTOOLW, 0, LPARAM(&tool));
    SendMessageW(m_tip, TTM_SETMAXTIPWIDTH, 0, 400);
    SetWindowSubclass(m_hwnd, trackTipRow, 1, DWORD_PTR(this));
}

LRESULT CALLBACK TClickList::trackTipRow(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                         DWORD_PTR self) {
    auto& clickList = *reinterpret_cast<TClickList*>(self);
    if (message == WM_MOUSELEAVE)
        clickList.m_pointerRow = -1;
    if (message == WM_MOUSEMOVE) {
        const int row = clickList.rowAt({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        if (row != clickList.m_pointerRow)
            SendMessageW(clickList.m_tip, TTM_POP, 0, 0);
        clickList.m_pointerRow = row;
    }
    return DefSubclassProc(list, message, wParam, lParam);
}

int TClickList::rowAt(POINT client) const {
    LVHITTESTINFO hit{};
    hit.pt = client;
    return int(SendMessageW(m_hwnd, LVM_HITTEST, 0, LPARAM(&hit)));
}

void TClickList::setController(TClickListController* controller) {
    m_controller = controller;
    rowsReset();
}

std::vector<TClickList::Column> TClickList::currentColumns() const {
    std::vector<Column> columns = m_columns;
    if (m_updating > 0)
        return columns;
    for (std::size_t shown = 0; shown < m_shown.size(); ++shown)
        columns[std::size_t(m_shown[shown])].width = ListView_GetColumnWidth(m_hwnd, int(shown));
    return columns;
}

// Hidden columns keep their places; the shown ones fill the other places in the order the user left them.
std::vector<int> TClickList::currentOrder() const {
    if (m_shown.empty() || m_updating > 0)
        return m_order;
    std::vector<int> listOrder(m_shown.size());
    ListView_GetColumnOrderArray(m_hwnd, int(listOrder.size()), listOrder.data());
    std::vector<int> order = m_order;
    auto next = listOrder.begin();
    for (int& column : order)
        if (m_columns[std::size_t(column)].visible && next != listOrder.end())
            column = m_shown[std::size_t(*next++)];
    return order;
}

// Inside an update the layout being built is the truth; the list view shows the one from before.
void TClickList::takeUserLayout() {
    if (m_updating > 0)
        return;
    m_columns = currentColumns();
    m_order = currentOrder();
}

std::vector<int> TClickList::shownColumns() const {
    std::vector<int> shown;
    for (int column : currentOrder())
        if (m_columns[std::size_t(column)].visible)
            shown.push_back(column);
    return shown;
}

// The main column becomes the list view's first column, since that one carries the check boxes; the display order
// puts every column back in its place.
void TClickList::showLayout() {
    if (m_updating > 0)
        return;
    std::vector<int> display;
    for (int column : m_order)
        if (m_columns[std::size_t(column)].visible)
            display.push_back(column);
    std::vector<int> shown = display;
    const auto main = std::find(shown.begin(), shown.end(), m_main);
    if (main != shown.end())
        std::rotate(shown.begin(), main, main + 1);

    SendMessageW(m_hwnd, WM_SETREDRAW, FALSE, 0);
    for (int index = listColumnCount(m_hwnd) - 1; index > 0; --index)
        ListView_DeleteColumn(m_hwnd, index);
    m_shown.clear();
    if (shown.empty()) {
        putColumn(m_hwnd, 0, L"", 0, LVCFMT_LEFT, false);
    } else {
        for (std::size_t index = 0; index < shown.size(); ++index) {
            const Column& column = m_columns[std::size_t(shown[index])];
            putColumn(m_hwnd, int(index), column.caption, column.width, formatOf(column.alignment), index > 0);
        }
        m_shown = shown;
        std::vector<int> listOrder;
        for (int column : display)
            listOrder.push_back(int(std::find(shown.begin(), shown.end(), column) - shown.begin()));
        ListView_SetColumnOrderArray(m_hwnd, int(listOrder.size()), listOrder.data());
    }
    SendMessageW(m_hwnd, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(m_hwnd, nullptr, TRUE);
}

void TClickList::clearColumns() {
    m_columns.clear();
    m_order.clear();
    m_main = 0;
    showLayout();
}

void TClickList::addColumn(const std::string& caption) {
    takeUserLayout();
    m_order.push_back(int(m_columns.size()));
    m_columns.push_back({toUtf16(caption)});
    showLayout();
}

void TClickList::beginColumnUpdate() {
    takeUserLayout();
    ++m_updating;
}

void TClickList::endColumnUpdate() {
    if (m_updating > 0 && --m_updating == 0)
        showLayout();
}

int TClickList::columnWidth(int column) const {
    return validColumn(column) ? currentColumns()[std::size_t(column)].width : 0;
}

void TClickList::setColumnWidth(int column, int width) {
    if (!validColumn(column))
        return;
    takeUserLayout();
    m_columns[std::size_t(column)].width = std::max(0, width);
    showLayout();
}

void TClickList::setColumnAlignment(int column, TColumnAlignment alignment) {
    if (!validColumn(column))
        return;
    takeUserLayout();
    m_columns[std::size_t(column)].alignment = alignment;
    showLayout();
}

void TClickList::setColumnVisible(int column, bool visible) {
    if (!validColumn(column))
        return;
    takeUserLayout();
    m_columns[std::size_t(column)].visible = visible;
    showLayout();
}

int TClickList::columnPosition(int column) const {
    const std::vector<int> order = currentOrder();
    const auto found = std::find(order.begin(), order.end(), column);
    return found == order.end() ? -1 : int(found - order.begin());
}

void TClickList::setColumnPosition(int column, int position) {
    if (!validColumn(column) || position < 0 || position >= int(m_order.size()))
        return;
    takeUserLayout();
    m_order.erase(std::find(m_order.begin(), m_order.end(), column));
    m_order.insert(m_order.begin() + position, column);
    showLayout();
}

void TClickList::setMainColumn(int column) {
    takeUserLayout();
    m_main = column;
    showLayout();
}

void TClickList::insertRow(int row) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = LPSTR_TEXTCALLBACKW;
    const int index = int(SendMessageW(m_hwnd, LVM_INSERTITEMW, 0, LPARAM(&item)));
    ListView_SetCheckState(m_hwnd, index, m_controller->RowChecked(row));
}

void TClickList::rowsReset() {
    m_populating = true;
    ListView_DeleteAllItems(m_hwnd);
    const int rows = m_controller ? m_controller->RowCount() : 0;
    for (int row = 0; row < rows; ++row)
        insertRow(row);
    m_populating = false;
}

void TClickList::rowInserted(int row) {
    if (!m_controller || row < 0 || row > ListView_GetItemCount(m_hwnd))
        return rowsReset();
    m_populating = true;
    insertRow(row);
    m_populating = false;
}

void TClickList::rowRemoved(int row) {
    if (!m_controller || row < 0 || row >= ListView_GetItemCount(m_hwnd))
        return rowsReset();
    m_populating = true;
    ListView_DeleteItem(m_hwnd, row);
    m_populating = false;
}

void TClickList::repaintRow(int row) {
    if (row >= 0 && row < ListView_GetItemCount(m_hwnd))
        ListView_RedrawItems(m_hwnd, row, row);
}

void TClickList::repaintAll() {
    InvalidateRect(m_hwnd, nullptr, FALSE);
}

int TClickList::focusedRow() const {
    return ListView_GetNextItem(m_hwnd, -1, LVNI_FOCUSED);
}

void TClickList::getCellText(NMLVDISPINFOW& info) const {
    if (!(info.item.mask & LVIF_TEXT) || info.item.cchTextMax <= 0)
        return;
    info.item.pszText[0] = L'\0';
    const int shown = info.item.iSubItem;
    if (!m_controller || shown < 0 || shown >= int(m_shown.size()))
        return;
    const std::wstring text = toUtf16(m_controller->GetCellText(info.item.iItem, m_shown[std::size_t(shown)]));
    wcsncpy(info.item.pszText, text.c_str(), std::size_t(info.item.cchTextMax - 1));
    info.item.pszText[info.item.cchTextMax - 1] = L'\0';
}

// Asked when the pointer rests on the list: the tip of the row under it, none where no row is or it has none.
void TClickList::getRowTip(NMTTDISPINFOW& tip) {
    POINT pointer{};
    GetCursorPos(&pointer);
    ScreenToClient(m_hwnd, &pointer);
    const int row = rowAt(pointer);
    m_tipText = m_controller && row >= 0 ? toUtf16(m_controller->GetRowTip(row)) : std::wstring();
    tip.lpszText = m_tipText.data();
}

// The check box is the row's state image: 1 unchecked, 2 checked.
void TClickList::itemChanged(const NMLISTVIEW& change) const {
    if (m_populating || !m_controller || change.iItem < 0 || !(change.uChanged & LVIF_STATE))
        return;
    const UINT newImage = (change.uNewState & LVIS_STATEIMAGEMASK) >> 12;
    const UINT oldImage = (change.uOldState & LVIS_STATEIMAGEMASK) >> 12;
    if (newImage == 0 || newImage == oldImage)
        return;
    m_controller->NodeChecked(change.iItem, newImage == 2);
}

bool TClickList::notify(const NMHDR& header, LRESULT& result) {
    if (header.hwndFrom == m_tip && header.code == TTN_GETDISPINFOW) {
        runGuarded([&] { getRowTip(reinterpret_cast<NMTTDISPINFOW&>(const_cast<NMHDR&>(header))); });
        result = 0;
        return true;
    }
    if (header.hwndFrom != m_hwnd)
        return false;
    result = 0;
    runGuarded([&] {
        switch (header.code) {
        case LVN_GETDISPINFOW:
            getCellText(*reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(&header)));
            break;
        case LVN_ITEMCHANGED:
            itemChanged(reinterpret_cast<const NMLISTVIEW&>(header));
            break;
        case NM_DBLCLK:
            if (reinterpret_cast<const NMITEMACTIVATE&>(header).iItem >= 0 && m_onDoubleClick)
                m_onDoubleClick();
            break;
        default:
            break;
        }
    });
    return true;
}
