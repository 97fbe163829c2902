// The occlusion pass as the game runs it: a near building hides the placed
// objects listed after it, the land parts, the racers and the riders that lie
// wholly behind it, but nothing listed before it and nothing nearer to the
// eye than its centre.
#include <gtest/gtest.h>

#include <memory>

#include "core/Physics.h"
#include "core/Settings.h"
#include "racers/HumanManager.h"
#include "racers/HumanObject.h"
#include "racers/VehicleManager.h"
#include "racers/VehicleObject.h"
#include "render/MeshContainer.h"
#include "render/Views.h"
#include "scene/Occlusion.h"
#include "scene/PlacedObjectFixture.h"
#include "scene/StaticObject.h"
#include "scene/StaticObjectManager.h"
#include "tests/support/TestDevice.h"
#include "tools/ShapeBuilder.h"
#include "world/LandPart.h"
#include "world/Landscape.h"

namespace
{

// A building 4 wide, 40 high and 6 deep on its origin with its occluder
// (the closed box), and a small sign.
DataTree OccluderTree()
{
    DataTree tree;
    const float lo[3] = {-2, 0, -3}, hi[3] = {2, 40, 3};
    MeshDesc building = placedtest::BoxMesh(lo, hi, false, true, false);
    building.slots[MESH_SLOT_OCCLUDER] = SolidSlot(BoxSolid({-2, 0, -3}, {2, 40, 3}));
    tree.Add("Data/T/Tower.msh", WriteMesh(building));
    const float signLo[3] = {-0.5f, 0, -0.1f}, signHi[3] = {0.5f, 2, 0.1f};
    tree.Add("Data/T/Sign.msh", WriteMesh(placedtest::BoxMesh(signLo, signHi, false, true, false)));
    tree.AddText("Data/T/Tower.obj", placedtest::Description("GCLASS_STATIC", "GTYPE_BUILDING", "Data/T/Tower.msh"));
    tree.AddText("Data/T/Sign.obj", placedtest::Description("GCLASS_STATIC", "GTYPE_STATIC", "Data/T/Sign.msh"));
    return tree;
}

class OcclusionPassTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_Folder.reset(new testdata::DataFolder(OccluderTree(), false));
        ASSERT_EQ(m_Device.Open(D3DBackendKind::Recording, 320, 240), D3D_OK);
        ASSERT_EQ(g_PhysicsWorld.Create(), 1);
        g_EditorMode = 0;
        g_StaticObjects.Create();
        // The eye 50 before the building and 30 up, below its top.
        CCamera& camera = g_Views.mainCamera;
        camera.SetProjection(D3DX_PI / 2, 4.0f / 3.0f, CAMERA_NEAR_PLANE, CAMERA_FAR_PLANE, CAMERA_MAIN);
        camera.eye = D3DXVECTOR3(0, 30, -50);
        camera.at = D3DXVECTOR3(0, 20, 0);
        camera.up = D3DXVECTOR3(0, 1, 0);
        camera.UpdateView();
        g_Views.activeCamera = &camera;
    }
    void TearDown() override
    {
        for (int i = 0; i < 2; ++i)
            g_Vehicles.racers[i] = nullptr;
        g_Vehicles.racerCount = 0;
        for (int i = 0; i < 2; ++i)
            g_HumanManager.riders[i] = nullptr;
        g_HumanManager.count = 0;
        for (int i = 0; i < 2; ++i)
            g_Landscape.parts[i] = nullptr;
        g_Landscape.partCount = 0;
        g_StaticObjects.Clear();
        g_PhysicsWorld.Destroy();
        g_MeshContainer.Release();
        g_Views.activeCamera = nullptr;
        m_Device.Close();
        m_Folder.reset();
    }

    static CStaticObject* Add(const char* path, float x, float y, float z)
    {
        const float pos[3] = {x, y, z}, target[3] = {x, y, z + 10}, up[3] = {0, 1, 0};
        CStaticObject* o = g_StaticObjects.AddObject(path, pos, target, up, nullptr);
        EXPECT_NE(o, nullptr) << path;
        if (o)
            o->visible = 1;
        return o;
    }

    template <class T>
    static void Put(T& object, float x, float y, float z, float radius)
    {
        object.worldCentre[0] = x;
        object.worldCentre[1] = y;
        object.worldCentre[2] = z;
        object.boundRadius = radius;
        object.visible = 1;
    }

    static void PutPart(CLandPart& part, float x0, float x1, float z0, float z1)
    {
        for (int k = 0; k < 8; ++k)
        {
            part.corners[k][0] = k & 1 ? x1 : x0;
            part.corners[k][1] = k & 2 ? 3.0f : 0.0f;
            part.corners[k][2] = k & 4 ? z1 : z0;
        }
        part.visible = 1;
    }

    testdata::MessageCapture m_Messages;
    std::unique_ptr<testdata::DataFolder> m_Folder;
    testdevice::TestDevice m_Device;
};

TEST_F(OcclusionPassTest, ABuildingHidesWhatLiesBehindItButNothingListedBeforeItOrNearerThanItsCentre)
{
    CStaticObject* before = Add("Data/T/Sign.obj", 0, 1, 20);   // behind, but listed first
    CStaticObject* tower = Add("Data/T/Tower.obj", 0, 0, 0);
    CStaticObject* after = Add("Data/T/Sign.obj", 0, 1, 20);
    CStaticObject* beside = Add("Data/T/Sign.obj", 8, 1, 20);
    ASSERT_TRUE(before && tower && after && beside);
    ASSERT_EQ(g_StaticObjects.objectCount, 4u);

    CVehicleObject racerBehind, racerInFront;
    Put(racerBehind, 0, 2, 25, 1.0f);
    Put(racerInFront, 0, 2, -20, 1.0f);
    g_Vehicles.racers[0] = &racerBehind;
    g_Vehicles.racers[1] = &racerInFront;
    g_Vehicles.racerCount = 2;

    // A rider just past the building's centre line at the height of the eye
    // (on a ledge, say): inside the outline, but nearer to the eye than the
    // building's centre on the ground, so it is shown.
    CHumanObject riderBehind, riderNear;
    Put(riderBehind, 0, 2, 20, 0.5f);
    Put(riderNear, 0, 30, 1, 0.3f);
    g_HumanManager.riders[0] = &riderBehind;
    g_HumanManager.riders[1] = &riderNear;
    g_HumanManager.count = 2;

    CLandPart partBehind, partBeside;
    PutPart(partBehind, -1, 1, 15, 17);
    PutPart(partBeside, 10, 12, 15, 17);
    g_Landscape.parts[0] = &partBehind;
    g_Landscape.parts[1] = &partBeside;
    g_Landscape.partCount = 2;

    g_StaticObjects.CheckOcclusion();

    EXPECT_EQ(before->visible, 1) << "listed before the building";
    EXPECT_EQ(tower->visible, 1);
    EXPECT_EQ(after->visible, 0) << "listed after the building, behind it";
    EXPECT_EQ(beside->visible, 1);
    EXPECT_EQ(racerBehind.visible, 0);
    EXPECT_EQ(racerInFront.visible, 1);
    EXPECT_EQ(riderBehind.visible, 0);
    EXPECT_EQ(riderNear.visible, 1) << "nearer than the building's centre";
    EXPECT_EQ(partBehind.visible, 0);
    EXPECT_EQ(partBeside.visible, 1);
    EXPECT_EQ(g_OccluderPlaneCount, 0) << "no planes left for the next frame";
}

}   // namespace
