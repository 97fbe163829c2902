// The player's motorcycle follows the career: its model, its paint (or the
// model's own paint taken over by a career that has none yet) and the rider's
// voice.
#include <gtest/gtest.h>

#include <cstring>

#include "core/CareerData.h"
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

// Decal 0 ("the model's own paint") and -1 (a new profile's) both leave the
// career without a scheme: it takes the model's and keeps it, race after race.
TEST_F(CareerPlayerDemoDataTest, CareerWithoutPaintTakesTheModelsOwnAndKeepsIt)
{
    OpenWithRiders(false);
    ASSERT_EQ(g_Vehicles.Create(), 1);   // the showroom models
    for (int decal : {0, -1})
    {
        SCOPED_TRACE(decal);
        std::memset(&g_Career, 0, sizeof(g_Career));
        g_Career.motorcycle = 1;
        g_Career.decalId = decal;
        const CVehicleObject* model = g_Vehicles.showroom[1];
        ASSERT_NE(model, nullptr);
        const float pos[3] = {0, 0.5f, 0}, target[3] = {0, 0.5f, 5};
        for (int race = 0; race < 2; ++race)
        {
            CVehicleObject* player = g_Vehicles.CreatePlayer(pos, target, nullptr);
            ASSERT_NE(player, nullptr);
            EXPECT_EQ(g_Career.decalId, model->DecalId);
            EXPECT_FLOAT_EQ(g_Career.colour1[0], model->PaintColor1[0]);
            EXPECT_FLOAT_EQ(g_Career.colour2[2], model->PaintColor2[2]);
            EXPECT_EQ(player->DecalId, model->DecalId);
            EXPECT_FLOAT_EQ(player->PaintColor1[0], model->PaintColor1[0]);
            EXPECT_FLOAT_EQ(player->PaintColor2[1], model->PaintColor2[1]);
        }
    }
    g_Vehicles.Release();
}

}   // namespace
