#include "core/Controls.h"

#include <gtest/gtest.h>

#include <cstring>

#include "core/GameClock.h"
#include "core/RunFlags.h"
#include "core/Settings.h"
#include "platform/os/Clock.h"

namespace
{

// Stand-ins for what the game connects: the menu's state and the device's
// fill and shade toggles.
int s_MenuUp = 0;
int s_FillToggles = 0;
int s_ShadeToggles = 0;

class ControlsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::memset(g_ControlFlags, 0, sizeof(g_ControlFlags));
        std::memset(g_KeyFlags, 0, sizeof(g_KeyFlags));
        std::memset(g_KeyRepeated, 0, sizeof(g_KeyRepeated));
        m_SavedDebug = g_DebugMode;
        g_DebugMode = 0;
        g_AppActive = 1;
        ResetQuit();
        s_MenuUp = 0;
        s_FillToggles = 0;
        s_ShadeToggles = 0;
        m_SavedHooks = g_ControlHooks;
        g_ControlHooks.menuActive = [] { return s_MenuUp; };
        g_ControlHooks.toggleFillMode = [] { ++s_FillToggles; };
        g_ControlHooks.toggleShadeMode = [] { ++s_ShadeToggles; };
        g_ShowStaticObjects = 1;
        ClockSetManual(100);
        g_Clock.Init();
    }
    void TearDown() override
    {
        g_DebugMode = m_SavedDebug;
        ResetQuit();
        g_AppActive = 1;
        g_ControlHooks = m_SavedHooks;
        std::memset(g_ControlFlags, 0, sizeof(g_ControlFlags));
        std::memset(g_KeyFlags, 0, sizeof(g_KeyFlags));
        ClockUseSystem();
    }
    int m_SavedDebug = 0;
    ControlHooks m_SavedHooks = {};
};

TEST_F(ControlsTest, DefaultBindingsSetTheirActionFlag)
{
    const struct
    {
        int vk;
        int action;
    } cases[] = {
        {VK_UP, CTRL_THROTTLE},      {VK_DOWN, CTRL_BRAKE},   {VK_LEFT, CTRL_TURN_LEFT}, {VK_RIGHT, CTRL_TURN_RIGHT},
        {VK_SPACE, CTRL_FULL_BRAKE}, {'C', CTRL_CHANGE_VIEW}, {'E', CTRL_BACK_VIEW},     {VK_TAB, CTRL_JUMP},
        {'Q', CTRL_KICK_LEFT},       {'W', CTRL_KICK_RIGHT},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.vk);
        EXPECT_EQ(g_ControlBindings[c.action].key, c.vk);
        EXPECT_EQ(ControlKeyDown(c.vk), 1);
        for (int a = 0; a < CTRL_COUNT; ++a)
            EXPECT_EQ(g_ControlFlags[a], a == c.action ? 1 : 0);
        EXPECT_EQ(ControlKeyUp(c.vk), 1);
        EXPECT_EQ(g_ControlFlags[c.action], 0);
    }
    EXPECT_EQ(ControlKeyDown('X'), 0);
}

TEST_F(ControlsTest, HeldKeysSurviveOtherKeys)
{
    OnKeyDown(VK_SHIFT);
    OnKeyDown(VK_UP);
    OnKeyDown('A');
    OnKeyUp('A');
    OnKeyDown(VK_F5);   // no flag of its own
    OnKeyUp(VK_F5);
    EXPECT_EQ(g_KeyFlags[KEY_SHIFT], 1);
    EXPECT_EQ(g_KeyFlags[KEY_UP], 1);
    EXPECT_EQ(g_ControlFlags[CTRL_THROTTLE], 1);
    EXPECT_EQ(g_KeyFlags[KEY_A], 0);
    OnKeyUp(VK_UP);
    EXPECT_EQ(g_KeyFlags[KEY_UP], 0);
    EXPECT_EQ(g_ControlFlags[CTRL_THROTTLE], 0);
    EXPECT_EQ(g_KeyFlags[KEY_SHIFT], 1);
}

// Pressing a fixed key holds its own flag and no other until it is let go;
// other keys hold none.
TEST_F(ControlsTest, EachFixedKeyHoldsItsOwnFlagWhileItIsDown)
{
    const struct
    {
        const char* name;
        int vk;
        int flag;   // -1: none
    } keys[] = {
        {"F1", VK_F1, KEY_F1},
        {"Esc", VK_ESCAPE, KEY_ESC},
        {"Shift", VK_SHIFT, KEY_SHIFT},
        {"Ctrl", VK_CONTROL, KEY_CTRL},
        {"Tab", VK_TAB, KEY_TAB},
        {"Enter", VK_RETURN, KEY_ENTER},
        {"Space", VK_SPACE, KEY_SPACE},
        {"Left", VK_LEFT, KEY_LEFT},
        {"Right", VK_RIGHT, KEY_RIGHT},
        {"Up", VK_UP, KEY_UP},
        {"Down", VK_DOWN, KEY_DOWN},
        {"A", 'A', KEY_A},
        {"Z", 'Z', KEY_Z},
        {"Page Down", VK_NEXT, KEY_PGDN},
        {"Page Up", VK_PRIOR, KEY_PGUP},
        {"Insert", VK_INSERT, KEY_INSERT},
        {"Delete", VK_DELETE, KEY_DELETE},
        {"S", 'S', -1},
        {"Q", 'Q', -1},
        {"F5", VK_F5, -1},
        {"Home", VK_HOME, -1},
    };
    for (const auto& k : keys)
    {
        SCOPED_TRACE(k.name);
        OnKeyDown((WPARAM)k.vk);
        for (int f = 0; f < KEY_COUNT; ++f)
            EXPECT_EQ(g_KeyFlags[f], f == k.flag ? 1 : 0) << f;
        OnKeyUp((WPARAM)k.vk);
        for (int f = 0; f < KEY_COUNT; ++f)
            EXPECT_EQ(g_KeyFlags[f], 0) << f;
    }
}

