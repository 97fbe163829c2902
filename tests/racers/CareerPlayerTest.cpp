// The player's motorcycle follows the career: its model, its paint (the
// model's own taken over by a career with decal 0, a random scheme for one
// with decal -1) and the rider's voice.
#include <gtest/gtest.h>

#include <cstring>

#include "core/CareerData.h"
#include "platform/os/Rand.h"
#include "racers/RiderTestSupport.h"

namespace
{

using ridertest::RiderWorld;

class CareerPlayerDemoDataTest : public RiderWorld
{
protected:
    void SetUp() override { saved = g_Career; }
    void TearDown() override
    {
        g_Career = saved;
        RiderWorld::TearDown();
    }
    CareerData saved;
};

TEST_F(CareerPlayerDemoDataTest, PlayerRidesTheCareersModelPaintAndVoice)
{
    OpenWithRiders(false);
    std::memset(&g_Career, 0, sizeof(g_Career));
    g_Career.motorcycle = 2;
    g_Career.decalId = 3;
    const float c1[4] = {0.2f, 0.4f, 0.6f, 1.0f}, c2[4] = {0.9f, 0.1f, 0.0f, 1.0f};
    std::memcpy(g_Career.colour1, c1, sizeof(c1));
    std::memcpy(g_Career.colour2, c2, sizeof(c2));
    g_Career.voicePitch = 1.3f;
    g_Career.voiceIndex = 1;
    const float pos[3] = {0, 0.5f, 0}, target[3] = {0, 0.5f, 5};
    CVehicleObject* player = g_Vehicles.CreatePlayer(pos, target, nullptr);
    ASSERT_NE(player, nullptr);
    EXPECT_STREQ(player->path, g_VehicleModelFiles[2]);
    EXPECT_EQ(player->DecalId, 3);
    EXPECT_FLOAT_EQ(player->PaintColor1[1], 0.4f);
    EXPECT_FLOAT_EQ(player->PaintColor2[0], 0.9f);
    ASSERT_NE(player->Rider, nullptr);
    EXPECT_FLOAT_EQ(player->Rider->VoicePitch, 1.3f);
    EXPECT_EQ(player->Rider->VoiceIndex, 1);
}

// A motorcycle's paint scheme: decal and both colours.
struct Scheme
{
    int decal;
    float colour1[4], colour2[4];
};

Scheme SchemeOf(const CVehicleObject* v)
{
    Scheme s;
    s.decal = v->DecalId;
    std::memcpy(s.colour1, v->PaintColor1, sizeof(s.colour1));
    std::memcpy(s.colour2, v->PaintColor2, sizeof(s.colour2));
    return s;
}

bool operator==(const Scheme& a, const Scheme& b)
{
    return a.decal == b.decal && std::memcmp(a.colour1, b.colour1, sizeof(a.colour1)) == 0 &&
           std::memcmp(a.colour2, b.colour2, sizeof(a.colour2)) == 0;
}

// Decal 0 means the model's own paint: the career takes it over, and the
// player rides it.
TEST_F(CareerPlayerDemoDataTest, CareerWithDecalZeroTakesTheModelsOwnPaint)
{
    OpenWithRiders(false);
    ASSERT_EQ(g_Vehicles.Create(), 1);   // the showroom models
    std::memset(&g_Career, 0, sizeof(g_Career));
    g_Career.motorcycle = 1;
    const CVehicleObject* model = g_Vehicles.showroom[1];
    ASSERT_NE(model, nullptr);
    const float pos[3] = {0, 0.5f, 0}, target[3] = {0, 0.5f, 5};
    CVehicleObject* player = g_Vehicles.CreatePlayer(pos, target, nullptr);
    ASSERT_NE(player, nullptr);
    EXPECT_EQ(g_Career.decalId, model->DecalId);
    EXPECT_FLOAT_EQ(g_Career.colour1[0], model->PaintColor1[0]);
    EXPECT_FLOAT_EQ(g_Career.colour2[2], model->PaintColor2[2]);
    EXPECT_TRUE(SchemeOf(player) == SchemeOf(model));
    g_Vehicles.Release();
}

// Decal -1 (a new profile's) asks for a random scheme: each new player's
// motorcycle draws one from the game's generator, and the career keeps its
// -1 and its colours.
TEST_F(CareerPlayerDemoDataTest, CareerWithDecalMinusOneRidesARandomSchemeEachRace)
{
    OpenWithRiders(false);
    ASSERT_EQ(g_Vehicles.Create(), 1);   // the showroom models
    std::memset(&g_Career, 0, sizeof(g_Career));
    g_Career.motorcycle = 1;
    g_Career.decalId = -1;
    const CVehicleObject* model = g_Vehicles.showroom[1];
    ASSERT_NE(model, nullptr);
    const float pos[3] = {0, 0.5f, 0}, target[3] = {0, 0.5f, 5};
    Scheme drawn[3];
    const unsigned seeds[3] = {11, 11, 12};
    for (int race = 0; race < 3; ++race)
    {
        GameSrand(seeds[race]);
        CVehicleObject* player = g_Vehicles.CreatePlayer(pos, target, nullptr);
        ASSERT_NE(player, nullptr);
        drawn[race] = SchemeOf(player);
        EXPECT_EQ(g_Career.decalId, -1) << race;
        EXPECT_EQ(g_Career.colour1[0] + g_Career.colour1[3] + g_Career.colour2[3], 0.0f) << race;
        EXPECT_GE(player->DecalId, 1) << race;
        EXPECT_LE(player->DecalId, 10) << race;
        // Exactly one of the two colours is black and clear.
        const bool black1 = player->PaintColor1[3] == 0.0f, black2 = player->PaintColor2[3] == 0.0f;
        EXPECT_NE(black1, black2) << race;
        EXPECT_FALSE(drawn[race] == SchemeOf(model)) << race;
    }
    EXPECT_TRUE(drawn[0] == drawn[1]) << "the same draws, the same scheme";
    EXPECT_FALSE(drawn[0] == drawn[2]) << "other draws, another scheme";
    g_Vehicles.Release();
}

}   // namespace
