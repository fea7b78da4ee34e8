// The message window's clock and the countdown figure of its seconds label.
#include <gtest/gtest.h>

#include "dialogs/MessageForm.h"

#include <oleauto.h>

#include <cmath>

TEST(MessageCountdown, NowIsTheLocalDateTimeAsADayCount) {
    SYSTEMTIME st;
    GetLocalTime(&st);
    double expected = 0;
    ASSERT_TRUE(SystemTimeToVariantTime(&st, &expected));
    double now = NowAsDateTime();
    EXPECT_NEAR(now, expected, 2.0 / 86400);  // the variant form drops milliseconds
    EXPECT_GT(now, 40000.0);                  // a date after 2009
}

TEST(MessageCountdown, RemainingSecondsRoundToTheNearestAndHalvesToEven) {
    const double day = 24.0 * 60 * 60;
    const double tt = 45000.25;  // a moment with a time of day
    struct Case {
        double elapsed;
        long long expected;
    } cases[] = {{0.0, 20}, {0.4, 20}, {0.6, 19}, {1.0, 19}, {1.2, 19}, {19.6, 0}, {25.0, -5}};
    for (const Case& c : cases) EXPECT_EQ(CountdownSeconds(20000, tt, tt + c.elapsed / day), c.expected) << c.elapsed;
    // Exact halves (reachable from the day start): 19.5 gives 20 and 16.5 gives 16.
    ASSERT_EQ((0.5 / day) * 24 * 60 * 60, 0.5);
    ASSERT_EQ((3.5 / day) * 24 * 60 * 60, 3.5);
    EXPECT_EQ(CountdownSeconds(20000, 0.0, 0.5 / day), 20);
    EXPECT_EQ(CountdownSeconds(20000, 0.0, 3.5 / day), 16);
    // The interval counts in whole seconds: 20999 ms is 20 s.
    EXPECT_EQ(CountdownSeconds(20999, tt, tt), 20);
    EXPECT_EQ(CountdownSeconds(60000, tt, tt + 1.0 / day), 59);
}
