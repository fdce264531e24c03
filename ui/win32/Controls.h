#pragma once

#include "ui/win32/Win32.h"

#include <string>

// The program's font: the dialog face ("MS Shell Dlg", MS Sans Serif's successor) at the point size given, made once
// per kind for the whole run.
HFONT programFont(int points = 8, bool bold = false, bool underline = false);

// A length of the layouts, which are in pixels at 96 dots per inch, on this screen: the program declares itself
// aware of the monitors' scaling, so Windows no longer stretches its windows and it must do so itself.
int dpiScaled(int pixels);

// A child control at (x, y) in its parent's client area (layout pixels, scaled here), with the program's font and the
// control's own id.
HWND createControl(HWND parent, const wchar_t* windowClass, const std::string& text, DWORD style, int x, int y,
                   int width, int height, int id = 0, DWORD exStyle = 0);

void setText(HWND window, const std::string& text);
std::string getText(HWND window);

// Places a window at the centre of the primary monitor's work area.
void centreOnDesktop(HWND window);
