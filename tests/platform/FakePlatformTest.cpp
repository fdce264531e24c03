#include "platform/fake/FakePlatform.h"

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
    EXPECT_EQ(platform.hotKeys.addAtom("x"), fake.hotKeys.addAtom("x"));
}

} // namespace
