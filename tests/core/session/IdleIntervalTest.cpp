#include "core/session/IdleInterval.h"

#include <gtest/gtest.h>

#include <limits>

namespace vorkel {
namespace {

Options idle(std::int32_t minProg, std::int32_t minutes) {
    Options o;
    o.MinProg = minProg;
    o.MinProgMins = minutes;
    return o;
}

TEST(IdleInterval, MinutesBecomeMilliseconds) {
    EXPECT_EQ(idleIntervalMs(idle(1, 5)), 300000);
    EXPECT_EQ(idleIntervalMs(idle(1, 1)), 60000);
}

TEST(IdleInterval, OnlyOneCountsAsOn) {
    EXPECT_EQ(idleIntervalMs(idle(0, 5)), std::nullopt);
    EXPECT_EQ(idleIntervalMs(idle(2, 5)), std::nullopt);
    EXPECT_EQ(idleIntervalMs(idle(-1, 5)), std::nullopt);
}

TEST(IdleInterval, ZeroOrNegativeMinutesNeverFire) {
    EXPECT_EQ(idleIntervalMs(idle(1, 0)), std::nullopt);
    EXPECT_EQ(idleIntervalMs(idle(1, -3)), std::nullopt);
}

TEST(IdleInterval, HugeCountsAreHeldAtTheLongestWait) {
    // 35791 minutes still fit in an int of milliseconds; one more does not.
    EXPECT_EQ(idleIntervalMs(idle(1, 35791)), 35791 * 60000);
    EXPECT_EQ(idleIntervalMs(idle(1, 35792)), std::numeric_limits<int>::max());
    EXPECT_EQ(idleIntervalMs(idle(1, std::numeric_limits<std::int32_t>::max())),
              std::numeric_limits<int>::max());
}

}  // namespace
}  // namespace vorkel
