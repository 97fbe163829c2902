#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "platform/audio/DSoundBackend.h"
#include "platform/audio/DSoundInternal.h"

namespace
{

WAVEFORMATEX Format(int channels, int rate = 22050)
{
    WAVEFORMATEX f = {};
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.nChannels = (WORD)channels;
    f.nSamplesPerSec = (DWORD)rate;
    f.wBitsPerSample = 16;
    f.nBlockAlign = (WORD)(channels * 2);
    f.nAvgBytesPerSec = f.nSamplesPerSec * f.nBlockAlign;
    return f;
}

// Runs on either backend; the OpenAL one uses the null output of the test environment.
class DSoundTest : public ::testing::TestWithParam<DSoundBackendKind>
{
protected:
    void SetUp() override
    {
        DSoundSelectBackend(GetParam());
        ASSERT_EQ(DirectSoundCreate8(nullptr, &ds, nullptr), DS_OK);
    }
    void TearDown() override
    {
        if (ds)
            ds->Release();
        DSoundSelectBackend(DSoundBackendKind::OpenAL);
        EXPECT_EQ(DSoundLiveBufferCount(), 0);
    }

    IDirectSoundBuffer8* Make(DWORD flags, int channels, DWORD bytes = 8820)
    {
        WAVEFORMATEX f = Format(channels);
        DSBUFFERDESC desc = {sizeof(DSBUFFERDESC), flags, bytes, 0, &f};
        IDirectSoundBuffer8* b = nullptr;
        EXPECT_EQ(ds->CreateSoundBuffer(&desc, &b, nullptr), DS_OK);
        if (b)
        {
            void* p = nullptr;
            DWORD n = 0;
            EXPECT_EQ(b->Lock(0, bytes, &p, &n, nullptr, nullptr, 0), DS_OK);
            int16_t* s = static_cast<int16_t*>(p);
            for (DWORD i = 0; i < n / 2; ++i)
                s[i] = (int16_t)(8000 * std::sin(0.1 * i));
            EXPECT_EQ(b->Unlock(p, n, nullptr, 0), DS_OK);
        }
        return b;
    }

    IDirectSound3DListener* Listener()
    {
        DSBUFFERDESC desc = {sizeof(DSBUFFERDESC), DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRL3D, 0, 0, nullptr};
        IDirectSoundBuffer8* primary = nullptr;
        EXPECT_EQ(ds->CreateSoundBuffer(&desc, &primary, nullptr), DS_OK);
        void* l = nullptr;
        EXPECT_EQ(primary->QueryInterface(IID_IDirectSound3DListener, &l), DS_OK);
        primary->Release();
        return static_cast<IDirectSound3DListener*>(l);
    }

