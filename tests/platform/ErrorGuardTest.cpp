#include "platform/ErrorGuard.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

TEST(ErrorGuard, DropsWhatAHandlerThrowsAndReportsIt) {
    std::string seen;
    setDroppedErrorObserver([&](const char* what) { seen = what; });
    runGuarded([] { throw std::invalid_argument("'x' is not a valid integer value"); });
    EXPECT_EQ(seen, "'x' is not a valid integer value");
    runGuarded([] { throw 42; });
    EXPECT_EQ(seen, "unknown error");
    setDroppedErrorObserver(nullptr);
}
