#include "app/display_mode.h"
#include "game/game_state.h"
#include "platform/rand.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

TEST(Random, StaysInRangeAndHandlesZeroAndOne) {
    platformSrand(7);
    for (int i = 0; i < 1000; ++i) {
        EXPECT_EQ(random(1), 0);
        EXPECT_EQ(random(0), 0);
        const int r = random(314159265);
        EXPECT_GE(r, 0);
        EXPECT_LT(r, 314159265);
    }
}

TEST(Random, FollowsTheFifteenBitGenerator) {
    platformSrand(1);
    EXPECT_EQ(platformRand(), 41);
    EXPECT_EQ(platformRand(), 18467);
    EXPECT_EQ(platformRand(), 6334);
}
