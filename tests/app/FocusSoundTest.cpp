// Sounds across focus loss and regain, with the game clock's pause hooks as
// the game object connects them.
#include "app/WndProc.h"
#include "audio/AudioFixture.h"
#include "core/RunFlags.h"

using namespace audiotest;

namespace
{

class FocusSoundTest : public AudioFixture
{
protected:
    void SetUp() override
    {
        AudioFixture::SetUp();
        g_AppActive = 1;
        ResetFocusPauseState();
        ASSERT_NE(g_ClockHooks.pauseSounds, nullptr);
        Start({{"m.wav", Tone(22050, 5000)}});
        effect = g_AudioManager.impacts[0].sound;
        music = g_AudioManager.LoadSound("m.wav", SOUND_TYPE_MUSIC, 1, 10);
        effect->Play(1);
        music->Play(1);
    }
    void TearDown() override
    {
        ResetFocusPauseState();
        g_AppActive = 1;
        AudioFixture::TearDown();
    }
    static void Send(UINT message, WPARAM wParam = 0) { WndProc(nullptr, message, wParam, 0); }

    CGameSound* effect = nullptr;
    CGameSound* music = nullptr;
};

TEST_F(FocusSoundTest, FocusLossPausesEffectsAndRegainResumesThem)
{
    Send(WM_KILLFOCUS);
    EXPECT_FALSE(DevicePlaying(effect));
    EXPECT_TRUE(DevicePlaying(music));
    Send(WM_SETFOCUS);
    EXPECT_TRUE(DevicePlaying(effect));
    EXPECT_EQ(g_AudioManager.paused, 0);
}

TEST_F(FocusSoundTest, RegainingFocusLeavesThePauseMenuSilent)
{
    g_Clock.Pause();   // the pause menu holds the race
    EXPECT_FALSE(DevicePlaying(effect));
    Send(WM_ACTIVATE, WA_INACTIVE);
    Send(WM_KILLFOCUS);
    Send(WM_ACTIVATE, WA_ACTIVE);
    Send(WM_SETFOCUS);
    EXPECT_FALSE(DevicePlaying(effect));
    EXPECT_EQ(g_AudioManager.paused, 1);
    EXPECT_TRUE(DevicePlaying(music));
    g_Clock.Resume();   // the menu lets go
    EXPECT_TRUE(DevicePlaying(effect));
}

}   // namespace
