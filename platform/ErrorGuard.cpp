#include "platform/ErrorGuard.h"

#include <exception>
#include <utility>

namespace {
std::function<void(const char*)>& droppedErrorObserver() {
    static std::function<void(const char*)> observer;
    return observer;
}

void reportDropped(const char* what) noexcept {
    try {
        if (droppedErrorObserver())
            droppedErrorObserver()(what);
    } catch (...) {
    }
}
} // namespace

void runGuarded(const std::function<void()>& handler) noexcept {
    try {
        handler();
    } catch (const std::exception& e) {
        reportDropped(e.what());
    } catch (...) {
        reportDropped("unknown error");
    }
}

void setDroppedErrorObserver(std::function<void(const char* what)> observer) {
    droppedErrorObserver() = std::move(observer);
}
