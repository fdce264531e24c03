#include "control/MouseCtrl.h"

#include "control/WindowPlacement.h"
#include "model/ClickListFile.h"
#include "model/ClickTexts.h"
#include "model/SafeFile.h"
#include "platform/ErrorGuard.h"
#include "platform/Files.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <numeric>
#include <stdexcept>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace {

const char* const kNewCaption = "New Mouse Action";
const char* const kEditCaption = "Edit Mouse Action";
const char* const kHotKeyAtomPrefix = "TapporaHotKeyF";

// Suspends the view's column updates for its lifetime, so an error inside the batch still resumes them.
class ColumnUpdate {
public:
    explicit ColumnUpdate(IMouseCtrlView& view) : fView(view) { fView.beginColumnUpdate(); }
    ~ColumnUpdate() { fView.endColumnUpdate(); }
    ColumnUpdate(const ColumnUpdate&) = delete;
    ColumnUpdate& operator=(const ColumnUpdate&) = delete;

private:
    IMouseCtrlView& fView;
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

// The text for an enumeration value; "unknown" for a value outside the enumeration.
template <std::size_t N> std::string EnumerationText(unsigned value, const std::array<const char*, N>& texts) {
    return value < N ? texts[value] : "unknown";
}

std::string ClickPointText(const TClickRunner& click) {
    switch (click.pointType) {
    case ptCurrent:
        return "Click on mouse current point";
    case ptFixed:
        return "Click on fixed point:(" + std::to_string(click.fPosX) + " : " + std::to_string(click.fPosY) + ")";
    case ptColor:
        return "Click on the Color:" + click.fColor;
    case ptPicture:
        return "Click on the Picture";
    default:
        return "unknown";
    }
}

std::string StartOptionText(const TClickRunner& click) {
    switch (click.startType) {
    case stNow:
        return "Right Now";
    case stAt:
        return "Start at " + click.fStartAt;
    case stAfter:
        return "Start after " + std::to_string(click.fStartInterval) + "s";
    default:
        return "unknown";
    }
}

std::string StopOptionText(const TClickRunner& click) {
    switch (click.stopType) {
    case spCommand:
        return "till get command";
    case spRepeat:
        return "repeat " + std::to_string(click.fRepeat) + " times";
    default:
        return "unknown";
    }
}

std::string HotKeyText(std::uint8_t key) {
    return "CTRL+F" + std::to_string(key + 1);
}

const char* const kHotKeyNotTakenMark = " (unavailable)";

// A running click whose ticks fail (a start time that is no time, a colour that is no colour) says why, instead of
// a count that goes on while it never clicks.
std::string StatsText(const TClickRunner& click) {
    if (!click.fRunning) {
        return "stopped";
    }
    return click.fTickError.empty() ? "running " + std::to_string(click.fCount) + " times"
                                    : "failed: " + click.fTickError;
}

using CellTextRule = std::string (*)(const TClickRunner&);

const std::unordered_map<std::string_view, CellTextRule>& CellTextRules() {
    static const std::unordered_map<std::string_view, CellTextRule> rules = {
        {"Name", [](const TClickRunner& c) { return c.fName; }},
        {"Click Point", ClickPointText},
        {"Mouse Button", [](const TClickRunner& c) { return EnumerationText(c.mouseType, kMouseButtonTexts); }},
        {"Mouse Action", [](const TClickRunner& c) { return EnumerationText(c.actionType, kMouseActionTexts); }},
        {"Click Interval", [](const TClickRunner& c) { return std::to_string(c.iClickInterval) + "ms"; }},
        {"Start Option", StartOptionText},
        {"Stop Option", StopOptionText},
        {"Start HotKey", [](const TClickRunner& c) { return HotKeyText(c.hkStart); }},
        {"Stop HotKey", [](const TClickRunner& c) { return HotKeyText(c.hkStop); }},
        {"After Click Action", [](const TClickRunner& c) { return EnumerationText(c.finishType, kAfterClickTexts); }},
        {"Action Stats", StatsText},
    };
    return rules;
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

} // namespace

std::string ColumnText(const TClickRunner& runner, const std::string& columnName) {
    const auto& rules = CellTextRules();
    const auto rule = rules.find(columnName);
    return rule == rules.end() ? "unknown" : rule->second(runner);
}

TMouseCtrl::TMouseCtrl(IMouseCtrlView& view, Platform& platform, std::string folder, std::string recoveryFolder)
    : fView(view), fPlatform(platform), fFolder(std::move(folder)), fRecoveryFolder(std::move(recoveryFolder)),
      fListFile(utf8FromPath(pathFromUtf8(fFolder) / kClickListFileName), kClickListFileKind) {
    setDroppedErrorObserver([this](const char* what) { fMessages.TellDroppedError(what); });
    RunStartupStep("Could not check the files folder", &TMouseCtrl::CleanUpAndCheckFolder);
    RunStartupStep("Could not apply the window settings", &TMouseCtrl::ApplyWindowSettings);
    RunStartupStep("Could not build the list columns", &TMouseCtrl::BuildColumns);
    RunStartupStep("Could not load the click list", &TMouseCtrl::LoadClickList);
    RunStartupStep("Could not register the hotkeys", &TMouseCtrl::RegisterHotKeys);
    RunStartupStep("Could not start the clicks", &TMouseCtrl::StartIfAutorun);
}

TMouseCtrl::~TMouseCtrl() {
    try {
        Close();
    } catch (...) {
        // A destructor must not throw; Close has already done every step it could.
    }
}

// One broken step (a settings value that does not convert, say) must not keep the window from opening.
void TMouseCtrl::RunStartupStep(const char* what, void (TMouseCtrl::*step)()) {
    try {
        (this->*step)();
    } catch (const std::exception& error) {
        fStartupMessages.push_back(std::string(what) + ": " + error.what());
    }
}

// Only one copy of the program runs per folder, so a temporary file here is a leftover of a save that was killed.
// A folder that cannot be written is told now rather than first at the exit.
void TMouseCtrl::CleanUpAndCheckFolder() {
    const std::filesystem::path folder(fFolder);
    RemoveLeftoverTempFiles((folder / kConfigFileName).string());
    const std::string listPath = (folder / kClickListFileName).string();
    RemoveLeftoverTempFiles(listPath);
    if (const std::string problem = WriteProblem(listPath); !problem.empty()) {
        fStartupMessages.push_back(problem + ". Changes are kept while Tappora runs; at exit the list can be saved "
                                             "elsewhere.");
    }
}

void TMouseCtrl::StartIfAutorun() {
    if (Config().GetFrame().Getautorun()) {
        StartAll();
    }
}

std::vector<std::string> TMouseCtrl::Close(TCloseKind kind) {
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

void TMouseCtrl::CloseAndTell(TCloseKind kind) {
    fMessages.Tell("Tappora", TMessageIcon::Error, Close(kind), kind == TCloseKind::ByUser);
}

void TMouseCtrl::TellStartup() {
    fMessages.Tell("Warning", TMessageIcon::Warning, fStartupMessages, true);
    OfferRecoveredList();
}

std::vector<std::string> TMouseCtrl::SaveBeforeExit() {
    if (!fClosed) {
        fClosed = true;
        SaveAtClose(TCloseKind::Unattended);
    } else if (!fCloseSaved && fListUnsaved) {
        // Ending while the close still asks the user what to do about the list.
        fCloseSaved = true;
        WriteRecoveryFile();
    }
    return std::exchange(fCloseMessages, {});
}

void TMouseCtrl::SaveAtClose(TCloseKind kind) {
    std::vector<std::string> failures;
    bool settingsSaved = TrySave(&TMouseCtrl::StoreSettings, failures);
    bool listSaved = TrySave(&TMouseCtrl::SaveClickList, failures);
    const bool settled = kind == TCloseKind::ByUser && AskUntilSettled(settingsSaved, listSaved, failures);
    if (fCloseSaved) {
        return;
    }
    fCloseSaved = true;
    if (settled) {
        return;
    }
    fCloseMessages.insert(fCloseMessages.end(), failures.begin(), failures.end());
    if (!listSaved) {
        WriteRecoveryFile();
    }
}

bool TMouseCtrl::TrySave(void (TMouseCtrl::*save)(), std::vector<std::string>& failures) {
    try {
        (this->*save)();
        return true;
    } catch (const std::exception& error) {
        failures.push_back(error.what());
    } catch (...) {
        failures.emplace_back("An unexpected error stopped a save.");
    }
    return false;
}

// True when the user settled it: everything saved at last, the list saved elsewhere, or an explicit quit without
// saving. False when the question went away unanswered.
bool TMouseCtrl::AskUntilSettled(bool& settingsSaved, bool& listSaved, std::vector<std::string>& failures) {
    while (!failures.empty()) {
        switch (fMessages.AskUnsaved(Paragraphs(failures))) {
        case TUnsavedChoice::TryAgain:
            failures.clear();
            settingsSaved = settingsSaved || TrySave(&TMouseCtrl::StoreSettings, failures);
            listSaved = listSaved || TrySave(&TMouseCtrl::SaveClickList, failures);
            break;
        case TUnsavedChoice::SaveListElsewhere:
            if (const std::string path = fView.chooseListFile(kClickListFileName); !path.empty()) {
                try {
                    SaveClickListFile(path, Clicks());
                    return true;
                } catch (const std::exception& error) {
                    failures.push_back(error.what());
                }
            }
            break;
        case TUnsavedChoice::QuitWithoutSaving:
            return true;
        case TUnsavedChoice::NoAnswer:
            return false;
        }
    }
    return true;
}

std::string TMouseCtrl::RecoveryFileName() const {
    if (fRecoveryFolder.empty()) {
        return {};
    }
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::weakly_canonical(pathFromUtf8(fFolder), error);
    // FNV-1a: a short, stable name per files folder.
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : error ? fFolder : utf8FromPath(folder)) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    }
    char name[40];
    std::snprintf(name, sizeof name, "tapporas-%016llx.xml", static_cast<unsigned long long>(hash));
    return utf8FromPath(pathFromUtf8(fRecoveryFolder) / name);
}

