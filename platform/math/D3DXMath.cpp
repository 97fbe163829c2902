#include "platform/math/D3DXMath.h"

#include <cmath>
#include <cstring>

namespace
{

// 1/f, or 0 for f == 0, so scaling by the reciprocal of a zero length leaves a
// zero result instead of infinities and NaNs.
float SafeReciprocal(float f)
{
    return f != 0.0f ? 1.0f / f : 0.0f;
}

D3DXMATRIX MatrixProduct(const D3DXMATRIX& a, const D3DXMATRIX& b)
{
    D3DXMATRIX r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] + a.m[i][3] * b.m[3][j];
    return r;
}

// Row vector (x, y, z, w) times M.
void TransformRow(const float in[4], const D3DMATRIX& m, float out[4])
{
    float r[4];
    for (int j = 0; j < 4; ++j)
        r[j] = in[0] * m.m[0][j] + in[1] * m.m[1][j] + in[2] * m.m[2][j] + in[3] * m.m[3][j];
    std::memcpy(out, r, sizeof(r));
}

// world * view * projection, null matrices counting as the identity.
D3DXMATRIX CombinedTransform(const D3DXMATRIX* pProjection, const D3DXMATRIX* pView, const D3DXMATRIX* pWorld)
{
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    if (pWorld)
        m = *pWorld;
    if (pView)
        m = MatrixProduct(m, *pView);
    if (pProjection)
        m = MatrixProduct(m, *pProjection);
    return m;
}

}   // namespace

// ---------------------------------------------------------------------------
// Vector operators.

D3DXVECTOR2& D3DXVECTOR2::operator+=(const D3DXVECTOR2& v)
{
    x += v.x;
    y += v.y;
    return *this;
}
D3DXVECTOR2& D3DXVECTOR2::operator-=(const D3DXVECTOR2& v)
{
    x -= v.x;
    y -= v.y;
    return *this;
}
D3DXVECTOR2& D3DXVECTOR2::operator*=(float f)
{
    x *= f;
    y *= f;
    return *this;
}
D3DXVECTOR2& D3DXVECTOR2::operator/=(float f)
{
    float inv = 1.0f / f;
    x *= inv;
    y *= inv;
    return *this;
}
D3DXVECTOR2 D3DXVECTOR2::operator/(float f) const
{
    float inv = 1.0f / f;
    return D3DXVECTOR2(x * inv, y * inv);
}

D3DXVECTOR3& D3DXVECTOR3::operator+=(const D3DXVECTOR3& v)
{
    x += v.x;
    y += v.y;
    z += v.z;
    return *this;
}
D3DXVECTOR3& D3DXVECTOR3::operator-=(const D3DXVECTOR3& v)
{
    x -= v.x;
    y -= v.y;
    z -= v.z;
    return *this;
}
D3DXVECTOR3& D3DXVECTOR3::operator*=(float f)
{
    x *= f;
    y *= f;
    z *= f;
    return *this;
}
D3DXVECTOR3& D3DXVECTOR3::operator/=(float f)
{
    float inv = 1.0f / f;
    x *= inv;
    y *= inv;
    z *= inv;
    return *this;
}
D3DXVECTOR3 D3DXVECTOR3::operator/(float f) const
{
    float inv = 1.0f / f;
    return D3DXVECTOR3(x * inv, y * inv, z * inv);
}

D3DXVECTOR4& D3DXVECTOR4::operator+=(const D3DXVECTOR4& v)
{
    x += v.x;
    y += v.y;
    z += v.z;
    w += v.w;
    return *this;
}
D3DXVECTOR4& D3DXVECTOR4::operator-=(const D3DXVECTOR4& v)
{
    x -= v.x;
    y -= v.y;
    z -= v.z;
    w -= v.w;
    return *this;
}
D3DXVECTOR4& D3DXVECTOR4::operator*=(float f)
{
    x *= f;
    y *= f;
    z *= f;
    w *= f;
    return *this;
}
D3DXVECTOR4& D3DXVECTOR4::operator/=(float f)
{
    float inv = 1.0f / f;
    x *= inv;
    y *= inv;
    z *= inv;
    w *= inv;
    return *this;
}
D3DXVECTOR4 D3DXVECTOR4::operator/(float f) const
{
    float inv = 1.0f / f;
    return D3DXVECTOR4(x * inv, y * inv, z * inv, w * inv);
}

// ---------------------------------------------------------------------------
// Matrix members.

D3DXMATRIX::D3DXMATRIX(const float* f) : D3DMATRIX{}
{
    std::memcpy(m, f, sizeof(m));
}

D3DXMATRIX::D3DXMATRIX(const D3DMATRIX& mat) : D3DMATRIX(mat) {}

D3DXMATRIX::D3DXMATRIX(float f11, float f12, float f13, float f14, float f21, float f22, float f23, float f24,
                       float f31, float f32, float f33, float f34, float f41, float f42, float f43, float f44)
    : D3DMATRIX{}
{
    _11 = f11;
    _12 = f12;
    _13 = f13;
    _14 = f14;
    _21 = f21;
    _22 = f22;
    _23 = f23;
    _24 = f24;
    _31 = f31;
    _32 = f32;
    _33 = f33;
    _34 = f34;
    _41 = f41;
    _42 = f42;
    _43 = f43;
    _44 = f44;
}