    IDirectSound8* ds = nullptr;
};

TEST_P(DSoundTest, VolumeIsHundredthsOfADecibel)
{
    IDirectSoundBuffer8* b = Make(DSBCAPS_CTRLVOLUME, 1);
    const struct
    {
        LONG volume;
        float gain;
    } cases[] = {{0, 1.0f}, {-600, 0.501187f}, {-2000, 0.1f}, {-5000, 0.0031623f}, {-10000, 0.00001f}};
    for (const auto& c : cases)
    {
        EXPECT_EQ(b->SetVolume(c.volume), DS_OK);
        EXPECT_NEAR(DSoundEffectiveGain(b), c.gain, c.gain * 1e-4f) << c.volume;
    }
    EXPECT_EQ(b->SetVolume(1), DSERR_INVALIDPARAM);
    EXPECT_EQ(b->SetVolume(-10001), DSERR_INVALIDPARAM);
    IDirectSoundBuffer8* fixed = Make(0, 1);
    EXPECT_EQ(fixed->SetVolume(-100), DSERR_CONTROLUNAVAIL);
    fixed->Release();
    b->Release();
}

TEST_P(DSoundTest, FrequencyZeroIsTheSampleRate)
{
    IDirectSoundBuffer8* b = Make(DSBCAPS_CTRLFREQUENCY, 1);
    DWORD hz = 0;
    b->GetFrequency(&hz);
    EXPECT_EQ(hz, 22050u);
    EXPECT_EQ(b->SetFrequency(44100), DS_OK);
    b->GetFrequency(&hz);
    EXPECT_EQ(hz, 44100u);
    EXPECT_EQ(b->SetFrequency(DSBFREQUENCY_ORIGINAL), DS_OK);
    b->GetFrequency(&hz);
    EXPECT_EQ(hz, 22050u);
    EXPECT_EQ(b->SetFrequency(99), DSERR_INVALIDPARAM);
    EXPECT_EQ(b->SetFrequency(200001), DSERR_INVALIDPARAM);
    b->Release();
}

TEST_P(DSoundTest, PositionalBuffersAreMono)
{
    WAVEFORMATEX f = Format(2);
    DSBUFFERDESC desc = {sizeof(DSBUFFERDESC), DSBCAPS_CTRL3D, 8820, 0, &f};
    IDirectSoundBuffer8* b = nullptr;
    EXPECT_EQ(ds->CreateSoundBuffer(&desc, &b, nullptr), DSERR_INVALIDPARAM);
    EXPECT_EQ(b, nullptr);
    // A size that is not whole frames, and a bad format, are refused too.
    f = Format(1);
    desc.dwFlags = 0;
    desc.dwBufferBytes = 8821;
    EXPECT_EQ(ds->CreateSoundBuffer(&desc, &b, nullptr), DSERR_INVALIDPARAM);
    desc.dwBufferBytes = 8820;
    f.nBlockAlign = 3;
    EXPECT_EQ(ds->CreateSoundBuffer(&desc, &b, nullptr), DSERR_BADFORMAT);
}

TEST_P(DSoundTest, SilentBeyondTheMaximumDistanceFromTheCommit)
{
    IDirectSound3DListener* listener = Listener();
    IDirectSoundBuffer8* b = Make(DSBCAPS_CTRL3D | DSBCAPS_CTRLVOLUME | DSBCAPS_MUTE3DATMAXDISTANCE, 1);
    void* p = nullptr;
    ASSERT_EQ(b->QueryInterface(IID_IDirectSound3DBuffer, &p), DS_OK);
    IDirectSound3DBuffer* b3 = static_cast<IDirectSound3DBuffer*>(p);
    b3->SetMaxDistance(75.0f, DS3D_IMMEDIATE);
    b3->SetPosition(0, 0, 80, DS3D_DEFERRED);
    EXPECT_EQ(DSoundEffectiveGain(b), 1.0f);   // not yet
    listener->CommitDeferredSettings();
    EXPECT_EQ(DSoundEffectiveGain(b), 0.0f);
    D3DVECTOR at = {};
    b3->GetPosition(&at);
    EXPECT_EQ(at.z, 80.0f);
    listener->SetPosition(0, 0, 10, DS3D_IMMEDIATE);   // within 75 again
    EXPECT_EQ(DSoundEffectiveGain(b), 1.0f);
    EXPECT_EQ(b3->SetPosition(NAN, 0, 0, DS3D_IMMEDIATE), DSERR_INVALIDPARAM);
    EXPECT_EQ(b3->SetMinDistance(0.0f, DS3D_IMMEDIATE), DSERR_INVALIDPARAM);
    b3->Release();
    b->Release();
    listener->Release();
}

TEST_P(DSoundTest, StopKeepsThePlaceAndPlayOnAPlayingBufferGoesOn)
{
    IDirectSoundBuffer8* b = Make(DSBCAPS_CTRLVOLUME, 1, 44100 * 2);
    EXPECT_EQ(b->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    DWORD status = 0;
    b->GetStatus(&status);
    EXPECT_EQ(status, (DWORD)(DSBSTATUS_PLAYING | DSBSTATUS_LOOPING));
    EXPECT_EQ(b->SetCurrentPosition(2000), DS_OK);
    EXPECT_EQ(b->Play(0, 0, 0), DS_OK);   // no restart, only the looping changes
    b->GetStatus(&status);
    EXPECT_EQ(status, (DWORD)DSBSTATUS_PLAYING);
    EXPECT_EQ(b->Stop(), DS_OK);
    DWORD at = 0;
    b->GetCurrentPosition(&at, nullptr);
    EXPECT_GE(at, 2000u);
    EXPECT_LT(at, 44100u);   // long before the end
    b->GetStatus(&status);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(b->SetCurrentPosition(0), DS_OK);
    b->GetCurrentPosition(&at, nullptr);
    EXPECT_EQ(at, 0u);
    EXPECT_EQ(b->SetCurrentPosition(44100 * 2), DSERR_INVALIDPARAM);
    b->Release();
}

TEST_P(DSoundTest, ADuplicateSharesTheSamplesButNotTheState)
{
    IDirectSoundBuffer8* b = Make(DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLFREQUENCY, 1);
    b->SetVolume(-300);
    IDirectSoundBuffer8* copy = nullptr;
    ASSERT_EQ(ds->DuplicateSoundBuffer(b, &copy), DS_OK);
    void *p1 = nullptr, *p2 = nullptr;
    DWORD n = 0;
    b->Lock(0, 4, &p1, &n, nullptr, nullptr, 0);
    b->Unlock(p1, n, nullptr, 0);
    copy->Lock(0, 4, &p2, &n, nullptr, nullptr, 0);
    copy->Unlock(p2, n, nullptr, 0);
    EXPECT_EQ(p1, p2);
    LONG v = 0;
    copy->GetVolume(&v);
    EXPECT_EQ(v, -300);
    copy->Play(0, 0, 0);
    DWORD status = 0;
    b->GetStatus(&status);
    EXPECT_EQ(status, 0u);
    b->Release();   // the copy keeps the samples
    copy->GetStatus(&status);
    EXPECT_EQ(status, (DWORD)DSBSTATUS_PLAYING);
    copy->Release();
}

INSTANTIATE_TEST_SUITE_P(Backends, DSoundTest,
                         ::testing::Values(DSoundBackendKind::Recording, DSoundBackendKind::OpenAL),
                         [](const ::testing::TestParamInfo<DSoundBackendKind>& i) {
                             return std::string(i.param == DSoundBackendKind::OpenAL ? "OpenAL" : "Recording");
                         });

// What OpenAL is given: the gain, the pitch, and positions with z turned over.
TEST(DSoundOpenAL, HandsGainPitchAndMirroredPositionsToTheSource)
{
    DSoundSelectBackend(DSoundBackendKind::OpenAL);
    IDirectSound8* ds = nullptr;
    ASSERT_EQ(DirectSoundCreate8(nullptr, &ds, nullptr), DS_OK);
    WAVEFORMATEX f = Format(1);
    DSBUFFERDESC desc = {sizeof(DSBUFFERDESC), DSBCAPS_CTRL3D | DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLFREQUENCY, 4410, 0,
                         &f};
    IDirectSoundBuffer8* b = nullptr;
    ASSERT_EQ(ds->CreateSoundBuffer(&desc, &b, nullptr), DS_OK);
    void* p = nullptr;
    b->QueryInterface(IID_IDirectSound3DBuffer, &p);
    IDirectSound3DBuffer* b3 = static_cast<IDirectSound3DBuffer*>(p);
    b->SetVolume(-2000);
    b->SetFrequency(11025);
    b3->SetPosition(1, 2, 3, DS3D_IMMEDIATE);
    b3->SetMinDistance(7.5f, DS3D_IMMEDIATE);
    b->Play(0, 0, DSBPLAY_LOOPING);

    const ALuint source = static_cast<dsound::Buffer*>(b)->source;
    ASSERT_NE(source, 0u);
    ALfloat x = 0, y = 0, z = 0, gain = 0, pitch = 0, reference = 0;
    alGetSource3f(source, AL_POSITION, &x, &y, &z);
    alGetSourcef(source, AL_GAIN, &gain);
    alGetSourcef(source, AL_PITCH, &pitch);
    alGetSourcef(source, AL_REFERENCE_DISTANCE, &reference);
    EXPECT_EQ(x, 1.0f);
    EXPECT_EQ(y, 2.0f);
    EXPECT_EQ(z, -3.0f);
    EXPECT_NEAR(gain, 0.1f, 1e-5f);
    EXPECT_FLOAT_EQ(pitch, 0.5f);
    EXPECT_FLOAT_EQ(reference, 7.5f);
    ALint model = 0;
    model = alGetInteger(AL_DISTANCE_MODEL);
    EXPECT_EQ(model, AL_INVERSE_DISTANCE_CLAMPED);
    ALint state = 0;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    EXPECT_EQ(state, AL_PLAYING);
    b3->Release();
    b->Release();
    ds->Release();
}

}   // namespace