void TMouseCtrl::WriteRecoveryFile() {
    const std::string path = RecoveryFileName();
    if (path.empty()) {
        return;
    }
    try {
        // The user's clicks are nobody else's business.
        if (std::filesystem::create_directories(pathFromUtf8(fRecoveryFolder))) {
            std::filesystem::permissions(pathFromUtf8(fRecoveryFolder), std::filesystem::perms::owner_all);
        }
        // A list kept earlier, or by another copy, is never written over: this one gets a name of its own.
        const std::string kept = WriteNumberedNewFile(path, ClickListText(Clicks()));
        fCloseMessages.push_back("The click list was kept in " + kept + "; Tappora offers it at the next start.");
    } catch (const std::exception& error) {
        fCloseMessages.push_back("The click list could not be kept in " + path + " either: " + error.what());
    }
}

void TMouseCtrl::OfferRecoveredList() {
    const std::string path = RecoveryFileName();
    if (fClosed || path.empty()) {
        return;
    }
    for (const std::string& kept : NumberedFiles(path)) {
        std::error_code error;
        switch (fMessages.AskRestore(kept)) {
        case TRecoveredChoice::Restore:
            RestoreRecoveredList(kept);
            break;
        case TRecoveredChoice::Discard:
            std::filesystem::remove(pathFromUtf8(kept), error);
            break;
        case TRecoveredChoice::KeepForLater:
            break;
        }
    }
}

