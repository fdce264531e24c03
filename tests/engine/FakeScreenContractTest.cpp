#include "platform/fake/FakeScreen.h"
#include "tests/platform/ScreenContract.h"

namespace {
struct FakeDesk {
    FakeDesk() {
        screen_.resize(ScreenContractLayout::kPrimary.width, ScreenContractLayout::kPrimary.height);
        screen_.addMonitor(ScreenContractLayout::kOther);
        screen_.fill(ScreenContractLayout::kBackground);
    }
    IScreen& screen() { return screen_; }
    void paint(const TRect& area, std::uint32_t rgb) {
        screen_.fillRect(area.left, area.top, area.width, area.height, rgb);
    }

    FakeScreen screen_;
};

INSTANTIATE_TYPED_TEST_SUITE_P(Fake, ScreenContract, testing::Types<FakeDesk>);
} // namespace
