// The race start on the small test area: the row's area loaded, the current
// row kept by -1 without a reload, failures reported to the caller, the
// editor's area without a motorcycle, and the race unloaded again.
#include <gtest/gtest.h>

#include <btBulletDynamicsCommon.h>

#include <cmath>

#include "app/Game.h"
#include "app/GameEvent.h"
#include "core/GameEventPost.h"
#include "core/RaceTable.h"
#include "core/Settings.h"
#include "interface/MainMenu.h"
#include "racers/VehicleManager.h"
#include "tools/DataTree.h"
#include "world/LandPart.h"
#include "world/Landscape.h"
#include "world/LandscapeTestSupport.h"

namespace
{

class RaceStartTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        landtest::AddArea(m_Tree, landtest::AreaSpec());   // area 0 only
        ASSERT_TRUE(RunGenerator("vehicles", m_Tree));     // the player's motorcycle
        m_Folder.reset(new testdata::DataFolder(m_Tree, true));
        m_SavedEditor = g_EditorMode;
        g_EditorMode = 0;
        ASSERT_EQ(g_PhysicsWorld.Create(), 1);   // the player's motorcycle needs it
        g_Game.InitRaceTable();
        g_CurrentRace = 0;
        const D3DXVECTOR3 eye(0, 100, 0), at(0, 100, 1);
        g_Views.mainCamera.Init(&eye, &at, D3DX_PI / 2, 1.0f, CAMERA_NEAR_PLANE, CAMERA_FAR_PLANE, VIEWMODE_FREE,
                                CAMERA_MAIN);
    }
    void TearDown() override
    {
        g_Game.FreeRace();
        g_PhysicsWorld.Destroy();
        ClearRaceBlock();
        g_CurrentRace = 0;
        g_EditorMode = m_SavedEditor;
        m_Folder.reset();
    }

    landtest::RecordingDevice m_Device;
    DataTree m_Tree;
    std::unique_ptr<testdata::DataFolder> m_Folder;
    int m_SavedEditor = 0;
};

TEST_F(RaceStartTest, MinusOneRestartsTheCurrentRowWithoutReloadingTheArea)
{
    ASSERT_EQ(g_Game.StartRace(0), 1);
    EXPECT_EQ(g_Landscape.loadedArea, 0);
    IDirect3DVertexBuffer9* vb = g_Landscape.terrainVB;
    CLandPart* part = g_Landscape.parts[1];
    const int pathCount = g_RacePathCount;
    ASSERT_GT(pathCount, 0);

    // Row 9 is the same area with two laps the other way round.
    g_CurrentRace = 9;
    ASSERT_EQ(g_Game.StartRace(-1), 1);
    EXPECT_EQ(g_CurrentRace, 9);
    EXPECT_EQ(g_Landscape.terrainVB, vb);
    EXPECT_EQ(g_Landscape.parts[1], part);
    EXPECT_EQ(g_RacePathCount, 5 + 2 * (g_Landscape.routeCount - 1) + 1);
    EXPECT_NE(g_RacePathCount, pathCount);
}

TEST_F(RaceStartTest, FailuresAreReportedAndPutNothingOnTheArea)
{
    struct Case
    {
        const char* name;
        int row;
    };
    // Row 1 is area 1, which the test data does not have; the others are not rows.
    const Case cases[] = {{"area missing", 1}, {"past the table", 19}, {"below -1", -2}};
    ASSERT_EQ(g_Game.StartRace(0), 1);
    ASSERT_NE(g_PlayerVehicle, nullptr);   // so that its going away below means something
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const D3DXVECTOR3 eye = g_Views.mainCamera.eye;
        EXPECT_EQ(g_Game.StartRace(c.row), 0);
        EXPECT_EQ(g_Landscape.loadedArea, -1);
        EXPECT_EQ(g_RacePathCount, 0);
        EXPECT_EQ(g_PlayerVehicle, nullptr);
        EXPECT_EQ(g_Views.mainCamera.eye, eye);
    }
    EXPECT_EQ(g_CurrentRace, 1);   // a real row is kept even when its area fails
}

