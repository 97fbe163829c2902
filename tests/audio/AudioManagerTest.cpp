#include <fstream>

#include "AudioFixture.h"
#include "core/DebugLog.h"
#include "tests/support/Files.h"

using namespace audiotest;

namespace
{

const char kButton[] = "Data/Audio/Bt/Bt_In.wav";

class AudioManagerTest : public AudioFixture
{};

TEST_F(AudioManagerTest, VolumeFollowsPercentCategoryAndMaster)
{
    struct Case
    {
        int master, music, effects, type;
        float percent;
        LONG expected;
    } cases[] = {
        {100, 100, 50, SOUND_TYPE_3D, 100, -2500},   {0, 100, 100, SOUND_TYPE_3D, 100, -5000},
        {0, 30, 80, SOUND_TYPE_2D, 40, -5000},       {100, 100, 100, SOUND_TYPE_MUSIC, 75, -1250},
        {100, 100, 100, SOUND_TYPE_2D, 100, 0},      {100, 0, 100, SOUND_TYPE_MUSIC, 100, -5000},
        {50, 50, 100, SOUND_TYPE_MUSIC, 100, -3750}, {100, 100, 100, SOUND_TYPE_2D, 250, 0},
    };
    Start({{kButton, Tone(22050, 1000)}, {"m.wav", Tone(22050, 1000)}, {"p.wav", Tone(22050, 1000)}});
    CGameSound* plain = g_AudioManager.LoadSound(kButton, SOUND_TYPE_2D, 1, 10);
    CGameSound* music = g_AudioManager.LoadSound("m.wav", SOUND_TYPE_MUSIC, 1, 10);
    CGameSound* placed = g_AudioManager.LoadSound("p.wav", SOUND_TYPE_3D, 7.5f, 75);
    ASSERT_TRUE(plain && music && placed);
    for (const Case& c : cases)
    {
        SCOPED_TRACE(::testing::Message() << c.master << " " << c.music << " " << c.effects << " " << c.percent);
        g_MasterVolume = c.master;
        g_MusicVolume = c.music;
        g_EffectsVolume = c.effects;
        CGameSound* s = c.type == SOUND_TYPE_2D ? plain : c.type == SOUND_TYPE_MUSIC ? music : placed;
        s->SetVolume(c.percent);
        EXPECT_EQ(VolumeOf(s), c.expected);
        EXPECT_EQ(CGameSound::VolumeFor(c.type, c.percent), c.expected);
    }
    // The stored percent comes back with the settings of the moment.
    g_MasterVolume = g_EffectsVolume = 100;
    plain->SetVolume(50);
    g_AudioManager.SetMasterVolume(0.0f);
    EXPECT_EQ(g_MasterVolume, 0);
    EXPECT_EQ(VolumeOf(plain), -5000);
    g_AudioManager.SetMasterVolume(100.0f);
    EXPECT_EQ(VolumeOf(plain), -2500);
    g_AudioManager.SetMasterVolume(std::nanf(""));
    EXPECT_EQ(g_MasterVolume, 0);
    g_AudioManager.SetMasterVolume(1e30f);
    EXPECT_EQ(g_MasterVolume, 100);
}

TEST_F(AudioManagerTest, PlainSoundsAreSharedByNameAndCompactedOnRelease)
{
    Start({{kButton, Tone(22050, 1000)}, {"a.wav", Tone(22050, 1000)}, {"b.wav", Tone(22050, 1000)}});
    const int before = g_AudioManager.soundCount;
    CGameSound* a = g_AudioManager.LoadSound("a.wav", SOUND_TYPE_2D, 1, 10);
    CGameSound* first = g_AudioManager.LoadSound(kButton, SOUND_TYPE_2D, 1, 10);
    CGameSound* second = g_AudioManager.LoadSound(kButton, SOUND_TYPE_2D, 1, 10);
    CGameSound* b = g_AudioManager.LoadSound("b.wav", SOUND_TYPE_2D, 1, 10);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, second);
    EXPECT_EQ(first->referenceCount, 2);
    EXPECT_EQ(g_AudioManager.soundCount, before + 3);

