// Sound buffers: samples, play state, volume, pan, frequency and 3D values,
// kept here and handed to an OpenAL source on the OpenAL backend.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "platform/audio/DSoundInternal.h"

namespace dsound
{
namespace
{
int s_BufferNumber = 0;

float GainOf(LONG hundredthsDb)
{
    return std::pow(10.0f, (float)hundredthsDb / 2000.0f);
}

ALenum AlFormat(const WAVEFORMATEX& f)
{
    if (f.nChannels == 1)
        return f.wBitsPerSample == 8 ? AL_FORMAT_MONO8 : AL_FORMAT_MONO16;
    return f.wBitsPerSample == 8 ? AL_FORMAT_STEREO8 : AL_FORMAT_STEREO16;
}

float DistanceSquared(const Vec3& a, const Vec3& b)
{
    const float dx = a.x - b.x, dy = a.y - b.y, dz = a.z - b.z;
    return dx * dx + dy * dy + dz * dz;
}

const char* Mode(DWORD apply)
{
    return apply == DS3D_IMMEDIATE ? "immediate" : "deferred";
}
}   // namespace

Samples::~Samples()
{
    if (alBuffer && device && device->UsesOpenAL())
    {
        device->Use();
        alDeleteBuffers(1, &alBuffer);
    }
}

Buffer::Buffer(Device* owner, DWORD bufferFlags, bool isPrimary) : device(owner), flags(bufferFlags), primary(isPrimary)
{
    name = isPrimary ? "primary" : "buf" + std::to_string(++s_BufferNumber);
    device->AddRef();
    device->buffers.push_back(this);
}

Buffer::~Buffer()
{
    auto& list = device->buffers;
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i] == this)
        {
            list.erase(list.begin() + (long)i);
            break;
        }
    if (source)
    {
        device->Use();
        alDeleteSources(1, &source);
    }
    samples.reset();   // before the device can go
    device->Release();
}

ULONG Buffer::AddRef()
{
    return ++refs;
}

ULONG Buffer::Release()
{
    const ULONG left = --refs;
    if (left == 0)
    {
        Record(device, name + ".Release");
        delete this;
    }
    return left;
}

HRESULT Buffer::QueryInterface(DSoundInterfaceId id, void** object)
{
    if (!object)
        return DSERR_INVALIDPARAM;
    *object = nullptr;
    switch (id)
    {
    case IID_IDirectSoundBuffer8:
        if (primary)
            return E_NOINTERFACE;
        AddRef();
        *object = static_cast<IDirectSoundBuffer8*>(this);
        return DS_OK;
    case IID_IDirectSound3DBuffer:
    {
        Record(device, name + ".QueryInterface(3D)");
        const HRESULT forced = Override("QueryInterface 3D");
        if (forced != S_OK)
            return forced;
        if (primary || !Is3D())
            return E_NOINTERFACE;
        AddRef();
        *object = static_cast<IDirectSound3DBuffer*>(this);
        return DS_OK;
    }
    case IID_IDirectSound3DListener:
    {
        Record(device, name + ".QueryInterface(listener)");
        const HRESULT forced = Override("QueryInterface listener");
        if (forced != S_OK)
            return forced;
        if (!primary || !Is3D())
            return E_NOINTERFACE;
        device->listener.AddRef();
        *object = static_cast<IDirectSound3DListener*>(&device->listener);
        return DS_OK;
    }
    }
    return E_NOINTERFACE;
}

bool Buffer::EnsureSource()
{
    if (!device->UsesOpenAL() || primary)
        return false;
    device->Use();
    Samples& s = *samples;
    if (!s.alBuffer)
    {
        alGetError();
        alGenBuffers(1, &s.alBuffer);
        if (alGetError() != AL_NO_ERROR)
        {
            s.alBuffer = 0;
            return false;
        }
        alBufferData(s.alBuffer, AlFormat(s.format), s.bytes.data(), (ALsizei)s.bytes.size(),
                     (ALsizei)s.format.nSamplesPerSec);
    }
    if (!source)
    {
        alGetError();
        alGenSources(1, &source);
        if (alGetError() != AL_NO_ERROR)
        {
            source = 0;
            return false;
        }
        alSourcei(source, AL_BUFFER, (ALint)s.alBuffer);
        if (position)
            alSourcei(source, AL_BYTE_OFFSET, (ALint)position);
        ApplyGain();
        ApplyPitch();
        ApplyPlacement();
    }
    return true;
}

float Buffer::EffectiveGain() const
{
    return muted ? 0.0f : GainOf(volume);
}

void Buffer::ApplyGain()
{
    if (source)
        alSourcef(source, AL_GAIN, EffectiveGain());
}