// The kept list replaces the one loaded at start (it is the newer one); the recovery file goes once it is saved.
void TMouseCtrl::RestoreRecoveredList(const std::string& path) {
    const ClickListLoad load = LoadClickListFile(path, fXMLDoc);
    if (load.status != ClickListLoad::Loaded) {
        fMessages.TellLater(load.error.empty() ? "The kept click list " + path + " is gone." : load.error + ".");
        return;
    }
    UseLoadedRows(load);
    ListChanged();
    std::error_code error;
    if (!fListUnsaved) {
        std::filesystem::remove(pathFromUtf8(path), error);
    }
}

TConfig& TMouseCtrl::Config() {
    if (!fConfig) {
        fConfig = std::make_unique<TConfig>(fFolder);
        if (!fConfig->KeptAsidePath().empty()) {
            fStartupMessages.push_back("The settings file " + fConfig->ConfigFileName() +
                                       " could not be read; it was kept as " + fConfig->KeptAsidePath() +
                                       " and the default settings are used.");
        } else if (fConfig->UnreadableInPlace()) {
            fStartupMessages.push_back("The settings file " + fConfig->ConfigFileName() +
                                       " could not be read; the default settings are used, and the file stays where "
                                       "it is and will not be overwritten.");
        }
    }
    return *fConfig;
}

