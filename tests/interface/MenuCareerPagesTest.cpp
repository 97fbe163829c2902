// The race-choice, career, motorcycle and upgrade pages' rules: row 18 from
// the choices, the career rows read back into the choices, START! only on an
// open combination, the model wrap, buying upgrades and a new career.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "core/CareerData.h"
#include "core/RaceState.h"
#include "core/RaceTable.h"
#include "core/Records.h"
#include "interface/MainMenu.h"
#include "interface/MenuRaceRules.h"
#include "platform/os/Clock.h"
#include "platform/os/Rand.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"
#include "scene/StaticObjectFixture.h"
#include "tests/support/TempFolder.h"

namespace
{

class MenuCareerPagesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_Folder.MakeAndEnter("trallowmere-career-"));
        std::memset(&g_Career, 0, sizeof(g_Career));
        std::memset(&g_RaceTable, 0, sizeof(g_RaceTable));
        std::memset(g_QuickRaceOptions, 0, sizeof(g_QuickRaceOptions));
        FillCareerRows();
        g_CurrentProfile = -1;   // no profile file is written
        g_MainMenu.state = MENU_NONE;
    }
    void TearDown() override
    {
        // The choices as the program starts, for the tests that follow.
        std::memset(g_QuickRaceOptions, 0, sizeof(g_QuickRaceOptions));
        for (int i = 0; i < VEHICLE_MODELS; ++i)
            if (g_Vehicles.showroom[i] == m_Models[i].get())
                g_Vehicles.showroom[i] = nullptr;
    }

    // Four stand-in showroom models with their own base levels.
    void PutModels()
    {
        for (int i = 0; i < VEHICLE_MODELS; ++i)
        {
            m_Models[i].reset(new CVehicleObject());
            for (int s = 0; s < 3; ++s)
                m_Models[i]->UpgradeLevels[s] = i + s;
            m_Models[i]->DecalId = 3 + i;
            g_Vehicles.showroom[i] = m_Models[i].get();
        }
    }

    TempFolder m_Folder;
    testdata::MessageCapture m_Messages;
    std::unique_ptr<CVehicleObject> m_Models[VEHICLE_MODELS];
};

TEST_F(MenuCareerPagesTest, RowEighteenFromTheChoices)
{
    struct Case
    {
        int choices[6];
        int laps, prizes[3], difficulty, racers;
    };
    const Case cases[] = {
        {{0, 0, 0, 0, 0, 0}, 1, {1000, 550, 300}, 1, 8},
        {{2, 1, 2, 1, 2, 2}, 3, {1400, 850, 500}, 5, 12},
        {{1, 2, 1, 0, 1, 1}, 2, {1200, 700, 400}, 3, 10},
        {{0, 0, 3, 0, 0, 3}, 4, {1600, 1000, 600}, 1, 14},   // the career's 4 laps and 14 racers
        {{0, 0, 0, 0, 0, 7}, 1, {1000, 550, 300}, 1, 16},    // never more racers than the grid holds
    };
    for (const Case& c : cases)
    {
        std::memcpy(g_QuickRaceOptions, c.choices, sizeof(c.choices));
        g_MainMenu.CopyRaceOptionsToRow();
        const int r = RACE_QUICK_ROW;
        EXPECT_EQ(g_RaceTable.area[r], c.choices[0]);
        EXPECT_EQ(g_RaceTable.season[r], c.choices[1]);
        EXPECT_EQ(g_RaceTable.laps[r], c.laps);
        EXPECT_EQ(g_RaceTable.reverse[r], c.choices[3]);
        for (int p = 0; p < 3; ++p)
            EXPECT_EQ(g_RaceTable.prizes[r][p], c.prizes[p]) << c.laps;
        EXPECT_EQ(g_RaceTable.difficulty[r], c.difficulty);
        EXPECT_EQ(g_RaceTable.racers[r], c.racers);
    }
    // The career rows stay as they were.
    EXPECT_EQ(g_RaceTable.laps[17], 4);
}

