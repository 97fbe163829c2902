#include "world/GrassObject.h"

#include <algorithm>
#include <cmath>

#include "common/MathUtil.h"
#include "platform/os/Rand.h"
#include "world/Landscape.h"
#include "world/NatureGround.h"
#include "world/Sky.h"

float g_GrassAtlas[16][2];

const int kGrassListIndices[3] = {36, 12, 6};

void FillGrassAtlas()
{
    for (int i = 0; i < 16; ++i)
    {
        g_GrassAtlas[i][0] = (i % 4) * 0.25f;
        g_GrassAtlas[i][1] = (i / 4) * 0.25f;
    }
}

void BuildGrassIndices(int level, uint16_t* out)
{
    // Blades as (tip 0, tip 1, ground 0, ground 1) of one clump.
    static const int kBlades[6][4] = {{2, 3, 0, 1},   {4, 5, 0, 1},   {6, 7, 0, 1},
                                      {10, 11, 8, 9}, {12, 13, 8, 9}, {14, 15, 8, 9}};
    static const int kAll[6] = {0, 1, 2, 3, 4, 5}, kUpright[2] = {0, 3}, kOne[1] = {0};
    const int* blades = level == 0 ? kAll : level == 1 ? kUpright : kOne;
    const int count = level == 0 ? 6 : level == 1 ? 2 : 1;
    int k = 0;
    for (int j = 0; j < GRASS_FIELD_CLUMPS; ++j)
    {
        const int b = 16 * j;
        for (int i = 0; i < count; ++i)
        {
            const int* blade = kBlades[blades[i]];
            const int t0 = b + blade[0], t1 = b + blade[1], g0 = b + blade[2], g1 = b + blade[3];
            const int triangle[6] = {t0, g0, g1, t0, g1, t1};
            for (int v : triangle)
                out[k++] = (uint16_t)v;
        }
    }
}

namespace
{

D3DXVECTOR3 Row(const D3DXMATRIX& m, int r)
{
    return D3DXVECTOR3(m.m[r][0], m.m[r][1], m.m[r][2]);
}

unsigned WaveByte(float c)
{
    return ColorChannelByte(c);
}

D3DCOLOR WaveWord(float phase, const D3DXVECTOR3& d, float weight)
{
    const unsigned a = ColorChannelByte(phase);
    const unsigned r = WaveByte((weight * d.x + 1.0f) * 0.5f);
    const unsigned g = WaveByte((weight * d.y + 1.0f) * 0.5f);
    const unsigned b = WaveByte((weight * d.z + 1.0f) * 0.5f);
    return (a << 24) | (r << 16) | (g << 8) | b;
}

}   // namespace

void CGrassObject::Create(const float position[3], int atlasCell)
{
    const CLandscape& land = g_Landscape;
    const float c = land.cellSize;
    const float w = (GameRand() % 101) * 0.004f + 0.5f;
    const float h = (GameRand() % 101) * 0.004f + 1.0f;
    const float ground[3] = {position[0], 0.0f, position[2]};
    const D3DXVECTOR3 P(position[0], land.GetHeight(ground), position[2]);
    D3DXVECTOR3 N, T;
    NatureGroundFrame(P, c / 2.0f, 1.0f, &N, &T);
    const D3DXVECTOR3 turned = NatureRandomTurn(N, T);

    D3DXMATRIX frame;
    MatrixFromPosTargetUp(frame, P, P + turned, N);
    const D3DXVECTOR3 S = Row(frame, 0), U = Row(frame, 1), F = Row(frame, 2);
    D3DXMATRIX waveFrame;
    MatrixFromPosTargetUp(waveFrame, P, P + N, D3DXVECTOR3(1.0f, 0.0f, 0.0f));
    const D3DXVECTOR3 d = Row(waveFrame, 1);
    const float phase = (GameRand() % 1001) * 0.001f;

    float cell[4];
    const float at[3] = {P.x, P.y, P.z};
    land.GetColor(cell, at);
    D3DXCOLOR colour;
    ColorNormalize(colour, D3DXCOLOR(cell));
    const float C[4] = {colour.r, colour.g, colour.b, colour.a};
    const float* sun = g_Sky.sunDirection;
    const float k = (std::max(0.0f, -(sun[0] * N.x + sun[1] * N.y + sun[2] * N.z)) + 1.0f) * 0.5f;

    const D3DXVECTOR3 L = U * (0.3f * h);
    const D3DXVECTOR3 pos[16] = {P + F * w,
                                 P - F * w,
                                 P + F * w + U * h,
                                 P - F * w + U * h,
                                 P + F * w + L + S * w,
                                 P - F * w + L + S * w,
                                 P + F * w + L - S * w,
                                 P - F * w + L - S * w,
                                 P + S * w,
                                 P - S * w,
                                 P + S * w + U * h,
                                 P - S * w + U * h,
                                 P + S * w + L + F * w,
                                 P - S * w + L + F * w,
                                 P + S * w + L - F * w,
                                 P - S * w + L - F * w};

    const float cu = g_GrassAtlas[atlasCell & 15][0], cv = g_GrassAtlas[atlasCell & 15][1];
    const float inset = 0.005f;
    for (int i = 0; i < 16; ++i)
    {
        GrassVertex& v = vertices[i];
        v.x = pos[i].x;
        v.y = pos[i].y;
        v.z = pos[i].z;
        D3DXVECTOR3 out = pos[i] - P, n;
        VecNormalize(n, out);
        const float normal[3] = {n.x, n.y, n.z};
        v.diffuse = g_Sky.GetLitColorPacked(normal, k, C);
        const bool groundEdge = i == 0 || i == 1 || i == 8 || i == 9;
        v.u = (i % 2 == 0) ? cu + inset : cu - inset + 0.25f;
        v.v = groundEdge ? cv + 0.25f - inset : cv + inset;
        if (groundEdge)
            v.wave = GRASS_STILL_WAVE;
        else
        {
            const bool upright = i == 2 || i == 3 || i == 10 || i == 11;
            v.wave = WaveWord(phase, d, upright ? 1.0f : 0.5f);
        }
    }
}
