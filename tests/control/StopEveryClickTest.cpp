// The ways out of a runaway click: the stop-all key and the corner, chosen in Options and kept in the settings.
#include "control/ControlFixture.h"
#include "control/StopAllKey.h"

#include <gmock/gmock.h>

using ::testing::AnyOf;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

namespace {

class StopEveryClickTest : public ControlTest {
protected:
    // Two clicks running; the second at a fixed point in the top-left corner.
    void StartTwoClicks(bool cornerStop) {
        EditSettings([&](TConfig& config) { config.GetFrame().SetcornerStop(cornerStop); });
        WriteList({FastClick("A", 1, 2), FastClick("B", 3, 4, R"(pointType="1" fPosX="0" fPosY="0")")});
        StartController();
        fake.mouse.placePointer({800, 600});
        ctrl->StartAll();
        fake.loop.advance(1500);
    }
    bool AnyRunning() const { return ctrl->Runner(0).running || ctrl->Runner(1).running; }
    // The user keeps pushing the pointer to `place` for `ms`, against the click that pulls it to its target.
    void HoldPointer(TPoint place, int ms) {
        for (int held = 0; held < ms; held += 10) {
            fake.mouse.placePointer(place);
            fake.loop.advance(10);
        }
    }
    void ChooseInOptions(const std::string& key, bool cornerStop) {
        view.optionsChange = [&](TOptionsChoices& choices) {
            const auto& values = choices.stopAllKey.values;
            choices.stopAllKey.selected = int(std::find(values.begin(), values.end(), key) - values.begin());
            choices.cornerStop = cornerStop;
        };
        ctrl->ShowOptions();
    }
};

// Half a second in a corner stops all; the corner the program's own click keeps the pointer in does not, nor does a
// corner left sooner.
TEST_F(StopEveryClickTest, APointerHeldInACornerForHalfASecondStopsEveryClickButNotTheProgramsOwnMoves) {
    StartTwoClicks(true);
    fake.loop.advance(2000);
    EXPECT_TRUE(AnyRunning()) << "the pointer lies in the corner only where the click put it";
    HoldPointer({1919, 0}, TCornerWatch::kHoldMs - 2 * TCornerWatch::kPollMs);
    HoldPointer({1000, 500}, 1000);
    EXPECT_TRUE(AnyRunning()) << "left before half a second";
    HoldPointer({1918, 1078}, TCornerWatch::kHoldMs + TCornerWatch::kPollMs);
    EXPECT_FALSE(AnyRunning());
    EXPECT_FALSE(ctrl->WatchingCorners());
}

// The stop-all key stops every click. The defaults leave the settings file as it was; a key chosen is taken at once and
// kept, one another program holds is told, and no corner is watched where the pointer cannot be read.
TEST_F(StopEveryClickTest, TheStopAllKeyStopsEveryClickAndOptionsKeepOnlyWhatDiffersFromTheDefaults) {
    fake.hotKeys.takeByOtherProgram({HotKeyModifier::Alt | HotKeyModifier::Shift, 9});
    StartTwoClicks(false);
    ChooseInOptions(StopAllKey::kDefault, false);
    ASSERT_TRUE(fake.hotKeys.press({HotKeyModifier::Control | HotKeyModifier::Shift, 11}));
    EXPECT_FALSE(AnyRunning());
    CloseController();
    EXPECT_THAT(ReadFile(kConfigFileName), Not(AnyOf(HasSubstr("stopAllKey"), HasSubstr("cornerStop"))));

    StartController();
    fake.mouse.hidePointer();
    ChooseInOptions("Alt+Shift+F9", true);
    EXPECT_THAT(view.fileMessages, ElementsAre(HasSubstr("Alt+Shift+F9 could not be taken")));
    EXPECT_FALSE(view.optionsOffered.cornerStopUnavailable.empty());
    ChooseInOptions("Ctrl+Alt+Shift+F1", true);
    EXPECT_TRUE(fake.hotKeys.press({HotKeyModifier::Control | HotKeyModifier::Alt | HotKeyModifier::Shift, 1}));
    EXPECT_FALSE(fake.hotKeys.press({HotKeyModifier::Control | HotKeyModifier::Shift, 11}));
    CloseController();
    EXPECT_THAT(ReadFile(kConfigFileName), HasSubstr(R"(stopAllKey="Ctrl+Alt+Shift+F1"/>)"));
}

} // namespace
