// Messages and hints: once per profile, never within 20 s of another
// message, the penalty not restarted, the wrapping of texts, and a hint
// holding the race and giving it back.
#include <climits>
#include <string>

#include "interface/HudFixture.h"

namespace
{

using hudtest::HudFixture;
using hudtest::Note;

class HudMessageTest : public HudFixture
{};

TEST_F(HudMessageTest, HintsShowOncePerProfileAndNeverWithinTwentySecondsOfAnother)
{
    struct Case
    {
        const char* name;
        int firstId;          // opened (and closed) first, 0 for none
        float secondsAfter;   // game seconds until the hint is asked for
        int shownBefore;      // hintCount of the hint from the profile
        int expected;
    } cases[] = {
        {"fresh profile", 0, 0.0f, 0, 1},
        {"hint seen in this profile", 0, 0.0f, 1, 0},
        {"19.9 s after the penalty", HUDMSG_PENALTY, 19.9f, 0, 0},
        {"20.1 s after the penalty", HUDMSG_PENALTY, 20.1f, 0, 1},
        {"5 s after another hint", HUDMSG_HIGH_JUMP, 5.0f, 0, 0},
        {"25 s after another hint", HUDMSG_HIGH_JUMP, 25.0f, 0, 1},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        g_GameHUD.Create();
        g_Clock.Init();
        RunGame();
        if (c.firstId)
        {
            ASSERT_EQ(g_GameHUD.ShowMessage(c.firstId, 5.0f, nullptr, 0.0f), 1);
            ASSERT_EQ(g_GameHUD.ShowMessage(HUDMSG_NONE, 0.0f, nullptr, 0.0f), 1);
        }
        PassGameSeconds(c.secondsAfter);
        g_GameHUD.hintCount[HUDMSG_JUMP_HINT] = c.shownBefore;
        EXPECT_EQ(g_GameHUD.ShowMessage(HUDMSG_JUMP_HINT, 8.0f, nullptr, 0.0f), c.expected);
        EXPECT_EQ(g_GameHUD.messageId == HUDMSG_JUMP_HINT, c.expected == 1);
        EXPECT_EQ(g_GameHUD.hintCount[HUDMSG_JUMP_HINT], c.shownBefore + c.expected);
        g_GameHUD.ShowMessage(HUDMSG_NONE, 0.0f, nullptr, 0.0f);
    }
}

TEST_F(HudMessageTest, ThePenaltyShownAgainKeepsItsTimerAndCountsEveryShowing)
{
    m_Player.OffRouteTimer = 1.0f;
    ASSERT_EQ(g_GameHUD.ShowMessage(HUDMSG_PENALTY, 5.0f, nullptr, 0.0f), 1);
    Frame(2.0f);
    ASSERT_EQ(g_GameHUD.messageElapsed, 2.0f);
    EXPECT_EQ(g_GameHUD.ShowMessage(HUDMSG_PENALTY, 5.0f, nullptr, 0.0f), 0);
    EXPECT_EQ(g_GameHUD.messageElapsed, 2.0f);
    EXPECT_EQ(g_GameHUD.hintCount[HUDMSG_PENALTY], 1);
    // The penalty does not hold the race.
    EXPECT_EQ(GameRunning(), 1);
    EXPECT_FALSE(g_Clock.IsPaused());

    // Back on the road it closes.
    m_Player.OffRouteTimer = 0.1f;
    Frame(0.01f);
    EXPECT_EQ(g_GameHUD.messageId, 0);
    EXPECT_EQ(g_GameHUD.lineCount, 0);
}

// The counters come from the profile file, which may hold any count: one at
// the largest int stays there when its message shows again.
TEST_F(HudMessageTest, ACounterAtTheLargestIntStaysThere)
{
    m_Player.OffRouteTimer = 1.0f;
    g_GameHUD.hintCount[HUDMSG_PENALTY] = INT_MAX;
    EXPECT_EQ(g_GameHUD.ShowMessage(HUDMSG_PENALTY, 5.0f, nullptr, 0.0f), 1);
    EXPECT_EQ(g_GameHUD.messageId, HUDMSG_PENALTY);
    EXPECT_EQ(g_GameHUD.hintCount[HUDMSG_PENALTY], INT_MAX);
}

TEST_F(HudMessageTest, TheMotorcyclesMessagesReachTheDisplayOnceItIsCreated)
{
    m_Player.OffRouteTimer = 1.0f;
    EXPECT_EQ(RaceMessageShowing(), 0);
    EXPECT_EQ(ShowRaceMessage(RACE_MESSAGE_PENALTY, 5.0f, 0.4f), 1);
    EXPECT_EQ(g_GameHUD.messageId, HUDMSG_PENALTY);
    EXPECT_EQ(RaceMessageShowing(), 1);
    EXPECT_EQ(ShowRaceMessage(RACE_MESSAGE_PENALTY, 5.0f, 0.4f), 0);   // already shown
    g_GameHUD.ShowMessage(HUDMSG_NONE, 0.0f, nullptr, 0.0f);
    EXPECT_EQ(RaceMessageShowing(), 0);
}

TEST_F(HudMessageTest, IdsWithoutATextAreRefused)
{
    for (int id : {-1, 5, 15, 16, 1000})
    {
        SCOPED_TRACE(id);
        EXPECT_EQ(g_GameHUD.ShowMessage(id, 5.0f, nullptr, 0.4f), 0);
        EXPECT_EQ(g_GameHUD.messageId, 0);
    }
}

TEST_F(HudMessageTest, AHintHoldsTheRaceWithAnOrbitAndItsEndGivesTheRaceBack)
{
    ASSERT_EQ(g_GameHUD.ShowMessage(HUDMSG_KICKED, 10.0f, nullptr, 0.0f), 1);
    EXPECT_EQ(GameRunning(), 0);
    EXPECT_TRUE(g_Clock.IsPaused());
    const CCamera& camera = g_Views.mainCamera;
    EXPECT_EQ(g_GameHUD.cameraOrbit, 1);
    EXPECT_EQ(camera.viewMode, VIEWMODE_SCRIPTED);
    EXPECT_EQ(camera.moveEye, D3DXVECTOR3(16, 4, -4));   // centre + (6, 2, 0)
    EXPECT_EQ(camera.moveAt, D3DXVECTOR3(10, 2, -4));
    EXPECT_EQ(std::fabs(camera.moveSpeed), 0.5f);
    ASSERT_EQ(g_GameHUD.lineCount, 5);
    EXPECT_STREQ(g_GameHUD.messageLines[0], "YOU WAS KICKED!");
    EXPECT_STREQ(g_GameHUD.messageLines[4], "To kick to the right - press 'W' key.");
    EXPECT_EQ(HudColour(g_GameHUD.lineColours[3], 255), 0xFF7F6666u);

    Frame(10.5f);   // past its duration
    EXPECT_EQ(g_GameHUD.messageId, 0);
    EXPECT_EQ(GameRunning(), 1);
    EXPECT_FALSE(g_Clock.IsPaused());
    EXPECT_EQ(g_GameHUD.cameraOrbit, 0);
    EXPECT_EQ(camera.viewMode, VIEWMODE_CHASE_NEAR);   // the view the player chose
    EXPECT_EQ(camera.target, &m_Player);
}

TEST_F(HudMessageTest, AHintInTheOnboardOrFarViewsOrbitsOnlyFromTheNearOnes)
{
    const struct
    {
        int viewMode;
        int orbits;
    } cases[] = {{VIEWMODE_ONBOARD, 1}, {VIEWMODE_CHASE_NEAR, 1}, {VIEWMODE_CHASE_FAR, 0}, {VIEWMODE_SCRIPTED, 0}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.viewMode);
        g_GameHUD.Create();
        g_Clock.Init();
        g_Views.mainCamera.viewMode = c.viewMode;
        ASSERT_EQ(g_GameHUD.ShowMessage(HUDMSG_HIGH_JUMP, 8.0f, nullptr, 0.0f), 1);
        EXPECT_EQ(g_GameHUD.cameraOrbit, c.orbits);
        EXPECT_EQ(GameRunning(), 0);   // held either way
        g_GameHUD.ShowMessage(HUDMSG_NONE, 0.0f, nullptr, 0.0f);
        EXPECT_EQ(GameRunning(), 1);
    }
}

