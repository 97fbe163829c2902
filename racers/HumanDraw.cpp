// Drawing the riders: the animated mesh while riding, the eleven parts at
// their ragdoll bodies while fallen. The suit texture, the decal mask
// painting the suit colour over it, the received shadow and the lighting are
// combined on four texture stages through the temporary register.
#include <btBulletDynamicsCommon.h>

#include "core/Settings.h"
#include "racers/BulletMatrix.h"
#include "racers/HumanManager.h"
#include "racers/HumanObject.h"
#include "racers/RagDoll.h"
#include "racers/VehicleObject.h"
#include "render/D3DRender.h"
#include "render/MeshContainer.h"
#include "render/Views.h"

namespace
{

const float kDrawDistance = 100.0f;
const float kShadowDistance = 50.0f;
const DWORD kRiderFvf = 0x112;   // position, normal, one texture coordinate pair

IDirect3DTexture9* ShadowMap()
{
    return g_ShadowQuality > 0 ? g_Render.shadowTarget1 : nullptr;
}

DWORD Channel(float c)
{
    return (DWORD)((int)(c * 255.0f) & 0xFF);
}

}   // namespace

void CHumanManager::Render()
{
    IDirect3DDevice9* device = g_Render.device;
    if (g_EditorMode || !device || count == 0)
        return;
    g_Render.SetFog(0);
    g_Render.SetLighting(1);
    g_Render.SetZEnable(1);
    g_Render.SetZWrite(1);
    device->SetFVF(kRiderFvf);

    // Stage 0: the suit; its alpha is the diffuse alpha, the fade.
    g_Render.SetStageColorOp(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_TEMP);
    g_Render.SetStageAlphaOp(0, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_CURRENT, D3DTA_CURRENT);
    // Stage 1: decal x suit colour + (1 - decal) x suit.
    g_Render.SetStageColorOp(1, D3DTOP_LERP, D3DTA_TFACTOR, D3DTA_TEMP, D3DTA_TEXTURE, D3DTA_TEMP);
    g_Render.SetStageAlphaOp(1, D3DTOP_SELECTARG1, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_CURRENT);
    g_Render.SetTexCoordIndex(1, 0);
    // Stage 2: the received shadow, looked up from the camera-space position.
    IDirect3DTexture9* shadowMap = ShadowMap();
    if (shadowMap)
        g_Render.SetStageColorOp(2, D3DTOP_MODULATE, D3DTA_TEMP, D3DTA_TEXTURE | D3DTA_COMPLEMENT, D3DTA_CURRENT,
                                 D3DTA_TEMP);
    else
        g_Render.SetStageColorOp(2, D3DTOP_SELECTARG1, D3DTA_TEMP, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_TEMP);
    g_Render.SetStageAlphaOp(2, D3DTOP_SELECTARG1, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_CURRENT);
    g_Render.BindTextureObject(shadowMap, 0, 2);
    g_Render.SetTexCoordIndex(2, D3DTSS_TCI_CAMERASPACEPOSITION);
    g_Render.SetTextureTransformFlags(2, D3DTTFF_COUNT3);
    g_Render.SetTextureAddress(2, D3DTADDRESS_BORDER);
    // Stage 3: lit.
    g_Render.SetStageColorOp(3, D3DTOP_MODULATE, D3DTA_TEMP, D3DTA_DIFFUSE, D3DTA_CURRENT, D3DTA_CURRENT);
    g_Render.SetStageAlphaOp(3, D3DTOP_SELECTARG1, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_CURRENT);
    g_Render.SetStageColorOp(4, D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_CURRENT);
    g_Render.SetStageAlphaOp(4, D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT);

    for (int i = 0; i < count; ++i)
        riders[i]->Render();

    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    device->SetTransform(D3DTS_TEXTURE2, &identity);
    g_Render.SetTexCoordIndex(2, 0);
    g_Render.SetTextureTransformFlags(2, D3DTTFF_DISABLE);
    g_Render.SetTextureAddress(2, D3DTADDRESS_WRAP);
    g_Render.SetStageColorOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_CURRENT);
    g_Render.SetStageAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT);
    for (DWORD stage = 1; stage <= 3; ++stage)
    {
        g_Render.SetStageColorOp(stage, D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_CURRENT);
        g_Render.SetStageAlphaOp(stage, D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT);
    }
    // Nothing after may sample the decal or the shadow map by accident.
    g_Render.BindTexture(-1, 0, 1);
    g_Render.BindTexture(-1, 0, 2);
    g_Render.SetAlphaBlend(0);
}

