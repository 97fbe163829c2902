// The dynamic batch of the render device: light sprites and beams written
// during a pass and drawn together with one indexed call.
#include <algorithm>
#include <cstring>

#include "render/BatchVertex.h"
#include "render/D3DRender.h"
#include "render/LightManager.h"
#include "render/Views.h"

namespace
{
DWORD ColourByte(float c, int shift)
{
    // NaN fails both comparisons and ends up as 0.
    const float clamped = c > 1.0f ? 1.0f : (c > 0.0f ? c : 0.0f);
    return DWORD(clamped * 255.0f) << shift;
}
}   // namespace

DWORD BatchColour(float r, float g, float b, float a)
{
    return ColourByte(a, 24) | ColourByte(r, 16) | ColourByte(g, 8) | ColourByte(b, 0);
}

void CD3DRender::BeginBatch()
{
    batchVertexCount = batchIndexCount = 0;
    batchVertices = batchIndices = nullptr;
    if (!batchVB || !batchIB)
        return;
    void* v = nullptr;
    void* i = nullptr;
    if (FAILED(batchVB->Lock(0, 0, &v, D3DLOCK_DISCARD)) || !v)
        return;
    if (FAILED(batchIB->Lock(0, 0, &i, D3DLOCK_DISCARD)) || !i)
    {
        batchVB->Unlock();
        return;
    }
    batchVertices = v;
    batchIndices = i;
}

void CD3DRender::AddToBatch(const BatchVertex* vertices, const uint16_t* indices, unsigned vertexCount,
                            unsigned indexCount)
{
    if (!batchVertices || !batchIndices || !vertices || !indices)
        return;
    const unsigned base = unsigned(batchVertexCount);
    if (base + vertexCount >= BATCH_MAX_VERTICES)
        return;
    // A writer with more than 1.5 indices per vertex could pass the index
    // buffer before the vertex limit stops it.
    if (unsigned(batchIndexCount) + indexCount > BATCH_MAX_INDICES)
        return;
    BatchVertex* vOut = static_cast<BatchVertex*>(batchVertices) + base;
    std::memcpy(vOut, vertices, vertexCount * sizeof(BatchVertex));
    uint16_t* iOut = static_cast<uint16_t*>(batchIndices) + batchIndexCount;
    for (unsigned k = 0; k < indexCount; ++k)
        iOut[k] = uint16_t(indices[k] + base);
    batchVertexCount += int(vertexCount);
    batchIndexCount += int(indexCount);
}

void CD3DRender::EndBatch()
{
    if (batchVertices && batchVB)
        batchVB->Unlock();
    if (batchIndices && batchIB)
        batchIB->Unlock();
    batchVertices = batchIndices = nullptr;
}

void CD3DRender::RenderBatch()
{
    if (batchVertexCount == 0 || !vs11 || !device || !batchVB || !batchIB)
        return;
    SetTechnique("techDirectVertex");
    SetEffectTexture("texBaseMap1", GetTexture(lightMapTexture));
    D3DXMATRIX viewProj;
    g_Views.Current()->GetViewProj(&viewProj);
    if (effect)
        effect->SetMatrix("matViewProj", &viewProj);

    device->SetRenderState(D3DRS_FOGCOLOR, 0xFF000000);
    SetCullMode(D3DCULL_NONE);
    SetFog(0);
    SetZEnable(1);
    SetZWrite(0);
    SetLighting(0);
    SetAlphaBlend(1);
    SetBlend(D3DBLEND_ONE, D3DBLEND_ONE);

    device->SetFVF(BATCH_FVF);
    device->SetStreamSource(0, batchVB, 0, sizeof(BatchVertex));
    device->SetIndices(batchIB);
    const int triangles = batchIndexCount / 3;
    if (effect)
    {
        UINT passes = 0;
        effect->Begin(&passes, 0);
        effect->BeginPass(0);
        device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, UINT(batchVertexCount), 0, UINT(triangles));
        effect->EndPass();
        effect->End();
    }
    RestoreCullMode();
    g_LightManager.ResetFogColor();
    CountFaces(triangles);
}
