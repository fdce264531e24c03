#pragma once

// What searching several monitors asks of a screen, checked the same way on every backend. A backend's test gives a
// desk that lays out the two monitors below and paints at program positions:
//
//     struct MyDesk {
//         MyDesk();                                       // the layout, every pixel of the desktop kBackground
//         IScreen& screen();
//         void paint(const TRect& area, std::uint32_t rgb); // 0x00RRGGBB, also between the monitors
//     };
//     INSTANTIATE_TYPED_TEST_SUITE_P(My, ScreenContract, testing::Types<MyDesk>);

#include "engine/Search.h"
#include "engine/SharedScreen.h"
#include "model/ColorText.h"
#include "platform/Screen.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace ScreenContractLayout {
// The primary right of a taller monitor that reaches above and below it, so that the desktop holds places on no
// monitor: above the primary (rows -50 to -1) and below it (rows 300 to 349).
constexpr TRect kPrimary{0, 0, 400, 300};
constexpr TRect kOther{-320, -50, 320, 400};
constexpr std::uint32_t kBackground = 0x203040;
constexpr std::uint32_t kWanted = 0xFA0A05;
} // namespace ScreenContractLayout

template <class Desk> class ScreenContract : public testing::Test {
protected:
    ~ScreenContract() override { SharedScreen().Clear(); }

    // The first pixel of the wanted colour in the scope (right and bottom exclusive).
    TPoint findWanted(int left, int top, int right, int bottom) {
        return SearchColorBlock(desk.screen(), std::to_string(SwapRB(ScreenContractLayout::kWanted)), left, top, right,
                                bottom, 100);
    }

    Desk desk;
};

TYPED_TEST_SUITE_P(ScreenContract);

TYPED_TEST_P(ScreenContract, ReportsEveryMonitorAtProgramPositionsAndThePrimaryAsTheScreen) {
    using namespace ScreenContractLayout;
    EXPECT_THAT(this->desk.screen().monitorAreas(), testing::UnorderedElementsAre(kPrimary, kOther));
    EXPECT_EQ(this->desk.screen().screenSize(), (TSize{kPrimary.width, kPrimary.height}));
}

TYPED_TEST_P(ScreenContract, AScopeOnTheOtherMonitorIsSearchedThereAndTheFullScreenIsThePrimary) {
    using namespace ScreenContractLayout;
    this->desk.paint({-100, 330, 1, 1}, kWanted);
    EXPECT_EQ(this->findWanted(-320, -50, 0, 350), (TPoint{-100, 330}));
    EXPECT_EQ(this->findWanted(-5000, 320, 5000, 5000), (TPoint{-100, 330})) << "clipped to the monitors together";
    EXPECT_EQ(this->findWanted(0, 0, kPrimary.width, kPrimary.height), (TPoint{-1, -1}));
}

TYPED_TEST_P(ScreenContract, PixelsBetweenTheMonitorsNeverMatch) {
    using namespace ScreenContractLayout;
    this->desk.paint({10, -20, 1, 1}, kWanted);
    this->desk.paint({390, 320, 1, 1}, kWanted);
    EXPECT_EQ(this->findWanted(-320, -50, 400, 350), (TPoint{-1, -1}));
    this->desk.paint({-1, 340, 1, 1}, kWanted);
    EXPECT_EQ(this->findWanted(-320, -50, 400, 350), (TPoint{-1, 340}));
}

TYPED_TEST_P(ScreenContract, APictureAcrossBothMonitorsIsFoundButNotOnePartlyBetweenThem) {
    using namespace ScreenContractLayout;
    const std::uint32_t colours[] = {0x11EE22, 0xEE1133, kWanted};
    TPixelBuffer picture;
    picture.SetSize(3, 2);
    for (int x = 0; x < 3; ++x) {
        picture.SetPixel(x, 0, colours[x]);
        picture.SetPixel(x, 1, colours[2 - x]);
    }
    const auto paintPicture = [&](int left, int top) {
        for (int x = 0; x < 3; ++x) {
            this->desk.paint({left + x, top, 1, 1}, colours[x]);
            this->desk.paint({left + x, top + 1, 1, 1}, colours[2 - x]);
        }
    };
    paintPicture(200, -1);
    paintPicture(-1, 150);
    EXPECT_EQ(SearchPicture(this->desk.screen(), &picture, -320, -50, 400, 350, 100), (TPoint{0, 151}));
}

REGISTER_TYPED_TEST_SUITE_P(ScreenContract, ReportsEveryMonitorAtProgramPositionsAndThePrimaryAsTheScreen,
                            AScopeOnTheOtherMonitorIsSearchedThereAndTheFullScreenIsThePrimary,
                            PixelsBetweenTheMonitorsNeverMatch,
                            APictureAcrossBothMonitorsIsFoundButNotOnePartlyBetweenThem);
