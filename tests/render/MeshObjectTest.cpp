// The mesh object on a recording device: shared records, the draw of one
// slot's current part, the scale under the object's matrix, object-space
// points and the textures it holds.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "DrawTestSupport.h"
#include "render/MeshObject.h"
#include "tests/support/GoldenImage.h"
#include "tools/ImageWriter.h"
#include "tools/MeshWriter.h"

using drawtest::Messages;

namespace
{

// Slot 0: two box parts (animation frames); slot 11: one box.
MeshDesc FramesMesh()
{
    MeshDesc mesh;
    const float lo[2][3] = {{-1, 0, -1}, {-2, 0, -2}};
    const float hi[2][3] = {{1, 2, 1}, {2, 1, 2}};
    AddBoxPart(mesh.slots[0], lo[0], hi[0]);
    AddBoxPart(mesh.slots[0], lo[1], hi[1]);
    AddBoxPart(mesh.slots[11], lo[0], hi[0]);
    return mesh;
}

// The 16 numbers of the last recorded world transform.
std::vector<float> LastWorld()
{
    std::vector<float> m;
    for (const std::string& line : D3DRecordedCalls())
    {
        if (line.compare(0, 13, "SetTransform(") != 0 || line.find("WORLD") == std::string::npos)
            continue;
        m.clear();
        const char* p = line.c_str() + line.find('[') + 1;
        for (int i = 0; i < 16; ++i)
        {
            while (*p == ' ' || *p == '|')
                ++p;
            char* end = nullptr;
            m.push_back(std::strtof(p, &end));
            p = end;
        }
    }
    return m;
}

class MeshObjectTest : public drawtest::DeviceFixture
{
protected:
    void SetUp() override
    {
        OpenDevice(D3DBackendKind::Recording, 800, 600);
        EnterScratchFolder();
        drawtest::WriteFile("frames.msh", WriteMesh(FramesMesh()));
    }
    void TearDown() override
    {
        g_MeshContainer.Release();
        LeaveFolder();
        CloseDevice();
    }
};

}   // namespace

TEST_F(MeshObjectTest, ObjectsShareARecordAndOutliveEachOther)
{
    CMeshObject a, b;
    a.SetMesh("frames.msh", 0, D3DXMESH_MANAGED, 0);
    b.SetMesh("frames.msh", 0, D3DXMESH_MANAGED, 0);
    ASSERT_NE(a.meshRecord, nullptr);
    EXPECT_EQ(a.meshRecord, b.meshRecord);
    EXPECT_EQ(a.meshRecord->refCount, 2);
    EXPECT_FLOAT_EQ(a.boundCentre[1], 1.0f);
    EXPECT_EQ(a.boundRadius, a.meshRecord->boundsRadius);
    EXPECT_EQ(a.material.Diffuse.a, 1.0f);
    EXPECT_EQ(a.material.Ambient.r, 1.0f);
    EXPECT_EQ(a.material.Specular.g, 0.0f);
    EXPECT_EQ(a.material.Power, 0.0f);

    a.FreeMesh();
    EXPECT_EQ(a.meshRecord, nullptr);
    D3DClearRecordedCalls();
    b.RenderSlot(0);
    EXPECT_EQ(Calls("DrawIndexedPrimitive("),
              std::vector<std::string>{"DrawIndexedPrimitive(TRIANGLELIST, 0, 0, 24, 0, 12)"});
    b.FreeMesh();
    EXPECT_EQ(g_MeshContainer.head, nullptr);

    // A mesh that cannot be loaded leaves no record and the bounds as they were.
    CMeshObject c;
    c.boundRadius = 3.0f;
    c.SetMesh("absent.msh", 0, D3DXMESH_MANAGED, 0);
    EXPECT_EQ(c.meshRecord, nullptr);
    EXPECT_EQ(c.boundRadius, 3.0f);
    EXPECT_EQ(Messages().size(), 1u);
    c.RenderSlot(0);   // draws nothing
}

