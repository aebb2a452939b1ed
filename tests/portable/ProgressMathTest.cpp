#include <gtest/gtest.h>

#include <climits>

#include "download/ProgressMath.h"

TEST(ProgressMath, PercentIsExactForEveryThirtyTwoBitCount)
{
    struct Case {
        uint32_t received;
        uint32_t announced;
        int percent;
    } cases[] = {
        {0, 1, 0},
        {99, 100, 99},
        {16384, 16384, 100},
        {0xFFFFFFFFu, 0xFFFFFFFFu, 100},           // the product needs 39 bits
        {0xFFFFFFFEu, 0xFFFFFFFFu, 99},            // never rounds up to 100
        {42949672u, 0xFFFFFFFFu, 0},               // just below one percent
        {42949673u, 0xFFFFFFFFu, 1},
        {0x80000000u, 0xFFFFFFFFu, 50},
        {200, 100, 200},                           // longer than announced: not clamped
        {21474836u, 1, 2147483600},                // the largest that fits an int
        {21474837u, 1, INT_MAX},                   // beyond: the most an int holds
        {0xFFFFFFFFu, 1, INT_MAX},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.percent, PercentReceived(c.received, c.announced))
            << c.received << " of " << c.announced;
}

TEST(ProgressMath, ElapsedTimeSurvivesTheClockWrapAndNeverIsZero)
{
    struct Case {
        uint32_t start;
        uint32_t now;
        uint32_t elapsed;
    } cases[] = {
        {1000, 1000, 10},
        {1000, 1001, 1},
        {1000, 1250, 250},
        {0xFFFFFFF0u, 5, 21},
        {0xFFFFFFFFu, 0xFFFFFFFFu, 10},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.elapsed, ElapsedMs(c.start, c.now)) << c.start << " to " << c.now;
}

TEST(ProgressMath, SpeedTextShowsKilobytesPerSecond)
{
    struct Case {
        uint32_t received;
        uint32_t elapsedMs;
        const char* text;
    } cases[] = {
        {16384, kMinimumElapsedMs, "1600.0 KB/秒"},
        {1024, 1000, " 1.0 KB/秒"},                  // padded to four characters
        {1536, 1000, " 1.5 KB/秒"},
        {0, 10, " 0.0 KB/秒"},
        {1048576, 100, "10240.0 KB/秒"},             // wider than four: not cut
        {0xFFFFFFFFu, 1, "4194304000.0 KB/秒"},       // the largest count in the least time
        {3000, 7, "418.5 KB/秒"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(c.text, FormatSpeed(KilobytesPerSecond(c.received, c.elapsedMs)).GetString())
            << c.received << " bytes in " << c.elapsedMs << " ms";
}
