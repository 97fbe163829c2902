// The result: scoring, the rows, the career step, the cup guard, the best
// time kept in career mode, and the screen's choice running the step with
// "RaceID" written back.
#include <cmath>
#include <string>

#include "core/Records.h"
#include "core/Settings.h"
#include "interface/HudFixture.h"
#include "platform/os/Ini.h"
#include "tests/support/Files.h"

namespace
{

RaceStats Stats(int position, int crashes, int falls, float offRoad, float air, int kicks)
{
    RaceStats s{};
    s.Position = position;
    s.Crashes = crashes;
    s.Falls = falls;
    s.OffRouteTime = offRoad;
    s.AirTime = air;
    s.Kicks = kicks;
    return s;
}

TEST(RaceScoringTest, PointsOfEveryStatistic)
{
    const int prizes[3] = {1000, 600, 300};
    const struct
    {
        const char* name;
        RaceStats stats;
        RaceResultPoints expected;
    } cases[] = {
        {"clean win", Stats(0, 0, 0, 0, 0, 0), {1000, 100, 100, 100, 0, 0, 1300}},
        {"clean win with air and kicks", Stats(0, 0, 0, 0, 3.9f, 2), {1000, 100, 100, 100, 150, 40, 1490}},
        {"third", Stats(2, 0, 0, 0, 0, 0), {300, 100, 100, 100, 0, 0, 600}},
        {"fourth gets no prize", Stats(3, 0, 0, 0, 0, 0), {0, 100, 100, 100, 0, 0, 300}},
        {"one to four crashes cost nothing", Stats(3, 4, 0, 0, 0, 0), {0, 0, 100, 100, 0, 0, 200}},
        {"12 crashes", Stats(3, 12, 0, 0, 0, 0), {0, -20, 100, 100, 0, 0, 180}},
        {"two falls", Stats(3, 0, 2, 0, 0, 0), {0, 100, -200, 100, 0, 0, 0}},
        {"3.7 s off road", Stats(3, 0, 0, 3.7f, 0, 0), {0, 100, 100, -30, 0, 0, 170}},
        {"a moment off road", Stats(3, 0, 0, 0.2f, 0, 0), {0, 100, 100, 0, 0, 0, 200}},
        {"a negative total becomes 0", Stats(7, 40, 3, 60, 0, 0), {0, -80, -300, -600, 0, 0, 0}},
        {"a time that is not finite counts 0", Stats(7, 0, 0, NAN, INFINITY, 0), {0, 100, 100, 0, 0, 0, 200}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        const RaceResultPoints p = ScoreRace(c.stats, prizes);
        EXPECT_EQ(p.place, c.expected.place);
        EXPECT_EQ(p.crash, c.expected.crash);
        EXPECT_EQ(p.fall, c.expected.fall);
        EXPECT_EQ(p.offRoad, c.expected.offRoad);
        EXPECT_EQ(p.air, c.expected.air);
        EXPECT_EQ(p.kick, c.expected.kick);
        EXPECT_EQ(p.total, c.expected.total);
    }
}

TEST(RaceScoringTest, RowsShowTheStatisticsAndTheirPoints)
{
    RaceStats s = Stats(1, 12, 2, 3.7f, 0, 1);
    s.RaceTime = 83.456f;
    s.TopSpeed = 201.9f;
    s.AverageSpeed = 120.2f;
    const int prizes[3] = {1000, 600, 300};
    FillResultRows(s, ScoreRace(s, prizes), 75.5f, "Holder Name");
    EXPECT_STREQ(g_ResultRows[0][1], "2");
    EXPECT_STREQ(g_ResultRows[0][2], "+600");
    EXPECT_STREQ(g_ResultRows[1][1], "01:23.45");
    EXPECT_STREQ(g_ResultRows[2][1], "01:15.50");
    EXPECT_STREQ(g_ResultRows[2][2], "- Holder Name");
    EXPECT_STREQ(g_ResultRows[3][1], "201");
    EXPECT_STREQ(g_ResultRows[5][1], "2");
    EXPECT_STREQ(g_ResultRows[5][2], "-20");
    EXPECT_STREQ(g_ResultRows[6][2], "-200");
    EXPECT_STREQ(g_ResultRows[7][1], "3 sec");
    EXPECT_STREQ(g_ResultRows[7][2], "-30");
    EXPECT_STREQ(g_ResultRows[9][2], "+20");
    EXPECT_STREQ(g_ResultRows[10][1], "370");
    EXPECT_STREQ(g_ResultRows[10][2], "");

    char t[16];
    FormatRaceTime(NAN, t, sizeof(t));
    EXPECT_STREQ(t, "00:00.00");
    FormatRaceTime(-5.0f, t, sizeof(t));
    EXPECT_STREQ(t, "00:00.00");
}

TEST(RaceScoringTest, OnlyTheFirstThreePlacesHaveACup)
{
    const int places[][2] = {{-5, -1}, {0, -1}, {1, 0}, {2, 1}, {3, 2}, {4, -1}, {99, -1}};
    for (const auto& p : places)
        EXPECT_EQ(CupIndexForPlace(p[0]), p[1]) << p[0];
}

class CareerStepTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        career = CareerData{};
        table = RaceTable{};
        for (int r = 0; r < RACE_ROWS; ++r)
        {
            table.area[r] = (r / 3) % 3;
            table.season[r] = r % 3;
        }
    }
    CareerData career;
    RaceTable table;
};

