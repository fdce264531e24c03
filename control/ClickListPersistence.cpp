// The list on disk: the settings and the list saved at every change and at close, the questions when a save fails,
// and the recovery file that keeps a list nobody could save.
#include "control/ClickListController.h"

#include "model/ClickListFile.h"
#include "model/SafeFile.h"
#include "platform/Files.h"

#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <utility>

// Only one copy of the program runs per folder, so a temporary file here is a leftover of a save that was killed.
// A folder that cannot be written is told now rather than first at the exit.
void TClickListController::CleanUpAndCheckFolder() {
    const std::filesystem::path folder(m_folder);
    RemoveLeftoverTempFiles((folder / kConfigFileName).string());
    const std::string listPath = (folder / kClickListFileName).string();
    RemoveLeftoverTempFiles(listPath);
    if (const std::string problem = WriteProblem(listPath); !problem.empty()) {
        m_startupMessages.push_back(problem + ". Changes are kept while Tappora runs; at exit the list can be saved "
                                              "elsewhere.");
    }
}

std::vector<std::string> TClickListController::SaveBeforeExit() {
    if (!m_closed) {
        m_closed = true;
        SaveAtClose(TCloseKind::Unattended);
    } else if (!m_closeSaved && m_listUnsaved) {
        // Ending while the close still asks the user what to do about the list.
        m_closeSaved = true;
        WriteRecoveryFile();
    }
    return std::exchange(m_closeMessages, {});
}

void TClickListController::SaveAtClose(TCloseKind kind) {
    std::vector<std::string> failures;
    bool settingsSaved = TrySave(&TClickListController::StoreSettings, failures);
    bool listSaved = TrySave(&TClickListController::SaveClickList, failures);
    const bool settled = kind == TCloseKind::ByUser && AskUntilSettled(settingsSaved, listSaved, failures);
    if (m_closeSaved) {
        return;
    }
    m_closeSaved = true;
    if (settled) {
        return;
    }
    m_closeMessages.insert(m_closeMessages.end(), failures.begin(), failures.end());
    if (!listSaved) {
        WriteRecoveryFile();
    }
}

