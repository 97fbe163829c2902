#pragma once
// Parsing of the binary mesh file: sixteen slots of parts (per part a full set
// of 32-byte vertices and its bounds, one triangle list per slot shared by all
// its parts) and sixteen point sets; little-endian, no magic, no version. The
// file carries counts but no lengths, so every count is checked against the
// bytes that are left before anything is allocated for it.
#include <cstddef>
#include <cstdint>
#include <vector>

enum
{
    MESH_SLOTS = 16,
    MESH_POINT_SETS = 16,
    MESH_FILE_FLOATS_PER_VERTEX = 8,   // position, normal, uv
    MESH_MAX_VERTICES = 65536,         // 16-bit indices
};

struct MeshFileSlot
{
    int partCount = 0;
    int vertexCount = 0;
    int faceCount = 0;
    std::vector<float> boxes;        // 6 per part: min x, y, z, max x, y, z
    std::vector<float> centres;      // 3 per part
    std::vector<float> radii;        // 1 per part
    std::vector<float> vertices;     // parts x vertexCount x 8 floats, part after part
    std::vector<uint16_t> indices;   // 3 per face, shared by every part
};

struct MeshFileData
{
    MeshFileSlot slots[MESH_SLOTS];
    int pointCount[MESH_POINT_SETS] = {};
    std::vector<float> points[MESH_POINT_SETS];   // 3 per point
};

enum MeshFileResult
{
    MESHFILE_OK = 0,
    MESHFILE_SHORT,       // the file ends before the data its counts announce
    MESHFILE_BAD_COUNT,   // a negative count, or a slot with parts but no vertices or triangles,
                          // or more vertices than 16-bit indices reach
    MESHFILE_BAD_INDEX,   // a triangle names a vertex the slot does not have
};

// Fills `out` from the file bytes. Bytes after the last point set are ignored.
// On failure `out` is left cleared.
MeshFileResult ParseMeshFile(const uint8_t* bytes, size_t size, MeshFileData& out);
