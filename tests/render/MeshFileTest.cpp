// The game's mesh-file reader against files made by the generator's writer:
// everything written comes back, and a file whose counts do not fit its bytes
// is refused before anything is allocated for it.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "render/MeshFile.h"
#include "tools/MeshWriter.h"

namespace
{

// A triangle part with hand-set bounds, so the bounds read back are the
// file's, not recomputed.
MeshPart TrianglePart(float shift)
{
    MeshPart part;
    for (int i = 0; i < 3; ++i)
    {
        MeshVertex v = {{shift + i, 2.0f * i, -1.0f}, {0, 1, 0}, {0.25f * i, 1.0f - 0.25f * i}};
        part.vertices.push_back(v);
    }
    const float lo[3] = {shift, 0, -1}, hi[3] = {shift + 2, 4, -1}, centre[3] = {shift + 1, 2, -1};
    for (int k = 0; k < 3; ++k)
    {
        part.boxMin[k] = lo[k];
        part.boxMax[k] = hi[k];
        part.centre[k] = centre[k];
    }
    part.radius = 7.5f + shift;
    return part;
}

// Slots 0 (three box parts), 11 (one triangle), 15 (two triangle parts as
// animation frames) and point sets 0, 8 and 9.
MeshDesc SampleMesh()
{
    MeshDesc mesh;
    const float lo[3][3] = {{-1, 0, -1}, {-2, 0, -2}, {0, 0, 0}};
    const float hi[3][3] = {{1, 1, 1}, {2, 3, 2}, {0.5f, 0.25f, 4}};
    for (int p = 0; p < 3; ++p)
        EXPECT_TRUE(AddBoxPart(mesh.slots[0], lo[p], hi[p]));
    mesh.slots[11].parts.push_back(TrianglePart(0));
    mesh.slots[11].indices = {0, 1, 2};
    mesh.slots[15].parts.push_back(TrianglePart(10));
    mesh.slots[15].parts.push_back(TrianglePart(20));
    mesh.slots[15].indices = {2, 1, 0, 0, 1, 2};
    mesh.points[0] = {{0.5f, 1.5f, -2.0f}};
    mesh.points[8] = {{1, 2, 3}, {4, 5, 6}, {-7, -8, -9}};
    mesh.points[9] = {{0, 0.75f, 0.1f}};
    return mesh;
}

void PutI32(std::vector<uint8_t>& b, size_t at, int32_t v)
{
    std::memcpy(&b[at], &v, 4);
}

}   // namespace

TEST(MeshFile, EverythingWrittenReadsBack)
{
    const MeshDesc mesh = SampleMesh();
    const std::vector<uint8_t> bytes = WriteMesh(mesh);
    ASSERT_FALSE(bytes.empty());

    MeshFileData file;
    ASSERT_EQ(ParseMeshFile(bytes.data(), bytes.size(), file), MESHFILE_OK);
    for (int s = 0; s < MESH_SLOTS; ++s)
    {
        SCOPED_TRACE(s);
        const MeshSlot& want = mesh.slots[s];
        const MeshFileSlot& got = file.slots[s];
        ASSERT_EQ(got.partCount, int(want.parts.size()));
        if (want.parts.empty())
        {
            EXPECT_TRUE(got.vertices.empty() && got.indices.empty() && got.boxes.empty());
            continue;
        }
        ASSERT_EQ(got.vertexCount, int(want.parts[0].vertices.size()));
        ASSERT_EQ(got.faceCount, int(want.indices.size() / 3));
        EXPECT_EQ(got.indices, want.indices);
        for (size_t p = 0; p < want.parts.size(); ++p)
        {
            const MeshPart& part = want.parts[p];
            for (int k = 0; k < 3; ++k)
            {
                EXPECT_EQ(got.boxes[p * 6 + k], part.boxMin[k]);
                EXPECT_EQ(got.boxes[p * 6 + 3 + k], part.boxMax[k]);
                EXPECT_EQ(got.centres[p * 3 + k], part.centre[k]);
            }
            EXPECT_EQ(got.radii[p], part.radius);
            const float* v = &got.vertices[p * got.vertexCount * 8];
            for (const MeshVertex& w : part.vertices)
            {
                const float expected[8] = {w.pos[0],    w.pos[1],    w.pos[2], w.normal[0],
                                           w.normal[1], w.normal[2], w.uv[0],  w.uv[1]};
                EXPECT_EQ(std::memcmp(v, expected, sizeof(expected)), 0);
                v += 8;
            }
        }
    }
    for (int p = 0; p < MESH_POINT_SETS; ++p)
    {
        SCOPED_TRACE(p);
        ASSERT_EQ(file.pointCount[p], int(mesh.points[p].size()));
        for (size_t i = 0; i < mesh.points[p].size(); ++i)
        {
            EXPECT_EQ(file.points[p][i * 3 + 0], mesh.points[p][i].x);
            EXPECT_EQ(file.points[p][i * 3 + 1], mesh.points[p][i].y);
            EXPECT_EQ(file.points[p][i * 3 + 2], mesh.points[p][i].z);
        }
    }
}

