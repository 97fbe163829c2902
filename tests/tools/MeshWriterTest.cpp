// The mesh writer's output read back by a reader written here from the file
// layout alone: three header arrays, all bounds of the present slots, then per
// slot every part's vertices and the shared triangle list, then the point sets.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "platform/image/ImageDecode.h"
#include "tests/support/Files.h"
#include "tests/support/Paths.h"
#include "tools/MeshWriter.h"

using testsupport::ReadFileBytes;

namespace
{

struct Cursor
{
    const std::vector<uint8_t>& b;
    size_t pos = 0;
    bool ok = true;

    bool Need(size_t n)
    {
        if (!ok || b.size() - pos < n)
            ok = false;
        return ok;
    }
    uint32_t U32()
    {
        if (!Need(4))
            return 0;
        uint32_t v =
            uint32_t(b[pos]) | uint32_t(b[pos + 1]) << 8 | uint32_t(b[pos + 2]) << 16 | uint32_t(b[pos + 3]) << 24;
        pos += 4;
        return v;
    }
    int32_t I32() { return int32_t(U32()); }
    float F32()
    {
        uint32_t v = U32();
        float f;
        std::memcpy(&f, &v, 4);
        return f;
    }
    uint16_t U16()
    {
        if (!Need(2))
            return 0;
        uint16_t v = uint16_t(b[pos] | b[pos + 1] << 8);
        pos += 2;
        return v;
    }
};

struct ParsedPart
{
    float box[6];
    float centre[3];
    float radius;
    std::vector<float> vertices;   // 8 floats each
};

struct ParsedMesh
{
    int partCount[16], vertexCount[16], faceCount[16];
    std::vector<ParsedPart> parts[16];
    std::vector<uint16_t> indices[16];
    int pointCount[16];
    std::vector<float> points[16];
};

// Reads a whole file; fails on a short file, a negative count or bytes left over.
bool Parse(const std::vector<uint8_t>& bytes, ParsedMesh& m)
{
    Cursor c{bytes};
    for (int& v : m.partCount)
        v = c.I32();
    for (int& v : m.vertexCount)
        v = c.I32();
    for (int& v : m.faceCount)
        v = c.I32();
    for (int s = 0; s < 16 && c.ok; ++s)
    {
        if (m.partCount[s] < 0 || m.vertexCount[s] < 0 || m.faceCount[s] < 0 || m.partCount[s] > 1000)
            return false;
        if (m.partCount[s] == 0)
            continue;
        m.parts[s].resize(size_t(m.partCount[s]));
        for (ParsedPart& p : m.parts[s])
            for (float& f : p.box)
                f = c.F32();
        for (ParsedPart& p : m.parts[s])
            for (float& f : p.centre)
                f = c.F32();
        for (ParsedPart& p : m.parts[s])
            p.radius = c.F32();
    }
    for (int s = 0; s < 16 && c.ok; ++s)
    {
        if (m.partCount[s] == 0)
            continue;
        for (ParsedPart& p : m.parts[s])
        {
            if (!c.Need(size_t(m.vertexCount[s]) * 32))
                return false;
            p.vertices.resize(size_t(m.vertexCount[s]) * 8);
            for (float& f : p.vertices)
                f = c.F32();
        }
        if (!c.Need(size_t(m.faceCount[s]) * 6))
            return false;
        m.indices[s].resize(size_t(m.faceCount[s]) * 3);
        for (uint16_t& i : m.indices[s])
            i = c.U16();
    }
    for (int& v : m.pointCount)
        v = c.I32();
    for (int s = 0; s < 16 && c.ok; ++s)
    {
        if (m.pointCount[s] < 0 || !c.Need(size_t(m.pointCount[s]) * 12))
            return false;
        m.points[s].resize(size_t(m.pointCount[s]) * 3);
        for (float& f : m.points[s])
            f = c.F32();
    }
    return c.ok && c.pos == bytes.size();
}

// A part whose every number is distinct, so that a field written in the wrong
// place cannot go unnoticed.
MeshPart NumberedPart(int vertices, float base)
{
    MeshPart p;
    for (int k = 0; k < 3; ++k)
    {
        p.boxMin[k] = base + 0.1f * k;
        p.boxMax[k] = base + 1 + 0.1f * k;
        p.centre[k] = base + 2 + 0.1f * k;
    }
    p.radius = base + 3;
    for (int i = 0; i < vertices; ++i)
    {
        MeshVertex v;
        for (int k = 0; k < 8; ++k)
            (&v.pos[0])[k] = base + 10 + i + 0.01f * k;
        p.vertices.push_back(v);
    }
    return p;
}

}   // namespace

