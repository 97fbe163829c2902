// The motorcycle's engine and tyre sounds on the recording sound device with
// the demo sounds: loaded near the camera, pitched by the speed, given back
// far away, under the menu and at release; the screech while a wheel marks a
// hard road.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "audio/AudioManager.h"
#include "core/Controls.h"
#include "core/Settings.h"
#include "platform/audio/DSoundBackend.h"
#include "racers/VehicleEngine.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"
#include "render/Views.h"
#include "tests/racers/VehicleTestSupport.h"

namespace
{

int s_MenuUp = 0;

class VehicleSoundDemoDataTest : public vehicletest::VehicleWorld
{
protected:
    void Start(bool demoArea)
    {
        Open(demoArea);
        DSoundSelectBackend(DSoundBackendKind::Recording);
        savedSound = g_SoundOn;
        g_SoundOn = 1;
        s_MenuUp = 0;
        g_ControlHooks.menuActive = [] { return s_MenuUp; };
        ASSERT_EQ(g_AudioManager.Create(nullptr), 0);
    }
    void TearDown() override
    {
        g_Vehicles.Clear();
        g_AudioManager.Release();
        g_ControlHooks = savedHooks;
        g_SoundOn = savedSound;
        DSoundSelectBackend(DSoundBackendKind::OpenAL);
        VehicleWorld::TearDown();
    }

    // The main camera a few metres from the motorcycle, so that it measures
    // that distance at its update.
    static void CameraAt(const CVehicleObject* v, float distance)
    {
        g_Views.mainCamera.eye =
            D3DXVECTOR3(v->worldCentre[0] + distance + v->boundRadius, v->worldCentre[1], v->worldCentre[2]);
    }

    static int SkidSlotsOf(const CVehicleObject* v)
    {
        int n = 0;
        for (const SoundSlot& s : g_AudioManager.skids)
            n += s.owner == v ? 1 : 0;
        return n;
    }

    int savedSound = 1;
    // The hooks as the game object wired them, put back after the test.
    ControlHooks savedHooks = g_ControlHooks;
};

TEST_F(VehicleSoundDemoDataTest, EngineLoadsNearAndFollowsTheSpeed)
{
    Start(false);
    CVehicleObject* v = Place(0, 0.0f, 1.0f, 0.0f);
    CameraAt(v, 10.0f);
    Frame(v);
    ASSERT_NE(v->EngineSound, nullptr);
    CGameSound* sound = v->EngineSound;
    EXPECT_STREQ(sound->name, "Data/Audio/En01.wav");   // the file's number 0, plus 1
    EXPECT_EQ(sound->type, SOUND_TYPE_3D);
    EXPECT_TRUE(sound->IsPlaying()) << "started in the frame it was loaded";
    EXPECT_EQ(v->EngineVolume, 90.0f);
    const float base = (float)sound->baseFrequency;
    ASSERT_GT(base, 0.0f);
    // From the sound's own frequency the pitch slides towards the lowest
    // ratio of the first gear, by at most 75000 Hz a second.
    const float standing = base * EnginePitchRatio(0.0f);
    EXPECT_NEAR(v->EnginePitch, std::max(standing, base - 75000.0f * vehicletest::kStep), 1.0f);

    // Riding away the pitch follows the speed, at most 75000 Hz a second.
    for (int i = 0; i < 90; ++i)
    {
        const float before = v->EnginePitch;
        CameraAt(v, 10.0f);
        Frame(v, 2000.0f);
        EXPECT_LE(std::fabs(v->EnginePitch - before), 75000.0f * vehicletest::kStep + 0.5f);
    }
    EXPECT_EQ(v->EngineSound, sound) << "the same sound all along";
    EXPECT_GT(v->Speed, 10.0f);
    EXPECT_NEAR(v->EnginePitch, base * EnginePitchRatio(v->Speed), base * 0.05f);
}

TEST_F(VehicleSoundDemoDataTest, EngineGoesFarAwayUnderTheMenuAndAtRelease)
{
    Start(false);
    CVehicleObject* v = Place(0, 0.0f, 1.0f, 0.0f);
    CameraAt(v, 10.0f);
    Frame(v);
    ASSERT_NE(v->EngineSound, nullptr);
    const int loaded = g_AudioManager.soundCount;

    CameraAt(v, 80.0f);
    Frame(v);
    EXPECT_EQ(v->EngineSound, nullptr) << "beyond 75";
    EXPECT_EQ(g_AudioManager.soundCount, loaded - 1) << "given back";

    CameraAt(v, 10.0f);
    Frame(v);
    ASSERT_NE(v->EngineSound, nullptr) << "near again";
    s_MenuUp = 1;
    Frame(v);
    EXPECT_EQ(v->EngineSound, nullptr) << "under the menu";
    s_MenuUp = 0;

    g_SoundOn = 0;
    Frame(v);
    EXPECT_EQ(v->EngineSound, nullptr) << "with sound off nothing is loaded";
    g_SoundOn = 1;

    Frame(v);
    ASSERT_NE(v->EngineSound, nullptr);
    g_Vehicles.RemoveVehicle(v);
    EXPECT_EQ(g_AudioManager.soundCount, loaded - 1) << "released with the motorcycle";
}

TEST_F(VehicleSoundDemoDataTest, TyresScreechWhileAWheelMarksAHardRoad)
{
    Start(true);
    // A race-path point on the driven road.
    int point = -1;
    for (int i = 0; i < g_RacePathCount && point < 0; ++i)
        if (g_Landscape.GetRoutePower(g_RacePath[i]) > 75.0f)
            point = i;
    ASSERT_GE(point, 0);
    const float* p = g_RacePath[point];
    CVehicleObject* v = Place(0, p[0], p[1] + 1.0f, p[2]);
    std::copy(p, p + 3, v->worldCentre);
    v->cameraDistance = 5.0f;
    g_AudioManager.listenerPosition = D3DXVECTOR3(p[0], p[1], p[2]);

    v->UpdateTyreSound();
    EXPECT_EQ(v->TyreSound, nullptr) << "no wheel marks";

    // A wheel with an open skid strip (only its presence is looked at).
    CSkidStrip* strip = reinterpret_cast<CSkidStrip*>(v);
    v->SkidTrail[1] = strip;
    v->UpdateTyreSound();
    ASSERT_NE(v->TyreSound, nullptr);
    CGameSound* screech = v->TyreSound;
    EXPECT_EQ(SkidSlotsOf(v), 1);
    v->UpdateTyreSound();
    EXPECT_EQ(v->TyreSound, screech) << "started once";
    EXPECT_EQ(SkidSlotsOf(v), 1);

    v->SkidTrail[1] = nullptr;
    v->UpdateTyreSound();
    EXPECT_EQ(v->TyreSound, nullptr);
    EXPECT_EQ(SkidSlotsOf(v), 0) << "stopped";

    // Off the road the marks make no sound.
    v->SkidTrail[0] = strip;
    v->worldCentre[0] += 10000.0f;
    v->UpdateTyreSound();
    EXPECT_EQ(v->TyreSound, nullptr);
    v->SkidTrail[0] = nullptr;
}

}   // namespace