    g_AudioManager.ReleaseSound(&first);
    EXPECT_EQ(first, nullptr);
    second->Play(0);
    EXPECT_TRUE(DevicePlaying(second));
    EXPECT_EQ(g_AudioManager.sounds[before + 1], second);

    g_AudioManager.ReleaseSound(&second);
    EXPECT_EQ(g_AudioManager.soundCount, before + 2);
    EXPECT_EQ(g_AudioManager.sounds[before], a);
    EXPECT_EQ(g_AudioManager.sounds[before + 1], b);
    EXPECT_EQ(g_AudioManager.sounds[before + 2], nullptr);

    // A pointer the manager never handed out is only cleared.
    CGameSound stranger("x.wav", nullptr, SOUND_TYPE_2D, 1, 10);
    CGameSound* slot = &stranger;
    g_AudioManager.ReleaseSound(&slot);
    EXPECT_EQ(slot, nullptr);
    EXPECT_EQ(stranger.referenceCount, 1);
    EXPECT_EQ(g_AudioManager.soundCount, before + 2);
}

TEST_F(AudioManagerTest, PositionalSoundsShareTheFileAndItsSamples)
{
    Start({}, {{"Data/Audio/Pos.wav", Tone(22050, 1000, 2)}});
    const int buffersBefore = DSoundLiveBufferCount();
    CGameSound* one = g_AudioManager.LoadSound("Data/Audio/Pos.wav", SOUND_TYPE_3D, 7.5f, 75);
    CGameSound* two = g_AudioManager.LoadSound("Data/Audio/Pos.wav", SOUND_TYPE_3D, 7.5f, 75);
    ASSERT_TRUE(one && two);
    EXPECT_NE(one, two);
    ASSERT_NE(one->memoryBlock, nullptr);
    EXPECT_EQ(one->memoryBlock, two->memoryBlock);
    EXPECT_EQ(one->memoryBlock->referenceCount, 2);
    // One mono buffer of the block, and each sound its own duplicate of it.
    EXPECT_EQ(DSoundLiveBufferCount(), buffersBefore + 3);
    WAVEFORMATEX format = {};
    one->buffer->GetFormat(&format);
    EXPECT_EQ(format.nChannels, 1);
    EXPECT_EQ(one->baseFrequency, 22050u);
    ASSERT_NE(one->buffer3D, nullptr);

    SoundMemoryBlock* block = one->memoryBlock;
    g_AudioManager.ReleaseSound(&one);
    EXPECT_NE(block->data, nullptr);
    g_AudioManager.ReleaseSound(&two);
    EXPECT_EQ(block->data, nullptr);
    EXPECT_EQ(DSoundLiveBufferCount(), buffersBefore);
}

TEST_F(AudioManagerTest, EngineLoadsDuplicateTheConvertedMaster)
{
    Start({});
    CGameSound* master = g_AudioManager.engines[2].sound;
    ASSERT_NE(master, nullptr);
    EXPECT_NE(master->reader, nullptr);
    EXPECT_EQ(master->memoryBlock, nullptr);
    CGameSound* engine = g_AudioManager.LoadSound("Data/Audio/En03.wav", SOUND_TYPE_3D, 7.5f, 75);
    ASSERT_NE(engine, nullptr);
    EXPECT_NE(engine, master);
    EXPECT_NE(engine->buffer, master->buffer);
    EXPECT_NE(engine->reader, nullptr);
    EXPECT_EQ(engine->baseFrequency, 22050u);
    // The copy has the master's samples and distances.
    float maxDistance = 0;
    engine->buffer3D->GetMaxDistance(&maxDistance);
    EXPECT_FLOAT_EQ(maxDistance, 75.0f);
    engine->SetFrequency(30000);
    DWORD hz = 0;
    engine->buffer->GetFrequency(&hz);
    EXPECT_EQ(hz, 30000u);
    master->buffer->GetFrequency(&hz);
    EXPECT_EQ(hz, 22050u);
    g_AudioManager.ReleaseSound(&engine);
    EXPECT_NE(master->buffer, nullptr);
}

