#pragma once

// The platform's interfaces come before <windows.h>, which defines some of their names as macros of the same value.
#include "platform/Platform.h"

#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <windowsx.h>
