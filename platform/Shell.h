#pragma once

#include <string>

class IShell {
public:
    virtual ~IShell() = default;
    // Opens a web or mailto address with the desktop's handler; failures are ignored.
    virtual void openUrl(const std::string& url) = 0;
};