TEST_F(AudioManagerTest, LooseFileIsTakenBeforeThePack)
{
    Start({{"Data/Audio/Same.wav", Tone(11025, 500)}}, {{"Data/Audio/Same.wav", Tone(22050, 500)}});
    CGameSound* s = g_AudioManager.LoadSound("Data/Audio/Same.wav", SOUND_TYPE_2D, 1, 10);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->baseFrequency, 11025u);
    CGameSound* packOnly = nullptr;
    std::filesystem::remove("Data/Audio/Same.wav");
    packOnly = g_AudioManager.LoadSound("Data/Audio/Same.wav", SOUND_TYPE_MUSIC, 1, 10);
    ASSERT_NE(packOnly, nullptr);
    EXPECT_EQ(packOnly->baseFrequency, 22050u);
}

TEST_F(AudioManagerTest, AnUnplayableFileIsNotASound)
{
    std::vector<uint8_t> broken = Tone(22050, 100);
    broken[20] = 3;   // IEEE float: not taken
    Start({{"bad.wav", broken}, {"text.wav", {'h', 'e', 'l', 'l', 'o'}}});
    g_DebugMode = 1;
    const int count = g_AudioManager.soundCount;
    for (int type : {SOUND_TYPE_2D, SOUND_TYPE_MUSIC, SOUND_TYPE_3D})
    {
        EXPECT_EQ(g_AudioManager.LoadSound("bad.wav", type, 1, 10), nullptr);
        EXPECT_EQ(g_AudioManager.LoadSound("text.wav", type, 1, 10), nullptr);
        EXPECT_EQ(g_AudioManager.LoadSound("missing.wav", type, 1, 10), nullptr);
    }
    EXPECT_EQ(g_AudioManager.soundCount, count);
    for (const SoundMemoryBlock& b : g_AudioManager.memoryBlocks)
        if (b.data)
        {
            EXPECT_GT(b.referenceCount, 0);
        }
    ASSERT_FALSE(Messages().empty());
    EXPECT_EQ(Messages().back(), "Couldn't load sound file! (1): missing.wav");
    EXPECT_EQ(Messages().front(), "Couldn't load sound file! (2): bad.wav");
}

TEST_F(AudioManagerTest, PlayingAgainRestartsAndPauseResumeContinues)
{
    Start({});
    // A converted sound (the engine master) and a sound playing from its block.
    for (CGameSound* s : {g_AudioManager.engines[0].sound, g_AudioManager.impacts[0].sound})
    {
        SCOPED_TRACE(s->name);
        s->Play(1);
        s->buffer->SetCurrentPosition(200);   // as if it had played a while
        s->Play(1);
        EXPECT_EQ(PositionOf(s), 0u);
        EXPECT_TRUE(DevicePlaying(s));

        s->buffer->SetCurrentPosition(300);
        s->Pause();
        EXPECT_EQ(s->paused, 1);
        EXPECT_FALSE(DevicePlaying(s));
        s->Pause();
        s->Resume();
        EXPECT_EQ(s->paused, 0);
        EXPECT_TRUE(DevicePlaying(s));
        EXPECT_EQ(PositionOf(s), 300u);
        DWORD status = 0;
        s->buffer->GetStatus(&status);
        EXPECT_NE(status & DSBSTATUS_LOOPING, 0u);

        // A sound stopped while paused is not brought back by a resume.
        s->Pause();
        s->Stop();
        s->Resume();
        EXPECT_FALSE(DevicePlaying(s));
    }
}

TEST_F(AudioManagerTest, ASoundFromItsBlockCountsAsPlayingRightAfterItStarts)
{
    Start({});
    CGameSound* s = g_AudioManager.impacts[0].sound;
    s->Play(0);
    DSoundFinishPlayback(s->buffer);   // the device says it has ended already
    EXPECT_EQ(s->IsPlaying(), 1);
    AdvanceRealMs(249);
    EXPECT_EQ(s->IsPlaying(), 1);
    AdvanceRealMs(2);
    EXPECT_EQ(s->IsPlaying(), 0);
    // A converted sound has no such grace.
    CGameSound* engine = g_AudioManager.engines[0].sound;
    engine->Play(0);
    DSoundFinishPlayback(engine->buffer);
    EXPECT_EQ(engine->IsPlaying(), 0);
}

