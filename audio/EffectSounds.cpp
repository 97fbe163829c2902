// The pooled effect sounds (rider voices, impacts, skids, engine masters) and
// the crowd. A pool is a ring: a request looks only at the slot the ring has
// reached and is dropped when that slot is still busy or the owner is far.
#include <cstdio>
#include <cstring>

#include "audio/AudioManager.h"
#include "core/Controls.h"
#include "core/GameClock.h"
#include "core/Settings.h"
#include "platform/os/Rand.h"

SoundOwnerAccess g_SoundOwnerAccess;

namespace
{

const float kFarAway = 1.0e9f;
const float kOrigin[3] = {0.0f, 0.0f, 0.0f};

float DistanceOf(const CStaticObject* owner)
{
    return g_SoundOwnerAccess.cameraDistance ? g_SoundOwnerAccess.cameraDistance(owner) : kFarAway;
}

D3DXVECTOR3 CentreOf(const CStaticObject* owner)
{
    const float* p = g_SoundOwnerAccess.worldCentre ? g_SoundOwnerAccess.worldCentre(owner) : kOrigin;
    return D3DXVECTOR3(p[0], p[1], p[2]);
}

D3DXVECTOR3 VelocityOf(const CStaticObject* owner)
{
    const float* v = g_SoundOwnerAccess.linearVelocity ? g_SoundOwnerAccess.linearVelocity(owner) : kOrigin;
    return D3DXVECTOR3(v[0], v[1], v[2]);
}

// The demonstration race behind the front-end menu makes no effect sounds.
bool MenuShown()
{
    return g_ControlHooks.menuActive && g_ControlHooks.menuActive();
}

void FreeSlot(SoundSlot& slot)
{
    slot.owner = nullptr;
    if (slot.sound)
        slot.sound->Stop();
}

void LoadSlot(SoundSlot& slot, const char* format, int number)
{
    char name[64];
    std::snprintf(name, sizeof(name), format, number);
    slot.sound = g_AudioManager.LoadSound(name, SOUND_TYPE_3D, EFFECT_MIN_DISTANCE, EFFECT_DISTANCE);
    slot.owner = nullptr;
}

const char* const kCrowdFiles[CROWD_KINDS] = {"Data/Audio/App%02d.wav", "Data/Audio/Foo%02d.wav",
                                              "Data/Audio/Yea%02d.wav"};

}   // namespace

void CAudioManager::LoadEffects()
{
    std::memset(voices, 0, sizeof(voices));
    std::memset(impacts, 0, sizeof(impacts));
    std::memset(skids, 0, sizeof(skids));
    std::memset(engines, 0, sizeof(engines));
    nextVoice[VOICE_MS] = nextVoice[VOICE_FS] = 0;
    nextImpact = 0;
    nextSkid = 0;
    if (!g_SoundOn)
        return;
    for (int i = 0; i < VOICES_PER_SET; ++i)
    {
        LoadSlot(voices[VOICE_MS][i], "Data/Audio/MS%02d.wav", i + 1);
        LoadSlot(voices[VOICE_FS][i], "Data/Audio/FS%02d.wav", i + 1);
    }
    for (int i = 0; i < IMPACT_SLOTS; ++i)
        LoadSlot(impacts[i], "Data/Audio/Imp%02d.wav", i + 1);
    for (int i = 0; i < SKID_SLOTS; ++i)
        LoadSlot(skids[i], "Data/Audio/WhS%02d.wav", i + 1);
    // The engine masters are never played: each motorcycle's engine is a
    // duplicate of one (LoadSound finds the converted master).
    for (int i = 0; i < ENGINE_SLOTS; ++i)
    {
        LoadSlot(engines[i], "Data/Audio/En%02d.wav", i + 1);
        if (engines[i].sound)
            engines[i].sound->ConvertToFX();
    }
}

void CAudioManager::ResetCrowd()
{
    for (CGameSound*& c : crowd)
        c = nullptr;
    for (int& n : crowdVariants)
        n = CROWD_VARIANTS;
}

void CAudioManager::PlayCrowd(int kind, int on)
{
    if (!g_SoundOn || kind < 0 || kind >= CROWD_SLOTS)
        return;
    if (crowd[kind])
    {
        if (!on)
        {
            crowd[kind]->Stop();
            ReleaseSound(&crowd[kind]);
        }
        return;
    }
    // Before the sounds are loaded no family has variants to choose from.
    if (!on || kind >= CROWD_KINDS || crowdVariants[kind] <= 0)
        return;
    char name[64];
    std::snprintf(name, sizeof(name), kCrowdFiles[kind], GameRand() % crowdVariants[kind] + 1);
    crowd[kind] = LoadSound(name, SOUND_TYPE_2D, 1.0f, 10.0f);
    if (crowd[kind])
    {
        crowd[kind]->SetVolume(100.0f);
        crowd[kind]->Play(0);
    }
}

CGameSound* CAudioManager::TakeSlot(SoundSlot* slots, int count, int* next, CStaticObject* owner)
{
    if (!g_SoundOn || MenuShown() || !owner)
        return nullptr;
    SoundSlot& slot = slots[*next];
    if (!slot.sound || slot.sound->IsPlaying() || !(DistanceOf(owner) < EFFECT_DISTANCE))
        return nullptr;
    slot.owner = owner;
    *next = (*next + 1) % count;
    return slot.sound;
}

