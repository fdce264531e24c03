#include "platform/win32/Win32HotKeys.h"
#include "tests/platform/win32/Win32TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {
using HotKey = std::pair<unsigned, unsigned>;

class Win32HotKeysTest : public ::testing::Test {
protected:
    void SetUp() override {
        hotKeys.setOnHotKey([this](unsigned modifiers, unsigned vk) { received.emplace_back(modifiers, vk); });
        ASSERT_TRUE(hotKeys.registerHotKey(0, hotKeys.addAtom("TapporaHotKeyF1"), MOD_CONTROL, VK_F2));
    }

    // Sends keys from a program of its own, as another program of the desktop would.
    void drive(const std::wstring& keys, int repeats = 1) {
        ChildProcess driver(L"tappora_win32_driver.exe", {keys, std::to_wstring(repeats)});
        ASSERT_EQ(driver.waitForExit(), 0);
        // Let the last hotkey message arrive.
        pumpFor(std::chrono::milliseconds(200));
    }

    Win32HotKeys hotKeys;
    std::vector<HotKey> received;
};

TEST_F(Win32HotKeysTest, CtrlF2FromAnotherProgramArrivesWithItsModifierAndKey) {
    drive(L"ctrl+f2");
    EXPECT_THAT(received, ElementsAre(HotKey{MOD_CONTROL, VK_F2}));
}

TEST_F(Win32HotKeysTest, CtrlShiftF2AndPlainF2DoNotFire) {
    drive(L"ctrl+shift+f2");
    drive(L"f2");
    EXPECT_THAT(received, IsEmpty());
}

TEST_F(Win32HotKeysTest, AHeldKeyFiresOnceAndAgainAfterItsRelease) {
    drive(L"ctrl+f2", 6);
    EXPECT_THAT(received, ElementsAre(HotKey{MOD_CONTROL, VK_F2}));
    drive(L"ctrl+f2");
    EXPECT_EQ(received.size(), 2u);
}

TEST_F(Win32HotKeysTest, AnUnregisteredKeyIsSilent) {
    hotKeys.unregisterHotKey(0, hotKeys.addAtom("TapporaHotKeyF1"));
    drive(L"ctrl+f2");
    EXPECT_THAT(received, IsEmpty());
}

TEST_F(Win32HotKeysTest, AKeyAlreadyTakenCannotBeRegisteredAgain) {
    Win32HotKeys other;
    EXPECT_FALSE(other.registerHotKey(0, other.addAtom("TapporaTestOther"), MOD_CONTROL, VK_F2));
}

TEST_F(Win32HotKeysTest, AtomsOfTheSameNameAreTheSameAndOfOtherNamesDiffer) {
    const int first = hotKeys.addAtom("TapporaHotKeyF0");
    EXPECT_EQ(hotKeys.addAtom("TapporaHotKeyF0"), first);
    EXPECT_NE(hotKeys.addAtom("TapporaHotKeyF11"), first);
    // The global atom table knows the name, so another program finds the same hotkey identifier.
    EXPECT_EQ(GlobalFindAtomA("TapporaHotKeyF0"), first);
}
} // namespace
