#include "scene/Occlusion.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "common/Keywords.h"
#include "render/MeshContainer.h"
#include "render/Views.h"
#include "scene/StaticObject.h"
#include "scene/StaticObjectManager.h"

D3DXPLANE g_OccluderPlanes[OCCLUDER_MAX_PLANES];
int g_OccluderPlaneCount = 0;
float g_OccluderCentre[3] = {0.0f, 0.0f, 0.0f};
OcclusionHook g_OcclusionHooks[OCCLUSION_HOOKS] = {};

namespace
{

uint16_t g_SilhouetteEdges[OCCLUDER_MAX_EDGES][2];

float PlaneValue(const D3DXPLANE& p, float x, float y, float z)
{
    return p.a * x + p.b * y + p.c * z + p.d;
}

D3DXVECTOR3 Unit(const D3DXVECTOR3& v)
{
    D3DXVECTOR3 out;
    D3DXVec3Normalize(&out, &v);
    return out;
}

const D3DXVECTOR3& Eye()
{
    return g_Views.Current()->eye;
}

}   // namespace

int ToggleEdge(uint16_t (*edges)[2], int* count, int capacity, uint16_t first, uint16_t second)
{
    for (int k = 0; k < *count; ++k)
    {
        if ((edges[k][0] == first && edges[k][1] == second) || (edges[k][0] == second && edges[k][1] == first))
        {
            if (*count > 1)
            {
                edges[k][0] = edges[*count - 1][0];
                edges[k][1] = edges[*count - 1][1];
            }
            --*count;
            return 1;
        }
    }
    if (*count >= capacity)
        return 0;
    edges[*count][0] = first;
    edges[*count][1] = second;
    ++*count;
    return 1;
}

int BuildOccluderPlanes(const D3DXVECTOR3* v, int vertexCount, const uint16_t* indices, int indexCount,
                        const D3DXVECTOR3& eye, const float centre[3])
{
    g_OccluderPlaneCount = 0;
    std::memcpy(g_OccluderCentre, centre, sizeof(g_OccluderCentre));
    int edges = 0;
    for (int t = 0; t + 2 < indexCount; t += 3)
    {
        const uint16_t i0 = indices[t], i1 = indices[t + 1], i2 = indices[t + 2];
        if (i0 >= vertexCount || i1 >= vertexCount || i2 >= vertexCount)
            continue;
        const D3DXVECTOR3 &p0 = v[i0], &p1 = v[i1], &p2 = v[i2];
        const D3DXVECTOR3 view = Unit((p0 + p1 + p2) / 3.0f - eye);
        D3DXVECTOR3 n, a = p2 - p1, b = p1 - p0;
        D3DXVec3Cross(&n, &a, &b);
        if (D3DXVec3Dot(&n, &view) < 0.0f)
            continue;
        if (!ToggleEdge(g_SilhouetteEdges, &edges, OCCLUDER_MAX_EDGES, i0, i1) ||
            !ToggleEdge(g_SilhouetteEdges, &edges, OCCLUDER_MAX_EDGES, i1, i2) ||
            !ToggleEdge(g_SilhouetteEdges, &edges, OCCLUDER_MAX_EDGES, i2, i0))
            return 0;   // an outline beyond the edge table: no occluder
    }
    // The edge planes and the centre plane must all fit.
    if (edges == 0 || edges + 1 > OCCLUDER_MAX_PLANES)
        return 0;
    for (int k = 0; k < edges; ++k)
    {
        const D3DXVECTOR3 &pa = v[g_SilhouetteEdges[k][0]], &pb = v[g_SilhouetteEdges[k][1]];
        const D3DXVECTOR3 m = (pa + pb) / 2.0f;
        const D3DXVECTOR3 f = m + Unit(m - eye) * 2000.0f;
        D3DXPlaneFromPoints(&g_OccluderPlanes[g_OccluderPlaneCount++], &pa, &pb, &f);
    }
    const D3DXVECTOR3 point(centre[0], eye.y, centre[2]);
    const D3DXVECTOR3 normal = Unit(D3DXVECTOR3(centre[0] - eye.x, 0.0f, centre[2] - eye.z));
    D3DXPlaneFromPointNormal(&g_OccluderPlanes[g_OccluderPlaneCount++], &point, &normal);
    return g_OccluderPlaneCount;
}

int IsBoxOccluded(const float points[8][3])
{
    if (!points || g_OccluderPlaneCount == 0)
        return 0;
    for (int p = 0; p < g_OccluderPlaneCount; ++p)
        for (int k = 0; k < 8; ++k)
            if (!(PlaneValue(g_OccluderPlanes[p], points[k][0], points[k][1], points[k][2]) >= 0.0f))
                return 0;
    return 1;
}