void TMouseCtrl::ApplyWindowSettings() {
    const TXMLFrameType frame = Config().GetFrame();
    if (frame.Getmax()) {
        fView.setWindowMaximized();
        return;
    }
    // A hand-edited or stale file must not make a window larger than the desktop, or one out of reach.
    const TRect stored{frame.Getleft(), frame.Gettop(), frame.Getwidth(), frame.Getheight()};
    fView.setWindowBounds(FitOnMonitors(stored, fView.monitorAreas()));
}

void TMouseCtrl::BuildColumns() {
    fView.clearColumns();
    fColumnCount = 0;
    {
        ColumnUpdate update(fView);
        const TXMLColsType cols = Config().GetCols();
        for (int i = 0; i < cols.Count(); ++i) {
            fView.addColumn(cols.Item(i).GetName());
            ++fColumnCount;
        }
    }
    ApplyColumns();
}

void TMouseCtrl::ApplyColumns() {
    const TXMLColsType cols = Config().GetCols();
    const int count = std::min(fColumnCount, cols.Count());
    std::vector<bool>& visible = fColumnVisible;
    visible.assign(count, true);
    std::vector<std::int32_t> index(count);
    {
        ColumnUpdate update(fView);
        for (int i = 0; i < count; ++i) {
            const TXMLColType col = cols.Item(i);
            visible[i] = col.GetVisible();
            fView.setColumnWidth(i, ShownWidth(col.GetWidth(), visible[i]));
            fView.setColumnAlignment(i, AlignmentOf(col.GetAlign()));
            fView.setColumnVisible(i, visible[i]);
            index[i] = col.GetIndex();
        }
    }
    const std::vector<int> displayOrder = DisplayOrder(index);
    for (int position = 0; position < count; ++position) {
        fView.setColumnPosition(displayOrder[position], position);
    }
    if (count > 0) {
        fView.setMainColumn(FirstVisible(displayOrder, visible));
    }
}

void TMouseCtrl::StoreSettings() {
    TXMLFrameType frame = Config().GetFrame();
    const TRect bounds = fView.windowBounds();
    frame.Setleft(bounds.left);
    frame.Settop(bounds.top);
    frame.Setheight(bounds.height);
    frame.Setwidth(bounds.width);
    frame.Setmax(fView.windowMaximized());
    const TXMLColsType cols = Config().GetCols();
    const int count = std::min(fColumnCount, cols.Count());
    for (int i = 0; i < count; ++i) {
        TXMLColType col = cols.Item(i);
        // A hidden column has no width on screen (a header reports 0); it keeps the one it is shown with again.
        if (i >= static_cast<int>(fColumnVisible.size()) || fColumnVisible[i]) {
            col.SetWidth(fView.columnWidth(i));
        }
        col.SetIndex(fView.columnPosition(i));
    }
    Config().SaveConfig(fCloseMessages);
}

void TMouseCtrl::LoadClickList() {
    const ClickListLoad load = LoadClickListFile(fListFile, fXMLDoc);
    if (load.status == ClickListLoad::Unreadable) {
        ReportUnreadableList(load.error, load.keptAsidePath);
        return;
    }
    UseLoadedRows(load);
    // Until now the file may have held clicks that were not in the list.
    fListFile.Read();
}

void TMouseCtrl::UseLoadedRows(const ClickListLoad& load) {
    if (load.status == ClickListLoad::Loaded) {
        ReleaseRows();
        for (const pugi::xml_node& item : load.items) {
            auto runner = std::make_unique<TClickRunner>(fPlatform);
            ReadClickNode(item, *runner);
            const bool checked = runner->checked;
            fRows.push_back(Row{std::move(runner), checked});
        }
        // The runners hold every value now; pictures as text can be large.
        fXMLDoc.reset();
        fView.rowsReset();
    }
}

// `error` names the file and why it could not be read (and, when it failed, why it could not be kept aside).
void TMouseCtrl::ReportUnreadableList(const std::string& error, const std::string& keptAsidePath) {
    fStartupMessages.push_back(
        fListFile.UnreadableInPlace()
            ? error + ". The click list starts empty; the file stays where it is and will not be overwritten."
            : error + ". The click list starts empty; the file was kept as " + keptAsidePath + ".");
}

void TMouseCtrl::SaveClickList() {
    fListFile.Write(ClickListText(Clicks()), fCloseMessages);
    fListUnsaved = false;
    fShownSaveFailure.clear();
}

