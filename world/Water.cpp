// The water of an area: per land part the terrain cells that reach down to
// the water level, drawn flat on it near the eye, and a coarse flat grid over
// the whole part from afar. The surface shows the reflection pass's picture
// moved by two scrolling noise layers, tinted by the season and the sky.
#include <algorithm>
#include <cstring>
#include <vector>

#include "common/MathUtil.h"
#include "core/GameClock.h"
#include "core/RaceState.h"
#include "render/D3DRender.h"
#include "render/Views.h"
#include "world/LandPart.h"
#include "world/Landscape.h"
#include "world/Sky.h"
#include "world/Terrain.h"
#include "world/Water.h"

namespace
{

const float kSeasonWater[3][3] = {{0.6f, 0.5f, 0.3f}, {0.8f, 0.6f, 0.3f}, {0.8f, 0.9f, 1.0f}};

int CurrentSeason()
{
    const int row = g_CurrentRace >= 0 && g_CurrentRace < RACE_ROWS ? g_CurrentRace : 0;
    const int season = g_RaceTable.season[row];
    return season >= 0 && season <= 2 ? season : 0;
}

}   // namespace

void BuildWaterCellIndices(const float* heights, int stride, int gridSize, int partCells, int col, int row,
                           float waterAltitude, std::vector<uint16_t>* out)
{
    out->clear();
    const int n = gridSize, p = partCells, g = n + 1;
    for (int a = 0; a < p; ++a)
    {
        for (int b = 0; b < p; ++b)
        {
            const int r = row * p + a, c = col * p + b;
            const int r0 = r < n - 1 ? r : n - 1, r1 = r + 1 < n - 1 ? r + 1 : n - 1;
            const int c0 = c < n - 1 ? c : n - 1, c1 = c + 1 < n - 1 ? c + 1 : n - 1;
            const float h[4] = {heights[r0 * stride + c0], heights[r0 * stride + c1], heights[r1 * stride + c0],
                                heights[r1 * stride + c1]};
            if (h[0] > waterAltitude && h[1] > waterAltitude && h[2] > waterAltitude && h[3] > waterAltitude)
                continue;
            const int v = a * g + b;
            const uint16_t tri[6] = {(uint16_t)v,       (uint16_t)(v + g), (uint16_t)(v + 1),
                                     (uint16_t)(v + 1), (uint16_t)(v + g), (uint16_t)(v + g + 1)};
            out->insert(out->end(), tri, tri + 6);
        }
    }
}

void WaterColours(int season, float waterColour[4], float specular[4])
{
    const CSky& sky = g_Sky;
    const float* base = kSeasonWater[season >= 0 && season <= 2 ? season : 0];
    D3DXCOLOR s(sky.sunColor[0] + 0.5f, sky.sunColor[1] + 0.5f, sky.sunColor[2] + 0.5f, sky.sunColor[3] + 1.0f);
    ColorLimit(s, s, 1.0f);
    float c[4];
    for (int k = 0; k < 4; ++k)
        c[k] = 0.2f * sky.sunIntensity * sky.sunColor[k] + 0.2f * sky.moonIntensity * sky.ambientColor[k] +
               (k < 3 ? base[k] : 1.0f);
    D3DXCOLOR w(c[0], c[1], c[2], c[3]);
    ColorLimit(w, w, 1.0f);
    const float sl[4] = {s.r, s.g, s.b, s.a}, wl[4] = {w.r, w.g, w.b, w.a};
    for (int k = 0; k < 4; ++k)
    {
        specular[k] = sl[k] * sky.sunIntensity;
        waterColour[k] = wl[k];
    }
}

void CLandPart::CreateWater()
{
    CLandscape& land = g_Landscape;
    IDirect3DDevice9* device = g_Render.device;
    if (waterIB)
        waterIB->Release();
    if (waterVB)
        waterVB->Release();
    waterIB = nullptr;
    waterVB = nullptr;
    waterTriangleCount = 0;
    if (col < 0 || row < 0 || col >= land.partsPerSide || row >= land.partsPerSide || !device)
        return;

    std::vector<uint16_t> indices;
    BuildWaterCellIndices(&land.heights[0][0], LANDSCAPE_MAX_GRID, land.gridSize, land.partCells, col, row,
                          land.waterAltitude, &indices);
    if (indices.empty())
        return;
    const UINT bytes = (UINT)(indices.size() * sizeof(uint16_t));
    if (FAILED(
            device->CreateIndexBuffer(bytes, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED, &waterIB, nullptr)))
    {
        waterIB = nullptr;
        return;
    }
    void* data = nullptr;
    if (SUCCEEDED(waterIB->Lock(0, 0, &data, 0)))
    {
        std::memcpy(data, indices.data(), bytes);
        waterIB->Unlock();
    }
    waterTriangleCount = (int)indices.size() / 3;

    TerrainVertex grid[16];
    const float l = land.partCells * land.cellSize;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
        {
            TerrainVertex& v = grid[4 * i + j];
            v.x = boundsMin[0] + j * (boundsMax[0] - boundsMin[0]) / 3.0f;
            v.z = boundsMax[2] + i * (boundsMin[2] - boundsMax[2]) / 3.0f;
            v.y = land.waterAltitude;
            v.nx = 0.0f;
            v.ny = 1.0f;
            v.nz = 0.0f;
            v.diffuse = 0xFFFFFFFFu;
            v.u = 5.0f * v.x / l;
            v.v = 5.0f * v.z / l;
        }
    if (SUCCEEDED(device->CreateVertexBuffer(sizeof(grid), D3DUSAGE_WRITEONLY, TERRAIN_FVF, D3DPOOL_MANAGED, &waterVB,
                                             nullptr)) &&
        SUCCEEDED(waterVB->Lock(0, 0, &data, 0)))
    {
        std::memcpy(data, grid, sizeof(grid));
        waterVB->Unlock();
    }
}

