#pragma once

#include "control/ClickListView.h"

#include "ui/win32/Win32.h"

#include <functional>
#include <string>
#include <vector>

class TClickListController;

// The click list: a report list view over the controller. Cell texts and check states are asked of the controller
// whenever they are painted; the list keeps only the columns. Hidden columns are taken out of the list view and
// keep their width and place; the column that carries the check boxes is the list view's own first column. A row's
// tip is a tooltip of the list's own: the list view's info tips never show under Wine.
class TClickList {
public:
    TClickList(HWND parent, int id);
    TClickList(const TClickList&) = delete;
    TClickList& operator=(const TClickList&) = delete;
    // The list, should it outlive this, no longer asks it for the row under the pointer.
    ~TClickList();

    HWND handle() const { return m_hwnd; }
    HWND rowTip() const { return m_tip; }
    // Rows are shown only once the controller exists; until then the controller's row notices are ignored.
    void setController(TClickListController* controller);
    // A double click on a row.
    void setOnDoubleClick(std::function<void()> handler) { m_onDoubleClick = std::move(handler); }
    // The parent passes its WM_NOTIFY from the list here; true when it was the list's.
    bool notify(const NMHDR& header, LRESULT& result);

    void clearColumns();
    void addColumn(const std::string& caption);
    void beginColumnUpdate();
    void endColumnUpdate();
    int columnWidth(int column) const;
    void setColumnWidth(int column, int width);
    void setColumnAlignment(int column, TColumnAlignment alignment);
    void setColumnVisible(int column, bool visible);
    int columnPosition(int column) const;
    void setColumnPosition(int column, int position);
    void setMainColumn(int column);
    int mainColumn() const { return m_main; }
    // The columns shown, left to right, as controller column numbers.
    std::vector<int> shownColumns() const;

    void rowsReset();
    void rowInserted(int row);
    void rowRemoved(int row);
    void repaintRow(int row);
    void repaintAll();
    int focusedRow() const;

private:
    struct Column {
        std::wstring caption;
        int width = 50;
        TColumnAlignment alignment = TColumnAlignment::Left;
        bool visible = true;
    };

    bool validColumn(int column) const { return column >= 0 && column < int(m_columns.size()); }
    // The user may have resized and dragged columns since they were last shown: take that in.
    void takeUserLayout();
    std::vector<Column> currentColumns() const;
    std::vector<int> currentOrder() const;
    // Shows the columns as the layout says, unless an update is in progress.
    void showLayout();
    void insertRow(int row);
    void getCellText(NMLVDISPINFOW& info) const;
    void addRowTip(HWND parent);
    void getRowTip(NMTTDISPINFOW& tip);
    // A new row under the pointer, or the same one after the pointer has left the list, takes the tip shown away.
    static LRESULT CALLBACK trackTipRow(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                        DWORD_PTR self);
    int rowAt(POINT client) const;
    void itemChanged(const NMLISTVIEW& change) const;

    HWND m_hwnd;
    HWND m_tip = nullptr;
    int m_pointerRow = -1;
    std::wstring m_tipText;
    TClickListController* m_controller = nullptr;
    std::function<void()> m_onDoubleClick;
    std::vector<Column> m_columns;
    // Every column, left to right, hidden ones included.
    std::vector<int> m_order;
    // The list view's columns: list view column i shows controller column m_shown[i].
    std::vector<int> m_shown;
    int m_main = 0;
    int m_updating = 0;
    bool m_populating = false;
};
