#pragma once
// Small vector, colour, matrix and string routines shared by every subsystem,
// on the D3DX types (row vectors, the fourth matrix row holds the translation).
#include "platform/math/D3DXMath.h"

float VecDistance(const D3DXVECTOR3& a, const D3DXVECTOR3& b);
float VecLength(const D3DXVECTOR3& v);
// A zero vector stays zero (no division).
void VecNormalize(D3DXVECTOR3& out, const D3DXVECTOR3& v);
// d = normalised (b - a); out = -(d x c), not normalised again.
void VecCrossNormal(D3DXVECTOR3& out, const D3DXVECTOR3& a, const D3DXVECTOR3& b, const D3DXVECTOR3& c);
// A world matrix at `position` looking at `target`: rows side, up, forward,
// position.
void MatrixFromPosTargetUp(D3DXMATRIX& out, const D3DXVECTOR3& position, const D3DXVECTOR3& target,
                           const D3DXVECTOR3& up);
// The eight corners of the box (minimum corner, edge lengths) transformed by
// `matrix` into the array *cache, which is allocated (new[8]) when null and
// reused after that; its owner frees it with delete[]. Returns *cache.
D3DXVECTOR3* GetBoxCorners(D3DXVECTOR3** cache, const D3DXVECTOR3& minimum, const D3DXVECTOR3& size,
                           const D3DXMATRIX& matrix);

// r, g, b divided by the largest of them, alpha 1; black stays black.
void ColorNormalize(D3DXCOLOR& out, const D3DXCOLOR& c);
// When the largest of r, g, b is above `limit`, all four channels are scaled
// by limit / largest; otherwise copied.
void ColorLimit(D3DXCOLOR& out, const D3DXCOLOR& c, float limit);
float ColorBrightness(const D3DXCOLOR& c);
// A colour channel 0..1 as a byte, truncated; values outside 0..1 (NaN
// included) are held at the ends instead of wrapping into the next channel.
unsigned char ColorChannelByte(float c);

// Backslashes become slashes in place; returns the length.
int PathToSlashes(char* text);
// 1 when both strings have the same length and bytes (case-sensitive).
int StrEqual(const char* a, const char* b);
