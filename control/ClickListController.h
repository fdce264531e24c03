#pragma once

#include "control/ClickListView.h"
#include "control/CornerWatch.h"
#include "control/ToolCommands.h"
#include "control/UserMessages.h"
#include "engine/ClickRunner.h"
#include "engine/DryRun.h"
#include "model/ClickListFile.h"
#include "model/Config.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The one controller: owns the runners, one per list row, answers the commands and the global hotkeys (it registers
// and receives them itself), loads the click list and settings at construction and saves them at Close. Every change
// to the list (New, Edit, Delete, a check box) is saved at once, so nothing is lost when the program ends some other
// way.
//
// Live status: runners tick on their own timers, so the controller watches them while any of them runs (a platform
// timer every kRefreshIntervalMs) and calls repaintRow for each row whose "running N times" / "stopped" text has
// changed. The view needs no timer of its own; it only repaints what it is told.
//
// The members are defined by concern: commands and rows in ClickListController.cpp, the files in
// ClickListPersistence.cpp, window and columns in ClickListLayout.cpp, cell texts in ClickListCellText.cpp, hotkeys
// in ClickListHotKeys.cpp, starting, stopping and live status in ClickListRunning.cpp.
//
// Re-entrance: a runner's tick lets pending messages run, so Delete, Close and the hotkeys can arrive inside a tick.
// Runners are always released through TClickRunner::Dispose, which waits for a running tick to return. Close may even
// run while a modal dialog of NewClick/EditClick is open; the command then finds its runner gone and does nothing.
// The view must outlive the controller.
// How the program is being closed: by the user, who can be asked what to do about a file that cannot be saved, or
// from outside (a termination signal, the session's end), where nobody can answer.
enum class TCloseKind { Unattended, ByUser };

class TClickListController {
public:
    static constexpr int kRefreshIntervalMs = 200;
    static constexpr int kHotKeyCount = 12;

    // `folder` holds the click list and settings files (the program's folder). A list that cannot be saved when the
    // program is closed from outside goes into `recoveryFolder` (none when empty); this folder's list found there is
    // offered by OfferRecoveredList.
    TClickListController(IClickListView& view, Platform& platform, std::string folder, std::string recoveryFolder = {});
    // Runs Close if it has not run.
    ~TClickListController();

    TClickListController(const TClickListController&) = delete;
    TClickListController& operator=(const TClickListController&) = delete;

    // Stores the settings, saves both files, releases the runners and unregisters the hotkeys; every step runs even
    // when an earlier one fails. When a file cannot be saved, a close by the user asks (IClickListView::askUnsaved)
    // until it is saved, the list is saved elsewhere or the user quits without saving; otherwise, or when the
    // question gets no answer, the list goes to the recovery file. Gives one message per failed save, naming the file
    // and why, and where the list was kept instead. Runs once; later calls give no messages.
    std::vector<std::string> Close(TCloseKind kind = TCloseKind::Unattended);
    // The saves of an unattended Close and nothing else (no runner, window or hotkey is touched): for a process that
    // is ending without a close, its display gone. Gives the messages; later calls, and Close, give none.
    std::vector<std::string> SaveBeforeExit();
    // Close, then tells the user each failure: in a box only when the user closed the program.
    void CloseAndTell(TCloseKind kind);
    // Tells the user once what the start found (a file kept aside, a folder that cannot be written, hotkeys held
    // elsewhere), then offers a list that the last run could not save.
    void TellStartup();
    // Asks what to do with this folder's list that an earlier run kept in the recovery file, if there is one.
    void OfferRecoveredList();
    // Where this folder's list goes when it cannot be saved at an unattended close; empty without a recovery folder.
    // When a list is kept there already (an earlier run's, another copy's), a numbered name beside it is used.
    std::string RecoveryFileName() const;
    // A change to the list is not on disk yet (its save failed).
    bool ListUnsaved() const { return m_listUnsaved; }
    // Messages for the user about the start (an unreadable file kept aside, and where).
    const std::vector<std::string>& StartupMessages() const { return m_startupMessages; }

    // A toolbar button; one that needs a focused row does nothing without one.
    void Run(TCommand command);
    void NewClick();
    void EditClick();
    void AddClick(std::unique_ptr<TClickRunner> runner);
    void DeleteClick();
    void StartAll();
    void StopAll();
    // One row's runner started or stopped as its hotkeys do, and shown; a row that does not exist is left alone.
    // StartRow starts even an unticked row: whoever calls it has chosen that row.
    void StartRow(int row);
    void StopRow(int row);
    // Shows the options dialog with the settings' choices; on OK applies the user's to the settings and the list.
    void ShowOptions();
    // The column visibility, auto start and primary output the settings hold.
    TOptionsChoices Options();
    // Stores the choices in the settings (columns matched by their place) and shows the columns anew; a primary output
    // chosen anew is used from now on. A primary output list without items leaves the stored one.
    void ApplyOptions(const TOptionsChoices& choices);
    // The stop-all key and the corner stop of the choices, stored and used from now on.
    void ApplyStopOptions(const TOptionsChoices& choices);
    // `key`: 0 (F1) to 11 (F12).
    void HotKeyPressed(int key);
    // Every registered hotkey's id comes here: the controller registers Ctrl+F1 to Ctrl+F12 as ids 0 to 11 and the
    // key that stops every click as StopAllKey::kHotKeyId; other ids do nothing.
    void HotKeyReceived(int id);
    // Whether Ctrl+F(n + 1) is registered; a key another program holds is not, and is marked where it is shown.
    bool HotKeyTaken(int n) const;
    // Whether the corner watch runs: the option is on, a click runs and the pointer can be read.
    bool WatchingCorners() const { return m_cornerWatch.Watching(); }

