// The mesh cache on a recording device: one record per (name, vertex type),
// slots turned into meshes of their layout, reference counting, the shutdown
// report in "debug.txt", and files that cannot be read.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "DrawTestSupport.h"
#include "core/DebugLog.h"
#include "render/MeshContainer.h"
#include "tools/MeshWriter.h"

using drawtest::Messages;

namespace
{

MeshPart Triangle(float shift)
{
    MeshPart part;
    for (int i = 0; i < 3; ++i)
        part.vertices.push_back(MeshVertex{{shift + i, float(i), 0}, {0, 0, -1}, {0.5f * i, 0}});
    ComputePartBounds(part);
    return part;
}

// Slot 0: three box parts (frames); slot 2 (self-illumination, fixed type 3)
// and slot 12 (collision, fixed type 4 in system memory): one triangle each;
// point sets 1 and 8.
MeshDesc ObjectMesh()
{
    MeshDesc mesh;
    const float lo[3][3] = {{-1, 0, -1}, {-2, 0, -2}, {0, 1, 0}};
    const float hi[3][3] = {{1, 1, 1}, {2, 3, 2}, {1, 2, 5}};
    for (int p = 0; p < 3; ++p)
        AddBoxPart(mesh.slots[0], lo[p], hi[p]);
    mesh.slots[2].parts.push_back(Triangle(0));
    mesh.slots[2].indices = {0, 1, 2};
    mesh.slots[12].parts.push_back(Triangle(5));
    mesh.slots[12].indices = {0, 2, 1};
    mesh.points[1] = {{1, 2, 3}, {4, 5, 6}};
    mesh.points[8] = {{0, 0.5f, 0}};
    return mesh;
}

class MeshContainerTest : public drawtest::DeviceFixture
{
protected:
    void SetUp() override
    {
        OpenDevice(D3DBackendKind::Recording, 800, 600);
        EnterScratchFolder();
        m_SavedDebugLog = g_DebugLog;
        g_DebugLog = 1;
        Log(nullptr);   // fresh debug.txt in the scratch folder
        drawtest::WriteFile("object.msh", WriteMesh(ObjectMesh()));
    }
    void TearDown() override
    {
        g_MeshContainer.Release();
        g_DebugLog = m_SavedDebugLog;
        LeaveFolder();
        CloseDevice();
    }

    static std::vector<MeshRecord*> Listed()
    {
        std::vector<MeshRecord*> out;
        for (MeshRecord* r = g_MeshContainer.head; r; r = r->next)
            out.push_back(r);
        return out;
    }

    static std::vector<uint8_t> VertexBytes(ID3DXMesh* mesh)
    {
        void* data = nullptr;
        EXPECT_EQ(mesh->LockVertexBuffer(D3DLOCK_READONLY, &data), D3D_OK);
        const uint8_t* p = static_cast<const uint8_t*>(data);
        std::vector<uint8_t> bytes(p, p + mesh->GetNumVertices() * mesh->GetNumBytesPerVertex());
        mesh->UnlockVertexBuffer();
        return bytes;
    }

    static std::vector<uint16_t> Indices(ID3DXMesh* mesh)
    {
        void* data = nullptr;
        EXPECT_EQ(mesh->LockIndexBuffer(D3DLOCK_READONLY, &data), D3D_OK);
        const uint16_t* p = static_cast<const uint16_t*>(data);
        std::vector<uint16_t> indices(p, p + mesh->GetNumFaces() * 3);
        mesh->UnlockIndexBuffer();
        return indices;
    }

    int m_SavedDebugLog = 0;
};

}   // namespace

