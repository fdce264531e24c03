#include "platform/fake/FakeHotKeys.h"
#include "platform/ErrorGuard.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <utility>
#include <vector>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

constexpr WindowHandle kWindow = 42;
using Kind = FakeHotKeyCall::Kind;

class FakeHotKeysTest : public ::testing::Test {
protected:
    void SetUp() override {
        hotKeys.setOnHotKey([this](unsigned modifiers, unsigned vk) { pressed.emplace_back(modifiers, vk); });
    }

    FakeHotKeys hotKeys;
    std::vector<std::pair<unsigned, unsigned>> pressed;
};

TEST_F(FakeHotKeysTest, AtomIsTheSameForTheSameNameAndDistinctOtherwise) {
    const int f0 = hotKeys.addAtom("TapporaHotKeyF0");
    const int f1 = hotKeys.addAtom("TapporaHotKeyF1");
    EXPECT_EQ(f0, FakeHotKeys::kFirstAtom);
    EXPECT_EQ(f1, FakeHotKeys::kFirstAtom + 1);
    EXPECT_EQ(hotKeys.addAtom("TapporaHotKeyF0"), f0);
}

TEST_F(FakeHotKeysTest, RegisteredKeyIsDeliveredWithItsExactModifiersOnly) {
    EXPECT_TRUE(hotKeys.registerHotKey(kWindow, 7, HotKeyModifier::Control, VirtualKey::F1));
    EXPECT_TRUE(hotKeys.press(HotKeyModifier::Control, VirtualKey::F1));
    EXPECT_FALSE(hotKeys.press(HotKeyModifier::Control | HotKeyModifier::Shift, VirtualKey::F1));
    EXPECT_FALSE(hotKeys.press(HotKeyModifier::Control, VirtualKey::F1 + 1));
    EXPECT_THAT(pressed, ElementsAre(std::pair{unsigned(HotKeyModifier::Control), VirtualKey::F1}));
}

TEST_F(FakeHotKeysTest, UnregisteredKeyIsNoLongerDelivered) {
    hotKeys.registerHotKey(kWindow, 7, HotKeyModifier::Control, VirtualKey::F12);
    hotKeys.unregisterHotKey(kWindow, 7);
    hotKeys.unregisterHotKey(kWindow, 99);
    EXPECT_FALSE(hotKeys.press(HotKeyModifier::Control, VirtualKey::F12));
    EXPECT_THAT(pressed, IsEmpty());
    EXPECT_THAT(hotKeys.calls(),
                ElementsAre(FakeHotKeyCall{Kind::Register, kWindow, 7, HotKeyModifier::Control, VirtualKey::F12, true},
                            FakeHotKeyCall{Kind::Unregister, kWindow, 7, 0, 0, true},
                            FakeHotKeyCall{Kind::Unregister, kWindow, 99, 0, 0, false}));
}

TEST_F(FakeHotKeysTest, KeyTakenByAnotherProgramOrAlreadyRegisteredCannotBeHad) {
    hotKeys.takeByOtherProgram(HotKeyModifier::Control, VirtualKey::F1 + 2);
    EXPECT_FALSE(hotKeys.registerHotKey(kWindow, 1, HotKeyModifier::Control, VirtualKey::F1 + 2));
    EXPECT_FALSE(hotKeys.press(HotKeyModifier::Control, VirtualKey::F1 + 2));
    EXPECT_TRUE(hotKeys.registerHotKey(kWindow, 2, HotKeyModifier::Control, VirtualKey::F1 + 3));
    EXPECT_FALSE(hotKeys.registerHotKey(kWindow, 3, HotKeyModifier::Control, VirtualKey::F1 + 3));
    EXPECT_EQ(hotKeys.registeredCount(), 1u);
}

TEST_F(FakeHotKeysTest, ThrowingHandlerIsDroppedByTheGuard) {
    hotKeys.setOnHotKey([](unsigned, unsigned) { throw std::runtime_error("handler failed"); });
    hotKeys.registerHotKey(kWindow, 1, HotKeyModifier::Control, VirtualKey::F1);
    std::vector<std::string> dropped;
    setDroppedErrorObserver([&](const char* what) { dropped.emplace_back(what); });
    EXPECT_TRUE(hotKeys.press(HotKeyModifier::Control, VirtualKey::F1));
    setDroppedErrorObserver(nullptr);
    EXPECT_THAT(dropped, ElementsAre("handler failed"));
}

} // namespace
