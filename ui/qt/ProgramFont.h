#pragma once

// The desktop's default sans-serif font, at the size the windows' fixed layouts were made for.
void applyProgramFont();
