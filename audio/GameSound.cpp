#include "audio/GameSound.h"

#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>

#include "audio/AudioManager.h"
#include "core/DebugLog.h"
#include "core/GameClock.h"
#include "core/Settings.h"

namespace
{
// A sound playing from its block counts as playing this long after a start,
// whatever the device says.
const uint32_t kStartGraceMs = 250;
// RestoreIfLost gives up after this many answers that the buffer is still lost.
const int kRestoreTries = 100;

void ReleaseBuffer(IDirectSoundBuffer8*& b)
{
    if (b)
        b->Release();
    b = nullptr;
}

HRESULT CreateBuffer(DWORD flags, const WAVEFORMATEX& format, const uint8_t* samples, uint32_t bytes,
                     IDirectSoundBuffer8** out)
{
    *out = nullptr;
    IDirectSound8* ds = g_AudioManager.directSound;
    if (!ds)
        return E_FAIL;
    DSBUFFERDESC desc = {};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = flags;
    desc.dwBufferBytes = bytes;
    desc.lpwfxFormat = &format;
    const HRESULT hr = ds->CreateSoundBuffer(&desc, out, nullptr);
    if (hr != DS_OK && hr != DS_NO_VIRTUALIZATION)
        return hr;
    void* p1 = nullptr;
    DWORD n1 = 0;
    if ((*out)->Lock(0, bytes, &p1, &n1, nullptr, nullptr, 0) == DS_OK)
    {
        std::memcpy(p1, samples, n1);
        (*out)->Unlock(p1, n1, nullptr, 0);
    }
    return DS_OK;
}
}   // namespace

// ---------------------------------------------------------------------------
// Memory blocks

IDirectSoundBuffer8* GetBlockBuffer(SoundMemoryBlock* block, int type)
{
    if (!block || !block->data)
        return nullptr;
    const int mono = type == SOUND_TYPE_3D ? 1 : 0;
    if (block->buffers[mono])
        return block->buffers[mono];

    WaveLayout layout;
    const char* reason = nullptr;
    const uint8_t* bytes = static_cast<const uint8_t*>(block->data);
    if (ParseWave(bytes, block->size, &layout, &reason) != 0)
    {
        LogString("Unusable sound data: %s", reason);
        return nullptr;
    }
    std::vector<uint8_t> samples;
    WAVEFORMATEX format = layout.format;
    if (mono)
    {
        samples = DownmixToMono(bytes + layout.dataOffset, layout.dataSize, format);
        format.nChannels = 1;
        format.nBlockAlign = (WORD)(format.wBitsPerSample / 8);
        format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
    }
    else
        samples.assign(bytes + layout.dataOffset, bytes + layout.dataOffset + layout.dataSize);

    const DWORD flags = mono ? SOUND_FLAGS_3D : (DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN);
    IDirectSoundBuffer8* made = nullptr;
    if (CreateBuffer(flags, format, samples.data(), (uint32_t)samples.size(), &made) != DS_OK)
        return nullptr;
    block->buffers[mono] = made;
    return made;
}

void ReleaseBlock(SoundMemoryBlock* block)
{
    if (!block)
        return;
    if (block->referenceCount > 0)
        block->referenceCount--;
    if (block->referenceCount > 0)
        return;
    for (IDirectSoundBuffer8*& b : block->buffers)
        ReleaseBuffer(b);
    delete[] static_cast<uint8_t*>(block->data);
    block->data = nullptr;
    block->size = 0;
}

// ---------------------------------------------------------------------------

float g_FadeVolume = 100.0f;

LONG CGameSound::VolumeFor(int soundType, float percent)
{
    const float category = (float)(soundType == SOUND_TYPE_MUSIC ? g_MusicVolume : g_EffectsVolume);
    const float master = (float)g_MasterVolume * g_FadeVolume / 100.0f;
    const float value = -50.0f * (100.0f - percent * category * master / 10000.0f);
    if (!std::isfinite(value) || value < (float)DSBVOLUME_MIN)
        return DSBVOLUME_MIN;
    if (value > (float)DSBVOLUME_MAX)
        return DSBVOLUME_MAX;
    return (LONG)value;
}

CGameSound::CGameSound(const char* soundName, SoundMemoryBlock* block, int soundType, float minD, float maxD)
    : reader(nullptr), byteCount(0), type(soundType), repeats(0), paused(0), startTime(0), savedMusicTime(0),
      baseFrequency(0), volume(100.0f), minDistance(minD), maxDistance(maxD), memoryBlock(block), referenceCount(1),
      buffer(nullptr), buffer3D(nullptr)
{
    name[0] = 0;
    if (soundName)
    {
        std::strncpy(name, soundName, sizeof(name) - 1);
        name[sizeof(name) - 1] = 0;
    }
    if (block)
    {
        block->referenceCount++;
        CreatePath();
    }
}

void CGameSound::DropBuffers()
{
    if (buffer3D)
        buffer3D->Release();
    buffer3D = nullptr;
    ReleaseBuffer(buffer);
}

