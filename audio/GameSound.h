#pragma once
// One loaded sound of the game. Sounds are made only by
// CAudioManager::LoadSound and given back only through
// CAudioManager::ReleaseSound; everyone else holds a pointer and plays it.
//
// A sound as loaded plays from the memory block of its file: the block keeps
// the file and one device buffer per kind of use (as is, or down-mixed to mono
// for positional sounds), and every sound made from the block plays its own
// duplicate of that buffer, so the samples exist once. A converted sound
// (ConvertToFX, the engine masters) has a buffer of its own filled through a
// CWaveReader; a Duplicate of it shares those samples.
#include <cstdint>

#include "audio/WaveReader.h"
#include "platform/audio/DSound.h"
#include "platform/math/D3DXMath.h"

enum
{
    SOUND_TYPE_2D = 0,
    SOUND_TYPE_MUSIC = 1,
    SOUND_TYPE_3D = 2,   // positional, heard within its maximum distance
};

// Buffer flags of a converted sound of each kind.
#define SOUND_FLAGS_2D    DSBCAPS_CTRLVOLUME
#define SOUND_FLAGS_MUSIC 0
#define SOUND_FLAGS_3D    (DSBCAPS_CTRL3D | DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLVOLUME | DSBCAPS_MUTE3DATMAXDISTANCE)

// Where a positional sound waits while nobody has placed it.
#define SOUND_PARKED_POSITION (-1000000.0f)

// One sound file read whole, shared by the sounds made from it. Free while
// `data` is null.
struct SoundMemoryBlock
{
    void* data;
    uint32_t size;
    int32_t referenceCount;
    // The block's buffers: [0] as the file is (plain sounds and music),
    // [1] mono (positional sounds); made on first use, never played.
    IDirectSoundBuffer8* buffers[2];
};

// The device buffer of a block for a kind of sound, made on first use.
// Null when the file is not a playable WAVE (the reason is logged).
IDirectSoundBuffer8* GetBlockBuffer(SoundMemoryBlock* block, int type);
// One reference less; at 0 the data and buffers are freed.
void ReleaseBlock(SoundMemoryBlock* block);

// The screen fade's share of every volume, percent (100 when no fade holds
// the sound down). Kept apart from the "Master" setting so that a fade never
// changes what Game.ini saves.
extern float g_FadeVolume;

class CGameSound
{
public:
    // With a block the sound plays from it at once (CreatePath).
    CGameSound(const char* name, SoundMemoryBlock* block, int type, float minDistance, float maxDistance);

    void Play(int loop);
    void Stop();
    void Pause();
    void Resume();
    int IsPlaying();

    void SetVolume(float percent);
    void ReapplyVolume();
    void SetFrequency(uint32_t hz);
    void SetPosition(const D3DXVECTOR3* position);
    void SetVelocity(const D3DXVECTOR3* velocity);
    void SetMinMaxDistance(float minDistance, float maxDistance);

    HRESULT ConvertToFX();
    HRESULT Duplicate(const CGameSound* source);
    HRESULT CreateFromWave();
    void Fill();
    void RestoreIfLost();
    // Play position of a sound playing from its block, in milliseconds.
    int GetMusicTime();
    HRESULT CreatePath();
    void Release();

    // The buffer volume in hundredths of a decibel for a percent at the
    // current settings: -50 x (100 - percent x category x Master / 10000),
    // with Master taken down by the screen fade's share (g_FadeVolume).
    static LONG VolumeFor(int type, float percent);

    CWaveReader* reader;   // present exactly when converted (or a duplicate of one)
    uint32_t byteCount;
    char name[256];
    int type;
    int repeats;   // from a block: -1 loops, 0 once; converted: the play flags
    int paused;
    uint32_t startTime;   // real clock (ms) of the last start from a block
    int savedMusicTime;
    uint32_t baseFrequency;
    float volume;
    float minDistance;
    float maxDistance;
    SoundMemoryBlock* memoryBlock;
    int referenceCount;
    IDirectSoundBuffer8* buffer;
    IDirectSound3DBuffer* buffer3D;

private:
    void DropBuffers();
    HRESULT Attach3D(int setDistances);
};
