#pragma once
// Controls of the sound layer that DirectSound does not have: which backend
// DirectSoundCreate8 opens, the recording log, forced failures and the end of
// playback on demand. The game itself only calls DirectSoundCreate8.
#include <string>
#include <vector>

#include "platform/audio/DSound.h"

enum class DSoundBackendKind
{
    OpenAL,      // plays through OpenAL Soft's default device (the default)
    Recording,   // plays nothing, keeps every value and logs every call
};

// Chooses what the next DirectSoundCreate8 opens. Devices already open keep
// theirs.
void DSoundSelectBackend(DSoundBackendKind kind);
DSoundBackendKind DSoundGetSelectedBackend();

// ---------------------------------------------------------------------------
// Recording log: one line per call on an object of the recording backend, the
// method and its arguments, objects by creation number, e.g.
//   "DirectSoundCreate8"
//   "CreateSoundBuffer(buf2, flags 0x200b0, 44100 bytes, 1 ch, 22050 Hz, 16
//   bits)" "buf2.SetVolume(-2500)" "buf2.3D.SetPosition(1, 2, 3, deferred)"
//   "Listener.CommitDeferredSettings"
// ---------------------------------------------------------------------------
const std::vector<std::string>& DSoundRecordedCalls();
void DSoundClearRecordedCalls();

// Makes the named call ("DirectSoundCreate8", "SetCooperativeLevel",
// "CreateSoundBuffer", "CreateSoundBuffer primary", "SetFormat",
// "QueryInterface listener", "QueryInterface 3D", "DuplicateSoundBuffer")
// fail with `result` from now on, on either backend; S_OK clears the rule.
void DSoundOverrideResult(const char* call, HRESULT result);
void DSoundClearOverrides();

// Ends the playback of a buffer as if it had reached its end (a looping one
// too): it is no longer playing and its position is 0. On either backend.
void DSoundFinishPlayback(IDirectSoundBuffer8* buffer);
// The same for every buffer that plays once, on every open device.
void DSoundFinishAllOnce();
// Marks a buffer of the recording backend lost: its status shows
// DSBSTATUS_BUFFERLOST and Play fails with DSERR_BUFFERLOST until Restore.
void DSoundSimulateBufferLost(IDirectSoundBuffer8* buffer);

// Buffers alive on all devices (duplicates included, primary buffers not).
int DSoundLiveBufferCount();
// Gain the output applies to a buffer now: its volume's gain, times 0 when
// a 3D buffer with DSBCAPS_MUTE3DATMAXDISTANCE lies beyond its maximum
// distance from the listener (as of the last commit).
float DSoundEffectiveGain(IDirectSoundBuffer8* buffer);
