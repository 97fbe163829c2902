// The sky object's mesh and description: a sphere for the cloud dome and a
// band round the horizon for the hills, both around the eye.
#include <cmath>

#include "tools/SkyGen.h"

const char* const kSkyDescriptionPath = "Data/Sky/Main.obj";
const char* const kSkyMeshPath = "Data/Sky/Main.msh";

namespace
{

const float kPi = 3.14159265f;
// The horizon's circle on the cloud pictures, a little inside the edge so
// that filtering never reaches across the wrap.
const float kHorizonRadius = 0.49f;

const float kDomeRadius = 60.0f;
const int kDomeSegments = 48;   // around
const int kDomeRings = 24;      // zenith to nadir

const float kRingRadius = 45.0f;
const int kRingSegments = 64;
const float kRingRepeats = 2.0f;   // the picture goes round twice
const float kRingNormalLift = 0.5f;

// Distance from the picture's centre for an angle from the zenith (0..1 of a
// right angle). More of the picture goes to the low sky the view sees most.
float RadiusOfZenithAngle(float t)
{
    return kHorizonRadius * (0.5f * t + 0.5f * t * t);
}

MeshVertex Vertex(float px, float py, float pz, float nx, float ny, float nz, float u, float v)
{
    MeshVertex m;
    m.pos[0] = px;
    m.pos[1] = py;
    m.pos[2] = pz;
    m.normal[0] = nx;
    m.normal[1] = ny;
    m.normal[2] = nz;
    m.uv[0] = u;
    m.uv[1] = v;
    return m;
}

// Two triangles of the quad a-b-c-d (a, b along the upper edge, c, d below
// them), facing the centre under the game's clockwise culling.
void InwardQuad(std::vector<uint16_t>& idx, int a, int b, int c, int d)
{
    const int tri[6] = {a, b, c, b, d, c};
    for (int i : tri)
        idx.push_back(uint16_t(i));
}

MeshSlot DomeSlot()
{
    MeshPart part;
    std::vector<uint16_t> indices;
    // Rings of vertices from the zenith to the nadir; each ring repeats its
    // first vertex so that no triangle spans the whole picture.
    for (int r = 0; r <= kDomeRings; ++r)
    {
        const float theta = kPi * float(r) / kDomeRings;
        const float y = std::cos(theta), s = std::sin(theta);
        for (int k = 0; k <= kDomeSegments; ++k)
        {
            const float phi = 2.0f * kPi * float(k) / kDomeSegments;
            const float x = s * std::cos(phi), z = s * std::sin(phi);
            // The poles take their segment's azimuth, so that no triangle
            // there reaches across the picture.
            const float away = s > 1e-3f ? s : 1e-3f;
            float u, v;
            SkyDomeUV(away * std::cos(phi), y, away * std::sin(phi), &u, &v);
            // Normals point outwards: the sun's light falls on the dome's
            // side towards the sun.
            part.vertices.push_back(Vertex(x * kDomeRadius, y * kDomeRadius, z * kDomeRadius, x, y, z, u, v));
        }
    }
    const int row = kDomeSegments + 1;
    for (int r = 0; r < kDomeRings; ++r)
        for (int k = 0; k < kDomeSegments; ++k)
            InwardQuad(indices, r * row + k, r * row + k + 1, (r + 1) * row + k, (r + 1) * row + k + 1);
    ComputePartBounds(part);
    MeshSlot slot;
    slot.parts.push_back(part);
    slot.indices = indices;
    return slot;
}

MeshSlot RingSlot()
{
    MeshPart part;
    std::vector<uint16_t> indices;
    const float bottom = kRingRadius * std::tan(kSkyRingBottomDegrees * kPi / 180.0f);
    const float top = kRingRadius * std::tan(kSkyRingTopDegrees * kPi / 180.0f);
    // The rows' centres: the picture's top and bottom rows differ (clear sky,
    // ground), and filtering must not wrap one onto the other.
    const float vTop = 0.5f / kSkyBackgroundHeight, vBottom = 1.0f - vTop;
    for (int k = 0; k <= kRingSegments; ++k)
    {
        const float phi = 2.0f * kPi * float(k) / kRingSegments;
        const float c = std::cos(phi), s = std::sin(phi);
        // Facing the eye and a little upwards, so that the hills away from
        // the sun catch its light and those against it stand dark.
        const float len = std::sqrt(1.0f + kRingNormalLift * kRingNormalLift);
        const float nx = -c / len, ny = kRingNormalLift / len, nz = -s / len;
        const float u = kRingRepeats * float(k) / kRingSegments;
        part.vertices.push_back(Vertex(c * kRingRadius, top, s * kRingRadius, nx, ny, nz, u, vTop));
        part.vertices.push_back(Vertex(c * kRingRadius, bottom, s * kRingRadius, nx, ny, nz, u, vBottom));
    }
    for (int k = 0; k < kRingSegments; ++k)
        InwardQuad(indices, 2 * k, 2 * k + 2, 2 * k + 1, 2 * k + 3);
    ComputePartBounds(part);
    MeshSlot slot;
    slot.parts.push_back(part);
    slot.indices = indices;
    return slot;
}

std::string Line(const std::string& label, const std::string& value)
{
    std::string s = label;
    s.resize(32, ' ');
    return s + value + "\n";
}

}   // namespace

void SkyDomeUV(float x, float y, float z, float* u, float* v)
{
    const float len = std::sqrt(x * x + y * y + z * z);
    float t = 1.0f;   // below the horizon: on the horizon's circle
    if (len > 0.0f && y > 0.0f)
        t = std::acos(y / len > 1.0f ? 1.0f : y / len) / (kPi / 2.0f);
    const float r = RadiusOfZenithAngle(t);
    const float flat = std::sqrt(x * x + z * z);
    const float cx = flat > 0.0f ? x / flat : 1.0f, cz = flat > 0.0f ? z / flat : 0.0f;
    *u = 0.5f + r * cx;
    *v = 0.5f + r * cz;
}

bool SkyDirectionOfUV(float u, float v, float direction[3])
{
    const float dx = u - 0.5f, dz = v - 0.5f;
    const float r = std::sqrt(dx * dx + dz * dz) / kHorizonRadius;
    if (r > 1.0f)
        return false;
    // r = 0.5 t + 0.5 t^2 solved for t >= 0.
    const float t = (-1.0f + std::sqrt(1.0f + 8.0f * r)) / 2.0f;
    const float theta = t * kPi / 2.0f;
    const float flat = std::sqrt(dx * dx + dz * dz);
    const float cx = flat > 0.0f ? dx / flat : 1.0f, cz = flat > 0.0f ? dz / flat : 0.0f;
    direction[0] = std::sin(theta) * cx;
    direction[1] = std::cos(theta);
    direction[2] = std::sin(theta) * cz;
    return true;
}

MeshDesc SkyDomeMesh()
{
    MeshDesc mesh;
    mesh.slots[MESHSLOT_SKYDOME] = DomeSlot();
    mesh.slots[MESHSLOT_SECOND] = RingSlot();
    return mesh;
}

std::string SkyDescriptionText()
{
    return std::string("// Demo sky: cloud dome and horizon ring around the eye\n") +
           "// Slot 6 the dome, slot 1 the ring; the textures come with each area\n" + "//\n" +
           Line("Class:", "GCLASS_STATIC") + Line("Type:", "GTYPE_STATIC") + "// Geometry\n" +
           Line("Mesh:", kSkyMeshPath) + "Texture:\n" + "// Effects\n" + Line("End:", "//--");
}
