#pragma once

#include "platform/Shell.h"

// Web and mail addresses through the shell's "open" verb.
class Win32Shell : public IShell {
public:
    void openUrl(const std::string& url) override;
};
