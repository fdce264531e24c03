#pragma once

#include "platform/Shell.h"

// Opens addresses with the desktop's URL handler.
class QtShell : public IShell {
public:
    void openUrl(const std::string& url) override;
};
