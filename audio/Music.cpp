// Music: one track at a time, a named one (menu theme, start logo) or random
// race tracks one after another. Music is never shared and never paused with
// the other sounds.
#include <cstdio>

#include "audio/AudioManager.h"
#include "core/Settings.h"
#include "platform/os/Clock.h"
#include "platform/os/Rand.h"

namespace
{
const int kRaceTracks = 7;
// After a random track fails to load the next try waits this long, and twice
// as long after each further failure, up to the limit: a game without its
// music files does not open a file and reseed the generator every frame.
const uint32_t kFirstRetryMs = 1000;
const uint32_t kLongestRetryMs = 60000;
}   // namespace

void CAudioManager::PlayMusic(int on, const char* file, int loop, float volumePercent)
{
    if (!g_SoundOn)
        return;
    musicOn = on;
    musicVolume = volumePercent;
    musicRetryAt = 0;
    musicRetryWait = 0;
    ReleaseSound(&currentMusic);
    if (!on || !file)
        return;
    currentMusic = LoadSound(file, SOUND_TYPE_MUSIC, 1.0f, 10.0f);
    if (currentMusic)
    {
        currentMusic->SetVolume(musicVolume);
        currentMusic->Play(loop);
    }
}

void CAudioManager::UpdateMusic()
{
    if (!g_SoundOn)
        return;
    if (musicOn && !currentMusic)
    {
        const uint32_t now = timeGetTime();
        if (musicRetryWait != 0 && (int32_t)(now - musicRetryAt) < 0)
            return;
        GameSrand(now);
        char name[64];
        std::snprintf(name, sizeof(name), "Data/Audio/MusTrks/TrR%02d.wav", GameRand() % kRaceTracks);
        currentMusic = LoadSound(name, SOUND_TYPE_MUSIC, 1.0f, 10.0f);
        if (!currentMusic)
        {
            musicRetryWait = musicRetryWait == 0 ? kFirstRetryMs : musicRetryWait * 2;
            if (musicRetryWait > kLongestRetryMs)
                musicRetryWait = kLongestRetryMs;
            musicRetryAt = now + musicRetryWait;
            return;
        }
        musicRetryWait = 0;
        currentMusic->SetVolume(musicVolume);
        currentMusic->Play(0);
    }
    else if (musicOn && !currentMusic->IsPlaying())
        ReleaseSound(&currentMusic);
    else if (!musicOn && currentMusic)
        ReleaseSound(&currentMusic);
}