TEST_F(MeshContainerTest, OneRecordPerNameAndVertexType)
{
    const int firstId = g_MeshContainer.nextId;
    MeshRecord* a = g_MeshContainer.Load("object.msh", 0, D3DXMESH_MANAGED, 0);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(g_MeshContainer.Load("object.msh", 0, D3DXMESH_SYSTEMMEM, 1), a);
    EXPECT_EQ(a->refCount, 2);
    EXPECT_EQ(a->id, firstId);
    EXPECT_STREQ(a->name, "object.msh");

    MeshRecord* b = g_MeshContainer.Load("object.msh", 1, D3DXMESH_MANAGED, 0);
    ASSERT_NE(b, nullptr);
    EXPECT_NE(b, a);
    EXPECT_EQ(b->id, firstId + 1);
    EXPECT_EQ(b->refCount, 1);

    // The last reference unlinks the record; the other type stays.
    g_MeshContainer.ReleaseMesh(a);
    EXPECT_EQ(Listed(), (std::vector<MeshRecord*>{a, b}));
    g_MeshContainer.ReleaseMesh(a);
    EXPECT_EQ(Listed(), (std::vector<MeshRecord*>{b}));
    ASSERT_NE(b->meshes[0], nullptr);
    EXPECT_EQ(b->meshes[0][0]->GetNumFaces(), 12u);

    // Loading it again reads the file again under a new id.
    MeshRecord* again = g_MeshContainer.Load("object.msh", 0, D3DXMESH_MANAGED, 0);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->id, firstId + 2);
    EXPECT_EQ(again->partCount[0], 3);
    g_MeshContainer.ReleaseMesh(nullptr);   // ignored
    EXPECT_TRUE(Messages().empty());
}

TEST_F(MeshContainerTest, SlotsBecomeMeshesOfTheirLayout)
{
    MeshRecord* r = g_MeshContainer.Load("object.msh", 1, D3DXMESH_MANAGED, 0);
    ASSERT_NE(r, nullptr);
    struct Want
    {
        int slot, parts;
        DWORD fvf;
        UINT stride, vertices, faces;
        bool systemMemory;
    } want[] = {
        {0, 3, 0x152, 36, 24, 12, false},   // follows the caller's type 1
        {2, 1, 0x102, 20, 3, 1, false},     // self-illumination: position and uv
        {12, 1, 0x012, 24, 3, 1, true},     // collision: position and normal, system memory
    };
    for (const Want& w : want)
    {
        SCOPED_TRACE(w.slot);
        ASSERT_EQ(r->partCount[w.slot], w.parts);
        EXPECT_EQ(r->fvf[w.slot], w.fvf);
        for (int p = 0; p < w.parts; ++p)
        {
            ID3DXMesh* mesh = r->meshes[w.slot][p];
            ASSERT_NE(mesh, nullptr);
            EXPECT_EQ(mesh->GetFVF(), w.fvf);
            EXPECT_EQ(mesh->GetNumBytesPerVertex(), w.stride);
            EXPECT_EQ(mesh->GetNumVertices(), w.vertices);
            EXPECT_EQ(mesh->GetNumFaces(), w.faces);
            EXPECT_EQ((mesh->GetOptions() & D3DXMESH_SYSTEMMEM) == D3DXMESH_SYSTEMMEM, w.systemMemory);
        }
    }
    for (int s : {1, 3, 4, 10, 11, 15})
        EXPECT_EQ(r->partCount[s], 0) << s;

    // The three frames share the triangles but not the vertices.
    EXPECT_EQ(Indices(r->meshes[0][0]), Indices(r->meshes[0][2]));
    EXPECT_EQ(Indices(r->meshes[0][0]), MakeBoxIndices());
    EXPECT_NE(VertexBytes(r->meshes[0][0]), VertexBytes(r->meshes[0][1]));

    // Type 1 puts white between the normal and the uv of each file vertex.
    const MeshDesc desc = ObjectMesh();
    const std::vector<uint8_t> bytes = VertexBytes(r->meshes[0][1]);
    for (size_t i = 0; i < desc.slots[0].parts[1].vertices.size(); ++i)
    {
        const MeshVertex& fileVertex = desc.slots[0].parts[1].vertices[i];
        MeshVertexPNDT v;
        std::memcpy(&v, &bytes[i * sizeof(v)], sizeof(v));
        ASSERT_EQ(v.x, fileVertex.pos[0]);
        ASSERT_EQ(v.nz, fileVertex.normal[2]);
        ASSERT_EQ(v.diffuse, 0xFFFFFFFFu);
        ASSERT_EQ(v.u, fileVertex.uv[0]);
        ASSERT_EQ(v.v, fileVertex.uv[1]);
    }

    // Bounds per part, size computed; summary from part 0 of slot 0.
    EXPECT_EQ(r->partBox[0][1][4], 3.0f);
    EXPECT_EQ(r->partSize[0][2][2], 5.0f);
    EXPECT_EQ(r->partRadius[0][1], desc.slots[0].parts[1].radius);
    EXPECT_EQ(r->boundsMax[1], 1.0f);
    EXPECT_EQ(r->boundsSize[0], 2.0f);
    EXPECT_EQ(r->boundsRadius, desc.slots[0].parts[0].radius);

    ASSERT_EQ(r->pointCount[1], 2);
    EXPECT_EQ(r->points[1][1].y, 5.0f);
    ASSERT_EQ(r->pointCount[8], 1);
    EXPECT_EQ(r->points[8][0].y, 0.5f);
    EXPECT_EQ(r->pointCount[0], 0);
    EXPECT_EQ(r->shapeKind, -1);
}

