// Fuzz target for an area's placed-object list, "StaticObjects.obj".
// Input: [mode byte][list bytes]. The low bit of the mode byte reads the list
// from the in-memory Objects pack (1; the descriptions it names are then not
// found) or as a loose file (0) beside three small objects it may name:
// "Data/T/Sign.obj" (fixed), "Data/T/Fence.obj" (movable) and "Data/T/Low.obj"
// (a building). The objects are loaded, placed with their bodies, kept up
// once near a camera, reset and searched, then cleared.
#include <cstdint>
#include <string>

#include "core/FileManager.h"
#include "core/Physics.h"
#include "core/Settings.h"
#include "fuzz/FuzzScratch.h"
#include "platform/d3d/D3D9Backend.h"
#include "render/MeshContainer.h"
#include "render/Views.h"
#include "scene/StaticObject.h"
#include "scene/StaticObjectManager.h"
#include "tests/support/TestDevice.h"
#include "tools/DataTree.h"
#include "tools/MeshWriter.h"

namespace
{

const char kList[] = "Data/L/StaticObjects.obj";

std::string Line(const std::string& label, const std::string& value = "")
{
    std::string l = label;
    l.resize(32, ' ');
    return l + value + "\n";
}

std::string Description(const char* cls, const char* type, const char* mesh, const std::string& after = "")
{
    return Line("Object") + Line("Author") + Line("Version") + Line("Class", cls) + Line("Type", type) +
           Line("Geometry") + Line("Mesh", mesh) + Line("Texture") + Line("-") + Line("End", "//--") + after;
}

MeshDesc Box(const float lo[3], const float hi[3], bool compound)
{
    MeshDesc mesh;
    AddBoxPart(mesh.slots[0], lo, hi);
    AddBoxPart(mesh.slots[12], lo, hi);
    if (compound)
        AddBoxPart(mesh.slots[15], lo, hi);
    return mesh;
}

// The objects, a recording device, a physics world and a camera, once.
bool Prepare()
{
    static int ready = -1;
    if (ready != -1)
        return ready == 1;
    ready = 0;
    if (!fuzzscratch::MakeScratch("fuzzlist", {"Data", "Data/L"}))
        return false;
    DataTree tree;
    const float signLo[3] = {-0.5f, 0, -0.1f}, signHi[3] = {0.5f, 2, 0.1f};
    const float lowLo[3] = {-2, 0, -3}, lowHi[3] = {2, 20, 3};
    tree.Add("Data/T/Sign.msh", WriteMesh(Box(signLo, signHi, false)));
    tree.Add("Data/T/Low.msh", WriteMesh(Box(lowLo, lowHi, false)));
    tree.Add("Data/T/Fence.msh", WriteMesh(Box(signLo, signHi, true)));
    tree.AddText("Data/T/Sign.obj", Description("GCLASS_STATIC", "GTYPE_STATIC", "Data/T/Sign.msh"));
    tree.AddText("Data/T/Low.obj", Description("GCLASS_STATIC", "GTYPE_BUILDING", "Data/T/Low.msh"));
    tree.AddText("Data/T/Fence.obj", Description("GCLASS_DYNAMIC", "GTYPE_FENCES", "Data/T/Fence.msh",
                                                 Line("Shape", "SHAPE_TYPE_COMPOUND") + Line("Mass", "4")));
    if (!tree.WriteAll(fuzzscratch::Folder()))
        return false;
    // Kept for the whole run and never destroyed: at exit the recording
    // backend's own statics may already be gone.
    static testdevice::TestDevice* device = new testdevice::TestDevice();
    if (device->Open(D3DBackendKind::Recording, 64, 64) != D3D_OK || g_PhysicsWorld.Create() != 1)
        return false;
    // The view alone: the camera's overlay font is not wanted here.
    CCamera& camera = g_Views.mainCamera;
    camera.SetProjection(D3DX_PI / 2, 1.0f, CAMERA_NEAR_PLANE, CAMERA_FAR_PLANE, CAMERA_MAIN);
    camera.eye = D3DXVECTOR3(0, 2, -10);
    camera.at = D3DXVECTOR3(0, 2, 0);
    camera.up = D3DXVECTOR3(0, 1, 0);
    camera.UpdateView();
    g_Views.activeCamera = &g_Views.mainCamera;
    g_ViewDistance = 500;
    ready = 1;
    return true;
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || size > 64 * 1024 || !Prepare())
        return 0;
    fuzzscratch::InScratch scratch;
    if (!scratch.entered)
        return 0;
    const bool pack = data[0] & 1;
    ++data;
    --size;
    g_FileManager.Release();
    if (pack)
        fuzzscratch::InstallObjectsPack(kList, data, size);
    else if (fuzzscratch::WriteBytes(kList, data, size))
        g_FileManager.m_LooseFiles = 1;
    else
        return 0;

    g_StaticObjects.LoadStaticObjects("Data/L");
    g_StaticObjects.Update();
    g_StaticObjects.UpdateVisibility();
    g_StaticObjects.ResetDynamic();
    const float eye[3] = {0, 2, -10};
    g_StaticObjects.FindNearest(-1, -1, eye, 100.0f);
    g_StaticObjects.Clear();
    g_FileManager.Release();
    // The recording device keeps every call it was given.
    D3DClearRecordedCalls();
    return 0;
}