TEST_F(ControlsTest, RepeatSetsAClearedFlagAgain)
{
    int changes = 0;
    for (int repeat = 0; repeat < 3; ++repeat)
    {
        OnKeyDown('C');
        if (g_ControlFlags[CTRL_CHANGE_VIEW])
        {
            ++changes;
            g_ControlFlags[CTRL_CHANGE_VIEW] = 0;   // the camera acts once per flag
        }
    }
    EXPECT_EQ(changes, 3);
}

TEST_F(ControlsTest, AFlagReadsAsRepeatedOnlyWhenNoNewPressWaitsInIt)
{
    // Events of Enter: d a new key-down, r an auto-repeat, t the flag taken,
    // u the release.
    const struct
    {
        const char* events;
        int flag;
        int repeated;
    } cases[] = {
        {"d", 1, 0},   {"dtr", 1, 1},  {"dtrr", 1, 1}, {"dr", 1, 0},
        {"drr", 1, 0}, {"dtrd", 1, 0}, {"dtru", 0, 0}, {"dtrt", 0, 0},
    };
    for (const auto& c : cases)
    {
        std::memset(g_KeyFlags, 0, sizeof(g_KeyFlags));
        std::memset(g_KeyRepeated, 0, sizeof(g_KeyRepeated));
        for (const char* e = c.events; *e; ++e)
        {
            if (*e == 'd' || *e == 'r')
                OnKeyDown(VK_RETURN, *e == 'r');
            else if (*e == 't')
                ConsumeKey(KEY_ENTER);
            else
                OnKeyUp(VK_RETURN);
        }
        EXPECT_EQ(g_KeyFlags[KEY_ENTER], c.flag) << c.events;
        EXPECT_EQ(g_KeyRepeated[KEY_ENTER], c.repeated) << c.events;
    }
}

TEST_F(ControlsTest, MenuOrInactiveWindowLeavesActionFlags)
{
    s_MenuUp = 1;
    OnKeyDown(VK_UP);
    EXPECT_EQ(g_ControlFlags[CTRL_THROTTLE], 0);
    EXPECT_EQ(g_KeyFlags[KEY_UP], 1);   // the menu reads the held key instead
    OnKeyUp(VK_UP);

    // A flag set before the menu opened stays until a key-up with it closed.
    s_MenuUp = 0;
    OnKeyDown(VK_DOWN);
    s_MenuUp = 1;
    OnKeyUp(VK_DOWN);
    EXPECT_EQ(g_ControlFlags[CTRL_BRAKE], 1);
    s_MenuUp = 0;
    OnKeyUp(VK_DOWN);
    EXPECT_EQ(g_ControlFlags[CTRL_BRAKE], 0);

    g_AppActive = 0;
    EXPECT_EQ(ControlKeyDown(VK_UP), 0);
    EXPECT_EQ(g_ControlFlags[CTRL_THROTTLE], 0);
}

TEST_F(ControlsTest, DebugKeysNeedDebugOut)
{
    // Without "Debug out": Esc only sets its held-key flag.
    OnKeyDown(VK_ESCAPE);
    OnKeyDown('F');
    OnKeyDown(VK_PAUSE);
    OnKeyDown(VK_CONTROL);
    OnKeyDown('S');
    EXPECT_EQ(g_KeyFlags[KEY_ESC], 1);
    EXPECT_EQ(QuitRequested(), 0);
    EXPECT_EQ(s_FillToggles, 0);
    EXPECT_EQ(g_AppActive, 1);
    EXPECT_EQ(g_ShowStaticObjects, 1);
    OnKeyUp('S');
    OnKeyUp(VK_CONTROL);

    g_DebugMode = 1;
    // Ctrl+S hides the placed objects, again shows them; S alone does nothing.
    OnKeyDown('S');
    EXPECT_EQ(g_ShowStaticObjects, 1);
    OnKeyDown(VK_CONTROL);
    OnKeyDown('S');
    EXPECT_EQ(g_ShowStaticObjects, 0);
    OnKeyDown('S');
    EXPECT_EQ(g_ShowStaticObjects, 1);
    OnKeyUp(VK_CONTROL);

    OnKeyDown('F');
    EXPECT_EQ(s_FillToggles, 1);
    OnKeyDown('F');
    EXPECT_EQ(s_FillToggles, 2);
    OnKeyDown('G');
    EXPECT_EQ(s_ShadeToggles, 1);
    OnKeyDown('G');

    // Pause toggles the running state and the clock.
    OnKeyDown(VK_PAUSE);
    EXPECT_EQ(g_AppActive, 0);
    EXPECT_TRUE(g_Clock.IsPaused());
    OnKeyDown(VK_PAUSE);
    EXPECT_EQ(g_AppActive, 1);
    EXPECT_FALSE(g_Clock.IsPaused());

    OnKeyDown(VK_ESCAPE);
    EXPECT_EQ(QuitRequested(), 1);
}

}   // namespace
