#pragma once
// The sound device the game plays through: DirectSound 8 in names, values and
// conventions, so the sound code reads as it would on Windows, over OpenAL
// Soft (or a recording device for tests, see DSoundBackend.h).
//
// Conventions kept from DirectSound:
// - volume in hundredths of a decibel, 0 (full) down to -10000 (silence);
//   the gain is 10^(volume / 2000);
// - pan in hundredths of a decibel, -10000 (left only) to 10000 (right only);
// - frequency in Hz, 100..200000, 0 meaning the rate of the samples; the pitch
//   is frequency / rate;
// - positions left-handed (z into the screen), in the units of the world;
//   3D buffers take mono samples only, are attenuated by min / distance
//   (clamped to [min, max]) and, with DSBCAPS_MUTE3DATMAXDISTANCE, silent
//   beyond the maximum distance;
// - 3D values set with DS3D_DEFERRED take effect at the listener's
//   CommitDeferredSettings, those set with DS3D_IMMEDIATE at once;
// - Stop keeps the play position (Play continues from it), and Play on a
//   playing buffer only changes its looping.
// Objects are reference counted: every object handed out holds one reference
// that Release gives back. A buffer keeps its device alive.
#include "platform/d3d/D3D9Types.h"

// Results.
#define DS_OK                 ((HRESULT)0)
#define DS_NO_VIRTUALIZATION  ((HRESULT)0x0878000A)
#define MAKE_DSHRESULT(code)  ((HRESULT)(0x88780000u | (uint32_t)(code)))
#define DSERR_ALLOCATED       MAKE_DSHRESULT(10)
#define DSERR_CONTROLUNAVAIL  MAKE_DSHRESULT(30)
#define DSERR_INVALIDCALL     MAKE_DSHRESULT(50)
#define DSERR_PRIOLEVELNEEDED MAKE_DSHRESULT(70)
#define DSERR_BADFORMAT       MAKE_DSHRESULT(100)
#define DSERR_NODRIVER        MAKE_DSHRESULT(120)
#define DSERR_BUFFERLOST      MAKE_DSHRESULT(150)
#define DSERR_INVALIDPARAM    E_INVALIDARG
#define DSERR_OUTOFMEMORY     E_OUTOFMEMORY
#define DSERR_GENERIC         E_FAIL
#ifndef E_NOINTERFACE
#define E_NOINTERFACE ((HRESULT)0x80004002u)
#endif

// Buffer capabilities.
#define DSBCAPS_PRIMARYBUFFER       0x00000001
#define DSBCAPS_STATIC              0x00000002
#define DSBCAPS_LOCHARDWARE         0x00000004
#define DSBCAPS_LOCSOFTWARE         0x00000008
#define DSBCAPS_CTRL3D              0x00000010
#define DSBCAPS_CTRLFREQUENCY       0x00000020
#define DSBCAPS_CTRLPAN             0x00000040
#define DSBCAPS_CTRLVOLUME          0x00000080
#define DSBCAPS_MUTE3DATMAXDISTANCE 0x00020000

// Play flags and status bits.
#define DSBPLAY_LOOPING      0x00000001
#define DSBSTATUS_PLAYING    0x00000001
#define DSBSTATUS_BUFFERLOST 0x00000002
#define DSBSTATUS_LOOPING    0x00000004

// Lock flags.
#define DSBLOCK_FROMWRITECURSOR 0x00000001
#define DSBLOCK_ENTIREBUFFER    0x00000002

// Ranges.
#define DSBVOLUME_MIN         (-10000)
#define DSBVOLUME_MAX         0
#define DSBPAN_LEFT           (-10000)
#define DSBPAN_RIGHT          10000
#define DSBFREQUENCY_ORIGINAL 0
#define DSBFREQUENCY_MIN      100
#define DSBFREQUENCY_MAX      200000
#define DSBSIZE_MIN           4
#define DSBSIZE_MAX           0x0FFFFFFF

// 3D application modes.
#define DS3D_IMMEDIATE 0x00000000
#define DS3D_DEFERRED  0x00000001

// Cooperative levels.
#define DSSCL_NORMAL   0x00000001
#define DSSCL_PRIORITY 0x00000002

#define WAVE_FORMAT_PCM 1

#ifndef TRALLOWMERE_WAVEFORMATEX_DEFINED
#define TRALLOWMERE_WAVEFORMATEX_DEFINED
typedef struct tWAVEFORMATEX
{
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize;
} WAVEFORMATEX;
#endif

