// The window's place, the list's columns and the primary output: applied from the settings at start and from the
// options dialog, stored back at close.
#include "control/ClickListController.h"

#include "control/StopAllKey.h"
#include "control/WindowPlacement.h"

#include <algorithm>
#include <numeric>
#include <optional>

namespace {

// Suspends the view's column updates for its lifetime, so an error inside the batch still resumes them.
class ColumnUpdate {
public:
    explicit ColumnUpdate(IClickListView& view) : m_view(view) { m_view.beginColumnUpdate(); }
    ~ColumnUpdate() { m_view.endColumnUpdate(); }
    ColumnUpdate(const ColumnUpdate&) = delete;
    ColumnUpdate& operator=(const ColumnUpdate&) = delete;

private:
    IClickListView& m_view;
};

TColumnAlignment AlignmentOf(const std::string& align) {
    if (align == "right") {
        return TColumnAlignment::Right;
    }
    if (align == "center") {
        return TColumnAlignment::Center;
    }
    return TColumnAlignment::Left;
}

// The columns from left to right by their stored Index. Positions are then set from the left, each column moved to
// its final place; moving a column never disturbs the places already set to its left, so any header reaches exactly
// that order. Duplicate or out-of-range Index values still give a complete order (ties keep creation order).
std::vector<int> DisplayOrder(const std::vector<std::int32_t>& index) {
    std::vector<int> order(index.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return index[a] < index[b]; });
    return order;
}

// Earlier runs stored 0 for every column that was hidden at close; shown with that, a ticked column would have no
// width at all.
int ShownWidth(std::int32_t storedWidth, bool visible) {
    constexpr std::int32_t kDefaultColumnWidth = 72;
    return visible && storedWidth <= 0 ? kDefaultColumnWidth : storedWidth;
}

// The first visible column in display order, or column 0 when none is visible.
int FirstVisible(const std::vector<int>& displayOrder, const std::vector<bool>& visible) {
    const auto found =
        std::find_if(displayOrder.begin(), displayOrder.end(), [&](int column) { return visible[column]; });
    return found == displayOrder.end() ? 0 : *found;
}

// The primary output's list where the user may choose it: the system's rule first, then each output. A stored name
// that no output has (a monitor unplugged) is listed last and selected, saying that the rule stands in for it; it
// stays stored, so the output is primary again when it comes back.
TOptionsList PrimaryOutputList(const std::vector<std::string>& outputs, const std::string& stored) {
    TOptionsList list;
    if (outputs.empty()) {
        return list;
    }
    list.items.emplace_back("At the layout's origin");
    list.values.emplace_back();
    for (const std::string& output : outputs) {
        list.items.push_back(output);
        list.values.push_back(output);
    }
    if (!stored.empty() && std::find(outputs.begin(), outputs.end(), stored) == outputs.end()) {
        list.items.push_back(stored + " (not there: the layout's origin is used)");
        list.values.push_back(stored);
    }
    list.selected = static_cast<int>(std::find(list.values.begin(), list.values.end(), stored) - list.values.begin());
    return list;
}

// The value of the selected item; nothing when the list was not shown.
std::optional<std::string> SelectedValue(const TOptionsList& list) {
    if (list.selected < 0 || list.selected >= static_cast<int>(list.values.size())) {
        return std::nullopt;
    }
    return list.values[list.selected];
}

} // namespace

void TClickListController::ApplyPrimaryOutput() {
    m_platform.screen.choosePrimary(Config().GetFrame().GetprimaryOutput());
}

void TClickListController::ApplyWindowSettings() {
    const TXMLFrameType frame = Config().GetFrame();
    if (frame.Getmax()) {
        m_view.setWindowMaximized();
        return;
    }
    // A hand-edited or stale file must not make a window larger than the desktop, or one out of reach.
    const TRect stored{frame.Getleft(), frame.Gettop(), frame.Getwidth(), frame.Getheight()};
    m_view.setWindowBounds(FitOnMonitors(stored, m_view.monitorAreas()));
}

void TClickListController::BuildColumns() {
    m_view.clearColumns();
    m_columnCount = 0;
    {
        ColumnUpdate update(m_view);
        const TXMLColsType cols = Config().GetCols();
        for (int i = 0; i < cols.Count(); ++i) {
            m_view.addColumn(cols.Item(i).GetName());
            ++m_columnCount;
        }
    }
    ApplyColumns();
}