HRESULT CGameSound::Attach3D(int setDistances)
{
    void* object = nullptr;
    if (!buffer || buffer->QueryInterface(IID_IDirectSound3DBuffer, &object) != DS_OK)
    {
        ShowMessage("QueryInterface (IID_IDirectSound3DBuffer) failed!", "Sound error!", MB_ICONEXCLAMATION);
        return E_FAIL;
    }
    buffer3D = static_cast<IDirectSound3DBuffer*>(object);
    buffer3D->SetPosition(SOUND_PARKED_POSITION, SOUND_PARKED_POSITION, SOUND_PARKED_POSITION, DS3D_DEFERRED);
    buffer3D->SetVelocity(0, 0, 0, DS3D_DEFERRED);
    if (setDistances)
    {
        buffer3D->SetMinDistance(minDistance, DS3D_DEFERRED);
        buffer3D->SetMaxDistance(maxDistance, DS3D_DEFERRED);
    }
    return S_OK;
}

HRESULT CGameSound::CreatePath()
{
    IDirectSoundBuffer8* shared = GetBlockBuffer(memoryBlock, type);
    IDirectSound8* ds = g_AudioManager.directSound;
    if (!shared || !ds || ds->DuplicateSoundBuffer(shared, &buffer) != DS_OK)
    {
        buffer = nullptr;
        ShowMessage("SoundBuffer empty!", "CGameSound error!", MB_ICONEXCLAMATION);
        return E_FAIL;
    }
    DWORD hz = 0;
    buffer->GetFrequency(&hz);
    baseFrequency = hz;
    SetVolume(100.0f);
    if (type == SOUND_TYPE_3D)
        return Attach3D(1);
    return S_OK;
}

void CGameSound::Play(int loop)
{
    if (!buffer)
        return;
    paused = 0;
    if (!reader)
    {
        repeats = loop ? -1 : 0;
        buffer->Stop();
        buffer->SetCurrentPosition(0);
        buffer->Play(0, 0, loop ? DSBPLAY_LOOPING : 0);
        startTime = g_Clock.RealTimeMs();
        return;
    }
    Stop();
    repeats = loop ? DSBPLAY_LOOPING : 0;
    RestoreIfLost();
    buffer->Play(0, 0, (DWORD)repeats);
}

int CGameSound::IsPlaying()
{
    if (!buffer)
        return 0;
    if (!reader && g_Clock.RealTimeMs() - startTime < kStartGraceMs && startTime != 0)
        return 1;
    DWORD status = 0;
    if (buffer->GetStatus(&status) != DS_OK)
        return 0;
    return (status & DSBSTATUS_PLAYING) ? 1 : 0;
}

void CGameSound::Stop()
{
    // A stopped sound is not waiting to be resumed.
    paused = 0;
    startTime = 0;
    if (!buffer)
        return;
    buffer->Stop();
    buffer->SetCurrentPosition(0);
}

void CGameSound::Pause()
{
    if (!buffer || !IsPlaying())
        return;
    if (!reader)
    {
        if (paused)
            return;
        savedMusicTime = GetMusicTime();
    }
    buffer->Stop();
    paused = 1;
}

void CGameSound::Resume()
{
    if (!paused || !buffer)
        return;
    paused = 0;
    if (reader)
    {
        RestoreIfLost();
        buffer->Play(0, 0, (DWORD)repeats);
        return;
    }
    // The buffer kept its position when it was paused.
    if (buffer->Play(0, 0, repeats == -1 ? DSBPLAY_LOOPING : 0) == DS_OK)
        startTime = g_Clock.RealTimeMs();
    else
        Stop();
}

int CGameSound::GetMusicTime()
{
    if (!buffer || reader)
        return 0;
    WAVEFORMATEX format = {};
    DWORD at = 0;
    if (buffer->GetFormat(&format) != DS_OK || format.nAvgBytesPerSec == 0 ||
        buffer->GetCurrentPosition(&at, nullptr) != DS_OK)
        return 0;
    const uint64_t ms = (uint64_t)at * 1000u / format.nAvgBytesPerSec;
    return ms > 0x7FFFFFFFu ? 0x7FFFFFFF : (int)ms;
}

void CGameSound::SetVolume(float percent)
{
    volume = percent;
    if (buffer)
        buffer->SetVolume(VolumeFor(type, percent));
}

void CGameSound::ReapplyVolume()
{
    SetVolume(volume);
}

void CGameSound::SetFrequency(uint32_t hz)
{
    if (buffer)
        buffer->SetFrequency(hz);
}

void CGameSound::SetPosition(const D3DXVECTOR3* p)
{
    if (buffer3D && p)
        buffer3D->SetPosition(p->x, p->y, p->z, DS3D_DEFERRED);
}

void CGameSound::SetVelocity(const D3DXVECTOR3* v)
{
    if (buffer3D && v)
        buffer3D->SetVelocity(v->x, v->y, v->z, DS3D_DEFERRED);
}

void CGameSound::SetMinMaxDistance(float minD, float maxD)
{
    if (!buffer3D)
        return;
    buffer3D->SetMinDistance(minD, DS3D_DEFERRED);
    buffer3D->SetMaxDistance(maxD, DS3D_DEFERRED);
}