TEST_F(MenuCareerPagesTest, TheCareerPageShowsItsRowReadBackExactly)
{
    struct Case
    {
        int row;
        const char* track;
        const char* season;
        const char* laps;
        const char* reverse;
        const char* difficulty;
        const char* racers;
    };
    const Case cases[] = {
        {0, " 'Lakes valley'", " Summer Cup", " 1", " Off", " Easy", " 8"},
        {4, " 'Rocky bluff'", " Autumn Cup", " 2", " On", " Easy", " 10"},
        {9, " 'Lakes valley'", " Summer Cup", " 2", " On", " Medium", " 10"},
        {15, " 'Lakes valley'", " Winter Cup", " 4", " On", " Hard", " 14"},
    };
    for (const Case& c : cases)
    {
        g_Career.raceIndex = c.row;
        g_MainMenu.EnterCareerPage();
        EXPECT_EQ(g_Career.raceIndex, c.row);
        CMenuOption* o = g_MainMenu.raceOptions;
        EXPECT_STREQ(o[CHOICE_TRACK].value, c.track) << c.row;
        EXPECT_STREQ(o[CHOICE_SEASON].value, c.season) << c.row;
        EXPECT_STREQ(o[CHOICE_LAPS].value, c.laps) << c.row;
        EXPECT_STREQ(o[CHOICE_REVERSE].value, c.reverse) << c.row;
        EXPECT_STREQ(o[CHOICE_DIFFICULTY].value, c.difficulty) << c.row;
        EXPECT_STREQ(o[CHOICE_RACERS].value, c.racers) << c.row;
        // A career race started from here races that row: row 18 copies it.
        g_MainMenu.CopyRaceOptionsToRow();
        EXPECT_EQ(g_RaceTable.laps[RACE_QUICK_ROW], g_RaceTable.laps[c.row]);
        EXPECT_EQ(g_RaceTable.racers[RACE_QUICK_ROW], g_RaceTable.racers[c.row]);
        EXPECT_EQ(g_RaceTable.reverse[RACE_QUICK_ROW], g_RaceTable.reverse[c.row]);
    }
}

TEST_F(MenuCareerPagesTest, TheCareerRowStaysInRangeAfterAQuickRace)
{
    struct Case
    {
        int raceIndex, saved, expected;
    };
    const Case cases[] = {{18, 5, 5}, {18, 18, 0}, {19, 3, 3}, {-1, -7, 0}, {17, 2, 17}};
    for (const Case& c : cases)
    {
        g_Career.raceIndex = c.raceIndex;
        g_Career.savedRaceIndex = c.saved;
        g_MainMenu.EnterCareerPage();
        EXPECT_EQ(g_Career.raceIndex, c.expected) << c.raceIndex << " " << c.saved;
    }
}

TEST_F(MenuCareerPagesTest, StartOnlyWhenTheCombinationIsOpen)
{
    g_Career.unlocked[0] = 1;   // a new profile: the first area in summer
    g_Career.unlocked[5] = 1;   // area 1 in winter
    for (int track = 0; track < 3; ++track)
        for (int season = 0; season < 3; ++season)
        {
            g_QuickRaceOptions[CHOICE_TRACK] = track;
            g_QuickRaceOptions[CHOICE_SEASON] = season;
            g_MainMenu.quickStartButton.enabled = 1;
            g_MainMenu.EnterQuickRacePage();
            EXPECT_EQ(g_MainMenu.quickStartButton.enabled, track * 3 + season == 0 || track * 3 + season == 5)
                << track << " " << season;
        }
    // Out-of-range choices are never open.
    g_QuickRaceOptions[CHOICE_TRACK] = 3;
    g_MainMenu.EnterQuickRacePage();
    EXPECT_EQ(g_MainMenu.quickStartButton.enabled, 0);
}

TEST_F(MenuCareerPagesTest, ChoicesCycleWithinTheirRange)
{
    // The career page may leave 4 laps (choice 3) and 14 racers (choice 3):
    // the next press comes back into 0..2 instead of growing.
    struct Case
    {
        int choice, value, next;
    };
    const Case cases[] = {{CHOICE_LAPS, 0, 1},    {CHOICE_LAPS, 2, 0},    {CHOICE_LAPS, 3, 1},
                          {CHOICE_RACERS, 3, 1},  {CHOICE_RACERS, 2, 0},  {CHOICE_TRACK, 2, 0},
                          {CHOICE_REVERSE, 0, 1}, {CHOICE_REVERSE, 1, 0}, {CHOICE_SEASON, -4, 1}};
    for (const Case& c : cases)
        EXPECT_EQ(NextRaceChoice(c.choice, c.value), c.next) << c.choice << " " << c.value;
}

