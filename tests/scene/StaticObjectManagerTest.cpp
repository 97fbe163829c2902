// The placed-object list: reading an area's list file, the building sort,
// the nearest-object search, the reset of movable objects, the capacity and
// the draw passes by type mask.
#include <btBulletDynamicsCommon.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/Keywords.h"
#include "core/Controls.h"
#include "core/GameClock.h"
#include "render/D3DRender.h"
#include "scene/PlacedObjectFixture.h"

using placedtest::PlacedObjectTest;
using testdata::Line;

namespace
{

std::string Numbers(float x, float y, float z)
{
    char text[96];
    std::snprintf(text, sizeof(text), "%8.2f %8.2f %.2f", x, y, z);
    return text;
}

std::string Record(const std::string& path, float x, float y, float z, float tx, float ty, float tz)
{
    return Line("Object", path) + Line("Position", Numbers(x, y, z)) + Line("Target", Numbers(tx, ty, tz)) + "//\n";
}

const std::string kHead = "Placed objects\nSecond line\nThird line\n";

class StaticObjectManagerTest : public PlacedObjectTest
{
protected:
    // Writes the list of area folder Data/L and loads it.
    void LoadList(const std::string& text)
    {
        std::filesystem::create_directories(folder->Dir() + "/Data/L");
        std::ofstream(folder->Dir() + "/Data/L/StaticObjects.obj", std::ios::binary) << text;
        g_StaticObjects.Clear();
        g_StaticObjects.LoadStaticObjects("Data/L");
    }
    CStaticObject* Add(const char* path, float x, float z)
    {
        const float pos[3] = {x, 0, z}, target[3] = {x, 0, z + 10}, up[3] = {0, 1, 0};
        return g_StaticObjects.AddObject(path, pos, target, up, nullptr);
    }
};

TEST_F(StaticObjectManagerTest, ListFileCases)
{
    struct Case
    {
        const char* name;
        std::string text;
        std::vector<std::string> paths;   // the objects kept, in order
    };
    const std::string sign = Record("Data/T/Sign.obj", 1, 2, 3, 1, 2, 13);
    const std::string low = Record("Data/T/Low.obj", -40, 0, 5, -40, 0, 50);
    const Case cases[] = {
        {"EndOnTheFourthLine", kHead + "////\n" + sign, {}},
        {"RecordsInFileOrder",
         kHead + sign + low + Record("Data/T/Fence.obj", 7, 0, 7, 8, 0, 8) + "////\n",
         {"Data/T/Sign.obj", "Data/T/Low.obj", "Data/T/Fence.obj"}},
        // Without its end line the list ends with the file, not with 2048
        // copies of the last record.
        {"NoEndLine", kHead + sign + low, {"Data/T/Sign.obj", "Data/T/Low.obj"}},
        {"CutInsideARecord",
         kHead + sign + Line("Object", "Data/T/Low.obj") + Line("Position", Numbers(0, 0, 0)),
         {"Data/T/Sign.obj"}},
        // Objects without a description, a mesh or a main mesh are left out
        // and the numbering closes up.
        {"NothingToDrawIsLeftOut",
         kHead + Record("Data/T/NoMesh.obj", 0, 0, 0, 0, 0, 1) + Record("Data/T/Gone.obj", 0, 0, 0, 0, 0, 1) +
             Record("Data/T/NoMain.obj", 0, 0, 0, 0, 0, 1) + low + "////\n",
         {"Data/T/Low.obj"}},
        // Numbers that are not finite or reach past any world, and a target
        // straight above the position, give the object no frame.
        {"UnusableNumbersAreLeftOut",
         kHead + Line("Object", "Data/T/Sign.obj") + Line("Position", "     nan     0.00 0.00") +
             Line("Target", Numbers(0, 0, 1)) + "//\n" + Record("Data/T/Sign.obj", 0, 0, 0, 0, 0, 1e7f) +
             Record("Data/T/Sign.obj", 5, 0, 5, 5, 9, 5) + low + "////\n",
         {"Data/T/Low.obj"}},
        {"EmptyFile", "", {}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        LoadList(c.text);
        ASSERT_EQ(g_StaticObjects.objectCount, c.paths.size());
        for (size_t i = 0; i < c.paths.size(); ++i)
        {
            EXPECT_EQ(std::string(g_StaticObjects.objects[i]->path), c.paths[i]);
            EXPECT_EQ(g_StaticObjects.objects[i]->objectNumber, int(i) + 1);
            EXPECT_NE(g_StaticObjects.objects[i]->body, nullptr);
        }
        for (size_t i = c.paths.size(); i < STATIC_OBJECTS_MAX; ++i)
            ASSERT_EQ(g_StaticObjects.objects[i], nullptr);
    }
    // The columns of the position and target lines.
    LoadList(kHead + sign + "////\n");
    const CStaticObject* o = g_StaticObjects.objects[0];
    EXPECT_FLOAT_EQ(o->placement._41, 1);
    EXPECT_FLOAT_EQ(o->placement._42, 2);
    EXPECT_FLOAT_EQ(o->placement._43, 3);
    EXPECT_NEAR(o->placement._33, 1, 1e-6f);
}

TEST_F(StaticObjectManagerTest, MissingListLeavesTheListEmptyWithoutAMessage)
{
    Add("Data/T/Sign.obj", 0, 0);
    testdata::Messages().clear();
    g_StaticObjects.Clear();
    g_StaticObjects.LoadStaticObjects("Data/Nowhere");
    EXPECT_EQ(g_StaticObjects.objectCount, 0u);
    EXPECT_TRUE(testdata::Messages().empty());
}

TEST_F(StaticObjectManagerTest, BuildingsAreSortedNearestFirstInTheirOwnEntries)
{
    // Buildings at 50, 20, 35 in entries 3, 7, 9; signs everywhere else.
    const float distances[3] = {50, 20, 35};
    std::vector<CStaticObject*> before;
    for (int i = 0; i < 11; ++i)
    {
        const bool building = i == 3 || i == 7 || i == 9;
        CStaticObject* o = Add(building ? "Data/T/Low.obj" : "Data/T/Sign.obj", float(i), 0);
        ASSERT_NE(o, nullptr);
        before.push_back(o);
    }
    g_StaticObjects.objects[3]->cameraDistance = distances[0];
    g_StaticObjects.objects[7]->cameraDistance = distances[1];
    g_StaticObjects.objects[9]->cameraDistance = distances[2];
    g_Clock.m_GameStep = 0.03f;
    // The first sort after Clear runs at once.
    g_StaticObjects.SortBuildings();
    EXPECT_EQ(g_StaticObjects.objects[3]->cameraDistance, 20);
    EXPECT_EQ(g_StaticObjects.objects[7]->cameraDistance, 35);
    EXPECT_EQ(g_StaticObjects.objects[9]->cameraDistance, 50);
    for (int i : {0, 1, 2, 4, 5, 6, 8, 10})
        EXPECT_EQ(g_StaticObjects.objects[i], before[size_t(i)]);

    // The next sorts wait for 0.1 s of game time.
    g_StaticObjects.objects[3]->cameraDistance = 90;
    for (int frame = 0; frame < 3; ++frame)
    {
        g_StaticObjects.SortBuildings();
        EXPECT_EQ(g_StaticObjects.objects[3]->cameraDistance, 90) << frame;
    }
    g_StaticObjects.SortBuildings();
    EXPECT_EQ(g_StaticObjects.objects[9]->cameraDistance, 90);
}

TEST_F(StaticObjectManagerTest, FindNearestKeepsToItsMasksAndLimit)
{
    CStaticObject* fence = Add("Data/T/Fence.obj", 0, 3);
    CStaticObject* building = Add("Data/T/Low.obj", 0, 20);
    CStaticObject* sign = Add("Data/T/Sign.obj", 0, 6);
    ASSERT_TRUE(fence && building && sign);
    const float eye[3] = {0, 1, 0};
    // The fence is nearest, but only buildings are asked for.
    EXPECT_EQ(g_StaticObjects.FindNearest(-1, GTYPE_BUILDING, eye, 100), building);
    EXPECT_EQ(g_StaticObjects.FindNearest(-1, GTYPE_FENCES | GTYPE_STATIC, eye, 100), fence);
    EXPECT_EQ(g_StaticObjects.FindNearest(GCLASS_STATIC, GTYPE_FENCES | GTYPE_STATIC, eye, 100), sign);
    EXPECT_EQ(g_StaticObjects.FindNearest(GCLASS_HUMAN, -1, eye, 100), nullptr);
    // The building's sphere surface is 10 or more away: none within 10.
    const float d = std::sqrt(1.0f + 20.0f * 20.0f) - building->boundRadius;
    ASSERT_GE(d, 10.0f);
    EXPECT_EQ(g_StaticObjects.FindNearest(-1, GTYPE_BUILDING, eye, 10), nullptr);
    EXPECT_EQ(g_StaticObjects.FindNearest(-1, GTYPE_BUILDING, eye, d + 0.01f), building);
    EXPECT_EQ(g_StaticObjects.FindNearest(-1, GTYPE_BUILDING, eye, d), nullptr);
    // Ties keep the earlier object.
    CStaticObject* twin = Add("Data/T/Low.obj", 0, 20);
    EXPECT_EQ(g_StaticObjects.FindNearest(-1, GTYPE_BUILDING, eye, 100), building);
    EXPECT_NE(twin, nullptr);
}

TEST_F(StaticObjectManagerTest, ResetDynamicStandsKnockedFencesBackAtRest)
{
    CStaticObject* fence = Add("Data/T/Fence.obj", 4, 4);
    CStaticObject* sign = Add("Data/T/Sign.obj", 8, 8);
    fence->EnablePhysics(1);
    btTransform knocked(btQuaternion(btVector3(1, 0, 0), 1.5f), btVector3(6, 0.1f, 9));
    fence->body->setWorldTransform(knocked);
    fence->body->getMotionState()->setWorldTransform(knocked);
    fence->body->activate(true);
    fence->body->setLinearVelocity(btVector3(0, 0, 4));
    // The sign's body away from its placement: a reset of every class would
    // put it back, one of the movable objects only leaves it there.
    btTransform signMoved = sign->body->getWorldTransform();
    signMoved.setOrigin(signMoved.getOrigin() + btVector3(0, 0, 3));
    sign->body->setWorldTransform(signMoved);

    g_StaticObjects.ResetDynamic();
    const btVector3 origin = fence->body->getWorldTransform().getOrigin();
    EXPECT_NEAR(origin.x(), 4, 1e-5f);
    EXPECT_NEAR(origin.y(), 0.5f, 1e-5f);
    EXPECT_NEAR(origin.z(), 4, 1e-5f);
    EXPECT_EQ(fence->body->getActivationState(), ISLAND_SLEEPING);
    EXPECT_EQ(fence->body->getLinearVelocity().length(), 0);
    EXPECT_EQ(fence->inWorld, 1);
    EXPECT_EQ(sign->body->getWorldTransform().getOrigin(), signMoved.getOrigin());
}

TEST_F(StaticObjectManagerTest, TheListHolds2048Objects)
{
    for (int i = 0; i < STATIC_OBJECTS_MAX; ++i)
        ASSERT_NE(Add("Data/T/Sign.obj", float(i % 64), float(i / 64)), nullptr) << i;
    EXPECT_EQ(g_StaticObjects.objectCount, unsigned(STATIC_OBJECTS_MAX));
    EXPECT_EQ(Add("Data/T/Sign.obj", 0, 0), nullptr);
    EXPECT_EQ(g_StaticObjects.objectCount, unsigned(STATIC_OBJECTS_MAX));
    g_StaticObjects.Clear();
    EXPECT_EQ(g_StaticObjects.objectCount, 0u);
    EXPECT_EQ(g_StaticObjects.objects[STATIC_OBJECTS_MAX - 1], nullptr);
}

TEST_F(StaticObjectManagerTest, DrawPassesTakeTheTypesOfTheirMask)
{
    for (const char* path : {"Data/T/Fence.obj", "Data/T/Low.obj", "Data/T/Sign.obj"})
    {
        CStaticObject* o = Add(path, 0, 0);
        ASSERT_NE(o, nullptr);
        o->visible = 1;
        o->cameraDistance = 10;
    }
    struct Case
    {
        int mask;
        int show;
        int faces;
    };
    const Case cases[] = {{GTYPE_FENCES, 1, 12},
                          {GTYPE_BUILDING | GTYPE_STATIC, 1, 24},
                          {GTYPE_STONE, 1, 0},
                          {GTYPE_BUILDING | GTYPE_STATIC | GTYPE_FENCES, 0, 0}};
    const int shown = g_ShowStaticObjects;
    for (const Case& c : cases)
    {
        g_ShowStaticObjects = c.show;
        g_Render.mainFaces = 0;
        g_StaticObjects.Draw(c.mask);
        EXPECT_EQ(g_Render.mainFaces, c.faces) << c.mask << " " << c.show;
    }
    g_ShowStaticObjects = shown;
}

}   // namespace

namespace
{

TEST(StaticObjectListTest, AListThatNamesItselfInThePackEnds)
{
    // Opened again as a description, the list's pack entry shares its read
    // position, and closing it starts the list over.
    // Read as a description from line 7 on, to its end; from the top again
    // the list's records fall one line later, where the second copy waits.
    DataTree tree;
    const std::string self = Record("Data/L/StaticObjects.obj", 0, 0, 0, 0, 0, 1);
    tree.AddText("Data/L/StaticObjects.obj", kHead + self + "//\n" + self + "////\n");
    testdata::MessageCapture messages;
    testdata::DataFolder folder(tree, true);
    g_StaticObjects.Clear();
    g_StaticObjects.LoadStaticObjects("Data/L");
    EXPECT_EQ(g_StaticObjects.objectCount, 0u);
}

}   // namespace