std::vector<const TMouseObj*> TMouseCtrl::Clicks() {
    std::vector<const TMouseObj*> clicks;
    clicks.reserve(fRows.size());
    for (Row& row : fRows) {
        row.runner->checked = row.checked;
        clicks.push_back(row.runner.get());
    }
    return clicks;
}

void TMouseCtrl::ListChanged() {
    fListUnsaved = true;
    // What the save itself has to tell (an unreadable file kept aside) belongs to now, not to the close.
    std::vector<std::string> messages = std::exchange(fCloseMessages, {});
    try {
        SaveClickList();
    } catch (const std::exception& error) {
        if (error.what() != fShownSaveFailure) {
            fShownSaveFailure = error.what();
            fCloseMessages.push_back(fShownSaveFailure +
                                     ". The change is kept and saved with the next change, or at exit.");
        }
    }
    std::swap(messages, fCloseMessages);
    if (!messages.empty()) {
        fMessages.TellLater(Paragraphs(messages));
    }
}

void TMouseCtrl::RegisterHotKeys() {
    fPlatform.hotKeys.setOnHotKey([this](unsigned modifiers, unsigned vk) { HotKeyReceived(modifiers, vk); });
    const WindowHandle window = fView.windowHandle();
    std::string notTaken;
    for (int n = 0; n < kHotKeyCount; ++n) {
        const int id = fPlatform.hotKeys.addAtom(kHotKeyAtomPrefix + std::to_string(n));
        fHotKeyTaken[n] = fPlatform.hotKeys.registerHotKey(window, id, HotKeyModifier::Control, VirtualKey::F1 + n);
        if (!fHotKeyTaken[n]) {
            notTaken += (notTaken.empty() ? "" : ", ") + HotKeyText(static_cast<std::uint8_t>(n));
        }
        fHotKeyIds.push_back(std::to_string(id));
    }
    if (!notTaken.empty()) {
        fStartupMessages.push_back("These hotkeys could not be taken, because another program (or another copy of "
                                   "Tappora) already uses them: " +
                                   notTaken + ". Clicks cannot be started or stopped with them.");
    }
}

void TMouseCtrl::UnregisterHotKeys() {
    fPlatform.hotKeys.setOnHotKey({});
    const WindowHandle window = fView.windowHandle();
    for (const std::string& id : std::exchange(fHotKeyIds, {})) {
        fPlatform.hotKeys.unregisterHotKey(window, std::stoi(id));
    }
    fHotKeyTaken.fill(false);
}

std::vector<int> TMouseCtrl::HotKeysHeldElsewhere() const {
    std::vector<int> held;
    for (int n = 0; n < kHotKeyCount; ++n) {
        if (!fHotKeyIds.empty() && !HotKeyTaken(n)) {
            held.push_back(n);
        }
    }
    return held;
}

bool TMouseCtrl::HotKeyTaken(int n) const {
    return n >= 0 && n < kHotKeyCount && fHotKeyTaken[n];
}

void TMouseCtrl::HotKeyReceived(unsigned modifiers, unsigned vk) {
    if (modifiers != HotKeyModifier::Control || vk < VirtualKey::F1 || vk > VirtualKey::F12 || fClosed) {
        return;
    }
    HotKeyPressed(vk);
}

