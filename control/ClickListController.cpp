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
    : fView(view), fPlatform(platform), fFolder(std::move(folder)), fRecoveryFolder(std::move(recoveryFolder)),
      fListFile(utf8FromPath(pathFromUtf8(fFolder) / kClickListFileName), kClickListFileKind) {
    setDroppedErrorObserver([this](const char* what) { fMessages.TellDroppedError(what); });
    RunStartupStep("Could not check the files folder", &TClickListController::CleanUpAndCheckFolder);
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
        fStartupMessages.push_back(std::string(what) + ": " + error.what());
    }
}

void TClickListController::StartIfAutorun() {
    if (Config().GetFrame().Getautorun()) {
        StartAll();
    }
}

std::vector<std::string> TClickListController::Close(TCloseKind kind) {
    if (fClosed) {
        return {};
    }
    fClosed = true;
    setDroppedErrorObserver(nullptr);
    SaveAtClose(kind);
    const auto attempt = [this](auto&& step) {
        try {
            step();
        } catch (const std::exception& error) {
            fCloseMessages.push_back(error.what());
        } catch (...) {
            fCloseMessages.emplace_back("An unexpected error stopped a step of closing.");
        }
    };
    fRefreshTimer.reset();
    ReleaseRows();
    attempt([this] { fView.rowsReset(); });
    attempt([this] { UnregisterHotKeys(); });
    return std::exchange(fCloseMessages, {});
}

void TClickListController::CloseAndTell(TCloseKind kind) {
    fMessages.Tell("Tappora", TMessageIcon::Error, Close(kind), kind == TCloseKind::ByUser);
}

void TClickListController::TellStartup() {
    fMessages.Tell("Warning", TMessageIcon::Warning, fStartupMessages, true);
    OfferRecoveredList();
}

void TClickListController::Run(TCommand command) {
    const TToolCommand& tool = kToolCommands[static_cast<std::size_t>(command)];
    if (fClosed || (tool.needsFocusedRow && FocusedRow() < 0)) {
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
        return fView.closeByUser();
    }
}

void TClickListController::NewClick() {
    const std::unique_ptr<IClickEditor> editor = fView.createClickEditor(HotKeysHeldElsewhere());
    editor->setCaption(kNewCaption);
    if (editor->ShowModal() != mrOk) {
        return;
    }
    auto runner = std::make_unique<TClickRunner>(fPlatform);
    // The editor writes all fields or none; when it fails nothing is added.
    editor->SaveToClick(*runner);
    AddClick(std::move(runner));
}

void TClickListController::EditClick() {
    const int focused = FocusedRow();
    if (focused < 0) {
        return;
    }
    TClickRunner* runner = fRows[focused].runner.get();
    const std::unique_ptr<IClickEditor> editor = fView.createClickEditor(HotKeysHeldElsewhere());
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
    if (!runner || fClosed) {
        return;
    }
    // The row is ticked, and the runner must agree, since the start hotkey asks the runner.
    runner->checked = true;
    fRows.push_back(Row{std::move(runner), true});
    fView.rowInserted(RowCount() - 1);
    ListChanged();
}

void TClickListController::DeleteClick() {
    const int focused = FocusedRow();
    if (focused < 0) {
        return;
    }
    const TClickRunner* chosen = fRows[focused].runner.get();
    if (!fView.confirmDelete()) {
        return;
    }
    // Ticks run while the question is open; find the row again.
    const int row = RowOf(chosen);
    if (row < 0) {
        return;
    }
    std::unique_ptr<TClickRunner> runner = std::move(fRows[row].runner);
    fRows.erase(fRows.begin() + row);
    TClickRunner::Dispose(std::move(runner));
    fView.rowRemoved(row);
    ListChanged();
}

void TClickListController::NodeChecked(int row, bool checked) {
    if (row < 0 || row >= RowCount()) {
        return;
    }
    if (fRows[row].checked == checked) {
        return;
    }
    fRows[row].checked = checked;
    fRows[row].runner->checked = checked;
    ListChanged();
}

int TClickListController::RowCount() const {
    return static_cast<int>(fRows.size());
}

bool TClickListController::RowChecked(int row) const {
    return fRows.at(row).checked;
}

TClickRunner& TClickListController::Runner(int row) const {
    return *fRows.at(row).runner;
}

int TClickListController::FocusedRow() const {
    const int focused = fView.focusedRow();
    return focused >= 0 && focused < RowCount() ? focused : -1;
}

int TClickListController::RowOf(const TClickRunner* runner) const {
    const auto found =
        std::find_if(fRows.begin(), fRows.end(), [&](const Row& row) { return row.runner.get() == runner; });
    return found == fRows.end() ? -1 : static_cast<int>(found - fRows.begin());
}

// Last row first; a runner whose tick is on the stack is destroyed when that tick returns.
void TClickListController::ReleaseRows() {
    std::vector<Row> rows = std::exchange(fRows, {});
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        TClickRunner::Dispose(std::move(row->runner));
    }
}
