#include "control/ClickListController.h"

#include "platform/ErrorGuard.h"
#include "platform/Files.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace {

const char* const kNewCaption = "New Mouse Action";
const char* const kEditCaption = "Edit Mouse Action";

} // namespace

TClickListController::TClickListController(IClickListView& view, Platform& platform, std::string folder,
                                           std::string recoveryFolder)
    : m_view(view), m_platform(platform), m_folder(std::move(folder)), m_recoveryFolder(std::move(recoveryFolder)),
      m_listFile(utf8FromPath(pathFromUtf8(m_folder) / kClickListFileName), kClickListFileKind) {
    setDroppedErrorObserver([this](const char* what) { m_messages.TellDroppedError(what); });
    RunStartupStep("Could not check the files folder", &TClickListController::CleanUpAndCheckFolder);
    RunStartupStep("Could not choose the primary output", &TClickListController::ApplyPrimaryOutput);
    RunStartupStep("Could not apply the window settings", &TClickListController::ApplyWindowSettings);
    RunStartupStep("Could not build the list columns", &TClickListController::BuildColumns);
    RunStartupStep("Could not load the click list", &TClickListController::LoadClickList);
    RunStartupStep("Could not register the hotkeys", &TClickListController::RegisterHotKeys);
    RunStartupStep("Could not start the clicks", &TClickListController::StartIfAutorun);
}

TClickListController::~TClickListController() {
    try {
        Close();
    } catch (...) {
        // A destructor must not throw; Close has already done every step it could.
    }
}

// One broken step (a settings value that does not convert, say) must not keep the window from opening.
void TClickListController::RunStartupStep(const char* what, void (TClickListController::*step)()) {
    try {
        (this->*step)();
    } catch (const std::exception& error) {
        m_startupMessages.push_back(std::string(what) + ": " + error.what());
    }
}

void TClickListController::StartIfAutorun() {
    if (Config().GetFrame().Getautorun()) {
        StartAll();
    }
}

std::vector<std::string> TClickListController::Close(TCloseKind kind) {
    if (m_closed) {
        return {};
    }
    m_closed = true;
    setDroppedErrorObserver(nullptr);
    SaveAtClose(kind);
    const auto attempt = [this](auto&& step) {
        try {
            step();
        } catch (const std::exception& error) {
            m_closeMessages.push_back(error.what());
        } catch (...) {
            m_closeMessages.emplace_back("An unexpected error stopped a step of closing.");
        }
    };
    m_refreshTimer.reset();
    ReleaseRows();
    attempt([this] { m_view.rowsReset(); });
    attempt([this] { UnregisterHotKeys(); });
    return std::exchange(m_closeMessages, {});
}

void TClickListController::CloseAndTell(TCloseKind kind) {
    m_messages.Tell("Tappora", TMessageIcon::Error, Close(kind), kind == TCloseKind::ByUser);
}

void TClickListController::TellStartup() {
    m_messages.Tell("Warning", TMessageIcon::Warning, m_startupMessages, true);
    OfferRecoveredList();
}

void TClickListController::Run(TCommand command) {
    const TToolCommand& tool = kToolCommands[static_cast<std::size_t>(command)];
    if (m_closed || (tool.needsFocusedRow && FocusedRow() < 0)) {
        return;
    }
    switch (command) {
    case TCommand::New:
        return NewClick();
    case TCommand::Edit:
        return EditClick();
    case TCommand::Delete:
        return DeleteClick();
    case TCommand::Start:
        return StartAll();
    case TCommand::Stop:
        return StopAll();
    case TCommand::Options:
        return ShowOptions();
    case TCommand::Exit:
        return m_view.closeByUser();
    }
}

void TClickListController::NewClick() {
    const std::unique_ptr<IClickEditor> editor = m_view.createClickEditor(HotKeysHeldElsewhere());
    editor->setCaption(kNewCaption);
    if (editor->ShowModal() != mrOk) {
        return;
    }
    auto runner = std::make_unique<TClickRunner>(m_runnerPlatform);
    // The editor writes all fields or none; when it fails nothing is added.
    editor->SaveToClick(*runner);
    AddClick(std::move(runner));
}

void TClickListController::EditClick() {
    const int focused = FocusedRow();
    if (focused < 0) {
        return;
    }
    TClickRunner* runner = m_rows[focused].runner.get();
    const std::unique_ptr<IClickEditor> editor = m_view.createClickEditor(HotKeysHeldElsewhere());
    editor->setCaption(kEditCaption);
    editor->LoadFromClick(*runner);
    if (editor->ShowModal() != mrOk) {
        return;
    }
    // The click may have been deleted, or the program closed, while the dialog was open.
    const int row = RowOf(runner);
    if (row < 0) {
        return;
    }
    const TMouseObj shown = *runner;
    editor->SaveToClick(*runner);
    if (static_cast<const TMouseObj&>(*runner) == shown) {
        return;
    }
    RepaintRow(row);
    ListChanged();
}

void TClickListController::AddClick(std::unique_ptr<TClickRunner> runner) {
    if (!runner || m_closed) {
        return;
    }
    // The row is ticked, and the runner must agree, since the start hotkey asks the runner.
    runner->checked = true;
    m_rows.push_back(Row{std::move(runner), true});
    m_view.rowInserted(RowCount() - 1);
    ListChanged();
}

void TClickListController::DeleteClick() {
    const int focused = FocusedRow();
    if (focused < 0) {
        return;
    }
    const TClickRunner* chosen = m_rows[focused].runner.get();
    if (!m_view.confirmDelete()) {
        return;
    }
    // Ticks run while the question is open; find the row again.
    const int row = RowOf(chosen);
    if (row < 0) {
        return;
    }
    std::unique_ptr<TClickRunner> runner = std::move(m_rows[row].runner);
    m_rows.erase(m_rows.begin() + row);
    TClickRunner::Dispose(std::move(runner));
    m_view.rowRemoved(row);
    ListChanged();
}

void TClickListController::NodeChecked(int row, bool checked) {
    if (row < 0 || row >= RowCount()) {
        return;
    }
    if (m_rows[row].checked == checked) {
        return;
    }
    m_rows[row].checked = checked;
    m_rows[row].runner->checked = checked;
    ListChanged();
}

int TClickListController::RowCount() const {
    return static_cast<int>(m_rows.size());
}

bool TClickListController::RowChecked(int row) const {
    return m_rows.at(row).checked;
}

TClickRunner& TClickListController::Runner(int row) const {
    return *m_rows.at(row).runner;
}

int TClickListController::FocusedRow() const {
    const int focused = m_view.focusedRow();
    return focused >= 0 && focused < RowCount() ? focused : -1;
}

int TClickListController::RowOf(const TClickRunner* runner) const {
    const auto found =
        std::find_if(m_rows.begin(), m_rows.end(), [&](const Row& row) { return row.runner.get() == runner; });
    return found == m_rows.end() ? -1 : static_cast<int>(found - m_rows.begin());
}

// Last row first; a runner whose tick is on the stack is destroyed when that tick returns.
void TClickListController::ReleaseRows() {
    std::vector<Row> rows = std::exchange(m_rows, {});
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        TClickRunner::Dispose(std::move(row->runner));
    }
}