HRESULT CGameSound::ConvertToFX()
{
    Release();
    if (CreateFromWave() != S_OK)
    {
        LogString("Couldn't ConvertToFX() sound: %s", name);
        return E_FAIL;
    }
    SetVolume(100.0f);
    return S_OK;
}

HRESULT CGameSound::CreateFromWave()
{
    delete reader;
    reader = nullptr;
    DropBuffers();
    reader = new CWaveReader();
    if (reader->Open(name) != 0)
        return E_FAIL;
    reader->CloseHandle();

    static const DWORD kFlags[3] = {SOUND_FLAGS_2D, SOUND_FLAGS_MUSIC, SOUND_FLAGS_3D};
    WAVEFORMATEX format = *reader->format;
    if (type == SOUND_TYPE_3D && format.nChannels == 2)
    {
        // Positional sounds are mono: the two channels are mixed in Fill.
        format.nChannels = 1;
        format.nBlockAlign = (WORD)(format.wBitsPerSample / 8);
        format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
    }
    byteCount = reader->dataSize / reader->format->nBlockAlign * format.nBlockAlign;
    DSBUFFERDESC desc = {};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = kFlags[type >= 0 && type <= 2 ? type : 0];
    desc.dwBufferBytes = byteCount;
    desc.lpwfxFormat = &format;
    IDirectSound8* ds = g_AudioManager.directSound;
    const HRESULT hr = ds ? ds->CreateSoundBuffer(&desc, &buffer, nullptr) : E_FAIL;
    if (hr != DS_OK && hr != DS_NO_VIRTUALIZATION)
    {
        buffer = nullptr;
        ShowMessage("CreateSoundBuffer(...) failed!", "Sound error!", MB_ICONEXCLAMATION);
        return E_FAIL;
    }
    if (type == SOUND_TYPE_3D && Attach3D(1) != S_OK)
        return E_FAIL;
    Fill();
    DWORD hz = 0;
    buffer->GetFrequency(&hz);
    baseFrequency = hz;
    buffer->SetVolume(0);
    return S_OK;
}

HRESULT CGameSound::Duplicate(const CGameSound* source)
{
    delete reader;
    reader = nullptr;
    DropBuffers();
    reader = new CWaveReader();   // an empty reader: the copy counts as converted
    if (!source)
        return E_FAIL;
    std::memcpy(name, source->name, sizeof(name));
    byteCount = source->byteCount;
    type = source->type;
    baseFrequency = source->baseFrequency;
    volume = source->volume;
    minDistance = source->minDistance;
    maxDistance = source->maxDistance;
    IDirectSound8* ds = g_AudioManager.directSound;
    if (!source->buffer || !ds || ds->DuplicateSoundBuffer(source->buffer, &buffer) != DS_OK)
    {
        buffer = nullptr;
        ShowMessage("DuplicateSoundBuffer(...) failed!", "Sound error!", MB_ICONEXCLAMATION);
        return E_FAIL;
    }
    if (type == SOUND_TYPE_3D && Attach3D(0) != S_OK)
        return E_FAIL;
    DWORD hz = 0;
    buffer->GetFrequency(&hz);
    baseFrequency = hz;
    buffer->SetVolume(0);
    return S_OK;
}

void CGameSound::Fill()
{
    if (!reader || !buffer || reader->Open(name) != 0)
        return;
    const WAVEFORMATEX format = *reader->format;
    std::vector<uint8_t> data(reader->dataSize);
    uint32_t got = 0;
    reader->Read(reader->dataSize, data.data(), &got);
    reader->ResetFile();
    if (type == SOUND_TYPE_3D)
        data = DownmixToMono(data.data(), got, format);
    else
        data.resize(got);
    void* p1 = nullptr;
    DWORD n1 = 0;
    const DWORD bytes = (DWORD)(data.size() < byteCount ? data.size() : byteCount);
    if (bytes > 0 && buffer->Lock(0, bytes, &p1, &n1, nullptr, nullptr, 0) == DS_OK)
    {
        std::memcpy(p1, data.data(), n1);
        buffer->Unlock(p1, n1, nullptr, 0);
    }
    reader->Close();
}

void CGameSound::RestoreIfLost()
{
    if (!buffer)
        return;
    DWORD status = 0;
    if (buffer->GetStatus(&status) != DS_OK || !(status & DSBSTATUS_BUFFERLOST))
        return;
    for (int tries = 0; tries < kRestoreTries; ++tries)
    {
        const HRESULT hr = buffer->Restore();
        if (hr == DS_OK)
        {
            Fill();
            return;
        }
        if (hr != DSERR_BUFFERLOST)
            return;   // the device refuses for good: the sound stays silent
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

void CGameSound::Release()
{
    Stop();
    if (referenceCount > 0)
        referenceCount--;
    if (referenceCount == 0)
    {
        DropBuffers();
        if (memoryBlock)
            ReleaseBlock(memoryBlock);
        memoryBlock = nullptr;
    }
    delete reader;
    reader = nullptr;
}
