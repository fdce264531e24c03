#include "platform/Backend.h"
#include "platform/fake/FakeBackend.h"

std::unique_ptr<IBackend> openBackend(std::string&) {
    return std::make_unique<FakeBackend>();
}
