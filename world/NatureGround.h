#pragma once
// Seating of generated scenery on the terrain: the ground normal at a point
// from two neighbours towards -z, and a random turn about it.
#include "platform/math/D3DXMath.h"

// Ground frame at P: A = (P.x - reach, yA, P.z - reach) and B = (P.x + reach,
// yB, P.z - reach), where yA = P.y + (ground height at A - P.y) x lean (lean
// 1 follows the ground, 0.5 half its slope). N = normalise((B - P) x (A - P)),
// T = normalise(N x (A - P)).
void NatureGroundFrame(const D3DXVECTOR3& P, float reach, float lean, D3DXVECTOR3* N, D3DXVECTOR3* T);
// T turned about N by one random draw: (rand mod 101) x 0.01 x 2 pi.
D3DXVECTOR3 NatureRandomTurn(const D3DXVECTOR3& N, const D3DXVECTOR3& T);
// (rand mod 201) x 0.01 - 1: one draw, -1 to 1.
float NatureRandomSigned();