TEST(MeshWriter, RoundTripsSlotsPartsBoundsAndPointSets)
{
    MeshDesc mesh;
    // Slot 2: one part; slot 6: three parts (animation-frame style) sharing
    // one triangle list; slot 15: two collision boxes.
    mesh.slots[2].parts.push_back(NumberedPart(3, 100));
    mesh.slots[2].indices = {0, 1, 2};
    for (int p = 0; p < 3; ++p)
        mesh.slots[6].parts.push_back(NumberedPart(4, 200 + 50 * p));
    mesh.slots[6].indices = {0, 1, 2, 2, 1, 3};
    const float lo1[3] = {0, 0, 0}, hi1[3] = {1, 2, 3}, lo2[3] = {-4, -5, -6}, hi2[3] = {-1, -2, -3};
    ASSERT_TRUE(AddBoxPart(mesh.slots[15], lo1, hi1));
    ASSERT_TRUE(AddBoxPart(mesh.slots[15], lo2, hi2));
    mesh.points[1] = {{1, 2, 3}, {4, 5, 6}};
    mesh.points[8] = {{7, 8, 9}};

    std::vector<uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(WriteMesh(mesh, bytes, &error)) << error;
    ParsedMesh m;
    ASSERT_TRUE(Parse(bytes, m));

    for (int s = 0; s < 16; ++s)
    {
        SCOPED_TRACE("slot " + std::to_string(s));
        const MeshSlot& slot = mesh.slots[s];
        ASSERT_EQ(m.partCount[s], int(slot.parts.size()));
        EXPECT_EQ(m.vertexCount[s], slot.parts.empty() ? 0 : int(slot.parts[0].vertices.size()));
        EXPECT_EQ(m.faceCount[s], int(slot.indices.size() / 3));
        EXPECT_EQ(m.indices[s], slot.indices);
        for (size_t p = 0; p < slot.parts.size(); ++p)
        {
            const MeshPart& want = slot.parts[p];
            const ParsedPart& got = m.parts[s][p];
            for (int k = 0; k < 3; ++k)
            {
                EXPECT_EQ(got.box[k], want.boxMin[k]);
                EXPECT_EQ(got.box[3 + k], want.boxMax[k]);
                EXPECT_EQ(got.centre[k], want.centre[k]);
            }
            EXPECT_EQ(got.radius, want.radius);
            ASSERT_EQ(got.vertices.size(), want.vertices.size() * 8);
            EXPECT_EQ(0, std::memcmp(got.vertices.data(), want.vertices.data(), got.vertices.size() * 4));
        }
    }
    for (int s = 0; s < 16; ++s)
    {
        ASSERT_EQ(m.pointCount[s], int(mesh.points[s].size())) << "set " << s;
        for (size_t i = 0; i < mesh.points[s].size(); ++i)
        {
            EXPECT_EQ(m.points[s][i * 3 + 0], mesh.points[s][i].x);
            EXPECT_EQ(m.points[s][i * 3 + 1], mesh.points[s][i].y);
            EXPECT_EQ(m.points[s][i * 3 + 2], mesh.points[s][i].z);
        }
    }
}

TEST(MeshWriter, FieldsSitAtTheirByteOffsets)
{
    // Slot 5 with one part of three vertices and one triangle, point set 9
    // with one point: every field's offset is fixed by the layout.
    MeshDesc mesh;
    mesh.slots[5].parts.push_back(NumberedPart(3, 1000));
    mesh.slots[5].indices = {2, 0, 1};
    mesh.points[9] = {{-1.5f, 2.5f, 4.0f}};
    std::vector<uint8_t> b = WriteMesh(mesh);
    ASSERT_EQ(b.size(), 192u + 40 + 3 * 32 + 6 + 64 + 12);

    auto u32 = [&](size_t at) {
        uint32_t v = uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
        return v;
    };
    auto f32 = [&](size_t at) {
        uint32_t v = u32(at);
        float f;
        std::memcpy(&f, &v, 4);
        return f;
    };
    struct IntCase
    {
        size_t offset;
        uint32_t value;
    } ints[] = {
        {0 + 5 * 4, 1},     // parts of slot 5
        {0 + 4 * 4, 0},     // slot 4 empty
        {64 + 5 * 4, 3},    // vertices per part
        {128 + 5 * 4, 1},   // triangles
        {334 + 9 * 4, 1},   // points in set 9
        {334 + 8 * 4, 0},
    };
    for (const IntCase& c : ints)
        EXPECT_EQ(u32(c.offset), c.value) << "offset " << c.offset;
    struct FloatCase
    {
        size_t offset;
        float value;
    } floats[] = {
        {192, 1000.0f},         // box min x
        {192 + 12, 1001.0f},    // box max x
        {192 + 24, 1002.0f},    // centre x
        {192 + 36, 1003.0f},    // radius
        {232, 1010.0f},         // vertex 0 position x
        {232 + 12, 1010.03f},   // vertex 0 normal x
        {232 + 28, 1010.07f},   // vertex 0 v
        {232 + 64, 1012.0f},    // vertex 2 position x
        {398, -1.5f},           // the point
        {406, 4.0f},
    };
    for (const FloatCase& c : floats)
        EXPECT_FLOAT_EQ(f32(c.offset), c.value) << "offset " << c.offset;
    EXPECT_EQ(b[328], 2);
    EXPECT_EQ(b[330], 0);
    EXPECT_EQ(b[332], 1);
}

