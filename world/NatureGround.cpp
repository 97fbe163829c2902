#include "world/NatureGround.h"

#include "platform/os/Rand.h"
#include "world/Landscape.h"

void NatureGroundFrame(const D3DXVECTOR3& P, float reach, float lean, D3DXVECTOR3* N, D3DXVECTOR3* T)
{
    D3DXVECTOR3 A(P.x - reach, 0.0f, P.z - reach), B(P.x + reach, 0.0f, P.z - reach);
    const float a[3] = {A.x, 0.0f, A.z}, b[3] = {B.x, 0.0f, B.z};
    A.y = P.y + (g_Landscape.GetHeight(a) - P.y) * lean;
    B.y = P.y + (g_Landscape.GetHeight(b) - P.y) * lean;
    const D3DXVECTOR3 e1 = A - P, e2 = B - P;
    D3DXVECTOR3 n, t;
    D3DXVec3Cross(&n, &e2, &e1);
    D3DXVec3Normalize(N, &n);
    D3DXVec3Cross(&t, N, &e1);
    D3DXVec3Normalize(T, &t);
}

D3DXVECTOR3 NatureRandomTurn(const D3DXVECTOR3& N, const D3DXVECTOR3& T)
{
    const float angle = (GameRand() % 101) * 0.01f * 2.0f * D3DX_PI;
    D3DXMATRIX turn;
    D3DXMatrixRotationAxis(&turn, &N, angle);
    D3DXVECTOR3 out;
    D3DXVec3TransformNormal(&out, &T, &turn);
    return out;
}

float NatureRandomSigned()
{
    return (GameRand() % 201) * 0.01f - 1.0f;
}
