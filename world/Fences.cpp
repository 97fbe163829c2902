// The start gate and the road barriers of an area, placed through the
// placed-object list so that they draw, collide and hide like every other
// placed object.
#include "world/Fences.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "core/DebugLog.h"
#include "core/FileManager.h"
#include "platform/math/D3DXMath.h"
#include "platform/os/Rand.h"
#include "render/MeshContainer.h"
#include "scene/StaticObject.h"
#include "scene/StaticObjectManager.h"
#include "world/Landscape.h"

const char* const g_FenceObjects[7] = {
    "Data/Static/Fences/Fence/Main01.obj",   "Data/Static/Fences/Wheels/Main01.obj",
    "Data/Static/Fences/Wheels/Main02.obj",  "Data/Static/Fences/Cylinder/Main01.obj",
    "Data/Static/Fences/Barrels/Main01.obj", "Data/Static/Fences/Barrels/Main02.obj",
    "Data/Static/Fences/Fence/Main02.obj",
};
const char* const g_StartPlaceObject = "Data/Static/StartPlace/Main.obj";

namespace
{

const float kTwoPi = 6.28318530718f;

bool SameCode(const unsigned char* map, int n, int r, int c, int code)
{
    return r >= 0 && c >= 0 && r < n && c < n && map[r * n + c] == code;
}

FencePoint Mean3(const FencePoint& a, const FencePoint& b, const FencePoint& c)
{
    return {(a.x + b.x + c.x) / 3.0f, (a.y + b.y + c.y) / 3.0f, (a.z + b.z + c.z) / 3.0f};
}

// (a + 2 b - c) / 2: the end point pulled onto the line of its neighbours.
FencePoint EndPoint(const FencePoint& a, const FencePoint& b, const FencePoint& c)
{
    return {(a.x + 2 * b.x - c.x) / 2.0f, (a.y + 2 * b.y - c.y) / 2.0f, (a.z + 2 * b.z - c.z) / 2.0f};
}

float GroundAt(float x, float z)
{
    const float p[3] = {x, 0.0f, z};
    return g_Landscape.GetHeight(p);
}

// The point's frame on the ground slope, turned to a random heading: its up
// through the normal of the ground under the cell, its target one unit ahead.
void SlopeFrame(const float p[3], float cellSize, float target[3], float up[3])
{
    const D3DXVECTOR3 P(p[0], p[1], p[2]);
    const D3DXVECTOR3 A(p[0] - cellSize / 2, GroundAt(p[0] - cellSize / 2, p[2] - cellSize / 2), p[2] - cellSize / 2);
    const D3DXVECTOR3 B(p[0] + cellSize / 2, GroundAt(p[0] + cellSize / 2, p[2] - cellSize / 2), p[2] - cellSize / 2);
    D3DXVECTOR3 pa = A - P, pb = B - P, u, forward;
    D3DXVec3Cross(&u, &pb, &pa);
    D3DXVec3Normalize(&u, &u);
    D3DXVec3Cross(&forward, &u, &pa);
    D3DXVec3Normalize(&forward, &forward);
    D3DXMATRIX turn;
    D3DXMatrixRotationAxis(&turn, &u, (float)(GameRand() % 101) * 0.01f * kTwoPi);
    D3DXVec3TransformNormal(&forward, &forward, &turn);
    target[0] = p[0] + forward.x;
    target[1] = p[1] + forward.y;
    target[2] = p[2] + forward.z;
    up[0] = u.x;
    up[1] = u.y;
    up[2] = u.z;
}

void Raise(float p[3], float target[3], float by)
{
    p[1] += by;
    target[1] += by;
}

// The objects of one traced chain of `code`. `splitOn`: the chain goes on in
// the next one from its last point, which that chain places.
void PlaceChain(const std::vector<FencePoint>& points, int code, bool splitOn, float cellSize)
{
    const int n = (int)points.size();
    int table = code - 1;
    if (code == 5)
        table = 4 + GameRand() % 2;
    else if (code == 6)
        table = 6;
    const char* path = g_FenceObjects[table];
    const bool run = code == 1 || code == 6;
    int last = run || splitOn ? n - 1 : n;
    for (int i = 0; i < last; ++i)
    {
        float p[3] = {points[i].x, points[i].y, points[i].z};
        float target[3], up[3] = {0.0f, 1.0f, 0.0f}, scale[3] = {1.0f, 1.0f, 1.0f};
        if (code <= 2 || code == 6)
        {
            // A lone cell has no neighbour to face: it faces north.
            const FencePoint& t =
                i + 1 < n ? points[i + 1] : (i > 0 ? points[i - 1] : FencePoint{p[0], p[1], p[2] + 1});
            target[0] = t.x;
            target[1] = t.y;
            target[2] = t.z;
        }
        else
            SlopeFrame(p, cellSize, target, up);
        if (run)
        {
            const float dx = target[0] - p[0], dy = target[1] - p[1], dz = target[2] - p[2];
            scale[2] = std::sqrt(dx * dx + dy * dy + dz * dz) * 0.5f;
        }
        CStaticObject* object = g_StaticObjects.AddObject(path, p, target, up, scale);
        if (!object || !object->meshRecord)
            continue;
        const MeshRecord* mesh = object->meshRecord;
        if (code == 2)
        {
            Raise(p, target, mesh->boundsSize[1] / 6.0f);
            object->Place(p, target, up);
        }
        else if (code == 3)
        {
            const float height = mesh->partCount[MESH_SLOT_CYLINDERS] > 0 ? mesh->partSize[MESH_SLOT_CYLINDERS][0][1]
                                                                          : mesh->boundsSize[1];
            Raise(p, target, height / 2.0f);
            object->Place(p, target, up);
            const int more = GameRand() % 3 + 1;
            for (int k = 0; k < more; ++k)
            {
                Raise(p, target, height);
                if (!g_StaticObjects.AddObject(path, p, target, up, nullptr))
                    break;
            }
        }
    }
}

}   // namespace