TEST(MeshFile, EveryShortenedFileIsRefused)
{
    const std::vector<uint8_t> bytes = WriteMesh(SampleMesh());
    for (size_t length = 0; length < bytes.size(); ++length)
    {
        MeshFileData file;
        ASSERT_EQ(ParseMeshFile(bytes.data(), length, file), MESHFILE_SHORT) << "length " << length;
        EXPECT_EQ(file.slots[0].partCount, 0);
        EXPECT_TRUE(file.slots[0].vertices.empty());
    }
    // Bytes after the last point set do no harm.
    std::vector<uint8_t> longer = bytes;
    longer.resize(bytes.size() + 5, 0xAB);
    MeshFileData file;
    EXPECT_EQ(ParseMeshFile(longer.data(), longer.size(), file), MESHFILE_OK);
}

TEST(MeshFile, CountsThatDoNotFitAreRefused)
{
    const std::vector<uint8_t> good = WriteMesh(SampleMesh());
    const size_t pointCounts = good.size() - (1 + 3 + 1) * 12 - 64;   // offset of the point-count array
    struct Case
    {
        const char* what;
        size_t offset;
        int32_t value;
        MeshFileResult result;
    } cases[] = {
        {"negative parts", 4 * 3, -1, MESHFILE_BAD_COUNT},
        {"parts far beyond the file", 0, 0x7FFFFFFF, MESHFILE_SHORT},
        {"parts without vertices", 64 + 0, 0, MESHFILE_BAD_COUNT},
        {"negative vertices", 64 + 0, -24, MESHFILE_BAD_COUNT},
        {"more vertices than 16-bit indices reach", 64 + 0, 70000, MESHFILE_BAD_COUNT},
        {"parts without triangles", 128 + 4 * 11, 0, MESHFILE_BAD_COUNT},
        {"triangles far beyond the file", 128 + 4 * 15, 0x7FFFFFFF, MESHFILE_SHORT},
        {"vertices far beyond the file", 64 + 4 * 15, 65536, MESHFILE_SHORT},
        {"negative points", pointCounts + 4 * 8, -3, MESHFILE_BAD_COUNT},
        {"points far beyond the file", pointCounts + 4 * 2, 0x40000000, MESHFILE_SHORT},
        {"one point more than stored", pointCounts + 4 * 9, 2, MESHFILE_SHORT},
    };
    // The offset of the point-count array is right: its entry 8 holds 3.
    int32_t eight = 0;
    std::memcpy(&eight, &good[pointCounts + 4 * 8], 4);
    ASSERT_EQ(eight, 3);
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> bytes = good;
        PutI32(bytes, c.offset, c.value);
        MeshFileData file;
        EXPECT_EQ(ParseMeshFile(bytes.data(), bytes.size(), file), c.result);
        EXPECT_EQ(file.slots[0].partCount, 0);
        EXPECT_TRUE(file.points[8].empty());
    }
}

TEST(MeshFile, TriangleNamingAMissingVertexIsRefused)
{
    MeshDesc mesh = SampleMesh();
    mesh.slots[11].indices = {0, 1, 3};   // the slot has vertices 0..2
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(WriteMesh(mesh, bytes, nullptr, false));
    MeshFileData file;
    EXPECT_EQ(ParseMeshFile(bytes.data(), bytes.size(), file), MESHFILE_BAD_INDEX);
    EXPECT_EQ(ParseMeshFile(nullptr, 0, file), MESHFILE_SHORT);
}
