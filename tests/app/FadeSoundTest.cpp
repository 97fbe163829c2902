// A camera fade with sound, through the game's own hooks: the sound is taken
// down and back up with the picture, while the "Master" setting, and the
// Game.ini written after it, stay as the player set them.
#include <gtest/gtest.h>

#include <string>

#include "app/LayerLinks.h"
#include "audio/AudioManager.h"
#include "audio/GameSound.h"
#include "core/GameClock.h"
#include "core/Settings.h"
#include "platform/os/Ini.h"
#include "racers/VehicleCamera.h"
#include "render/Camera.h"
#include "render/CameraHooks.h"
#include "tests/support/TempFolder.h"

namespace
{

class FadeSoundTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_Folder.MakeAndEnter("fade_sound_test_"));
        m_SavedHooks = g_CameraHooks;
        m_SavedClock = g_Clock;
        m_SavedMaster = g_MasterVolume;
        m_SavedEffects = g_EffectsVolume;
        ConnectLayers();
        g_MasterVolume = 80;
        g_EffectsVolume = 100;
        // No fade under way: an earlier fade with sound stopped half-way
        // would leave its share on every volume.
        g_AudioManager.SetFadeVolume(100.0f);
    }
    void TearDown() override
    {
        g_AudioManager.SetFadeVolume(100.0f);
        g_CameraHooks = m_SavedHooks;
        g_Clock = m_SavedClock;
        g_MasterVolume = m_SavedMaster;
        g_EffectsVolume = m_SavedEffects;
        ASSERT_TRUE(m_Folder.Remove());
    }

    void Frames(CCamera& camera, int count)
    {
        g_Clock.m_RealStep = 0.1f;
        for (int i = 0; i < count; ++i)
            camera.DrawFade();
    }

    TempFolder m_Folder;
    CameraHooks m_SavedHooks;
    CGameClock m_SavedClock;
    int m_SavedMaster = 0, m_SavedEffects = 0;
};

TEST_F(FadeSoundTest, AFadeTakesTheSoundDownWithoutTouchingTheMasterSetting)
{
    CCamera camera;
    const LONG full = CGameSound::VolumeFor(SOUND_TYPE_3D, 100.0f);
    camera.FadeOut(1.0f, 1, D3DXCOLOR(0, 0, 0, 1));
    Frames(camera, 5);
    EXPECT_NEAR(g_FadeVolume, 50.0f, 1e-3f);
    // Half of the master's 80.
    EXPECT_EQ(CGameSound::VolumeFor(SOUND_TYPE_3D, 100.0f), -50 * (100 - 40));
    Frames(camera, 10);
    EXPECT_EQ(g_FadeVolume, 0.0f);
    EXPECT_EQ(g_MasterVolume, 80);

    camera.FadeIn(1.0f, 1);
    Frames(camera, 3);
    EXPECT_EQ(g_MasterVolume, 80);
    WriteGameIni();   // a save in the middle of a fade
    char value[16];
    GetPrivateProfileStringA("Audio", "Master", "", value, sizeof(value), "Game.ini");
    EXPECT_STREQ(value, "80");

    Frames(camera, 20);
    EXPECT_EQ(g_FadeVolume, 100.0f);
    EXPECT_EQ(CGameSound::VolumeFor(SOUND_TYPE_3D, 100.0f), full);
    EXPECT_EQ(g_MasterVolume, 80);
}

}   // namespace