TEST_F(MeshContainerTest, SummaryBoundsComeFromTheFirstSlotWithParts)
{
    MeshDesc mesh;
    const float lo[3] = {1, 2, 3}, hi[3] = {2, 4, 9};
    AddBoxPart(mesh.slots[3], lo, hi);
    const float lo2[3] = {-5, -5, -5}, hi2[3] = {5, 5, 5};
    AddBoxPart(mesh.slots[11], lo2, hi2);
    drawtest::WriteFile("glass.msh", WriteMesh(mesh));
    MeshRecord* r = g_MeshContainer.Load("glass.msh", 0, D3DXMESH_MANAGED, 1);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->boundsMin[2], 3.0f);
    EXPECT_EQ(r->boundsSize[2], 6.0f);
    EXPECT_FLOAT_EQ(r->boundsCentre[1], 3.0f);
}

TEST_F(MeshContainerTest, MiddleRecordLeavesTheListIntact)
{
    drawtest::WriteFile("b.msh", WriteMesh(ObjectMesh()));
    drawtest::WriteFile("c.msh", WriteMesh(ObjectMesh()));
    MeshRecord* a = g_MeshContainer.Load("object.msh", 0, D3DXMESH_MANAGED, 0);
    MeshRecord* b = g_MeshContainer.Load("b.msh", 0, D3DXMESH_MANAGED, 0);
    MeshRecord* c = g_MeshContainer.Load("c.msh", 0, D3DXMESH_MANAGED, 0);
    ASSERT_TRUE(a && b && c);
    g_MeshContainer.ReleaseMesh(b);
    EXPECT_EQ(Listed(), (std::vector<MeshRecord*>{a, c}));
    g_MeshContainer.ReleaseMesh(a);
    EXPECT_EQ(Listed(), (std::vector<MeshRecord*>{c}));
    g_MeshContainer.ReleaseMesh(c);
    EXPECT_TRUE(Listed().empty());
}

TEST_F(MeshContainerTest, ShutdownReportsEveryRecordStillHeld)
{
    drawtest::WriteFile("wheel.msh", WriteMesh(ObjectMesh()));
    MeshRecord* a = g_MeshContainer.Load("object.msh", 0, D3DXMESH_MANAGED, 0);
    ASSERT_NE(a, nullptr);
    g_MeshContainer.Load("object.msh", 0, D3DXMESH_MANAGED, 0);
    MeshRecord* b = g_MeshContainer.Load("wheel.msh", 0, D3DXMESH_MANAGED, 0);
    ASSERT_NE(b, nullptr);
    const int idA = a->id, idB = b->id, next = g_MeshContainer.nextId;

    g_MeshContainer.Release();
    EXPECT_EQ(g_MeshContainer.head, nullptr);
    EXPECT_EQ(g_MeshContainer.nextId, next);
    const std::vector<std::string> want = {
        "\tCMeshContainer::Release() start...",
        "\t\tMesh lost! (ID: " + std::to_string(idA) + "; REF: 2; Name: object.msh",
        "\t\tMesh lost! (ID: " + std::to_string(idB) + "; REF: 1; Name: wheel.msh",
        "\tCMeshContainer::Release() done!",
    };
    EXPECT_EQ(drawtest::ReadLines("debug.txt"), want);
}