TEST_F(MenuCareerPagesTest, TheModelChoiceWrapsAndTakesTheModelsBaseLevels)
{
    PutModels();
    struct Case
    {
        int from, step, to;
    };
    const Case cases[] = {{0, -1, 3}, {3, 1, 0}, {1, 1, 2}, {2, -1, 1}};
    for (const Case& c : cases)
    {
        g_Career.motorcycle = c.from;
        g_MainMenu.SelectMotorcycle(c.step);
        EXPECT_EQ(g_Career.motorcycle, c.to);
        for (int s = 0; s < 3; ++s)
            EXPECT_EQ(g_Career.upgradeLevel[s], c.to + s);
    }
}

TEST_F(MenuCareerPagesTest, BuyingUpgrades)
{
    struct Case
    {
        const char* what;
        int levels[3];
        int points;
        int selected;
        int levelsAfter[3];
        int pointsAfter;
        int bought;
        int stateAfter;
    };
    const Case cases[] = {
        {"one of several points", {2, 3, 4}, 3, 1, {2, 4, 4}, 2, 1, MENU_UPGRADE},
        {"the last point to 10", {10, 10, 9}, 1, 2, {10, 10, 10}, 0, 1, MENU_CAREER},
        {"the last level drops the point left", {10, 10, 9}, 2, 2, {10, 10, 10}, 0, 1, MENU_CAREER},
        {"nothing left to raise", {10, 10, 10}, 3, 0, {10, 10, 10}, 0, 0, MENU_CAREER},
        {"a selected system at the top", {10, 5, 5}, 2, 0, {10, 5, 5}, 2, 0, MENU_UPGRADE},
        {"a selection out of range", {1, 1, 1}, 2, 7, {1, 1, 1}, 2, 0, MENU_UPGRADE},
    };
    for (const Case& c : cases)
    {
        std::memcpy(g_Career.upgradeLevel, c.levels, sizeof(c.levels));
        g_Career.upgradePoints = c.points;
        g_Career.upgradesBought = 5;
        g_MainMenu.selectedSystem = c.selected;
        g_MainMenu.BuyUpgrade();
        for (int s = 0; s < 3; ++s)
            EXPECT_EQ(g_Career.upgradeLevel[s], c.levelsAfter[s]) << c.what << " system " << s;
        EXPECT_EQ(g_Career.upgradePoints, c.pointsAfter) << c.what;
        EXPECT_EQ(g_Career.upgradesBought, 5 + c.bought) << c.what;
        EXPECT_EQ(g_MainMenu.state, c.stateAfter) << c.what;
    }
}

TEST_F(MenuCareerPagesTest, TheUpgradePageSelectsTheFirstSystemBelowTheTop)
{
    struct Case
    {
        int levels[3];
        int selectedBefore, selected;
        int enabled[3];
    };
    const Case cases[] = {
        {{0, 0, 0}, 2, 0, {1, 1, 1}},
        {{10, 9, 0}, 0, 1, {0, 1, 1}},
        {{10, 10, 3}, 0, 2, {0, 0, 1}},
        {{10, 10, 10}, 1, 1, {0, 0, 0}},   // OK takes the focus, the selection stays
    };
    for (const Case& c : cases)
    {
        std::memcpy(g_Career.upgradeLevel, c.levels, sizeof(c.levels));
        g_MainMenu.selectedSystem = c.selectedBefore;
        g_MainMenu.EnterUpgradePage();
        EXPECT_EQ(g_MainMenu.selectedSystem, c.selected);
        for (int s = 0; s < 3; ++s)
            EXPECT_EQ(g_MainMenu.systemButtons[s].enabled, c.enabled[s]) << s;
    }
}

