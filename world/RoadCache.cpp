// The road cache of an area: read and checked, or built from the full route
// and written, then handed to the land parts as vertex and index buffers.
#include <cstdio>
#include <cstring>
#include <vector>

#include "core/DebugLog.h"
#include "core/FileManager.h"
#include "render/D3DRender.h"
#include "world/LandPart.h"
#include "world/Landscape.h"
#include "world/RoadBuild.h"

namespace
{

// Largest cache read: 1024 parts of two full 16-bit pieces would be far
// beyond it; anything bigger is not a cache of this game.
const long long kRoadCacheMaxBytes = 256LL << 20;

float GroundHeight(const void* user, float x, float z)
{
    const float p[3] = {x, 0.0f, z};
    return static_cast<const CLandscape*>(user)->GetHeight(p);
}

template <class T>
void CopyInto(T* buffer, const void* data, size_t bytes)
{
    void* dst = nullptr;
    if (SUCCEEDED(buffer->Lock(0, 0, &dst, 0)))
    {
        std::memcpy(dst, data, bytes);
        buffer->Unlock();
    }
}

}   // namespace

RoadGround CLandscape::RoadGroundOf() const
{
    return RoadGround{gridSize, partsPerSide, partCells, cellSize, size, GroundHeight, this};
}

uint64_t CLandscape::RoadIdentity() const
{
    return RoadCacheIdentity(RoadGroundOf(), &heights[0][0], LANDSCAPE_MAX_GRID, routePos, routePower, routeCount);
}

void CLandscape::CreateRoadData()
{
    delete[] roadCache;
    roadCache = nullptr;
    roadCacheSize = 0;
    roadCacheBuilt = 0;
    const uint64_t identity = RoadIdentity();
    // The route is halved after this: the parts check the cache against the
    // identity of the full route.
    roadCacheIdentity = identity;

    char name[512];
    std::snprintf(name, sizeof(name), "%s/RoadData.dat", areaPath);
    int bytes = 0;
    const int handle = g_FileManager.Open(name, FILE_WORLD, &bytes);
    if (handle != -1)
    {
        int result = -1;
        if (bytes > 0 && bytes <= kRoadCacheMaxBytes)
        {
            unsigned char* data = new unsigned char[(size_t)bytes];
            std::vector<RoadPieceView> pieces;
            if (g_FileManager.Read(data, 1, (size_t)bytes, handle) == (size_t)bytes)
                result = ParseRoadCache(data, (size_t)bytes, partCount, identity, &pieces);
            if (result == ROAD_CACHE_OK)
            {
                roadCache = data;
                roadCacheSize = bytes;
            }
            else
                delete[] data;
        }
        g_FileManager.Close(handle);
        if (roadCache)
            return;
        // A damaged cache, or one of older maps, is built again.
        LogString("Road data of %s is damaged or out of date (%d): built again", areaPath, result);
    }

    const std::vector<uint8_t> built = BuildRoadCache(RoadGroundOf(), routePos, routePower, routeCount, identity);
    roadCacheBuilt = 1;
    roadCache = new unsigned char[built.size()];
    std::memcpy(roadCache, built.data(), built.size());
    roadCacheSize = (long long)built.size();

    const int out = g_FileManager.OpenForWrite(name, 1);
    if (out == -1)
    {
        // The road of this load still comes from what was just built.
        ShowMessage("Could't save road data!", "Save road data error!", MB_OK);
        return;
    }
    g_FileManager.Write(built.data(), 1, built.size(), out);
    g_FileManager.Close(out);
}

void CLandscape::LoadRoadPieces()
{
    std::vector<RoadPieceView> pieces;
    if (roadCache &&
        ParseRoadCache(roadCache, (size_t)roadCacheSize, partCount, roadCacheIdentity, &pieces) == ROAD_CACHE_OK)
    {
        for (int i = 0; i < partCount; ++i)
            if (parts[i])
                parts[i]->LoadRoad(0, pieces[(size_t)i]);
        for (int i = 0; i < partCount; ++i)
            if (parts[i])
                parts[i]->LoadRoad(1, pieces[(size_t)(partCount + i)]);
    }
    delete[] roadCache;
    roadCache = nullptr;
    roadCacheSize = 0;
}

void CLandPart::LoadRoad(int pass, const RoadPieceView& piece)
{
    IDirect3DVertexBuffer9*& vb = pass == 0 ? roadVB : markVB;
    IDirect3DIndexBuffer9*& ib = pass == 0 ? roadIB : markIB;
    int& vertexCount = pass == 0 ? roadVertexCount : markVertexCount;
    int& triangleCount = pass == 0 ? roadTriangleCount : markTriangleCount;
    if (vb)
        vb->Release();
    if (ib)
        ib->Release();
    vb = nullptr;
    ib = nullptr;
    vertexCount = triangleCount = 0;
    IDirect3DDevice9* device = g_Render.device;
    if (piece.vertexCount == 0 || !device)
        return;
    const size_t vertexBytes = (size_t)piece.vertexCount * sizeof(RoadVertex);
    const size_t indexBytes = (size_t)piece.indexCount * sizeof(uint16_t);
    if (FAILED(device->CreateVertexBuffer((UINT)vertexBytes, D3DUSAGE_WRITEONLY, ROAD_FVF, D3DPOOL_MANAGED, &vb,
                                          nullptr)) ||
        FAILED(device->CreateIndexBuffer((UINT)indexBytes, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED, &ib,
                                         nullptr)))
    {
        if (vb)
            vb->Release();
        vb = nullptr;
        ib = nullptr;
        return;
    }
    CopyInto(vb, piece.vertices, vertexBytes);
    CopyInto(ib, piece.indices, indexBytes);
    vertexCount = piece.vertexCount;
    triangleCount = piece.indexCount / 3;
}
