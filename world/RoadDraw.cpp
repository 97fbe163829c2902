// The road and its marks in the main pass, after the terrain: the road mixes
// two surface textures by the area's road alpha, fades at its edges by the
// vertex alpha and takes the shadow map; the marks are one atlas of lines.
#include "core/Settings.h"
#include "render/D3DRender.h"
#include "render/Views.h"
#include "world/LandPart.h"
#include "world/Landscape.h"
#include "world/RoadBuild.h"

namespace
{

IDirect3DTexture9* ShadowMapTexture()
{
    return g_ShadowQuality > 0 ? g_Render.shadowTarget1 : nullptr;
}

// The shadow map on `stage`, looked up from the camera-space position.
void ShadowStage(IDirect3DDevice9* device, DWORD stage)
{
    D3DXMATRIX identity, shadow;
    D3DXMatrixIdentity(&identity);
    GetShadowMatrix(&shadow, &identity);
    device->SetTransform((D3DTRANSFORMSTATETYPE)(D3DTS_TEXTURE0 + stage), &shadow);
    g_Render.SetTextureTransformFlags(stage, D3DTTFF_COUNT3);
    g_Render.SetTexCoordIndex(stage, D3DTSS_TCI_CAMERASPACEPOSITION);
    g_Render.BindTextureObject(ShadowMapTexture(), 1, stage);
    g_Render.SetTextureAddress(stage, D3DTADDRESS_BORDER);
}

void ResetStage(IDirect3DDevice9* device, DWORD stage)
{
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    g_Render.SetStageColorOp(stage, D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_CURRENT);
    g_Render.SetStageAlphaOp(stage, D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT);
    g_Render.SetTexCoordIndex(stage, 0);
    g_Render.SetTextureTransformFlags(stage, D3DTTFF_DISABLE);
    device->SetTransform((D3DTRANSFORMSTATETYPE)(D3DTS_TEXTURE0 + stage), &identity);
    g_Render.SetTextureAddress(stage, D3DTADDRESS_WRAP);
    g_Render.BindTexture(-1, 0, (int)stage);
}

}   // namespace

void CLandscape::DrawRoadSurface()
{
    IDirect3DDevice9* device = g_Render.device;
    if (partCount == 0 || !device || g_ReflectionPass)
        return;
    const bool shadow = ShadowMapTexture() != nullptr;
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    device->SetTransform(D3DTS_WORLD, &identity);

    // The road.
    g_Render.SetZWrite(0);
    g_Render.SetMaterial(&roadMaterial, 0);
    device->SetFVF(ROAD_FVF);
    g_Render.BindTexture(roadAlphaTexture, 1, 0);
    g_Render.BindTexture(roadTexture1, 1, 1);
    g_Render.BindTexture(roadTexture2, 1, 2);
    g_Render.SetStageColorOp(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_TEMP);
    g_Render.SetStageAlphaOp(0, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_CURRENT, D3DTA_CURRENT);
    g_Render.SetStageColorOp(1, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_TEMP, D3DTA_CURRENT, D3DTA_CURRENT);
    g_Render.SetStageAlphaOp(1, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_CURRENT, D3DTA_CURRENT);
    g_Render.SetStageColorOp(2, D3DTOP_LERP, D3DTA_TEXTURE, D3DTA_TEMP | D3DTA_COMPLEMENT, D3DTA_CURRENT,
                             D3DTA_CURRENT);
    g_Render.SetStageAlphaOp(2, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_CURRENT, D3DTA_CURRENT);
    g_Render.SetStageColorOp(3, D3DTOP_MODULATE, D3DTA_DIFFUSE, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_CURRENT);
    g_Render.SetStageAlphaOp(3, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_CURRENT, D3DTA_CURRENT);
    g_Render.SetTexCoordIndex(0, 1);
    g_Render.SetTexCoordIndex(1, 0);
    g_Render.SetTexCoordIndex(2, 0);
    if (shadow)
    {
        ShadowStage(device, 4);
        g_Render.SetStageColorOp(4, D3DTOP_MODULATE, D3DTA_TEXTURE | D3DTA_COMPLEMENT, D3DTA_CURRENT, D3DTA_CURRENT,
                                 D3DTA_CURRENT);
    }
    else
        g_Render.SetStageColorOp(4, D3DTOP_SELECTARG1, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_CURRENT);
    // The vertex alpha fades the edges of the road.
    g_Render.SetStageAlphaOp(4, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_CURRENT, D3DTA_CURRENT);
    g_Render.SetAlphaBlend(1);
    g_Render.SetBlend(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);

    for (int i = 0; i < partCount; i++)
        parts[i]->DrawRoad();

    g_Render.SetStageColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_CURRENT);
    g_Render.SetStageAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT);
    for (DWORD stage = 1; stage <= 4; stage++)
        ResetStage(device, stage);
    g_Render.SetTexCoordIndex(0, 0);

    // The marks.
    g_Render.SetMaterial(&markMaterial, 0);
    g_Render.BindTexture(roadSectoringTexture, 1, 0);
    if (shadow)
    {
        ShadowStage(device, 1);
        g_Render.SetStageColorOp(1, D3DTOP_MODULATE, D3DTA_TEXTURE | D3DTA_COMPLEMENT, D3DTA_CURRENT, D3DTA_CURRENT,
                                 D3DTA_CURRENT);
        g_Render.SetStageAlphaOp(1, D3DTOP_SELECTARG1, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_CURRENT);
    }
    g_Render.SetAlphaBlend(1);
    g_Render.SetBlend(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
    for (int i = 0; i < partCount; i++)
        parts[i]->DrawRoadMarks();
    ResetStage(device, 1);
    g_Render.BindTexture(-1, 0, 0);
}

void CLandPart::DrawRoad()
{
    IDirect3DDevice9* device = g_Render.device;
    if (!roadVB || !roadIB || !visible || g_ReflectionPass || !device)
        return;
    device->SetStreamSource(0, roadVB, 0, sizeof(RoadVertex));
    device->SetIndices(roadIB);
    device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, (UINT)roadVertexCount, 0, (UINT)roadTriangleCount);
    g_Render.CountFaces(roadTriangleCount);
}

void CLandPart::DrawRoadMarks()
{
    IDirect3DDevice9* device = g_Render.device;
    if (!markVB || !markIB || !visible || g_ReflectionPass || distance > 80.0f || !device)
        return;
    device->SetStreamSource(0, markVB, 0, sizeof(RoadVertex));
    device->SetIndices(markIB);
    device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, (UINT)markVertexCount, 0, (UINT)markTriangleCount);
    g_Render.CountFaces(markTriangleCount);
}
