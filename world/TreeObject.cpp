#include "world/TreeObject.h"

#include <cmath>
#include <cstdio>

#include "common/Keywords.h"
#include "common/MathUtil.h"
#include "core/DebugLog.h"
#include "core/Settings.h"
#include "platform/os/Rand.h"
#include "render/D3DRender.h"
#include "world/Landscape.h"
#include "world/NatureGround.h"
#include "world/NatureMesh.h"
#include "world/Sky.h"

void TreeFileName(char* out, int outSize, int fileNumber)
{
    std::snprintf(out, (size_t)outSize, "Data/Static/Nature/Trees/Main%02d.obj", fileNumber);
}

CTreeObject::CTreeObject()
    : stemVertices(nullptr), lowStemVertices(nullptr), stemIndices(nullptr), lowStemIndices(nullptr),
      stemVertexCount(0), stemIndexCount(0), lowStemVertexCount(0), lowStemIndexCount(0), leafVertices(nullptr),
      leafVertexCount(0)
{
    objectClass = GCLASS_STATIC;
    objectType = GTYPE_TREE;
}

namespace
{

D3DCOLOR Argb(int alpha, const float c[4])
{
    return ((D3DCOLOR)(alpha & 0xFF) << 24) | ((D3DCOLOR)ColorChannelByte(c[0]) << 16) |
           ((D3DCOLOR)ColorChannelByte(c[1]) << 8) | ColorChannelByte(c[2]);
}

}   // namespace

CTreeObject* CTreeObject::Create(const float position[3], int treeCode, int stemBase, int lowStemBase, int leafBase)
{
    objectNumber = GameRand() % 4;
    const int r = GameRand();
    const int leafCell = treeCode == 0 ? r % 4 : treeCode;
    const int fileNumber = treeCode == 0 ? 0 : r % 4 + 1;
    char name[128];
    TreeFileName(name, sizeof(name), fileNumber);
    if (CStaticObject::Create(name, 1, 0, D3DXMESH_SYSTEMMEM, 1) == -1)
        return nullptr;

    const D3DXVECTOR3 P(position[0], position[1], position[2]);
    D3DXVECTOR3 N, T;
    NatureGroundFrame(P, g_Landscape.cellSize, 0.5f, &N, &T);
    const D3DXVECTOR3 turned = NatureRandomTurn(N, T);
    const D3DXVECTOR3 target(P.x + turned.x, P.y + 0.5f * turned.y, P.z + turned.z);
    D3DXMATRIX m;
    MatrixFromPosTargetUp(m, P, target, N);
    placement = m;
    world = m;

    const float s = (GameRand() % 101) * 0.01f + 1.0f;
    SetScale(s, s, s);
    // The centre of the scaled tree (SetScale has scaled it), so that its
    // sphere, scaled with it, holds the whole tree from its base to its crown.
    D3DXVECTOR3 centre(boundCentre[0], boundCentre[1], boundCentre[2]), wc;
    D3DXVec3TransformCoord(&wc, &centre, &m);
    worldCentre[0] = wc.x;
    worldCentre[1] = wc.y;
    worldCentre[2] = wc.z;

    // Without a collision mesh there is no shape to build a body from (and
    // the reader would complain once for every object).
    if (!g_EditorMode && NatureSlotMesh(meshRecord, MESH_SLOT_COLLISION))
    {
        float pos[3] = {m.m[3][0], m.m[3][1], m.m[3][2]};
        float aim[3] = {pos[0] + m.m[2][0], pos[1] + m.m[2][1], pos[2] + m.m[2][2]};
        float up[3] = {m.m[1][0], m.m[1][1], m.m[1][2]};
        InitPhysics(0.0f, pos, aim, up);
    }

    if (!CopyStems(MESH_SLOT_MAIN, s, m, treeCode, stemBase, &stemVertices, &stemIndices, &stemVertexCount,
                   &stemIndexCount) ||
        !CopyStems(MESH_SLOT_SECOND, s, m, treeCode, lowStemBase, &lowStemVertices, &lowStemIndices,
                   &lowStemVertexCount, &lowStemIndexCount) ||
        !CopyLeaves(s, m, treeCode, leafCell, leafBase))
    {
        FreeGeometry();
        Release();
        return nullptr;
    }
    return this;
}

int CTreeObject::CopyStems(int slot, float scale, const D3DXMATRIX& m, int treeCode, int base, LitVertex** v,
                           uint16_t** i, int* vc, int* ic)
{
    ID3DXMesh* mesh = NatureSlotMesh(meshRecord, slot);
    if (!mesh)
        return 1;
    if (base + (int)mesh->GetNumVertices() > NATURE_FIELD_VERTICES)
    {
        ShowMessage("Trees vertex too much!", "CTreeObject::Create() error!", MB_OK);
        return 0;
    }
    const NatureUv uv = {0.25f, treeCode * 0.25f, 1.0f, 0.0f};
    if (!NatureCopyLit(mesh, scale, m, uv, base, v, i, vc, ic))
        *vc = *ic = 0;
    return 1;
}