void Buffer::ApplyPitch()
{
    if (!source)
        return;
    const DWORD rate = samples->format.nSamplesPerSec;
    alSourcef(source, AL_PITCH, frequency == 0 || rate == 0 ? 1.0f : (float)frequency / (float)rate);
}

void Buffer::ApplyPlacement()
{
    if (!source)
        return;
    if (Is3D())
    {
        const Params3D& p = applied;
        // The game's axes are left-handed, OpenAL's right-handed: z turns over.
        alSourcei(source, AL_SOURCE_RELATIVE, AL_FALSE);
        alSource3f(source, AL_POSITION, p.position.x, p.position.y, -p.position.z);
        alSource3f(source, AL_VELOCITY, p.velocity.x, p.velocity.y, -p.velocity.z);
        alSourcef(source, AL_REFERENCE_DISTANCE, p.minDistance);
        alSourcef(source, AL_MAX_DISTANCE, p.maxDistance);
        alSourcef(source, AL_ROLLOFF_FACTOR, 1.0f);
        return;
    }
    // A plain buffer sits on the listener; a mono one is moved sideways by its
    // pan.
    const float left = pan > 0 ? GainOf(-pan) : 1.0f;
    const float right = pan < 0 ? GainOf(pan) : 1.0f;
    const float x = (right - left) / (right + left);
    alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
    alSourcef(source, AL_ROLLOFF_FACTOR, 0.0f);
    alSource3f(source, AL_POSITION, x, 0.0f, -std::sqrt(1.0f - x * x));
}

HRESULT Buffer::Play(DWORD, DWORD, DWORD playFlags)
{
    Record(device, name + ".Play(" + std::to_string(playFlags) + ")");
    if (primary)
        return DS_OK;
    if (lost)
        return DSERR_BUFFERLOST;
    looping = (playFlags & DSBPLAY_LOOPING) != 0;
    playing = true;
    if (EnsureSource())
    {
        alSourcei(source, AL_LOOPING, looping ? AL_TRUE : AL_FALSE);
        ALint state = AL_INITIAL;
        alGetSourcei(source, AL_SOURCE_STATE, &state);
        if (state != AL_PLAYING)
            alSourcePlay(source);
    }
    return DS_OK;
}

HRESULT Buffer::Stop()
{
    Record(device, name + ".Stop");
    if (primary)
        return DS_OK;
    playing = false;
    if (source)
    {
        device->Use();
        ALint state = AL_INITIAL;
        alGetSourcei(source, AL_SOURCE_STATE, &state);
        if (state == AL_PLAYING)
            alSourcePause(source);
    }
    return DS_OK;
}

bool Buffer::IsPlaying() const
{
    if (!source)
        return !device->UsesOpenAL() && playing;
    device->Use();
    ALint state = AL_INITIAL;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    return state == AL_PLAYING;
}

HRESULT Buffer::GetStatus(DWORD* status)
{
    if (!status)
        return DSERR_INVALIDPARAM;
    *status = 0;
    if (lost)
        *status |= DSBSTATUS_BUFFERLOST;
    if (!primary && IsPlaying())
        *status |= DSBSTATUS_PLAYING | (looping ? DSBSTATUS_LOOPING : 0);
    return DS_OK;
}

HRESULT Buffer::SetCurrentPosition(DWORD bytes)
{
    Record(device, name + ".SetCurrentPosition(" + std::to_string(bytes) + ")");
    if (primary)
        return DSERR_INVALIDCALL;
    const DWORD align = samples->format.nBlockAlign ? samples->format.nBlockAlign : 1;
    if (bytes >= samples->bytes.size())
        return DSERR_INVALIDPARAM;
    position = bytes - bytes % align;
    if (source)
    {
        device->Use();
        ALint state = AL_INITIAL;
        alGetSourcei(source, AL_SOURCE_STATE, &state);
        if (state == AL_PAUSED || state == AL_STOPPED)
            alSourceRewind(source);   // back to the initial state: the next Play starts
                                      // at the offset
        alSourcei(source, AL_BYTE_OFFSET, (ALint)position);
    }
    return DS_OK;
}

HRESULT Buffer::GetCurrentPosition(DWORD* play, DWORD* write)
{
    if (primary)
        return DSERR_INVALIDCALL;
    DWORD at = position;
    if (source)
    {
        device->Use();
        ALint offset = 0;
        alGetSourcei(source, AL_BYTE_OFFSET, &offset);
        at = offset > 0 ? (DWORD)offset : 0;
    }
    if (play)
        *play = at;
    if (write)
        *write = at;
    return DS_OK;
}

