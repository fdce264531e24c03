#pragma once

#include "control/ClickEditorModel.h"

#include <QWidget>

#include <memory>
#include <vector>

// The mark Find now puts on the screen: each bar a small window of its own, over every other, that takes neither the
// focus nor the pointer. Bars rather than one window with a hole: without a compositor (plain X11) a window cannot be
// see-through, and only the bars' own pixels are covered.
class TFindMark {
public:
    void show(const std::vector<TMarkBar>& bars);
    void hide();
    // The bars' windows shown now.
    const std::vector<std::unique_ptr<QWidget>>& bars() const { return m_bars; }

private:
    std::vector<std::unique_ptr<QWidget>> m_bars;
};
