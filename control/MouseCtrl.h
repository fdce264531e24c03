#pragma once

#include "control/MouseCtrlView.h"
#include "engine/BaseCtrl.h"
#include "model/Config.h"

#include <pugixml.hpp>

#include <memory>
#include <string>
#include <vector>

// The one controller: owns the runners, one per list row, answers the commands and hotkeys, loads the click list
// and settings at construction and saves them at Close.
class TMouseCtrl {
public:
    // `folder` holds the click list and settings files (the program's folder).
    TMouseCtrl(IMouseCtrlView& view, Platform& platform, std::string folder);
    // Runs Close if it has not run.
    ~TMouseCtrl();

    // Stores the settings, saves both files, releases the runners and unregisters the hotkeys; every step runs even
    // when an earlier one fails. Gives one message per failed save, naming the file and why.
    std::vector<std::string> Close();
    // Messages for the user about the start (an unreadable file kept aside, and where).
    const std::vector<std::string>& StartupMessages() const { return fStartupMessages; }

    void NewClick();
    void EditClick();
    void AddClick(std::unique_ptr<TBaseCtrlEX> runner);
    void DeleteClick();
    void StartAll();
    void StopAll();
    void ShowOptions();
    // `vk`: 112 (F1) to 123 (F12).
    void HotKeyPressed(unsigned vk);

    TConfig& Config();
    std::string GetCellText(int row, int column);
    void NodeChecked(int row, bool checked);

    int RowCount() const;
    bool RowChecked(int row) const;
    TBaseCtrlEX& Runner(int row) const;
    const std::string& ListFileName() const { return fListFileName; }

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
        std::unique_ptr<TBaseCtrlEX> runner;
        bool checked = true;
    };

    IMouseCtrlView& fView;
    Platform& fPlatform;
    std::string fFolder;
    pugi::xml_document fXMLDoc;
    std::string fListFileName;
    std::unique_ptr<TConfig> fConfig;
    std::vector<std::string> fHotKeyIds;
    std::vector<Row> fRows;
    std::vector<std::string> fStartupMessages;
    bool fClosed = false;
};

// Gives the cell text of a click for a column name.
std::string ColumnText(const TBaseCtrl& runner, const std::string& columnName);
