// The terrain mesh of an area: one vertex buffer over every grid point and
// three shared level-of-detail index lists of one land part.
#include "world/Terrain.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "core/DebugLog.h"
#include "render/D3DRender.h"
#include "world/Landscape.h"

uint32_t TerrainWaterAlpha(float h, float w)
{
    if (h > w)
        return 0;
    if (h <= w - 3.0f)
        return 255;
    float a = (w - h) / 3.0f * 127.0f + 128.0f;
    if (a > 255.0f)
        a = 255.0f;
    return (uint32_t)a;
}

void BuildPartLodIndices(int partCells, int gridSize, int step, uint16_t* out, int* triangleCount)
{
    const int g = gridSize + 1;
    const int k = step;
    int n = 0;
    for (int i = 0; i < partCells; i += k)
    {
        for (int j = 0; j < partCells; j += k)
        {
            const int v = g * i + j;
            out[n++] = (uint16_t)v;
            out[n++] = (uint16_t)(v + k * g);
            out[n++] = (uint16_t)(v + k);
            out[n++] = (uint16_t)(v + k);
            out[n++] = (uint16_t)(v + k * g);
            out[n++] = (uint16_t)(v + k * g + k);
        }
    }
    *triangleCount = n / 3;
}

HRESULT OptimizeMeshIndices(const TerrainVertex* vertices, int vertexCount, const uint16_t* indices, int* triangleCount,
                            DWORD fvf, D3DPOOL pool, IDirect3DIndexBuffer9** out)
{
    *out = nullptr;
    IDirect3DDevice9* device = g_Render.device;
    if (!device || *triangleCount <= 0)
        return D3DERR_INVALIDCALL;

    ID3DXMesh* mesh = nullptr;
    HRESULT hr = D3DXCreateMeshFVF((DWORD)*triangleCount, (DWORD)vertexCount, D3DXMESH_SYSTEMMEM, fvf, device, &mesh);
    if (FAILED(hr) || !mesh)
        return FAILED(hr) ? hr : D3DERR_INVALIDCALL;

    void* data = nullptr;
    if (SUCCEEDED(mesh->LockVertexBuffer(0, &data)))
    {
        std::memcpy(data, vertices, (size_t)vertexCount * sizeof(TerrainVertex));
        mesh->UnlockVertexBuffer();
    }
    if (SUCCEEDED(mesh->LockIndexBuffer(0, &data)))
    {
        std::memcpy(data, indices, (size_t)*triangleCount * 3 * sizeof(uint16_t));
        mesh->UnlockIndexBuffer();
    }
    DWORD* attributes = nullptr;
    if (SUCCEEDED(mesh->LockAttributeBuffer(0, &attributes)))
    {
        std::memset(attributes, 0, (size_t)*triangleCount * sizeof(DWORD));
        mesh->UnlockAttributeBuffer();
    }

    // Reorder for the vertex cache, keeping the vertices where they are: the
    // list is drawn from every part's own base vertex.
    mesh->OptimizeInplace(D3DXMESHOPT_VERTEXCACHE | D3DXMESHOPT_IGNOREVERTS, nullptr, nullptr, nullptr, nullptr);
    const int faces = (int)mesh->GetNumFaces();

    IDirect3DIndexBuffer9* ib = nullptr;
    hr = device->CreateIndexBuffer((UINT)(faces * 3 * sizeof(uint16_t)), D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, pool, &ib,
                                   nullptr);
    if (SUCCEEDED(hr) && ib)
    {
        void* dst = nullptr;
        if (SUCCEEDED(mesh->LockIndexBuffer(0, &data)) && SUCCEEDED(ib->Lock(0, 0, &dst, 0)))
        {
            std::memcpy(dst, data, (size_t)faces * 3 * sizeof(uint16_t));
            ib->Unlock();
            mesh->UnlockIndexBuffer();
        }
        *out = ib;
        *triangleCount = faces;
    }
    mesh->Release();
    return hr;
}

void CLandscape::CalcTerrainNormals(TerrainVertex* vertices, const uint32_t* indices, int vertexCount, int indexCount)
{
    for (int i = 0; i < vertexCount; ++i)
        vertices[i].nx = vertices[i].ny = vertices[i].nz = 0.0f;
    for (int t = 0; t + 2 < indexCount; t += 3)
    {
        TerrainVertex& p = vertices[indices[t]];
        TerrainVertex& q = vertices[indices[t + 1]];
        TerrainVertex& r = vertices[indices[t + 2]];
        // (R - P) x (Q - P): up for the grid's winding.
        const float ax = r.x - p.x, ay = r.y - p.y, az = r.z - p.z;
        const float bx = q.x - p.x, by = q.y - p.y, bz = q.z - p.z;
        float nx = ay * bz - az * by;
        float ny = az * bx - ax * bz;
        float nz = ax * by - ay * bx;
        const float len = std::sqrt(nx * nx + ny * ny + nz * nz);
        if (len > 0.0f)
        {
            nx /= len;
            ny /= len;
            nz /= len;
        }
        for (TerrainVertex* v : {&p, &q, &r})
        {
            v->nx += nx;
            v->ny += ny;
            v->nz += nz;
        }
    }
    for (int i = 0; i < vertexCount; ++i)
    {
        TerrainVertex& v = vertices[i];
        const float len = std::sqrt(v.nx * v.nx + v.ny * v.ny + v.nz * v.nz);
        if (len > 0.0f)
        {
            v.nx /= len;
            v.ny /= len;
            v.nz /= len;
        }
    }
}

