#pragma once

#include "ui/win32/Win32.h"

// The pictures of the seven toolbar buttons, New to Exit, 24 x 24 pixels, drawn by the program.
HIMAGELIST createToolImages();
// The program's icon: the executable's own when it carries one, else the system's application icon.
HICON appIcon();
