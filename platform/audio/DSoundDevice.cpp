// The sound device and its listener, the backend choice and the test controls.
#include <AL/alext.h>

#include <cmath>
#include <cstdio>
#include <map>

#include "platform/audio/DSoundBackend.h"
#include "platform/audio/DSoundInternal.h"
#include "platform/audio/SoundOutput.h"

namespace dsound
{
namespace
{
DSoundBackendKind s_Backend = DSoundBackendKind::OpenAL;
std::vector<std::string> s_Calls;
std::map<std::string, HRESULT> s_Overrides;

// Enough sources that every sound the game keeps can have one.
const ALCint kContextAttributes[] = {ALC_MONO_SOURCES, 1024, ALC_STEREO_SOURCES, 256, 0};

bool Finite(float x, float y, float z)
{
    return std::isfinite(x) && std::isfinite(y) && std::isfinite(z);
}
}   // namespace

void Record(const Device* device, const std::string& line)
{
    if (device == nullptr || !device->UsesOpenAL())
        s_Calls.push_back(line);
}

HRESULT Override(const char* call)
{
    auto it = s_Overrides.find(call);
    return it == s_Overrides.end() ? S_OK : it->second;
}

std::vector<Device*>& OpenDevices()
{
    static std::vector<Device*> devices;
    return devices;
}

std::string Num(float v)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%g", (double)v);
    return text;
}

// ---------------------------------------------------------------------------

Device::Device(ALCdevice* alDev, ALCcontext* alContext) : alDevice(alDev), context(alContext), listener(this)
{
    OpenDevices().push_back(this);
    if (!context)
        return;
    Use();
    alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
    if (alIsExtensionPresent("AL_SOFT_deferred_updates"))
    {
        deferUpdates = reinterpret_cast<void(AL_APIENTRY*)()>(alGetProcAddress("alDeferUpdatesSOFT"));
        processUpdates = reinterpret_cast<void(AL_APIENTRY*)()>(alGetProcAddress("alProcessUpdatesSOFT"));
    }
}

Device::~Device()
{
    auto& open = OpenDevices();
    for (size_t i = 0; i < open.size(); ++i)
        if (open[i] == this)
        {
            open.erase(open.begin() + (long)i);
            break;
        }
    if (context)
    {
        if (alcGetCurrentContext() == context)
            alcMakeContextCurrent(nullptr);
        alcDestroyContext(context);
    }
    if (alDevice)
        alcCloseDevice(alDevice);
}

void Device::Use()
{
    if (context && alcGetCurrentContext() != context)
        alcMakeContextCurrent(context);
}

void Device::BeginBatch()
{
    Use();
    if (deferUpdates)
        deferUpdates();
}

void Device::EndBatch()
{
    if (processUpdates)
        processUpdates();
}

ULONG Device::AddRef()
{
    return ++refs;
}

ULONG Device::Release()
{
    const ULONG left = --refs;
    if (left == 0)
    {
        Record(this, "DirectSound.Release");
        delete this;
    }
    return left;
}

HRESULT Device::SetCooperativeLevel(HWND, DWORD level)
{
    Record(this, "SetCooperativeLevel(" + std::to_string(level) + ")");
    const HRESULT forced = Override("SetCooperativeLevel");
    if (forced != S_OK)
        return forced;
    return level == DSSCL_NORMAL || level == DSSCL_PRIORITY ? DS_OK : DSERR_INVALIDPARAM;
}

