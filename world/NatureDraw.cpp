// The draw passes of grass, stems, stones and leaves. Every field is one draw
// call from the area's packed buffers; the distance of its land part picks
// the index list (the level of detail) and the fade.
#include <cmath>

#include "core/GameClock.h"
#include "render/D3DRender.h"
#include "render/Views.h"
#include "scene/MeshEffects.h"
#include "world/LandPart.h"
#include "world/NatureManager.h"

namespace
{

// Stones lie small on the ground: beyond this their parts are not drawn.
const float kStoneDrawDistance = 150.0f;

void SetWorldIdentity()
{
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    g_Render.device->SetTransform(D3DTS_WORLD, &identity);
}

void SetViewProj()
{
    D3DXMATRIX viewProj;
    g_Views.Current()->GetViewProj(&viewProj);
    g_Render.effect->SetMatrix("matViewProj", &viewProj);
}

void SetNatureVector(const char* name, float x, float y, float z, float w)
{
    const D3DXVECTOR4 v(x, y, z, w);
    g_Render.effect->SetVector(name, &v);
}

void SetTime()
{
    SetNatureVector("vecTime", (float)g_Clock.GameTimeMs() / 1000.0f, 0.0f, 0.0f, 0.0f);
}

// The caster colour the shadow pass has put in the texture factor.
void SetShadowColour()
{
    DWORD factor = 0xFF000000;
    g_Render.device->GetRenderState(D3DRS_TEXTUREFACTOR, &factor);
    SetNatureVector("NatureShadowColour", ((factor >> 16) & 0xFF) / 255.0f, ((factor >> 8) & 0xFF) / 255.0f,
                    (factor & 0xFF) / 255.0f, 1.0f);
}

bool UseEffect()
{
    return g_Render.vs11 && g_Render.effect;
}

void BeginEffect()
{
    UINT passes = 0;
    g_Render.effect->Begin(&passes, 0);
    g_Render.effect->BeginPass(0);
}

void EndEffect()
{
    g_Render.effect->EndPass();
    g_Render.effect->End();
}

bool PartDrawn(const CLandPart* part, float limit)
{
    return part && part->visible && part->distance < limit;
}

// The fields of an active list that pass `drawn`, nearest part first: near
// grass and leaves hide much of what lies behind them, and the depth test
// then spares the far fields' pixels.
template <class Field, class Test>
int NearFirst(Field* const* fields, int count, Test drawn, Field** out)
{
    int n = 0;
    for (int i = 0; i < count; ++i)
    {
        Field* f = fields[i];
        if (!drawn(f))
            continue;
        int k = n++;
        for (; k > 0 && out[k - 1]->part->distance > f->part->distance; --k)
            out[k] = out[k - 1];
        out[k] = f;
    }
    return n;
}

}   // namespace

float NatureStemFade(float distance)
{
    float f = (distance - STEM_FADE_START) * 0.028571432f;
    return f < 0.0f ? 0.0f : f > 1.0f ? 1.0f : f;
}

int NatureGrassLevel(float distance)
{
    return distance > GRASS_HALF_DISTANCE ? 2 : distance > GRASS_FULL_DISTANCE ? 1 : 0;
}

void CNatureManager::DrawGrass()
{
    visibleGrassFields = 0;
    IDirect3DDevice9* device = g_Render.device;
    if (!device || !grassVB || grassFieldCount[0] == 0)
        return;
    g_Render.SetFog(0);
    g_Render.SetLighting(0);
    g_Render.SetZEnable(1);
    g_Render.SetZWrite(1);
    g_Render.SetMaterial(&grassMaterial, 0);
    device->SetFVF(GRASSVERTEX_FVF);
    g_Render.SaveCullMode();
    g_Render.SetCullMode(D3DCULL_NONE);
    device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    SetWorldIdentity();
    const bool shader = UseEffect();
    if (shader)
    {
        g_Render.SetTechnique("techGrass");
        SetViewProj();
        SetNatureVector("AlphaFactor", 100.0f, 225.0f, 0.0f, 0.0f);
        SetTime();
        g_Render.effect->SetFloat("GrassWaveAmplitude", 0.2f);
        g_Render.SetEffectTexture("texBaseMap1", g_Render.GetTexture(grassTexture));
        g_Render.SetAlphaBlend(1);
        g_Render.SetBlend(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
        BeginEffect();
    }
    else
    {
        g_Render.BindTexture(grassTexture, 1, 0);
        device->SetRenderState(D3DRS_SPECULARENABLE, FALSE);
        g_Render.SetColorVertex(1);
    }
    device->SetStreamSource(0, grassVB, 0, sizeof(GrassVertex));
    int current = -1;
    GrassField* order[NATURE_MAX_FIELDS];
    const int count = NearFirst(
        grassFields[0], grassFieldCount[0],
        [](const GrassField* f) { return f->vertexCount > 0 && PartDrawn(f->part, GRASS_DRAW_DISTANCE); }, order);
    for (int i = 0; i < count; ++i)
    {
        const GrassField* f = order[i];
        const int level = NatureGrassLevel(f->part->distance);
        if (level != current)
        {
            device->SetIndices(grassIndices[level]);
            current = level;
        }
        const int clumpsInField = f->vertexCount / 16;
        const int triangles = clumpsInField * kGrassListIndices[level] / 3;
        device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, f->firstVertex, 0, (UINT)grassVertexCount, 0, (UINT)triangles);
        g_Render.CountFaces(triangles);
        ++visibleGrassFields;
    }
    if (shader)
        EndEffect();
    device->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
    g_Render.RestoreCullMode();
}

