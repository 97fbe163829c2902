#include "world/LandPart.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "render/Views.h"
#include "world/Landscape.h"
#include "world/NatureManager.h"

namespace
{

float Distance3(const float a[3], float x, float y, float z)
{
    const float dx = a[0] - x, dy = a[1] - y, dz = a[2] - z;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

template <class T>
void ReleaseBuffer(T*& buffer)
{
    if (buffer)
        buffer->Release();
    buffer = nullptr;
}

}   // namespace

CLandPart::CLandPart()
{
    // Every field is plain data: start from all zero, then the two markers.
    std::memset(static_cast<void*>(this), 0, sizeof(*this));
    seed = -1;
    baseVertex = -1;
}

void CLandPart::Create(int c, int r)
{
    const CLandscape& land = g_Landscape;
    col = c;
    row = r;
    std::snprintf(name, sizeof(name), "%.240s/%02d_%02d", land.areaPath, col, row);
    seed = row * land.partsPerSide + col + 123;
    baseVertex = ((land.gridSize + 1) * row + col) * land.partCells;
    CalcBounds();
    distance = 0.0f;
    if (g_Views.activeCamera)
    {
        const D3DXVECTOR3& eye = g_Views.activeCamera->eye;
        distance = Distance3(centre, eye.x, centre[1], eye.z) - radius;
    }
    CreateNature(0);
    CreateNature(2);
    CreateNature(1);
}

void CLandPart::CalcBounds()
{
    const CLandscape& land = g_Landscape;
    const float l = land.partCells * land.cellSize;
    boundsMin[0] = col * l - land.size / 2.0f;
    boundsMin[1] = 0.0f;
    boundsMin[2] = land.size / 2.0f - (row + 1) * l;
    boundsMax[0] = boundsMin[0] + l;
    boundsMax[1] = land.heightScale;
    boundsMax[2] = boundsMin[2] + l;
    for (int k = 0; k < 3; ++k)
    {
        extent[k] = boundsMax[k] - boundsMin[k];
        centre[k] = (boundsMin[k] + boundsMax[k]) / 2.0f;
    }
    const float x0 = boundsMin[0] - 4.0f, x1 = boundsMax[0] + 4.0f;
    const float z0 = boundsMin[2] - 4.0f, z1 = boundsMax[2] + 4.0f;
    const float xs[4] = {x0, x1, x0, x1};
    const float zs[4] = {z1, z1, z0, z0};
    for (int i = 0; i < 8; ++i)
    {
        corners[i][0] = xs[i & 3];
        corners[i][1] = i < 4 ? boundsMin[1] : boundsMax[1];
        corners[i][2] = zs[i & 3];
    }
    radius = Distance3(centre, corners[0][0], corners[0][1], corners[0][2]);
}

void CLandPart::Update()
{
    if (baseVertex == -1)
    {
        visible = 0;
        return;
    }
    CLandscape& land = g_Landscape;
    if (g_Views.activeCamera)
    {
        const D3DXVECTOR3& eye = g_Views.activeCamera->eye;
        distance = Distance3(centre, eye.x, land.heightScale / 2.0f, eye.z) - radius;
    }
    if (visible)
    {
        ++land.visibleParts;
        if (waterIB)
            ++land.visibleWaterParts;
    }
    // Nature fields: on within their ranges, parked beyond them.
    const float ranges[3] = {GRASS_FIELD_RANGE, STONE_FIELD_RANGE, TREE_FIELD_RANGE};
    int* active[3] = {&grassActive, &stonesActive, &treesActive};
    for (int type = 0; type < 3; ++type)
    {
        if (distance <= ranges[type] && !*active[type])
            g_Nature.SetFieldActive(type, 1, this);
        else if (distance > ranges[type] && *active[type])
            g_Nature.SetFieldActive(type, 0, this);
    }
}

void CLandPart::ReleaseBuffers()
{
    ReleaseBuffer(roadVB);
    ReleaseBuffer(roadIB);
    ReleaseBuffer(markVB);
    ReleaseBuffer(markIB);
    ReleaseBuffer(waterIB);
    ReleaseBuffer(waterVB);
    roadVertexCount = roadTriangleCount = 0;
    markVertexCount = markTriangleCount = 0;
    waterTriangleCount = 0;
}
