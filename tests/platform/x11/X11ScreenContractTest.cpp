// gtest first: the X headers define None, which gtest uses as a name.
#include <gtest/gtest.h>

#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Monitors.h"
#include "platform/x11/X11Screen.h"
#include "tests/platform/ScreenContract.h"

#include "TargetClient.h"
#include "XMonitors.h"
#include "XvfbServer.h"

#include <memory>

namespace {
using namespace ScreenContractLayout;

// The root window holds both monitors with the other one at its left edge: the primary's top-left, the program's
// origin, lies at root (320, 50).
constexpr TPoint kOrigin{-kOther.left, -kOther.top};

class X11Desk {
public:
    X11Desk() {
        setOutputArea(target.display(), {0, 0, kOther.width, kOther.height});
        setMonitor(target.display(), "MAIN", true, {kOrigin.x, kOrigin.y, kPrimary.width, kPrimary.height});
        target.paint(0, 0, kOther.width + kPrimary.width, kOther.height, [](int, int) { return kBackground; });
    }
    IScreen& screen() { return *m_screen; }
    void paint(const TRect& area, std::uint32_t rgb) {
        target.paint(area.left + kOrigin.x, area.top + kOrigin.y, area.width, area.height,
                     [rgb](int, int) { return rgb; });
    }

private:
    XvfbServer server{{.width = kOther.width + kPrimary.width, .height = kOther.height}};
    TargetClient target{server.displayName()};
    std::unique_ptr<X11Connection> connection = X11Connection::open(server.displayName());
    std::unique_ptr<X11Screen> m_screen = std::make_unique<X11Screen>(connection->display());
};

INSTANTIATE_TYPED_TEST_SUITE_P(X11, ScreenContract, testing::Types<X11Desk>);
} // namespace
