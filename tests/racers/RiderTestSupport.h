#pragma once
// Riders in a real physics world: the motorcycle world of the vehicle tests
// with the rider manager created from the demo rider, and a frame that runs
// the motorcycle, the physics step and the riders as the game does. Also the
// demo rider's files as a data tree that tests can change line by line.
#include <gtest/gtest.h>

#include <btBulletDynamicsCommon.h>

#include <cmath>
#include <string>

#include "racers/HumanManager.h"
#include "racers/HumanObject.h"
#include "racers/RagDoll.h"
#include "racers/VehicleTestSupport.h"
#include "scene/ObjectPhysics.h"
#include "tools/DataTree.h"

namespace ridertest
{

class RiderWorld : public vehicletest::VehicleWorld
{
protected:
    void OpenWithRiders(bool demoArea)
    {
        Open(demoArea);
        ASSERT_EQ(g_HumanManager.Create(), 1);
        ASSERT_NE(g_HumanPartShapes[0], nullptr);
    }

    void TearDown() override
    {
        g_Vehicles.Clear();
        g_HumanManager.Release();
        VehicleWorld::TearDown();
    }

    // A motorcycle with its rider, looking along +z.
    CVehicleObject* PlaceWithRider(float x, float y, float z)
    {
        CVehicleObject* v = Place(0, x, y, z);
        v->CreateRider();
        EXPECT_NE(v->Rider, nullptr);
        return v;
    }

    static void RiderFrame(CVehicleObject* v)
    {
        v->Update();
        g_PhysicsWorld.Step();
        g_HumanManager.Update();
    }

    // The motorcycle stays where it is, out of the simulation: only its
    // rider moves.
    static void Freeze(CVehicleObject* v)
    {
        g_PhysicsWorld.dynamicsWorld->removeVehicle(v->Vehicle);
        RemoveBodyFromWorld(v->body);
    }

    static int Objects() { return g_PhysicsWorld.dynamicsWorld->getNumCollisionObjects(); }
    static int Joints() { return g_PhysicsWorld.dynamicsWorld->getNumConstraints(); }
};

// The demo rider's files (mesh, parts mesh, description, textures) and the
// demo motorcycles, generated afresh.
DataTree RiderTree();

// The text of a file of the tree.
std::string TextOf(const DataTree& tree, const std::string& path);

// The text with the first occurrence of `from` replaced by `to`.
std::string Replaced(std::string text, const std::string& from, const std::string& to);

}   // namespace ridertest