D3DXMATRIX& D3DXMATRIX::operator*=(const D3DXMATRIX& mat)
{
    *this = MatrixProduct(*this, mat);
    return *this;
}

D3DXMATRIX& D3DXMATRIX::operator+=(const D3DXMATRIX& mat)
{
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            m[i][j] += mat.m[i][j];
    return *this;
}

D3DXMATRIX& D3DXMATRIX::operator-=(const D3DXMATRIX& mat)
{
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            m[i][j] -= mat.m[i][j];
    return *this;
}

D3DXMATRIX& D3DXMATRIX::operator*=(float f)
{
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            m[i][j] *= f;
    return *this;
}

D3DXMATRIX& D3DXMATRIX::operator/=(float f)
{
    return *this *= 1.0f / f;
}

D3DXMATRIX D3DXMATRIX::operator-() const
{
    D3DXMATRIX r(*this);
    return r *= -1.0f;
}

D3DXMATRIX D3DXMATRIX::operator*(const D3DXMATRIX& mat) const
{
    return MatrixProduct(*this, mat);
}
D3DXMATRIX D3DXMATRIX::operator+(const D3DXMATRIX& mat) const
{
    D3DXMATRIX r(*this);
    return r += mat;
}
D3DXMATRIX D3DXMATRIX::operator-(const D3DXMATRIX& mat) const
{
    D3DXMATRIX r(*this);
    return r -= mat;
}
D3DXMATRIX D3DXMATRIX::operator*(float f) const
{
    D3DXMATRIX r(*this);
    return r *= f;
}
D3DXMATRIX D3DXMATRIX::operator/(float f) const
{
    D3DXMATRIX r(*this);
    return r /= f;
}

bool D3DXMATRIX::operator==(const D3DXMATRIX& mat) const
{
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            if (m[i][j] != mat.m[i][j])
                return false;
    return true;
}

// ---------------------------------------------------------------------------
// Quaternion, plane and colour members.

D3DXQUATERNION& D3DXQUATERNION::operator+=(const D3DXQUATERNION& q)
{
    x += q.x;
    y += q.y;
    z += q.z;
    w += q.w;
    return *this;
}
D3DXQUATERNION& D3DXQUATERNION::operator-=(const D3DXQUATERNION& q)
{
    x -= q.x;
    y -= q.y;
    z -= q.z;
    w -= q.w;
    return *this;
}
D3DXQUATERNION& D3DXQUATERNION::operator*=(const D3DXQUATERNION& q)
{
    D3DXQuaternionMultiply(this, this, &q);
    return *this;
}
D3DXQUATERNION& D3DXQUATERNION::operator*=(float f)
{
    x *= f;
    y *= f;
    z *= f;
    w *= f;
    return *this;
}
D3DXQUATERNION& D3DXQUATERNION::operator/=(float f)
{
    return *this *= 1.0f / f;
}
D3DXQUATERNION D3DXQUATERNION::operator+(const D3DXQUATERNION& q) const
{
    return D3DXQUATERNION(x + q.x, y + q.y, z + q.z, w + q.w);
}
D3DXQUATERNION D3DXQUATERNION::operator-(const D3DXQUATERNION& q) const
{
    return D3DXQUATERNION(x - q.x, y - q.y, z - q.z, w - q.w);
}
D3DXQUATERNION D3DXQUATERNION::operator*(const D3DXQUATERNION& q) const
{
    D3DXQUATERNION r;
    D3DXQuaternionMultiply(&r, this, &q);
    return r;
}
D3DXQUATERNION D3DXQUATERNION::operator/(float f) const
{
    return *this * (1.0f / f);
}

D3DXPLANE& D3DXPLANE::operator*=(float f)
{
    a *= f;
    b *= f;
    c *= f;
    d *= f;
    return *this;
}
D3DXPLANE& D3DXPLANE::operator/=(float f)
{
    return *this *= 1.0f / f;
}
D3DXPLANE D3DXPLANE::operator/(float f) const
{
    return *this * (1.0f / f);
}

D3DXCOLOR::D3DXCOLOR(D3DCOLOR argb)
{
    const float k = 1.0f / 255.0f;
    a = (float)((argb >> 24) & 0xff) * k;
    r = (float)((argb >> 16) & 0xff) * k;
    g = (float)((argb >> 8) & 0xff) * k;
    b = (float)(argb & 0xff) * k;
}

D3DXCOLOR::operator D3DCOLOR() const
{
    auto channel = [](float f) -> DWORD {
        // The negated test also sends NaN to 0.
        if (!(f > 0.0f))
            return 0;
        if (f >= 1.0f)
            return 255;
        return (DWORD)(f * 255.0f);
    };
    return D3DCOLOR_ARGB(channel(a), channel(r), channel(g), channel(b));
}