bool TClickListController::TrySave(void (TClickListController::*save)(), std::vector<std::string>& failures) {
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
bool TClickListController::AskUntilSettled(bool& settingsSaved, bool& listSaved, std::vector<std::string>& failures) {
    while (!failures.empty()) {
        switch (m_messages.AskUnsaved(Paragraphs(failures))) {
        case TUnsavedChoice::TryAgain:
            failures.clear();
            settingsSaved = settingsSaved || TrySave(&TClickListController::StoreSettings, failures);
            listSaved = listSaved || TrySave(&TClickListController::SaveClickList, failures);
            break;
        case TUnsavedChoice::SaveListElsewhere:
            if (const std::string path = m_view.chooseListFile(kClickListFileName); !path.empty()) {
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

std::string TClickListController::RecoveryFileName() const {
    if (m_recoveryFolder.empty()) {
        return {};
    }
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::weakly_canonical(pathFromUtf8(m_folder), error);
    // FNV-1a: a short, stable name per files folder.
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : error ? m_folder : utf8FromPath(folder)) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    }
    char name[40];
    std::snprintf(name, sizeof name, "tapporas-%016llx.xml", static_cast<unsigned long long>(hash));
    return utf8FromPath(pathFromUtf8(m_recoveryFolder) / name);
}

void TClickListController::WriteRecoveryFile() {
    const std::string path = RecoveryFileName();
    if (path.empty()) {
        return;
    }
    try {
        // The user's clicks are nobody else's business.
        if (std::filesystem::create_directories(pathFromUtf8(m_recoveryFolder))) {
            std::filesystem::permissions(pathFromUtf8(m_recoveryFolder), std::filesystem::perms::owner_all);
        }
        // A list kept earlier, or by another copy, is never written over: this one gets a name of its own.
        const std::string kept = WriteNumberedNewFile(path, ClickListText(Clicks()));
        m_closeMessages.push_back("The click list was kept in " + kept + "; Tappora offers it at the next start.");
    } catch (const std::exception& error) {
        m_closeMessages.push_back("The click list could not be kept in " + path + " either: " + error.what());
    }
}

void TClickListController::OfferRecoveredList() {
    const std::string path = RecoveryFileName();
    if (m_closed || path.empty()) {
        return;
    }
    for (const std::string& kept : NumberedFiles(path)) {
        std::error_code error;
        switch (m_messages.AskRestore(kept)) {
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
void TClickListController::RestoreRecoveredList(const std::string& path) {
    const ClickListLoad load = LoadClickListFile(path);
    if (load.status != ClickListLoad::Loaded) {
        m_messages.TellLater(load.error.empty() ? "The kept click list " + path + " is gone." : load.error + ".");
        return;
    }
    UseLoadedRows(load);
    ListChanged();
    std::error_code error;
    if (!m_listUnsaved) {
        std::filesystem::remove(pathFromUtf8(path), error);
    }
}

TConfig& TClickListController::Config() {
    if (!m_config) {
        m_config = std::make_unique<TConfig>(m_folder);
        if (!m_config->KeptAsidePath().empty()) {
            m_startupMessages.push_back("The settings file " + m_config->ConfigFileName() +
                                        " could not be read; it was kept as " + m_config->KeptAsidePath() +
                                        " and the default settings are used.");
        } else if (m_config->UnreadableInPlace()) {
            m_startupMessages.push_back("The settings file " + m_config->ConfigFileName() +
                                        " could not be read; the default settings are used, and the file stays where "
                                        "it is and will not be overwritten.");
        }
    }
    return *m_config;
}

void TClickListController::LoadClickList() {
    const ClickListLoad load = LoadClickListFile(m_listFile);
    if (load.status == ClickListLoad::Unreadable) {
        ReportUnreadableList(load.error, load.keptAsidePath);
        return;
    }
    UseLoadedRows(load);
    // Until now the file may have held clicks that were not in the list.
    m_listFile.Read();
}

void TClickListController::UseLoadedRows(const ClickListLoad& load) {
    if (load.status == ClickListLoad::Loaded) {
        ReleaseRows();
        for (const TMouseObj& click : load.clicks) {
            auto runner = std::make_unique<TClickRunner>(m_runnerPlatform);
            static_cast<TMouseObj&>(*runner) = click;
            const bool checked = runner->checked;
            m_rows.push_back(Row{std::move(runner), checked});
        }
        m_view.rowsReset();
    }
}

// `error` names the file and why it could not be read (and, when it failed, why it could not be kept aside).
void TClickListController::ReportUnreadableList(const std::string& error, const std::string& keptAsidePath) {
    m_startupMessages.push_back(
        m_listFile.UnreadableInPlace()
            ? error + ". The click list starts empty; the file stays where it is and will not be overwritten."
            : error + ". The click list starts empty; the file was kept as " + keptAsidePath + ".");
}

void TClickListController::SaveClickList() {
    m_listFile.Write(ClickListText(Clicks()), m_closeMessages);
    m_listUnsaved = false;
    m_shownSaveFailure.clear();
}

std::vector<const TMouseObj*> TClickListController::Clicks() {
    std::vector<const TMouseObj*> clicks;
    clicks.reserve(m_rows.size());
    for (Row& row : m_rows) {
        row.runner->checked = row.checked;
        clicks.push_back(row.runner.get());
    }
    return clicks;
}

void TClickListController::ListChanged() {
    m_listUnsaved = true;
    // What the save itself has to tell (an unreadable file kept aside) belongs to now, not to the close.
    std::vector<std::string> messages = std::exchange(m_closeMessages, {});
    try {
        SaveClickList();
    } catch (const std::exception& error) {
        if (error.what() != m_shownSaveFailure) {
            m_shownSaveFailure = error.what();
            m_closeMessages.push_back(m_shownSaveFailure +
                                      ". The change is kept and saved with the next change, or at exit.");
        }
    }
    std::swap(messages, m_closeMessages);
    if (!messages.empty()) {
        m_messages.TellLater(Paragraphs(messages));
    }
}
