// The racers with their riders: the grid seats every racer, the computer
// racer's kick check asks its rider to kick, a fallen rider's wait for the
// respawn (at once for the player, out of sight for the others), and the
// player's fall under keyboard control.
#include <gtest/gtest.h>

#include <vector>

#include "common/Keywords.h"
#include "core/Controls.h"
#include "core/GameEventPost.h"
#include "core/RaceState.h"
#include "racers/RiderTestSupport.h"
#include "render/Views.h"

namespace
{

using ridertest::RiderWorld;
using vehicletest::kStep;

std::vector<int>& Posted()
{
    static std::vector<int> codes;
    return codes;
}

class RacerRiderDemoDataTest : public RiderWorld
{
protected:
    void SetUp() override
    {
        Posted().clear();
        g_GameEventHooks.post = [](int code, CVehicleObject*, int) { Posted().push_back(code); };
        g_GameEventHooks.running = nullptr;
    }
    void TearDown() override
    {
        g_GameEventHooks = m_SavedEventHooks;
        RiderWorld::TearDown();
    }

    // The hooks as the game object wired them, put back after the test.
    GameEventHooks m_SavedEventHooks = g_GameEventHooks;
};

TEST_F(RacerRiderDemoDataTest, TheGridSeatsEveryRacerAndARestartPutsFallenRidersBack)
{
    OpenWithRiders(true);
    CVehicleObject* player = g_Vehicles.CreatePlayer(nullptr, nullptr, nullptr);
    ASSERT_NE(player, nullptr);
    g_Vehicles.CreateGrid();
    ASSERT_EQ(g_RaceOrderCount, 8);
    for (int i = 0; i < g_RaceOrderCount; ++i)
    {
        ASSERT_NE(g_RaceOrder[i]->Rider, nullptr) << i;
        EXPECT_EQ(g_RaceOrder[i]->Rider->RagDoll, nullptr) << i;
        EXPECT_EQ(g_RaceOrder[i]->Rider->Vehicle, g_RaceOrder[i]) << i;
    }
    CHumanObject* fallen = g_RaceOrder[3]->Rider;
    fallen->SetRagdoll(1);
    ASSERT_NE(fallen->RagDoll, nullptr);
    g_Vehicles.CreateGrid();
    EXPECT_EQ(g_RaceOrder[3]->Rider, fallen);   // the same rider, back on
    EXPECT_EQ(fallen->RagDoll, nullptr);
}

TEST_F(RacerRiderDemoDataTest, TheKickCheckAsksAStraightSteeringRiderToKick)
{
    OpenWithRiders(false);
    CVehicleObject* racer = PlaceWithRider(0.0f, 0.3f, 0.0f);
    CVehicleObject* rival = Place(1, 1.0f, 0.3f, 0.2f);   // on the right, in reach
    racer->SyncFromBody();
    rival->SyncFromBody();
    racer->KickTimer = 0.3f;
    racer->Steer = 0.1f;
    EXPECT_EQ(racer->AiKickCheck(), 1);
    EXPECT_EQ(racer->Rider->KickRightRequest, 1);
    EXPECT_EQ(racer->Rider->KickLeftRequest, 0);

    // Standing up or kicking, or fallen, the rider starts no new kick.
    racer->Rider->KickRightRequest = 0;
    for (int action : {(int)ACTION_STANDUP, (int)ACTION_KICK_LEFT})
    {
        racer->Rider->SetAction(action);
        racer->KickTimer = 0.3f;
        EXPECT_EQ(racer->AiKickCheck(), 0) << action;
        EXPECT_FLOAT_EQ(racer->KickTimer, 0.3f) << action;
        EXPECT_EQ(racer->Rider->KickRightRequest, 0) << action;
    }
    racer->Rider->SetAction(ACTION_STEERING);
    racer->Rider->SetRagdoll(1);
    EXPECT_EQ(racer->AiKickCheck(), 0);
}

TEST_F(RacerRiderDemoDataTest, AFallenRacerWaitsOutOfSightAndThePlayerNot)
{
    OpenWithRiders(true);
    ASSERT_GT(g_RacePathCount, 40);
    struct Case
    {
        const char* name;
        bool player;
        int visible;
        bool respawned;
    };
    const Case cases[] = {{"a racer in sight waits", false, 1, false},
                          {"a racer out of sight comes back", false, 0, true},
                          {"the player comes back in sight", true, 1, true}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const float* p = g_RacePath[30];
        CVehicleObject* v = PlaceWithRider(p[0], p[1] + 0.5f, p[2]);
        v->PathPoint = 30;
        v->DriveState = DRIVE_AI;
        if (c.player)
            g_PlayerVehicle = v;
        v->Rider->SetRagdoll(1);
        int frames = 0;
        while (frames < 300 && v->Rider->RagDoll)
        {
            v->visible = c.visible;
            v->DriveAiRacer();
            ++frames;
            EXPECT_EQ(v->Throttle, 0.0f);
        }
        if (c.respawned)
        {
            EXPECT_EQ(v->Rider->RagDoll, nullptr);
            EXPECT_NEAR(frames * kStep, 4.0f, 2.5f * kStep);
            EXPECT_EQ(v->PathPoint, 25);
        }
        else
        {
            EXPECT_NE(v->Rider->RagDoll, nullptr);
        }
        g_PlayerVehicle = nullptr;
        g_Vehicles.Clear();
    }
}

// A fall seen from the player's on-board eye: the camera steps back to the
// far chase while the rider is down (the eye would tumble with the toppled
// motorcycle) and returns to the rider's eye after the respawn. A chase view
// stays what it was.
TEST_F(RacerRiderDemoDataTest, AFallOnBoardStepsBackToTheFarChaseUntilTheRespawn)
{
    OpenWithRiders(true);
    ASSERT_GT(g_RacePathCount, 40);
    CCamera& camera = g_Views.mainCamera;
    const D3DXVECTOR3 eye(0, 50, 0), at(0, 50, 1);
    camera.Init(&eye, &at, D3DX_PI / 2, 1.0f, CAMERA_NEAR_PLANE, CAMERA_FAR_PLANE, VIEWMODE_FREE, CAMERA_MAIN);
    g_Views.activeCamera = &camera;
    struct Case
    {
        int view;
        int whileDown;
    };
    for (const Case c : {Case{VIEWMODE_ONBOARD, VIEWMODE_CHASE_FAR}, Case{VIEWMODE_CHASE_NEAR, VIEWMODE_CHASE_NEAR},
                         Case{VIEWMODE_CHASE_FAR, VIEWMODE_CHASE_FAR}})
    {
        SCOPED_TRACE(c.view);
        const float* p = g_RacePath[30];
        CVehicleObject* v = PlaceWithRider(p[0], p[1] + 0.5f, p[2]);
        v->PathPoint = 30;
        g_PlayerVehicle = v;
        camera.SetMode(c.view, v);
        camera.Update();
        v->Rider->SetRagdoll(1);
        ASSERT_NE(v->Rider->RagDoll, nullptr);
        EXPECT_EQ(camera.viewMode, c.whileDown);
        EXPECT_EQ(camera.target, v);
        EXPECT_EQ(camera.lastPlayerMode, c.view);
        for (int i = 0; i < 30; ++i)
        {
            RiderFrame(v);
            camera.Update();
        }
        EXPECT_EQ(camera.viewMode, c.whileDown);
        v->Respawn();
        EXPECT_EQ(v->Rider->RagDoll, nullptr);
        EXPECT_EQ(camera.viewMode, c.view);
        EXPECT_EQ(camera.target, v);
        g_PlayerVehicle = nullptr;
        g_Vehicles.Clear();
    }
    g_Views.activeCamera = nullptr;
}

TEST_F(RacerRiderDemoDataTest, TheFallenPlayerAsksForTheRespawnAfterThreeSeconds)
{
    OpenWithRiders(false);
    CVehicleObject* v = PlaceWithRider(0.0f, 0.3f, 0.0f);
    v->ControlMode = CONTROL_KEYBOARD;
    v->Rider->SetRagdoll(1);
    g_ControlFlags[CTRL_THROTTLE] = 1;
    int frames = 0;
    while (Posted().empty() && frames < 400)
    {
        v->UpdatePlayerControl();
        EXPECT_EQ(v->Throttle, 0.0f);   // no requests while fallen
        ++frames;
    }
    g_ControlFlags[CTRL_THROTTLE] = 0;
    EXPECT_EQ(Posted(), std::vector<int>{GEVENT_RESPAWN});
    EXPECT_NEAR(frames * kStep, 3.0f, 2.5f * kStep);
}

TEST_F(RacerRiderDemoDataTest, ComputerRidersNeverStandUp)
{
    OpenWithRiders(true);
    for (int state : {DRIVE_AUTOPILOT, DRIVE_AI})
    {
        SCOPED_TRACE(state);
        const float* p = g_RacePath[20];
        CVehicleObject* v = PlaceWithRider(p[0], p[1] + 0.5f, p[2]);
        v->PathPoint = 20;
        v->Rider->StandUpRequest = 1;
        v->DriveState = state;
        v->UpdateController();
        EXPECT_EQ(v->Rider->StandUpRequest, 0);
    }
}

}   // namespace
