// Starting and stopping the runners, repainting the rows whose status changed while they run, and a row's dry run.
#include "control/ClickListController.h"

#include <algorithm>

void TClickListController::StartAll() {
    for (int row = 0; row < RowCount(); ++row) {
        TClickRunner& runner = *m_rows[row].runner;
        if (m_rows[row].checked && !runner.running) {
            runner.Start();
            RepaintRow(row);
        }
    }
    RepaintAll();
    WatchRunners();
}

void TClickListController::StopAll() {
    for (Row& row : m_rows) {
        if (row.runner->running) {
            row.runner->Stop();
        }
    }
    m_cornerWatch.Watch(false);
    RepaintAll();
}

void TClickListController::StartRow(int row) {
    if (m_closed || row < 0 || row >= RowCount()) {
        return;
    }
    m_rows[row].runner->Start();
    RepaintRow(row);
    WatchRunners();
}

void TClickListController::StopRow(int row) {
    if (row < 0 || row >= RowCount()) {
        return;
    }
    m_rows[row].runner->Stop();
    RepaintRow(row);
}

void TClickListController::Row::RememberShownStatus() {
    shownRunning = runner->running;
    shownCount = runner->count;
    shownError = runner->tickError;
    shownSearch = runner->lastSearch;
}

void TClickListController::RepaintRow(int row) {
    m_rows[row].RememberShownStatus();
    m_view.repaintRow(row);
}

void TClickListController::RepaintAll() {
    for (Row& row : m_rows) {
        row.RememberShownStatus();
    }
    m_view.repaintAll();
}

bool TClickListController::AnyRunning() const {
    return std::any_of(m_rows.begin(), m_rows.end(), [](const Row& row) { return row.runner->running; });
}

void TClickListController::WatchRunners() {
    if (!AnyRunning()) {
        return;
    }
    if (!m_refreshTimer) {
        m_refreshTimer = m_platform.loop.createTimer();
        m_refreshTimer->setInterval(kRefreshIntervalMs);
        m_refreshTimer->setOnTick([this] { RefreshChangedRows(); });
    }
    if (!m_refreshTimer->enabled()) {
        m_refreshTimer->setEnabled(true);
    }
    m_cornerWatch.Watch(Config().GetFrame().GetcornerStop());
}

// The status cell shows the count only while running, so a stopped runner's count changes need no repaint; the last
// search changes only while running.
void TClickListController::RefreshChangedRows() {
    for (int row = 0; row < RowCount(); ++row) {
        const Row& shown = m_rows[row];
        const bool running = shown.runner->running;
        if (running != shown.shownRunning ||
            (running && (shown.runner->count != shown.shownCount || shown.runner->tickError != shown.shownError ||
                         shown.runner->lastSearch != shown.shownSearch))) {
            RepaintRow(row);
        }
    }
    if (m_refreshTimer && !AnyRunning()) {
        m_refreshTimer->setEnabled(false);
        m_cornerWatch.Watch(false);
    }
}

TDryRunResult TClickListController::DryRunRow(int row) {
    const TCancelFlag running{false};
    return DryRun(m_platform.screen, *m_rows[row].runner, running);
}
