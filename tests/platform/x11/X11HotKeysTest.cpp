// gtest first: the X headers define None, which gtest uses as a name.
#include <gtest/gtest.h>

#include "platform/x11/X11ErrorTrap.h"
#include "platform/x11/X11HotKeys.h"

#include "XTestKeys.h"
#include "XvfbServer.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <poll.h>
#include <stdexcept>
#include <utility>
#include <vector>

namespace {
constexpr THotKey kCtrlF2{HotKeyModifier::Control, 2};
constexpr THotKey kCtrlF3{HotKeyModifier::Control, 3};
// Every test registers Ctrl+F2 as kF2Id and the sentinel Ctrl+F3 as kSentinelId.
constexpr int kF2Id = 1;
constexpr int kSentinelId = 2;

TEST(KeySymForFunctionKey, CoversF1ToF24Only) {
    EXPECT_EQ(keySymForFunctionKey(1), static_cast<unsigned long>(XK_F1));
    EXPECT_EQ(keySymForFunctionKey(12), static_cast<unsigned long>(XK_F12));
    EXPECT_EQ(keySymForFunctionKey(24), static_cast<unsigned long>(XK_F24));
    EXPECT_EQ(keySymForFunctionKey(0), 0u);
    EXPECT_EQ(keySymForFunctionKey(25), 0u);
}

TEST(LockCombinations, EverySubsetOnceEvenWhenLocksShareAMask) {
    using Masks = std::vector<unsigned>;
    EXPECT_EQ(lockCombinations(LockMask, Mod2Mask, Mod5Mask),
              (Masks{0, LockMask, Mod2Mask, LockMask | Mod2Mask, Mod5Mask, LockMask | Mod5Mask, Mod2Mask | Mod5Mask,
                     LockMask | Mod2Mask | Mod5Mask}));
    EXPECT_EQ(lockCombinations(LockMask, Mod2Mask, 0), (Masks{0, LockMask, Mod2Mask, LockMask | Mod2Mask}));
    EXPECT_EQ(lockCombinations(LockMask, Mod2Mask, Mod2Mask), (Masks{0, LockMask, Mod2Mask, LockMask | Mod2Mask}));
    EXPECT_EQ(lockCombinations(LockMask, 0, 0), (Masks{0, LockMask}));
}

class X11HotKeysTest : public testing::Test {
protected:
    static void SetUpTestSuite() { server = std::make_unique<XvfbServer>(); }
    static void TearDownTestSuite() { server.reset(); }

    void SetUp() override {
        ASSERT_TRUE(hotKeys);
        ASSERT_NE(keyboard, nullptr);
        hotKeys->setOnHotKey([this](int id) { received.push_back(id); });
    }
    void TearDown() override { XCloseDisplay(keyboard); }

    // Handles the hotkey connection's events until `done` holds or a generous time has passed.
    template <typename Predicate> bool waitUntil(Predicate done) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            pollfd readable{hotKeys->fileDescriptor(), POLLIN, 0};
            poll(&readable, 1, 50);
            hotKeys->processPendingEvents();
        }
        return true;
    }

    // Ctrl+F3, registered by every test, goes through the same server queue after whatever was pressed before it.
    void pressSentinelAndWait() {
        const auto sentinels = [this] { return std::ranges::count(received, kSentinelId); };
        const auto before = sentinels();
        pressChord(keyboard, {XK_Control_L}, XK_F3);
        ASSERT_TRUE(waitUntil([&] { return sentinels() > before; }));
        std::erase(received, kSentinelId);
    }

    // Whether a client other than the hotkeys' can grab F2 with exactly these modifiers now; the grab is released.
    bool otherClientCanGrab(unsigned xModifiers) {
        Display* other = XOpenDisplay(server->displayName().c_str());
        const int keyCode = XKeysymToKeycode(other, XK_F2);
        bool grabbed = false;
        {
            X11ErrorTrap trap(other);
            XGrabKey(other, keyCode, xModifiers, DefaultRootWindow(other), False, GrabModeAsync, GrabModeAsync);
            grabbed = !trap.syncAndCheck();
        }
        XCloseDisplay(other);
        return grabbed;
    }

    static inline std::unique_ptr<XvfbServer> server;
    std::unique_ptr<X11HotKeys> hotKeys = X11HotKeys::open(server->displayName());
    Display* keyboard = XOpenDisplay(server->displayName().c_str());
    std::vector<int> received;
};

