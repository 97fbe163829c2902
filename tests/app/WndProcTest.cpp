#include "app/WndProc.h"

#include <gtest/gtest.h>

#include <cstring>

#include "core/Controls.h"
#include "core/GameClock.h"
#include "core/InputPacing.h"
#include "core/InputState.h"
#include "core/RunFlags.h"
#include "core/Settings.h"
#include "interface/MainMenu.h"
#include "platform/os/Clock.h"
#include "render/D3DRender.h"

namespace
{
class WndProcTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ClockSetManual(100000);
        g_Clock.Init();
        g_AppActive = 1;
        ResetQuit();
        g_TextInput = 0;
        g_TextChar = 0;
        g_DebugMode = 0;
        g_MainMenu.active = 0;
        memset(g_KeyFlags, 0, sizeof(g_KeyFlags));
        memset(g_ControlFlags, 0, sizeof(g_ControlFlags));
        g_MouseX = g_MouseY = g_PrevMouseX = g_PrevMouseY = 0;
        g_MouseButtons[0] = g_MouseButtons[1] = 0;
        g_Render.scaleX = 1.0f;
        g_Render.scaleY = 1.0f;
        ResetFocusPauseState();
        ResetInputPacing();
    }
    void TearDown() override { ClockUseSystem(); }

    // One message in a frame of its own: what it does once a frame has seen
    // the input before it.
    static void Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        WndProc(nullptr, message, wParam, lParam);
        InputFrameDone();
    }
    // One frame's worth of clock.
    static void Tick(DWORD ms)
    {
        ClockAdvance(ms);
        g_Clock.Update();
    }
};

TEST_F(WndProcTest, FocusLossPausesAndRegainResumes)
{
    Tick(20);
    const float atLoss = g_Clock.m_GameClock;
    Send(WM_ACTIVATE, WA_INACTIVE);
    Send(WM_KILLFOCUS);   // a second loss: no harm, the saved clock stays
    EXPECT_EQ(g_AppActive, 0);
    EXPECT_TRUE(g_Clock.IsPaused());

    ClockAdvance(5000);
    Send(WM_ACTIVATE, WA_ACTIVE);
    Send(WM_SETFOCUS);
    EXPECT_EQ(g_AppActive, 1);
    EXPECT_FALSE(g_Clock.IsPaused());
    EXPECT_EQ(g_Clock.m_GameClock, atLoss);
    Tick(10);   // the time spent away is no step
    EXPECT_FLOAT_EQ(g_Clock.m_GameClock, atLoss + 10.0f);
}

TEST_F(WndProcTest, ClickActivationAloneResumesNothing)
{
    Send(WM_KILLFOCUS);
    Send(WM_ACTIVATE, WA_CLICKACTIVE);
    EXPECT_EQ(g_AppActive, 0);
    EXPECT_TRUE(g_Clock.IsPaused());
    Send(WM_SETFOCUS);
    EXPECT_EQ(g_AppActive, 1);
    EXPECT_FALSE(g_Clock.IsPaused());
}

TEST_F(WndProcTest, RegainingFocusKeepsAGameThatWasHeldBeforeTheLoss)
{
    // Held by the pause menu or a hint box: clock paused, window active.
    g_Clock.Pause();
    Send(WM_ACTIVATE, WA_INACTIVE);
    Send(WM_KILLFOCUS);
    Send(WM_ACTIVATE, WA_ACTIVE);
    Send(WM_SETFOCUS);
    EXPECT_EQ(g_AppActive, 1);
    EXPECT_TRUE(g_Clock.IsPaused()) << "the pause menu must still hold the game";

    // Held by the debug Pause key: frames stopped and clock paused.
    g_Clock.Resume();
    g_DebugMode = 1;
    Send(WM_KEYDOWN, VK_PAUSE);
    Send(WM_KEYUP, VK_PAUSE);
    ASSERT_EQ(g_AppActive, 0);
    Send(WM_KILLFOCUS);
    Send(WM_SETFOCUS);
    EXPECT_EQ(g_AppActive, 0);
    EXPECT_TRUE(g_Clock.IsPaused());

    // Focus gained without a loss before it changes nothing either.
    g_AppActive = 1;
    g_Clock.Resume();
    Send(WM_SETFOCUS);
    EXPECT_EQ(g_AppActive, 1);
    EXPECT_FALSE(g_Clock.IsPaused());
}

TEST_F(WndProcTest, KeyHeldAcrossFocusLossKeepsItsFlag)
{
    Send(WM_KEYDOWN, VK_UP);
    EXPECT_EQ(g_KeyFlags[KEY_UP], 1);
    EXPECT_EQ(g_ControlFlags[CTRL_THROTTLE], 1);
    Send(WM_KILLFOCUS);
    Send(WM_SETFOCUS);
    EXPECT_EQ(g_KeyFlags[KEY_UP], 1);
    Send(WM_KEYUP, VK_UP);
    EXPECT_EQ(g_KeyFlags[KEY_UP], 0);
}

