#include "platform/fake/FakePlatform.h"
#include "platform/fake/FakeBackend.h"

#include <gtest/gtest.h>

namespace {

TEST(FakePlatformTest, ServicesReachTheFakesAndShareOneVirtualClock) {
    FakePlatform fake;
    Platform& platform = fake.platform;
    auto timer = platform.loop.createTimer();
    timer->setInterval(250);
    timer->setOnTick([&] { platform.mouse.sendButtonEvent(MouseButtonEvent::LeftDown); });
    timer->setEnabled(true);
    fake.loop.advance(250);
    ASSERT_EQ(fake.mouse.events().size(), 1u);
    EXPECT_EQ(fake.mouse.events().front().time, 250);
    EXPECT_EQ(platform.clock.tickCount(), 250u);
    EXPECT_EQ(platform.screen.screenSize(), fake.screen.screenSize());
    EXPECT_TRUE(platform.hotKeys.registerHotKey(1, {HotKeyModifier::Control, 1}));
    EXPECT_TRUE(fake.hotKeys.isRegistered({HotKeyModifier::Control, 1}));
}

// A build on the fake backend opens it like any other: its services, with the loop the caller runs.
TEST(FakeBackendTest, OpensAsTheBackendAndHandsItsServicesWithTheCallersLoop) {
    std::string failure;
    const std::unique_ptr<IBackend> backend = openBackend(failure);
    ASSERT_NE(backend, nullptr);
    EXPECT_EQ(failure, "");
    FakePlatform& fake = dynamic_cast<FakeBackend&>(*backend).fake;
    FakeEventLoop callersLoop;
    const Platform platform = backend->platform(callersLoop);
    EXPECT_EQ(&platform.loop, &callersLoop);
    platform.mouse.setCursorPos(3, 4);
    EXPECT_EQ(fake.mouse.cursorPos(), (TPoint{3, 4}));
    EXPECT_EQ(&platform.screen, &fake.screen);
    EXPECT_EQ(&platform.clock, &fake.clock);
    EXPECT_EQ(&platform.hotKeys, &fake.hotKeys);
}

} // namespace