void CNatureManager::DrawGrassShadow()
{
    IDirect3DDevice9* device = g_Render.device;
    if (!device || !grassVB || grassFieldCount[0] == 0)
        return;
    g_Render.SetFog(0);
    g_Render.SetLighting(0);
    g_Render.SetZEnable(1);
    g_Render.SetZWrite(0);
    device->SetFVF(GRASSVERTEX_FVF);
    g_Render.SaveCullMode();
    g_Render.SetCullMode(D3DCULL_NONE);
    SetWorldIdentity();
    const bool shader = UseEffect();
    if (shader)
    {
        const D3DXVECTOR3& eye = g_Views.mainCamera.eye;
        SetNatureVector("EyePos", eye.x, eye.y, eye.z, 1.0f);
        g_Render.SetTechnique("techGrassShadow");
        SetViewProj();
        SetNatureVector("AlphaFactor", 32.0f, 48.0f, 0.0f, 0.0f);
        SetTime();
        g_Render.effect->SetFloat("GrassWaveAmplitude", 0.2f);
        SetShadowColour();
        g_Render.SetEffectTexture("texBaseMap1", g_Render.GetTexture(grassTexture));
        g_Render.SetStageAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT);
    }
    else
    {
        g_Render.BindTexture(grassTexture, 1, 0);
        device->SetRenderState(D3DRS_SPECULARENABLE, FALSE);
        g_Render.SetStageAlphaOp(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT);
    }
    g_Render.SetAlphaBlend(1);
    g_Render.SetBlend(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
    if (shader)
        BeginEffect();
    device->SetStreamSource(0, grassVB, 0, sizeof(GrassVertex));
    device->SetIndices(grassIndices[1]);
    for (int i = 0; i < grassFieldCount[0]; ++i)
    {
        const GrassField* f = grassFields[0][i];
        if (f->vertexCount <= 0 || !f->part->inShadow || !PartDrawn(f->part, GRASS_SHADOW_DISTANCE))
            continue;
        const int triangles = 4 * (f->vertexCount / 16);
        device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, f->firstVertex, 0, (UINT)grassVertexCount, 0, (UINT)triangles);
        g_Render.CountFaces(triangles);
    }
    if (shader)
    {
        EndEffect();
        if (g_Views.activeCamera)
            g_Views.activeCamera->SetShaderMatrices();
    }
    g_Render.SetStageAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT);
    g_Render.RestoreCullMode();
}

void CNatureManager::DrawStones()
{
    visibleStoneFields = 0;
    IDirect3DDevice9* device = g_Render.device;
    if (!device || !stoneVB || !stoneIB || stoneFieldCount[0] == 0)
        return;
    device->SetStreamSource(0, stoneVB, 0, sizeof(LitVertex));
    device->SetIndices(stoneIB);
    for (int i = 0; i < stoneFieldCount[0]; ++i)
    {
        const StoneField* f = stoneFields[0][i];
        if (f->indexCount <= 0 || !PartDrawn(f->part, kStoneDrawDistance))
            continue;
        device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, f->firstVertex, 0, (UINT)stoneVertexCount, (UINT)f->firstIndex,
                                     (UINT)(f->indexCount / 3));
        g_Render.CountFaces(f->indexCount / 3);
        ++visibleStoneFields;
    }
}

