#include "platform/Backend.h"
#include "platform/fake/FakeBackend.h"

std::unique_ptr<IBackend> openBackend(std::string_view requested, std::string& failure) {
    if (!requested.empty() && requested != "fake") {
        failure = "This build has no backend '" + std::string(requested) + "', only fake.";
        return nullptr;
    }
    return std::make_unique<FakeBackend>();
}
