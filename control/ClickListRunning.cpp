// Starting and stopping the runners, and repainting the rows whose status changed while they run.
#include "control/ClickListController.h"

#include <algorithm>

void TClickListController::StartAll() {
    for (int row = 0; row < RowCount(); ++row) {
        TClickRunner& runner = *fRows[row].runner;
        if (fRows[row].checked && !runner.fRunning) {
            runner.Start();
            RepaintRow(row);
        }
    }
    RepaintAll();
    WatchRunners();
}

void TClickListController::StopAll() {
    for (Row& row : fRows) {
        if (row.runner->fRunning) {
            row.runner->Stop();
        }
    }
    RepaintAll();
}

void TClickListController::StartRow(int row) {
    if (fClosed || row < 0 || row >= RowCount()) {
        return;
    }
    fRows[row].runner->Start();
    RepaintRow(row);
    WatchRunners();
}

void TClickListController::StopRow(int row) {
    if (row < 0 || row >= RowCount()) {
        return;
    }
    fRows[row].runner->Stop();
    RepaintRow(row);
}

void TClickListController::Row::RememberShownStatus() {
    shownRunning = runner->fRunning;
    shownCount = runner->fCount;
    shownError = runner->fTickError;
}

void TClickListController::RepaintRow(int row) {
    fRows[row].RememberShownStatus();
    fView.repaintRow(row);
}

void TClickListController::RepaintAll() {
    for (Row& row : fRows) {
        row.RememberShownStatus();
    }
    fView.repaintAll();
}

bool TClickListController::AnyRunning() const {
    return std::any_of(fRows.begin(), fRows.end(), [](const Row& row) { return row.runner->fRunning; });
}

void TClickListController::WatchRunners() {
    if (!AnyRunning()) {
        return;
    }
    if (!fRefreshTimer) {
        fRefreshTimer = fPlatform.loop.createTimer();
        fRefreshTimer->setInterval(kRefreshIntervalMs);
        fRefreshTimer->setOnTick([this] { RefreshChangedRows(); });
    }
    if (!fRefreshTimer->enabled()) {
        fRefreshTimer->setEnabled(true);
    }
}

// The status cell shows the count only while running, so a stopped runner's count changes need no repaint.
void TClickListController::RefreshChangedRows() {
    for (int row = 0; row < RowCount(); ++row) {
        const Row& shown = fRows[row];
        const bool running = shown.runner->fRunning;
        if (running != shown.shownRunning ||
            (running && (shown.runner->fCount != shown.shownCount || shown.runner->fTickError != shown.shownError))) {
            RepaintRow(row);
        }
    }
    if (fRefreshTimer && !AnyRunning()) {
        fRefreshTimer->setEnabled(false);
    }
}
