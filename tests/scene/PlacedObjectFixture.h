#pragma once
// Small placed objects for the physics, drawing and list tests: box meshes
// with the slots the game reads, their descriptions as loose files, a
// recording device so that the meshes are really made, a physics world and
// the main camera as the active one.
#include <gtest/gtest.h>

#include <string>

#include "core/Physics.h"
#include "core/Settings.h"
#include "render/MeshContainer.h"
#include "render/Views.h"
#include "scene/StaticObject.h"
#include "scene/StaticObjectFixture.h"
#include "scene/StaticObjectManager.h"
#include "tests/support/TestDevice.h"
#include "tools/DataTree.h"
#include "tools/MeshWriter.h"

namespace placedtest
{

// A slot of one triangle across the box (one face: the far slot is told
// from the twelve-face box by the faces drawn).
inline MeshSlot OneTriangle(const float lo[3], const float hi[3])
{
    MeshSlot slot;
    MeshPart part;
    part.vertices = {MeshVertex{{lo[0], lo[1], lo[2]}, {0, 0, -1}, {0, 1}},
                     MeshVertex{{lo[0], hi[1], lo[2]}, {0, 0, -1}, {0, 0}},
                     MeshVertex{{hi[0], lo[1], lo[2]}, {0, 0, -1}, {1, 1}}};
    ComputePartBounds(part);
    slot.parts.push_back(part);
    slot.indices = {0, 1, 2};
    return slot;
}

// A box mesh: slot 0 always; the far slot, the collision mesh and one
// compound box (slot 15) when asked.
inline MeshDesc BoxMesh(const float lo[3], const float hi[3], bool far, bool collision, bool compound)
{
    MeshDesc mesh;
    AddBoxPart(mesh.slots[0], lo, hi);
    if (far)
        mesh.slots[1] = OneTriangle(lo, hi);
    if (collision)
        AddBoxPart(mesh.slots[12], lo, hi);
    if (compound)
        AddBoxPart(mesh.slots[15], lo, hi);
    return mesh;
}

inline std::string Description(const std::string& cls, const std::string& type, const std::string& mesh,
                               const std::string& after = "")
{
    using testdata::Line;
    return Line("Object") + Line("Author") + Line("Version") + Line("Class", cls) + Line("Type", type) +
           Line("Geometry") + Line("Mesh", mesh) + Line("Texture") + Line("-") + Line("End", "//--") + after;
}

// The test objects:
//   Tall.obj    building 4 x 40 x 6 (far slot, collision mesh)
//   Low.obj     building 4 x 20 x 6 (no far slot)
//   Fence.obj   movable fence 2 x 1 x 0.2, compound box, mass 4
//   Sign.obj    static object 1 x 2 x 0.2 on its origin, collision mesh
//   Bare.obj    static object whose mesh has no collision slots
//   NoMain.obj  static object whose mesh has a collision slot but no slot 0
//   NoMesh.obj  names a mesh that is not there
inline DataTree ObjectTree()
{
    DataTree tree;
    const float tallLo[3] = {-2, 0, -3}, tallHi[3] = {2, 40, 3};
    const float lowLo[3] = {-2, 0, -3}, lowHi[3] = {2, 20, 3};
    const float fenceLo[3] = {-1, 0, -0.1f}, fenceHi[3] = {1, 1, 0.1f};
    const float signLo[3] = {-0.5f, 0, -0.1f}, signHi[3] = {0.5f, 2, 0.1f};
    tree.Add("Data/T/Tall.msh", WriteMesh(BoxMesh(tallLo, tallHi, true, true, false)));
    tree.Add("Data/T/Low.msh", WriteMesh(BoxMesh(lowLo, lowHi, false, true, false)));
    tree.Add("Data/T/Fence.msh", WriteMesh(BoxMesh(fenceLo, fenceHi, false, true, true)));
    tree.Add("Data/T/Sign.msh", WriteMesh(BoxMesh(signLo, signHi, false, true, false)));
    tree.Add("Data/T/Bare.msh", WriteMesh(BoxMesh(signLo, signHi, false, false, false)));
    MeshDesc noMain;
    AddBoxPart(noMain.slots[12], signLo, signHi);
    tree.Add("Data/T/NoMain.msh", WriteMesh(noMain));

    using testdata::Line;
    tree.AddText("Data/T/Tall.obj", Description("GCLASS_STATIC", "GTYPE_BUILDING", "Data/T/Tall.msh"));
    tree.AddText("Data/T/Low.obj", Description("GCLASS_STATIC", "GTYPE_BUILDING", "Data/T/Low.msh"));
    tree.AddText("Data/T/Fence.obj", Description("GCLASS_DYNAMIC", "GTYPE_FENCES", "Data/T/Fence.msh",
                                                 Line("Shape", "SHAPE_TYPE_COMPOUND") + Line("Mass", "4")));
    tree.AddText("Data/T/Sign.obj", Description("GCLASS_STATIC", "GTYPE_STATIC", "Data/T/Sign.msh"));
    tree.AddText("Data/T/Bare.obj", Description("GCLASS_STATIC", "GTYPE_STATIC", "Data/T/Bare.msh"));
    tree.AddText("Data/T/NoMain.obj", Description("GCLASS_STATIC", "GTYPE_STATIC", "Data/T/NoMain.msh"));
    tree.AddText("Data/T/NoMesh.obj", Description("GCLASS_STATIC", "GTYPE_STATIC", "Data/T/Missing.msh"));
    return tree;
}

class PlacedObjectTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder = new testdata::DataFolder(ObjectTree(), false);
        ASSERT_EQ(device.Open(D3DBackendKind::Recording, 320, 240), D3D_OK);
        ASSERT_EQ(g_PhysicsWorld.Create(), 1);
        g_EditorMode = 0;
        g_ViewDistance = 500;
        g_ShadowQuality = 0;
        g_StaticObjects.Create();
        Look(D3DXVECTOR3(0, 2, -50), D3DXVECTOR3(0, 2, 0));
    }
    void TearDown() override
    {
        g_StaticObjects.Clear();
        g_PhysicsWorld.Destroy();
        g_MeshContainer.Release();
        g_Views.activeCamera = nullptr;
        device.Close();
        delete folder;
    }

    // The main camera, active, at `eye` looking at `at`.
    void Look(const D3DXVECTOR3& eye, const D3DXVECTOR3& at)
    {
        // The view alone: the camera's overlay font is not wanted here.
        CCamera& camera = g_Views.mainCamera;
        camera.SetProjection(D3DX_PI / 2, 4.0f / 3.0f, CAMERA_NEAR_PLANE, CAMERA_FAR_PLANE, CAMERA_MAIN);
        camera.eye = eye;
        camera.at = at;
        camera.up = D3DXVECTOR3(0, 1, 0);
        camera.UpdateView();
        g_Views.activeCamera = &g_Views.mainCamera;
    }

    // A new object read from its description and placed at pos facing +z
    // (or `target`); owned by the caller.
    CStaticObject* Make(const char* path, float x, float y, float z, const float* scale = nullptr)
    {
        CStaticObject* o = new CStaticObject();
        o->InitStatic();
        o->LoadDescription(path);
        if (scale)
            o->SetScale(scale[0], scale[1], scale[2]);
        const float pos[3] = {x, y, z}, target[3] = {x, y, z + 10}, up[3] = {0, 1, 0};
        o->Place(pos, target, up);
        return o;
    }
    void Drop(CStaticObject* o)
    {
        o->Free();
        delete o;
    }
    int BodiesInWorld() const { return g_PhysicsWorld.dynamicsWorld->getNumCollisionObjects(); }

    testdata::MessageCapture messages;
    testdata::DataFolder* folder = nullptr;
    testdevice::TestDevice device;
};

}   // namespace placedtest