void CLandscape::DrawWater()
{
    IDirect3DDevice9* device = g_Render.device;
    if (partCount == 0 || !device)
        return;
    g_Render.SetFog(0);
    g_Render.SetLighting(1);
    g_Render.SetZEnable(1);
    g_Render.SetZWrite(1);
    device->SetFVF(TERRAIN_FVF);
    g_Render.SaveCullMode();
    g_Render.SetCullMode(D3DCULL_NONE);

    float wc[4], specular[4];
    WaterColours(CurrentSeason(), wc, specular);
    g_Render.SetTextureAddress(0, D3DTADDRESS_CLAMP);

    const CCamera* camera = g_Views.Current();
    ID3DXEffect* effect = g_Render.effect;
    const bool shader = g_Render.sm20 && effect;
    const bool wire = g_Render.fillMode == D3DFILL_WIREFRAME;
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    if (shader)
    {
        g_Render.SetTechnique(WATER_TECHNIQUE);
        D3DXMATRIX viewProj;
        D3DXMatrixMultiply(&viewProj, &camera->view, &camera->projection);
        effect->SetFloat("WaterAltitude", waterAltitude);
        effect->SetMatrix("matWorld", &identity);
        effect->SetMatrix("matViewProj", &viewProj);
        effect->SetMatrix("matWorldViewProj", &viewProj);
        const D3DXVECTOR4 s(specular[0], specular[1], specular[2], specular[3]), w(wc[0], wc[1], wc[2], wc[3]);
        effect->SetVector("MatSpecular", &s);
        effect->SetVector("WaterColor", &w);
        const float t = (float)g_Clock.RealTimeMs();
        const D3DXVECTOR4 time(t * 0.000005f, 0, 0, 0);
        const D3DXVECTOR4 wave1(0.00002f * t, 0.00001f * t, -0.00001f * t, -0.00001f * t);
        const D3DXVECTOR4 wave2(-0.00004f * t, -0.00002f * t, -0.00001f * t, -0.00001f * t);
        const D3DXVECTOR4 scale1(0.04f, 0.04f, 0.04f, 1.0f), scale2(0.06f, 0.06f, 0.06f, 1.0f);
        const D3DXVECTOR4 alpha(0.0f, 50.0f, 0.0f, 0.0f);
        const D3DXVECTOR4 eye(camera->eye.x, camera->eye.y, camera->eye.z, 1.0f);
        effect->SetVector("vecTime", &time);
        effect->SetVector("Wave1Speed", &wave1);
        effect->SetVector("Wave2Speed", &wave2);
        effect->SetVector("Wave1Scale", &scale1);
        effect->SetVector("Wave2Scale", &scale2);
        effect->SetVector("AlphaFactor", &alpha);
        effect->SetVector("EyePos", &eye);
        effect->SetTexture("texBaseMap1", wire ? nullptr : g_Render.ReflectionTarget());
        effect->SetTexture("texBaseMap2", wire ? nullptr : g_Render.GetTexture(waterNoiseTexture));
        g_Render.SetAlphaBlend(1);
        g_Render.SetBlend(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
    }
    else
    {
        waterMaterial.Diffuse = D3DCOLORVALUE{wc[0], wc[1], wc[2], wc[3]};
        waterMaterial.Specular = D3DCOLORVALUE{specular[0], specular[1], specular[2], specular[3]};
        g_Render.SetMaterial(&waterMaterial, 0);
        D3DXMATRIX flat, lift, world;
        D3DXMatrixScaling(&flat, 1.0f, 0.0f, 1.0f);
        D3DXMatrixTranslation(&lift, 0.0f, waterAltitude, 0.0f);
        D3DXMatrixMultiply(&world, &flat, &lift);
        device->SetTransform(D3DTS_WORLD, &world);
        g_Render.BindTextureObject(g_Render.ReflectionTarget(), 1, 0);
        g_Render.SetTexCoordIndex(0, D3DTSS_TCI_CAMERASPACEPOSITION);
        g_Render.SetTextureTransformFlags(0, D3DTTFF_COUNT4 | D3DTTFF_PROJECTED);
        D3DXMATRIX half, centre, texture;
        D3DXMatrixScaling(&half, 0.5f, -0.5f, 1.0f);
        D3DXMatrixTranslation(&centre, 0.5f, 0.5f, 0.0f);
        D3DXMatrixMultiply(&texture, &camera->projection, &half);
        D3DXMatrixMultiply(&texture, &texture, &centre);
        device->SetTransform(D3DTS_TEXTURE0, &texture);
    }

    for (int i = 0; i < partCount; i++)
        parts[i]->DrawWater();

    if (!shader)
    {
        g_Render.SetTexCoordIndex(0, 0);
        g_Render.SetTextureTransformFlags(0, D3DTTFF_DISABLE);
        device->SetTransform(D3DTS_TEXTURE0, &identity);
        device->SetTransform(D3DTS_WORLD, &identity);
    }
    g_Render.RestoreCullMode();
    g_Render.SetTextureAddress(0, D3DTADDRESS_WRAP);
    g_Render.SetAlphaBlend(0);
}

int CLandscape::WaterScreenBounds(const D3DXMATRIX& viewProj, float bounds[4]) const
{
    const D3DXMATRIX& m = viewProj;
    float u0 = 1.0f, v0 = 1.0f, u1 = 0.0f, v1 = 0.0f;
    for (int i = 0; i < partCount; i++)
    {
        const CLandPart* part = parts[i];
        if (!part || !part->visible || (!part->waterIB && !part->waterVB))
            continue;
        // The part's water rectangle in clip space, cut at the near plane
        // (z >= 0): the rest is never drawn.
        const float xs[4] = {part->boundsMin[0], part->boundsMax[0], part->boundsMax[0], part->boundsMin[0]};
        const float zs[4] = {part->boundsMin[2], part->boundsMin[2], part->boundsMax[2], part->boundsMax[2]};
        float clip[4][4];
        for (int k = 0; k < 4; k++)
        {
            const float x = xs[k], y = waterAltitude, z = zs[k];
            for (int c = 0; c < 4; c++)
                clip[k][c] = x * m.m[0][c] + y * m.m[1][c] + z * m.m[2][c] + m.m[3][c];
        }
        float kept[8][4];
        int count = 0;
        for (int k = 0; k < 4; k++)
        {
            const float* a = clip[k];
            const float* b = clip[(k + 1) % 4];
            if (a[2] >= 0.0f)
                std::memcpy(kept[count++], a, sizeof(float) * 4);
            if ((a[2] >= 0.0f) != (b[2] >= 0.0f))
            {
                const float t = a[2] / (a[2] - b[2]);
                for (int c = 0; c < 4; c++)
                    kept[count][c] = a[c] + t * (b[c] - a[c]);
                kept[count][2] = 0.0f;
                ++count;
            }
        }
        for (int k = 0; k < count; k++)
        {
            const float w = kept[k][3];
            if (w <= 0.0f)
            {
                // Only where the near plane passes through the eye: no
                // bound from this point, the whole screen.
                u0 = v0 = 0.0f;
                u1 = v1 = 1.0f;
                continue;
            }
            const float u = kept[k][0] / w * 0.5f + 0.5f, v = kept[k][1] / w * -0.5f + 0.5f;
            u0 = std::min(u0, u), u1 = std::max(u1, u);
            v0 = std::min(v0, v), v1 = std::max(v1, v);
        }
    }
    u0 = std::max(u0, 0.0f), v0 = std::max(v0, 0.0f);
    u1 = std::min(u1, 1.0f), v1 = std::min(v1, 1.0f);
    if (u0 >= u1 || v0 >= v1)
        return 0;
    bounds[0] = u0, bounds[1] = v0, bounds[2] = u1, bounds[3] = v1;
    return 1;
}

void CLandPart::DrawWater()
{
    CLandscape& land = g_Landscape;
    IDirect3DDevice9* device = g_Render.device;
    if ((!waterIB && !waterVB) || !visible || !device)
        return;
    ID3DXEffect* effect = g_Render.sm20 ? g_Render.effect : nullptr;
    UINT passes = 0;
    if (effect)
    {
        effect->Begin(&passes, 0);
        effect->BeginPass(0);
    }
    int triangles = 0;
    if (distance <= WATER_NEAR_DISTANCE && waterIB)
    {
        device->SetStreamSource(0, land.terrainVB, 0, sizeof(TerrainVertex));
        device->SetIndices(waterIB);
        const UINT vertices = (UINT)((land.gridSize + 1) * (land.gridSize + 1));
        device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, baseVertex, 0, vertices, 0, (UINT)waterTriangleCount);
        triangles = waterTriangleCount;
    }
    else if (waterVB && land.waterGridIndices)
    {
        device->SetStreamSource(0, waterVB, 0, sizeof(TerrainVertex));
        device->SetIndices(land.waterGridIndices);
        device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, (UINT)land.waterGridVertexCount, 0,
                                     (UINT)land.waterGridTriangles);
        triangles = land.waterGridTriangles;
    }
    if (effect)
    {
        effect->EndPass();
        effect->End();
    }
    g_Render.CountFaces(triangles);
}