typedef struct _DSBUFFERDESC
{
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwBufferBytes;
    DWORD dwReserved;
    const WAVEFORMATEX* lpwfxFormat;
} DSBUFFERDESC;

// The interfaces QueryInterface hands out.
enum DSoundInterfaceId
{
    IID_IDirectSoundBuffer8,
    IID_IDirectSound3DBuffer,
    IID_IDirectSound3DListener,
};

class IDirectSound3DBuffer
{
public:
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
    virtual HRESULT SetPosition(float x, float y, float z, DWORD apply) = 0;
    virtual HRESULT SetVelocity(float x, float y, float z, DWORD apply) = 0;
    virtual HRESULT SetMinDistance(float distance, DWORD apply) = 0;
    virtual HRESULT SetMaxDistance(float distance, DWORD apply) = 0;
    // The values in effect (not those still waiting for a commit).
    virtual HRESULT GetPosition(D3DVECTOR* position) = 0;
    virtual HRESULT GetVelocity(D3DVECTOR* velocity) = 0;
    virtual HRESULT GetMinDistance(float* distance) = 0;
    virtual HRESULT GetMaxDistance(float* distance) = 0;

protected:
    virtual ~IDirectSound3DBuffer() {}
};

class IDirectSound3DListener
{
public:
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
    virtual HRESULT SetPosition(float x, float y, float z, DWORD apply) = 0;
    virtual HRESULT SetVelocity(float x, float y, float z, DWORD apply) = 0;
    virtual HRESULT SetOrientation(float frontX, float frontY, float frontZ, float topX, float topY, float topZ,
                                   DWORD apply) = 0;
    virtual HRESULT SetDopplerFactor(float factor, DWORD apply) = 0;
    // Every deferred value of the listener and of the device's 3D buffers
    // takes effect, all in one step.
    virtual HRESULT CommitDeferredSettings() = 0;
    virtual HRESULT GetPosition(D3DVECTOR* position) = 0;

protected:
    virtual ~IDirectSound3DListener() {}
};

class IDirectSoundBuffer8
{
public:
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
    virtual HRESULT QueryInterface(DSoundInterfaceId id, void** object) = 0;
    virtual HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) = 0;
    virtual HRESULT Stop() = 0;
    virtual HRESULT GetStatus(DWORD* status) = 0;
    virtual HRESULT SetCurrentPosition(DWORD bytes) = 0;
    virtual HRESULT GetCurrentPosition(DWORD* play, DWORD* write) = 0;
    virtual HRESULT SetVolume(LONG hundredthsDb) = 0;
    virtual HRESULT GetVolume(LONG* hundredthsDb) = 0;
    virtual HRESULT SetPan(LONG pan) = 0;
    virtual HRESULT GetPan(LONG* pan) = 0;
    virtual HRESULT SetFrequency(DWORD hz) = 0;
    virtual HRESULT GetFrequency(DWORD* hz) = 0;
    // The primary buffer takes the device's output format; others refuse.
    virtual HRESULT SetFormat(const WAVEFORMATEX* format) = 0;
    virtual HRESULT GetFormat(WAVEFORMATEX* format) = 0;
    // The samples of a buffer are written between Lock and Unlock; the region
    // never wraps, so the second part is always empty.
    virtual HRESULT Lock(DWORD offset, DWORD bytes, void** part1, DWORD* bytes1, void** part2, DWORD* bytes2,
                         DWORD flags) = 0;
    virtual HRESULT Unlock(void* part1, DWORD bytes1, void* part2, DWORD bytes2) = 0;
    virtual HRESULT Restore() = 0;

protected:
    virtual ~IDirectSoundBuffer8() {}
};

class IDirectSound8
{
public:
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
    virtual HRESULT SetCooperativeLevel(HWND window, DWORD level) = 0;
    virtual HRESULT CreateSoundBuffer(const DSBUFFERDESC* desc, IDirectSoundBuffer8** buffer, void* outer) = 0;
    // A buffer that plays the same samples (no copy) with its own position,
    // state, volume, frequency and 3D values (copied from the original).
    virtual HRESULT DuplicateSoundBuffer(IDirectSoundBuffer8* original, IDirectSoundBuffer8** duplicate) = 0;
    virtual HRESULT Compact() = 0;

protected:
    virtual ~IDirectSound8() {}
};

// Opens the default output device. `device` must be null (the default).
HRESULT DirectSoundCreate8(const void* device, IDirectSound8** sound, void* outer);
