#include "audio/AudioFixture.h"
#include "platform/os/Rand.h"
#include "scene/StaticObject.h"

using namespace audiotest;

namespace
{

int s_MenuActive = 0;

class EffectSoundsTest : public AudioFixture
{
protected:
    void SetUp() override
    {
        AudioFixture::SetUp();
        s_MenuActive = 0;
        g_ControlHooks.menuActive = [] { return s_MenuActive; };
    }

    static void Place(CStaticObject& o, float distance)
    {
        o.cameraDistance = distance;
        o.worldCentre[0] = distance;
        o.worldCentre[1] = 1.0f;
        o.worldCentre[2] = 2.0f;
        o.linearVelocity[0] = 3.0f;
    }

    static D3DVECTOR PendingPosition(CGameSound* s)
    {
        // The placement takes effect at the next commit.
        g_AudioManager.listener->CommitDeferredSettings();
        D3DVECTOR p = {};
        s->buffer3D->GetPosition(&p);
        return p;
    }
};

TEST_F(EffectSoundsTest, ImpactTakesTheNextSlotAndSetsItUp)
{
    Start({});
    CStaticObject rider;
    Place(rider, 20.0f);
    g_Clock.m_GameClock = 123456.0f;
    g_AudioManager.PlayImpact(60.0f, &rider);
    SoundSlot& slot = g_AudioManager.impacts[0];
    EXPECT_EQ(slot.owner, &rider);
    EXPECT_EQ(g_AudioManager.nextImpact, 1);
    EXPECT_EQ(rider.lastImpactSoundTime, 123456u);
    EXPECT_TRUE(DevicePlaying(slot.sound));
    EXPECT_EQ(VolumeOf(slot.sound), -2000);
    DWORD hz = 0;
    slot.sound->buffer->GetFrequency(&hz);
    EXPECT_GE(hz, (DWORD)(0.75f * 22050));
    EXPECT_LE(hz, (DWORD)(1.25f * 22050));
    const D3DVECTOR p = PendingPosition(slot.sound);
    EXPECT_EQ(p.x, 20.0f);
    EXPECT_EQ(p.z, 2.0f);
    D3DVECTOR v = {};
    slot.sound->buffer3D->GetVelocity(&v);
    EXPECT_EQ(v.x, 3.0f);
}

TEST_F(EffectSoundsTest, RequestsAreDroppedWhenTheNextSlotIsBusyOrTheOwnerFar)
{
    Start({});
    CStaticObject far, edge, near;
    Place(far, 80.0f);
    Place(edge, 75.0f);
    Place(near, 10.0f);
    for (int i = 0; i < 17; ++i)
        g_AudioManager.PlayImpact(100.0f, &far);
    g_AudioManager.PlayImpact(100.0f, &edge);
    EXPECT_EQ(g_AudioManager.nextImpact, 0);
    for (const SoundSlot& s : g_AudioManager.impacts)
        EXPECT_EQ(s.owner, nullptr);

    // Slots 0..3 taken; slot 4's own sound still playing blocks the ring even
    // though slot 5 is free.
    for (int i = 0; i < 4; ++i)
        g_AudioManager.PlayImpact(100.0f, &near);
    g_AudioManager.impacts[4].sound->Play(0);
    g_AudioManager.PlayImpact(100.0f, &near);
    EXPECT_EQ(g_AudioManager.nextImpact, 4);
    EXPECT_EQ(g_AudioManager.impacts[5].owner, nullptr);

    // Skids and voices keep their own rings.
    EXPECT_EQ(g_AudioManager.PlaySkid(&far), nullptr);
    CGameSound* skid = g_AudioManager.PlaySkid(&near);
    EXPECT_EQ(skid, g_AudioManager.skids[0].sound);
    EXPECT_EQ(g_AudioManager.nextSkid, 1);
    g_AudioManager.PlayVoice(VOICE_FS, 1.5f, &near);
    EXPECT_EQ(g_AudioManager.nextVoice[VOICE_FS], 1);
    EXPECT_EQ(g_AudioManager.nextVoice[VOICE_MS], 0);
    DWORD hz = 0;
    g_AudioManager.voices[VOICE_FS][0].sound->buffer->GetFrequency(&hz);
    EXPECT_EQ(hz, 33075u);
}

TEST_F(EffectSoundsTest, AnOwnedSoundFollowsItsOwnerUntilItEndsOrTheOwnerLeaves)
{
    Start({});
    CStaticObject bike;
    Place(bike, 30.0f);
    g_AudioManager.PlayImpact(100.0f, &bike);
    g_AudioManager.PlaySkid(&bike);
    SoundSlot& impact = g_AudioManager.impacts[0];
    SoundSlot& skid = g_AudioManager.skids[0];

    // Exactly 75 away: it may not start a sound, but keeps the one it has.
    bike.cameraDistance = 75.0f;
    bike.worldCentre[0] = 44.0f;
    g_AudioManager.UpdateOwnedSounds();
    EXPECT_EQ(impact.owner, &bike);
    EXPECT_EQ(PendingPosition(impact.sound).x, 44.0f);

    // Once the sound has ended the slot is free again.
    AdvanceRealMs(300);
    DSoundFinishPlayback(skid.sound->buffer);
    g_AudioManager.UpdateOwnedSounds();
    EXPECT_EQ(skid.owner, nullptr);
    EXPECT_EQ(impact.owner, &bike);

    bike.cameraDistance = 76.0f;
    g_AudioManager.UpdateOwnedSounds();
    EXPECT_EQ(impact.owner, nullptr);
    EXPECT_FALSE(DevicePlaying(impact.sound));
}

TEST_F(EffectSoundsTest, AReleasedOwnerLeavesNoSlotBehind)
{
    Start({});
    CStaticObject* rider = new CStaticObject();
    Place(*rider, 5.0f);
    g_AudioManager.PlayVoice(VOICE_MS, 1.0f, rider);
    g_AudioManager.PlayImpact(100.0f, rider);
    g_AudioManager.PlaySkid(rider);
    CStaticObject other;
    Place(other, 5.0f);
    g_AudioManager.PlayImpact(100.0f, &other);

    rider->Release();
    delete rider;
    EXPECT_EQ(g_AudioManager.voices[VOICE_MS][0].owner, nullptr);
    EXPECT_EQ(g_AudioManager.impacts[0].owner, nullptr);
    EXPECT_EQ(g_AudioManager.skids[0].owner, nullptr);
    EXPECT_FALSE(DevicePlaying(g_AudioManager.impacts[0].sound));
    EXPECT_EQ(g_AudioManager.impacts[1].owner, &other);
    g_AudioManager.UpdateOwnedSounds();   // must not read the deleted object (ASan)
}

TEST_F(EffectSoundsTest, StopOfOneOwnerAndStopAll)
{
    Start({});
    CStaticObject a, b;
    Place(a, 5.0f);
    Place(b, 5.0f);
    g_AudioManager.PlayImpact(100.0f, &a);
    g_AudioManager.PlayImpact(100.0f, &b);
    g_AudioManager.PlaySkid(&a);
    g_AudioManager.StopImpactsOf(&a);
    EXPECT_EQ(g_AudioManager.impacts[0].owner, nullptr);
    EXPECT_EQ(g_AudioManager.impacts[1].owner, &b);
    EXPECT_EQ(g_AudioManager.skids[0].owner, &a);
    g_AudioManager.StopSkidsOf(&a);
    EXPECT_EQ(g_AudioManager.skids[0].owner, nullptr);

    g_AudioManager.PlayCrowd(CROWD_YEA, 1);
    ASSERT_NE(g_AudioManager.crowd[CROWD_YEA], nullptr);
    g_AudioManager.StopAllEffects();
    EXPECT_EQ(g_AudioManager.impacts[1].owner, nullptr);
    EXPECT_FALSE(DevicePlaying(g_AudioManager.impacts[1].sound));
    EXPECT_EQ(g_AudioManager.crowd[CROWD_YEA], nullptr);
    EXPECT_NE(g_AudioManager.impacts[1].sound, nullptr);   // the pools keep their sounds
}

TEST_F(EffectSoundsTest, TheMenuSilencesEffectsButNotTheCrowd)
{
    Start({});
    CStaticObject bike;
    Place(bike, 5.0f);
    s_MenuActive = 1;
    g_AudioManager.PlayImpact(100.0f, &bike);
    g_AudioManager.PlayVoice(VOICE_MS, 1.0f, &bike);
    EXPECT_EQ(g_AudioManager.PlaySkid(&bike), nullptr);
    EXPECT_EQ(g_AudioManager.impacts[0].owner, nullptr);
    EXPECT_EQ(g_AudioManager.voices[VOICE_MS][0].owner, nullptr);
    g_AudioManager.PlayCrowd(CROWD_APP, 1);
    ASSERT_NE(g_AudioManager.crowd[CROWD_APP], nullptr);
    EXPECT_TRUE(DevicePlaying(g_AudioManager.crowd[CROWD_APP]));
}

TEST_F(EffectSoundsTest, OneCheerAtATimeAndANewVariantAfterItEnds)
{
    Start({});
    // The variants drawn follow the game's generator.
    GameSrand(7);
    char first[64], second[64];
    std::snprintf(first, sizeof(first), "Data/Audio/App%02d.wav", GameRand() % 5 + 1);
    std::snprintf(second, sizeof(second), "Data/Audio/App%02d.wav", GameRand() % 5 + 1);
    GameSrand(7);
    const int count = g_AudioManager.soundCount;
    g_AudioManager.PlayCrowd(CROWD_APP, 1);
    CGameSound* cheer = g_AudioManager.crowd[CROWD_APP];
    ASSERT_NE(cheer, nullptr);
    EXPECT_EQ(VolumeOf(cheer), 0);
    EXPECT_STREQ(cheer->name, first);
    g_AudioManager.PlayCrowd(CROWD_APP, 1);
    EXPECT_EQ(g_AudioManager.crowd[CROWD_APP], cheer);
    EXPECT_EQ(g_AudioManager.soundCount, count + 1);

    AdvanceRealMs(300);
    DSoundFinishPlayback(cheer->buffer);
    g_AudioManager.UpdateCrowd();
    EXPECT_EQ(g_AudioManager.crowd[CROWD_APP], nullptr);
    EXPECT_EQ(g_AudioManager.soundCount, count);

    g_AudioManager.PlayCrowd(CROWD_APP, 1);
    ASSERT_NE(g_AudioManager.crowd[CROWD_APP], nullptr);
    EXPECT_STREQ(g_AudioManager.crowd[CROWD_APP]->name, second);

    g_AudioManager.PlayCrowd(CROWD_APP, 0);
    EXPECT_EQ(g_AudioManager.crowd[CROWD_APP], nullptr);
    g_AudioManager.PlayCrowd(3, 1);
    EXPECT_EQ(g_AudioManager.crowd[3], nullptr);
}

TEST_F(EffectSoundsTest, MissingEffectFilesLeaveTheirSlotsEmpty)
{
    Start({{"Data/Audio/Imp03.wav", Tone(22050, 500)}}, {}, false);
    EXPECT_EQ(g_AudioManager.impacts[0].sound, nullptr);
    EXPECT_NE(g_AudioManager.impacts[2].sound, nullptr);
    CStaticObject bike;
    Place(bike, 5.0f);
    g_AudioManager.PlayImpact(100.0f, &bike);
    EXPECT_EQ(g_AudioManager.nextImpact, 0);
    EXPECT_EQ(g_AudioManager.impacts[0].owner, nullptr);
}

}   // namespace
