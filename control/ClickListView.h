#pragma once

#include "platform/Geometry.h"

#include <memory>
#include <string>
#include <vector>

class TMouseObj;

enum class TColumnAlignment { Left, Right, Center };

// The user's answer when the exit cannot save. NoAnswer: the question went away without one (the program is being
// ended from outside).
enum class TUnsavedChoice { TryAgain, SaveListElsewhere, QuitWithoutSaving, NoAnswer };
// The user's answer to a list that the last run could not save and kept in a recovery file.
enum class TRecoveredChoice { Restore, KeepForLater, Discard };

enum class TMessageIcon { Information, Warning, Error, Question };

// A message box: its caption, text and buttons; the default button and the one Escape means, by index.
struct TQuestion {
    std::string caption;
    std::string text;
    TMessageIcon icon = TMessageIcon::Warning;
    std::vector<std::string> buttons;
    int defaultButton = 0;
    int escapeButton = 0;
};

// The box went away without an answer (the program is being ended from outside).
constexpr int kNoAnswer = -1;

// Modal results of the dialogs.
constexpr int mrOk = 1;
constexpr int mrCancel = 2;

// The click editor as the controller uses it: created per use, shown modally, then released.
class IClickEditor {
public:
    virtual ~IClickEditor() = default;
    virtual void setCaption(const std::string& caption) = 0;
    // Shows every field of the click in the controls; the click is not changed.
    virtual void LoadFromClick(TMouseObj& click) = 0;
    // mrOk or mrCancel.
    virtual int ShowModal() = 0;
    // Writes the controls into the click, all fields or none.
    virtual void SaveToClick(TMouseObj& click) = 0;
};

// A list column as the options dialog shows it: its caption and whether it is visible.
struct TOptionsColumn {
    std::string name;
    bool visible = true;
    friend bool operator==(const TOptionsColumn&, const TOptionsColumn&) = default;
};

// A drop-down list of the options dialog: the texts shown, the value each stands for, and the one selected. The
// dialog does not show a list without items.
struct TOptionsList {
    std::vector<std::string> items;
    std::vector<std::string> values;
    int selected = 0;
    friend bool operator==(const TOptionsList&, const TOptionsList&) = default;
};

// What the options dialog offers: the list columns in the settings' order, whether the ticked clicks start with the
// program, the primary output where the user may choose it (values: output names, empty for the system's rule), the
// key that stops every click, and whether a corner stops them (with why not, where the pointer cannot be watched:
// the check box is then disabled).
struct TOptionsChoices {
    std::vector<TOptionsColumn> columns;
    bool autorun = false;
    TOptionsList primaryOutput{};
    TOptionsList stopAllKey{};
    bool cornerStop = false;
    std::string cornerStopUnavailable{};
    // Where the desktop asks its leave before the first click, the check box's caption (empty elsewhere), and
    // whether to ask now.
    std::string askDesktop{};
    bool askDesktopNow = false;
    // The keys are bound in the desktop's configuration, which then needs the stop-all key's line too.
    bool keysBoundInDesktop = false;
    friend bool operator==(const TOptionsChoices&, const TOptionsChoices&) = default;
};

// The options dialog: shows the choices it is given and gives back the user's; the controller applies them.
class IOptionsDialog {
public:
    virtual ~IOptionsDialog() = default;
    virtual void showChoices(const TOptionsChoices& choices) = 0;
    // mrOk or mrCancel.
    virtual int ShowModal() = 0;
    // What the controls hold now: the user's choices after mrOk.
    virtual TOptionsChoices choices() const = 0;
};

// What the controller needs of the main window. The controller owns the rows (runners and check states); the
// view shows them by asking the controller for cell texts and is told when rows change.
class IClickListView {
public:
    virtual ~IClickListView() = default;

    // The outer frame, as window places are given on Windows, so that a settings file means the same window in
    // both front ends: the normal (not maximised) bounds while normal, the bounds the window has while maximised.
    virtual TRect windowBounds() const = 0;
    // Sets the outer frame and the normal state.
    virtual void setWindowBounds(const TRect& bounds) = 0;
    virtual bool windowMaximized() const = 0;
    virtual void setWindowMaximized() = 0;
    // The work area of each monitor, the primary first; empty when none is known.
    virtual std::vector<TRect> monitorAreas() const = 0;

    // Columns: index i is creation order, for the run's whole life.
    virtual void clearColumns() = 0;
    virtual void addColumn(const std::string& caption) = 0;
    virtual void beginColumnUpdate() = 0;
    virtual void endColumnUpdate() = 0;
    virtual int columnWidth(int column) const = 0;
    virtual void setColumnWidth(int column, int width) = 0;
    virtual void setColumnAlignment(int column, TColumnAlignment alignment) = 0;
    virtual void setColumnVisible(int column, bool visible) = 0;
    // Display position from the left, 0 first.
    virtual int columnPosition(int column) const = 0;
    virtual void setColumnPosition(int column, int position) = 0;
    // The column that carries the check boxes.
    virtual void setMainColumn(int column) = 0;

    // Rows: the controller's rows changed.
    virtual void rowsReset() = 0;
    virtual void rowInserted(int row) = 0;
    virtual void rowRemoved(int row) = 0;
    virtual void repaintRow(int row) = 0;
    virtual void repaintAll() = 0;
    // The focused row, or -1.
    virtual int focusedRow() const = 0;

    // "Are you sure to delete the click?" captioned "Warning", Yes and No; true unless the answer is No.
    virtual bool confirmDelete() = 0;
    // The editor marks the hotkeys (0 for F1) another program holds.
    virtual std::unique_ptr<IClickEditor> createClickEditor(const std::vector<int>& hotKeysHeldElsewhere) = 0;
    virtual std::unique_ptr<IOptionsDialog> createOptionsDialog() = 0;

    // Shows the message in a box later, from the window's own queue: the caller (a list notification) is not held up.
    virtual void showFileMessage(const std::string& message) = 0;
    // Shows the box modally; the index of the button chosen, or kNoAnswer.
    virtual int ask(const TQuestion& question) = 0;
    // A file for the list chosen by the user, `suggestedName` offered; empty when none was chosen.
    virtual std::string chooseListFile(const std::string& suggestedName) = 0;
    // Closes the window as the user's Exit does.
    virtual void closeByUser() = 0;
};
