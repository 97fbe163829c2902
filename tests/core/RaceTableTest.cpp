#include "core/RaceTable.h"

#include <cstdlib>

#include <gtest/gtest.h>

namespace
{

struct RowCase
{
    int row;
    int area, season, laps, reverse;
    int prize1, prize2, prize3;
    int difficulty, racers;
};

class RaceTableTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ClearRaceBlock();
        FillCareerRows();
    }
    void TearDown() override { ClearRaceBlock(); }
};

TEST_F(RaceTableTest, CareerRowsFollowTheFormulas)
{
    const RowCase cases[] = {
        {0, 0, 0, 1, 0, 1000, 550, 300, 0, 8},    {4, 1, 1, 2, 1, 1200, 700, 400, 1, 10},
        {9, 0, 0, 2, 1, 1200, 700, 400, 3, 10},   {15, 0, 2, 4, 1, 1600, 1000, 600, 5, 14},
        {16, 1, 2, 4, 1, 1600, 1000, 600, 5, 14}, {17, 2, 2, 4, 1, 1600, 1000, 600, 5, 14},
    };
    for (const RowCase& c : cases)
    {
        SCOPED_TRACE(c.row);
        EXPECT_EQ(g_RaceTable.area[c.row], c.area);
        EXPECT_EQ(g_RaceTable.season[c.row], c.season);
        EXPECT_EQ(g_RaceTable.laps[c.row], c.laps);
        EXPECT_EQ(g_RaceTable.reverse[c.row], c.reverse);
        EXPECT_EQ(g_RaceTable.prizes[c.row][0], c.prize1);
        EXPECT_EQ(g_RaceTable.prizes[c.row][1], c.prize2);
        EXPECT_EQ(g_RaceTable.prizes[c.row][2], c.prize3);
        EXPECT_EQ(g_RaceTable.difficulty[c.row], c.difficulty);
        EXPECT_EQ(g_RaceTable.racers[c.row], c.racers);
    }
}

TEST_F(RaceTableTest, DirectionAlternatesByGroupAndQuickRowStaysEmpty)
{
    const int expected[6] = {0, 1, 0, 1, 0, 1};
    for (int row = 0; row < 18; row++)
        EXPECT_EQ(g_RaceTable.reverse[row], expected[row / 3]) << "row " << row;
    EXPECT_EQ(g_RaceTable.laps[RACE_QUICK_ROW], 0);
    EXPECT_EQ(g_RaceTable.racers[RACE_QUICK_ROW], 0);
}

TEST_F(RaceTableTest, QuickRaceChoices)
{
    SetQuickRaceRow(2, 1, 2, 1, 2, 2);
    EXPECT_EQ(g_RaceTable.area[RACE_QUICK_ROW], 2);
    EXPECT_EQ(g_RaceTable.season[RACE_QUICK_ROW], 1);
    EXPECT_EQ(g_RaceTable.laps[RACE_QUICK_ROW], 3);
    EXPECT_EQ(g_RaceTable.reverse[RACE_QUICK_ROW], 1);
    EXPECT_EQ(g_RaceTable.difficulty[RACE_QUICK_ROW], 5);
    EXPECT_EQ(g_RaceTable.racers[RACE_QUICK_ROW], 12);
    EXPECT_EQ(g_RaceTable.prizes[RACE_QUICK_ROW][0], 1400);
    EXPECT_EQ(g_RaceTable.prizes[RACE_QUICK_ROW][1], 850);
    EXPECT_EQ(g_RaceTable.prizes[RACE_QUICK_ROW][2], 500);

    SetQuickRaceRow(0, 0, 0, 0, 0, 0);
    EXPECT_EQ(g_RaceTable.laps[RACE_QUICK_ROW], 1);
    EXPECT_EQ(g_RaceTable.difficulty[RACE_QUICK_ROW], 1);
    EXPECT_EQ(g_RaceTable.racers[RACE_QUICK_ROW], 8);
    // The career rows are untouched by the quick choices.
    EXPECT_EQ(g_RaceTable.laps[17], 4);
}

TEST_F(RaceTableTest, ClearingFreesThePathAndZeroesTheBlock)
{
    g_RacePath = static_cast<float(*)[3]>(std::malloc(sizeof(float[3]) * 4));
    g_RacePathTypes = static_cast<int*>(std::malloc(sizeof(int) * 4));
    g_RacePathCount = 4;
    g_RacePathLength = 40;
    g_RaceRunning = 1;
    g_RaceTime = 12;
    ClearRaceBlock();
    EXPECT_EQ(g_RacePath, nullptr);
    EXPECT_EQ(g_RacePathTypes, nullptr);
    EXPECT_EQ(g_RacePathCount, 0);
    EXPECT_EQ(g_RacePathLength, 0);
    EXPECT_EQ(g_RaceRunning, 0);
    EXPECT_EQ(g_RaceTime, 0);
    EXPECT_EQ(g_RaceTable.laps[0], 0);
}

}   // namespace