TEST(MeshWriter, EmptyMeshIsHeadersOnly)
{
    std::vector<uint8_t> b = WriteMesh(MeshDesc());
    ASSERT_EQ(b.size(), 256u);
    for (uint8_t v : b)
        ASSERT_EQ(v, 0);
}

TEST(MeshWriter, RefusesDescriptionsTheFileCannotHold)
{
    struct Case
    {
        const char* name;
        void (*make)(MeshDesc&);
    } cases[] = {
        {"parts differ in vertex count",
         [](MeshDesc& m) {
             m.slots[0].parts = {NumberedPart(3, 0), NumberedPart(4, 0)};
             m.slots[0].indices = {0, 1, 2};
         }},
        {"index count not a multiple of three",
         [](MeshDesc& m) {
             m.slots[1].parts = {NumberedPart(3, 0)};
             m.slots[1].indices = {0, 1};
         }},
        {"index beyond the vertices",
         [](MeshDesc& m) {
             m.slots[3].parts = {NumberedPart(3, 0)};
             m.slots[3].indices = {0, 1, 3};
         }},
        {"triangles without parts",
         [](MeshDesc& m) {
             m.slots[7].indices = {0, 0, 0};
         }},
        {"more vertices than 16-bit indices reach", [](MeshDesc& m) { m.slots[0].parts = {NumberedPart(65537, 0)}; }},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        MeshDesc mesh;
        c.make(mesh);
        std::vector<uint8_t> out = {1, 2, 3};
        std::string error;
        EXPECT_FALSE(WriteMesh(mesh, out, &error));
        EXPECT_TRUE(out.empty());
        EXPECT_FALSE(error.empty());
        EXPECT_TRUE(WriteMesh(mesh).empty());
    }

    // A fixture for a reader's range checks may ask for a bad index on purpose.
    MeshDesc bad;
    bad.slots[3].parts = {NumberedPart(3, 0)};
    bad.slots[3].indices = {0, 1, 7};
    std::vector<uint8_t> out;
    ASSERT_TRUE(WriteMesh(bad, out, nullptr, false));
    ParsedMesh m;
    ASSERT_TRUE(Parse(out, m));
    EXPECT_EQ(m.indices[3][2], 7);

    // 65536 vertices are still addressable.
    MeshDesc big;
    big.slots[0].parts = {NumberedPart(65536, 0)};
    big.slots[0].indices = {0, 65535, 1};
    EXPECT_TRUE(WriteMesh(big, out));
}

TEST(MeshWriter, BoxPartIsClosedAndFacesOutward)
{
    const float lo[3] = {-1, 0, 2}, hi[3] = {3, 1, 4};
    MeshPart box = MakeBoxPart(lo, hi);
    std::vector<uint16_t> idx = MakeBoxIndices();
    ASSERT_EQ(box.vertices.size(), 24u);
    ASSERT_EQ(idx.size(), 36u);
    for (int k = 0; k < 3; ++k)
    {
        EXPECT_FLOAT_EQ(box.boxMin[k], lo[k]);
        EXPECT_FLOAT_EQ(box.boxMax[k], hi[k]);
        EXPECT_FLOAT_EQ(box.centre[k], (lo[k] + hi[k]) / 2);
    }
    EXPECT_FLOAT_EQ(box.radius, std::sqrt(4.0f + 0.25f + 1.0f));

    const float c[3] = {1, 0.5f, 3};
    for (size_t t = 0; t < 12; ++t)
    {
        const MeshVertex& a = box.vertices[idx[t * 3]];
        const MeshVertex& b = box.vertices[idx[t * 3 + 1]];
        const MeshVertex& d = box.vertices[idx[t * 3 + 2]];
        float e1[3], e2[3], n[3], out[3];
        for (int k = 0; k < 3; ++k)
        {
            e1[k] = b.pos[k] - a.pos[k];
            e2[k] = d.pos[k] - a.pos[k];
            out[k] = (a.pos[k] + b.pos[k] + d.pos[k]) / 3 - c[k];
        }
        n[0] = e1[1] * e2[2] - e1[2] * e2[1];
        n[1] = e1[2] * e2[0] - e1[0] * e2[2];
        n[2] = e1[0] * e2[1] - e1[1] * e2[0];
        // Counter-clockwise seen from outside: the edge cross product points
        // into the box, against the stored normals.
        float dotOut = n[0] * out[0] + n[1] * out[1] + n[2] * out[2];
        EXPECT_LT(dotOut, 0) << "triangle " << t;
        for (const MeshVertex* v : {&a, &b, &d})
        {
            float dn = n[0] * v->normal[0] + n[1] * v->normal[1] + n[2] * v->normal[2];
            float len = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
            EXPECT_NEAR(dn, -len, 1e-4f) << "triangle " << t;
        }
    }
    // Every face spans the whole texture.
    for (int f = 0; f < 6; ++f)
    {
        float umin = 1, umax = 0, vmin = 1, vmax = 0;
        for (int i = 0; i < 4; ++i)
        {
            const MeshVertex& v = box.vertices[f * 4 + i];
            umin = std::min(umin, v.uv[0]);
            umax = std::max(umax, v.uv[0]);
            vmin = std::min(vmin, v.uv[1]);
            vmax = std::max(vmax, v.uv[1]);
        }
        EXPECT_EQ(umin, 0);
        EXPECT_EQ(umax, 1);
        EXPECT_EQ(vmin, 0);
        EXPECT_EQ(vmax, 1);
    }
}