void CHumanManager::RenderShadows()
{
    if (!g_Render.device || count == 0)
        return;
    g_Render.SetFog(0);
    g_Render.SetLighting(0);
    g_Render.SetZEnable(1);
    g_Render.SetZWrite(0);
    g_Render.SetAlphaBlend(0);
    g_Render.SetBlend(D3DBLEND_ONE, D3DBLEND_ZERO);
    g_Render.SetStageColorOp(0, D3DTOP_SELECTARG1, D3DTA_TFACTOR, D3DTA_CURRENT, D3DTA_CURRENT, D3DTA_CURRENT);
    g_Render.SetStageAlphaOp(0, D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT);
    for (int i = 0; i < count; ++i)
        riders[i]->RenderShadow();
}

void CHumanObject::Render()
{
    IDirect3DDevice9* device = g_Render.device;
    // The rider of the motorcycle the on-board camera rides on would fill
    // the middle of the picture with its helmet and arms.
    if (!device || !meshRecord || !visible || cameraDistance > kDrawDistance || IsOnboardTarget(Vehicle))
        return;
    const float a = material.Diffuse.a * 255.0f;
    g_Render.SetMaterial(&material, 0);
    device->SetRenderState(D3DRS_TEXTUREFACTOR, (0x3Fu << 24) | (Channel(SuitColour[0]) << 16) |
                                                    (Channel(SuitColour[1]) << 8) | Channel(SuitColour[2]));
    const int blend = a < 255.0f ? 1 : 0;
    g_Render.BindTexture(SuitTexture, blend, 0);
    g_Render.BindTexture(DecalTexture, blend, 1);
    D3DXMATRIX own = world, shadow;
    GetShadowMatrix(&shadow, &own);
    device->SetTransform(D3DTS_TEXTURE2, &shadow);

    if (RagDoll)
        RenderRagdollParts();
    else
        RenderSlot(MESH_SLOT_MAIN, &own);
}

void CHumanObject::RenderShadow()
{
    if (!g_Render.device || !meshRecord || !visible || !inShadow || cameraDistance > kShadowDistance)
        return;
    if (RagDoll)
    {
        g_Render.device->SetFVF(meshRecord->fvf[MESH_SLOT_MAIN]);
        RenderRagdollParts();
    }
    else
        RenderSlot(MESH_SLOT_MAIN);
}

void CHumanObject::RenderRagdollParts()
{
    IDirect3DDevice9* device = g_Render.device;
    // The ranges were checked against the ragdoll frame when the file was
    // read, which needs that frame to have been made.
    if (!device || !RagDoll || !Loaded || !meshRecord || meshRecord->partCount[MESH_SLOT_MAIN] <= 0)
        return;
    ID3DXMesh* mesh = meshRecord->meshes[MESH_SLOT_MAIN][0];
    if (!mesh)
        return;
    IDirect3DVertexBuffer9* vb = nullptr;
    IDirect3DIndexBuffer9* ib = nullptr;
    mesh->GetVertexBuffer(&vb);
    mesh->GetIndexBuffer(&ib);
    if (vb && ib)
    {
        device->SetStreamSource(0, vb, 0, D3DXGetFVFVertexSize(meshRecord->fvf[MESH_SLOT_MAIN]));
        device->SetIndices(ib);
        g_Render.SetMaterial(&material, 0);
        for (int k = 0; k < HUMAN_PARTS; ++k)
        {
            btTransform t;
            RagDoll->bodies[k]->getMotionState()->getWorldTransform(t);
            D3DXMATRIX m;
            MatrixFromTransform(m, t);
            device->SetTransform(D3DTS_WORLD, &m);
            device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, (UINT)PartVertices[k][0], (UINT)PartVertices[k][1],
                                         (UINT)(3 * PartTriangles[k][0]), (UINT)PartTriangles[k][1]);
            g_Render.CountFaces(PartTriangles[k][1]);
        }
    }
    if (vb)
        vb->Release();
    if (ib)
        ib->Release();
}
