// The picked object: the three pick modes over the placed objects and the
// racers, a miss that keeps the record, and a record that never outlives the
// object it names.
#include <gtest/gtest.h>

#include <cmath>

#include "app/Game.h"
#include "app/PickedObject.h"
#include "common/Keywords.h"
#include "scene/PlacedObjectFixture.h"
#include "scene/StaticObjectFixture.h"
#include "tests/support/Paths.h"
#include "world/Landscape.h"

using placedtest::PlacedObjectTest;

namespace
{

CStaticObject* g_TestRacer = nullptr;

int OneRacer()
{
    return g_TestRacer ? 1 : 0;
}

CStaticObject* RacerAt(int)
{
    return g_TestRacer;
}

class PickedObjectTest : public PlacedObjectTest
{
protected:
    void SetUp() override
    {
        PlacedObjectTest::SetUp();
        g_PickedObject.Init();
        saved = g_PickRacers;
        g_PickRacers = {OneRacer, RacerAt};
    }
    void TearDown() override
    {
        if (g_TestRacer)
            Drop(g_TestRacer);
        g_TestRacer = nullptr;
        g_PickRacers = saved;
        g_PickedObject.Init();
        PlacedObjectTest::TearDown();
    }
    // A building of the list at z 20 and a motorcycle (a sign standing in,
    // of the motorcycle's class and type) at z.
    void Scene(float racerZ)
    {
        const float pos[3] = {0, 0, 20}, target[3] = {0, 0, 30}, up[3] = {0, 1, 0};
        building = g_StaticObjects.AddObject("Data/T/Low.obj", pos, target, up, nullptr);
        ASSERT_NE(building, nullptr);
        g_TestRacer = Make("Data/T/Sign.obj", 0, 0, racerZ);
        g_TestRacer->objectClass = GCLASS_VEHICLE;
        g_TestRacer->objectType = GTYPE_VEHICLE;
    }

    PickRacers saved{};
    CStaticObject* building = nullptr;
    const float from[3] = {0, 1, 0};
    const float to[3] = {0, 1, 60};
};

TEST_F(PickedObjectTest, ModesOverABuildingAndAMotorcycle)
{
    struct Case
    {
        float racerZ;
        int mode;
        bool racer;   // expected: the motorcycle, else the building
    };
    const Case cases[] = {
        {10, 0, false}, {10, 1, true},  {10, 2, false},   // the motorcycle is nearer
        {40, 0, false}, {40, 1, false}, {40, 2, false},   // the building is nearer
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.racerZ) + " mode " + std::to_string(c.mode));
        Scene(c.racerZ);
        float hit[3] = {0, 0, 0};
        CStaticObject* picked = g_PickedObject.Pick(from, to, hit, c.mode);
        CStaticObject* expected = c.racer ? g_TestRacer : building;
        EXPECT_EQ(picked, expected);
        EXPECT_EQ(g_PickedObject.object, expected);
        EXPECT_EQ(g_PickedObject.objectClass, c.racer ? GCLASS_VEHICLE : GCLASS_STATIC);
        EXPECT_EQ(g_PickedObject.objectType, c.racer ? GTYPE_VEHICLE : GTYPE_BUILDING);
        // The hit point is on the front face of what was picked.
        EXPECT_NEAR(hit[2], c.racer ? c.racerZ - 0.1f : 17.0f, 0.1f);
        g_StaticObjects.Clear();
        Drop(g_TestRacer);
        g_TestRacer = nullptr;
    }
}

TEST_F(PickedObjectTest, RacersAreHitWhenNoPlacedObjectIs)
{
    Scene(10);
    const float aside[3] = {0, 1.5f, 0}, asideTo[3] = {0, 1.5f, 15};
    for (int mode : {0, 1, 2})
        EXPECT_EQ(g_PickedObject.Pick(aside, asideTo, nullptr, mode), g_TestRacer) << mode;
}

TEST_F(PickedObjectTest, AMissKeepsTheRecord)
{
    Scene(10);
    ASSERT_EQ(g_PickedObject.Pick(from, to, nullptr, 1), g_TestRacer);
    const float away[3] = {30, 1, 0}, awayTo[3] = {30, 1, 60};
    EXPECT_EQ(g_PickedObject.Pick(away, awayTo, nullptr, 0), nullptr);
    EXPECT_EQ(g_PickedObject.object, g_TestRacer);
    EXPECT_EQ(g_PickedObject.objectClass, GCLASS_VEHICLE);
}

TEST_F(PickedObjectTest, TheRecordNeverNamesAnObjectThatIsGone)
{
    // Freeing the race clears the record of an object of that race.
    Scene(40);
    ASSERT_EQ(g_PickedObject.Pick(from, to, nullptr, 0), building);
    g_Game.FreeRace();
    EXPECT_EQ(g_StaticObjects.objectCount, 0u);
    EXPECT_EQ(g_PickedObject.object, nullptr);
    EXPECT_EQ(g_PickedObject.objectClass, -1);
    EXPECT_EQ(g_PickedObject.objectType, -1);

    // So does releasing the very object the record names, whoever owns it.
    const float near[3] = {0, 1, 30};
    ASSERT_EQ(g_PickedObject.Pick(near, to, nullptr, 0), g_TestRacer);
    Drop(g_TestRacer);
    g_TestRacer = nullptr;
    EXPECT_EQ(g_PickedObject.object, nullptr);
}

// The landscape's ray test names the ground's class in the record and
// keeps the object (and its type) the record held; a ray past the ground
// changes nothing.
TEST(PickedObjectDemoDataTest, ALandscapeHitNamesTheGroundAndKeepsTheObject)
{
    testdata::DataFolder demo(testsupport::DemoDataDir(), true);
    ASSERT_EQ(g_Landscape.LoadArea(0, 0), 1);
    g_Landscape.Update();
    ASSERT_NE(g_Landscape.heightBody, nullptr);
    CStaticObject racer;
    racer.objectClass = GCLASS_VEHICLE;
    racer.objectType = GTYPE_VEHICLE;
    g_PickedObject.Set(&racer);

    const float high[3] = {0, 500, 0}, higher[3] = {0, 400, 0}, down[3] = {0, -500, 0};
    EXPECT_EQ(g_Landscape.RayTest(high, higher, nullptr), 0);
    EXPECT_EQ(g_PickedObject.objectClass, GCLASS_VEHICLE);
    EXPECT_EQ(g_Landscape.RayTest(high, down, nullptr), 1);
    EXPECT_EQ(g_PickedObject.objectClass, GCLASS_LANDSCAPE);
    EXPECT_EQ(g_PickedObject.object, &racer);
    EXPECT_EQ(g_PickedObject.objectType, GTYPE_VEHICLE);
    g_PickedObject.Init();
    g_Landscape.Release();
}

}   // namespace