D3DXCOLOR& D3DXCOLOR::operator+=(const D3DXCOLOR& c)
{
    r += c.r;
    g += c.g;
    b += c.b;
    a += c.a;
    return *this;
}
D3DXCOLOR& D3DXCOLOR::operator-=(const D3DXCOLOR& c)
{
    r -= c.r;
    g -= c.g;
    b -= c.b;
    a -= c.a;
    return *this;
}
D3DXCOLOR& D3DXCOLOR::operator*=(float f)
{
    r *= f;
    g *= f;
    b *= f;
    a *= f;
    return *this;
}
D3DXCOLOR& D3DXCOLOR::operator/=(float f)
{
    return *this *= 1.0f / f;
}
D3DXCOLOR D3DXCOLOR::operator/(float f) const
{
    return *this * (1.0f / f);
}

// ---------------------------------------------------------------------------
// 2D vectors.

float D3DXVec2Length(const D3DXVECTOR2* pV)
{
    return std::sqrt(pV->x * pV->x + pV->y * pV->y);
}

float D3DXVec2Dot(const D3DXVECTOR2* pV1, const D3DXVECTOR2* pV2)
{
    return pV1->x * pV2->x + pV1->y * pV2->y;
}

D3DXVECTOR2* D3DXVec2Normalize(D3DXVECTOR2* pOut, const D3DXVECTOR2* pV)
{
    float inv = SafeReciprocal(D3DXVec2Length(pV));
    *pOut = D3DXVECTOR2(pV->x * inv, pV->y * inv);
    return pOut;
}

// ---------------------------------------------------------------------------
// 3D vectors.

float D3DXVec3Length(const D3DXVECTOR3* pV)
{
    return std::sqrt(D3DXVec3LengthSq(pV));
}

float D3DXVec3LengthSq(const D3DXVECTOR3* pV)
{
    return pV->x * pV->x + pV->y * pV->y + pV->z * pV->z;
}

float D3DXVec3Dot(const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2)
{
    return pV1->x * pV2->x + pV1->y * pV2->y + pV1->z * pV2->z;
}

D3DXVECTOR3* D3DXVec3Cross(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2)
{
    D3DXVECTOR3 r(pV1->y * pV2->z - pV1->z * pV2->y, pV1->z * pV2->x - pV1->x * pV2->z,
                  pV1->x * pV2->y - pV1->y * pV2->x);
    *pOut = r;
    return pOut;
}

D3DXVECTOR3* D3DXVec3Normalize(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV)
{
    float inv = SafeReciprocal(D3DXVec3Length(pV));
    *pOut = D3DXVECTOR3(pV->x * inv, pV->y * inv, pV->z * inv);
    return pOut;
}

D3DXVECTOR3* D3DXVec3Add(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2)
{
    *pOut = D3DXVECTOR3(pV1->x + pV2->x, pV1->y + pV2->y, pV1->z + pV2->z);
    return pOut;
}

D3DXVECTOR3* D3DXVec3Subtract(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2)
{
    *pOut = D3DXVECTOR3(pV1->x - pV2->x, pV1->y - pV2->y, pV1->z - pV2->z);
    return pOut;
}

D3DXVECTOR3* D3DXVec3Scale(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV, float s)
{
    *pOut = D3DXVECTOR3(pV->x * s, pV->y * s, pV->z * s);
    return pOut;
}

D3DXVECTOR3* D3DXVec3Lerp(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2, float s)
{
    *pOut = D3DXVECTOR3(pV1->x + s * (pV2->x - pV1->x), pV1->y + s * (pV2->y - pV1->y), pV1->z + s * (pV2->z - pV1->z));
    return pOut;
}

D3DXVECTOR3* D3DXVec3Minimize(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2)
{
    *pOut = D3DXVECTOR3(pV1->x < pV2->x ? pV1->x : pV2->x, pV1->y < pV2->y ? pV1->y : pV2->y,
                        pV1->z < pV2->z ? pV1->z : pV2->z);
    return pOut;
}

D3DXVECTOR3* D3DXVec3Maximize(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2)
{
    *pOut = D3DXVECTOR3(pV1->x > pV2->x ? pV1->x : pV2->x, pV1->y > pV2->y ? pV1->y : pV2->y,
                        pV1->z > pV2->z ? pV1->z : pV2->z);
    return pOut;
}

D3DXVECTOR3* D3DXVec3TransformCoord(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV, const D3DXMATRIX* pM)
{
    float in[4] = {pV->x, pV->y, pV->z, 1.0f};
    float r[4];
    TransformRow(in, *pM, r);
    // A point that lands on w = 0 has no finite projection; keep the
    // homogeneous x, y, z rather than turning them into infinities.
    float inv = r[3] != 0.0f ? 1.0f / r[3] : 1.0f;
    *pOut = D3DXVECTOR3(r[0] * inv, r[1] * inv, r[2] * inv);
    return pOut;
}

