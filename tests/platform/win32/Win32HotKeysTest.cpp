#include "platform/win32/Win32HotKeys.h"
#include "tests/platform/win32/Win32TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {
constexpr int kCtrlF2Id = 1;

class Win32HotKeysTest : public ::testing::Test {
protected:
    void SetUp() override {
        hotKeys.setOnHotKey([this](int id) { received.push_back(id); });
        ASSERT_TRUE(hotKeys.registerHotKey(kCtrlF2Id, {HotKeyModifier::Control, 2}));
    }

    // Sends keys from a program of its own, as another program of the desktop would.
    void drive(const std::wstring& keys, int repeats = 1) {
        ChildProcess driver(L"tappora_win32_driver.exe", {keys, std::to_wstring(repeats)});
        ASSERT_EQ(driver.waitForExit(), 0);
        // Let the last hotkey message arrive.
        pumpFor(std::chrono::milliseconds(200));
    }

    Win32HotKeys hotKeys;
    std::vector<int> received;
};

TEST_F(Win32HotKeysTest, CtrlF2FromAnotherProgramArrivesWithItsId) {
    drive(L"ctrl+f2");
    EXPECT_THAT(received, ElementsAre(kCtrlF2Id));
}

TEST_F(Win32HotKeysTest, CtrlShiftF2AndPlainF2DoNotFire) {
    drive(L"ctrl+shift+f2");
    drive(L"f2");
    EXPECT_THAT(received, IsEmpty());
}

// The stop-all key's modifier set, beside the clicks' Ctrl.
TEST_F(Win32HotKeysTest, CtrlShiftF11ArrivesWithItsOwnId) {
    ASSERT_TRUE(hotKeys.registerHotKey(12, {HotKeyModifier::Control | HotKeyModifier::Shift, 11}));
    drive(L"ctrl+shift+f11");
    EXPECT_THAT(received, ElementsAre(12));
}

TEST_F(Win32HotKeysTest, AHeldKeyFiresOnceAndAgainAfterItsRelease) {
    drive(L"ctrl+f2", 6);
    EXPECT_THAT(received, ElementsAre(kCtrlF2Id));
    drive(L"ctrl+f2");
    EXPECT_EQ(received.size(), 2u);
}

TEST_F(Win32HotKeysTest, AnUnregisteredKeyIsSilent) {
    hotKeys.unregisterHotKey(kCtrlF2Id);
    drive(L"ctrl+f2");
    EXPECT_THAT(received, IsEmpty());
}

TEST_F(Win32HotKeysTest, AKeyAlreadyTakenCannotBeRegisteredAgain) {
    Win32HotKeys other;
    EXPECT_FALSE(other.registerHotKey(kCtrlF2Id, {HotKeyModifier::Control, 2}));
}

} // namespace