TEST_F(CareerStepTest, UpgradePointsPerThousandBeyondTheUpgradesBought)
{
    const struct
    {
        const char* name;
        float totalScore;
        int bought;
        int levels[3];
        int raceTotal;
        int added;
    } cases[] = {
        {"2600 + 900 with one bought", 2600, 1, {1, 0, 0}, 900, 2},
        {"all levels full", 2600, 1, {10, 10, 10}, 900, 0},
        {"one level left", 2600, 1, {10, 9, 10}, 900, 2},
        {"under a thousand beyond", 1500, 1, {0, 0, 0}, 400, 0},
        {"exactly a thousand beyond", 1600, 1, {0, 0, 0}, 400, 1},
        {"first race", 0, 0, {0, 0, 0}, 1300, 1},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        SetUp();
        career.totalScore = c.totalScore;
        career.upgradesBought = c.bought;
        career.upgradePoints = 3;
        for (int i = 0; i < 3; ++i)
            career.upgradeLevel[i] = c.levels[i];
        const CareerStepOutcome out = ApplyCareerStep(career, c.raceTotal, 5, 100.0f, table);
        EXPECT_EQ(out.addedPoints, c.added);
        EXPECT_EQ(career.upgradePoints, 3 + c.added);
        EXPECT_EQ(career.totalScore, c.totalScore + float(c.raceTotal));   // the score grows either way
    }
}

