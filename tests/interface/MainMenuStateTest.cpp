// The page machine: Esc walking back, the race start through the loading
// state, START! after TRACK or SEASON change, pages that do not exist, EXIT.
#include "interface/MenuRaceRules.h"
#include "tests/interface/MenuTestSupport.h"

using menutest::MenuCalls;
using menutest::MenuFixture;

namespace
{

class MainMenuStateTest : public MenuFixture
{
protected:
    void SetUp() override
    {
        MenuFixture::SetUp();
        g_MainMenu.active = 1;
    }
};

TEST_F(MainMenuStateTest, HeldEscWalksBackOnePagePerUpdate)
{
    // Controls and audio pass a held Esc on: options, then the main page,
    // which reads no Esc.
    for (int start : {MENU_CONTROLS, MENU_AUDIO})
    {
        g_MainMenu.SetState(start);
        g_KeyFlags[KEY_ESC] = 1;
        Frame();
        EXPECT_EQ(g_MainMenu.state, MENU_OPTIONS) << start;
        Frame();
        EXPECT_EQ(g_MainMenu.state, MENU_MAIN) << start;
        Frame();
        EXPECT_EQ(g_MainMenu.state, MENU_MAIN) << start;
    }
}

TEST_F(MainMenuStateTest, EscOnQuestionRecordsAndGraphicsGoesBackExactlyOnePage)
{
    struct Case
    {
        int page, back;
    } cases[] = {{MENU_NEW_CAREER, MENU_MAIN}, {MENU_RECORDS, MENU_MAIN}, {MENU_GRAPHICS, MENU_OPTIONS}};
    for (const Case& c : cases)
    {
        g_MainMenu.SetState(c.page);
        g_KeyFlags[KEY_ESC] = 1;
        Frame();
        EXPECT_EQ(g_MainMenu.state, c.back) << c.page;
        EXPECT_EQ(g_KeyFlags[KEY_ESC], 0) << c.page;
        Frame();
        EXPECT_EQ(g_MainMenu.state, c.back) << c.page;
    }
}

TEST_F(MainMenuStateTest, RaceStartsInTheFirstUpdateAfterTwoSeconds)
{
    g_Career.raceIndex = 5;
    g_QuickRaceOptions[0] = 1;
    g_QuickRaceOptions[2] = 2;   // three laps
    g_MainMenu.SetState(MENU_QUICK_RACE);
    g_MainMenu.RequestRaceStart(0);
    EXPECT_EQ(g_MainMenu.state, MENU_LOADING);
    EXPECT_EQ(g_CareerMode, 0);

    // Four half seconds reach exactly 2 s, which is not yet past it.
    for (int i = 0; i < 4; ++i)
    {
        Frame(0.5f);
        EXPECT_TRUE(MenuCalls().startedRows.empty()) << "update " << i;
        EXPECT_EQ(g_MainMenu.active, 1);
    }
    Frame(0.25f);
    ASSERT_EQ(MenuCalls().startedRows.size(), 1u);
    EXPECT_EQ(MenuCalls().startedRows[0], -1) << "the current row";
    ASSERT_EQ(MenuCalls().postedEvents.size(), 1u);
    EXPECT_EQ(MenuCalls().postedEvents[0], GEVENT_RACE_START);
    EXPECT_EQ(g_MainMenu.active, 0);
    EXPECT_EQ(g_MainMenu.state, MENU_NONE);
    EXPECT_EQ(GameRunning(), 1);
    EXPECT_EQ(g_Career.raceIndex, RACE_QUICK_ROW);
    EXPECT_EQ(g_Career.savedRaceIndex, 5);
    EXPECT_EQ(g_RaceTable.area[RACE_QUICK_ROW], 1);
    EXPECT_EQ(g_RaceTable.laps[RACE_QUICK_ROW], 3);

    Frame(1.0f);
    EXPECT_EQ(MenuCalls().startedRows.size(), 1u) << "once";
}

TEST_F(MainMenuStateTest, CareerRaceKeepsTheCareerRow)
{
    g_Career.raceIndex = 7;
    g_MainMenu.SetState(MENU_CAREER);
    g_MainMenu.RequestRaceStart(1);
    for (int i = 0; i < 5; ++i)
        Frame(0.5f);
    ASSERT_EQ(MenuCalls().startedRows.size(), 1u);
    EXPECT_EQ(g_CareerMode, 1);
    EXPECT_EQ(g_Career.raceIndex, 7);
}

// A click on TRACK or SEASON changes the combination: START! follows whether
// the new one is open, so a locked track or season cannot be raced.
TEST_F(MainMenuStateTest, StartFollowsTheCombinationAfterTrackOrSeasonChanges)
{
    struct Case
    {
        const char* name;
        int open;   // the one unlocked combination, area x 3 + season
        int row;    // the choice clicked
        bool before, after;
    };
    const Case cases[] = {
        {"TRACK onto a locked area", 0, CHOICE_TRACK, true, false},
        {"SEASON onto a locked season", 0, CHOICE_SEASON, true, false},
        {"TRACK onto the open area", 3, CHOICE_TRACK, false, true},
        {"SEASON onto the open season", 1, CHOICE_SEASON, false, true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        std::memset(g_Career.unlocked, 0, sizeof(g_Career.unlocked));
        g_Career.unlocked[c.open] = 1;
        g_QuickRaceOptions[CHOICE_TRACK] = g_QuickRaceOptions[CHOICE_SEASON] = 0;
        g_MainMenu.SetState(MENU_QUICK_RACE);
        ASSERT_EQ(g_MainMenu.quickStartButton.enabled, c.before ? 1 : 0);
        PointAt(g_MainMenu.raceOptions[c.row].label);
        g_MouseButtons[0] = 1;
        Frame(0.05f);
        Frame(0.2f);
        g_MouseX = g_MouseY = -1000;
        ASSERT_EQ(g_QuickRaceOptions[c.row], 1) << "the click went to its row";
        EXPECT_EQ(g_MainMenu.quickStartButton.enabled, c.after ? 1 : 0);
    }
}

TEST_F(MainMenuStateTest, ValuesThatNameNoPageChangeNothing)
{
    g_MainMenu.SetState(MENU_MAIN);
    CMenuButton* focus = g_MainMenu.focused;
    for (int bogus : {5, -1, 12, 99, 111})
    {
        g_MainMenu.SetState(bogus);
        EXPECT_EQ(g_MainMenu.state, MENU_MAIN) << bogus;
        EXPECT_EQ(g_MainMenu.focused, focus) << bogus;
    }
}

TEST_F(MainMenuStateTest, ExitEndsTheProgramAndMainPageButtonsOpenTheirPages)
{
    struct Case
    {
        int button, page;
    } cases[] = {{BUTTON_QUICK_RACE, MENU_QUICK_RACE},
                 {BUTTON_NEW_CAREER, MENU_NEW_CAREER},
                 {BUTTON_RECORDS, MENU_RECORDS},
                 {BUTTON_OPTIONS, MENU_OPTIONS},
                 {BUTTON_EXIT, MENU_EXIT}};
    for (const Case& c : cases)
    {
        g_MainMenu.SetState(MENU_MAIN);
        CMenuButton& b = g_MainMenu.buttons[c.button];
        PointAt(b);
        g_MouseButtons[0] = 1;
        Frame(0.05f);
        Frame(0.2f);
        EXPECT_EQ(g_MainMenu.state, c.page) << b.text;
        g_MouseX = g_MouseY = -1000;
    }
    EXPECT_EQ(QuitRequested(), 1);
}

TEST_F(MainMenuStateTest, ShowOpensAndClosesWithMusicCursorAndPendingVideoValues)
{
    g_VideoMode = 2;
    g_ViewDistance = 400;
    g_MainMenu.active = 0;
    g_MainMenu.Show(MENU_MAIN);
    EXPECT_EQ(g_MainMenu.active, 1);
    EXPECT_EQ(g_MainMenu.state, MENU_MAIN);
    EXPECT_EQ(g_MainMenu.pendingMode, 2);
    EXPECT_EQ(g_MainMenu.pendingDistance, 400);
    EXPECT_EQ(g_MainMenu.focused, &g_MainMenu.buttons[BUTTON_QUICK_RACE]);
    g_MainMenu.Show(MENU_NONE);
    EXPECT_EQ(g_MainMenu.active, 0);
    EXPECT_EQ(g_MainMenu.state, MENU_NONE);
    EXPECT_EQ(g_MainMenu.focusCount, 0);
}

}   // namespace