void CLandscape::CreateMesh()
{
    if (terrainVB || partCount == 0)
        return;
    const int n = gridSize;
    const int g = n + 1;
    const int vertexCount = g * g;

    std::vector<TerrainVertex> vertices((size_t)vertexCount);
    for (int r = 0; r <= n; ++r)
    {
        const int sr = r < n ? r : n - 1;
        for (int c = 0; c <= n; ++c)
        {
            const int sc = c < n ? c : n - 1;
            TerrainVertex& v = vertices[(size_t)r * g + c];
            v.x = c * cellSize - size / 2.0f;
            v.z = size / 2.0f - r * cellSize;
            v.y = heights[sr][sc];
            v.nx = v.ny = v.nz = 0.0f;
            v.diffuse = (TerrainWaterAlpha(v.y, waterAltitude) << 24) | 0x00FFFFFFu;
            v.u = (float)c / (float)n;
            v.v = (float)r / (float)n;
        }
    }

    // The whole grid; each cell's diagonal runs from its lower-left corner to
    // its upper-right one.
    std::vector<uint32_t> grid((size_t)n * n * 6);
    size_t k = 0;
    for (int r = 0; r < n; ++r)
    {
        for (int c = 0; c < n; ++c)
        {
            const uint32_t a = (uint32_t)(r * g + c), b = a + 1, d = a + g, e = d + 1;
            grid[k++] = a;
            grid[k++] = d;
            grid[k++] = b;
            grid[k++] = b;
            grid[k++] = d;
            grid[k++] = e;
        }
    }
    CalcTerrainNormals(vertices.data(), grid.data(), vertexCount, (int)grid.size());
    terrainVertexCount = vertexCount;

    IDirect3DDevice9* device = g_Render.device;
    if (device && SUCCEEDED(device->CreateVertexBuffer((UINT)(vertexCount * sizeof(TerrainVertex)), D3DUSAGE_WRITEONLY,
                                                       TERRAIN_FVF, D3DPOOL_MANAGED, &terrainVB, nullptr)))
    {
        void* data = nullptr;
        if (SUCCEEDED(terrainVB->Lock(0, 0, &data, 0)))
        {
            std::memcpy(data, vertices.data(), vertices.size() * sizeof(TerrainVertex));
            terrainVB->Unlock();
        }
    }

    // Every index of the part lists lies below this many vertices.
    const int partVertexCount = (2 * partCells + 1) * g;
    std::vector<uint16_t> lod((size_t)partCells * partCells * 6);
    for (int step = 1; step <= 3; ++step)
    {
        BuildPartLodIndices(partCells, n, step, lod.data(), &lodTriangles[step - 1]);
        if (device)
            OptimizeMeshIndices(vertices.data(), partVertexCount < vertexCount ? partVertexCount : vertexCount,
                                lod.data(), &lodTriangles[step - 1], TERRAIN_FVF, D3DPOOL_MANAGED,
                                &lodIndices[step - 1]);
    }

    // The shared 3 x 3 water grid over 4 x 4 vertices.
    uint16_t water[54];
    int w = 0;
    for (int r = 0; r < 3; ++r)
    {
        for (int c = 0; c < 3; ++c)
        {
            const uint16_t q = (uint16_t)(4 * r + c);
            water[w++] = q;
            water[w++] = (uint16_t)(q + 4);
            water[w++] = (uint16_t)(q + 1);
            water[w++] = (uint16_t)(q + 1);
            water[w++] = (uint16_t)(q + 4);
            water[w++] = (uint16_t)(q + 5);
        }
    }
    waterGridVertexCount = 16;
    waterGridTriangles = 18;
    if (device && SUCCEEDED(device->CreateIndexBuffer(sizeof(water), D3DUSAGE_WRITEONLY, D3DFMT_INDEX16,
                                                      D3DPOOL_MANAGED, &waterGridIndices, nullptr)))
    {
        void* data = nullptr;
        if (SUCCEEDED(waterGridIndices->Lock(0, 0, &data, 0)))
        {
            std::memcpy(data, water, sizeof(water));
            waterGridIndices->Unlock();
        }
    }
}