int FenceNeighbours(const unsigned char* map, int n, int row, int col)
{
    const int code = map[row * n + col];
    int count = 0;
    for (int dr = -1; dr <= 1; ++dr)
        for (int dc = -1; dc <= 1; ++dc)
            if ((dr || dc) && SameCode(map, n, row + dr, col + dc, code))
                ++count;
    return count;
}

void TraceFenceChain(unsigned char* map, int n, int row, int col, int code, std::vector<int>* rows,
                     std::vector<int>* cols, int* more)
{
    *more = 0;
    int count = 0;
    rows->push_back(row);
    cols->push_back(col);
    ++count;
    for (;;)
    {
        if (count == FENCE_CHAIN_MAX)
        {
            // The last cell stays painted: the next chain starts there.
            *more = 1;
            return;
        }
        map[row * n + col] = 0;
        int next = -1;
        for (int r = row - 1; r <= row + 1 && next < 0; ++r)
            for (int c = col - 1; c <= col + 1 && next < 0; ++c)
                if (SameCode(map, n, r, c, code))
                    next = r * n + c;
        if (next < 0)
            return;
        row = next / n;
        col = next % n;
        rows->push_back(row);
        cols->push_back(col);
        ++count;
    }
}

void SmoothFenceChain(std::vector<FencePoint>* points)
{
    std::vector<FencePoint>& p = *points;
    const int n = (int)p.size();
    if (n < 3)
        return;
    for (int pass = 0; pass < 2; ++pass)
        for (int i = 1; i <= n - 3; ++i)
            p[i] = Mean3(p[i - 1], p[i], p[i + 1]);
    p[0] = EndPoint(p[0], p[1], p[2]);
    p[n - 2] = Mean3(p[n - 3], p[n - 2], p[n - 1]);
    p[n - 1] = EndPoint(p[n - 1], p[n - 2], p[n - 3]);
}

void CLandscape::CreateRoadFences()
{
    const int n = gridSize;
    if (n < 1 || n > LANDSCAPE_MAX_GRID)
        return;
    char name[512];
    std::snprintf(name, sizeof(name), "%s/FencesMap.dat", areaPath);
    std::vector<unsigned char> map((size_t)n * n);
    // A map shorter than the grid counts as missing: the trace would read
    // past its end.
    if (!ReadSizedFile(name, map.data(), (long long)map.size()))
    {
        ShowMessage("Can't open fences map!", "CreateRoadFences() error!", MB_OK);
        return;
    }

    // Without two route points the gate has nowhere to stand or to face.
    if (routePos && routeCount >= 2)
    {
        const float up[3] = {0.0f, 1.0f, 0.0f};
        g_StaticObjects.AddObject(g_StartPlaceObject, routePos[0], routePos[1], up, nullptr);
    }

    // The headings, stacks and barrel kinds are drawn from a seed of the
    // area's own, not from whatever the clock left: the barriers stand the
    // same at every load, so a race on the area can be run again exactly.
    // The texture load reseeds from the clock right after.
    unsigned seed = 2166136261u;
    for (const char* c = areaPath; *c; ++c)
        seed = (seed ^ (unsigned char)*c) * 16777619u;
    GameSrand(seed);

    std::vector<int> rows, cols;
    std::vector<FencePoint> points;
    for (int r = 0; r < n; ++r)
    {
        for (int c = 0; c < n; ++c)
        {
            const int code = map[(size_t)r * n + c];
            if (code < 1 || code > 6 || FenceNeighbours(map.data(), n, r, c) > 1)
                continue;
            int row = r, col = c, more = 1;
            while (more)
            {
                rows.clear();
                cols.clear();
                TraceFenceChain(map.data(), n, row, col, code, &rows, &cols, &more);
                points.clear();
                for (size_t k = 0; k < rows.size(); ++k)
                {
                    FencePoint p;
                    p.x = cols[k] * cellSize - size / 2.0f + cellSize / 2.0f + 0.1f;
                    p.z = size / 2.0f - rows[k] * cellSize - cellSize / 2.0f + 0.1f;
                    p.y = GroundAt(p.x, p.z);
                    points.push_back(p);
                }
                SmoothFenceChain(&points);
                for (FencePoint& p : points)
                    p.y = GroundAt(p.x, p.z);
                PlaceChain(points, code, more != 0, cellSize);
                row = rows.back();
                col = cols.back();
            }
        }
    }
}
