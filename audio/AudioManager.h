#pragma once
// The audio manager: the sound device and its listener, every loaded sound
// and the memory blocks their files live in, the volumes, pausing with the
// window and the game clock, the pooled effect sounds and the crowd
// (EffectSounds.cpp) and the music (Music.cpp).
//
// With [Audio] "Audio" 0 (g_SoundOn) the game is silent: LoadSound returns
// null and every other operation returns at once, without touching the device.
#include <cstdint>

#include "audio/GameSound.h"
#include "platform/audio/DSound.h"
#include "platform/math/D3DXMath.h"
#include "platform/os/WinTypes.h"

class CStaticObject;

#define MAX_SOUNDS        1024
#define MAX_MEMORY_BLOCKS 1024

// Crowd kinds (the fourth slot is never filled).
enum
{
    CROWD_APP = 0,
    CROWD_FOO = 1,
    CROWD_YEA = 2,
};
#define CROWD_SLOTS    4
#define CROWD_KINDS    3
#define CROWD_VARIANTS 5

// Rider voice sets.
enum
{
    VOICE_MS = 0,
    VOICE_FS = 1,
};
#define VOICE_SETS          2
#define VOICES_PER_SET      5
#define IMPACT_SLOTS        16
#define SKID_SLOTS          14
#define ENGINE_SLOTS        6
// Effect sounds are heard, and started, only this near the camera.
#define EFFECT_DISTANCE     75.0f
#define EFFECT_MIN_DISTANCE 7.5f

// A pooled sound and the object it sounds for (null: free).
struct SoundSlot
{
    CGameSound* sound;
    CStaticObject* owner;
};

// What the effect pools read from and write to their owners, placed objects
// of the scene layer above: ConnectSceneLinks fills it in. An unset entry
// reads as a far-away owner at the origin.
struct SoundOwnerAccess
{
    const float* (*worldCentre)(const CStaticObject* owner);
    float (*cameraDistance)(const CStaticObject* owner);
    const float* (*linearVelocity)(const CStaticObject* owner);
    void (*setLastImpactSoundTime)(CStaticObject* owner, uint32_t gameMs);
};
extern SoundOwnerAccess g_SoundOwnerAccess;

class CAudioManager
{
public:
    CAudioManager();

    // Device, listener, crowd slots and effect sounds: 0, or E_FAIL after a
    // "Sound error!" box (and "Audio" is then 0).
    int Create(HWND hwnd);
    void Compact();
    // A sound by file name: plain sounds of one name are shared, positional
    // ones share the file's samples, music is always new. A loose file is
    // taken before the sound pack. Null when it cannot be loaded.
    CGameSound* LoadSound(const char* name, int type, float minDistance, float maxDistance);
    // One reference back; the slot is always cleared.
    void ReleaseSound(CGameSound** slot);
    // Last step of every frame: deferred 3D values, crowd, owned sounds, music.
    void Update();
    // Every sound but the music; a second PauseAll does nothing.
    void PauseAll();
    void ResumeAll();
    void SetMasterVolume(float percent);
    // The screen fade's share of every volume (g_FadeVolume, 0..100); the
    // stored master volume is left alone.
    void SetFadeVolume(float percent);
    void ReapplyVolumes();
    void SetListenerPosition(const D3DXVECTOR3* position);
    void SetListenerOrientation(const D3DXVECTOR3* front, const D3DXVECTOR3* top);
    void SetListenerVelocity(const D3DXVECTOR3* velocity);
    SoundMemoryBlock* AllocMemoryBlock();
    void Release();

    // Pooled effect sounds and crowd.
    void LoadEffects();
    void ResetCrowd();
    void PlayCrowd(int kind, int on);
    void PlayImpact(float volumePercent, CStaticObject* owner);
    void PlayVoice(int set, float pitchFactor, CStaticObject* owner);
    CGameSound* PlaySkid(CStaticObject* owner);
    void StopImpactsOf(CStaticObject* owner);
    void StopSkidsOf(CStaticObject* owner);
    // Every pooled slot of the owner (voices, impacts, skids) is freed and its
    // sound stopped; called when a world object is released, so no slot keeps
    // an object that is gone.
    void StopSoundsOf(const CStaticObject* owner);
    void StopAllEffects();
    void UpdateCrowd();
    void UpdateOwnedSounds();
    void ReleaseCrowd();
    void ReleaseEffects();

    // Music.
    void PlayMusic(int on, const char* file, int loop, float volumePercent);
    void UpdateMusic();

    IDirectSound8* directSound;
    IDirectSound3DListener* listener;
    D3DXVECTOR3 listenerPosition;

    CGameSound* sounds[MAX_SOUNDS];
    int soundCount;
    SoundMemoryBlock memoryBlocks[MAX_MEMORY_BLOCKS];

    CGameSound* crowd[CROWD_SLOTS];
    int crowdVariants[CROWD_KINDS];
    SoundSlot voices[VOICE_SETS][VOICES_PER_SET];
    SoundSlot impacts[IMPACT_SLOTS];
    SoundSlot skids[SKID_SLOTS];
    SoundSlot engines[ENGINE_SLOTS];
    int nextVoice[VOICE_SETS];
    int nextImpact;
    int nextSkid;

    int paused;

    int musicOn;
    CGameSound* currentMusic;
    float musicVolume;
    // Real time (timeGetTime) before which no random track is tried again
    // after one failed to load, and the wait that follows the next failure.
    uint32_t musicRetryAt;
    uint32_t musicRetryWait;

private:
    CGameSound* TakeSlot(SoundSlot* slots, int count, int* next, CStaticObject* owner);
    void AppendSound(CGameSound* sound);
    void FailCreate(const char* text);
};

extern CAudioManager g_AudioManager;
