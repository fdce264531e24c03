#pragma once

#include <QIcon>

// The program's icon, for the windows and the notification area: a pointer over a target.
QIcon appIcon();
