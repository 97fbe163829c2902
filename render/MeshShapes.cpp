// Collision shapes built from the collision slots of a mesh record: the
// triangle mesh and the convex hull of slot 12, the compound of boxes (slot
// 15) and cylinders (slot 13), and an object's scaled triangle mesh. Each is
// built the first time a body asks for it and kept with the record, so every
// object of one mesh shares it.
#include <btBulletCollisionCommon.h>

#include <cmath>
#include <vector>

#include "common/Keywords.h"
#include "render/MeshContainer.h"
#include "render/MeshObject.h"

namespace
{

const float kShapeMargin = 0.05f;
// Farther than any world reaches: a vertex beyond it (or not a number) comes
// from a damaged file, and the tree of a triangle mesh cannot be built over it.
const float kLargestCoordinate = 100000.0f;
const int kCompoundCentrePoints = 8;

bool Usable(float v)
{
    return std::isfinite(v) && std::fabs(v) <= kLargestCoordinate;
}

// The triangle arrays keep their own vertex and index copies, so that the
// record frees both with the interface that reads them.
class OwnedTriangleArray : public btTriangleIndexVertexArray
{
public:
    OwnedTriangleArray(std::vector<float>&& vertices, std::vector<int>&& indices)
        : m_Vertices(std::move(vertices)), m_Indices(std::move(indices))
    {
        btIndexedMesh mesh;
        mesh.m_numTriangles = int(m_Indices.size() / 3);
        mesh.m_triangleIndexBase = reinterpret_cast<const unsigned char*>(m_Indices.data());
        mesh.m_triangleIndexStride = 3 * int(sizeof(int));
        mesh.m_numVertices = int(m_Vertices.size() / 4);
        mesh.m_vertexBase = reinterpret_cast<const unsigned char*>(m_Vertices.data());
        mesh.m_vertexStride = 4 * int(sizeof(float));
        addIndexedMesh(mesh, PHY_INTEGER);
    }

private:
    std::vector<float> m_Vertices;
    std::vector<int> m_Indices;
};

// Part 0 of the collision slot, or null when the slot has none.
ID3DXMesh* CollisionMesh(const MeshRecord& r)
{
    if (r.partCount[MESH_SLOT_COLLISION] <= 0 || !r.meshes[MESH_SLOT_COLLISION])
        return nullptr;
    return r.meshes[MESH_SLOT_COLLISION][0];
}

// The positions of every vertex of the mesh (x, y, z, 0 each); false when the
// buffer cannot be read or holds a position no shape can take.
bool ReadPositions(ID3DXMesh* mesh, DWORD fvf, std::vector<float>& out)
{
    const DWORD count = mesh->GetNumVertices();
    const UINT stride = D3DXGetFVFVertexSize(fvf);
    if (count == 0 || stride < 3 * sizeof(float))
        return false;
    void* data = nullptr;
    if (FAILED(mesh->LockVertexBuffer(D3DLOCK_READONLY, &data)) || !data)
        return false;
    out.assign(size_t(count) * 4, 0.0f);
    bool usable = true;
    for (DWORD i = 0; i < count && usable; ++i)
    {
        const float* p = reinterpret_cast<const float*>(static_cast<const uint8_t*>(data) + size_t(i) * stride);
        for (int k = 0; k < 3; ++k)
        {
            usable = usable && Usable(p[k]);
            out[size_t(i) * 4 + k] = p[k];
        }
    }
    mesh->UnlockVertexBuffer();
    return usable;
}

// The box centre of one part: (min + max) / 2.
btVector3 PartBoxCentre(const MeshRecord& r, int slot, int part)
{
    const float* box = r.partBox[slot][part];
    return btVector3((box[0] + box[3]) * 0.5f, (box[1] + box[4]) * 0.5f, (box[2] + box[5]) * 0.5f);
}

bool PartUsable(const MeshRecord& r, int slot, int part)
{
    for (int k = 0; k < 6; ++k)
        if (!Usable(r.partBox[slot][part][k]))
            return false;
    for (int k = 0; k < 3; ++k)
        if (!Usable(r.partSize[slot][part][k]))
            return false;
    return true;
}

}   // namespace

