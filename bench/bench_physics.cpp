// One game-frame physics step (1/60 s of game time: one fixed substep and the
// contact pass) with 16 dynamic boxes on a 128 x 128 heightfield landscape.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

#include <BulletCollision/CollisionShapes/btHeightfieldTerrainShape.h>

#include "LayeredMain.h"
#include "common/Keywords.h"
#include "core/GameClock.h"
#include "core/Physics.h"
#include "world/Landscape.h"

namespace
{
const int kGrid = 128;
const float kCell = 2.0f;
const int kBodies = 16;

struct BenchWorld
{
    BenchWorld()
    {
        savedAccess = g_PhysicsObjectAccess;
        // Every body but the landscape's is a dynamic object here.
        g_PhysicsObjectAccess.objectClass = [](const CStaticObject*) { return GCLASS_DYNAMIC; };
        g_PhysicsWorld.Create();

        heights.resize(kGrid * kGrid);
        for (int z = 0; z < kGrid; z++)
            for (int x = 0; x < kGrid; x++)
                heights[z * kGrid + x] = 3.0f * std::sin(x * 0.15f) * std::cos(z * 0.11f);
        // The legacy constructor is only chosen with the data as const void*.
        terrain.reset(new btHeightfieldTerrainShape(kGrid, kGrid, (const void*)heights.data(), 1.0f, -3.0f, 3.0f, 1,
                                                    PHY_FLOAT, false));
        terrain->setLocalScaling(btVector3(kCell, 1, kCell));
        btRigidBody* ground = new btRigidBody(0, nullptr, terrain.get());
        ground->setUserPointer(&g_Landscape);
        g_PhysicsWorld.dynamicsWorld->addRigidBody(ground);

        box.reset(new btBoxShape(btVector3(0.5f, 0.4f, 1.0f)));
        btVector3 inertia;
        box->calculateLocalInertia(200.0f, inertia);
        for (int i = 0; i < kBodies; i++)
        {
            btTransform t;
            t.setIdentity();
            t.setOrigin(btVector3((i % 4) * 6.0f - 9.0f, 5.0f, (i / 4) * 6.0f - 9.0f));
            btRigidBody* body = new btRigidBody(200.0f, new btDefaultMotionState(t), box.get(), inertia);
            body->setUserPointer(&owners[i]);
            body->setActivationState(DISABLE_DEACTIVATION);   // keep every body simulated
            g_PhysicsWorld.dynamicsWorld->addRigidBody(body);
        }
    }
    ~BenchWorld()
    {
        g_PhysicsWorld.Destroy();
        g_PhysicsObjectAccess = savedAccess;
    }

    PhysicsObjectAccess savedAccess;
    std::vector<float> heights;
    std::unique_ptr<btHeightfieldTerrainShape> terrain;
    std::unique_ptr<btBoxShape> box;
    int owners[kBodies] = {};
};

void BM_StepPhysics16BodiesOnHeightfield(benchmark::State& state)
{
    BenchWorld world;
    g_Clock.m_GameStep = 1.0f / 60.0f;
    // Let the boxes land first so the measured steps carry resting contacts.
    for (int i = 0; i < 60; i++)
        g_PhysicsWorld.Step();
    for (auto _ : state)
        g_PhysicsWorld.Step();
    state.counters["manifolds"] = g_PhysicsWorld.dispatcher->getNumManifolds();
}
BENCHMARK(BM_StepPhysics16BodiesOnHeightfield)->Unit(benchmark::kMicrosecond);
}   // namespace

LAYERED_BENCHMARK_MAIN();
