#include "platform/Backend.h"
#include "platform/win32/Win32Backend.h"

std::unique_ptr<IBackend> openBackend(std::string&) {
    return std::make_unique<Win32Backend>();
}
