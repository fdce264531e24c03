#include "platform/fake/FakeHotKeys.h"
#include "platform/ErrorGuard.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

using Kind = FakeHotKeyCall::Kind;
constexpr THotKey kCtrlF1{HotKeyModifier::Control, 1};
constexpr THotKey kCtrlF12{HotKeyModifier::Control, 12};

class FakeHotKeysTest : public ::testing::Test {
protected:
    void SetUp() override {
        hotKeys.setOnHotKey([this](int id) { pressed.push_back(id); });
    }

    FakeHotKeys hotKeys;
    std::vector<int> pressed;
};

TEST_F(FakeHotKeysTest, RegisteredKeyIsDeliveredWithItsExactModifiersOnly) {
    EXPECT_TRUE(hotKeys.registerHotKey(7, kCtrlF1));
    EXPECT_TRUE(hotKeys.press(kCtrlF1));
    EXPECT_FALSE(hotKeys.press({HotKeyModifier::Control | HotKeyModifier::Shift, 1}));
    EXPECT_FALSE(hotKeys.press({HotKeyModifier::Control, 2}));
    EXPECT_THAT(pressed, ElementsAre(7));
}

TEST_F(FakeHotKeysTest, UnregisteredKeyIsNoLongerDelivered) {
    hotKeys.registerHotKey(7, kCtrlF12);
    hotKeys.unregisterHotKey(7);
    hotKeys.unregisterHotKey(99);
    EXPECT_FALSE(hotKeys.press(kCtrlF12));
    EXPECT_THAT(pressed, IsEmpty());
    EXPECT_THAT(hotKeys.calls(), ElementsAre(FakeHotKeyCall{Kind::Register, 7, kCtrlF12, true},
                                             FakeHotKeyCall{Kind::Unregister, 7, {}, true},
                                             FakeHotKeyCall{Kind::Unregister, 99, {}, false}));
}

TEST_F(FakeHotKeysTest, KeyTakenByAnotherProgramOrAlreadyRegisteredCannotBeHad) {
    hotKeys.takeByOtherProgram({HotKeyModifier::Control, 3});
    EXPECT_FALSE(hotKeys.registerHotKey(1, {HotKeyModifier::Control, 3}));
    EXPECT_FALSE(hotKeys.press({HotKeyModifier::Control, 3}));
    EXPECT_TRUE(hotKeys.registerHotKey(2, {HotKeyModifier::Control, 4}));
    EXPECT_FALSE(hotKeys.registerHotKey(3, {HotKeyModifier::Control, 4}));
    EXPECT_EQ(hotKeys.registeredCount(), 1u);
}

TEST_F(FakeHotKeysTest, RegisteringAnIdAgainReleasesItsEarlierKey) {
    hotKeys.registerHotKey(1, kCtrlF1);
    EXPECT_TRUE(hotKeys.registerHotKey(1, kCtrlF12));
    EXPECT_FALSE(hotKeys.isRegistered(kCtrlF1));
    EXPECT_EQ(hotKeys.registeredCount(), 1u);
}

TEST_F(FakeHotKeysTest, ThrowingHandlerIsDroppedByTheGuard) {
    hotKeys.setOnHotKey([](int) { throw std::runtime_error("handler failed"); });
    hotKeys.registerHotKey(1, kCtrlF1);
    std::vector<std::string> dropped;
    setDroppedErrorObserver([&](const char* what) { dropped.emplace_back(what); });
    EXPECT_TRUE(hotKeys.press(kCtrlF1));
    setDroppedErrorObserver(nullptr);
    EXPECT_THAT(dropped, ElementsAre("handler failed"));
}

} // namespace