void TMouseCtrl::Run(TCommand command) {
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

void TMouseCtrl::NewClick() {
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

void TMouseCtrl::EditClick() {
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

void TMouseCtrl::AddClick(std::unique_ptr<TClickRunner> runner) {
    if (!runner || fClosed) {
        return;
    }
    // The row is ticked, and the runner must agree, since the start hotkey asks the runner.
    runner->checked = true;
    fRows.push_back(Row{std::move(runner), true});
    fView.rowInserted(RowCount() - 1);
    ListChanged();
}

void TMouseCtrl::DeleteClick() {
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

void TMouseCtrl::StartAll() {
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

void TMouseCtrl::StopAll() {
    for (Row& row : fRows) {
        if (row.runner->fRunning) {
            row.runner->Stop();
        }
    }
    RepaintAll();
}

void TMouseCtrl::StartRow(int row) {
    if (fClosed || row < 0 || row >= RowCount()) {
        return;
    }
    fRows[row].runner->Start();
    RepaintRow(row);
    WatchRunners();
}

void TMouseCtrl::StopRow(int row) {
    if (row < 0 || row >= RowCount()) {
        return;
    }
    fRows[row].runner->Stop();
    RepaintRow(row);
}

void TMouseCtrl::ShowOptions() {
    const std::unique_ptr<IOptionsDialog> dialog = fView.createOptionsDialog();
    dialog->showChoices(Options());
    if (dialog->ShowModal() == mrOk && !fClosed) {
        ApplyOptions(dialog->choices());
    }
}

TOptionsChoices TMouseCtrl::Options() {
    TOptionsChoices options;
    const TXMLColsType cols = Config().GetCols();
    for (int i = 0; i < cols.Count(); ++i) {
        options.columns.push_back({cols.Item(i).GetName(), cols.Item(i).GetVisible()});
    }
    options.autorun = Config().GetFrame().Getautorun();
    return options;
}

void TMouseCtrl::ApplyOptions(const TOptionsChoices& choices) {
    const TXMLColsType cols = Config().GetCols();
    const int count = std::min(cols.Count(), static_cast<int>(choices.columns.size()));
    for (int i = 0; i < count; ++i) {
        cols.Item(i).SetVisible(choices.columns[i].visible);
    }
    Config().GetFrame().Setautorun(choices.autorun);
    ApplyColumns();
}

void TMouseCtrl::HotKeyPressed(unsigned vk) {
    const int key = static_cast<int>(vk) - static_cast<int>(VirtualKey::F1);
    for (Row& row : fRows) {
        TClickRunner& runner = *row.runner;
        if (runner.checked && key == runner.hkStart) {
            runner.Start();
        }
        if (runner.fRunning && key == runner.hkStop) {
            runner.Stop();
        }
    }
    RepaintAll();
    WatchRunners();
}

std::string TMouseCtrl::GetCellText(int row, int column) {
    if (row < 0 || row >= RowCount() || column < 0) {
        return {};
    }
    const TXMLColsType cols = Config().GetCols();
    if (column >= cols.Count()) {
        return {};
    }
    const std::string name = cols.Item(column).GetName();
    const TClickRunner& runner = *fRows[row].runner;
    std::string text = ColumnText(runner, name);
    const bool startKey = name == "Start HotKey";
    if ((startKey || name == "Stop HotKey") && !fHotKeyIds.empty() &&
        !HotKeyTaken(startKey ? runner.hkStart : runner.hkStop)) {
        text += kHotKeyNotTakenMark;
    }
    return text;
}

void TMouseCtrl::NodeChecked(int row, bool checked) {
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

int TMouseCtrl::RowCount() const {
    return static_cast<int>(fRows.size());
}

bool TMouseCtrl::RowChecked(int row) const {
    return fRows.at(row).checked;
}

TClickRunner& TMouseCtrl::Runner(int row) const {
    return *fRows.at(row).runner;
}

int TMouseCtrl::FocusedRow() const {
    const int focused = fView.focusedRow();
    return focused >= 0 && focused < RowCount() ? focused : -1;
}

int TMouseCtrl::RowOf(const TClickRunner* runner) const {
    const auto found =
        std::find_if(fRows.begin(), fRows.end(), [&](const Row& row) { return row.runner.get() == runner; });
    return found == fRows.end() ? -1 : static_cast<int>(found - fRows.begin());
}

// Last row first; a runner whose tick is on the stack is destroyed when that tick returns.
void TMouseCtrl::ReleaseRows() {
    std::vector<Row> rows = std::exchange(fRows, {});
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        TClickRunner::Dispose(std::move(row->runner));
    }
}

void TMouseCtrl::Row::RememberShownStatus() {
    shownRunning = runner->fRunning;
    shownCount = runner->fCount;
    shownError = runner->fTickError;
}

void TMouseCtrl::RepaintRow(int row) {
    fRows[row].RememberShownStatus();
    fView.repaintRow(row);
}

void TMouseCtrl::RepaintAll() {
    for (Row& row : fRows) {
        row.RememberShownStatus();
    }
    fView.repaintAll();
}

bool TMouseCtrl::AnyRunning() const {
    return std::any_of(fRows.begin(), fRows.end(), [](const Row& row) { return row.runner->fRunning; });
}

void TMouseCtrl::WatchRunners() {
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
void TMouseCtrl::RefreshChangedRows() {
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
