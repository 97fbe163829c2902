#include "common/MathUtil.h"

#include <cmath>
#include <cstring>

namespace
{
D3DXVECTOR3 Cross(const D3DXVECTOR3& a, const D3DXVECTOR3& b)
{
    return D3DXVECTOR3(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

void SetRow(D3DXMATRIX& m, int row, const D3DXVECTOR3& v, float w)
{
    m.m[row][0] = v.x;
    m.m[row][1] = v.y;
    m.m[row][2] = v.z;
    m.m[row][3] = w;
}
}   // namespace

float VecLength(const D3DXVECTOR3& v)
{
    return sqrtf(v.x * v.x + v.y * v.y + v.z * v.z);
}

float VecDistance(const D3DXVECTOR3& a, const D3DXVECTOR3& b)
{
    return VecLength(a - b);
}

void VecNormalize(D3DXVECTOR3& out, const D3DXVECTOR3& v)
{
    const float len = VecLength(v);
    if (len > 0.0f)
        out = D3DXVECTOR3(v.x / len, v.y / len, v.z / len);
    else
        out = D3DXVECTOR3(0.0f, 0.0f, 0.0f);
}

void VecCrossNormal(D3DXVECTOR3& out, const D3DXVECTOR3& a, const D3DXVECTOR3& b, const D3DXVECTOR3& c)
{
    D3DXVECTOR3 d;
    VecNormalize(d, b - a);
    out = -Cross(d, c);
}

void MatrixFromPosTargetUp(D3DXMATRIX& out, const D3DXVECTOR3& position, const D3DXVECTOR3& target,
                           const D3DXVECTOR3& up)
{
    D3DXVECTOR3 u, forward;
    VecNormalize(u, up);
    VecNormalize(forward, target - position);
    D3DXVECTOR3 side = Cross(u, forward);
    u = Cross(forward, side);
    VecNormalize(side, side);
    VecNormalize(u, u);
    SetRow(out, 0, side, 0.0f);
    SetRow(out, 1, u, 0.0f);
    SetRow(out, 2, forward, 0.0f);
    SetRow(out, 3, position, 1.0f);
}

D3DXVECTOR3* GetBoxCorners(D3DXVECTOR3** cache, const D3DXVECTOR3& minimum, const D3DXVECTOR3& size,
                           const D3DXMATRIX& matrix)
{
    if (!cache)
        return nullptr;
    if (!*cache)
        *cache = new D3DXVECTOR3[8];
    D3DXVECTOR3* corners = *cache;
    const float x0 = minimum.x, y0 = minimum.y, z0 = minimum.z;
    const float x1 = x0 + size.x, y1 = y0 + size.y, z1 = z0 + size.z;
    const D3DXVECTOR3 box[8] = {{x0, y0, z0}, {x0, y0, z1}, {x1, y0, z0}, {x1, y0, z1},
                                {x0, y1, z0}, {x0, y1, z1}, {x1, y1, z0}, {x1, y1, z1}};
    const D3DMATRIX& m = matrix;
    for (int i = 0; i < 8; ++i)
    {
        const D3DXVECTOR3& p = box[i];
        float x = p.x * m._11 + p.y * m._21 + p.z * m._31 + m._41;
        float y = p.x * m._12 + p.y * m._22 + p.z * m._32 + m._42;
        float z = p.x * m._13 + p.y * m._23 + p.z * m._33 + m._43;
        const float w = p.x * m._14 + p.y * m._24 + p.z * m._34 + m._44;
        if (w != 0.0f && w != 1.0f)
        {
            x /= w;
            y /= w;
            z /= w;
        }
        corners[i] = D3DXVECTOR3(x, y, z);
    }
    return corners;
}

void ColorNormalize(D3DXCOLOR& out, const D3DXCOLOR& c)
{
    float m = c.r;
    if (c.g > m)
        m = c.g;
    if (c.b > m)
        m = c.b;
    if (m <= 0.0f)
    {
        // Black has no hue to keep: it stays black rather than dividing by 0.
        out = D3DXCOLOR(0.0f, 0.0f, 0.0f, 1.0f);
        return;
    }
    out = D3DXCOLOR(c.r / m, c.g / m, c.b / m, 1.0f);
}

void ColorLimit(D3DXCOLOR& out, const D3DXCOLOR& c, float limit)
{
    float m = c.r;
    if (c.g > m)
        m = c.g;
    if (c.b > m)
        m = c.b;
    if (m > limit && m != 0.0f)
    {
        const float s = limit / m;
        out = D3DXCOLOR(c.r * s, c.g * s, c.b * s, c.a * s);
    }
    else
    {
        out = c;
    }
}

float ColorBrightness(const D3DXCOLOR& c)
{
    return (c.r + c.g + c.b) * 0.33333334f;
}

int PathToSlashes(char* text)
{
    if (!text)
        return 0;
    int n = 0;
    for (; text[n]; ++n)
        if (text[n] == '\\')
            text[n] = '/';
    return n;
}

int StrEqual(const char* a, const char* b)
{
    if (!a || !b)
        return 0;
    return strcmp(a, b) == 0 ? 1 : 0;
}

unsigned char ColorChannelByte(float c)
{
    if (!(c > 0.0f))
        return 0;
    if (c >= 1.0f)
        return 255;
    return (unsigned char)(c * 255.0f);
}
