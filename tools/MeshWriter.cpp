#include "tools/MeshWriter.h"

#include <cmath>
#include <cstring>

namespace
{

void PutU32(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v >> 16));
    out.push_back(uint8_t(v >> 24));
}

void PutI32(std::vector<uint8_t>& out, int32_t v)
{
    PutU32(out, uint32_t(v));
}

void PutF32(std::vector<uint8_t>& out, float f)
{
    uint32_t v;
    std::memcpy(&v, &f, 4);
    PutU32(out, v);
}

void PutU16(std::vector<uint8_t>& out, uint16_t v)
{
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

bool Fail(std::string* error, const std::string& text)
{
    if (error)
        *error = text;
    return false;
}

// The six faces of a box: outward normal, screen-right and screen-up axes as
// seen from outside (right = normal x up in the left-handed frame).
struct BoxFace
{
    float n[3], r[3], u[3];
};
const BoxFace kBoxFaces[6] = {
    {{1, 0, 0}, {0, 0, 1}, {0, 1, 0}},   {{-1, 0, 0}, {0, 0, -1}, {0, 1, 0}}, {{0, 1, 0}, {1, 0, 0}, {0, 0, 1}},
    {{0, -1, 0}, {1, 0, 0}, {0, 0, -1}}, {{0, 0, 1}, {-1, 0, 0}, {0, 1, 0}},  {{0, 0, -1}, {1, 0, 0}, {0, 1, 0}},
};

}   // namespace

void ComputePartBounds(MeshPart& part)
{
    for (int k = 0; k < 3; ++k)
        part.boxMin[k] = part.boxMax[k] = part.centre[k] = 0;
    part.radius = 0;
    if (part.vertices.empty())
        return;
    for (int k = 0; k < 3; ++k)
        part.boxMin[k] = part.boxMax[k] = part.vertices[0].pos[k];
    for (const MeshVertex& v : part.vertices)
        for (int k = 0; k < 3; ++k)
        {
            if (v.pos[k] < part.boxMin[k])
                part.boxMin[k] = v.pos[k];
            if (v.pos[k] > part.boxMax[k])
                part.boxMax[k] = v.pos[k];
        }
    for (int k = 0; k < 3; ++k)
        part.centre[k] = (part.boxMin[k] + part.boxMax[k]) * 0.5f;
    float r2 = 0;
    for (const MeshVertex& v : part.vertices)
    {
        float d2 = 0;
        for (int k = 0; k < 3; ++k)
        {
            float d = v.pos[k] - part.centre[k];
            d2 += d * d;
        }
        if (d2 > r2)
            r2 = d2;
    }
    part.radius = std::sqrt(r2);
}

std::vector<uint16_t> MakeBoxIndices()
{
    // Corners per face: 0 top-left, 1 top-right, 2 bottom-left, 3 bottom-right;
    // both triangles run counter-clockwise on screen when the face is seen
    // from outside: the game culls clockwise triangles.
    std::vector<uint16_t> idx;
    idx.reserve(36);
    for (uint16_t f = 0; f < 6; ++f)
    {
        uint16_t b = uint16_t(f * 4);
        const uint16_t tri[6] = {
            b, uint16_t(b + 2), uint16_t(b + 1), uint16_t(b + 1), uint16_t(b + 2), uint16_t(b + 3)};
        idx.insert(idx.end(), tri, tri + 6);
    }
    return idx;
}