HRESULT Device::CreateSoundBuffer(const DSBUFFERDESC* desc, IDirectSoundBuffer8** out, void*)
{
    if (!out)
        return DSERR_INVALIDPARAM;
    *out = nullptr;
    if (!desc)
        return DSERR_INVALIDPARAM;
    const bool primary = (desc->dwFlags & DSBCAPS_PRIMARYBUFFER) != 0;
    char line[160];
    if (primary)
    {
        std::snprintf(line, sizeof(line), "CreateSoundBuffer(primary, flags 0x%x)", (unsigned)desc->dwFlags);
        Record(this, line);
        const HRESULT forced = Override("CreateSoundBuffer primary");
        if (forced != S_OK)
            return forced;
        // The primary buffer has no samples of its own.
        if (desc->dwBufferBytes != 0 || desc->lpwfxFormat)
            return DSERR_INVALIDPARAM;
        *out = new Buffer(this, desc->dwFlags, true);
        return DS_OK;
    }

    const WAVEFORMATEX* f = desc->lpwfxFormat;
    std::snprintf(line, sizeof(line), "CreateSoundBuffer(flags 0x%x, %u bytes, %u ch, %u Hz, %u bits)",
                  (unsigned)desc->dwFlags, (unsigned)desc->dwBufferBytes, f ? (unsigned)f->nChannels : 0u,
                  f ? (unsigned)f->nSamplesPerSec : 0u, f ? (unsigned)f->wBitsPerSample : 0u);
    const HRESULT forced = Override("CreateSoundBuffer");
    if (forced != S_OK)
    {
        Record(this, line);
        return forced;
    }
    if (!f || f->wFormatTag != WAVE_FORMAT_PCM)
        return DSERR_BADFORMAT;
    if ((f->nChannels != 1 && f->nChannels != 2) || (f->wBitsPerSample != 8 && f->wBitsPerSample != 16) ||
        f->nBlockAlign != f->nChannels * f->wBitsPerSample / 8 || f->nSamplesPerSec < DSBFREQUENCY_MIN ||
        f->nSamplesPerSec > DSBFREQUENCY_MAX)
        return DSERR_BADFORMAT;
    // Positional buffers are mono, as with DirectSound.
    if ((desc->dwFlags & DSBCAPS_CTRL3D) && f->nChannels != 1)
        return DSERR_INVALIDPARAM;
    if (desc->dwBufferBytes < DSBSIZE_MIN || desc->dwBufferBytes > DSBSIZE_MAX ||
        desc->dwBufferBytes % f->nBlockAlign != 0)
        return DSERR_INVALIDPARAM;

    Buffer* buffer = new Buffer(this, desc->dwFlags, false);
    buffer->samples = std::make_shared<Samples>(this);
    buffer->samples->format = *f;
    buffer->samples->format.cbSize = 0;
    buffer->samples->bytes.assign(desc->dwBufferBytes, f->wBitsPerSample == 8 ? 0x80 : 0);
    std::string named = line;
    named.insert(named.find('(') + 1, buffer->name + ", ");
    Record(this, named);
    *out = buffer;
    return DS_OK;
}

HRESULT Device::DuplicateSoundBuffer(IDirectSoundBuffer8* original, IDirectSoundBuffer8** out)
{
    if (!out)
        return DSERR_INVALIDPARAM;
    *out = nullptr;
    Buffer* source = static_cast<Buffer*>(original);
    if (!source || source->primary || source->device != this)
        return DSERR_INVALIDPARAM;
    const HRESULT forced = Override("DuplicateSoundBuffer");
    if (forced != S_OK)
    {
        Record(this, "DuplicateSoundBuffer(" + source->name + ")");
        return forced;
    }
    Buffer* copy = new Buffer(this, source->flags, false);
    copy->samples = source->samples;
    copy->volume = source->volume;
    copy->pan = source->pan;
    copy->frequency = source->frequency;
    // The 3D values the original was last given, committed or not.
    copy->applied = source->pending;
    copy->pending = source->pending;
    copy->UpdateMute();
    Record(this, "DuplicateSoundBuffer(" + source->name + ") -> " + copy->name);
    *out = copy;
    return DS_OK;
}

HRESULT Device::Compact()
{
    Record(this, "Compact");
    return DS_OK;
}

// ---------------------------------------------------------------------------

ULONG Listener::AddRef()
{
    return device->AddRef();
}

ULONG Listener::Release()
{
    return device->Release();
}

void Listener::Apply(DWORD apply)
{
    if (apply != DS3D_IMMEDIATE)
        return;
    applied = pending;
    if (device->UsesOpenAL())
    {
        device->Use();
        const Values& v = applied;
        // The game's axes are left-handed, OpenAL's right-handed: z turns over.
        alListener3f(AL_POSITION, v.position.x, v.position.y, -v.position.z);
        alListener3f(AL_VELOCITY, v.velocity.x, v.velocity.y, -v.velocity.z);
        const ALfloat orientation[6] = {v.front.x, v.front.y, -v.front.z, v.top.x, v.top.y, -v.top.z};
        alListenerfv(AL_ORIENTATION, orientation);
        alDopplerFactor(v.doppler);
    }
    for (Buffer* b : device->buffers)
        b->UpdateMute();
}

HRESULT Listener::SetPosition(float x, float y, float z, DWORD apply)
{
    Record(device,
           "Listener.SetPosition(" + Num(x) + ", " + Num(y) + ", " + Num(z) + (apply ? ", deferred)" : ", immediate)"));
    if (!Finite(x, y, z))
        return DSERR_INVALIDPARAM;
    pending.position = {x, y, z};
    Apply(apply);
    return DS_OK;
}

HRESULT Listener::SetVelocity(float x, float y, float z, DWORD apply)
{
    Record(device,
           "Listener.SetVelocity(" + Num(x) + ", " + Num(y) + ", " + Num(z) + (apply ? ", deferred)" : ", immediate)"));
    if (!Finite(x, y, z))
        return DSERR_INVALIDPARAM;
    pending.velocity = {x, y, z};
    Apply(apply);
    return DS_OK;
}