TEST_F(MeshObjectTest, RenderSlotDrawsTheCurrentPartOrNothing)
{
    CMeshObject object;
    object.SetMesh("frames.msh", 0, D3DXMESH_MANAGED, 0);
    ASSERT_NE(object.meshRecord, nullptr);
    struct Case
    {
        int slot, part;
        bool draws;
    } cases[] = {
        {0, 0, true},   {0, 1, true},  {11, 0, true},  {0, 2, false},   // a frame the slot does not have
        {11, 1, false},                                                 // frame 1 exists in slot 0 only
        {0, -1, false}, {3, 0, false}, {16, 0, false}, {-1, 0, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(::testing::Message() << "slot " << c.slot << " part " << c.part);
        D3DClearRecordedCalls();
        g_Render.mainFaces = 0;
        object.currentPart = c.part;
        object.RenderSlot(c.slot);
        if (!c.draws)
        {
            EXPECT_TRUE(D3DRecordedCalls().empty());
            EXPECT_EQ(g_Render.mainFaces, 0);
            continue;
        }
        ID3DXMesh* mesh = object.meshRecord->meshes[c.slot][c.part];
        IDirect3DVertexBuffer9* vb = nullptr;
        mesh->GetVertexBuffer(&vb);
        std::vector<std::string> calls = Calls("Set");
        ASSERT_GE(calls.size(), 4u);
        EXPECT_EQ(calls.front().compare(0, 19, "SetTransform(WORLD,"), 0) << calls.front();
        // Slot 0 follows the caller's type 0, the shadow slot has position and normal only.
        const bool shadow = c.slot == 11;
        EXPECT_EQ(Calls("SetFVF"), std::vector<std::string>{shadow ? "SetFVF(0x12)" : "SetFVF(0x112)"});
        ASSERT_EQ(Calls("SetStreamSource").size(), 1u);
        EXPECT_NE(Calls("SetStreamSource")[0].find(shadow ? ", 0, 24)" : ", 0, 32)"), std::string::npos)
            << Calls("SetStreamSource")[0];
        EXPECT_EQ(Calls("SetIndices").size(), 1u);
        EXPECT_EQ(Calls("DrawIndexedPrimitive("),
                  std::vector<std::string>{"DrawIndexedPrimitive(TRIANGLELIST, 0, 0, 24, 0, 12)"});
        EXPECT_TRUE(Calls("SetTexture").empty());
        EXPECT_EQ(g_Render.mainFaces, 12);
        vb->Release();
    }
    object.FreeMesh();
}

TEST_F(MeshObjectTest, ScaleAppliesInObjectSpace)
{
    CMeshObject object;
    object.SetMesh("frames.msh", 0, D3DXMESH_MANAGED, 0);
    // Facing +x from (5, 0, 0): the side axis is -z.
    object.SetOrientation(D3DXVECTOR3(5, 0, 0), D3DXVECTOR3(6, 0, 0), D3DXVECTOR3(0, 1, 0));
    object.useScale = 1;
    object.scale[0] = 2.0f;
    object.RenderSlot(0);
    std::vector<float> m = LastWorld();
    ASSERT_EQ(m.size(), 16u);
    D3DXMATRIX world;
    for (int i = 0; i < 16; ++i)
        world.m[i / 4][i % 4] = m[i];
    D3DXVECTOR3 drawn;
    const D3DXVECTOR3 side(1, 0, 0);
    D3DXVec3TransformCoord(&drawn, &side, &world);
    EXPECT_NEAR(drawn.x, 5.0f, 1e-5f);
    EXPECT_NEAR(drawn.z, -2.0f, 1e-5f);

    // A matrix given by the caller is used as it is.
    D3DXMATRIX given;
    D3DXMatrixTranslation(&given, 0, 7, 0);
    object.RenderSlot(0, &given);
    EXPECT_EQ(LastWorld()[13], 7.0f);
    EXPECT_EQ(LastWorld()[0], 1.0f);
    object.FreeMesh();
}

TEST_F(MeshObjectTest, WorldToLocalUsesTheObjectAxes)
{
    CMeshObject object;
    object.SetOrientation(D3DXVECTOR3(1, 2, 3), D3DXVECTOR3(1, 2, 10), D3DXVECTOR3(0, 1, 0));
    struct Case
    {
        D3DXVECTOR3 point, local;
    } cases[] = {
        {D3DXVECTOR3(1, 2, 3), D3DXVECTOR3(0, 0, 0)},
        {D3DXVECTOR3(1, 2, 4), D3DXVECTOR3(0, 0, 1)},
        {D3DXVECTOR3(1, 5, 3), D3DXVECTOR3(0, 3, 0)},
    };
    for (const Case& c : cases)
    {
        D3DXVECTOR3 out;
        object.WorldToLocal(&out, &c.point);
        EXPECT_NEAR(out.x, c.local.x, 1e-5f);
        EXPECT_NEAR(out.y, c.local.y, 1e-5f);
        EXPECT_NEAR(out.z, c.local.z, 1e-5f);
    }
    // Facing +x: one unit ahead is +z in object space, one unit to +z is to its left.
    object.SetOrientation(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(1, 0, 0), D3DXVECTOR3(0, 1, 0));
    D3DXVECTOR3 out;
    const D3DXVECTOR3 ahead(1, 0, 0), left(0, 0, 1);
    object.WorldToLocal(&out, &ahead);
    EXPECT_NEAR(out.z, 1.0f, 1e-5f);
    object.WorldToLocal(&out, &left);
    EXPECT_NEAR(out.x, -1.0f, 1e-5f);
}

TEST_F(MeshObjectTest, ReleaseTexturesGivesBackEveryHeldTexture)
{
    std::vector<uint8_t> bgra(4 * 4 * 4, 0x80);
    const std::vector<uint8_t> dds = WriteDds(4, 4, bgra.data(), PixelFormat::A8R8G8B8, false);
    ASSERT_FALSE(dds.empty());
    drawtest::WriteFile("a.dds", dds);
    drawtest::WriteFile("b.dds", dds);

    CMeshObject object;
    EXPECT_EQ(object.LoadTexture(0, "", 1), -1);
    EXPECT_EQ(object.LoadTexture(0, nullptr, 1), -1);
    EXPECT_EQ(object.textureIds[0], -1);
    const TextureId a = object.LoadTexture(0, "a.dds", 1);
    EXPECT_EQ(object.LoadTexture(1, "missing.dds", 1), -1);
    const TextureId b = object.LoadTexture(2, "b.dds", 1);
    ASSERT_NE(a, -1);
    ASSERT_NE(b, -1);
    EXPECT_EQ(object.textureCount, 2);
    EXPECT_EQ(object.textureIds[1], -1);
    EXPECT_STREQ(object.textureNames[2], "b.dds");
    EXPECT_STREQ(object.textureNames[1], "");

    // The held texture after the failed entry is released too.
    object.ReleaseTextures();
    EXPECT_EQ(object.textureCount, 0);
    for (int i = 0; i < CMeshObject::MAX_TEXTURES; ++i)
        EXPECT_EQ(object.textureIds[i], -1);
    EXPECT_EQ(g_Render.textures.GetRefCount(a), 0);
    EXPECT_EQ(g_Render.textures.GetRefCount(b), 0);
    EXPECT_EQ(g_Render.textures.Find("b.dds"), -1);
}

namespace
{

class MeshPictureDemoDataTest : public drawtest::DeviceFixture
{
protected:
    void SetUp() override
    {
        OpenDevice(D3DBackendKind::OpenGL, 128, 128);
        if (IsSkipped() || HasFatalFailure())
            return;
        EnterFolder(testsupport::DemoDataDir());
        g_Render.SetDefaultStates();
    }
    void TearDown() override
    {
        g_MeshContainer.Release();
        if (!m_SavedCwd.empty())
            LeaveFolder();
        CloseDevice();
    }
};

}   // namespace

TEST_F(MeshPictureDemoDataTest, CrateDrawnWithItsTextureAndMaterial)
{
    IDirect3DDevice9* device = g_Render.device;
    D3DXMATRIX view, projection;
    const D3DXVECTOR3 eye(1.6f, 1.7f, -2.2f), at(0, 0.45f, 0), up(0, 1, 0);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&projection, 0.9f, 1.0f, 0.1f, 20.0f);
    device->SetTransform(D3DTS_VIEW, &view);
    device->SetTransform(D3DTS_PROJECTION, &projection);
    D3DLIGHT9 sun = {};
    sun.Type = D3DLIGHT_DIRECTIONAL;
    sun.Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    sun.Direction = {-0.4f, -0.8f, 0.45f};
    device->SetLight(0, &sun);
    device->LightEnable(0, TRUE);
    device->SetRenderState(D3DRS_AMBIENT, 0xFF303030);

    CMeshObject crate;
    crate.SetMesh("Data/Static/Crate/Main.msh", 0, D3DXMESH_MANAGED, 1);
    ASSERT_NE(crate.meshRecord, nullptr);
    const TextureId texture = crate.LoadTexture(0, "Data/Static/Crate/Crate.dds", 0);
    ASSERT_NE(texture, -1);
    // A warm tint in the material shows it is the one drawn with.
    crate.material.Diffuse = {1.0f, 0.85f, 0.6f, 1.0f};
    crate.material.Ambient = {1.0f, 0.85f, 0.6f, 1.0f};
    crate.SetOrientation(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0.3f, 0, 1), up);

    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF405060, 1.0f, 0);
    device->BeginScene();
    g_Render.SetZEnable(1);
    g_Render.SetZWrite(1);
    g_Render.SetLighting(1);
    g_Render.BindTexture(texture, 0, 0);
    crate.RenderSlot(0);
    device->EndScene();
    EXPECT_EQ(g_Render.mainFaces, 12);

    std::vector<uint8_t> bgra;
    IDirect3DSurface9* target = nullptr;
    UINT w = 0, h = 0;
    ASSERT_EQ(device->GetRenderTarget(0, &target), D3D_OK);
    EXPECT_TRUE(D3DReadSurfacePixels(target, bgra, w, h));
    target->Release();
    crate.ReleaseTextures();
    crate.FreeMesh();
    EXPECT_EQ(golden::Mismatch("render/crate", bgra, int(w), int(h), 8), "");
}
