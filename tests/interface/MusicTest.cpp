#include "audio/AudioFixture.h"
#include "interface/MainMenu.h"
#include "platform/os/Rand.h"

using namespace audiotest;

namespace
{

class MusicTest : public AudioFixture
{
protected:
    // Seven race tracks of different lengths, so each can be told apart.
    std::map<std::string, std::vector<uint8_t>> Tracks()
    {
        std::map<std::string, std::vector<uint8_t>> files;
        char name[64];
        for (int i = 0; i < 7; ++i)
        {
            std::snprintf(name, sizeof(name), "Data/Audio/MusTrks/TrR%02d.wav", i);
            files[name] = Tone(22050, 1000 + 10 * i);
        }
        files["Data/Audio/Start logo.wav"] = Tone(22050, 500);
        return files;
    }

    void EndCurrentTrack()
    {
        AdvanceRealMs(300);
        DSoundFinishPlayback(g_AudioManager.currentMusic->buffer);
    }
};

TEST_F(MusicTest, ANamedOneShotIsFollowedByRandomTracks)
{
    Start(Tracks());
    g_AudioManager.PlayMusic(1, "Data/Audio/Start logo.wav", 0, 60.0f);
    CGameSound* logo = g_AudioManager.currentMusic;
    ASSERT_NE(logo, nullptr);
    EXPECT_STREQ(logo->name, "Data/Audio/Start logo.wav");
    EXPECT_EQ(VolumeOf(logo), -2000);
    EXPECT_TRUE(DevicePlaying(logo));

    g_AudioManager.Update();   // still playing
    EXPECT_EQ(g_AudioManager.currentMusic, logo);

    EndCurrentTrack();
    g_AudioManager.Update();   // the ended track is given back
    EXPECT_EQ(g_AudioManager.currentMusic, nullptr);
    g_AudioManager.Update();   // and a random one starts, at the same volume
    CGameSound* next = g_AudioManager.currentMusic;
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(std::string(next->name).rfind("Data/Audio/MusTrks/TrR", 0), 0u);
    EXPECT_EQ(VolumeOf(next), -2000);
    DWORD status = 0;
    next->buffer->GetStatus(&status);
    EXPECT_EQ(status, (DWORD)DSBSTATUS_PLAYING);   // once, not looped

    // The track is the one the generator gives for the clock's seed.
    GameSrand(timeGetTime());
    char expected[64];
    std::snprintf(expected, sizeof(expected), "Data/Audio/MusTrks/TrR%02d.wav", GameRand() % 7);
    EXPECT_STREQ(next->name, expected);
}

TEST_F(MusicTest, MusicOffEndsTheTrackAndALoopingTrackStays)
{
    Start(Tracks());
    g_AudioManager.PlayMusic(1, "Data/Audio/MusTrks/TrR00.wav", 1, 100.0f);
    CGameSound* theme = g_AudioManager.currentMusic;
    ASSERT_NE(theme, nullptr);
    DWORD status = 0;
    theme->buffer->GetStatus(&status);
    EXPECT_NE(status & DSBSTATUS_LOOPING, 0u);
    const int count = g_AudioManager.soundCount;
    g_AudioManager.PlayMusic(0, nullptr, 0, 100.0f);
    EXPECT_EQ(g_AudioManager.currentMusic, nullptr);
    EXPECT_EQ(g_AudioManager.soundCount, count - 1);
    g_AudioManager.Update();
    EXPECT_EQ(g_AudioManager.currentMusic, nullptr);
}

TEST_F(MusicTest, NoNewTrackWhileTheGameIsPaused)
{
    Start(Tracks());
    g_AudioManager.PlayMusic(1, nullptr, 0, 100.0f);
    g_Clock.m_GameStep = 0.0f;
    g_AudioManager.Update();
    EXPECT_EQ(g_AudioManager.currentMusic, nullptr);

    g_Clock.m_GameStep = 0.016f;
    g_AudioManager.Update();
    ASSERT_NE(g_AudioManager.currentMusic, nullptr);
    // Paused sounds: the music plays on, but no track follows it.
    g_AudioManager.PauseAll();
    EXPECT_TRUE(DevicePlaying(g_AudioManager.currentMusic));
    EndCurrentTrack();
    CGameSound* ended = g_AudioManager.currentMusic;
    g_AudioManager.Update();
    EXPECT_EQ(g_AudioManager.currentMusic, ended);
}

TEST_F(MusicTest, TheMusicVolumeAppliesToTheNextTrack)
{
    Start(Tracks());
    g_AudioManager.PlayMusic(1, nullptr, 0, 100.0f);
    g_AudioManager.Update();
    CGameSound* first = g_AudioManager.currentMusic;
    ASSERT_NE(first, nullptr);
    g_AudioManager.musicVolume = 75.0f;   // as the race start sets it
    EXPECT_EQ(VolumeOf(first), 0);
    // The "Music" setting, applied again, keeps the track's own percent.
    g_MusicVolume = 50;
    g_AudioManager.ReapplyVolumes();
    EXPECT_EQ(VolumeOf(first), -2500);
    g_MusicVolume = 100;
    EndCurrentTrack();
    g_AudioManager.Update();
    g_AudioManager.Update();
    ASSERT_NE(g_AudioManager.currentMusic, nullptr);
    EXPECT_EQ(VolumeOf(g_AudioManager.currentMusic), -1250);
}

TEST_F(MusicTest, MissingTracksAreNotLookedForEveryFrame)
{
    Start({});
    g_AudioManager.PlayMusic(1, nullptr, 0, 100.0f);
    g_AudioManager.Update();   // fails: no track files
    EXPECT_EQ(g_AudioManager.currentMusic, nullptr);

    // Within the wait nothing is tried: the generator is not reseeded.
    GameSrand(12345);
    const int expected = GameRand();
    GameSrand(12345);
    ClockAdvance(500);
    g_AudioManager.Update();
    EXPECT_EQ(GameRand(), expected);

    // After it, one more try, and then a longer wait.
    ClockAdvance(600);
    GameSrand(12345);
    g_AudioManager.Update();
    EXPECT_NE(GameRand(), expected);
    const uint32_t wait = g_AudioManager.musicRetryWait;
    EXPECT_EQ(wait, 2000u);

    // Files that appear are found at the next try.
    for (auto& f : Tracks())
        WriteFile(f.first, f.second);
    ClockAdvance(wait + 1);
    g_AudioManager.Update();
    EXPECT_NE(g_AudioManager.currentMusic, nullptr);
    EXPECT_EQ(g_AudioManager.musicRetryWait, 0u);
}

TEST_F(MusicTest, AMenuPageStartsTheThemeAndClosingItStopsIt)
{
    Start(Tracks());
    g_MainMenu.Show(MENU_PROFILES);
    ASSERT_NE(g_AudioManager.currentMusic, nullptr);
    EXPECT_STREQ(g_AudioManager.currentMusic->name, "Data/Audio/MusTrks/TrR00.wav");
    EXPECT_EQ(g_AudioManager.currentMusic->repeats, -1);
    g_MainMenu.Show(MENU_NONE);
    EXPECT_EQ(g_AudioManager.currentMusic, nullptr);
    EXPECT_EQ(g_AudioManager.musicOn, 0);
}

}   // namespace
