#include "tools/VehicleMesh.h"

#include <cmath>

namespace
{

const float kPi = 3.14159265358979f;

V3 Cross(V3 a, V3 b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float Dot(V3 a, V3 b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

V3 Normalized(V3 a)
{
    const float l = std::sqrt(Dot(a, a));
    return l > 1e-6f ? a * (1.0f / l) : V3{0, 1, 0};
}

float Lerp(float a, float b, float t)
{
    return a + (b - a) * t;
}

}   // namespace

uint16_t PartBuilder::Vertex(V3 p, V3 n, float u, float v)
{
    MeshVertex mv;
    mv.pos[0] = p.x;
    mv.pos[1] = p.y;
    mv.pos[2] = p.z;
    n = Normalized(n);
    mv.normal[0] = n.x;
    mv.normal[1] = n.y;
    mv.normal[2] = n.z;
    if (projection)
        projection(p, &u, &v);
    mv.uv[0] = u;
    mv.uv[1] = v;
    m_Vertices.push_back(mv);
    return (uint16_t)(m_Vertices.size() - 1);
}

void PartBuilder::Triangle(uint16_t a, uint16_t b, uint16_t c)
{
    auto pos = [this](uint16_t i) {
        const MeshVertex& v = m_Vertices[i];
        return V3{v.pos[0], v.pos[1], v.pos[2]};
    };
    auto nrm = [this](uint16_t i) {
        const MeshVertex& v = m_Vertices[i];
        return V3{v.normal[0], v.normal[1], v.normal[2]};
    };
    const V3 face = Cross(pos(b) - pos(a), pos(c) - pos(a));
    // Front faces have their cross product against the outward normal.
    if (Dot(face, nrm(a) + nrm(b) + nrm(c)) > 0.0f)
        std::swap(b, c);
    m_Indices.push_back(a);
    m_Indices.push_back(b);
    m_Indices.push_back(c);
}

void PartBuilder::Box(V3 lo, V3 hi, UvRect uv)
{
    const V3 c = (lo + hi) * 0.5f, h = (hi - lo) * 0.5f;
    const V3 axes[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (int a = 0; a < 3; ++a)
        for (int s = -1; s <= 1; s += 2)
        {
            const V3 n = axes[a] * (float)s;
            const V3 r = axes[(a + 1) % 3], u = axes[(a + 2) % 3];
            uint16_t q[4];
            for (int i = 0; i < 4; ++i)
            {
                const float sr = (i & 1) ? 1.0f : -1.0f, su = (i & 2) ? 1.0f : -1.0f;
                const V3 d = n + r * sr + u * su;
                const V3 p{c.x + d.x * h.x, c.y + d.y * h.y, c.z + d.z * h.z};
                q[i] = Vertex(p, n, Lerp(uv.u0, uv.u1, (sr + 1) * 0.5f), Lerp(uv.v0, uv.v1, (1 - su) * 0.5f));
            }
            Triangle(q[0], q[1], q[2]);
            Triangle(q[1], q[3], q[2]);
        }
}

void PartBuilder::Tube(V3 a, V3 b, float ra, float rb, int sides, UvRect uv)
{
    const V3 axis = Normalized(b - a);
    const V3 helper = std::fabs(axis.y) < 0.9f ? V3{0, 1, 0} : V3{1, 0, 0};
    const V3 s1 = Normalized(Cross(axis, helper)), s2 = Cross(axis, s1);
    std::vector<uint16_t> ringA, ringB;
    for (int i = 0; i <= sides; ++i)
    {
        const float t = 2.0f * kPi * (float)i / (float)sides;
        const V3 dir = s1 * std::cos(t) + s2 * std::sin(t);
        const float u = Lerp(uv.u0, uv.u1, (float)i / (float)sides);
        ringA.push_back(Vertex(a + dir * ra, dir, u, uv.v1));
        ringB.push_back(Vertex(b + dir * rb, dir, u, uv.v0));
    }
    for (int i = 0; i < sides; ++i)
    {
        Triangle(ringA[i], ringA[i + 1], ringB[i]);
        Triangle(ringA[i + 1], ringB[i + 1], ringB[i]);
    }
    // End caps.
    const float um = (uv.u0 + uv.u1) * 0.5f, vm = (uv.v0 + uv.v1) * 0.5f;
    const uint16_t ca = Vertex(a, axis * -1.0f, um, vm), cb = Vertex(b, axis, um, vm);
    std::vector<uint16_t> capA, capB;
    for (int i = 0; i <= sides; ++i)
    {
        const float t = 2.0f * kPi * (float)i / (float)sides;
        const V3 dir = s1 * std::cos(t) + s2 * std::sin(t);
        capA.push_back(Vertex(a + dir * ra, axis * -1.0f, um, vm));
        capB.push_back(Vertex(b + dir * rb, axis, um, vm));
    }
    for (int i = 0; i < sides; ++i)
    {
        Triangle(ca, capA[i], capA[i + 1]);
        Triangle(cb, capB[i], capB[i + 1]);
    }
}

void PartBuilder::Torus(V3 centre, float major, float minor, int around, int tube, UvRect uv)
{
    std::vector<uint16_t> grid;
    for (int i = 0; i <= around; ++i)
    {
        const float a = 2.0f * kPi * (float)i / (float)around;
        const V3 radial{0, std::cos(a), std::sin(a)};
        for (int j = 0; j <= tube; ++j)
        {
            const float b = 2.0f * kPi * (float)j / (float)tube;
            const V3 n = radial * std::cos(b) + V3{1, 0, 0} * std::sin(b);
            grid.push_back(Vertex(centre + radial * major + n * minor, n, Lerp(uv.u0, uv.u1, (float)j / (float)tube),
                                  Lerp(uv.v0, uv.v1, std::fmod((float)i * 4.0f / (float)around, 1.0f))));
        }
    }
    const int row = tube + 1;
    for (int i = 0; i < around; ++i)
        for (int j = 0; j < tube; ++j)
        {
            const uint16_t p = grid[i * row + j], q = grid[i * row + j + 1];
            const uint16_t r = grid[(i + 1) * row + j], s = grid[(i + 1) * row + j + 1];
            Triangle(p, q, r);
            Triangle(q, s, r);
        }
}

void PartBuilder::DiscX(V3 centre, float radius, float halfWidth, int sides, UvRect face, UvRect edge)
{
    for (int s = -1; s <= 1; s += 2)
    {
        const V3 n{(float)s, 0, 0};
        const V3 c = centre + n * halfWidth;
        const uint16_t mid = Vertex(c, n, (face.u0 + face.u1) * 0.5f, (face.v0 + face.v1) * 0.5f);
        std::vector<uint16_t> ring;
        for (int i = 0; i <= sides; ++i)
        {
            const float a = 2.0f * kPi * (float)i / (float)sides;
            const float cy = std::cos(a), sz = std::sin(a);
            ring.push_back(Vertex(c + V3{0, cy, sz} * radius, n, Lerp(face.u0, face.u1, (sz + 1) * 0.5f),
                                  Lerp(face.v0, face.v1, (1 - cy) * 0.5f)));
        }
        for (int i = 0; i < sides; ++i)
            Triangle(mid, ring[i], ring[i + 1]);
    }
    std::vector<uint16_t> left, right;
    for (int i = 0; i <= sides; ++i)
    {
        const float a = 2.0f * kPi * (float)i / (float)sides;
        const V3 radial{0, std::cos(a), std::sin(a)};
        const float u = Lerp(edge.u0, edge.u1, (float)i / (float)sides);
        left.push_back(Vertex(centre + radial * radius - V3{halfWidth, 0, 0}, radial, u, edge.v0));
        right.push_back(Vertex(centre + radial * radius + V3{halfWidth, 0, 0}, radial, u, edge.v1));
    }
    for (int i = 0; i < sides; ++i)
    {
        Triangle(left[i], left[i + 1], right[i]);
        Triangle(left[i + 1], right[i + 1], right[i]);
    }
}

void PartBuilder::Hull(const std::vector<HullSection>& sections, UvRect uv)
{
    // Eight points around each section: a box with cut corners.
    const float corner[8][2] = {{0.6f, 1.0f},  {1.0f, 0.75f},  {1.0f, 0.25f},  {0.6f, 0.0f},
                                {-0.6f, 0.0f}, {-1.0f, 0.25f}, {-1.0f, 0.75f}, {-0.6f, 1.0f}};
    const int n = (int)sections.size();
    if (n < 2)
        return;
    auto point = [&](const HullSection& s, int k) {
        return V3{corner[k][0] * s.w, s.y0 + (s.y1 - s.y0) * corner[k][1], s.z};
    };
    auto outward = [&](int k) { return Normalized(V3{corner[k][0], (corner[k][1] - 0.5f) * 1.6f, 0}); };
    std::vector<uint16_t> grid;
    for (int i = 0; i < n; ++i)
        for (int k = 0; k <= 8; ++k)
            grid.push_back(Vertex(point(sections[i], k % 8), outward(k % 8), Lerp(uv.u0, uv.u1, (float)i / (n - 1)),
                                  Lerp(uv.v0, uv.v1, (float)k / 8.0f)));
    for (int i = 0; i + 1 < n; ++i)
        for (int k = 0; k < 8; ++k)
        {
            const uint16_t p = grid[i * 9 + k], q = grid[i * 9 + k + 1];
            const uint16_t r = grid[(i + 1) * 9 + k], s = grid[(i + 1) * 9 + k + 1];
            Triangle(p, q, r);
            Triangle(q, s, r);
        }
    for (int end = 0; end < 2; ++end)
    {
        const HullSection& s = sections[end ? n - 1 : 0];
        const V3 n3{0, 0, end ? 1.0f : -1.0f};
        const uint16_t mid =
            Vertex(V3{0, (s.y0 + s.y1) * 0.5f, s.z}, n3, (uv.u0 + uv.u1) * 0.5f, (uv.v0 + uv.v1) * 0.5f);
        std::vector<uint16_t> ring;
        for (int k = 0; k <= 8; ++k)
            ring.push_back(Vertex(point(s, k % 8), n3, (uv.u0 + uv.u1) * 0.5f, Lerp(uv.v0, uv.v1, (float)k / 8.0f)));
        for (int k = 0; k < 8; ++k)
            Triangle(mid, ring[k], ring[k + 1]);
    }
}

MeshPart PartBuilder::Part() const
{
    MeshPart part;
    part.vertices = m_Vertices;
    ComputePartBounds(part);
    return part;
}

bool AddBuiltPart(MeshSlot& slot, const PartBuilder& part)
{
    if (slot.parts.empty())
        slot.indices = part.Indices();
    else if (slot.indices != part.Indices())
        return false;
    slot.parts.push_back(part.Part());
    return true;
}