D3DXVECTOR3* D3DXVec3TransformNormal(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV, const D3DXMATRIX* pM)
{
    float in[4] = {pV->x, pV->y, pV->z, 0.0f};
    float r[4];
    TransformRow(in, *pM, r);
    *pOut = D3DXVECTOR3(r[0], r[1], r[2]);
    return pOut;
}

D3DXVECTOR4* D3DXVec3Transform(D3DXVECTOR4* pOut, const D3DXVECTOR3* pV, const D3DXMATRIX* pM)
{
    float in[4] = {pV->x, pV->y, pV->z, 1.0f};
    float r[4];
    TransformRow(in, *pM, r);
    *pOut = D3DXVECTOR4(r);
    return pOut;
}

D3DXVECTOR3* D3DXVec3Project(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV, const D3DVIEWPORT9* pViewport,
                             const D3DXMATRIX* pProjection, const D3DXMATRIX* pView, const D3DXMATRIX* pWorld)
{
    D3DXMATRIX m = CombinedTransform(pProjection, pView, pWorld);
    D3DXVECTOR3 v;
    D3DXVec3TransformCoord(&v, pV, &m);
    if (pViewport)
    {
        // Clip x, y in -1..1 with +y up; screen y grows downwards.
        v.x = (float)pViewport->X + (1.0f + v.x) * (float)pViewport->Width * 0.5f;
        v.y = (float)pViewport->Y + (1.0f - v.y) * (float)pViewport->Height * 0.5f;
        v.z = pViewport->MinZ + v.z * (pViewport->MaxZ - pViewport->MinZ);
    }
    *pOut = v;
    return pOut;
}

D3DXVECTOR3* D3DXVec3Unproject(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV, const D3DVIEWPORT9* pViewport,
                               const D3DXMATRIX* pProjection, const D3DXMATRIX* pView, const D3DXMATRIX* pWorld)
{
    D3DXMATRIX m = CombinedTransform(pProjection, pView, pWorld);
    D3DXMATRIX inv;
    if (!D3DXMatrixInverse(&inv, nullptr, &m))
        return nullptr;
    D3DXVECTOR3 v(*pV);
    if (pViewport)
    {
        float w = (float)pViewport->Width, h = (float)pViewport->Height;
        float depth = pViewport->MaxZ - pViewport->MinZ;
        v.x = w != 0.0f ? 2.0f * (v.x - (float)pViewport->X) / w - 1.0f : 0.0f;
        v.y = h != 0.0f ? 1.0f - 2.0f * (v.y - (float)pViewport->Y) / h : 0.0f;
        v.z = depth != 0.0f ? (v.z - pViewport->MinZ) / depth : 0.0f;
    }
    D3DXVec3TransformCoord(pOut, &v, &inv);
    return pOut;
}

// ---------------------------------------------------------------------------
// 4D vectors.

D3DXVECTOR4* D3DXVec4Transform(D3DXVECTOR4* pOut, const D3DXVECTOR4* pV, const D3DXMATRIX* pM)
{
    float in[4] = {pV->x, pV->y, pV->z, pV->w};
    float r[4];
    TransformRow(in, *pM, r);
    *pOut = D3DXVECTOR4(r);
    return pOut;
}

float D3DXVec4Dot(const D3DXVECTOR4* pV1, const D3DXVECTOR4* pV2)
{
    return pV1->x * pV2->x + pV1->y * pV2->y + pV1->z * pV2->z + pV1->w * pV2->w;
}

// ---------------------------------------------------------------------------
// Matrices.

D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* pOut)
{
    *pOut = D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    return pOut;
}

BOOL D3DXMatrixIsIdentity(const D3DXMATRIX* pM)
{
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            if (pM->m[i][j] != (i == j ? 1.0f : 0.0f))
                return FALSE;
    return TRUE;
}

D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* pOut, const D3DXMATRIX* pM1, const D3DXMATRIX* pM2)
{
    *pOut = MatrixProduct(*pM1, *pM2);
    return pOut;
}

D3DXMATRIX* D3DXMatrixTranspose(D3DXMATRIX* pOut, const D3DXMATRIX* pM)
{
    D3DXMATRIX r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.m[i][j] = pM->m[j][i];
    *pOut = r;
    return pOut;
}

