#pragma once

// Resource identifiers of tappora.exe, shared by the resource script and the code that loads them.
#define TAPPORA_ICON 1