int CTreeObject::CopyLeaves(float s, const D3DXMATRIX& m, int treeCode, int leafCell, int leafBase)
{
    ID3DXMesh* mesh = NatureSlotMesh(meshRecord, MESH_SLOT_LIGHTMAP);
    if (!mesh || !(m.m[1][1] > TREE_LEAF_MIN_UP) || mesh->GetNumBytesPerVertex() != sizeof(MeshVertexPT))
        return 1;
    float cellColour[4];
    g_Landscape.GetColor(cellColour, worldCentre);
    D3DXCOLOR C;
    ColorNormalize(C, D3DXCOLOR(cellColour));
    const float cellU = (leafCell % 2) * 0.5f, cellV = (leafCell / 2) * 0.5f;
    const float k = treeCode == 0 ? 0.6f : 1.0f;
    const float j = treeCode == 0 ? 0.1f : 0.2f;
    const float* L =
        meshRecord->partCentre[MESH_SLOT_LIGHTMAP] ? meshRecord->partCentre[MESH_SLOT_LIGHTMAP][0] : boundCentre;
    const D3DXVECTOR3 leafCentre(L[0], L[1], L[2]);

    // Only whole quads: a trailing vertex or three have no quad to belong to.
    const int count = (int)mesh->GetNumVertices() / 4 * 4;
    if (count == 0)
        return 1;
    if (leafBase + count > NATURE_FIELD_LEAF_VERTICES)
    {
        ShowMessage("Leafs vertex too much!", "CTreeObject::Create() error!", MB_OK);
        return 0;
    }
    void* data = nullptr;
    if (FAILED(mesh->LockVertexBuffer(D3DLOCK_READONLY, &data)) || !data)
        return 1;
    const MeshVertexPT* q = static_cast<const MeshVertexPT*>(data);
    leafVertices = new LeafVertex[count];
    leafVertexCount = count;
    auto lit = [&](const D3DXVECTOR3& local, float out[4]) {
        D3DXVECTOR3 n0 = local - leafCentre, n1, n;
        VecNormalize(n1, n0);
        D3DXVec3TransformNormal(&n, &n1, &m);
        const float normal[3] = {n.x, n.y, n.z};
        g_Sky.GetLitColor(out, normal, C.r, C.g, C.b, C.a);
        for (int c = 0; c < 3; ++c)
            out[c] *= k;
    };
    if (g_Render.vs11)
    {
        for (int base = 0; base < count; base += 4)
        {
            const MeshVertexPT* v = q + base;
            D3DXVECTOR3 mid((v[0].x + v[1].x + v[2].x + v[3].x) / 4.0f, (v[0].y + v[1].y + v[2].y + v[3].y) / 4.0f,
                            (v[0].z + v[1].z + v[2].z + v[3].z) / 4.0f);
            const D3DXVECTOR3 p0(v[0].x, v[0].y, v[0].z), p1(v[1].x, v[1].y, v[1].z);
            const float h = VecDistance(p0, p1) * 0.5f * s;
            // Lit from the leaf's place in the scaled crown.
            mid *= s;
            float colour[4];
            lit(mid, colour);
            D3DXVECTOR3 M;
            D3DXVec3TransformCoord(&M, &mid, &m);
            D3DXVECTOR3 offsets[4] = {D3DXVECTOR3(h, h, 0), D3DXVECTOR3(h, -h, 0), D3DXVECTOR3(-h, h, 0),
                                      D3DXVECTOR3(-h, -h, 0)};
            LeafVertex* out = leafVertices + base;
            for (int i = 0; i < 4; ++i)
            {
                const int alpha = (int)((GameRand() % 101) * 0.01f * 255.0f);
                out[i].colour = Argb(alpha, colour);
                out[i].u = v[i].u * 0.5f + cellU;
                out[i].v = v[i].v * 0.5f + cellV;
                out[i].centre[0] = M.x;
                out[i].centre[1] = M.y;
                out[i].centre[2] = M.z;
            }
            GameRand();   // drawn and not used, which keeps the sequence of the later trees
            const float b = (GameRand() % 101) * 0.01f * 2.0f * D3DX_PI;
            D3DXMATRIX spin;
            D3DXMatrixRotationZ(&spin, b);
            for (int i = 0; i < 4; ++i)
            {
                D3DXVECTOR3 t;
                D3DXVec3TransformNormal(&t, &offsets[i], &spin);
                out[i].x = t.x;
                out[i].y = t.y;
                out[i].z = t.z;
            }
            for (int i = 0; i < 4; ++i)
                for (int c = 0; c < 3; ++c)
                    out[i].axis[c] = NatureRandomSigned() * j;
        }
    }
    else
    {
        for (int i = 0; i < count; ++i)
        {
            const D3DXVECTOR3 local(q[i].x, q[i].y, q[i].z), scaled = local * s;
            D3DXVECTOR3 wp;
            D3DXVec3TransformCoord(&wp, &scaled, &m);
            float colour[4];
            lit(local, colour);
            LeafVertex& out = leafVertices[i];
            out = LeafVertex();
            out.x = wp.x;
            out.y = wp.y;
            out.z = wp.z;
            out.colour = Argb(255, colour);
            out.u = q[i].u * 0.5f + cellU;
            out.v = q[i].v * 0.5f + cellV;
        }
    }
    mesh->UnlockVertexBuffer();
    return 1;
}

void CTreeObject::Update()
{
    NatureUpdateObject(this, TREE_VISIBLE_DISTANCE);
}

void CTreeObject::FreeGeometry()
{
    delete[] stemVertices;
    delete[] lowStemVertices;
    delete[] stemIndices;
    delete[] lowStemIndices;
    delete[] leafVertices;
    stemVertices = lowStemVertices = nullptr;
    stemIndices = lowStemIndices = nullptr;
    leafVertices = nullptr;
    stemVertexCount = stemIndexCount = lowStemVertexCount = lowStemIndexCount = leafVertexCount = 0;
}
