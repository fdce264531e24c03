#pragma once

#include "control/ClickEditorModel.h"
#include "ui/win32/Win32.h"

#include <vector>

// The mark Find now puts on the screen: each bar a small top-most window of its own that takes neither the focus nor
// the pointer (layered and transparent to input, a tool window out of the task bar), so only the bars' own pixels are
// covered.
class TFindMark {
public:
    TFindMark() = default;
    TFindMark(const TFindMark&) = delete;
    TFindMark& operator=(const TFindMark&) = delete;
    ~TFindMark();

    void show(const std::vector<TMarkBar>& bars);
    void hide();
    // The bars' windows shown now.
    const std::vector<HWND>& bars() const { return m_bars; }

private:
    std::vector<HWND> m_bars;
    std::vector<HBRUSH> m_brushes;
};
