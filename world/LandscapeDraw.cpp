// The landscape's frame: part distances and order, visibility against the
// view, the shadow camera and the buildings, and the terrain in the main,
// shadow-map and reflection passes. The terrain uses the fixed-function
// texture stages: the colour texture modulated by the lit vertex colour, a
// detail map on near parts and the shadow map on parts near the shadow
// camera's square.
#include "world/LandscapeDraw.h"

#include <cmath>

#include "core/Controls.h"
#include "core/Settings.h"
#include "render/D3DRender.h"
#include "render/Draw2D.h"
#include "render/Views.h"
#include "world/LandPart.h"
#include "world/Landscape.h"
#include "world/Terrain.h"

int g_ShowRoute = 0;

namespace
{

float Distance(const float a[3], const float b[3])
{
    const float dx = a[0] - b[0], dy = a[1] - b[1], dz = a[2] - b[2];
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

// The eye the parts are sorted from: the camera's ground position at half the
// height scale, as the part distances use.
void SortEye(const CLandscape& land, float out[3])
{
    const CCamera* camera = g_Views.Current();
    out[0] = camera->eye.x;
    out[1] = land.heightScale / 2.0f;
    out[2] = camera->eye.z;
}

const D3DXVECTOR3* Corners(const CLandPart* part)
{
    return reinterpret_cast<const D3DXVECTOR3*>(part->corners);
}

// The smoothed shadow map, or null when no shadow pass fills it.
IDirect3DTexture9* ShadowMap()
{
    return g_ShadowQuality > 0 ? g_Render.shadowTarget1 : nullptr;
}

}   // namespace

int ChooseTerrainLod(float distance, int reflectionPass, IDirect3DIndexBuffer9* const lodIndices[3])
{
    if (lodIndices[2] && (distance > TERRAIN_COARSE_DISTANCE || reflectionPass))
        return 2;
    if (lodIndices[1] && distance > TERRAIN_DETAIL_DISTANCE)
        return 1;
    return 0;
}

void SortPartsByDistance(CLandPart** parts, int count)
{
    for (int i = 0; i < count - 1; i++)
        for (int j = i + 1; j < count; j++)
            if (parts[i]->distance > parts[j]->distance)
            {
                CLandPart* t = parts[i];
                parts[i] = parts[j];
                parts[j] = t;
            }
}

void CLandscape::Update()
{
    if (!heightBody)
        CreatePhysics();
    float eye[3];
    SortEye(*this, eye);
    if (Distance(sortEye, eye) >= partRadius * 0.125f)
        SortLandParts();
    visibleParts = visibleWaterParts = 0;
    for (int i = 0; i < partCount; i++)
        if (parts[i])
            parts[i]->Update();
}

void CLandscape::SortLandParts()
{
    if (partCount == 0)
        return;
    SortEye(*this, sortEye);
    SortPartsByDistance(parts, partCount);
}

void CLandscape::UpdateVisibility()
{
    if (g_ReflectionPass)
        return;
    const CCamera* camera = g_Views.Current();
    for (int i = 0; i < partCount; i++)
        parts[i]->inShadow = g_Views.shadowCamera.BoxVisible(Corners(parts[i]));
    for (int i = 0; i < partCount; i++)
        parts[i]->visible = parts[i]->distance < g_ViewDistance ? camera->BoxVisible(Corners(parts[i])) : 0;
}

void CLandscape::CheckOcclusion(int (*isBoxOccluded)(const float points[8][3]))
{
    if (g_ReflectionPass || !isBoxOccluded)
        return;
    for (int i = 0; i < partCount; i++)
        if (parts[i]->visible && isBoxOccluded(parts[i]->corners))
            parts[i]->visible = 0;
}

void CLandscape::Draw()
{
    IDirect3DDevice9* device = g_Render.device;
    if (partCount == 0 || !device || !terrainVB)
        return;
    const int reflection = g_ReflectionPass;
    if (reflection)
    {
        g_Render.SaveCullMode();
        g_Render.SetCullMode(D3DCULL_NONE);
    }

    g_Render.SetFog(0);
    g_Render.SetLighting(1);
    g_Render.SetZEnable(1);
    g_Render.SetZWrite(1);
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    device->SetTransform(D3DTS_WORLD, &identity);
    g_Render.SetStageColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, D3DTA_CURRENT, D3DTA_CURRENT);
    g_Render.SetTextureAddress(0, D3DTADDRESS_CLAMP);