namespace
{

// The inverse as the adjugate over the determinant, built from the 2x2 minors
// of the top two and bottom two rows. Computed in double so that ordinary
// game matrices (large translations, small scales) keep their precision.
double InverseParts(const D3DMATRIX& mat, double adj[4][4])
{
    double a[4][4];
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            a[i][j] = mat.m[i][j];

    double s0 = a[0][0] * a[1][1] - a[1][0] * a[0][1];
    double s1 = a[0][0] * a[1][2] - a[1][0] * a[0][2];
    double s2 = a[0][0] * a[1][3] - a[1][0] * a[0][3];
    double s3 = a[0][1] * a[1][2] - a[1][1] * a[0][2];
    double s4 = a[0][1] * a[1][3] - a[1][1] * a[0][3];
    double s5 = a[0][2] * a[1][3] - a[1][2] * a[0][3];

    double c5 = a[2][2] * a[3][3] - a[3][2] * a[2][3];
    double c4 = a[2][1] * a[3][3] - a[3][1] * a[2][3];
    double c3 = a[2][1] * a[3][2] - a[3][1] * a[2][2];
    double c2 = a[2][0] * a[3][3] - a[3][0] * a[2][3];
    double c1 = a[2][0] * a[3][2] - a[3][0] * a[2][2];
    double c0 = a[2][0] * a[3][1] - a[3][0] * a[2][1];

    double det = s0 * c5 - s1 * c4 + s2 * c3 + s3 * c2 - s4 * c1 + s5 * c0;
    if (adj)
    {
        adj[0][0] = a[1][1] * c5 - a[1][2] * c4 + a[1][3] * c3;
        adj[0][1] = -a[0][1] * c5 + a[0][2] * c4 - a[0][3] * c3;
        adj[0][2] = a[3][1] * s5 - a[3][2] * s4 + a[3][3] * s3;
        adj[0][3] = -a[2][1] * s5 + a[2][2] * s4 - a[2][3] * s3;

        adj[1][0] = -a[1][0] * c5 + a[1][2] * c2 - a[1][3] * c1;
        adj[1][1] = a[0][0] * c5 - a[0][2] * c2 + a[0][3] * c1;
        adj[1][2] = -a[3][0] * s5 + a[3][2] * s2 - a[3][3] * s1;
        adj[1][3] = a[2][0] * s5 - a[2][2] * s2 + a[2][3] * s1;

        adj[2][0] = a[1][0] * c4 - a[1][1] * c2 + a[1][3] * c0;
        adj[2][1] = -a[0][0] * c4 + a[0][1] * c2 - a[0][3] * c0;
        adj[2][2] = a[3][0] * s4 - a[3][1] * s2 + a[3][3] * s0;
        adj[2][3] = -a[2][0] * s4 + a[2][1] * s2 - a[2][3] * s0;

        adj[3][0] = -a[1][0] * c3 + a[1][1] * c1 - a[1][2] * c0;
        adj[3][1] = a[0][0] * c3 - a[0][1] * c1 + a[0][2] * c0;
        adj[3][2] = -a[3][0] * s3 + a[3][1] * s1 - a[3][2] * s0;
        adj[3][3] = a[2][0] * s3 - a[2][1] * s1 + a[2][2] * s0;
    }
    return det;
}

}   // namespace

float D3DXMatrixDeterminant(const D3DXMATRIX* pM)
{
    return (float)InverseParts(*pM, nullptr);
}

D3DXMATRIX* D3DXMatrixInverse(D3DXMATRIX* pOut, float* pDeterminant, const D3DXMATRIX* pM)
{
    double adj[4][4];
    double det = InverseParts(*pM, adj);
    if (pDeterminant)
        *pDeterminant = (float)det;
    if (det == 0.0 || !std::isfinite(det))
        return nullptr;
    double inv = 1.0 / det;
    D3DXMATRIX r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.m[i][j] = (float)(adj[i][j] * inv);
    // A determinant too small for single precision gives infinities: treat
    // that as singular too.
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            if (!std::isfinite(r.m[i][j]))
                return nullptr;
    *pOut = r;
    return pOut;
}

D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* pOut, float x, float y, float z)
{
    *pOut = D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1);
    return pOut;
}

D3DXMATRIX* D3DXMatrixScaling(D3DXMATRIX* pOut, float sx, float sy, float sz)
{
    *pOut = D3DXMATRIX(sx, 0, 0, 0, 0, sy, 0, 0, 0, 0, sz, 0, 0, 0, 0, 1);
    return pOut;
}

D3DXMATRIX* D3DXMatrixRotationX(D3DXMATRIX* pOut, float angle)
{
    float c = std::cos(angle), s = std::sin(angle);
    *pOut = D3DXMATRIX(1, 0, 0, 0, 0, c, s, 0, 0, -s, c, 0, 0, 0, 0, 1);
    return pOut;
}

D3DXMATRIX* D3DXMatrixRotationY(D3DXMATRIX* pOut, float angle)
{
    float c = std::cos(angle), s = std::sin(angle);
    *pOut = D3DXMATRIX(c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 0, 0, 0, 1);
    return pOut;
}

