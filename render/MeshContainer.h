#pragma once
// The mesh cache: each mesh file is read once per vertex type into a shared,
// reference-counted MeshRecord whose parts are D3DX meshes. Slots carry the
// roles of one object (main mesh, second mesh, effect meshes, occluder,
// shadow caster, collision geometry); the parts of a slot are alternative
// versions of one mesh sharing its triangle list (animation frames).
#include "platform/d3d/D3D9.h"
#include "render/MeshFile.h"

class btCollisionShape;
class btStridingMeshInterface;

enum
{
    MESH_VERTEX_TYPES = 7,
};

// Slots whose vertex type (and for collision slots the mesh options) is fixed
// whatever the caller asks for.
enum
{
    MESH_SLOT_MAIN = 0,
    MESH_SLOT_SECOND = 1,
    MESH_SLOT_SELFILLUM = 2,
    MESH_SLOT_GLASS = 3,
    MESH_SLOT_CHROME = 4,
    MESH_SLOT_LIGHTMAP = 5,
    MESH_SLOT_SKYDOME = 6,
    MESH_SLOT_OCCLUDER = 10,
    MESH_SLOT_SHADOW = 11,
    MESH_SLOT_COLLISION = 12,
    MESH_SLOT_CYLINDERS = 13,
    MESH_SLOT_COMPOUND_CENTRE = 14,
    MESH_SLOT_BOXES = 15,
};

// The vertex layouts a mesh slot can be loaded into (index = vertex type).
struct MeshVertexPNT   // 0: position, normal, uv
{
    float x, y, z, nx, ny, nz, u, v;
};
struct MeshVertexPNDT   // 1: position, normal, diffuse, uv
{
    float x, y, z, nx, ny, nz;
    DWORD diffuse;
    float u, v;
};
struct MeshVertexPDT   // 2: position, diffuse, uv
{
    float x, y, z;
    DWORD diffuse;
    float u, v;
};
struct MeshVertexPT   // 3: position, uv
{
    float x, y, z, u, v;
};
struct MeshVertexPN   // 4: position, normal
{
    float x, y, z, nx, ny, nz;
};
struct MeshVertexPDT33   // 5: position, diffuse, uv, two three-component sets (the batch layout)
{
    float x, y, z;
    DWORD diffuse;
    float u, v;
    float t1[3], t2[3];
};
struct MeshVertexPNT33   // 6: position, normal, uv, two three-component sets
{
    float x, y, z, nx, ny, nz, u, v;
    float t1[3], t2[3];
};
static_assert(sizeof(MeshVertexPNT) == 32 && sizeof(MeshVertexPNDT) == 36 && sizeof(MeshVertexPDT) == 24 &&
                  sizeof(MeshVertexPT) == 20 && sizeof(MeshVertexPN) == 24 && sizeof(MeshVertexPDT33) == 48 &&
                  sizeof(MeshVertexPNT33) == 56,
              "mesh vertex layouts");

// FVF code of each vertex type.
extern const DWORD VertexFvfTable[MESH_VERTEX_TYPES];

// One loaded file for one vertex type.
struct MeshRecord
{
    int vertexType;
    char name[256];
    int id;
    int refCount;
    DWORD fvf[MESH_SLOTS];
    int partCount[MESH_SLOTS];
    ID3DXMesh** meshes[MESH_SLOTS];
    float (*partBox[MESH_SLOTS])[6];
    float (*partSize[MESH_SLOTS])[3];
    float (*partCentre[MESH_SLOTS])[3];
    float* partRadius[MESH_SLOTS];
    float boundsMin[3], boundsMax[3], boundsSize[3], boundsCentre[3], boundsRadius;
    int pointCount[MESH_POINT_SETS];
    D3DXVECTOR3* points[MESH_POINT_SETS];
    int shapeKind;   // SHAPE_TYPE_* keyword value of the shape made for it, -1 while none is chosen
    btCollisionShape* triangleShape;
    btStridingMeshInterface* triangleData;   // the vertex and index arrays triangleShape reads
    btCollisionShape* hullShape;
    btCollisionShape* compoundShape;   // owns its child shapes
    float compoundCentre[3];
    MeshRecord* next;

    // Empty record: no parts, refCount 0, shapeKind -1.
    MeshRecord();
    // Frees everything the record owns and clears its counts.
    void Destroy();

    // Collision shapes, each built once and kept (MeshShapes.cpp); each does
    // nothing when its shape exists or its source slots are empty.
    // Slot 12 part 0 as a static triangle mesh with its BVH, winding reversed.
    void BuildTriangleShape();
    // Slot 12 part 0 as a convex hull of its vertices.
    void BuildConvexHull();
    // Boxes from slot 15 and cylinders from slot 13 (along x with xCylinders,
    // else along y) around `centre`, or, when null, the first point of point
    // set 8, else the mean of the box centres of slots 15, 14 and 13.
    void BuildCompoundShape(const float* centre, int xCylinders);
};

class CMeshContainer
{
public:
    CMeshContainer();

    // Shares the record of (name, vertexType) or reads the file into a new one.
    // meshOptions are the D3DX creation flags of the slots that follow the
    // caller; optimize non-zero reorders triangles for the vertex cache.
    // Null when the file cannot be opened or read, or the type is not 0..6.
    MeshRecord* Load(const char* name, int vertexType, DWORD meshOptions, int optimize);
    // Gives one reference back; the last one unlinks and destroys the record.
    void ReleaseMesh(MeshRecord* record);
    // Shutdown: logs and destroys every record still held.
    void Release();

    int nextId;
    MeshRecord* head;
};

extern CMeshContainer g_MeshContainer;