TEST_F(MenuCareerPagesTest, ANewCareerKeepsUnlocksAndPaintAndResetsTheRest)
{
    PutModels();
    g_Career.totalScore = 12345.0f;
    g_Career.raceIndex = 18;
    g_Career.savedRaceIndex = 9;
    g_Career.place[3] = 2;
    g_Career.raceTime[3] = 101.0f;
    g_Career.unlocked[0] = g_Career.unlocked[4] = g_Career.unlocked[8] = 1;
    g_Career.upgradesBought = 7;
    g_Career.upgradePoints = 2;
    g_Career.upgradeLevel[0] = 9;
    g_Career.motorcycle = 2;
    g_Career.decalId = 6;
    g_Career.colour1[0] = 0.25f;
    g_Career.colour2[2] = 0.75f;
    std::snprintf(g_PlayerName, sizeof(g_PlayerName), "Rookie");
    g_Records.playerEntry = 3;
    const RecordsTable records = g_Records;

    g_MainMenu.StartNewCareer();

    EXPECT_EQ(g_Career.totalScore, 0.0f);
    EXPECT_EQ(g_Career.raceIndex, 0);
    EXPECT_EQ(g_Career.savedRaceIndex, 0);
    EXPECT_EQ(g_Career.place[3], 0);
    EXPECT_EQ(g_Career.raceTime[3], 0.0f);
    EXPECT_EQ(g_Career.upgradesBought, 0);
    EXPECT_EQ(g_Career.upgradePoints, 0);
    for (int s = 0; s < 3; ++s)
        EXPECT_EQ(g_Career.upgradeLevel[s], 2 + s);   // model 2's base levels
    EXPECT_EQ(g_Career.unlocked[0] + g_Career.unlocked[4] + g_Career.unlocked[8], 3);
    EXPECT_EQ(g_Career.motorcycle, 2);
    EXPECT_EQ(g_Career.decalId, 6);
    EXPECT_EQ(g_Career.colour1[0], 0.25f);
    EXPECT_EQ(g_Career.colour2[2], 0.75f);
    EXPECT_GE(g_Career.voicePitch, 0.9f);
    EXPECT_LE(g_Career.voicePitch, 1.525f + 1e-6f);
    EXPECT_TRUE(g_Career.voiceIndex == 0 || g_Career.voiceIndex == 1);
    // The new career holds no score entry until it scores; the earlier
    // career's entry stays as it was.
    EXPECT_EQ(g_Records.playerEntry, -1);
    EXPECT_EQ(std::memcmp(g_Records.score, records.score, sizeof records.score), 0);
    EXPECT_EQ(std::memcmp(g_Records.name, records.name, sizeof records.name), 0);
    EXPECT_EQ(g_MainMenu.state, MENU_MAIN);
    std::snprintf(g_PlayerName, sizeof(g_PlayerName), "Player");
}

}   // namespace