TEST_F(MeshContainerTest, ReleasingAnUnheldRecordOnlyLogs)
{
    MeshRecord loose;
    loose.id = 41;
    std::strcpy(loose.name, "gone.msh");
    g_MeshContainer.ReleaseMesh(&loose);
    EXPECT_EQ(loose.refCount, 0);
    EXPECT_EQ(drawtest::ReadLines("debug.txt"),
              std::vector<std::string>{"Mesh reference counter in use! (ID: 41; Name: gone.msh"});
}

TEST_F(MeshContainerTest, UnreadableFilesFailWithTheMeshMessage)
{
    std::vector<uint8_t> good = WriteMesh(ObjectMesh());
    std::vector<uint8_t> shortFile(good.begin(), good.begin() + good.size() / 2);
    MeshDesc badIndex = ObjectMesh();
    badIndex.slots[2].indices = {0, 1, 200};
    std::vector<uint8_t> badIndexFile;
    ASSERT_TRUE(WriteMesh(badIndex, badIndexFile, nullptr, false));
    std::vector<uint8_t> hugeCount = good;
    const int32_t huge = 0x7FFFFFFF;
    std::memcpy(&hugeCount[64], &huge, 4);   // vertices of slot 0
    drawtest::WriteFile("short.msh", shortFile);
    drawtest::WriteFile("badindex.msh", badIndexFile);
    drawtest::WriteFile("hugecount.msh", hugeCount);
    drawtest::WriteFile("empty.msh", {});

    for (const char* name : {"missing.msh", "short.msh", "badindex.msh", "hugecount.msh", "empty.msh"})
    {
        SCOPED_TRACE(name);
        Messages().clear();
        EXPECT_EQ(g_MeshContainer.Load(name, 0, D3DXMESH_MANAGED, 0), nullptr);
        ASSERT_EQ(Messages().size(), 1u);
        EXPECT_EQ(Messages()[0].text, std::string("Open mesh file '") + name + "' error!");
        EXPECT_EQ(Messages()[0].caption, "Mesh error!");

        // The empty record stays listed and is handed out again.
        MeshRecord* r = Listed().back();
        EXPECT_STREQ(r->name, name);
        EXPECT_EQ(g_MeshContainer.Load(name, 0, D3DXMESH_MANAGED, 0), r);
        EXPECT_EQ(r->refCount, 2);
        for (int s = 0; s < MESH_SLOTS; ++s)
            EXPECT_EQ(r->partCount[s], 0);
    }
}

TEST_F(MeshContainerTest, VertexTypeWithoutLayout)
{
    EXPECT_EQ(g_MeshContainer.Load("object.msh", 7, D3DXMESH_MANAGED, 0), nullptr);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].text, "Empty vertex type!");
    EXPECT_EQ(Messages()[0].caption, "Create mesh error!");
    EXPECT_EQ(Listed().back()->partCount[0], 0);
    EXPECT_EQ(Listed().back()->partCount[12], 0);

    // Only slots that follow the caller need the caller's type.
    MeshDesc collisionOnly;
    const float lo[3] = {0, 0, 0}, hi[3] = {1, 1, 1};
    AddBoxPart(collisionOnly.slots[15], lo, hi);
    drawtest::WriteFile("boxes.msh", WriteMesh(collisionOnly));
    MeshRecord* r = g_MeshContainer.Load("boxes.msh", 7, D3DXMESH_MANAGED, 0);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->fvf[15], 0x012u);
}
