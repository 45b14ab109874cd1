// The desktop seam's monitor list against what Windows says of its screens.
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/win32/win32_desktop.h"

namespace keyrack {
namespace {

TEST(Monitors, OnePerScreenWithThePrimaryAtTheOrigin) {
    Win32Desktop desktop;
    const std::vector<MonitorInfo> monitors = desktop.EnumDisplayMonitors();
    ASSERT_EQ(monitors.size(), static_cast<std::size_t>(::GetSystemMetrics(SM_CMONITORS)));
    int primaries = 0;
    for (const MonitorInfo& m : monitors) {
        if (!m.primary) continue;
        ++primaries;
        EXPECT_EQ(m.monitor,
                  (Rect{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)}));
        RECT work{};
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        EXPECT_EQ(m.workArea, (Rect{work.left, work.top, work.right, work.bottom}));
    }
    EXPECT_EQ(primaries, 1);
}

}  // namespace
}  // namespace keyrack