void TClickListController::ApplyColumns() {
    const TXMLColsType cols = Config().GetCols();
    const int count = std::min(m_columnCount, cols.Count());
    std::vector<bool>& visible = m_columnVisible;
    visible.assign(count, true);
    std::vector<std::int32_t> index(count);
    {
        ColumnUpdate update(m_view);
        for (int i = 0; i < count; ++i) {
            const TXMLColType col = cols.Item(i);
            visible[i] = col.GetVisible();
            m_view.setColumnWidth(i, ShownWidth(col.GetWidth(), visible[i]));
            m_view.setColumnAlignment(i, AlignmentOf(col.GetAlign()));
            m_view.setColumnVisible(i, visible[i]);
            index[i] = col.GetIndex();
        }
    }
    const std::vector<int> displayOrder = DisplayOrder(index);
    for (int position = 0; position < count; ++position) {
        m_view.setColumnPosition(displayOrder[position], position);
    }
    if (count > 0) {
        m_view.setMainColumn(FirstVisible(displayOrder, visible));
    }
}

void TClickListController::StoreSettings() {
    TXMLFrameType frame = Config().GetFrame();
    const TRect bounds = m_view.windowBounds();
    frame.Setleft(bounds.left);
    frame.Settop(bounds.top);
    frame.Setheight(bounds.height);
    frame.Setwidth(bounds.width);
    frame.Setmax(m_view.windowMaximized());
    const TXMLColsType cols = Config().GetCols();
    const int count = std::min(m_columnCount, cols.Count());
    for (int i = 0; i < count; ++i) {
        TXMLColType col = cols.Item(i);
        // A hidden column has no width on screen (a header reports 0); it keeps the one it is shown with again.
        if (i >= static_cast<int>(m_columnVisible.size()) || m_columnVisible[i]) {
            col.SetWidth(m_view.columnWidth(i));
        }
        col.SetIndex(m_view.columnPosition(i));
    }
    Config().SaveConfig(m_closeMessages);
}

void TClickListController::ShowOptions() {
    const std::unique_ptr<IOptionsDialog> dialog = m_view.createOptionsDialog();
    dialog->showChoices(Options());
    if (dialog->ShowModal() == mrOk && !m_closed) {
        ApplyOptions(dialog->choices());
    }
}

TOptionsChoices TClickListController::Options() {
    TOptionsChoices options;
    const TXMLColsType cols = Config().GetCols();
    for (int i = 0; i < cols.Count(); ++i) {
        options.columns.push_back({cols.Item(i).GetName(), cols.Item(i).GetVisible()});
    }
    options.autorun = Config().GetFrame().Getautorun();
    options.primaryOutput = PrimaryOutputList(m_platform.screen.outputNames(), Config().GetFrame().GetprimaryOutput());
    options.stopAllKey = StopAllKey::Choices(Config().GetFrame().GetstopAllKey(),
                                             m_hotKeysRegistered && !m_stopAllKeyTaken && !m_closed);
    options.cornerStop = Config().GetFrame().GetcornerStop();
    options.keysBoundInDesktop = m_platform.hotKeys.boundInDesktop();
    if (m_platform.mouse.asksLeave()) {
        options.askDesktop = "Ask the desktop now to let Tappora click and see the screen";
    }
    if (!m_cornerWatch.Available()) {
        options.cornerStopUnavailable = "Wayland hides the pointer, so no corner can stop the clicks.";
    }
    return options;
}

void TClickListController::ApplyOptions(const TOptionsChoices& choices) {
    const TXMLColsType cols = Config().GetCols();
    const int count = std::min(cols.Count(), static_cast<int>(choices.columns.size()));
    for (int i = 0; i < count; ++i) {
        cols.Item(i).SetVisible(choices.columns[i].visible);
    }
    Config().GetFrame().Setautorun(choices.autorun);
    ApplyColumns();
    const std::optional<std::string> primary = SelectedValue(choices.primaryOutput);
    if (primary && *primary != Config().GetFrame().GetprimaryOutput()) {
        Config().GetFrame().SetprimaryOutput(*primary);
        ApplyPrimaryOutput();
    }
    ApplyStopOptions(choices);
    if (choices.askDesktopNow && !choices.askDesktop.empty()) {
        m_platform.mouse.prepare();
    }
}

// A key chosen anew is taken at once; one another program holds is told.
void TClickListController::ApplyStopOptions(const TOptionsChoices& choices) {
    if (const std::optional<std::string> key = SelectedValue(choices.stopAllKey)) {
        const std::string stored = StopAllKey::Stored(*key);
        if (stored != Config().GetFrame().GetstopAllKey()) {
            Config().GetFrame().SetstopAllKey(stored);
            if (m_hotKeysRegistered && !RegisterStopAllKey()) {
                m_view.showFileMessage("The key " + *key +
                                       " could not be taken, because another program (or another copy of Tappora) "
                                       "already uses it. Choose another key in Options to stop all clicks with it.");
            }
        }
    }
    Config().GetFrame().SetcornerStop(choices.cornerStop && choices.cornerStopUnavailable.empty());
    m_cornerWatch.Watch(Config().GetFrame().GetcornerStop() && AnyRunning());
}
