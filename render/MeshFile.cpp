#include "render/MeshFile.h"

#include <cstring>

namespace
{

// Reads the file front to back; every take checks the bytes that are left
// first, in 64-bit arithmetic, so a forged count can never make it allocate
// or read more than the file holds.
class Reader
{
public:
    Reader(const uint8_t* bytes, size_t size) : m_Bytes(bytes), m_Size(size) {}

    bool Has(uint64_t bytes) const { return bytes <= m_Size - m_Pos; }

    bool Ints(int32_t* out, int count)
    {
        if (!Has(uint64_t(count) * 4))
            return false;
        std::memcpy(out, m_Bytes + m_Pos, size_t(count) * 4);
        m_Pos += size_t(count) * 4;
        return true;
    }

    bool Floats(std::vector<float>& out, uint64_t count)
    {
        if (!Has(count * 4))
            return false;
        out.resize(size_t(count));
        if (count)
            std::memcpy(out.data(), m_Bytes + m_Pos, size_t(count) * 4);
        m_Pos += size_t(count) * 4;
        return true;
    }

    bool Shorts(std::vector<uint16_t>& out, uint64_t count)
    {
        if (!Has(count * 2))
            return false;
        out.resize(size_t(count));
        if (count)
            std::memcpy(out.data(), m_Bytes + m_Pos, size_t(count) * 2);
        m_Pos += size_t(count) * 2;
        return true;
    }

private:
    const uint8_t* m_Bytes;
    size_t m_Size;
    size_t m_Pos = 0;
};

MeshFileResult Fail(MeshFileData& out, MeshFileResult result)
{
    out = MeshFileData();
    return result;
}

}   // namespace

MeshFileResult ParseMeshFile(const uint8_t* bytes, size_t size, MeshFileData& out)
{
    out = MeshFileData();
    if (!bytes)
        size = 0;
    Reader in(bytes, size);

    int32_t parts[MESH_SLOTS], vertices[MESH_SLOTS], faces[MESH_SLOTS];
    if (!in.Ints(parts, MESH_SLOTS) || !in.Ints(vertices, MESH_SLOTS) || !in.Ints(faces, MESH_SLOTS))
        return Fail(out, MESHFILE_SHORT);

    // The counts of every slot are checked, and the whole of the slot's data
    // is known to be in the file, before any of it is taken.
    uint64_t needed = 0;
    for (int s = 0; s < MESH_SLOTS; ++s)
    {
        if (parts[s] < 0)
            return Fail(out, MESHFILE_BAD_COUNT);
        if (parts[s] == 0)
            continue;
        if (vertices[s] <= 0 || vertices[s] > MESH_MAX_VERTICES || faces[s] <= 0)
            return Fail(out, MESHFILE_BAD_COUNT);
        needed += uint64_t(parts[s]) * 40 + uint64_t(parts[s]) * uint64_t(vertices[s]) * 32 + uint64_t(faces[s]) * 6;
    }
    if (!in.Has(needed))
        return Fail(out, MESHFILE_SHORT);

    for (int s = 0; s < MESH_SLOTS; ++s)
    {
        MeshFileSlot& slot = out.slots[s];
        if (parts[s] == 0)
            continue;
        slot.partCount = parts[s];
        slot.vertexCount = vertices[s];
        slot.faceCount = faces[s];
        in.Floats(slot.boxes, uint64_t(parts[s]) * 6);
        in.Floats(slot.centres, uint64_t(parts[s]) * 3);
        in.Floats(slot.radii, uint64_t(parts[s]));
    }
    for (int s = 0; s < MESH_SLOTS; ++s)
    {
        MeshFileSlot& slot = out.slots[s];
        if (slot.partCount == 0)
            continue;
        in.Floats(slot.vertices, uint64_t(slot.partCount) * uint64_t(slot.vertexCount) * MESH_FILE_FLOATS_PER_VERTEX);
        in.Shorts(slot.indices, uint64_t(slot.faceCount) * 3);
        for (uint16_t index : slot.indices)
            if (index >= slot.vertexCount)
                return Fail(out, MESHFILE_BAD_INDEX);
    }

    int32_t points[MESH_POINT_SETS];
    if (!in.Ints(points, MESH_POINT_SETS))
        return Fail(out, MESHFILE_SHORT);
    needed = 0;
    for (int p = 0; p < MESH_POINT_SETS; ++p)
    {
        if (points[p] < 0)
            return Fail(out, MESHFILE_BAD_COUNT);
        needed += uint64_t(points[p]) * 12;
    }
    if (!in.Has(needed))
        return Fail(out, MESHFILE_SHORT);
    for (int p = 0; p < MESH_POINT_SETS; ++p)
    {
        out.pointCount[p] = points[p];
        in.Floats(out.points[p], uint64_t(points[p]) * 3);
    }
    return MESHFILE_OK;
}
