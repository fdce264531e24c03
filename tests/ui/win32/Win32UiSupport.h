#pragma once

#include "TempFolder.h"
#include "platform/Shell.h"
#include "ui/win32/Win32.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

class RecordingShell : public IShell {
public:
    void openUrl(const std::string& url) override { opened.push_back(url); }
    std::vector<std::string> opened;
};

// Registers the common controls once for the test program.
void initCommonControls();
// Runs every message waiting in the thread's queue.
void pumpMessages();
std::string windowText(HWND window);
// Once a visible window of this thread with the caption appears, runs `action` on it (from a timer, so also inside
// modal loops and message boxes the test has started).
void whenWindowAppears(const std::string& caption, std::function<void(HWND)> action);