    if (!reflection)
    {
        // Detail map: the area-wide coordinates repeated 150 times.
        D3DXMATRIX detail;
        D3DXMatrixScaling(&detail, 150.0f, 150.0f, 150.0f);
        device->SetTransform(D3DTS_TEXTURE1, &detail);
        g_Render.SetTextureTransformFlags(1, D3DTTFF_COUNT2);
        g_Render.SetTexCoordIndex(1, 0);
        g_Render.BindTexture(detailMapTexture, 0, 1);
        g_Render.SetStageColorOp(1, D3DTOP_MODULATE2X, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_CURRENT);

        // Shadow map looked up from the camera-space position.
        D3DXMATRIX shadow;
        GetShadowMatrix(&shadow, &identity);
        device->SetTransform(D3DTS_TEXTURE2, &shadow);
        g_Render.SetTextureTransformFlags(2, D3DTTFF_COUNT3);
        g_Render.SetTexCoordIndex(2, D3DTSS_TCI_CAMERASPACEPOSITION);
        g_Render.BindTextureObject(ShadowMap(), 1, 2);
        g_Render.SetStageColorOp(2, D3DTOP_MODULATE, D3DTA_TEXTURE | D3DTA_COMPLEMENT, D3DTA_CURRENT, D3DTA_CURRENT,
                                 D3DTA_CURRENT);
        g_Render.SetTextureAddress(2, D3DTADDRESS_BORDER);
    }

    g_Render.BindTexture(landscapeTexture, 0, 0);
    device->SetFVF(TERRAIN_FVF);
    device->SetStreamSource(0, terrainVB, 0, sizeof(TerrainVertex));
    g_Render.SetColorVertex(FALSE);
    g_Render.SetMaterial(&terrainMaterial, 0);

    for (int i = 0; i < partCount; i++)
        parts[i]->Draw();

    g_Render.SetColorVertex(TRUE);
    for (DWORD stage = 1; stage <= 2; stage++)
    {
        g_Render.SetTextureTransformFlags(stage, D3DTTFF_DISABLE);
        g_Render.SetTexCoordIndex(stage, 0);
    }
    g_Render.SetTextureAddress(0, D3DTADDRESS_WRAP);
    g_Render.SetTextureAddress(2, D3DTADDRESS_WRAP);
    device->SetTransform(D3DTS_TEXTURE1, &identity);
    device->SetTransform(D3DTS_TEXTURE2, &identity);
    g_Render.SetStageColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_CURRENT);
    g_Render.SetStageAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT);
    for (DWORD stage = 1; stage <= 2; stage++)
    {
        g_Render.SetStageColorOp(stage, D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_CURRENT);
        g_Render.SetStageAlphaOp(stage, D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT);
    }
    g_Render.SetTexCoordIndex(0, 0);
    // Nothing else may sample the shadow map or the detail map by accident.
    g_Render.BindTexture(-1, 0, 1);
    g_Render.BindTexture(-1, 0, 2);

    if (reflection)
        g_Render.RestoreCullMode();

    if (!reflection)
        DrawRoadSurface();

    // One press of Insert toggles the route display once, however many
    // passes draw the landscape in that frame.
    if (g_DebugMode && !g_KeyFlags[KEY_SHIFT] && ConsumeKey(KEY_INSERT))
        g_ShowRoute = !g_ShowRoute;
    if (g_ShowRoute)
        DrawRoute();
}