namespace
{

// A career whose scheme was never chosen (a new profile's decal -1) shows the
// model in a random scheme drawn from the game's generator on each entry of
// the career page, and keeps its -1; one with decal 0 takes the model's own
// paint. A new career's OK leaves the career's paint as it was.
TEST_F(MenuCareerPagesTest, ACareerWithoutASchemeShowsANewRandomOneOnEveryVisit)
{
    PutModels();
    g_Career.motorcycle = 1;
    CVehicleObject* model = m_Models[1].get();
    const float blue[4] = {0.1f, 0.2f, 0.9f, 1.0f}, none[4] = {0, 0, 0, 0};
    const float marker[4] = {0.5f, 0.25f, 0.125f, 1.0f};
    const auto paintModel = [&] {
        model->DecalId = 4;
        std::memcpy(model->PaintColor1, blue, sizeof(blue));
        std::memcpy(model->PaintColor2, none, sizeof(none));
    };

    // The career page, entered with the generator in three states.
    const unsigned seeds[3] = {21, 21, 22};
    int decals[3];
    float firsts[3][4];
    for (int visit = 0; visit < 3; ++visit)
    {
        paintModel();
        g_Career.decalId = -1;
        std::memcpy(g_Career.colour1, marker, sizeof(marker));
        GameSrand(seeds[visit]);
        g_MainMenu.SetState(MENU_CAREER);
        g_MainMenu.SetState(MENU_MAIN);
        EXPECT_EQ(g_Career.decalId, -1) << visit;
        EXPECT_EQ(std::memcmp(g_Career.colour1, marker, sizeof(marker)), 0) << visit;
        EXPECT_GE(model->DecalId, 1) << visit;
        EXPECT_LE(model->DecalId, 10) << visit;
        EXPECT_NE(model->PaintColor1[3] == 0.0f, model->PaintColor2[3] == 0.0f) << "one colour black " << visit;
        EXPECT_FALSE(model->PaintColor1[2] == 0.9f && model->PaintColor1[0] == 0.1f) << "not the model's " << visit;
        decals[visit] = model->DecalId;
        std::memcpy(firsts[visit], model->PaintColor1, sizeof(firsts[visit]));
    }
    EXPECT_EQ(decals[0], decals[1]);
    EXPECT_EQ(std::memcmp(firsts[0], firsts[1], sizeof(firsts[0])), 0) << "the same draws, the same scheme";
    EXPECT_NE(std::memcmp(firsts[0], firsts[2], sizeof(firsts[0])), 0) << "other draws, another scheme";

    // Decal 0: the model's own paint becomes the career's.
    paintModel();
    g_Career.decalId = 0;
    g_MainMenu.SetState(MENU_CAREER);
    g_MainMenu.SetState(MENU_MAIN);
    EXPECT_EQ(g_Career.decalId, 4);
    EXPECT_EQ(g_Career.colour1[2], 0.9f);
    EXPECT_EQ(g_Career.colour2[3], 0.0f);

    // A new career's OK changes neither -1 nor 0 nor the colours.
    for (int decal : {-1, 0})
    {
        paintModel();
        g_Career.decalId = decal;
        std::memcpy(g_Career.colour1, marker, sizeof(marker));
        std::memcpy(g_Career.colour2, marker, sizeof(marker));
        g_MainMenu.StartNewCareer();
        EXPECT_EQ(g_Career.decalId, decal);
        EXPECT_EQ(std::memcmp(g_Career.colour1, marker, sizeof(marker)), 0) << decal;
        EXPECT_EQ(std::memcmp(g_Career.colour2, marker, sizeof(marker)), 0) << decal;
    }
}

// The race start from the menu reseeds the game's generator from the clock.
TEST_F(MenuCareerPagesTest, TheRaceStartReseedsTheGamesGenerator)
{
    const MenuHooks saved = g_MenuHooks;
    g_MenuHooks.startRace = nullptr;   // no area is loaded here
    ClockSetManual(123456);
    GameSrand(123456);
    const int expected[3] = {GameRand(), GameRand(), GameRand()};
    GameSrand(7);
    g_CareerMode = 0;
    g_MainMenu.state = MENU_LOADING;
    g_MainMenu.secondsSinceShow = 2.5f;
    g_MainMenu.UpdateLoading();
    ClockUseSystem();
    g_MenuHooks = saved;
    for (int e : expected)
        EXPECT_EQ(GameRand(), e);
    g_CareerMode = 1;
}

TEST_F(MenuCareerPagesTest, TwoQuickRacesInARowKeepTheCareersRow)
{
    const MenuHooks saved = g_MenuHooks;
    g_MenuHooks.startRace = nullptr;   // no area is loaded here
    g_Career.raceIndex = 7;
    for (int race = 0; race < 2; ++race)
    {
        g_CareerMode = 0;
        g_MainMenu.state = MENU_LOADING;
        g_MainMenu.secondsSinceShow = 2.5f;
        g_MainMenu.UpdateLoading();
        EXPECT_EQ(g_Career.raceIndex, RACE_QUICK_ROW);
        EXPECT_EQ(g_Career.savedRaceIndex, 7) << race;
    }
    g_MenuHooks = saved;
    g_MainMenu.EnterCareerPage();
    EXPECT_EQ(g_Career.raceIndex, 7);
    g_CareerMode = 1;
}

}   // namespace