TEST_F(AudioManagerTest, PauseAllTwiceThenResumeAllOnceResumesEverythingButTheMusic)
{
    Start({{"m.wav", Tone(22050, 5000)}});
    CGameSound* music = g_AudioManager.LoadSound("m.wav", SOUND_TYPE_MUSIC, 1, 10);
    CGameSound* effect = g_AudioManager.impacts[1].sound;
    CGameSound* idle = g_AudioManager.impacts[2].sound;
    music->Play(1);
    effect->Play(1);
    g_AudioManager.PauseAll();
    g_AudioManager.PauseAll();
    EXPECT_FALSE(DevicePlaying(effect));
    EXPECT_FALSE(DevicePlaying(idle));
    EXPECT_TRUE(DevicePlaying(music));
    // No listener moves while paused.
    const D3DXVECTOR3 p(1, 2, 3);
    g_AudioManager.SetListenerPosition(&p);
    EXPECT_NE(g_AudioManager.listenerPosition.x, 1.0f);
    g_AudioManager.ResumeAll();
    EXPECT_TRUE(DevicePlaying(effect));
    EXPECT_FALSE(DevicePlaying(idle));
    EXPECT_EQ(g_AudioManager.paused, 0);
    g_AudioManager.SetListenerPosition(&p);
    D3DVECTOR at = {};
    g_AudioManager.listener->GetPosition(&at);
    EXPECT_EQ(at.z, 3.0f);
}

TEST_F(AudioManagerTest, SoundOffNeverReachesTheDevice)
{
    g_SoundOn = 0;
    Start({{kButton, Tone(22050, 100)}});
    EXPECT_EQ(g_AudioManager.directSound, nullptr);
    EXPECT_EQ(g_AudioManager.LoadSound(kButton, SOUND_TYPE_2D, 1, 10), nullptr);
    g_AudioManager.PlayMusic(1, "Data/Audio/MusTrks/TrR00.wav", 1, 100);
    g_AudioManager.Update();
    g_AudioManager.PauseAll();
    g_AudioManager.ResumeAll();
    g_AudioManager.PlayCrowd(CROWD_APP, 1);
    g_AudioManager.StopAllEffects();
    g_AudioManager.Compact();
    g_AudioManager.ReapplyVolumes();
    const D3DXVECTOR3 p(0, 0, 0);
    g_AudioManager.SetListenerPosition(&p);
    g_AudioManager.Release();
    EXPECT_TRUE(DSoundRecordedCalls().empty());
}

TEST_F(AudioManagerTest, DeviceFailuresAtStartTurnSoundOff)
{
    const struct
    {
        const char* call;
        const char* message;
    } cases[] = {
        {"DirectSoundCreate8", "DirectSoundCreate8() failed!"},
        {"SetCooperativeLevel", "SetCooperativeLevel() failed!"},
        {"CreateSoundBuffer primary", "Creating primary buffer failed!"},
        {"SetFormat", "Setting primary buffer format failed!"},
        {"QueryInterface listener", "Init direct sound listener failed!"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.call);
        Messages().clear();
        g_SoundOn = 1;
        DSoundOverrideResult(c.call, E_FAIL);
        EXPECT_EQ(g_AudioManager.Create(nullptr), E_FAIL);
        EXPECT_EQ(g_SoundOn, 0);
        EXPECT_EQ(g_AudioManager.directSound, nullptr);
        ASSERT_EQ(Messages().size(), 1u);
        EXPECT_EQ(Messages()[0], std::string("Sound error!: ") + c.message);
        DSoundClearOverrides();
    }
    EXPECT_EQ(DSoundLiveBufferCount(), 0);
}