HRESULT Buffer::SetVolume(LONG hundredthsDb)
{
    Record(device, name + ".SetVolume(" + std::to_string(hundredthsDb) + ")");
    if (!(flags & DSBCAPS_CTRLVOLUME))
        return DSERR_CONTROLUNAVAIL;
    if (hundredthsDb < DSBVOLUME_MIN || hundredthsDb > DSBVOLUME_MAX)
        return DSERR_INVALIDPARAM;
    volume = hundredthsDb;
    if (source)
    {
        device->Use();
        ApplyGain();
    }
    return DS_OK;
}

HRESULT Buffer::GetVolume(LONG* hundredthsDb)
{
    if (!hundredthsDb)
        return DSERR_INVALIDPARAM;
    if (!(flags & DSBCAPS_CTRLVOLUME))
        return DSERR_CONTROLUNAVAIL;
    *hundredthsDb = volume;
    return DS_OK;
}

HRESULT Buffer::SetPan(LONG newPan)
{
    Record(device, name + ".SetPan(" + std::to_string(newPan) + ")");
    if (!(flags & DSBCAPS_CTRLPAN) || Is3D())
        return DSERR_CONTROLUNAVAIL;
    if (newPan < DSBPAN_LEFT || newPan > DSBPAN_RIGHT)
        return DSERR_INVALIDPARAM;
    pan = newPan;
    if (source)
    {
        device->Use();
        ApplyPlacement();
    }
    return DS_OK;
}

HRESULT Buffer::GetPan(LONG* out)
{
    if (!out)
        return DSERR_INVALIDPARAM;
    if (!(flags & DSBCAPS_CTRLPAN) || Is3D())
        return DSERR_CONTROLUNAVAIL;
    *out = pan;
    return DS_OK;
}

HRESULT Buffer::SetFrequency(DWORD hz)
{
    Record(device, name + ".SetFrequency(" + std::to_string(hz) + ")");
    if (primary || !(flags & DSBCAPS_CTRLFREQUENCY))
        return DSERR_CONTROLUNAVAIL;
    if (hz != DSBFREQUENCY_ORIGINAL && (hz < DSBFREQUENCY_MIN || hz > DSBFREQUENCY_MAX))
        return DSERR_INVALIDPARAM;
    frequency = hz;
    if (source)
    {
        device->Use();
        ApplyPitch();
    }
    return DS_OK;
}

HRESULT Buffer::GetFrequency(DWORD* hz)
{
    if (!hz)
        return DSERR_INVALIDPARAM;
    if (primary)
        return DSERR_CONTROLUNAVAIL;
    *hz = frequency ? frequency : samples->format.nSamplesPerSec;
    return DS_OK;
}

HRESULT Buffer::SetFormat(const WAVEFORMATEX* format)
{
    char line[96];
    std::snprintf(line, sizeof(line), "primary.SetFormat(%u ch, %u Hz, %u bits)", format ? format->nChannels : 0u,
                  format ? (unsigned)format->nSamplesPerSec : 0u, format ? format->wBitsPerSample : 0u);
    Record(device, line);
    if (!primary)
        return DSERR_INVALIDCALL;
    const HRESULT forced = Override("SetFormat");
    if (forced != S_OK)
        return forced;
    if (!format || format->wFormatTag != WAVE_FORMAT_PCM || format->nChannels < 1 || format->nChannels > 2)
        return DSERR_BADFORMAT;
    return DS_OK;   // OpenAL mixes at the device's own rate
}

HRESULT Buffer::GetFormat(WAVEFORMATEX* format)
{
    if (!format || primary)
        return DSERR_INVALIDPARAM;
    *format = samples->format;
    return DS_OK;
}

HRESULT Buffer::Lock(DWORD offset, DWORD bytes, void** part1, DWORD* bytes1, void** part2, DWORD* bytes2,
                     DWORD lockFlags)
{
    if (primary || !part1 || !bytes1)
        return DSERR_INVALIDPARAM;
    const DWORD size = (DWORD)samples->bytes.size();
    if (lockFlags & DSBLOCK_ENTIREBUFFER)
    {
        offset = 0;
        bytes = size;
    }
    if (offset > size || bytes > size - offset || bytes == 0)
        return DSERR_INVALIDPARAM;
    if (lost)
        return DSERR_BUFFERLOST;
    *part1 = samples->bytes.data() + offset;
    *bytes1 = bytes;
    if (part2)
        *part2 = nullptr;
    if (bytes2)
        *bytes2 = 0;
    return DS_OK;
}