D3DXMATRIX* D3DXMatrixRotationZ(D3DXMATRIX* pOut, float angle)
{
    float c = std::cos(angle), s = std::sin(angle);
    *pOut = D3DXMATRIX(c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    return pOut;
}

D3DXMATRIX* D3DXMatrixRotationAxis(D3DXMATRIX* pOut, const D3DXVECTOR3* pV, float angle)
{
    D3DXVECTOR3 n;
    D3DXVec3Normalize(&n, pV);
    float c = std::cos(angle), s = std::sin(angle), t = 1.0f - c;
    // Rodrigues' rotation, written for row vectors.
    *pOut = D3DXMATRIX(t * n.x * n.x + c, t * n.x * n.y + s * n.z, t * n.x * n.z - s * n.y, 0, t * n.x * n.y - s * n.z,
                       t * n.y * n.y + c, t * n.y * n.z + s * n.x, 0, t * n.x * n.z + s * n.y, t * n.y * n.z - s * n.x,
                       t * n.z * n.z + c, 0, 0, 0, 0, 1);
    return pOut;
}

D3DXMATRIX* D3DXMatrixRotationYawPitchRoll(D3DXMATRIX* pOut, float yaw, float pitch, float roll)
{
    D3DXMATRIX rz, rx, ry;
    D3DXMatrixRotationZ(&rz, roll);
    D3DXMatrixRotationX(&rx, pitch);
    D3DXMatrixRotationY(&ry, yaw);
    *pOut = rz * rx * ry;
    return pOut;
}

D3DXMATRIX* D3DXMatrixRotationQuaternion(D3DXMATRIX* pOut, const D3DXQUATERNION* pQ)
{
    float x = pQ->x, y = pQ->y, z = pQ->z, w = pQ->w;
    *pOut = D3DXMATRIX(1 - 2 * (y * y + z * z), 2 * (x * y + z * w), 2 * (x * z - y * w), 0, 2 * (x * y - z * w),
                       1 - 2 * (x * x + z * z), 2 * (y * z + x * w), 0, 2 * (x * z + y * w), 2 * (y * z - x * w),
                       1 - 2 * (x * x + y * y), 0, 0, 0, 0, 1);
    return pOut;
}

D3DXMATRIX* D3DXMatrixLookAtLH(D3DXMATRIX* pOut, const D3DXVECTOR3* pEye, const D3DXVECTOR3* pAt,
                               const D3DXVECTOR3* pUp)
{
    D3DXVECTOR3 zaxis = *pAt - *pEye, xaxis, yaxis;
    D3DXVec3Normalize(&zaxis, &zaxis);
    D3DXVec3Cross(&xaxis, pUp, &zaxis);
    D3DXVec3Normalize(&xaxis, &xaxis);
    D3DXVec3Cross(&yaxis, &zaxis, &xaxis);
    *pOut = D3DXMATRIX(xaxis.x, yaxis.x, zaxis.x, 0, xaxis.y, yaxis.y, zaxis.y, 0, xaxis.z, yaxis.z, zaxis.z, 0,
                       -D3DXVec3Dot(&xaxis, pEye), -D3DXVec3Dot(&yaxis, pEye), -D3DXVec3Dot(&zaxis, pEye), 1);
    return pOut;
}

D3DXMATRIX* D3DXMatrixPerspectiveFovLH(D3DXMATRIX* pOut, float fovy, float aspect, float zn, float zf)
{
    float yScale = 1.0f / std::tan(fovy * 0.5f);
    float xScale = yScale / aspect;
    float q = zf / (zf - zn);
    *pOut = D3DXMATRIX(xScale, 0, 0, 0, 0, yScale, 0, 0, 0, 0, q, 1, 0, 0, -zn * q, 0);
    return pOut;
}

D3DXMATRIX* D3DXMatrixOrthoLH(D3DXMATRIX* pOut, float w, float h, float zn, float zf)
{
    *pOut = D3DXMATRIX(2.0f / w, 0, 0, 0, 0, 2.0f / h, 0, 0, 0, 0, 1.0f / (zf - zn), 0, 0, 0, zn / (zn - zf), 1);
    return pOut;
}

D3DXMATRIX* D3DXMatrixOrthoOffCenterLH(D3DXMATRIX* pOut, float l, float r, float b, float t, float zn, float zf)
{
    *pOut = D3DXMATRIX(2.0f / (r - l), 0, 0, 0, 0, 2.0f / (t - b), 0, 0, 0, 0, 1.0f / (zf - zn), 0, (l + r) / (l - r),
                       (t + b) / (b - t), zn / (zn - zf), 1);
    return pOut;
}

D3DXMATRIX* D3DXMatrixReflect(D3DXMATRIX* pOut, const D3DXPLANE* pPlane)
{
    D3DXPLANE p;
    D3DXPlaneNormalize(&p, pPlane);
    float a = p.a, b = p.b, c = p.c, d = p.d;
    *pOut = D3DXMATRIX(1 - 2 * a * a, -2 * a * b, -2 * a * c, 0, -2 * a * b, 1 - 2 * b * b, -2 * b * c, 0, -2 * a * c,
                       -2 * b * c, 1 - 2 * c * c, 0, -2 * a * d, -2 * b * d, -2 * c * d, 1);
    return pOut;
}

// ---------------------------------------------------------------------------
// Planes.

D3DXPLANE* D3DXPlaneFromPoints(D3DXPLANE* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2, const D3DXVECTOR3* pV3)
{
    D3DXVECTOR3 e1 = *pV2 - *pV1, e2 = *pV3 - *pV1, n;
    D3DXVec3Cross(&n, &e1, &e2);
    D3DXVec3Normalize(&n, &n);
    return D3DXPlaneFromPointNormal(pOut, pV1, &n);
}

D3DXPLANE* D3DXPlaneFromPointNormal(D3DXPLANE* pOut, const D3DXVECTOR3* pPoint, const D3DXVECTOR3* pNormal)
{
    *pOut = D3DXPLANE(pNormal->x, pNormal->y, pNormal->z, -D3DXVec3Dot(pPoint, pNormal));
    return pOut;
}

D3DXPLANE* D3DXPlaneNormalize(D3DXPLANE* pOut, const D3DXPLANE* pP)
{
    float inv = SafeReciprocal(std::sqrt(pP->a * pP->a + pP->b * pP->b + pP->c * pP->c));
    *pOut = D3DXPLANE(pP->a * inv, pP->b * inv, pP->c * inv, pP->d * inv);
    return pOut;
}

float D3DXPlaneDotCoord(const D3DXPLANE* pP, const D3DXVECTOR3* pV)
{
    return pP->a * pV->x + pP->b * pV->y + pP->c * pV->z + pP->d;
}

float D3DXPlaneDotNormal(const D3DXPLANE* pP, const D3DXVECTOR3* pV)
{
    return pP->a * pV->x + pP->b * pV->y + pP->c * pV->z;
}

float D3DXPlaneDot(const D3DXPLANE* pP, const D3DXVECTOR4* pV)
{
    return pP->a * pV->x + pP->b * pV->y + pP->c * pV->z + pP->d * pV->w;
}

D3DXPLANE* D3DXPlaneTransform(D3DXPLANE* pOut, const D3DXPLANE* pP, const D3DXMATRIX* pM)
{
    float in[4] = {pP->a, pP->b, pP->c, pP->d};
    float r[4];
    TransformRow(in, *pM, r);
    *pOut = D3DXPLANE(r);
    return pOut;
}

D3DXVECTOR3* D3DXPlaneIntersectLine(D3DXVECTOR3* pOut, const D3DXPLANE* pP, const D3DXVECTOR3* pV1,
                                    const D3DXVECTOR3* pV2)
{
    D3DXVECTOR3 dir = *pV2 - *pV1;
    float denom = D3DXPlaneDotNormal(pP, &dir);
    if (denom == 0.0f)
        return nullptr;
    float t = -D3DXPlaneDotCoord(pP, pV1) / denom;
    *pOut = *pV1 + dir * t;
    return pOut;
}

// ---------------------------------------------------------------------------
// Quaternions.

D3DXQUATERNION* D3DXQuaternionIdentity(D3DXQUATERNION* pOut)
{
    *pOut = D3DXQUATERNION(0, 0, 0, 1);
    return pOut;
}

D3DXQUATERNION* D3DXQuaternionNormalize(D3DXQUATERNION* pOut, const D3DXQUATERNION* pQ)
{
    float inv = SafeReciprocal(std::sqrt(pQ->x * pQ->x + pQ->y * pQ->y + pQ->z * pQ->z + pQ->w * pQ->w));
    *pOut = *pQ * inv;
    return pOut;
}

D3DXQUATERNION* D3DXQuaternionRotationMatrix(D3DXQUATERNION* pOut, const D3DXMATRIX* pM)
{
    const float(*m)[4] = pM->m;
    float trace = m[0][0] + m[1][1] + m[2][2];
    D3DXQUATERNION q;
    // Take the square root of the largest of the four candidates to stay
    // away from dividing by a small number.
    if (trace > 0.0f)
    {
        float s = std::sqrt(trace + 1.0f) * 2.0f;   // 4w
        q.w = 0.25f * s;
        q.x = (m[1][2] - m[2][1]) / s;
        q.y = (m[2][0] - m[0][2]) / s;
        q.z = (m[0][1] - m[1][0]) / s;
    }
    else if (m[0][0] >= m[1][1] && m[0][0] >= m[2][2])
    {
        float s = std::sqrt(1.0f + m[0][0] - m[1][1] - m[2][2]) * 2.0f;   // 4x
        q.x = 0.25f * s;
        q.y = (m[0][1] + m[1][0]) / s;
        q.z = (m[0][2] + m[2][0]) / s;
        q.w = (m[1][2] - m[2][1]) / s;
    }
    else if (m[1][1] >= m[2][2])
    {
        float s = std::sqrt(1.0f + m[1][1] - m[0][0] - m[2][2]) * 2.0f;   // 4y
        q.y = 0.25f * s;
        q.x = (m[0][1] + m[1][0]) / s;
        q.z = (m[1][2] + m[2][1]) / s;
        q.w = (m[2][0] - m[0][2]) / s;
    }
    else
    {
        float s = std::sqrt(1.0f + m[2][2] - m[0][0] - m[1][1]) * 2.0f;   // 4z
        q.z = 0.25f * s;
        q.x = (m[0][2] + m[2][0]) / s;
        q.y = (m[1][2] + m[2][1]) / s;
        q.w = (m[0][1] - m[1][0]) / s;
    }
    *pOut = q;
    return pOut;
}

D3DXQUATERNION* D3DXQuaternionRotationAxis(D3DXQUATERNION* pOut, const D3DXVECTOR3* pV, float angle)
{
    D3DXVECTOR3 n;
    D3DXVec3Normalize(&n, pV);
    float s = std::sin(angle * 0.5f);
    *pOut = D3DXQUATERNION(n.x * s, n.y * s, n.z * s, std::cos(angle * 0.5f));
    return pOut;
}

D3DXQUATERNION* D3DXQuaternionSlerp(D3DXQUATERNION* pOut, const D3DXQUATERNION* pQ1, const D3DXQUATERNION* pQ2, float t)
{
    D3DXQUATERNION q2 = *pQ2;
    float cosom = pQ1->x * q2.x + pQ1->y * q2.y + pQ1->z * q2.z + pQ1->w * q2.w;
    // q and -q are the same rotation: go the short way round.
    if (cosom < 0.0f)
    {
        cosom = -cosom;
        q2 = -q2;
    }
    float k1, k2;
    if (cosom > 0.9999f)
    {
        // Nearly the same orientation: sin(omega) is too small to divide by.
        k1 = 1.0f - t;
        k2 = t;
    }
    else
    {
        float omega = std::acos(cosom);
        float sinom = std::sin(omega);
        k1 = std::sin((1.0f - t) * omega) / sinom;
        k2 = std::sin(t * omega) / sinom;
    }
    *pOut = D3DXQUATERNION(k1 * pQ1->x + k2 * q2.x, k1 * pQ1->y + k2 * q2.y, k1 * pQ1->z + k2 * q2.z,
                           k1 * pQ1->w + k2 * q2.w);
    return pOut;
}

D3DXQUATERNION* D3DXQuaternionMultiply(D3DXQUATERNION* pOut, const D3DXQUATERNION* pQ1, const D3DXQUATERNION* pQ2)
{
    // The Hamilton product q2 * q1, so that the result rotates by q1 first.
    const D3DXQUATERNION a = *pQ2, b = *pQ1;
    *pOut =
        D3DXQUATERNION(a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y, a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
                       a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w, a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z);
    return pOut;
}

// ---------------------------------------------------------------------------
// Colours.

D3DXCOLOR* D3DXColorLerp(D3DXCOLOR* pOut, const D3DXCOLOR* pC1, const D3DXCOLOR* pC2, float s)
{
    *pOut = D3DXCOLOR(pC1->r + s * (pC2->r - pC1->r), pC1->g + s * (pC2->g - pC1->g), pC1->b + s * (pC2->b - pC1->b),
                      pC1->a + s * (pC2->a - pC1->a));
    return pOut;
}

D3DXCOLOR* D3DXColorModulate(D3DXCOLOR* pOut, const D3DXCOLOR* pC1, const D3DXCOLOR* pC2)
{
    *pOut = D3DXCOLOR(pC1->r * pC2->r, pC1->g * pC2->g, pC1->b * pC2->b, pC1->a * pC2->a);
    return pOut;
}

D3DXCOLOR* D3DXColorScale(D3DXCOLOR* pOut, const D3DXCOLOR* pC, float s)
{
    *pOut = *pC * s;
    return pOut;
}

// ---------------------------------------------------------------------------
// Ray tests.

BOOL D3DXBoxBoundProbe(const D3DXVECTOR3* pMin, const D3DXVECTOR3* pMax, const D3DXVECTOR3* pRayPosition,
                       const D3DXVECTOR3* pRayDirection)
{
    // Slab test: intersect the ray's parameter range [0, inf) with the range
    // it spends between each pair of faces.
    const float* lo = *pMin;
    const float* hi = *pMax;
    const float* p = *pRayPosition;
    const float* d = *pRayDirection;
    float tNear = 0.0f;
    float tFar = INFINITY;
    for (int i = 0; i < 3; ++i)
    {
        if (d[i] == 0.0f)
        {
            if (p[i] < lo[i] || p[i] > hi[i])
                return FALSE;
            continue;
        }
        float t1 = (lo[i] - p[i]) / d[i];
        float t2 = (hi[i] - p[i]) / d[i];
        if (t1 > t2)
        {
            float tmp = t1;
            t1 = t2;
            t2 = tmp;
        }
        if (t1 > tNear)
            tNear = t1;
        if (t2 < tFar)
            tFar = t2;
        if (tNear > tFar)
            return FALSE;
    }
    return TRUE;
}

BOOL D3DXSphereBoundProbe(const D3DXVECTOR3* pCenter, float radius, const D3DXVECTOR3* pRayPosition,
                          const D3DXVECTOR3* pRayDirection)
{
    D3DXVECTOR3 toCenter = *pCenter - *pRayPosition;
    float r2 = radius * radius;
    float dist2 = D3DXVec3LengthSq(&toCenter);
    if (dist2 <= r2)
        return TRUE;
    float dd = D3DXVec3LengthSq(pRayDirection);
    if (dd == 0.0f)
        return FALSE;
    // Closest approach along the ray; behind the start means a miss since the
    // start is outside.
    float t = D3DXVec3Dot(&toCenter, pRayDirection);
    if (t < 0.0f)
        return FALSE;
    float closest2 = dist2 - t * t / dd;
    return closest2 <= r2 ? TRUE : FALSE;
}