// A machine with nothing to play sound on starts silent, as with "Audio" 0,
// and says so in the log; a device that is there and fails is still a
// failure that ends the start.
TEST_F(AudioManagerTest, NoSoundDeviceAtAllStartsSilent)
{
    g_DebugLog = 1;
    Log(nullptr);
    DSoundOverrideResult("DirectSoundCreate8", DSERR_NODRIVER);
    EXPECT_EQ(g_AudioManager.Create(nullptr), 0);
    g_DebugLog = 0;
    EXPECT_EQ(g_SoundOn, 0);
    EXPECT_EQ(g_AudioManager.directSound, nullptr);
    EXPECT_TRUE(Messages().empty());
    EXPECT_NE(testsupport::ReadFileText("debug.txt").find("No sound output device found"), std::string::npos);
    EXPECT_EQ(g_AudioManager.LoadSound(kButton, SOUND_TYPE_2D, 1, 10), nullptr);
    g_AudioManager.Release();
    DSoundClearOverrides();

    g_SoundOn = 1;
    DSoundOverrideResult("DirectSoundCreate8", DSERR_GENERIC);
    EXPECT_EQ(g_AudioManager.Create(nullptr), E_FAIL);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Sound error!: DirectSoundCreate8() failed!"});
}

TEST_F(AudioManagerTest, ReleaseLogsTheSoundsNobodyGaveBack)
{
    g_DebugLog = 1;
    Log(nullptr);
    Start({{kButton, Tone(22050, 100)}});
    g_AudioManager.LoadSound(kButton, SOUND_TYPE_2D, 1, 10);
    g_AudioManager.LoadSound(kButton, SOUND_TYPE_2D, 1, 10);
    g_AudioManager.Release();
    g_DebugLog = 0;
    const std::string log = testsupport::ReadFileText("debug.txt");
    EXPECT_NE(log.find("CAudioManager::Release() start..."), std::string::npos);
    EXPECT_NE(log.find("\tSound lost! (Name: Data/Audio/Bt/Bt_In.wav)"), std::string::npos);
    EXPECT_NE(log.find("CAudioManager::Release() done!"), std::string::npos);
    EXPECT_EQ(log.find("Imp01"), std::string::npos);   // the pools gave theirs back
    EXPECT_EQ(g_AudioManager.soundCount, 0);
    EXPECT_EQ(DSoundLiveBufferCount(), 0);
}

TEST_F(AudioManagerTest, UpdateCommitsPlacementsOnceAFrame)
{
    Start({});
    CGameSound* s = g_AudioManager.impacts[0].sound;
    const D3DXVECTOR3 p(10, 0, 5);
    s->SetPosition(&p);
    D3DVECTOR at = {};
    s->buffer3D->GetPosition(&at);
    EXPECT_NE(at.x, 10.0f);
    g_Clock.m_GameStep = 0.0f;   // a paused game: nothing happens
    g_AudioManager.Update();
    s->buffer3D->GetPosition(&at);
    EXPECT_NE(at.x, 10.0f);
    g_Clock.m_GameStep = 0.016f;
    g_AudioManager.Update();
    s->buffer3D->GetPosition(&at);
    EXPECT_EQ(at.x, 10.0f);
    EXPECT_EQ(at.z, 5.0f);
}

}   // namespace

namespace
{

TEST_F(AudioManagerTest, StereoGivenToAPositionalSoundIsMixedDown)
{
    const std::vector<uint8_t> file = Tone(22050, 100, 2);
    Start({{"s.wav", file}});
    CGameSound* s = g_AudioManager.LoadSound("s.wav", SOUND_TYPE_3D, 7.5f, 75);
    ASSERT_NE(s, nullptr);
    ASSERT_EQ(s->ConvertToFX(), S_OK);   // the converted path mixes down too
    WAVEFORMATEX format = {};
    s->buffer->GetFormat(&format);
    EXPECT_EQ(format.nChannels, 1);
    EXPECT_EQ(s->byteCount, 200u);
    void* p = nullptr;
    DWORD n = 0;
    ASSERT_EQ(s->buffer->Lock(0, s->byteCount, &p, &n, nullptr, nullptr, 0), DS_OK);
    const int16_t* mono = static_cast<const int16_t*>(p);
    const int16_t* stereo = reinterpret_cast<const int16_t*>(file.data() + 44);
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(mono[i], (stereo[2 * i] + stereo[2 * i + 1]) / 2) << i;
    s->buffer->Unlock(p, n, nullptr, 0);
}

}   // namespace
