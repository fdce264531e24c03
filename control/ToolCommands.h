#pragma once

#include <array>

// The main window's toolbar, left to right.
enum class TCommand { New, Edit, Delete, Start, Stop, Options, Exit };

struct TToolCommand {
    TCommand command;
    // The letter after '&' is the button's access key.
    const char* caption;
    const char* hint;
    // Does nothing while no row is focused.
    bool needsFocusedRow;
};

inline constexpr std::array<TToolCommand, 7> kToolCommands{{
    {TCommand::New, "&New", "Create a new Click", false},
    {TCommand::Edit, "&Edit", "Modify Selected Click", true},
    {TCommand::Delete, "&Delete", "Delete Selected Click", true},
    {TCommand::Start, "&Start", "Start Checked Click to Run", false},
    {TCommand::Stop, "S&top", "Stop All Running Click", false},
    {TCommand::Options, "&Options", "Config Visible Columns", false},
    {TCommand::Exit, "E&xit", "Exit", false},
}};

// The access key of a caption, upper case; 0 when it has none.
char AccessKey(const char* caption);
