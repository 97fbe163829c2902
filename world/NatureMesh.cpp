#include "world/NatureMesh.h"

#include <cstring>

#include "common/MathUtil.h"
#include "world/Sky.h"

ID3DXMesh* NatureSlotMesh(const MeshRecord* record, int slot)
{
    if (!record || slot < 0 || slot >= MESH_SLOTS || record->partCount[slot] < 1 || !record->meshes[slot])
        return nullptr;
    return record->meshes[slot][0];
}

int NatureReadIndices(ID3DXMesh* mesh, int* out, int count)
{
    void* data = nullptr;
    if (FAILED(mesh->LockIndexBuffer(D3DLOCK_READONLY, &data)) || !data)
        return 0;
    const bool wide = (mesh->GetOptions() & D3DXMESH_32BIT) != 0;
    for (int i = 0; i < count; ++i)
        out[i] = wide ? (int)static_cast<const uint32_t*>(data)[i] : (int)static_cast<const uint16_t*>(data)[i];
    mesh->UnlockIndexBuffer();
    return 1;
}

int NatureCopyLit(ID3DXMesh* mesh, float scale, const D3DXMATRIX& matrix, const NatureUv& uv, int base,
                  LitVertex** vertices, uint16_t** indices, int* vertexCount, int* indexCount)
{
    if (!mesh || mesh->GetNumBytesPerVertex() != sizeof(MeshVertexPNT))
        return 0;
    const int nv = (int)mesh->GetNumVertices(), ni = 3 * (int)mesh->GetNumFaces();
    void* data = nullptr;
    if (FAILED(mesh->LockVertexBuffer(D3DLOCK_READONLY, &data)) || !data)
        return 0;
    LitVertex* out = new LitVertex[nv > 0 ? nv : 1];
    const MeshVertexPNT* in = static_cast<const MeshVertexPNT*>(data);
    for (int i = 0; i < nv; ++i)
    {
        const D3DXVECTOR3 p(in[i].x * scale, in[i].y * scale, in[i].z * scale), n(in[i].nx, in[i].ny, in[i].nz);
        D3DXVECTOR3 wp, wn;
        D3DXVec3TransformCoord(&wp, &p, &matrix);
        D3DXVec3TransformNormal(&wn, &n, &matrix);
        float lit[4];
        const float normal[3] = {wn.x, wn.y, wn.z};
        g_Sky.GetLitColor(lit, normal, 1.0f, 1.0f, 1.0f, 1.0f);
        out[i].x = wp.x;
        out[i].y = wp.y;
        out[i].z = wp.z;
        out[i].color = 0xFF000000u | ((D3DCOLOR)ColorChannelByte(lit[0]) << 16) |
                       ((D3DCOLOR)ColorChannelByte(lit[1]) << 8) | ColorChannelByte(lit[2]);
        out[i].u = in[i].u * uv.uScale + uv.uOffset;
        out[i].v = in[i].v * uv.vScale + uv.vOffset;
    }
    mesh->UnlockVertexBuffer();

    int* raw = new int[ni > 0 ? ni : 1];
    uint16_t* idx = new uint16_t[ni > 0 ? ni : 1];
    if (!NatureReadIndices(mesh, raw, ni))
    {
        delete[] raw;
        delete[] idx;
        delete[] out;
        return 0;
    }
    for (int i = 0; i < ni; ++i)
        idx[i] = (uint16_t)(raw[i] + base);
    delete[] raw;
    *vertices = out;
    *indices = idx;
    *vertexCount = nv;
    *indexCount = ni;
    return 1;
}
