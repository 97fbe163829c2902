#include "platform/os/Rand.h"

#include <gtest/gtest.h>

TEST(Rand, SeedOneGivesTheKnownSequence)
{
    GameSrand(1);
    EXPECT_EQ(GameRand(), 41);
    EXPECT_EQ(GameRand(), 18467);
    EXPECT_EQ(GameRand(), 6334);
}

TEST(Rand, ReseedingRepeatsTheSequenceAndStaysInRange)
{
    GameSrand(123456789u);
    int first[64];
    for (int& v : first)
    {
        v = GameRand();
        EXPECT_GE(v, 0);
        EXPECT_LE(v, GAME_RAND_MAX);
    }
    GameSrand(123456789u);
    for (int v : first)
        EXPECT_EQ(GameRand(), v);
}
