// The game object connects the race-finish and career-reset events to the
// result screen and the career: the finish opens the screen, reads its
// choice, and the reset clears the career's results and the completion.
#include <gtest/gtest.h>

#include <cstring>

#include "app/Game.h"
#include "app/GameEvent.h"
#include "core/CareerData.h"
#include "core/GameClock.h"
#include "interface/GameHUD.h"
#include "racers/VehicleManager.h"

namespace
{

class ResultAccessTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_Clock.Init();
        g_GameEvent.Init();
        g_GameHUD.resultOpen = g_GameHUD.resultDismissed = g_GameHUD.resultChoice = 0;
        g_GameHUD.careerComplete = 0;
        g_Career = CareerData{};
        g_CareerMode = 1;
    }
    void TearDown() override
    {
        g_GameEvent.Init();
        g_GameHUD.resultOpen = g_GameHUD.resultDismissed = g_GameHUD.resultChoice = 0;
        g_GameHUD.careerComplete = 0;
        g_Career = CareerData{};
    }
};

TEST_F(ResultAccessTest, TheFinishOpensTheResultScreenAndReadsItsChoice)
{
    ASSERT_NE(g_GameEventAccess.showRaceResult, nullptr);
    g_GameEventAccess.showRaceResult(1);
    EXPECT_EQ(g_GameHUD.resultOpen, 1);
    EXPECT_EQ(g_GameEventAccess.resultOpen(), 1);

    g_GameHUD.resultOpen = 0;
    g_GameHUD.resultDismissed = 1;
    g_GameHUD.resultChoice = 1;
    EXPECT_EQ(g_GameEventAccess.resultDismissed(), 1);
    EXPECT_EQ(g_GameEventAccess.resultChoice(), 1);
    g_GameEventAccess.clearResultDismissed();
    EXPECT_EQ(g_GameHUD.resultDismissed, 0);

    g_Career.upgradePoints = 2;
    EXPECT_EQ(g_GameEventAccess.upgradePoints(), 2);
    g_CareerMode = 0;
    EXPECT_EQ(g_GameEventAccess.careerMode(), 0);
}

TEST_F(ResultAccessTest, TheCareerResetClearsTheResultsAndTheCompletion)
{
    g_Career.totalScore = 31000.0f;
    g_Career.place[17] = 3;
    g_Career.raceTime[4] = 81.5f;
    g_Career.unlocked[5] = 1;
    g_Career.upgradeLevel[0] = 7;
    g_GameHUD.careerComplete = 1;
    g_GameEventAccess.resetCareer();
    g_GameEventAccess.clearCareerComplete();
    EXPECT_EQ(g_Career.totalScore, 0.0f);
    EXPECT_EQ(g_Career.place[17], 0);
    EXPECT_EQ(g_Career.raceTime[4], 0.0f);
    // What was opened and bought stays.
    EXPECT_EQ(g_Career.unlocked[5], 1);
    EXPECT_EQ(g_Career.upgradeLevel[0], 7);
    EXPECT_EQ(g_GameHUD.careerComplete, 0);
}

}   // namespace