HRESULT Buffer::Unlock(void* part1, DWORD, void*, DWORD)
{
    Record(device, name + ".Unlock");
    if (primary || !part1)
        return DSERR_INVALIDPARAM;
    Samples& s = *samples;
    if (!device->UsesOpenAL() || !s.alBuffer)
        return DS_OK;   // the samples go to OpenAL when a source first needs them
    // OpenAL refuses new data for a buffer a source holds: the sources of
    // this buffer and its duplicates let go of it while they are silent.
    device->Use();
    for (Buffer* b : device->buffers)
        if (b->samples.get() == &s && b->source)
        {
            if (b->IsPlaying())
                return DSERR_INVALIDCALL;
            alSourceRewind(b->source);
            alSourcei(b->source, AL_BUFFER, 0);
        }
    alGetError();
    alBufferData(s.alBuffer, AlFormat(s.format), s.bytes.data(), (ALsizei)s.bytes.size(),
                 (ALsizei)s.format.nSamplesPerSec);
    const bool ok = alGetError() == AL_NO_ERROR;
    for (Buffer* b : device->buffers)
        if (b->samples.get() == &s && b->source)
            alSourcei(b->source, AL_BUFFER, (ALint)s.alBuffer);
    return ok ? DS_OK : DSERR_GENERIC;
}

HRESULT Buffer::Restore()
{
    Record(device, name + ".Restore");
    lost = false;
    return DS_OK;
}

// ---------------------------------------------------------------------------
// 3D values

HRESULT Buffer::Set3D(DWORD apply)
{
    if (apply == DS3D_IMMEDIATE)
    {
        applied = pending;
        dirty = false;
        if (source)
        {
            device->Use();
            ApplyPlacement();
        }
        UpdateMute();
    }
    else
        dirty = true;
    return DS_OK;
}

HRESULT Buffer::SetPosition(float x, float y, float z, DWORD apply)
{
    Record(device, name + ".3D.SetPosition(" + Num(x) + ", " + Num(y) + ", " + Num(z) + ", " + Mode(apply) + ")");
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z))
        return DSERR_INVALIDPARAM;
    pending.position = {x, y, z};
    return Set3D(apply);
}

HRESULT Buffer::SetVelocity(float x, float y, float z, DWORD apply)
{
    Record(device, name + ".3D.SetVelocity(" + Num(x) + ", " + Num(y) + ", " + Num(z) + ", " + Mode(apply) + ")");
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z))
        return DSERR_INVALIDPARAM;
    pending.velocity = {x, y, z};
    return Set3D(apply);
}

HRESULT Buffer::SetMinDistance(float distance, DWORD apply)
{
    Record(device, name + ".3D.SetMinDistance(" + Num(distance) + ", " + Mode(apply) + ")");
    if (!std::isfinite(distance) || distance <= 0.0f)
        return DSERR_INVALIDPARAM;
    pending.minDistance = distance;
    return Set3D(apply);
}

HRESULT Buffer::SetMaxDistance(float distance, DWORD apply)
{
    Record(device, name + ".3D.SetMaxDistance(" + Num(distance) + ", " + Mode(apply) + ")");
    if (!std::isfinite(distance) || distance <= 0.0f)
        return DSERR_INVALIDPARAM;
    pending.maxDistance = distance;
    return Set3D(apply);
}

HRESULT Buffer::GetPosition(D3DVECTOR* out)
{
    if (!out)
        return DSERR_INVALIDPARAM;
    out->x = applied.position.x;
    out->y = applied.position.y;
    out->z = applied.position.z;
    return DS_OK;
}

HRESULT Buffer::GetVelocity(D3DVECTOR* out)
{
    if (!out)
        return DSERR_INVALIDPARAM;
    out->x = applied.velocity.x;
    out->y = applied.velocity.y;
    out->z = applied.velocity.z;
    return DS_OK;
}

HRESULT Buffer::GetMinDistance(float* out)
{
    if (!out)
        return DSERR_INVALIDPARAM;
    *out = applied.minDistance;
    return DS_OK;
}

HRESULT Buffer::GetMaxDistance(float* out)
{
    if (!out)
        return DSERR_INVALIDPARAM;
    *out = applied.maxDistance;
    return DS_OK;
}

void Buffer::CommitDeferred()
{
    if (dirty)
    {
        applied = pending;
        dirty = false;
        if (source)
            ApplyPlacement();
    }
    UpdateMute();
}

void Buffer::UpdateMute()
{
    if (!Is3D() || primary)
        return;
    const bool wasMuted = muted;
    const float maxD = applied.maxDistance;
    muted = (flags & DSBCAPS_MUTE3DATMAXDISTANCE) &&
            DistanceSquared(applied.position, device->listener.applied.position) > maxD * maxD;
    if (muted != wasMuted && source)
    {
        device->Use();
        ApplyGain();
    }
}

void Buffer::FinishPlayback()
{
    playing = false;
    position = 0;
    if (source)
    {
        device->Use();
        alSourceRewind(source);
    }
}

}   // namespace dsound