void MeshRecord::BuildTriangleShape()
{
    ID3DXMesh* mesh = CollisionMesh(*this);
    if (triangleShape || !mesh)
        return;
    const DWORD faces = mesh->GetNumFaces();
    std::vector<float> vertices;
    if (faces == 0 || !ReadPositions(mesh, fvf[MESH_SLOT_COLLISION], vertices))
        return;

    void* data = nullptr;
    if (FAILED(mesh->LockIndexBuffer(D3DLOCK_READONLY, &data)) || !data)
        return;
    const uint16_t* source = static_cast<const uint16_t*>(data);
    const size_t vertexCount = vertices.size() / 4;
    std::vector<int> indices(size_t(faces) * 3);
    bool inRange = true;
    for (DWORD f = 0; f < faces; ++f)
    {
        // Third, second, first: the physics library wants the other winding.
        for (int k = 0; k < 3; ++k)
        {
            const uint16_t index = source[f * 3 + (2 - k)];
            inRange = inRange && index < vertexCount;
            indices[size_t(f) * 3 + k] = index;
        }
    }
    mesh->UnlockIndexBuffer();
    if (!inRange)
        return;

    OwnedTriangleArray* array = new OwnedTriangleArray(std::move(vertices), std::move(indices));
    btBvhTriangleMeshShape* shape = new btBvhTriangleMeshShape(array, true, true);
    shape->setMargin(kShapeMargin);
    triangleData = array;
    triangleShape = shape;
    shapeKind = SHAPE_TYPE_TRIMESH;
}

void MeshRecord::BuildConvexHull()
{
    ID3DXMesh* mesh = CollisionMesh(*this);
    if (hullShape || !mesh)
        return;
    std::vector<float> vertices;
    if (!ReadPositions(mesh, fvf[MESH_SLOT_COLLISION], vertices))
        return;
    btConvexHullShape* hull = new btConvexHullShape(nullptr, 0, 4 * sizeof(float));
    for (size_t i = 0; i + 3 < vertices.size(); i += 4)
        hull->addPoint(btVector3(vertices[i], vertices[i + 1], vertices[i + 2]), false);
    hull->recalcLocalAabb();
    hull->setMargin(kShapeMargin);
    hullShape = hull;
    shapeKind = SHAPE_TYPE_CONVEXHULL;
}

void MeshRecord::BuildCompoundShape(const float* centre, int xCylinders)
{
    const int boxes = partCount[MESH_SLOT_BOXES];
    const int centres = partCount[MESH_SLOT_COMPOUND_CENTRE];
    const int cylinders = partCount[MESH_SLOT_CYLINDERS];
    // Parts of slot 14 only place the centre: without a box or a cylinder
    // there would be a compound without children, which has no bounds.
    if (compoundShape || boxes + cylinders <= 0)
        return;
    for (int slot : {MESH_SLOT_BOXES, MESH_SLOT_COMPOUND_CENTRE, MESH_SLOT_CYLINDERS})
        for (int p = 0; p < partCount[slot]; ++p)
            if (!PartUsable(*this, slot, p))
                return;

    btVector3 middle(0, 0, 0);
    if (centre && Usable(centre[0]) && Usable(centre[1]) && Usable(centre[2]))
        middle = btVector3(centre[0], centre[1], centre[2]);
    else if (pointCount[kCompoundCentrePoints] > 0 && points[kCompoundCentrePoints])
    {
        const D3DXVECTOR3& p = points[kCompoundCentrePoints][0];
        if (Usable(p.x) && Usable(p.y) && Usable(p.z))
            middle = btVector3(p.x, p.y, p.z);
    }
    else
    {
        for (int slot : {MESH_SLOT_BOXES, MESH_SLOT_COMPOUND_CENTRE, MESH_SLOT_CYLINDERS})
            for (int p = 0; p < partCount[slot]; ++p)
                middle += PartBoxCentre(*this, slot, p);
        middle /= btScalar(boxes + centres + cylinders);
    }
    compoundCentre[0] = middle.x();
    compoundCentre[1] = middle.y();
    compoundCentre[2] = middle.z();

    btCompoundShape* compound = new btCompoundShape(true);
    for (int p = 0; p < boxes; ++p)
    {
        const float* size = partSize[MESH_SLOT_BOXES][p];
        btBoxShape* box = new btBoxShape(btVector3(size[0], size[1], size[2]) * 0.5f);
        btTransform at(btMatrix3x3::getIdentity(), PartBoxCentre(*this, MESH_SLOT_BOXES, p) - middle);
        compound->addChildShape(at, box);
    }
    for (int p = 0; p < cylinders; ++p)
    {
        const float* size = partSize[MESH_SLOT_CYLINDERS][p];
        const btVector3 half = btVector3(size[0], size[1], size[2]) * 0.5f;
        btCollisionShape* cylinder =
            xCylinders ? static_cast<btCollisionShape*>(new btCylinderShapeX(half)) : new btCylinderShape(half);
        btTransform at(btMatrix3x3::getIdentity(), PartBoxCentre(*this, MESH_SLOT_CYLINDERS, p) - middle);
        compound->addChildShape(at, cylinder);
    }
    compoundShape = compound;
    shapeKind = SHAPE_TYPE_COMPOUND;
}

void CMeshObject::BuildScaledShape()
{
    if (!meshRecord || shape)
        return;
    meshRecord->BuildTriangleShape();
    if (!meshRecord->triangleShape)
        return;
    shape = new btScaledBvhTriangleMeshShape(static_cast<btBvhTriangleMeshShape*>(meshRecord->triangleShape),
                                             btVector3(scale[0], scale[1], scale[2]));
}