TEST(MeshWriter, BoxPartsShareOnlyABoxTriangleList)
{
    const float lo[3] = {0, 0, 0}, hi[3] = {1, 1, 1};
    MeshSlot slot;
    ASSERT_TRUE(AddBoxPart(slot, lo, hi));
    ASSERT_TRUE(AddBoxPart(slot, lo, hi));
    EXPECT_EQ(slot.parts.size(), 2u);
    EXPECT_EQ(slot.indices, MakeBoxIndices());

    MeshSlot other;
    other.parts = {NumberedPart(3, 0)};
    other.indices = {0, 1, 2};
    EXPECT_FALSE(AddBoxPart(other, lo, hi));
    EXPECT_EQ(other.parts.size(), 1u);
    EXPECT_EQ(other.indices.size(), 3u);
}

TEST(MeshWriter, ComputePartBoundsOfAnEmptyPartIsZero)
{
    MeshPart p = NumberedPart(0, 5);
    ComputePartBounds(p);
    for (int k = 0; k < 3; ++k)
    {
        EXPECT_EQ(p.boxMin[k], 0);
        EXPECT_EQ(p.boxMax[k], 0);
        EXPECT_EQ(p.centre[k], 0);
    }
    EXPECT_EQ(p.radius, 0);
}

TEST(DemoDataMesh, CrateIsAReadableMeshWithCollisionSlots)
{
    const std::string root = testsupport::DemoDataDir();
    std::vector<uint8_t> bytes = ReadFileBytes(root + "/Data/Static/Crate/Main.msh");
    ASSERT_FALSE(bytes.empty());
    ParsedMesh m;
    ASSERT_TRUE(Parse(bytes, m));
    for (int s : {0, 11, 12, 15})
    {
        SCOPED_TRACE("slot " + std::to_string(s));
        ASSERT_EQ(m.partCount[s], 1);
        EXPECT_EQ(m.vertexCount[s], 24);
        EXPECT_EQ(m.faceCount[s], 12);
        // Standing on the ground: box from y 0 up.
        EXPECT_FLOAT_EQ(m.parts[s][0].box[1], 0.0f);
        EXPECT_GT(m.parts[s][0].box[4], 0.0f);
        EXPECT_GT(m.parts[s][0].radius, 0.0f);
    }

    // The description names the mesh and a texture that both exist.
    std::vector<uint8_t> text = ReadFileBytes(root + "/Data/Static/Crate/Main.obj");
    std::string desc(text.begin(), text.end());
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < desc.size())
    {
        size_t end = desc.find('\n', start);
        if (end == std::string::npos)
            end = desc.size();
        lines.push_back(desc.substr(start, end - start));
        start = end + 1;
    }
    ASSERT_GE(lines.size(), 10u);
    EXPECT_EQ(lines[3].substr(32), "GCLASS_STATIC");
    EXPECT_EQ(lines[4].substr(32), "GTYPE_STATIC");
    EXPECT_EQ(lines[6].substr(32), "Data/Static/Crate/Main.msh");
    std::vector<uint8_t> texture = ReadFileBytes(root + "/" + lines[7].substr(32));
    DecodedImage img;
    ASSERT_TRUE(DecodeImage(texture.data(), texture.size(), img));
    EXPECT_EQ(img.width, 128);
    EXPECT_EQ(img.height, 128);
    EXPECT_EQ(img.levels, 8);   // loaded with a full mip chain
    EXPECT_NE(lines[9].find("//--"), std::string::npos);
    for (const std::string& l : lines)
        EXPECT_FALSE(l.empty());
}
