#pragma once

#include "control/ClickListView.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

// What a fake click editor does when the controller shows it.
struct FakeEditorScript {
    int result = mrOk;
    // Runs while the dialog is "open" (ticks and hotkeys go on meanwhile).
    std::function<void()> whileShown;
    // Writes the "controls" into the click; may throw, as an editor meeting an empty numeric edit would.
    std::function<void(TMouseObj&)> save;
};

// One use of the click editor, as the controller drove it.
struct FakeEditorUse {
    std::string caption;
    const TMouseObj* loaded = nullptr;
    const TMouseObj* saved = nullptr;
};

// The main window as the controller sees it: keeps the state the controller sets and records row notices.
// Column positions behave like a real header: moving a column shifts the ones between its old and new place.
class FakeClickListView : public IClickListView {
public:
    struct Column {
        std::string caption;
        int width = 0;
        TColumnAlignment alignment = TColumnAlignment::Left;
        bool visible = true;
    };

    TRect windowBounds() const override { return bounds; }
    void setWindowBounds(const TRect& value) override;
    bool windowMaximized() const override { return maximized; }
    void setWindowMaximized() override { maximized = true; }
    std::vector<TRect> monitorAreas() const override { return monitors; }

    void clearColumns() override;
    void addColumn(const std::string& caption) override;
    void beginColumnUpdate() override { ++updateDepth; }
    void endColumnUpdate() override { --updateDepth; }
    // Like Qt's header: a hidden column reports no width, and keeps the one set for when it is shown again.
    int columnWidth(int column) const override { return columns.at(column).visible ? columns.at(column).width : 0; }
    void setColumnWidth(int column, int width) override { columns.at(column).width = width; }
    void setColumnAlignment(int column, TColumnAlignment alignment) override;
    void setColumnVisible(int column, bool visible) override { columns.at(column).visible = visible; }
    int columnPosition(int column) const override;
    void setColumnPosition(int column, int position) override;
    void setMainColumn(int column) override { mainColumn = column; }

    void rowsReset() override { ++resets; }
    void rowInserted(int row) override { inserted.push_back(row); }
    void rowRemoved(int row) override { removed.push_back(row); }
    void repaintRow(int row) override { repaintedRows.push_back(row); }
    void repaintAll() override { ++repaintAlls; }
    int focusedRow() const override { return focused; }

    bool confirmDelete() override;
    std::unique_ptr<IClickEditor> createClickEditor(const std::vector<int>& hotKeysHeldElsewhere) override;
    std::unique_ptr<IOptionsDialog> createOptionsDialog() override;

    void showFileMessage(const std::string& message) override { fileMessages.push_back(message); }
    // Records every box; answers the unsaved-list question with the next of `unsavedAnswers` (no answer when they
    // have run out), the restore question with `restoreAnswer`, any other box with its first button.
    int ask(const TQuestion& question) override;
    std::string chooseListFile(const std::string& suggestedName) override {
        suggestedListNames.push_back(suggestedName);
        return chosenListFile;
    }
    void closeByUser() override { ++closesByUser; }

    // The captions from left to right as shown.
    std::vector<std::string> shownCaptions() const;
    // A user dragging a column header to another place.
    void dragColumn(int column, int position) { setColumnPosition(column, position); }

    TRect bounds{1, 2, 3, 4};
    bool maximized = false;
    std::vector<TRect> monitors{{0, 0, 1920, 1080}};
    std::vector<Column> columns;
    // displayOrder[position] is the column shown there.
    std::vector<int> displayOrder;
    int updateDepth = 0;
    int mainColumn = -1;

    int resets = 0;
    std::vector<int> inserted;
    std::vector<int> removed;
    std::vector<int> repaintedRows;
    int repaintAlls = 0;
    int focused = -1;

    bool deleteAnswer = true;
    int deleteQuestions = 0;
    std::function<void()> whileAskingDelete;

    FakeEditorScript editorScript;
    std::vector<int> editorHotKeysHeldElsewhere;
    std::vector<FakeEditorUse> editorUses;

    int optionsResult = mrOk;
    std::function<void()> whileOptionsShown;
    // What the user changes in the options dialog before closing it.
    std::function<void(TOptionsChoices&)> optionsChange;
    int optionsShown = 0;
    // The choices the options dialog was last shown with.
    TOptionsChoices optionsOffered;

    std::vector<std::string> fileMessages;
    std::vector<TQuestion> questions;
    std::deque<TUnsavedChoice> unsavedAnswers;
    std::vector<std::string> unsavedQuestions;
    // Runs after a question is recorded, before it is answered.
    std::function<void()> whileAskingUnsaved;
    std::string chosenListFile;
    std::vector<std::string> suggestedListNames;
    int closesByUser = 0;
    TRecoveredChoice restoreAnswer = TRecoveredChoice::KeepForLater;
    // The kept file each restore question names.
    std::vector<std::string> restoreQuestions;
};