int IsSphereOccluded(const float centre[3], float radius)
{
    if (g_OccluderPlaneCount == 0)
        return 0;
    for (int p = 0; p < g_OccluderPlaneCount; ++p)
        if (!(PlaneValue(g_OccluderPlanes[p], centre[0], centre[1], centre[2]) >= radius))
            return 0;
    return 1;
}

int CStaticObject::BuildOccluder()
{
    g_OccluderPlaneCount = 0;
    const MeshRecord* record = meshRecord;
    if (!record || record->partCount[MESH_SLOT_OCCLUDER] <= 0 || !record->meshes[MESH_SLOT_OCCLUDER])
        return 0;
    const int part = currentPart >= 0 && currentPart < record->partCount[MESH_SLOT_OCCLUDER] ? currentPart : 0;
    ID3DXMesh* mesh = record->meshes[MESH_SLOT_OCCLUDER][part];
    if (!mesh)
        return 0;
    const int vertexCount = (int)mesh->GetNumVertices();
    const int indexCount = (int)mesh->GetNumFaces() * 3;
    const DWORD stride = mesh->GetNumBytesPerVertex();
    // Only 16-bit lists of at most 65536 vertices can name their corners here.
    if ((mesh->GetOptions() & D3DXMESH_32BIT) || vertexCount <= 0 || vertexCount > 65536 || stride < 12)
        return 0;
    void* vertexData = nullptr;
    void* indexData = nullptr;
    if (FAILED(mesh->LockVertexBuffer(D3DLOCK_READONLY, &vertexData)))
        return 0;
    if (FAILED(mesh->LockIndexBuffer(D3DLOCK_READONLY, &indexData)))
    {
        mesh->UnlockVertexBuffer();
        return 0;
    }
    D3DXMATRIX m = *reinterpret_cast<const D3DXMATRIX*>(&world);
    if (useScale)
    {
        D3DXMATRIX s;
        D3DXMatrixScaling(&s, scale[0], scale[1], scale[2]);
        D3DXMatrixMultiply(&m, &s, &m);
    }
    std::vector<D3DXVECTOR3> points((size_t)vertexCount);
    for (int i = 0; i < vertexCount; ++i)
    {
        D3DXVECTOR3 local;
        std::memcpy(&local, static_cast<const uint8_t*>(vertexData) + (size_t)i * stride, sizeof(local));
        D3DXVec3TransformCoord(&points[(size_t)i], &local, &m);
    }
    BuildOccluderPlanes(points.data(), vertexCount, static_cast<const uint16_t*>(indexData), indexCount, Eye(),
                        worldCentre);
    mesh->UnlockIndexBuffer();
    mesh->UnlockVertexBuffer();
    return g_OccluderPlaneCount != 0;
}

int CStaticObject::IsOccluded()
{
    if (g_OccluderPlaneCount == 0)
        return 0;
    const D3DXVECTOR3& eye = Eye();
    const D3DXVECTOR3 toOccluder(g_OccluderCentre[0] - eye.x, g_OccluderCentre[1] - eye.y, g_OccluderCentre[2] - eye.z);
    const D3DXVECTOR3 toObject(worldCentre[0] - eye.x, worldCentre[1] - eye.y, worldCentre[2] - eye.z);
    // Whatever is nearer than the building's centre is never hidden by it.
    if (D3DXVec3Length(&toOccluder) > D3DXVec3Length(&toObject))
        return 0;
    if (corners)
    {
        float box[8][3];
        for (int k = 0; k < 8; ++k)
        {
            box[k][0] = corners[k].x;
            box[k][1] = corners[k].y;
            box[k][2] = corners[k].z;
        }
        return IsBoxOccluded(box);
    }
    return IsSphereOccluded(worldCentre, boundRadius);
}

void CStaticObjectManager::CheckOcclusion()
{
    hiddenCount = 0;
    for (unsigned int i = 0; i < objectCount; ++i)
    {
        CStaticObject* building = objects[i];
        if (building->objectType != GTYPE_BUILDING || !building->visible || !building->BuildOccluder())
            continue;
        for (unsigned int j = i + 1; j < objectCount; ++j)
            if (objects[j]->visible && objects[j]->IsOccluded())
            {
                objects[j]->visible = 0;
                ++hiddenCount;
            }
        for (OcclusionHook hook : g_OcclusionHooks)
            if (hook)
                hook();
    }
    g_OccluderPlaneCount = 0;
}