TEST_F(X11HotKeysTest, OnlyExactlyCtrlF2ArrivesAsF2) {
    ASSERT_TRUE(hotKeys->registerHotKey(kF2Id, kCtrlF2));
    ASSERT_TRUE(hotKeys->registerHotKey(kSentinelId, kCtrlF3));
    pressChord(keyboard, {XK_Control_L, XK_Shift_L}, XK_F2);
    pressChord(keyboard, {}, XK_F2);
    pressChord(keyboard, {XK_Control_L, XK_Alt_L}, XK_F2);
    pressSentinelAndWait();
    EXPECT_TRUE(received.empty());

    pressChord(keyboard, {XK_Control_L}, XK_F2);
    ASSERT_TRUE(waitUntil([&] { return !received.empty(); }));
    EXPECT_EQ(received, (std::vector<int>{kF2Id}));
}

TEST_F(X11HotKeysTest, ArrivesWithNumLockAndCapsLockOn) {
    ASSERT_TRUE(hotKeys->registerHotKey(kF2Id, kCtrlF2));
    ASSERT_TRUE(hotKeys->registerHotKey(kSentinelId, kCtrlF3));
    tapKey(keyboard, XK_Num_Lock);
    XkbStateRec state{};
    XkbGetState(keyboard, XkbUseCoreKbd, &state);
    ASSERT_NE(state.locked_mods, 0) << "Num Lock did not lock";

    pressChord(keyboard, {XK_Control_L}, XK_F2);
    tapKey(keyboard, XK_Caps_Lock);
    pressChord(keyboard, {XK_Control_L}, XK_F2);
    pressSentinelAndWait();
    EXPECT_EQ(received, (std::vector<int>{kF2Id, kF2Id}));
    tapKey(keyboard, XK_Caps_Lock);
    tapKey(keyboard, XK_Num_Lock);
}

TEST_F(X11HotKeysTest, AHeldKeyFiresOncePerPress) {
    ASSERT_TRUE(hotKeys->registerHotKey(kF2Id, kCtrlF2));
    ASSERT_TRUE(hotKeys->registerHotKey(kSentinelId, kCtrlF3));
    holdKey(keyboard, {XK_Control_L}, XK_F2, 6);
    pressSentinelAndWait();
    EXPECT_EQ(received.size(), 1u);
    holdKey(keyboard, {XK_Control_L}, XK_F2, 3);
    pressSentinelAndWait();
    EXPECT_EQ(received.size(), 2u);
}

TEST_F(X11HotKeysTest, AKeyAnotherClientHoldsIsNotRegisteredAndLeavesNothingGrabbed) {
    Display* holder = XOpenDisplay(server->displayName().c_str());
    XGrabKey(holder, XKeysymToKeycode(holder, XK_F2), ControlMask | Mod2Mask, DefaultRootWindow(holder), False,
             GrabModeAsync, GrabModeAsync);
    XSync(holder, False);

    EXPECT_FALSE(hotKeys->registerHotKey(kF2Id, kCtrlF2));
    for (const unsigned mask : {ControlMask, ControlMask | LockMask, ControlMask | LockMask | Mod2Mask})
        EXPECT_TRUE(otherClientCanGrab(mask)) << mask;
    XCloseDisplay(holder);
    EXPECT_TRUE(otherClientCanGrab(ControlMask | Mod2Mask));

    // Nothing stays registered under the id either: the key can be had afterwards.
    EXPECT_TRUE(hotKeys->registerHotKey(kF2Id, kCtrlF2));
}

TEST_F(X11HotKeysTest, UnregisterReleasesTheKeyForOtherClients) {
    ASSERT_TRUE(hotKeys->registerHotKey(kF2Id, kCtrlF2));
    EXPECT_FALSE(otherClientCanGrab(ControlMask));
    EXPECT_FALSE(otherClientCanGrab(ControlMask | LockMask));
    hotKeys->unregisterHotKey(kF2Id);
    EXPECT_TRUE(otherClientCanGrab(ControlMask));
    EXPECT_TRUE(otherClientCanGrab(ControlMask | LockMask));
    hotKeys->unregisterHotKey(99);
}

