#pragma once
// The objects behind the sound interfaces. One implementation serves both
// backends: every value is kept here, and on the OpenAL backend each change
// is also handed to OpenAL (a device without an OpenAL context is a
// recording one).
#include <AL/al.h>
#include <AL/alc.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio/DSound.h"

namespace dsound
{

class Device;

// Samples shared by a buffer and its duplicates.
struct Samples
{
    explicit Samples(Device* owner) : device(owner) {}
    ~Samples();
    Device* device;
    std::vector<uint8_t> bytes;
    WAVEFORMATEX format = {};
    ALuint alBuffer = 0;
};

struct Vec3
{
    float x, y, z;
};

struct Params3D
{
    Vec3 position = {0, 0, 0};
    Vec3 velocity = {0, 0, 0};
    float minDistance = 1.0f;
    float maxDistance = 1000000000.0f;
};

class Buffer : public IDirectSoundBuffer8, public IDirectSound3DBuffer
{
public:
    Buffer(Device* device, DWORD flags, bool primary);
    ~Buffer() override;

    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT QueryInterface(DSoundInterfaceId id, void** object) override;
    HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) override;
    HRESULT Stop() override;
    HRESULT GetStatus(DWORD* status) override;
    HRESULT SetCurrentPosition(DWORD bytes) override;
    HRESULT GetCurrentPosition(DWORD* play, DWORD* write) override;
    HRESULT SetVolume(LONG hundredthsDb) override;
    HRESULT GetVolume(LONG* hundredthsDb) override;
    HRESULT SetPan(LONG pan) override;
    HRESULT GetPan(LONG* pan) override;
    HRESULT SetFrequency(DWORD hz) override;
    HRESULT GetFrequency(DWORD* hz) override;
    HRESULT SetFormat(const WAVEFORMATEX* format) override;
    HRESULT GetFormat(WAVEFORMATEX* format) override;
    HRESULT Lock(DWORD offset, DWORD bytes, void** part1, DWORD* bytes1, void** part2, DWORD* bytes2,
                 DWORD flags) override;
    HRESULT Unlock(void* part1, DWORD bytes1, void* part2, DWORD bytes2) override;
    HRESULT Restore() override;

    // IDirectSound3DBuffer
    HRESULT SetPosition(float x, float y, float z, DWORD apply) override;
    HRESULT SetVelocity(float x, float y, float z, DWORD apply) override;
    HRESULT SetMinDistance(float distance, DWORD apply) override;
    HRESULT SetMaxDistance(float distance, DWORD apply) override;
    HRESULT GetPosition(D3DVECTOR* position) override;
    HRESULT GetVelocity(D3DVECTOR* velocity) override;
    HRESULT GetMinDistance(float* distance) override;
    HRESULT GetMaxDistance(float* distance) override;

    // Device side.
    void CommitDeferred();   // pending 3D values take effect
    void UpdateMute();       // against the listener's position in effect
    void FinishPlayback();   // as if the end was reached
    bool IsPlaying() const;
    float EffectiveGain() const;
    bool Is3D() const { return (flags & DSBCAPS_CTRL3D) != 0; }
    bool Loops() const { return looping; }

    Device* device;
    std::string name;   // "buf<n>" in the recording log
    DWORD flags;
    bool primary;
    std::shared_ptr<Samples> samples;
    LONG volume = 0;
    LONG pan = 0;
    DWORD frequency = 0;   // 0: the samples' rate
    bool looping = false;
    bool playing = false;   // recording backend
    bool lost = false;
    bool muted = false;
    DWORD position = 0;   // recording backend, and the offset for a new source
    Params3D pending;
    Params3D applied;
    bool dirty = false;
    ALuint source = 0;

private:
    bool EnsureSource();
    void ApplyGain();
    void ApplyPitch();
    void ApplyPlacement();
    HRESULT Set3D(DWORD apply);
    ULONG refs = 1;
};

class Listener : public IDirectSound3DListener
{
public:
    explicit Listener(Device* owner) : device(owner) {}
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT SetPosition(float x, float y, float z, DWORD apply) override;
    HRESULT SetVelocity(float x, float y, float z, DWORD apply) override;
    HRESULT SetOrientation(float frontX, float frontY, float frontZ, float topX, float topY, float topZ,
                           DWORD apply) override;
    HRESULT SetDopplerFactor(float factor, DWORD apply) override;
    HRESULT CommitDeferredSettings() override;
    HRESULT GetPosition(D3DVECTOR* position) override;

    struct Values
    {
        Vec3 position = {0, 0, 0};
        Vec3 velocity = {0, 0, 0};
        Vec3 front = {0, 0, 1};
        Vec3 top = {0, 1, 0};
        float doppler = 1.0f;
    };
    Values pending;
    Values applied;

private:
    void Apply(DWORD apply);
    Device* device;
};

class Device : public IDirectSound8
{
public:
    Device(ALCdevice* alDevice, ALCcontext* alContext);
    ~Device() override;
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT SetCooperativeLevel(HWND window, DWORD level) override;
    HRESULT CreateSoundBuffer(const DSBUFFERDESC* desc, IDirectSoundBuffer8** buffer, void* outer) override;
    HRESULT DuplicateSoundBuffer(IDirectSoundBuffer8* original, IDirectSoundBuffer8** duplicate) override;
    HRESULT Compact() override;

    bool UsesOpenAL() const { return context != nullptr; }
    // Makes this device's context current (OpenAL backend).
    void Use();
    void BeginBatch();
    void EndBatch();

    ALCdevice* alDevice;
    ALCcontext* context;
    Listener listener;
    std::vector<Buffer*> buffers;   // every buffer alive, primary ones too

private:
    ULONG refs = 1;
    void(AL_APIENTRY* deferUpdates)() = nullptr;
    void(AL_APIENTRY* processUpdates)() = nullptr;
};

// Recording log (only devices of the recording backend write to it).
void Record(const Device* device, const std::string& line);
// The forced result of a call, S_OK when none is set.
HRESULT Override(const char* call);
// Every device open now.
std::vector<Device*>& OpenDevices();
// "1.5" style numbers for the log.
std::string Num(float v);

}   // namespace dsound
