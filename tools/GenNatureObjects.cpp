// Generator module: the nature objects. Sixteen stones (four shapes in four
// sizes, "Data/Static/Nature/Stones/Main%02dS%d.obj") and five trees
// ("Data/Static/Nature/Trees/Main%02d.obj": 00 a dark bush, 01 a round
// broadleaf, 02 a tall narrow tree, 03 a wide spreading tree, 04 a fir).
//
// Stones: slot 0 a smooth, lumpy rock with texture coordinates over one cell
// of the stone atlas (the game picks the cell); slot 12 the same rock as the
// collision mesh. Trees: slot 0 the trunk and branches, slot 1 the trunk
// alone for distance, slot 5 the leaf quads of the crown (four corners
// each: top-right, bottom-right, top-left, bottom-left), slot 11 the trunk as
// the shadow caster and slot 12 the trunk as the collision mesh. The stems
// map the bark strip's full width round the trunk, v along it.
#include <cmath>
#include <string>
#include <vector>

#include "tools/DataTree.h"
#include "tools/DemoObjects.h"
#include "tools/ShapeBuilder.h"

namespace
{

const float kPi = 3.14159265f;

float Hash01(uint32_t x)
{
    x ^= x >> 16;
    x *= 0x7FEB352Du;
    x ^= x >> 15;
    x *= 0x846CA68Bu;
    x ^= x >> 16;
    return (x & 0xFFFFFF) / 16777216.0f;
}

Vec3f Normalised(Vec3f v)
{
    const float l = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return l > 0 ? v * (1.0f / l) : Vec3f{0, 1, 0};
}

Vec3f Cross(Vec3f a, Vec3f b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float Dot(Vec3f a, Vec3f b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// A unit icosahedron (12 corners, 20 triangles), subdivided once when
// `fine` (42 corners, 80 triangles).
void Icosphere(std::vector<Vec3f>& corners, std::vector<uint16_t>& tris, bool fine)
{
    const float t = (1.0f + std::sqrt(5.0f)) / 2.0f;
    corners = {{-1, t, 0},  {1, t, 0},  {-1, -t, 0}, {1, -t, 0}, {0, -1, t},  {0, 1, t},
               {0, -1, -t}, {0, 1, -t}, {t, 0, -1},  {t, 0, 1},  {-t, 0, -1}, {-t, 0, 1}};
    for (Vec3f& c : corners)
        c = Normalised(c);
    std::vector<uint16_t> f = {0, 11, 5,  0, 5,  1, 0, 1, 7, 0, 7,  10, 0, 10, 11, 1, 5, 9, 5, 11,
                               4, 11, 10, 2, 10, 7, 6, 7, 1, 8, 3,  9,  4, 3,  4,  2, 3, 2, 6, 3,
                               6, 8,  3,  8, 9,  4, 9, 5, 2, 4, 11, 6,  2, 10, 8,  6, 7, 9, 8, 1};
    if (!fine)
    {
        tris = f;
        return;
    }
    std::vector<uint16_t> out;
    auto mid = [&](uint16_t a, uint16_t b) {
        const Vec3f m = Normalised((corners[a] + corners[b]) * 0.5f);
        for (size_t i = 12; i < corners.size(); ++i)
            if (std::fabs(corners[i].x - m.x) + std::fabs(corners[i].y - m.y) + std::fabs(corners[i].z - m.z) < 1e-5f)
                return uint16_t(i);
        corners.push_back(m);
        return uint16_t(corners.size() - 1);
    };
    for (size_t i = 0; i < f.size(); i += 3)
    {
        const uint16_t a = f[i], b = f[i + 1], c = f[i + 2];
        const uint16_t ab = mid(a, b), bc = mid(b, c), ca = mid(c, a);
        const uint16_t sub[12] = {a, ab, ca, b, bc, ab, c, ca, bc, ab, bc, ca};
        out.insert(out.end(), sub, sub + 12);
    }
    tris = out;
}

// Winds every triangle so that it faces away from `centre`.
void FaceOutwards(const std::vector<Vec3f>& corners, std::vector<uint16_t>& tris, Vec3f centre)
{
    for (size_t i = 0; i < tris.size(); i += 3)
    {
        const Vec3f a = corners[tris[i]], b = corners[tris[i + 1]], c = corners[tris[i + 2]];
        const Vec3f n = Cross(c - a, b - a);
        if (Dot(n, (a + b + c) * (1.0f / 3.0f) - centre) < 0)
            std::swap(tris[i + 1], tris[i + 2]);
    }
}

// A rock of the given shape (0..3) and radius, sunk a little into the ground.
void Stone(DataTree& tree, int shape, int size)
{
    const float radius[4] = {0.28f, 0.5f, 0.8f, 1.25f};
    const Vec3f stretch[4] = {{1.3f, 0.65f, 1.0f}, {1.0f, 0.8f, 0.9f}, {1.5f, 0.55f, 0.8f}, {1.1f, 1.0f, 1.05f}};
    std::vector<Vec3f> corners;
    std::vector<uint16_t> tris;
    // The small stones need no more than the plain solid.
    Icosphere(corners, tris, size >= 2);
    const float r = radius[size];
    for (size_t i = 0; i < corners.size(); ++i)
    {
        const Vec3f c = corners[i];
        // Lumps: a few broad bumps and flat facets, different per shape.
        float bump = 1.0f + 0.18f * std::sin(3.1f * c.x + 1.7f * shape) * std::cos(2.3f * c.z - shape) +
                     0.12f * (Hash01(uint32_t(i * 131 + shape * 977 + size * 31)) - 0.5f);
        if (c.y < -0.2f)
            bump *= 0.9f;
        Vec3f p = {c.x * stretch[shape].x, c.y * stretch[shape].y, c.z * stretch[shape].z};
        p = p * (bump * r);
        p.y += r * stretch[shape].y * 0.55f;   // most of it above the ground
        corners[i] = p;
    }
    const Vec3f centre = {0, r * stretch[shape].y * 0.55f, 0};
    FaceOutwards(corners, tris, centre);

    MeshSlot main;
    MeshPart part;
    for (const Vec3f& p : corners)
    {
        const Vec3f n = Normalised(Vec3f{(p.x - centre.x) / (stretch[shape].x * stretch[shape].x),
                                         (p.y - centre.y) / (stretch[shape].y * stretch[shape].y),
                                         (p.z - centre.z) / (stretch[shape].z * stretch[shape].z)});
        // Planar mapping from above and the side, kept inside the cell.
        const float u = 0.5f + 0.45f * (p.x / (r * 1.6f)), v = 0.5f - 0.45f * ((p.z + p.y) / (r * 2.2f));
        MeshVertex mv = {{p.x, p.y, p.z},
                         {n.x, n.y, n.z},
                         {std::fmin(std::fmax(u, 0.02f), 0.98f), std::fmin(std::fmax(v, 0.02f), 0.98f)}};
        part.vertices.push_back(mv);
    }
    ComputePartBounds(part);
    main.parts.push_back(part);
    main.indices = tris;

    SolidDesc solid;
    solid.corners = corners;
    for (size_t i = 0; i < tris.size(); i += 3)
        solid.faces.push_back({tris[i], tris[i + 1], tris[i + 2]});
    MeshDesc mesh;
    mesh.slots[MESHSLOT_MAIN] = main;
    mesh.slots[MESHSLOT_COLLISION_MESH] = SolidSlot(solid);

    char name[64];
    std::snprintf(name, sizeof(name), "Main%02dS%d", shape + 1, size + 1);
    const std::string folder = "Data/Static/Nature/Stones/";
    tree.Add(folder + name + ".msh", WriteMesh(mesh));
    tree.AddText(folder + name + ".obj", DemoDescription(std::string("stone ") + name, "GCLASS_STATIC", "GTYPE_STONE",
                                                         folder + name + ".msh", "", {}, {}));
}

struct TreeShape
{
    float trunkHeight, trunkRadius;
    int branches;
    float crownY, crownRX, crownRY;   // crown centre height and half sizes
    float crownTaper;                 // 1: ellipsoid; above 0 narrows to the top (a fir)
    int leafQuads;
    float leafSize;   // half size of a leaf quad
};

// A tapered branch from `from` to `to` as a thin four-sided tube.
void Branch(ShapeBuilder& b, Vec3f from, Vec3f to, float r0, float r1, const UvRect& bark)
{
    const Vec3f axis = Normalised(to - from);
    Vec3f side = Normalised(Cross(axis, std::fabs(axis.y) < 0.9f ? Vec3f{0, 1, 0} : Vec3f{1, 0, 0}));
    Vec3f other = Cross(axis, side);
    const int n = 4;
    for (int i = 0; i < n; ++i)
    {
        const float a0 = 2 * kPi * i / n, a1 = 2 * kPi * (i + 1) / n;
        const Vec3f d0 = side * std::cos(a0) + other * std::sin(a0), d1 = side * std::cos(a1) + other * std::sin(a1);
        const Vec3f p00 = from + d0 * r0, p01 = from + d1 * r0, p10 = to + d0 * r1, p11 = to + d1 * r1;
        const float u0 = bark.u0 + (bark.u1 - bark.u0) * i / n, u1 = bark.u0 + (bark.u1 - bark.u0) * (i + 1) / n;
        const float t00[2] = {u0, 0.95f}, t01[2] = {u1, 0.95f}, t10[2] = {u0, 0.05f}, t11[2] = {u1, 0.05f};
        // Both windings decided by the outward test below.
        Vec3f a = p00, bb = p01, c = p11;
        const Vec3f mid = (p00 + p01 + p11) * (1.0f / 3.0f);
        const Vec3f centreLine = from + axis * Dot(mid - from, axis);
        if (Dot(Cross(c - a, bb - a), mid - centreLine) >= 0)
        {
            b.Triangle(p00, p01, p11, t00, t01, t11);
            b.Triangle(p00, p11, p10, t00, t11, t10);
        }
        else
        {
            b.Triangle(p00, p11, p01, t00, t11, t01);
            b.Triangle(p00, p10, p11, t00, t10, t11);
        }
    }
}

void Tree(DataTree& tree, int number, const TreeShape& s)
{
    const UvRect bark = {0.0f, 0.0f, 1.0f, 1.0f};
    const uint32_t seed = uint32_t(number * 7919 + 17);
    ShapeBuilder stems, low;
    stems.Cylinder(0, 0, -0.3f, s.trunkHeight, s.trunkRadius, s.trunkRadius * 0.45f, 8, bark, nullptr, nullptr);
    low.Cylinder(0, 0, -0.3f, s.trunkHeight, s.trunkRadius, s.trunkRadius * 0.45f, 5, bark, nullptr, nullptr);
    for (int i = 0; i < s.branches; ++i)
    {
        const float a = 2 * kPi * (i + 0.37f * Hash01(seed + i)) / s.branches;
        const float y0 = s.trunkHeight * (0.45f + 0.45f * Hash01(seed * 3 + i));
        const float reach = s.crownRX * (0.55f + 0.35f * Hash01(seed * 5 + i));
        const Vec3f from = {0, y0, 0};
        const Vec3f to = {std::sin(a) * reach, y0 + reach * (s.crownTaper > 0 ? 0.15f : 0.7f), std::cos(a) * reach};
        Branch(stems, from, to, s.trunkRadius * 0.35f, s.trunkRadius * 0.12f, bark);
    }

    // Leaf quads spread through the crown, denser towards its skin.
    MeshSlot leaves;
    MeshPart part;
    for (int q = 0; q < s.leafQuads; ++q)
    {
        const float u = Hash01(seed * 11 + q), v = Hash01(seed * 13 + q), w = Hash01(seed * 17 + q);
        const float a = 2 * kPi * u;
        float y = 2.0f * v - 1.0f;   // -1..1 within the crown
        float ring = std::sqrt(std::fmax(0.0f, 1.0f - y * y));
        if (s.crownTaper > 0)
            ring = (1.0f - (y + 1.0f) * 0.5f) * 1.05f;   // a cone
        const float depth = 0.55f + 0.45f * std::sqrt(w);
        const Vec3f c = {std::sin(a) * ring * depth * s.crownRX, s.crownY + y * s.crownRY,
                         std::cos(a) * ring * depth * s.crownRX};
        const float h = s.leafSize * (0.8f + 0.4f * Hash01(seed * 19 + q));
        // The quad's plane: turned about y, tilted a little.
        const float turn = 2 * kPi * Hash01(seed * 23 + q);
        const Vec3f right = {std::cos(turn) * h, 0, -std::sin(turn) * h};
        const Vec3f up = {0.3f * std::sin(turn) * h, h, 0.3f * std::cos(turn) * h};
        const Vec3f corners[4] = {c + right + up, c + right - up, c - right + up, c - right - up};
        const float uv[4][2] = {{1, 0}, {1, 1}, {0, 0}, {0, 1}};
        for (int k = 0; k < 4; ++k)
        {
            const Vec3f n = Normalised(corners[k] - Vec3f{0, s.crownY, 0});
            part.vertices.push_back(
                {{corners[k].x, corners[k].y, corners[k].z}, {n.x, n.y, n.z}, {uv[k][0], uv[k][1]}});
        }
        const uint16_t V = uint16_t(4 * q);
        const uint16_t quad[6] = {
            V, uint16_t(V + 1), uint16_t(V + 2), uint16_t(V + 3), uint16_t(V + 1), uint16_t(V + 2)};
        leaves.indices.insert(leaves.indices.end(), quad, quad + 6);
    }
    ComputePartBounds(part);
    leaves.parts.push_back(part);

    MeshDesc mesh;
    mesh.slots[MESHSLOT_MAIN] = stems.Slot();
    mesh.slots[MESHSLOT_SECOND] = low.Slot();
    mesh.slots[MESHSLOT_LIGHTMAP] = leaves;
    mesh.slots[MESHSLOT_SHADOW] = SolidSlot(PrismSolid(0, 0, 0, s.trunkHeight, s.trunkRadius, 6, 0));
    mesh.slots[MESHSLOT_COLLISION_MESH] = SolidSlot(PrismSolid(0, 0, -0.3f, s.trunkHeight, s.trunkRadius, 8, 0));

    char name[64];
    std::snprintf(name, sizeof(name), "Main%02d", number);
    const std::string folder = "Data/Static/Nature/Trees/";
    tree.Add(folder + name + ".msh", WriteMesh(mesh));
    tree.AddText(folder + name + ".obj", DemoDescription(std::string("tree ") + name, "GCLASS_STATIC", "GTYPE_TREE",
                                                         folder + name + ".msh", "", {"GEFFECT_SHADOW"}, {}));
}

void GenerateNatureObjects(DataTree& tree)
{
    for (int shape = 0; shape < 4; ++shape)
        for (int size = 0; size < 4; ++size)
            Stone(tree, shape, size);
    //                 trunk h, r,  br, crown y, rx, ry, taper, quads, leaf
    const TreeShape shapes[5] = {
        {0.9f, 0.10f, 4, 1.3f, 1.5f, 1.0f, 0, 14, 0.95f},   // bush
        {3.2f, 0.22f, 5, 4.6f, 2.6f, 2.1f, 0, 30, 1.4f},    // round broadleaf
        {4.6f, 0.18f, 4, 5.6f, 1.6f, 2.9f, 0, 26, 1.25f},   // tall narrow
        {2.6f, 0.28f, 6, 4.0f, 3.4f, 1.7f, 0, 36, 1.5f},    // wide spreading
        {5.4f, 0.20f, 6, 4.4f, 2.1f, 3.6f, 1, 34, 1.25f},   // fir
    };
    for (int i = 0; i < 5; ++i)
        Tree(tree, i, shapes[i]);
}

}   // namespace

REGISTER_GENERATOR("natureobjects", GenerateNatureObjects);