TEST_F(HudMessageTest, EscDuringAHintClosesItWithoutOpeningThePauseMenu)
{
    ASSERT_EQ(g_GameHUD.ShowMessage(HUDMSG_JUMP_HINT, 8.0f, nullptr, 0.0f), 1);
    g_KeyFlags[KEY_ESC] = 1;
    Frame(0.02f);
    EXPECT_EQ(g_GameHUD.messageId, 0);
    EXPECT_EQ(g_GameHUD.menuMode, HUDMENU_CLOSED);
    EXPECT_EQ(g_GameHUD.overlayOpen, 0);
    EXPECT_EQ(g_KeyFlags[KEY_ESC], 0);
    EXPECT_EQ(GameRunning(), 1);

    // The next Esc, with no message, opens the pause menu.
    g_KeyFlags[KEY_ESC] = 1;
    Frame(0.02f);
    EXPECT_EQ(g_GameHUD.menuMode, HUDMENU_PAUSE);
}

// Width of a text when every character is 10 units wide.
float TenPerCharacter(const char* text, void*)
{
    return 10.0f * float(std::strlen(text));
}

TEST(HudMessageWrapTest, LinesBreakAtSlashesAndAtTheLastBlankBefore480Units)
{
    char lines[HUD_MESSAGE_LINES][HUD_MESSAGE_LINE_SIZE];
    const struct
    {
        std::string text;
        std::vector<std::string> expected;
    } cases[] = {
        {"A/B C/", {"A", "B C", ""}},
        {"PENALTY!/DEPARTURE FROM THE COURSE!/   /   ", {"PENALTY!", "DEPARTURE FROM THE COURSE!", "   ", "   "}},
        // 47 characters fit (470 units); the blank that reaches 480 ends the
        // line and is dropped.
        {std::string(40, 'a') + " bbbbbb ccc", {std::string(40, 'a') + " bbbbbb", "ccc"}},
        // A word that reaches 480 goes down whole, its blank dropped.
        {std::string(40, 'a') + " bbbbbbb", {std::string(40, 'a'), "bbbbbbb"}},
        // No blank to break at: the line runs on to its 127 characters.
        {std::string(130, 'x'), {std::string(127, 'x'), "xxx"}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.text);
        const int n = WrapMessageText(c.text.c_str(), 480.0f, TenPerCharacter, nullptr, lines);
        ASSERT_EQ(n, int(c.expected.size()));
        for (int i = 0; i < n; ++i)
            EXPECT_EQ(lines[i], c.expected[i]);
    }

    // At most sixteen lines.
    std::string many;
    for (int i = 0; i < 20; ++i)
        many += "x/";
    EXPECT_EQ(WrapMessageText(many.c_str(), 480.0f, TenPerCharacter, nullptr, lines), HUD_MESSAGE_LINES);
}

TEST(HudColourTest, ColourFloatsKeepTheLowEightBitsOfTheirBytes)
{
    EXPECT_EQ(HudColourByte(1.0f), 255);
    EXPECT_EQ(HudColourByte(1.5f), 126);
    EXPECT_EQ(HudColourByte(0.4f), 102);
    EXPECT_EQ(HudColour(D3DXCOLOR(1.0f, 0.7f, 1.5f, 1.0f), 200), 0xC8FFB27Eu);
}

}   // namespace
