// The start-up screen snapshot: its fields come from the screen as it was,
// the monitor list is read live, and the cursor property remembers what was
// written through it.
#include <gtest/gtest.h>

#include "platform/Exceptions.h"
#include "platform/Screen.h"
#include "shell/ScreenMonitorManager.h"

TEST(ScreenSnapshot, FieldsComeFromThePrimaryScreen) {
    TmyScreen s;
    EXPECT_EQ(s.Width, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(s.Height, GetSystemMetrics(SM_CYSCREEN));
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(s.WorkAreaWidth, work.right - work.left);
    EXPECT_EQ(s.WorkAreaHeight, work.bottom - work.top);
    EXPECT_EQ(s.MonitorCount, GetSystemMetrics(SM_CMONITORS));
    EXPECT_EQ(s.Monitornumber, 0);
    HDC dc = GetDC(nullptr);
    EXPECT_EQ(s.PixelsPerInch, GetDeviceCaps(dc, LOGPIXELSY));
    ReleaseDC(nullptr, dc);
    EXPECT_EQ(s.FCursor, platform::TheScreen().Cursor());
}

TEST(ScreenSnapshot, MonitorZeroIsThePrimaryAndABadIndexFails) {
    TmyScreen s;
    platform::Monitor m = s.Monitors(0);
    EXPECT_TRUE(m.Primary);
    EXPECT_EQ(m.Left, 0);
    EXPECT_EQ(m.Top, 0);
    EXPECT_EQ(m.Width, s.Width);
    EXPECT_EQ(m.Height, s.Height);
    EXPECT_THROW(s.Monitors(s.MonitorCount), platform::EListError);
    EXPECT_THROW(s.Monitors(-1), platform::EListError);
}

TEST(ScreenSnapshot, CursorReadsTheValueLastWrittenThroughIt) {
    TmyScreen s;
    s.SetCursor(platform::crHourGlass);
    EXPECT_EQ(s.Cursor(), platform::crHourGlass);
    EXPECT_EQ(platform::TheScreen().Cursor(), platform::crHourGlass);
    platform::TheScreen().SetCursor(platform::crDefault);  // changed by other code
    EXPECT_EQ(s.Cursor(), platform::crHourGlass);
    // An identifier the screen refuses: remembered anyway, the error swallowed.
    s.SetCursor(12345);
    EXPECT_EQ(s.Cursor(), 12345);
    EXPECT_EQ(platform::TheScreen().Cursor(), platform::crDefault);
    s.SetCursor(platform::crDefault);
}
