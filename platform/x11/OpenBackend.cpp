#include "platform/Backend.h"
#include "platform/x11/X11Backend.h"
#include "platform/x11/X11Connection.h"

#include <cstdlib>

std::unique_ptr<IBackend> openBackend(std::string& failure) {
    std::unique_ptr<X11Backend> backend = X11Backend::open();
    if (!backend)
        failure = x11UnavailableReason(std::getenv("DISPLAY"));
    return backend;
}