void CLandPart::Draw()
{
    CLandscape& land = g_Landscape;
    IDirect3DDevice9* device = g_Render.device;
    if (col < 0 || row < 0 || col >= land.partsPerSide || row >= land.partsPerSide || !visible || !device)
        return;

    if (!g_ReflectionPass)
    {
        if (distance > TERRAIN_DETAIL_DISTANCE)
            g_Render.SetStageColorOp(1, D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_CURRENT);
        else
            g_Render.SetStageColorOp(1, D3DTOP_MODULATE2X, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_CURRENT);
        const D3DXVECTOR3& focus = g_Views.shadowFocus;
        const float dx = centre[0] - focus.x, dy = centre[1] - focus.y, dz = centre[2] - focus.z;
        const bool nearShadow = std::sqrt(dx * dx + dy * dy + dz * dz) - radius < TERRAIN_SHADOW_REACH;
        if (nearShadow && ShadowMap())
            g_Render.SetStageColorOp(2, D3DTOP_MODULATE, D3DTA_TEXTURE | D3DTA_COMPLEMENT, D3DTA_CURRENT, D3DTA_CURRENT,
                                     D3DTA_CURRENT);
        else
            g_Render.SetStageColorOp(2, D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_CURRENT);
    }

    const int lod = ChooseTerrainLod(distance, g_ReflectionPass, land.lodIndices);
    if (!land.lodIndices[lod])
        return;
    const int vertices = (land.gridSize + 1) * (land.gridSize + 1);
    device->SetIndices(land.lodIndices[lod]);
    device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, baseVertex, 0, vertices, 0, land.lodTriangles[lod]);
    g_Render.CountFaces(land.lodTriangles[lod]);
}

void CLandscape::DrawShadow()
{
    IDirect3DDevice9* device = g_Render.device;
    // The shadow pass always uses the middle level.
    const int lod = lodIndices[1] ? 1 : 0;
    if (partCount == 0 || !device || !terrainVB || !lodIndices[lod])
        return;
    g_Render.SetFog(0);
    g_Render.SetZEnable(1);
    g_Render.SetZWrite(1);
    g_Render.SetLighting(0);
    g_Render.SetColorVertex(FALSE);
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    device->SetTransform(D3DTS_WORLD, &identity);
    g_Render.BindTexture(-1, 0, 0);
    device->SetFVF(TERRAIN_FVF);
    device->SetStreamSource(0, terrainVB, 0, sizeof(TerrainVertex));
    device->SetIndices(lodIndices[lod]);
    const int vertices = (gridSize + 1) * (gridSize + 1);
    for (int i = 0; i < partCount; i++)
    {
        const CLandPart* part = parts[i];
        if (!part->visible || !part->inShadow)
            continue;
        device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, part->baseVertex, 0, vertices, 0, lodTriangles[lod]);
        g_Render.CountFaces(lodTriangles[lod]);
    }
    g_Render.SetColorVertex(TRUE);
    g_Render.SetZWrite(0);
}

void CLandscape::DrawRoute()
{
    if (!routePos || routeCount <= 0)
        return;
    const CCamera* camera = g_Views.Current();
    g_Render.SetZEnable(1);
    g_Render.SetZWrite(1);
    for (int i = 0; i < routeCount; i++)
    {
        const D3DXVECTOR3 p(routePos[i][0], routePos[i][1], routePos[i][2]);
        const D3DXVECTOR3 d = p - camera->eye;
        if (std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z) > 150.0f)
            continue;
        const float s = i == 0 ? 2.0f : 1.0f, h = s / 2.0f, y = p.y + 0.2f * s;
        DrawWorldQuad(D3DXVECTOR3(p.x - h, y, p.z - h), D3DXVECTOR3(p.x + h, y, p.z - h),
                      D3DXVECTOR3(p.x - h, y, p.z + h), D3DXVECTOR3(p.x + h, y, p.z + h),
                      i == 0 ? 0xFFFF0000 : 0xFF00FF00);
        if (i + 1 < routeCount)
        {
            const D3DXVECTOR3 q(routePos[i + 1][0], routePos[i + 1][1] + 0.2f, routePos[i + 1][2]);
            DrawWorldLine(D3DXVECTOR3(p.x, p.y + 0.2f, p.z), q, 0xFFFFFF00);
        }
    }
}