void CNatureManager::DrawTreeStems()
{
    visibleTreeFields = 0;
    IDirect3DDevice9* device = g_Render.device;
    if (!device || (!stemVB && !stoneVB))
        return;
    device->SetFVF(LITVERTEX_FVF);
    g_Render.SetFog(1);
    g_Render.SetLighting(0);
    g_Render.SetZEnable(1);
    g_Render.SetZWrite(1);
    g_Render.SetColorVertex(1);
    SetWorldIdentity();
    const bool shader = UseEffect();
    if (shader)
    {
        g_Render.SetTechnique("techNatureLit");
        SetViewProj();
    }
    // Stones first: opaque, with the stone atlas.
    treeMaterial.Diffuse.a = treeMaterial.Ambient.a = treeMaterial.Specular.a = 1.0f;
    g_Render.SetMaterial(&treeMaterial, shader ? 1 : 0);
    g_Render.SetAlphaBlend(0);
    g_Render.SetBlend(D3DBLEND_ONE, D3DBLEND_ZERO);
    if (stoneVB)
    {
        if (shader)
        {
            g_Render.SetEffectTexture("texBaseMap1", g_Render.GetTexture(stoneTexture));
            BeginEffect();
        }
        else
            g_Render.BindTexture(stoneTexture, 0, 0);
        DrawStones();
        if (shader)
            EndEffect();
    }
    if (!stemVB)
        return;

    if (shader)
    {
        g_Render.SetEffectTexture("texBaseMap1", g_Render.GetTexture(stemTexture));
        BeginEffect();
    }
    else
        g_Render.BindTexture(stemTexture, 0, 0);
    for (int i = 0; i < treeFieldCount[0]; ++i)
    {
        const TreeField* f = treeFields[0][i];
        if (f->stemIndexCount <= 0 || !PartDrawn(f->part, STEM_DRAW_DISTANCE))
            continue;
        const float d = f->part->distance;
        const float alpha = 1.0f - NatureStemFade(d);
        treeMaterial.Diffuse.a = treeMaterial.Ambient.a = treeMaterial.Specular.a = alpha;
        // The fade reaches the technique through the material's alpha.
        g_Render.SetMaterial(&treeMaterial, shader ? 1 : 0);
        if (alpha < 1.0f)
        {
            g_Render.SetAlphaBlend(1);
            g_Render.SetBlend(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
        }
        else
        {
            g_Render.SetAlphaBlend(0);
            g_Render.SetBlend(D3DBLEND_ONE, D3DBLEND_ZERO);
        }
        int triangles;
        if (d > STEM_DETAIL_DISTANCE && lowStemVB && f->lowStemIndexCount > 0)
        {
            device->SetStreamSource(0, lowStemVB, 0, sizeof(LitVertex));
            device->SetIndices(lowStemIB);
            triangles = f->lowStemIndexCount / 3;
            device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, f->firstLowStemVertex, 0, (UINT)lowStemVertexCount,
                                         (UINT)f->firstLowStemIndex, (UINT)triangles);
        }
        else
        {
            device->SetStreamSource(0, stemVB, 0, sizeof(LitVertex));
            device->SetIndices(stemIB);
            triangles = f->stemIndexCount / 3;
            device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, f->firstStemVertex, 0, (UINT)stemVertexCount,
                                         (UINT)f->firstStemIndex, (UINT)triangles);
        }
        g_Render.CountFaces(triangles);
        ++visibleTreeFields;
    }
    if (shader)
        EndEffect();
    g_Render.SetAlphaBlend(0);
    g_Render.SetBlend(D3DBLEND_ONE, D3DBLEND_ZERO);
}

