// The generated areas as the game loads them: every record of each area's
// list becomes a placed object with a body, standing on the ground of the
// loaded terrain beside the route; a second race on the same area keeps
// the objects and stands knocked props back up.
#include <btBulletDynamicsCommon.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "common/Keywords.h"
#include "core/Physics.h"
#include "scene/StaticObject.h"
#include "scene/StaticObjectFixture.h"
#include "scene/StaticObjectManager.h"
#include "tests/support/Paths.h"
#include "world/Landscape.h"
#include "world/LandscapeTestSupport.h"

namespace
{

int RecordsInList(int area)
{
    char name[128];
    std::snprintf(name, sizeof(name), "%s/Data/Landscape/Area%02d/StaticObjects.obj",
                  testsupport::DemoDataDir().c_str(), area + 1);
    FILE* f = std::fopen(name, "rb");
    if (!f)
        return -1;
    int records = 0;
    char line[512];
    while (std::fgets(line, sizeof(line), f))
        records += std::strncmp(line, "Object:", 7) == 0;
    std::fclose(f);
    return records;
}

float Ground(float x, float z)
{
    const float p[3] = {x, 0, z};
    return g_Landscape.GetHeight(p);
}

// Horizontal distance to the nearest point of the loaded route.
float RouteDistance(const float* p)
{
    float best = 1e9f;
    for (int i = 0; i < g_Landscape.routeCount; ++i)
        best = std::min(best, std::hypot(g_Landscape.routePos[i][0] - p[0], g_Landscape.routePos[i][2] - p[2]));
    return best;
}

TEST(PlacedObjectsDemoDataTest, EveryListedObjectStandsOnTheGroundBesideTheRoute)
{
    landtest::RecordingDevice device;
    testdata::DataFolder folder(testsupport::DemoDataDir(), true);
    ASSERT_EQ(g_PhysicsWorld.Create(), 1);
    for (int area = 0; area < 3; ++area)
    {
        SCOPED_TRACE(area);
        ASSERT_EQ(g_Landscape.LoadArea(area, 0), 1);
        ASSERT_GT(g_Landscape.routeCount, 0);
        // The list's objects come first; the start gate and the barriers of
        // the fence map follow them.
        const int listed = RecordsInList(area);
        ASSERT_GT((int)g_StaticObjects.objectCount, listed);
        for (unsigned i = 0; i < (unsigned)listed; ++i)
        {
            const CStaticObject* o = g_StaticObjects.objects[i];
            SCOPED_TRACE(o->path);
            ASSERT_NE(o->body, nullptr);
            EXPECT_EQ(o->objectNumber, (int)i + 1);
            const float* at = &o->placement._41;
            if (o->objectType == GTYPE_BUILDING)
            {
                // Its base is at or below the ground all round its footprint
                // (the ellipse in its box: a round silo does not reach the
                // box's corners), and at the corners within the reach of
                // the plinth below the base; the plinth reaches down to
                // whatever ground is lowest.
                ASSERT_NE(o->corners, nullptr);
                for (int k = 0; k < 8; k += 2)
                {
                    const float ex = at[0] + (o->corners[k].x - at[0]) * 0.7071f;
                    const float ez = at[2] + (o->corners[k].z - at[2]) * 0.7071f;
                    EXPECT_LE(at[1], Ground(ex, ez) + 0.05f);
                    EXPECT_LE(at[1], Ground(o->corners[k].x, o->corners[k].z) + 0.5f);
                    // Inside the footprint (a round silo does not reach
                    // the corners of its box).
                    const float x = at[0] + (o->corners[k].x - at[0]) * 0.6f;
                    const float z = at[2] + (o->corners[k].z - at[2]) * 0.6f;
                    EXPECT_GE(at[1], Ground(x, z) - 1.5f);
                }
                EXPECT_GT(RouteDistance(at), 15.0f);
            }
            else
            {
                EXPECT_NEAR(at[1], Ground(at[0], at[2]), 0.2f);
                EXPECT_GT(RouteDistance(at), 6.0f);
            }
            EXPECT_LT(RouteDistance(at), 80.0f);
            if (o->objectType == GTYPE_FENCES)
            {
                EXPECT_EQ(o->objectClass, GCLASS_DYNAMIC);
                EXPECT_GT(o->mass, 0.0f);
            }
        }
    }

    // The same area for the next race: the same objects, the knocked prop
    // back at its place.
    CStaticObject* prop = nullptr;
    for (unsigned i = 0; i < g_StaticObjects.objectCount && !prop; ++i)
        if (g_StaticObjects.objects[i]->objectClass == GCLASS_DYNAMIC)
            prop = g_StaticObjects.objects[i];
    ASSERT_NE(prop, nullptr);
    const btVector3 home = prop->body->getWorldTransform().getOrigin();
    prop->body->setWorldTransform(btTransform(btQuaternion(btVector3(1, 0, 0), 1.4f), home + btVector3(3, 0, 2)));
    ASSERT_EQ(g_Landscape.LoadArea(2, 1), 1);
    ASSERT_EQ(g_StaticObjects.objects[0] != nullptr, true);
    EXPECT_NEAR((prop->body->getWorldTransform().getOrigin() - home).length(), 0.0f, 1e-4f);
    EXPECT_EQ(prop->body->getActivationState(), ISLAND_SLEEPING);

    g_StaticObjects.Clear();
    g_Landscape.Release();
    g_PhysicsWorld.Destroy();
}

}   // namespace
