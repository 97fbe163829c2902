#pragma once
// Motorcycles in a real physics world: the demo data mounted, a recording
// device for the meshes, the physics world, and either the first demo area
// (its heightfield body in the world) or a flat ground plane. Frames run as
// the game runs them: the motorcycle's update, then one physics step of
// 1/60 s.
#include <gtest/gtest.h>

#include <btBulletDynamicsCommon.h>

#include <memory>

#include "app/Game.h"
#include "core/GameClock.h"
#include "core/Physics.h"
#include "core/RaceState.h"
#include "platform/os/Rand.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"
#include "world/Landscape.h"
#include "world/LandscapeTestSupport.h"

namespace vehicletest
{

const float kStep = 1.0f / 60.0f;

class VehicleWorld : public ::testing::Test
{
protected:
    // With demoArea the first demo area is loaded and its terrain body made;
    // otherwise a flat plane at y = 0 stands for the ground.
    void Open(bool demoArea)
    {
        m_Messages.reset(new testdata::MessageCapture());
        m_Folder.reset(new testdata::DataFolder(testsupport::DemoDataDir(), true));
        g_Game.InitRaceTable();
        g_CurrentRace = 0;
        ASSERT_EQ(g_PhysicsWorld.Create(), 1);
        g_Clock.m_GameStep = kStep;
        g_Clock.m_RealStep = kStep;
        if (demoArea)
        {
            ASSERT_EQ(g_Landscape.LoadArea(0, 0), 1);
            g_Landscape.Update();
            ASSERT_NE(g_Landscape.heightBody, nullptr);
        }
        else
        {
            m_Plane.reset(new btStaticPlaneShape(btVector3(0, 1, 0), 0));
            m_Ground = new btRigidBody(0.0f, new btDefaultMotionState(), m_Plane.get());
            m_Ground->setUserPointer(&g_Landscape);
            g_PhysicsWorld.dynamicsWorld->addRigidBody(m_Ground);
        }
        // The area load seeds the game's generator from the clock, and the
        // riders and motorcycles draw from it as they ride: a fixed seed makes
        // every run of a test ride the same way.
        GameSrand(1);
    }

    void TearDown() override
    {
        g_Vehicles.Clear();
        g_Game.FreeRace();
        g_PhysicsWorld.Destroy();
        ClearRaceBlock();
        m_Plane.reset();
        m_Folder.reset();
        m_Messages.reset();
    }

    // A motorcycle of model 0..3 placed with its body at pos, looking along
    // +z, driven by the test (computer control, the player's driving values).
    CVehicleObject* Place(int model, float x, float y, float z)
    {
        CVehicleObject* v = g_Vehicles.AddVehicle(g_VehicleModelFiles[model]);
        EXPECT_NE(v, nullptr);
        const float pos[3] = {x, y, z}, target[3] = {x, y, z + 10.0f}, up[3] = {0, 1, 0};
        v->SetPosition(pos, target, up, CONTROL_COMPUTER, RACER_PLAYER);
        return v;
    }

    // One frame with the given requests.
    static void Frame(CVehicleObject* v, float throttle = 0, float brake = 0, float steer = 0)
    {
        v->Throttle = throttle;
        v->BrakeInput = brake;
        v->SteerInput = steer;
        v->Update();
        g_PhysicsWorld.Step();
    }

    static D3DXVECTOR3 Up(const CVehicleObject* v) { return D3DXVECTOR3(v->world._21, v->world._22, v->world._23); }
    static D3DXVECTOR3 Forward(const CVehicleObject* v)
    {
        return D3DXVECTOR3(v->world._31, v->world._32, v->world._33);
    }

    landtest::RecordingDevice m_Device;
    std::unique_ptr<testdata::MessageCapture> m_Messages;
    std::unique_ptr<testdata::DataFolder> m_Folder;
    std::unique_ptr<btStaticPlaneShape> m_Plane;
    btRigidBody* m_Ground = nullptr;   // owned by the world once added
};

}   // namespace vehicletest
