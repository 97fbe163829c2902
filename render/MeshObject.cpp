#include "render/MeshObject.h"

#include <btBulletCollisionCommon.h>

#include <cstdio>
#include <cstring>

#include "common/MathUtil.h"

CMeshObject::CMeshObject()
{
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    world = identity;
    std::memset(textureNames, 0, sizeof(textureNames));
    for (TextureId& id : textureIds)
        id = -1;
    textureCount = 0;
    textureFrame = 0.0f;
    meshRecord = nullptr;
    boundCentre[0] = boundCentre[1] = boundCentre[2] = 0.0f;
    boundRadius = 0.0f;
    shape = nullptr;
    scale[0] = scale[1] = scale[2] = 1.0f;
    useScale = 0;
    currentPart = 0;
    // The material is left to SetMesh and to the effect sub-objects.
}

void CMeshObject::SetMesh(const char* name, int vertexType, DWORD meshOptions, int optimize)
{
    MeshRecord* previous = meshRecord;
    meshRecord = g_MeshContainer.Load(name, vertexType, meshOptions, optimize);
    // A record held before is given back only now, so reloading the same
    // mesh shares the cached record instead of reading the file again.
    if (previous)
        g_MeshContainer.ReleaseMesh(previous);
    if (meshRecord)
    {
        for (int k = 0; k < 3; ++k)
            boundCentre[k] = meshRecord->boundsCentre[k];
        boundRadius = meshRecord->boundsRadius;
    }
    std::memset(&material, 0, sizeof(material));
    material.Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    material.Ambient = {1.0f, 1.0f, 1.0f, 1.0f};
}

void CMeshObject::FreeMesh()
{
    g_MeshContainer.ReleaseMesh(meshRecord);
    meshRecord = nullptr;
    delete shape;
    shape = nullptr;
}

TextureId CMeshObject::LoadTexture(int entry, const char* name, int mipLevels)
{
    if (!name || !name[0] || entry < 0 || entry >= MAX_TEXTURES)
        return -1;
    const TextureId id = g_Render.LoadTexture(name, mipLevels, D3DPOOL_MANAGED, D3DFMT_UNKNOWN);
    textureIds[entry] = id;
    if (id != -1)
    {
        std::snprintf(textureNames[entry], TEXTURE_NAME_LENGTH, "%s", name);
        ++textureCount;
    }
    return id;
}

void CMeshObject::ReleaseTextures()
{
    // Every entry is looked at: after a failed load the held ones need not
    // be the first textureCount entries.
    for (int i = 0; i < MAX_TEXTURES; ++i)
    {
        if (textureIds[i] != -1)
            g_Render.ReleaseTexture(textureIds[i]);
        textureIds[i] = -1;
        textureNames[i][0] = '\0';
    }
    textureCount = 0;
}

void CMeshObject::RenderSlot(int slot, const D3DMATRIX* worldMatrix, const D3DMATERIAL9* materialOverride)
{
    IDirect3DDevice9* device = g_Render.device;
    if (!device || !meshRecord || slot < 0 || slot >= MESH_SLOTS)
        return;
    const int parts = meshRecord->partCount[slot];
    // A part past the slot's parts (an animation frame the mesh does not have)
    // draws nothing.
    if (parts <= 0 || currentPart < 0 || currentPart >= parts)
        return;
    ID3DXMesh* mesh = meshRecord->meshes[slot][currentPart];
    if (!mesh)
        return;

    D3DXMATRIX transform;
    if (worldMatrix)
        transform = *worldMatrix;
    else if (useScale)
    {
        D3DXMATRIX scaling;
        D3DXMatrixScaling(&scaling, scale[0], scale[1], scale[2]);
        D3DXMATRIX own;
        own = world;
        D3DXMatrixMultiply(&transform, &scaling, &own);
    }
    else
        transform = world;
    device->SetTransform(D3DTS_WORLD, &transform);
    g_Render.SetMaterial(materialOverride ? materialOverride : &material, 0);

    IDirect3DVertexBuffer9* vb = nullptr;
    IDirect3DIndexBuffer9* ib = nullptr;
    mesh->GetVertexBuffer(&vb);
    mesh->GetIndexBuffer(&ib);
    if (vb && ib)
    {
        device->SetFVF(mesh->GetFVF());
        device->SetStreamSource(0, vb, 0, D3DXGetFVFVertexSize(meshRecord->fvf[slot]));
        device->SetIndices(ib);
        const DWORD faces = mesh->GetNumFaces();
        device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, mesh->GetNumVertices(), 0, faces);
        g_Render.CountFaces(int(faces));
    }
    if (vb)
        vb->Release();
    if (ib)
        ib->Release();
}

void CMeshObject::SetOrientation(const D3DXVECTOR3& position, const D3DXVECTOR3& target, const D3DXVECTOR3& up)
{
    D3DXMATRIX m;
    MatrixFromPosTargetUp(m, position, target, up);
    world = m;
}

void CMeshObject::WorldToLocal(D3DXVECTOR3* out, const D3DXVECTOR3* point) const
{
    D3DXMATRIX m;
    m = world;
    D3DXMATRIX inverse;
    if (!D3DXMatrixInverse(&inverse, nullptr, &m))
        D3DXMatrixIdentity(&inverse);
    const D3DXVECTOR3 offset(point->x - world._41, point->y - world._42, point->z - world._43);
    D3DXVec3TransformNormal(out, &offset, &inverse);
}