void CAudioManager::PlayImpact(float volumePercent, CStaticObject* owner)
{
    CGameSound* sound = TakeSlot(impacts, IMPACT_SLOTS, &nextImpact, owner);
    if (!sound)
        return;
    if (g_SoundOwnerAccess.setLastImpactSoundTime)
        g_SoundOwnerAccess.setLastImpactSoundTime(owner, g_Clock.GameTimeMs());
    const float factor = (float)(GameRand() % 101) * 0.005f + 0.75f;
    sound->SetFrequency((uint32_t)(factor * (float)sound->baseFrequency));
    const D3DXVECTOR3 centre = CentreOf(owner), velocity = VelocityOf(owner);
    sound->SetPosition(&centre);
    sound->SetVelocity(&velocity);
    sound->SetVolume(volumePercent);
    sound->Play(0);
}

void CAudioManager::PlayVoice(int set, float pitchFactor, CStaticObject* owner)
{
    if (set < 0 || set >= VOICE_SETS)
        return;
    CGameSound* sound = TakeSlot(voices[set], VOICES_PER_SET, &nextVoice[set], owner);
    if (!sound)
        return;
    // A pitch factor that is not a number, or one that would leave the
    // device's range, plays at the file's own rate.
    const float hz = (float)sound->baseFrequency * pitchFactor;
    sound->SetFrequency(hz >= DSBFREQUENCY_MIN && hz <= DSBFREQUENCY_MAX ? (uint32_t)hz : 0u);
    const D3DXVECTOR3 centre = CentreOf(owner);
    sound->SetPosition(&centre);
    sound->SetVolume(100.0f);
    sound->Play(0);
}

CGameSound* CAudioManager::PlaySkid(CStaticObject* owner)
{
    CGameSound* sound = TakeSlot(skids, SKID_SLOTS, &nextSkid, owner);
    if (!sound)
        return nullptr;
    const D3DXVECTOR3 centre = CentreOf(owner);
    sound->SetPosition(&centre);
    sound->SetVolume(100.0f);
    sound->Play(0);
    return sound;
}

void CAudioManager::StopImpactsOf(CStaticObject* owner)
{
    if (!owner)
        return;
    for (SoundSlot& s : impacts)
        if (s.owner == owner)
            FreeSlot(s);
}

void CAudioManager::StopSkidsOf(CStaticObject* owner)
{
    if (!owner)
        return;
    for (SoundSlot& s : skids)
        if (s.owner == owner)
            FreeSlot(s);
}

void CAudioManager::StopSoundsOf(const CStaticObject* owner)
{
    if (!owner)
        return;
    for (auto& set : voices)
        for (SoundSlot& s : set)
            if (s.owner == owner)
                FreeSlot(s);
    for (SoundSlot& s : impacts)
        if (s.owner == owner)
            FreeSlot(s);
    for (SoundSlot& s : skids)
        if (s.owner == owner)
            FreeSlot(s);
}

void CAudioManager::StopAllEffects()
{
    if (!g_SoundOn)
        return;
    for (auto& set : voices)
        for (SoundSlot& s : set)
            FreeSlot(s);
    for (SoundSlot& s : impacts)
        FreeSlot(s);
    for (SoundSlot& s : skids)
        FreeSlot(s);
    for (SoundSlot& s : engines)
        FreeSlot(s);
    for (int kind = 0; kind < CROWD_KINDS; ++kind)
        if (crowd[kind])
        {
            crowd[kind]->Stop();
            ReleaseSound(&crowd[kind]);
        }
}

void CAudioManager::UpdateCrowd()
{
    for (CGameSound*& c : crowd)
        if (c && !c->IsPlaying())
        {
            c->Stop();
            ReleaseSound(&c);
        }
}

void CAudioManager::UpdateOwnedSounds()
{
    auto follow = [](SoundSlot& s, bool withVelocity) {
        if (!s.owner || !s.sound)
            return;
        if (DistanceOf(s.owner) > EFFECT_DISTANCE)
        {
            FreeSlot(s);
            return;
        }
        if (!s.sound->IsPlaying())
        {
            FreeSlot(s);
            return;
        }
        const D3DXVECTOR3 centre = CentreOf(s.owner);
        s.sound->SetPosition(&centre);
        if (withVelocity)
        {
            const D3DXVECTOR3 velocity = VelocityOf(s.owner);
            s.sound->SetVelocity(&velocity);
        }
    };
    for (auto& set : voices)
        for (SoundSlot& s : set)
            follow(s, false);
    for (SoundSlot& s : impacts)
        follow(s, true);
    for (SoundSlot& s : skids)
        follow(s, false);
}

void CAudioManager::ReleaseCrowd()
{
    for (CGameSound*& c : crowd)
        ReleaseSound(&c);
}

void CAudioManager::ReleaseEffects()
{
    if (!g_SoundOn)
        return;
    for (auto& set : voices)
        for (SoundSlot& s : set)
            ReleaseSound(&s.sound);
    for (SoundSlot& s : impacts)
        ReleaseSound(&s.sound);
    for (SoundSlot& s : skids)
        ReleaseSound(&s.sound);
    for (SoundSlot& s : engines)
        ReleaseSound(&s.sound);
    std::memset(voices, 0, sizeof(voices));
    std::memset(impacts, 0, sizeof(impacts));
    std::memset(skids, 0, sizeof(skids));
    std::memset(engines, 0, sizeof(engines));
    nextVoice[VOICE_MS] = nextVoice[VOICE_FS] = 0;
    nextImpact = 0;
    nextSkid = 0;
}
