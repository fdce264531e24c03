#pragma once

#include "ui/win32/Win32.h"

#include <filesystem>
#include <string>

// One running copy per files folder, so that two copies never write over each other's list nor click the same
// targets twice. The first copy owns a mutex named after the folder in the session's own namespace, which Windows
// drops with the process however it ends, and marks its main window with a property of the same name; a later start
// for the same folder, reached by any path, finds that window, brings it forward and ends.
class TSingleCopy {
public:
    explicit TSingleCopy(const std::filesystem::path& folder);
    ~TSingleCopy();
    TSingleCopy(const TSingleCopy&) = delete;
    TSingleCopy& operator=(const TSingleCopy&) = delete;

    // False when another copy runs with this folder.
    bool isFirst() const { return m_first; }
    // For the first copy: lets a later start find `window`.
    void markWindow(HWND window) const;
    // For a later start: shows the running copy's window (or the dialog it has open) in front; false when it was not
    // found in time.
    bool showOther() const;

private:
    std::wstring m_name;
    HANDLE m_mutex = nullptr;
    bool m_first = true;
};

// The pipe through which commands reach the copy running with `folder`: \\.\pipe\ and the mutex's name.
std::wstring commandPipeName(const std::filesystem::path& folder);