MeshPart MakeBoxPart(const float boxMin[3], const float boxMax[3])
{
    MeshPart part;
    float c[3], h[3];
    for (int k = 0; k < 3; ++k)
    {
        c[k] = (boxMin[k] + boxMax[k]) * 0.5f;
        h[k] = (boxMax[k] - boxMin[k]) * 0.5f;
    }
    const float corner[4][2] = {{-1, 1}, {1, 1}, {-1, -1}, {1, -1}};   // (right, up) signs
    const float uv[4][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
    for (const BoxFace& f : kBoxFaces)
        for (int i = 0; i < 4; ++i)
        {
            MeshVertex v;
            for (int k = 0; k < 3; ++k)
            {
                v.pos[k] = c[k] + (f.n[k] + corner[i][0] * f.r[k] + corner[i][1] * f.u[k]) * h[k];
                v.normal[k] = f.n[k];
            }
            v.uv[0] = uv[i][0];
            v.uv[1] = uv[i][1];
            part.vertices.push_back(v);
        }
    ComputePartBounds(part);
    return part;
}

bool AddBoxPart(MeshSlot& slot, const float boxMin[3], const float boxMax[3])
{
    std::vector<uint16_t> boxIndices = MakeBoxIndices();
    if (slot.parts.empty())
        slot.indices = boxIndices;
    else if (slot.indices != boxIndices || slot.parts[0].vertices.size() != 24)
        return false;
    slot.parts.push_back(MakeBoxPart(boxMin, boxMax));
    return true;
}

bool ValidateMesh(const MeshDesc& mesh, std::string* error, bool checkIndices)
{
    for (int s = 0; s < MESH_SLOT_COUNT; ++s)
    {
        const MeshSlot& slot = mesh.slots[s];
        std::string where = "slot " + std::to_string(s) + ": ";
        if (slot.parts.empty())
        {
            if (!slot.indices.empty())
                return Fail(error, where + "triangles without parts");
            continue;
        }
        if (slot.parts.size() > 0x7FFFFFFF)
            return Fail(error, where + "too many parts");
        size_t vertexCount = slot.parts[0].vertices.size();
        if (vertexCount > 65536)
            return Fail(error, where + "more vertices than 16-bit indices reach");
        for (const MeshPart& p : slot.parts)
            if (p.vertices.size() != vertexCount)
                return Fail(error, where + "parts differ in vertex count");
        if (slot.indices.size() % 3 != 0)
            return Fail(error, where + "index count is not a multiple of three");
        if (slot.indices.size() / 3 > 0x7FFFFFFF)
            return Fail(error, where + "too many triangles");
        if (checkIndices)
            for (uint16_t i : slot.indices)
                if (i >= vertexCount)
                    return Fail(error, where + "index " + std::to_string(i) + " out of range");
    }
    for (int s = 0; s < MESH_POINT_SET_COUNT; ++s)
        if (mesh.points[s].size() > 0x7FFFFFFF)
            return Fail(error, "point set " + std::to_string(s) + ": too many points");
    return true;
}

bool WriteMesh(const MeshDesc& mesh, std::vector<uint8_t>& out, std::string* error, bool checkIndices)
{
    out.clear();
    if (!ValidateMesh(mesh, error, checkIndices))
        return false;

    // Header: parts, vertices per part and triangles per slot.
    for (const MeshSlot& slot : mesh.slots)
        PutI32(out, int32_t(slot.parts.size()));
    for (const MeshSlot& slot : mesh.slots)
        PutI32(out, slot.parts.empty() ? 0 : int32_t(slot.parts[0].vertices.size()));
    for (const MeshSlot& slot : mesh.slots)
        PutI32(out, slot.parts.empty() ? 0 : int32_t(slot.indices.size() / 3));

    // All bounds come before any vertex data: boxes, then centres, then radii.
    for (const MeshSlot& slot : mesh.slots)
    {
        for (const MeshPart& p : slot.parts)
        {
            for (int k = 0; k < 3; ++k)
                PutF32(out, p.boxMin[k]);
            for (int k = 0; k < 3; ++k)
                PutF32(out, p.boxMax[k]);
        }
        for (const MeshPart& p : slot.parts)
            for (int k = 0; k < 3; ++k)
                PutF32(out, p.centre[k]);
        for (const MeshPart& p : slot.parts)
            PutF32(out, p.radius);
    }

    // Geometry: every part's vertices, then the slot's one triangle list.
    for (const MeshSlot& slot : mesh.slots)
    {
        if (slot.parts.empty())
            continue;
        for (const MeshPart& p : slot.parts)
            for (const MeshVertex& v : p.vertices)
            {
                for (int k = 0; k < 3; ++k)
                    PutF32(out, v.pos[k]);
                for (int k = 0; k < 3; ++k)
                    PutF32(out, v.normal[k]);
                PutF32(out, v.uv[0]);
                PutF32(out, v.uv[1]);
            }
        for (uint16_t i : slot.indices)
            PutU16(out, i);
    }

    for (const std::vector<MeshPoint>& set : mesh.points)
        PutI32(out, int32_t(set.size()));
    for (const std::vector<MeshPoint>& set : mesh.points)
        for (const MeshPoint& p : set)
        {
            PutF32(out, p.x);
            PutF32(out, p.y);
            PutF32(out, p.z);
        }
    return true;
}

std::vector<uint8_t> WriteMesh(const MeshDesc& mesh)
{
    std::vector<uint8_t> out;
    WriteMesh(mesh, out, nullptr, true);
    return out;
}
