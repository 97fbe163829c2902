#pragma once
// Writer for the game's binary mesh files: sixteen slots of parts (each part a
// full copy of the slot's vertices, all parts sharing one triangle list), the
// per-part bounds, and sixteen point sets. Used by the demo-data generator and
// by tests that need small mesh fixtures.
#include <cstdint>
#include <string>
#include <vector>

enum
{
    MESH_SLOT_COUNT = 16,
    MESH_POINT_SET_COUNT = 16,
    MESH_FILE_VERTEX_SIZE = 32,   // position, normal, uv as floats
};

// Slot roles as the game reads them.
enum MeshSlotRole
{
    MESHSLOT_MAIN = 0,
    MESHSLOT_SECOND = 1,
    MESHSLOT_SELFILLUM = 2,
    MESHSLOT_GLASS = 3,
    MESHSLOT_CHROME = 4,
    MESHSLOT_LIGHTMAP = 5,
    MESHSLOT_SKYDOME = 6,
    MESHSLOT_OCCLUDER = 10,
    MESHSLOT_SHADOW = 11,
    MESHSLOT_COLLISION_MESH = 12,
    MESHSLOT_COLLISION_CYLINDERS = 13,
    MESHSLOT_COLLISION_CENTRE = 14,
    MESHSLOT_COLLISION_BOXES = 15,
};

struct MeshVertex
{
    float pos[3];
    float normal[3];
    float uv[2];
};

struct MeshPart
{
    // Bounds as stored in the file. ComputePartBounds fills them from the
    // vertices; a fixture may also set them by hand.
    float boxMin[3] = {0, 0, 0};
    float boxMax[3] = {0, 0, 0};
    float centre[3] = {0, 0, 0};
    float radius = 0;
    std::vector<MeshVertex> vertices;
};

struct MeshSlot
{
    std::vector<MeshPart> parts;     // empty = slot not present
    std::vector<uint16_t> indices;   // three per triangle, shared by every part
};

struct MeshPoint
{
    float x, y, z;
};

struct MeshDesc
{
    MeshSlot slots[MESH_SLOT_COUNT];
    std::vector<MeshPoint> points[MESH_POINT_SET_COUNT];
};

// Box from the vertices; sphere centred on the box with the radius reaching
// the farthest vertex. A part without vertices gets all zeros.
void ComputePartBounds(MeshPart& part);

// A closed axis-aligned box of 24 vertices (four per face, outward normals,
// uv 0..1 on each face) and 12 triangles wound counter-clockwise seen from
// outside, the front side under the game's clockwise culling. Bounds are filled.
MeshPart MakeBoxPart(const float boxMin[3], const float boxMax[3]);
std::vector<uint16_t> MakeBoxIndices();

// Adds a box part to a slot. The first part sets the slot's triangle list;
// further parts must share it, so they are only accepted when the slot's
// parts are boxes too (24 vertices and the box's triangle list). Returns false
// (slot unchanged) otherwise.
bool AddBoxPart(MeshSlot& slot, const float boxMin[3], const float boxMax[3]);

// Checks that the description can be written: per slot every part has the same
// vertex count, at most 65536 vertices, an index count that is a multiple of
// three, and (with checkIndices) every index below the vertex count; a slot
// without parts carries no triangles. The first problem goes to *error.
bool ValidateMesh(const MeshDesc& mesh, std::string* error = nullptr, bool checkIndices = true);

// Serialises the mesh into the file layout. Returns false (out cleared) when
// ValidateMesh fails.
bool WriteMesh(const MeshDesc& mesh, std::vector<uint8_t>& out, std::string* error = nullptr, bool checkIndices = true);

// Convenience form: the file bytes, or an empty vector when the mesh is invalid.
std::vector<uint8_t> WriteMesh(const MeshDesc& mesh);