    TConfig& Config();
    // The text of a cell; empty for a row or column that does not exist.
    std::string GetCellText(int row, int column);
    // The row's click searched once on the screen as it is, without clicking; the row must exist.
    TDryRunResult DryRunRow(int row);
    // The row's tip: for a colour or picture click what its last search gave, in full; empty for other clicks.
    std::string GetRowTip(int row) const;
    void NodeChecked(int row, bool checked);

    int RowCount() const;
    bool RowChecked(int row) const;
    TClickRunner& Runner(int row) const;
    const std::string& ListFileName() const { return m_listFile.Path(); }

    // The stored primary output is used; on a system that decides it itself, nothing changes.
    void ApplyPrimaryOutput();
    void ApplyWindowSettings();
    void BuildColumns();
    void ApplyColumns();
    void StoreSettings();
    void LoadClickList();
    void SaveClickList();
    void RegisterHotKeys();
    void UnregisterHotKeys();

private:
    struct Row {
        std::unique_ptr<TClickRunner> runner;
        bool checked = true;
        // What the view was last told about the runner's status.
        bool shownRunning = false;
        std::int32_t shownCount = 0;
        std::string shownError{};
        TLastSearch shownSearch{};

        void RememberShownStatus();
    };

    std::vector<int> HotKeysHeldElsewhere() const;
    // Registers the stored stop-all key; false when another program holds it.
    bool RegisterStopAllKey();
    void RunStartupStep(const char* what, void (TClickListController::*step)());
    void CleanUpAndCheckFolder();
    void UseLoadedRows(const ClickListLoad& load);
    // Saves the list now; a failure is shown once, until a save succeeds again or fails for another reason.
    void ListChanged();
    std::vector<const TMouseObj*> Clicks();
    void SaveAtClose(TCloseKind kind);
    bool TrySave(void (TClickListController::*save)(), std::vector<std::string>& failures);
    bool AskUntilSettled(bool& settingsSaved, bool& listSaved, std::vector<std::string>& failures);
    void WriteRecoveryFile();
    void RestoreRecoveredList(const std::string& path);
    void StartIfAutorun();
    void ReportUnreadableList(const std::string& error, const std::string& keptAsidePath);
    // The focused row, or -1 when no row is focused.
    int FocusedRow() const;
    int RowOf(const TClickRunner* runner) const;
    void ReleaseRows();
    void RepaintRow(int row);
    void RepaintAll();
    void WatchRunners();
    void RefreshChangedRows();
    bool AnyRunning() const;

    IClickListView& m_view;
    Platform& m_platform;
    // The runners' platform: the same, with their pointer moves remembered for the corner watch.
    TProgramMouse m_programMouse{m_platform.mouse};
    Platform m_runnerPlatform{m_programMouse, m_platform.screen, m_platform.loop, m_platform.clock, m_platform.hotKeys};
    TCornerWatch m_cornerWatch{m_platform, m_programMouse, [this] { StopAll(); }};
    TUserMessages m_messages{m_view};
    std::string m_folder;
    std::string m_recoveryFolder;
    TProtectedFile m_listFile;
    std::unique_ptr<TConfig> m_config;
    int m_columnCount = 0;
    // Which columns ApplyColumns showed; a hidden column's width is not taken from the view.
    std::vector<bool> m_columnVisible;
    bool m_hotKeysRegistered = false;
    std::array<bool, kHotKeyCount> m_hotKeyTaken{};
    bool m_stopAllKeyTaken = false;
    std::vector<Row> m_rows;
    std::unique_ptr<ITimer> m_refreshTimer;
    std::vector<std::string> m_startupMessages;
    std::vector<std::string> m_closeMessages;
    bool m_closed = false;
    bool m_listUnsaved = false;
    // The close's saves are over: saved, settled by the user, or the list kept in the recovery file.
    bool m_closeSaved = false;
    // The save failure the user was last told about while the list is unsaved.
    std::string m_shownSaveFailure;
};

// Gives the cell text of a click for a column name.
std::string ColumnText(const TClickRunner& runner, const std::string& columnName);
// What a colour or picture click's last search gave, in a few words; empty before its first search and for other
// clicks.
std::string LastSearchText(const TClickRunner& runner);
// "CTRL+F1" for key 0, as the list and the messages name the hotkeys.
std::string HotKeyText(int key);
