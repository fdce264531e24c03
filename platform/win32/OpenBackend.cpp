#include "platform/Backend.h"
#include "platform/win32/Win32Backend.h"

std::unique_ptr<IBackend> openBackend(std::string_view requested, std::string& failure) {
    if (!requested.empty() && requested != "win32") {
        failure = "This build has no backend '" + std::string(requested) + "', only win32.";
        return nullptr;
    }
    return std::make_unique<Win32Backend>();
}
