#include "tools/ShapeBuilder.h"

#include <cmath>

namespace
{

const float kPi = 3.14159265358979f;

Vec3f Cross(Vec3f a, Vec3f b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

Vec3f Normalised(Vec3f v)
{
    const float l = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return l > 0.0f ? v * (1.0f / l) : Vec3f{0, 1, 0};
}

}   // namespace

UvRect AtlasRect(int atlasSize, int x, int y, int w, int h)
{
    const float s = 1.0f / float(atlasSize);
    // Half a texel in from every edge, so filtering stays inside the region.
    return {(x + 0.5f) * s, (y + 0.5f) * s, (x + w - 0.5f) * s, (y + h - 0.5f) * s};
}

uint16_t ShapeBuilder::Put(Vec3f p, Vec3f n, float u, float v)
{
    MeshVertex vertex;
    vertex.pos[0] = p.x;
    vertex.pos[1] = p.y;
    vertex.pos[2] = p.z;
    vertex.normal[0] = n.x;
    vertex.normal[1] = n.y;
    vertex.normal[2] = n.z;
    vertex.uv[0] = u;
    vertex.uv[1] = v;
    m_Vertices.push_back(vertex);
    return uint16_t(m_Vertices.size() - 1);
}

void ShapeBuilder::Quad(Vec3f origin, Vec3f right, Vec3f up, const UvRect& uv)
{
    const Vec3f n = Normalised(Cross(up, right));
    const uint16_t tl = Put(origin + up, n, uv.u0, uv.v0);
    const uint16_t tr = Put(origin + up + right, n, uv.u1, uv.v0);
    const uint16_t bl = Put(origin, n, uv.u0, uv.v1);
    const uint16_t br = Put(origin + right, n, uv.u1, uv.v1);
    const uint16_t tri[6] = {tl, bl, tr, tr, bl, br};
    m_Indices.insert(m_Indices.end(), tri, tri + 6);
}

void ShapeBuilder::Triangle(Vec3f a, Vec3f b, Vec3f c, const float uvA[2], const float uvB[2], const float uvC[2])
{
    const Vec3f n = Normalised(Cross(c - a, b - a));
    m_Indices.push_back(Put(a, n, uvA[0], uvA[1]));
    m_Indices.push_back(Put(b, n, uvB[0], uvB[1]));
    m_Indices.push_back(Put(c, n, uvC[0], uvC[1]));
}

void ShapeBuilder::Box(Vec3f lo, Vec3f hi, const UvRect* faces, const UvRect& all)
{
    auto face = [&](int i) { return faces ? faces[i] : all; };
    const float dx = hi.x - lo.x, dy = hi.y - lo.y, dz = hi.z - lo.z;
    Quad({hi.x, lo.y, lo.z}, {0, 0, dz}, {0, dy, 0}, face(0));    // +x
    Quad({lo.x, lo.y, hi.z}, {0, 0, -dz}, {0, dy, 0}, face(1));   // -x
    Quad({lo.x, hi.y, lo.z}, {dx, 0, 0}, {0, 0, dz}, face(2));    // +y
    Quad({lo.x, lo.y, hi.z}, {dx, 0, 0}, {0, 0, -dz}, face(3));   // -y
    Quad({hi.x, lo.y, hi.z}, {-dx, 0, 0}, {0, dy, 0}, face(4));   // +z
    Quad({lo.x, lo.y, lo.z}, {dx, 0, 0}, {0, dy, 0}, face(5));    // -z
}

void ShapeBuilder::Cylinder(float cx, float cz, float y0, float y1, float bottomRadius, float topRadius, int sides,
                            const UvRect& side, const UvRect* top, const UvRect* bottom)
{
    // Going round the outside with the axis up, screen right runs clockwise
    // seen from above: angle a puts the point at (sin a, cos a).
    const float slope = (bottomRadius - topRadius) / (y1 - y0);
    const uint16_t first = uint16_t(m_Vertices.size());
    for (int i = 0; i <= sides; ++i)
    {
        const float a = 2.0f * kPi * float(i) / float(sides);
        const float s = std::sin(a), c = std::cos(a);
        const Vec3f n = Normalised({s, slope, c});
        const float u = side.u0 + (side.u1 - side.u0) * float(i) / float(sides);
        Put({cx + s * topRadius, y1, cz + c * topRadius}, n, u, side.v0);
        Put({cx + s * bottomRadius, y0, cz + c * bottomRadius}, n, u, side.v1);
    }
    for (int i = 0; i < sides; ++i)
    {
        // Seen from outside, angle i + 1 lies to the left of angle i.
        const uint16_t tr = uint16_t(first + 2 * i), br = uint16_t(tr + 1);
        const uint16_t tl = uint16_t(tr + 2), bl = uint16_t(tr + 3);
        const uint16_t tri[6] = {tl, bl, tr, tr, bl, br};
        m_Indices.insert(m_Indices.end(), tri, tri + 6);
    }
    auto cap = [&](float y, float r, const UvRect& uv, bool up) {
        const uint16_t centre =
            Put({cx, y, cz}, {0, up ? 1.0f : -1.0f, 0}, (uv.u0 + uv.u1) * 0.5f, (uv.v0 + uv.v1) * 0.5f);
        const uint16_t ring = uint16_t(m_Vertices.size());
        for (int i = 0; i <= sides; ++i)
        {
            const float a = 2.0f * kPi * float(i) / float(sides);
            const float s = std::sin(a), c = std::cos(a);
            Put({cx + s * r, y, cz + c * r}, {0, up ? 1.0f : -1.0f, 0},
                (uv.u0 + uv.u1) * 0.5f + s * (uv.u1 - uv.u0) * 0.5f,
                (uv.v0 + uv.v1) * 0.5f - c * (uv.v1 - uv.v0) * 0.5f);
        }
        for (int i = 0; i < sides; ++i)
        {
            const uint16_t a = uint16_t(ring + i), b = uint16_t(ring + i + 1);
            // Seen from above the angles run clockwise.
            if (up)
            {
                m_Indices.push_back(centre);
                m_Indices.push_back(b);
                m_Indices.push_back(a);
            }
            else
            {
                m_Indices.push_back(centre);
                m_Indices.push_back(a);
                m_Indices.push_back(b);
            }
        }
    };
    if (top && topRadius > 0.0f)
        cap(y1, topRadius, *top, true);
    if (bottom && bottomRadius > 0.0f)
        cap(y0, bottomRadius, *bottom, false);
}

MeshSlot ShapeBuilder::Slot() const
{
    MeshSlot slot;
    MeshPart part;
    part.vertices = m_Vertices;
    ComputePartBounds(part);
    slot.parts.push_back(part);
    slot.indices = m_Indices;
    return slot;
}

MeshSlot SolidSlot(const SolidDesc& solid)
{
    MeshSlot slot;
    MeshPart part;
    for (const Vec3f& c : solid.corners)
    {
        MeshVertex v = {{c.x, c.y, c.z}, {0, 1, 0}, {0, 0}};
        part.vertices.push_back(v);
    }
    ComputePartBounds(part);
    slot.parts.push_back(part);
    for (const std::vector<uint16_t>& face : solid.faces)
        for (size_t i = 1; i + 1 < face.size(); ++i)
        {
            slot.indices.push_back(face[0]);
            slot.indices.push_back(face[i]);
            slot.indices.push_back(face[i + 1]);
        }
    return slot;
}

SolidDesc BoxSolid(Vec3f lo, Vec3f hi)
{
    SolidDesc s;
    // Corner k: x from bit 0, y from bit 1, z from bit 2.
    for (int k = 0; k < 8; ++k)
        s.corners.push_back({k & 1 ? hi.x : lo.x, k & 2 ? hi.y : lo.y, k & 4 ? hi.z : lo.z});
    // Each face: top-left, bottom-left, bottom-right, top-right seen from outside.
    s.faces = {{3, 1, 5, 7}, {6, 4, 0, 2}, {6, 2, 3, 7}, {0, 4, 5, 1}, {7, 5, 4, 6}, {2, 0, 1, 3}};
    return s;
}

SolidDesc GableSolid(float halfX, float halfZ, float y0, float eaves, float ridgeY)
{
    SolidDesc s;
    // Front (+z) pentagon 0..4, back (-z) pentagon 5..9: bottom left and
    // right, eaves right and left, ridge (left and right as seen from +x... as
    // numbers: x -, x +).
    const float zs[2] = {halfZ, -halfZ};
    for (float z : zs)
    {
        s.corners.push_back({-halfX, y0, z});
        s.corners.push_back({halfX, y0, z});
        s.corners.push_back({halfX, eaves, z});
        s.corners.push_back({-halfX, eaves, z});
        s.corners.push_back({0, ridgeY, z});
    }
    // Front seen from +z: screen right is -x. Counter-clockwise on screen
    // runs ridge, left eaves (+x), ... so the order is 4, 2, 1, 0, 3.
    s.faces.push_back({4, 2, 1, 0, 3});
    // Back seen from -z: screen right is +x.
    s.faces.push_back({9, 8, 5, 6, 7});
    // Side walls and roof planes, each top-left, bottom-left, bottom-right, top-right.
    s.faces.push_back({7, 6, 1, 2});   // +x wall, seen from +x (right is +z)
    s.faces.push_back({3, 0, 5, 8});   // -x wall
    s.faces.push_back({9, 7, 2, 4});   // +x roof
    s.faces.push_back({4, 3, 8, 9});   // -x roof
    s.faces.push_back({0, 1, 6, 5});   // floor seen from below
    return s;
}

SolidDesc PrismSolid(float cx, float cz, float y0, float y1, float radius, int sides, float apexY)
{
    SolidDesc s;
    for (int i = 0; i < sides; ++i)
    {
        const float a = 2.0f * kPi * float(i) / float(sides);
        s.corners.push_back({cx + std::sin(a) * radius, y1, cz + std::cos(a) * radius});
        s.corners.push_back({cx + std::sin(a) * radius, y0, cz + std::cos(a) * radius});
    }
    for (int i = 0; i < sides; ++i)
    {
        const uint16_t tr = uint16_t(2 * i), br = uint16_t(tr + 1);
        const uint16_t tl = uint16_t((2 * i + 2) % (2 * sides)), bl = uint16_t(tl + 1);
        s.faces.push_back({tl, bl, br, tr});
    }
    std::vector<uint16_t> bottom;
    for (int i = 0; i < sides; ++i)
        bottom.push_back(uint16_t(2 * i + 1));
    s.faces.push_back(bottom);
    if (apexY > 0.0f)
    {
        const uint16_t apex = uint16_t(s.corners.size());
        s.corners.push_back({cx, y1 + apexY, cz});
        for (int i = 0; i < sides; ++i)
            s.faces.push_back({apex, uint16_t((2 * i + 2) % (2 * sides)), uint16_t(2 * i)});
    }
    else
    {
        std::vector<uint16_t> top;
        for (int i = sides - 1; i >= 0; --i)
            top.push_back(uint16_t(2 * i));
        s.faces.push_back(top);
    }
    return s;
}