HRESULT Listener::SetOrientation(float fx, float fy, float fz, float tx, float ty, float tz, DWORD apply)
{
    Record(device, "Listener.SetOrientation(" + Num(fx) + ", " + Num(fy) + ", " + Num(fz) + ", " + Num(tx) + ", " +
                       Num(ty) + ", " + Num(tz) + (apply ? ", deferred)" : ", immediate)"));
    if (!Finite(fx, fy, fz) || !Finite(tx, ty, tz))
        return DSERR_INVALIDPARAM;
    // Zero vectors or parallel ones give no orientation.
    const float cx = fy * tz - fz * ty, cy = fz * tx - fx * tz, cz = fx * ty - fy * tx;
    if (cx * cx + cy * cy + cz * cz <= 0.0f)
        return DSERR_INVALIDPARAM;
    pending.front = {fx, fy, fz};
    pending.top = {tx, ty, tz};
    Apply(apply);
    return DS_OK;
}

HRESULT Listener::SetDopplerFactor(float factor, DWORD apply)
{
    Record(device, "Listener.SetDopplerFactor(" + Num(factor) + (apply ? ", deferred)" : ", immediate)"));
    if (!std::isfinite(factor) || factor < 0.0f || factor > 10.0f)
        return DSERR_INVALIDPARAM;
    pending.doppler = factor;
    Apply(apply);
    return DS_OK;
}

HRESULT Listener::CommitDeferredSettings()
{
    Record(device, "Listener.CommitDeferredSettings");
    device->BeginBatch();
    Apply(DS3D_IMMEDIATE);
    for (Buffer* b : device->buffers)
        b->CommitDeferred();
    device->EndBatch();
    return DS_OK;
}

HRESULT Listener::GetPosition(D3DVECTOR* position)
{
    if (!position)
        return DSERR_INVALIDPARAM;
    position->x = applied.position.x;
    position->y = applied.position.y;
    position->z = applied.position.z;
    return DS_OK;
}

}   // namespace dsound

using namespace dsound;

HRESULT DirectSoundCreate8(const void* deviceId, IDirectSound8** sound, void*)
{
    if (!sound)
        return DSERR_INVALIDPARAM;
    *sound = nullptr;
    if (deviceId)
        return DSERR_NODRIVER;
    const HRESULT forced = Override("DirectSoundCreate8");
    if (s_Backend == DSoundBackendKind::Recording)
    {
        Record(nullptr, "DirectSoundCreate8");
        if (forced != S_OK)
            return forced;
        *sound = new Device(nullptr, nullptr);
        return DS_OK;
    }
    if (forced != S_OK)
        return forced;
    ALCdevice* alDev = alcOpenDevice(nullptr);
    if (!alDev)
    {
        // No driver at all is told apart from a device that is there and
        // fails (busy, or its server not answering).
        return SoundOutputPresent() ? DSERR_GENERIC : DSERR_NODRIVER;
    }
    ALCcontext* context = alcCreateContext(alDev, kContextAttributes);
    if (!context)
    {
        alcCloseDevice(alDev);
        return DSERR_GENERIC;
    }
    *sound = new Device(alDev, context);
    return DS_OK;
}

void DSoundSelectBackend(DSoundBackendKind kind)
{
    s_Backend = kind;
}

DSoundBackendKind DSoundGetSelectedBackend()
{
    return s_Backend;
}

const std::vector<std::string>& DSoundRecordedCalls()
{
    return s_Calls;
}

void DSoundClearRecordedCalls()
{
    s_Calls.clear();
}

void DSoundOverrideResult(const char* call, HRESULT result)
{
    if (result == S_OK)
        s_Overrides.erase(call);
    else
        s_Overrides[call] = result;
}

void DSoundClearOverrides()
{
    s_Overrides.clear();
}

void DSoundFinishPlayback(IDirectSoundBuffer8* buffer)
{
    if (buffer)
        static_cast<Buffer*>(buffer)->FinishPlayback();
}

void DSoundFinishAllOnce()
{
    for (Device* d : OpenDevices())
        for (Buffer* b : d->buffers)
            if (!b->primary && !b->Loops())
                b->FinishPlayback();
}

void DSoundSimulateBufferLost(IDirectSoundBuffer8* buffer)
{
    Buffer* b = static_cast<Buffer*>(buffer);
    if (b && !b->device->UsesOpenAL())
    {
        b->lost = true;
        b->playing = false;
    }
}

int DSoundLiveBufferCount()
{
    int n = 0;
    for (Device* d : OpenDevices())
        for (Buffer* b : d->buffers)
            if (!b->primary)
                ++n;
    return n;
}

float DSoundEffectiveGain(IDirectSoundBuffer8* buffer)
{
    return buffer ? static_cast<Buffer*>(buffer)->EffectiveGain() : 0.0f;
}
