#include "world/StoneObject.h"

#include <cstdio>

#include "common/Keywords.h"
#include "common/MathUtil.h"
#include "core/DebugLog.h"
#include "core/Settings.h"
#include "platform/os/Rand.h"
#include "render/Views.h"
#include "world/Landscape.h"
#include "world/NatureGround.h"
#include "world/NatureMesh.h"

void StoneFileName(char* out, int outSize, int variant, int size)
{
    std::snprintf(out, (size_t)outSize, "Data/Static/Nature/Stones/Main%02dS%d.obj", variant + 1, size + 1);
}

void NatureUpdateBody(CStaticObject* object)
{
    if (!object->body)
        return;
    if (!object->inWorld && object->cameraDistance < NATURE_BODY_DISTANCE)
        object->EnablePhysics(1);
    else if (object->inWorld && object->cameraDistance > NATURE_BODY_DISTANCE)
        object->EnablePhysics(0);
}

void NatureUpdateObject(CStaticObject* object, float visibleDistance)
{
    const D3DXVECTOR3 centre(object->worldCentre[0], object->worldCentre[1], object->worldCentre[2]);
    const CCamera* camera = g_Views.activeCamera;
    if (!camera)
        return;
    object->cameraDistance = VecDistance(centre, camera->eye) - object->boundRadius;
    object->visible =
        object->cameraDistance > visibleDistance ? 0 : camera->SphereVisible(&centre, object->boundRadius);
    NatureUpdateBody(object);
}

CStoneObject::CStoneObject() : vertices(nullptr), indices(nullptr), vertexCount(0), indexCount(0), size(0)
{
    objectClass = GCLASS_STATIC;
    objectType = GTYPE_STONE;
}

CStoneObject* CStoneObject::Create(const float position[3], int sizeClass, int vertexBase)
{
    objectNumber = GameRand() % 4;
    size = sizeClass;
    char name[128];
    StoneFileName(name, sizeof(name), objectNumber, sizeClass);
    if (CStaticObject::Create(name, 1, 0, D3DXMESH_SYSTEMMEM, 1) == -1)
        return nullptr;

    const CLandscape& land = g_Landscape;
    const float c = land.cellSize;
    const float jx = NatureRandomSigned();
    const float jz = NatureRandomSigned();
    D3DXVECTOR3 P(position[0] + jx * 0.4f * c, 0.0f, position[2] + jz * 0.4f * c);
    const float at[3] = {P.x, 0.0f, P.z};
    P.y = land.GetHeight(at);
    D3DXVECTOR3 N, T;
    NatureGroundFrame(P, 0.2f * c, 1.0f, &N, &T);
    const D3DXVECTOR3 turned = NatureRandomTurn(N, T);
    D3DXMATRIX m;
    MatrixFromPosTargetUp(m, P, P + turned, N);
    placement = m;
    world = m;
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
        float target[3] = {pos[0] + m.m[2][0], pos[1] + m.m[2][1], pos[2] + m.m[2][2]};
        float up[3] = {m.m[1][0], m.m[1][1], m.m[1][2]};
        InitPhysics(0.0f, pos, target, up);
    }

    ID3DXMesh* mesh = NatureSlotMesh(meshRecord, MESH_SLOT_MAIN);
    if (!mesh)
        return this;
    if (vertexBase + (int)mesh->GetNumVertices() > NATURE_FIELD_VERTICES)
    {
        ShowMessage("Stone vertex too much!", "CStoneObject::Create() error!", MB_OK);
        Release();
        return nullptr;
    }
    const float au = (GameRand() % 4) * 0.25f;
    const float av = (GameRand() % 4) * 0.25f;
    const NatureUv uv = {0.25f, au, 0.25f, av};
    if (!NatureCopyLit(mesh, 1.0f, m, uv, vertexBase, &vertices, &indices, &vertexCount, &indexCount))
        vertexCount = indexCount = 0;
    return this;
}

void CStoneObject::Update()
{
    NatureUpdateObject(this, STONE_VISIBLE_DISTANCE);
}

void CStoneObject::FreeGeometry()
{
    delete[] vertices;
    delete[] indices;
    vertices = nullptr;
    indices = nullptr;
    vertexCount = indexCount = 0;
}
