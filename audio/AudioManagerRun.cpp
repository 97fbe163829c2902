// The audio manager's start, frame and shutdown: the one place that drives the
// effect pools and the music, which themselves only load and give back sounds
// through the manager.
#include <cstring>

#include "audio/AudioManager.h"
#include "core/DebugLog.h"
#include "core/GameClock.h"
#include "core/Settings.h"

namespace
{
// The primary buffer, with and without asking for hardware mixing.
const DWORD kPrimaryFlags = DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRL3D | DSBCAPS_CTRLVOLUME | DSBCAPS_LOCHARDWARE;
const DWORD kPrimaryFlagsSoftware = DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRL3D | DSBCAPS_CTRLVOLUME;
// Where the listener waits until the camera first places it.
const float kListenerParked = 1000000.0f;
}   // namespace

void CAudioManager::FailCreate(const char* text)
{
    ShowMessage(text, "Sound error!", MB_ICONEXCLAMATION);
    g_SoundOn = 0;
    if (listener)
        listener->Release();
    listener = nullptr;
    if (directSound)
        directSound->Release();
    directSound = nullptr;
}

int CAudioManager::Create(HWND hwnd)
{
    if (!g_SoundOn)
        return 0;
    const HRESULT created = DirectSoundCreate8(nullptr, &directSound, nullptr);
    if (created == DSERR_NODRIVER)
    {
        // Nothing to play sound on at all (a remote desktop, a container):
        // the game runs silent, as with "Audio" 0, and starts.
        directSound = nullptr;
        g_SoundOn = 0;
        Log("No sound output device found: the game runs without sound.");
        return 0;
    }
    if (created != DS_OK)
    {
        directSound = nullptr;
        FailCreate("DirectSoundCreate8() failed!");
        return E_FAIL;
    }
    if (directSound->SetCooperativeLevel(hwnd, DSSCL_PRIORITY) != DS_OK)
    {
        FailCreate("SetCooperativeLevel() failed!");
        return E_FAIL;
    }
    DSBUFFERDESC desc = {};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = kPrimaryFlags;
    IDirectSoundBuffer8* primary = nullptr;
    if (directSound->CreateSoundBuffer(&desc, &primary, nullptr) != DS_OK)
    {
        desc.dwFlags = kPrimaryFlagsSoftware;
        if (directSound->CreateSoundBuffer(&desc, &primary, nullptr) != DS_OK)
        {
            FailCreate("Creating primary buffer failed!");
            return E_FAIL;
        }
    }
    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 2;
    format.nSamplesPerSec = 22050;
    format.wBitsPerSample = 16;
    format.nBlockAlign = 4;
    format.nAvgBytesPerSec = 88200;
    if (primary->SetFormat(&format) != DS_OK)
    {
        primary->Release();
        FailCreate("Setting primary buffer format failed!");
        return E_FAIL;
    }
    void* object = nullptr;
    if (primary->QueryInterface(IID_IDirectSound3DListener, &object) != DS_OK)
    {
        primary->Release();
        FailCreate("Init direct sound listener failed!");
        return E_FAIL;
    }
    listener = static_cast<IDirectSound3DListener*>(object);
    listener->SetPosition(kListenerParked, kListenerParked, kListenerParked, DS3D_DEFERRED);
    listener->SetVelocity(0, 0, 0, DS3D_DEFERRED);
    listener->SetDopplerFactor(1.0f, DS3D_DEFERRED);
    primary->Release();
    listenerPosition = D3DXVECTOR3(kListenerParked, kListenerParked, kListenerParked);

    std::memset(sounds, 0, sizeof(sounds));
    soundCount = 0;
    std::memset(memoryBlocks, 0, sizeof(memoryBlocks));

    ResetCrowd();
    LoadEffects();
    paused = 0;
    musicRetryAt = 0;
    musicRetryWait = 0;
    return 0;
}

void CAudioManager::Update()
{
    if (!g_SoundOn || paused || g_Clock.m_GameStep == 0.0f)
        return;
    if (listener)
        listener->CommitDeferredSettings();
    UpdateCrowd();
    UpdateOwnedSounds();
    UpdateMusic();
}

void CAudioManager::Release()
{
    if (!g_SoundOn)
        return;
    Log("\nCAudioManager::Release() start...");
    ReleaseSound(&currentMusic);
    musicOn = 0;
    ReleaseCrowd();
    ReleaseEffects();
    // Whatever is still listed was not given back by its owner.
    while (soundCount > 0)
    {
        LogString("\tSound lost! (Name: %s)", sounds[0]->name);
        CGameSound* first = sounds[0];
        ReleaseSound(&first);
    }
    if (listener)
        listener->Release();
    listener = nullptr;
    if (directSound)
        directSound->Release();
    directSound = nullptr;
    paused = 0;
    Log("CAudioManager::Release() done!\n");
}