TEST_F(WndProcTest, TextEntryTakesCharactersAndItsKeys)
{
    struct Case
    {
        UINT message;
        WPARAM wParam;
        int textInput;            // after the message
        unsigned char textChar;   // after the message
        int enterFlag;
        int escFlag;
    } cases[] = {
        {WM_CHAR, 'k', 1, 'k', 0, 0},        {WM_CHAR, 0x1E9, 1, 0xE9, 0, 0},   // the low byte is kept
        {WM_KEYDOWN, VK_RETURN, 2, 0, 0, 0},                                    // no held-key flag
        {WM_KEYDOWN, VK_ESCAPE, 4, 0, 0, 0}, {WM_KEYDOWN, VK_BACK, 3, 0, 0, 0},
        {WM_KEYDOWN, 'A', 1, 0, 0, 0},   // other keys as usual
    };
    for (const Case& c : cases)
    {
        g_TextInput = 1;
        g_TextChar = 0;
        memset(g_KeyFlags, 0, sizeof(g_KeyFlags));
        Send(c.message, c.wParam);
        EXPECT_EQ(g_TextInput, c.textInput) << c.message << " " << c.wParam;
        EXPECT_EQ(g_TextChar, c.textChar) << c.message << " " << c.wParam;
        EXPECT_EQ(g_KeyFlags[KEY_ENTER], c.enterFlag);
        EXPECT_EQ(g_KeyFlags[KEY_ESC], c.escFlag);
    }
    EXPECT_EQ(g_KeyFlags[KEY_A], 1);

    // Outside text entry characters are ignored and Enter is a held key.
    g_TextInput = 0;
    g_TextChar = 0;
    Send(WM_CHAR, 'z');
    Send(WM_KEYDOWN, VK_RETURN);
    EXPECT_EQ(g_TextChar, 0);
    EXPECT_EQ(g_TextInput, 0);
    EXPECT_EQ(g_KeyFlags[KEY_ENTER], 1);
}

TEST_F(WndProcTest, MouseIsScaledToTheVirtualScreen)
{
    g_Render.scaleX = 1280.0f / 800.0f;
    g_Render.scaleY = 720.0f / 600.0f;
    struct Case
    {
        UINT message;
        int x, y;
        int mouseX, mouseY;
        int prevX, prevY;
        int left, right;
    } cases[] = {
        {WM_MOUSEMOVE, 640, 360, 400, 300, 0, 0, 0, 0},
        {WM_MOUSEMOVE, 1279, 719, 799, 599, 400, 300, 0, 0},
        {WM_LBUTTONDOWN, 16, 12, 10, 10, 400, 300, 1, 0},   // previous values untouched
        {WM_RBUTTONDOWN, 1, 1, 0, 0, 400, 300, 1, 1},       // truncated
        {WM_LBUTTONUP, 900, 900, 0, 0, 400, 300, 0, 1},     // a release does not move it
        {WM_RBUTTONUP, 900, 900, 0, 0, 400, 300, 0, 0},
        {WM_MOUSEMOVE, 65535, 0, 40959, 0, 0, 0, 0, 0},   // unsigned words
    };
    for (const Case& c : cases)
    {
        Send(c.message, 0, MAKELPARAM(c.x, c.y));
        EXPECT_EQ(g_MouseX, c.mouseX) << c.message << " " << c.x;
        EXPECT_EQ(g_MouseY, c.mouseY) << c.message << " " << c.y;
        EXPECT_EQ(g_PrevMouseX, c.prevX) << c.message;
        EXPECT_EQ(g_PrevMouseY, c.prevY) << c.message;
        EXPECT_EQ(g_MouseButtons[0], c.left) << c.message;
        EXPECT_EQ(g_MouseButtons[1], c.right) << c.message;
    }

    // Before the device has set its scales the position is taken as is.
    g_Render.scaleX = g_Render.scaleY = 0.0f;
    Send(WM_MOUSEMOVE, 0, MAKELPARAM(33, 44));
    EXPECT_EQ(g_MouseX, 33);
    EXPECT_EQ(g_MouseY, 44);
}

TEST_F(WndProcTest, CloseSetsTheQuitFlagAndDoubleClicksAreIgnored)
{
    Send(WM_LBUTTONDBLCLK, 0, MAKELPARAM(100, 100));
    EXPECT_EQ(g_MouseButtons[0], 0);
    EXPECT_EQ(g_MouseX, 0);
    EXPECT_EQ(QuitRequested(), 0);
    Send(WM_CLOSE);
    EXPECT_EQ(QuitRequested(), 1);
    EXPECT_EQ(g_AppActive, 1);
}
}   // namespace