void CNatureManager::DrawTreeLeafs()
{
    IDirect3DDevice9* device = g_Render.device;
    if (!device || !leafVB)
        return;
    const bool reflection = g_ReflectionPass != 0;
    const int clipPlanes = g_Render.clipPlaneEnable;
    if (reflection)
        g_Render.SetClipPlaneEnable(0);
    g_Render.SetFog(0);
    g_Render.SetLighting(0);
    g_Render.SetZEnable(1);
    g_Render.SetZWrite(1);
    g_Render.SetMaterial(&grassMaterial, 0);
    device->SetFVF(LEAFVERTEX_FVF);
    g_Render.SaveCullMode();
    g_Render.SetCullMode(D3DCULL_NONE);
    device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    SetWorldIdentity();
    const bool shader = UseEffect();
    if (shader)
    {
        g_Render.SetTechnique("techTreeLeafs");
        SetViewProj();
        SetNatureVector("AlphaFactor", 240.0f, 280.0f, 0.0f, 0.0f);
        SetTime();
        g_Render.SetEffectTexture("texBaseMap1", g_Render.GetTexture(leafTexture));
        g_Render.SetAlphaBlend(1);
        g_Render.SetBlend(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
    }
    else
    {
        g_Render.SetMaterial(&treeMaterial, 0);
        g_Render.BindTexture(leafTexture, 1, 0);
        device->SetRenderState(D3DRS_SPECULARENABLE, FALSE);
        g_Render.SetColorVertex(1);
    }
    device->SetStreamSource(0, leafVB, 0, sizeof(LeafVertex));
    float currentSize = -1.0f;
    bool begun = false;
    TreeField* order[NATURE_MAX_FIELDS];
    const int count = NearFirst(
        treeFields[0], treeFieldCount[0],
        [](const TreeField* f) { return f->leafVertexCount > 0 && PartDrawn(f->part, LEAF_DRAW_DISTANCE); }, order);
    for (int i = 0; i < count; ++i)
    {
        const TreeField* f = order[i];
        const bool full = f->part->distance <= LEAF_FULL_DISTANCE && !reflection;
        const float size = full ? 1.0f : reflection ? 1.75f : 1.4f;
        const int triangles = full ? f->leafVertexCount / 2 : f->leafVertexCount / 4;
        device->SetIndices(leafIndices[full ? 0 : 1]);
        if (shader && size != currentSize)
        {
            g_Render.effect->SetFloat("LeafSizeModifier", size);
            currentSize = size;
            if (begun)
                g_Render.effect->CommitChanges();
        }
        if (shader && !begun)
        {
            BeginEffect();
            begun = true;
        }
        device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, f->firstLeafVertex, 0, (UINT)leafVertexCount, 0,
                                     (UINT)triangles);
        g_Render.CountFaces(triangles);
    }
    if (begun)
        EndEffect();
    device->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
    g_Render.RestoreCullMode();
    if (reflection)
        g_Render.SetClipPlaneEnable((DWORD)clipPlanes);
}

void CNatureManager::DrawTreeLeafsShadow()
{
    IDirect3DDevice9* device = g_Render.device;
    if (!device)
        return;
    g_Render.SetFog(0);
    g_Render.SetLighting(0);
    g_Render.SetZEnable(1);
    g_Render.SetZWrite(0);
    const CCamera& shadowCamera = g_Views.shadowCamera;
    for (int i = 0; i < treeFieldCount[0]; ++i)
    {
        const TreeField* f = treeFields[0][i];
        if (!f->part || !f->part->inShadow)
            continue;
        for (int k = 0; k < f->objectCount; ++k)
        {
            CTreeObject* tree = f->objects[k];
            const D3DXVECTOR3 centre(tree->worldCentre[0], tree->worldCentre[1], tree->worldCentre[2]);
            tree->inShadow = tree->cameraDistance < TREE_SHADOW_DISTANCE
                                 ? shadowCamera.SphereVisible(&centre, tree->boundRadius)
                                 : 0;
            if (tree->inShadow && tree->shadow)
                tree->shadow->RenderShadow();
        }
    }
    if (!leafVB)
        return;
    device->SetFVF(LEAFVERTEX_FVF);
    g_Render.SaveCullMode();
    g_Render.SetCullMode(D3DCULL_NONE);
    g_Render.SetStageAlphaOp(0, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT);
    SetWorldIdentity();
    const bool shader = UseEffect();
    if (shader)
    {
        g_Render.SetTechnique("techTreeLeafsShadow");
        SetViewProj();
        SetNatureVector("AlphaFactor", 1000.0f, 2000.0f, 0.0f, 0.0f);
        SetTime();
        g_Render.effect->SetFloat("LeafSizeModifier", 1.0f);
        SetShadowColour();
        g_Render.SetEffectTexture("texBaseMap1", g_Render.GetTexture(leafTexture));
    }
    else
    {
        g_Render.BindTexture(leafTexture, 1, 0);
        device->SetRenderState(D3DRS_SPECULARENABLE, FALSE);
    }
    g_Render.SetAlphaBlend(1);
    g_Render.SetBlend(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
    if (shader)
        BeginEffect();
    device->SetStreamSource(0, leafVB, 0, sizeof(LeafVertex));
    device->SetIndices(leafIndices[1]);
    for (int i = 0; i < treeFieldCount[0]; ++i)
    {
        const TreeField* f = treeFields[0][i];
        if (f->leafVertexCount <= 0 || !f->part || !f->part->inShadow)
            continue;
        const int triangles = f->leafVertexCount / 4;
        device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, f->firstLeafVertex, 0, (UINT)leafVertexCount, 0,
                                     (UINT)triangles);
        g_Render.CountFaces(triangles);
    }
    if (shader)
        EndEffect();
    g_Render.SetStageAlphaOp(0, D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT);
    g_Render.RestoreCullMode();
}