TEST_F(CareerStepTest, PlacesMoveTheCareerOnOrRepeatTheRace)
{
    const struct
    {
        const char* name;
        int raceIndex, place;
        int nextIndex, advanced, completed, raceId, placeRow;
    } cases[] = {
        {"win race 0", 0, 1, 1, 1, 0, 1, 0},
        {"third in race 5", 5, 3, 6, 1, 0, 6, 5},
        {"fourth repeats the race", 5, 4, 5, 0, 0, 0, 5},
        {"eighth repeats the race", 9, 8, 9, 0, 0, 0, 9},
        {"third in race 17 completes the career", 17, 3, 0, 1, 1, 0, 17},
        {"row 18 left by a quick race stays in the career", 18, 4, 17, 0, 0, 0, 17},
        {"a row past the table stays in the career", 19, 4, 17, 0, 0, 0, 17},
        {"a negative row stays in the career", -3, 1, 1, 1, 0, 1, 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        SetUp();
        career.raceIndex = c.raceIndex;
        career.savedRaceIndex = 7;
        const CareerStepOutcome out = ApplyCareerStep(career, 500, c.place, 95.5f, table);
        EXPECT_EQ(career.raceIndex, c.nextIndex);
        EXPECT_EQ(out.advanced, c.advanced);
        EXPECT_EQ(out.completed, c.completed);
        if (c.advanced)
        {
            EXPECT_EQ(out.raceId, c.raceId);
        }
        EXPECT_EQ(career.place[c.placeRow], c.place);
        EXPECT_EQ(career.raceTime[c.placeRow], 95.5f);
        EXPECT_EQ(career.savedRaceIndex, c.completed ? 0 : 7);
    }
}

TEST_F(CareerStepTest, AWinOpensTheQuickRaceOfTheNextRow)
{
    career.raceIndex = 4;
    ApplyCareerStep(career, 500, 2, 60.0f, table);
    const int opened = table.area[5] * 3 + table.season[5];
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(career.unlocked[i], i == opened ? 1 : 0) << i;

    // A row whose area or season is not in the table opens nothing.
    SetUp();
    table.area[6] = 7;
    career.raceIndex = 5;
    ApplyCareerStep(career, 500, 1, 60.0f, table);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(career.unlocked[i], 0) << i;
}

// The screen itself on the recording device.
using hudtest::Note;

class RaceResultScreenTest : public hudtest::HudFixture
{
protected:
    void SetUp() override
    {
        HudFixture::SetUp();
        std::memset(&g_Records, 0, sizeof(g_Records));
        for (int r = 0; r < RACE_ROWS; ++r)
        {
            g_RaceTable.prizes[r][0] = 1000;
            g_RaceTable.prizes[r][1] = 600;
            g_RaceTable.prizes[r][2] = 300;
        }
        g_CurrentRace = 2;
        std::snprintf(m_Winner.Name, sizeof(m_Winner.Name), "Fast Rival");
        m_Winner.RaceStats.RaceTime = 150.0f;
        std::snprintf(m_Player.Name, sizeof(m_Player.Name), "Player");
        m_Player.RaceStats.RaceTime = 151.0f;
        m_Player.RaceStats.Position = 1;
        g_RaceOrder[0] = &m_Winner;
        g_RaceOrder[1] = &m_Player;
        g_RaceOrderCount = 2;
        // The race-finish event runs while the screen is up.
        g_GameEventHooks.running = [] { return 1; };
    }

    // Frames of a second each until the choice is drawn and waits.
    static void RunToTheChoice()
    {
        for (int i = 0; i < 60; ++i)
            Frame(1.0f);
    }

    CVehicleObject m_Winner;
};

TEST_F(RaceResultScreenTest, ABestTimeOfZeroIsReplacedInCareerModeAndQuickRacesStoreNothing)
{
    const struct
    {
        const char* name;
        int careerMode;
        float storedBest;
        float keptBest;
        const char* shown;
        bool saved;
    } cases[] = {
        {"never set", 1, 0.0f, 150.0f, "- Fast Rival", true},
        {"slower record", 1, 170.0f, 150.0f, "- Fast Rival", true},
        {"faster record", 1, 120.0f, 120.0f, "- Old Holder", false},
        {"quick race", 0, 120.0f, 120.0f, "- Fast Rival", false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        std::remove("Save/Records.sav");
        g_CareerMode = c.careerMode;
        g_Records.best[2] = c.storedBest;
        std::snprintf(g_Records.holder[2], RECORD_NAME_SIZE, "Old Holder");
        g_GameHUD.ShowRaceResult(0);
        g_GameHUD.ShowRaceResult(1);
        EXPECT_EQ(g_GameHUD.resultOpen, 1);
        EXPECT_EQ(g_Records.best[2], c.keptBest);
        EXPECT_STREQ(g_ResultRows[2][2], c.shown);
        EXPECT_EQ(testsupport::ReadFileBytes("Save/Records.sav").size(), c.saved ? sizeof(RecordsTable) : 0u);
    }
}

TEST_F(RaceResultScreenTest, TheChoiceWaitsForTheRowsAndRestartPostsTheFinishAgain)
{
    g_CareerMode = 1;
    g_GameHUD.ShowRaceResult(1);
    g_KeyFlags[KEY_ENTER] = 1;
    Frame(0.05f);   // rows still coming in: Enter waits
    EXPECT_EQ(g_GameHUD.resultOpen, 1);
    EXPECT_EQ(g_KeyFlags[KEY_ENTER], 1);

    g_KeyFlags[KEY_ENTER] = 0;
    RunToTheChoice();
    g_KeyFlags[KEY_RIGHT] = 1;
    Frame(0.02f);
    EXPECT_EQ(g_GameHUD.resultChoice, 1);
    g_KeyFlags[KEY_ENTER] = 1;
    Frame(0.02f);
    EXPECT_EQ(g_GameHUD.resultOpen, 0);
    EXPECT_EQ(g_GameHUD.resultDismissed, 1);
    EXPECT_EQ(Note().events, std::vector<int>{GEVENT_RACE_FINISH});
    EXPECT_EQ(g_Career.totalScore, 0.0f);   // no career step on RESTART
}

TEST_F(RaceResultScreenTest, EscConfirmsContinueUnlessDebugOutIsOn)
{
    g_CareerMode = 0;
    g_DebugMode = 1;
    g_GameHUD.ShowRaceResult(1);
    RunToTheChoice();
    g_KeyFlags[KEY_ESC] = 1;
    Frame(0.02f);
    EXPECT_EQ(g_GameHUD.resultOpen, 1);
    g_DebugMode = 0;
    Frame(0.02f);
    EXPECT_EQ(g_GameHUD.resultOpen, 0);
    EXPECT_EQ(g_GameHUD.resultChoice, 0);
    EXPECT_EQ(Note().events, std::vector<int>{GEVENT_RACE_FINISH});
}

TEST_F(RaceResultScreenTest, ContinueAfterTheLastRaceCompletesTheCareerAndWritesRaceIdZero)
{
    g_CareerMode = 1;
    g_Career.raceIndex = 17;
    g_Career.totalScore = 20000;
    m_Player.RaceStats.Position = 2;   // third
    g_RaceID = 17;
    g_GameHUD.ShowRaceResult(1);
    RunToTheChoice();
    g_KeyFlags[KEY_ENTER] = 1;
    Frame(0.02f);

    EXPECT_EQ(g_GameHUD.resultOpen, 0);
    EXPECT_EQ(g_GameHUD.careerComplete, 1);
    EXPECT_EQ(g_Career.raceIndex, 0);
    EXPECT_EQ(g_Career.place[17], 3);
    EXPECT_EQ(g_RaceID, 0);
    EXPECT_NE(testsupport::ReadFileText("Game.ini").find("RaceID=0"), std::string::npos)
        << testsupport::ReadFileText("Game.ini");
    EXPECT_TRUE(Note().events.empty());   // the completion screen takes over
    // The career's score entered the score table.
    EXPECT_EQ(g_Career.totalScore, 20000.0f + float(g_RaceResult.total));
    EXPECT_EQ(g_Records.score[g_Records.playerEntry], g_Career.totalScore);

    // The completion screen posts the career reset only after 12 s.
    g_Clock.m_GameStep = 5.0f;
    g_KeyFlags[KEY_SPACE] = 1;
    Frame(0.02f);
    EXPECT_TRUE(Note().events.empty());
    g_Clock.m_GameStep = 8.0f;
    g_KeyFlags[KEY_SPACE] = 1;
    Frame(0.02f);
    EXPECT_EQ(Note().events, std::vector<int>{GEVENT_CAREER_RESET});
}

TEST_F(RaceResultScreenTest, ContinueAfterAWinMovesTheCareerOnAndPostsTheFinish)
{
    g_CareerMode = 1;
    g_Career.raceIndex = 2;
    m_Player.RaceStats.Position = 0;
    g_GameHUD.ShowRaceResult(1);
    RunToTheChoice();
    g_KeyFlags[KEY_ENTER] = 1;
    Frame(0.02f);
    EXPECT_EQ(g_Career.raceIndex, 3);
    EXPECT_EQ(g_RaceID, 3);
    EXPECT_EQ(g_GameHUD.careerComplete, 0);
    EXPECT_EQ(Note().events, std::vector<int>{GEVENT_RACE_FINISH});
}

}   // namespace