TEST_F(X11HotKeysTest, TwoIdsOnOneKeyShareItUntilBothAreGone) {
    ASSERT_TRUE(hotKeys->registerHotKey(kF2Id, kCtrlF2));
    ASSERT_TRUE(hotKeys->registerHotKey(kSentinelId, kCtrlF2));
    hotKeys->unregisterHotKey(kF2Id);
    EXPECT_FALSE(otherClientCanGrab(ControlMask));
    hotKeys->unregisterHotKey(kSentinelId);
    EXPECT_TRUE(otherClientCanGrab(ControlMask));
}

TEST_F(X11HotKeysTest, ReleasesEveryGrabWhenDestroyed) {
    ASSERT_TRUE(hotKeys->registerHotKey(kF2Id, kCtrlF2));
    hotKeys.reset();
    EXPECT_TRUE(otherClientCanGrab(ControlMask));
}

TEST_F(X11HotKeysTest, KeysWithoutAnXKeyAreNotRegistered) {
    EXPECT_FALSE(hotKeys->registerHotKey(kF2Id, {HotKeyModifier::Control, 25}));
}

TEST_F(X11HotKeysTest, AThrowingHandlerEndsOnlyItsOwnPress) {
    ASSERT_TRUE(hotKeys->registerHotKey(kF2Id, kCtrlF2));
    ASSERT_TRUE(hotKeys->registerHotKey(kSentinelId, kCtrlF3));
    int calls = 0;
    hotKeys->setOnHotKey([&](int id) {
        ++calls;
        received.push_back(id);
        throw std::runtime_error("handler failed");
    });
    pressChord(keyboard, {XK_Control_L}, XK_F2);
    pressChord(keyboard, {XK_Control_L}, XK_F2);
    pressSentinelAndWait();
    EXPECT_EQ(calls, 3);
}

TEST_F(X11HotKeysTest, AHandlerMayUnregisterItsOwnKey) {
    ASSERT_TRUE(hotKeys->registerHotKey(kF2Id, kCtrlF2));
    ASSERT_TRUE(hotKeys->registerHotKey(kSentinelId, kCtrlF3));
    hotKeys->setOnHotKey([&](int id) {
        received.push_back(id);
        if (id == kF2Id)
            hotKeys->unregisterHotKey(kF2Id);
    });
    pressChord(keyboard, {XK_Control_L}, XK_F2);
    pressChord(keyboard, {XK_Control_L}, XK_F2);
    pressSentinelAndWait();
    EXPECT_EQ(received, (std::vector<int>{kF2Id}));
}

TEST_F(X11HotKeysTest, FollowsTheKeyWhenTheKeyboardMappingChanges) {
    ASSERT_TRUE(hotKeys->registerHotKey(kF2Id, kCtrlF2));
    ASSERT_TRUE(hotKeys->registerHotKey(kSentinelId, kCtrlF3));
    int minCode = 0;
    int maxCode = 0;
    XDisplayKeycodes(keyboard, &minCode, &maxCode);
    int freeCode = 0;
    for (int code = maxCode; code >= minCode && freeCode == 0; --code)
        if (XkbKeycodeToKeysym(keyboard, static_cast<KeyCode>(code), 0, 0) == NoSymbol)
            freeCode = code;
    ASSERT_NE(freeCode, 0);
    const int oldCode = XKeysymToKeycode(keyboard, XK_F2);
    KeySym f2 = XK_F2;
    KeySym nothing = NoSymbol;
    XChangeKeyboardMapping(keyboard, freeCode, 1, &f2, 1);
    XChangeKeyboardMapping(keyboard, oldCode, 1, &nothing, 1);
    XSync(keyboard, False);
    pressSentinelAndWait();

    const int control = XKeysymToKeycode(keyboard, XK_Control_L);
    for (const auto& [code, press] : {std::pair{control, True}, {freeCode, True}, {freeCode, False}, {control, False}})
        XTestFakeKeyEvent(keyboard, code, press, CurrentTime);
    XSync(keyboard, False);
    const bool arrived = waitUntil([&] { return !received.empty(); });

    XChangeKeyboardMapping(keyboard, oldCode, 1, &f2, 1);
    XChangeKeyboardMapping(keyboard, freeCode, 1, &nothing, 1);
    XSync(keyboard, False);
    ASSERT_TRUE(arrived);
    EXPECT_EQ(received, (std::vector<int>{kF2Id}));
}
} // namespace