TEST_F(RaceStartTest, EditorModeLoadsTheAreaAloneWithTheCameraOnTheStartLine)
{
    g_EditorMode = 0;
    ASSERT_EQ(g_Game.StartRace(0), 1);
    ASSERT_NE(g_PlayerVehicle, nullptr);   // a race start outside the editor has its player
    g_EditorMode = 1;
    ASSERT_EQ(g_Game.StartRace(0), 1);
    EXPECT_EQ(g_PlayerVehicle, nullptr);
    EXPECT_EQ(g_Landscape.loadedArea, 0);
    ASSERT_GT(g_RacePathCount, 1);
    EXPECT_FLOAT_EQ(g_Views.mainCamera.eye.x, g_RacePath[0][0]);
    EXPECT_FLOAT_EQ(g_Views.mainCamera.eye.z, g_RacePath[0][2]);
    EXPECT_GT(g_Views.mainCamera.eye.y, g_RacePath[0][1]);
}

TEST_F(RaceStartTest, FreeRaceUnloadsTheAreaAndEmptiesThePhysicsWorld)
{
    ASSERT_EQ(g_Game.StartRace(0), 1);
    g_Landscape.Update();   // the terrain body joins the world
    btDefaultMotionState* motion = new btDefaultMotionState();
    static btSphereShape sphere(1.0f);
    btRigidBody* ball = new btRigidBody(1.0f, motion, &sphere);
    g_PhysicsWorld.dynamicsWorld->addRigidBody(ball);
    // The terrain, the ball and the player's motorcycle.
    ASSERT_EQ(g_PhysicsWorld.dynamicsWorld->getNumCollisionObjects(), 3);

    g_Game.FreeRace();
    EXPECT_EQ(g_PhysicsWorld.dynamicsWorld->getNumCollisionObjects(), 0);
    EXPECT_EQ(g_Landscape.loadedArea, -1);
    EXPECT_EQ(g_Landscape.heightBody, nullptr);
    EXPECT_EQ(g_RacePathCount, 0);
}

TEST_F(RaceStartTest, InitRaceTableClearsTheRunningRace)
{
    g_RaceRunning = 1;
    g_RaceTime = 30.0f;
    g_RaceTable.laps[RACE_QUICK_ROW] = 3;
    g_Game.InitRaceTable();
    EXPECT_EQ(g_RaceRunning, 0);
    EXPECT_EQ(g_RaceTime, 0.0f);
    EXPECT_EQ(g_RaceTable.laps[RACE_QUICK_ROW], 0);
    EXPECT_EQ(g_RaceTable.laps[4], 2);
}

}   // namespace

namespace
{

TEST_F(RaceStartTest, BehindTheMenuTheRaceStartsAtOnceAndWithoutItThePlayerRidesAlone)
{
    g_GameEvent.Post(GEVENT_NONE, nullptr, 0);
    g_MainMenu.active = 0;
    ASSERT_EQ(g_Game.StartRace(0), 1);
    ASSERT_NE(g_PlayerVehicle, nullptr);
    EXPECT_EQ(g_GameEvent.code, GEVENT_NONE);
    EXPECT_EQ(g_Vehicles.racerCount, 1);   // no grid, no rivals
    EXPECT_EQ(g_RaceOrderCount, 0);
    EXPECT_EQ(g_RaceRunning, 0);

    g_MainMenu.active = 1;
    ASSERT_EQ(g_Game.StartRace(0), 1);
    g_MainMenu.active = 0;
    EXPECT_EQ(g_GameEvent.code, GEVENT_RACE_START);
    EXPECT_EQ(g_GameEvent.state, 0);
    EXPECT_EQ(g_GameEvent.vehicle, g_PlayerVehicle);
    g_GameEvent.Post(GEVENT_NONE, nullptr, 0);
}

TEST_F(RaceStartTest, TheRacersPostEventsThroughTheGame)
{
    g_GameEvent.Post(GEVENT_NONE, nullptr, 0);
    EXPECT_EQ(GameEventRunning(), 0);
    PostGameEvent(GEVENT_RESPAWN, nullptr, 0);
    EXPECT_EQ(g_GameEvent.code, GEVENT_RESPAWN);
    EXPECT_EQ(GameEventRunning(), 1);
    g_GameEvent.Post(GEVENT_NONE, nullptr, 0);
    EXPECT_EQ(GameEventRunning(), 0);
}

}   // namespace
