#pragma once
// Vector, matrix, plane, quaternion and colour maths in Direct3D's conventions,
// so that the game's transform code reads the same as it would on Direct3D:
//   - row vectors multiplied from the left (v * M),
//   - row-major matrices with the translation in the fourth row,
//   - left-handed coordinates (+x right, +y up, +z into the screen),
//   - clip-space depth 0..1, screen origin at the top left.
// Functions follow the D3DX shape: output pointer first, the output pointer
// returned, and the output may alias any input.
#include "platform/os/WinTypes.h"

#define D3DX_PI              ((float)3.141592654f)
#define D3DX_1BYPI           ((float)0.318309886f)
#define D3DXToRadian(degree) ((degree) * (D3DX_PI / 180.0f))
#define D3DXToDegree(radian) ((radian) * (180.0f / D3DX_PI))

// ---------------------------------------------------------------------------
// Colours: a D3DCOLOR packs A, R, G, B into one DWORD, alpha in the top byte.
typedef DWORD D3DCOLOR;

#define D3DCOLOR_ARGB(a, r, g, b)                                                                                      \
    ((D3DCOLOR)((((DWORD)(a)&0xff) << 24) | (((DWORD)(r)&0xff) << 16) | (((DWORD)(g)&0xff) << 8) | ((DWORD)(b)&0xff)))
#define D3DCOLOR_RGBA(r, g, b, a) D3DCOLOR_ARGB(a, r, g, b)
#define D3DCOLOR_XRGB(r, g, b)    D3DCOLOR_ARGB(0xff, r, g, b)
#define D3DCOLOR_COLORVALUE(r, g, b, a)                                                                                \
    D3DCOLOR_RGBA((DWORD)((r)*255.f), (DWORD)((g)*255.f), (DWORD)((b)*255.f), (DWORD)((a)*255.f))

// ---------------------------------------------------------------------------
// Plain structures shared with the device layer.
struct D3DVECTOR
{
    float x, y, z;
};

struct D3DCOLORVALUE
{
    float r, g, b, a;
};

struct D3DMATRIX
{
    union
    {
        struct
        {
            float _11, _12, _13, _14;
            float _21, _22, _23, _24;
            float _31, _32, _33, _34;
            float _41, _42, _43, _44;
        };
        float m[4][4];
    };
};

struct D3DVIEWPORT9
{
    DWORD X;
    DWORD Y;
    DWORD Width;
    DWORD Height;
    float MinZ;
    float MaxZ;
};

// ---------------------------------------------------------------------------
// Vectors.
//
// Like the plain structures, the D3DX types are trivial: `T v;` leaves v
// uninitialised (as Direct3D code expects, so they can be memset, memcpy'd
// and placed in unions), while `T v{}` or `T()` gives all zeros.
struct D3DXVECTOR2
{
    float x, y;

    D3DXVECTOR2() = default;
    D3DXVECTOR2(const float* f) : x(f[0]), y(f[1]) {}
    D3DXVECTOR2(float fx, float fy) : x(fx), y(fy) {}

    operator float*() { return &x; }
    operator const float*() const { return &x; }

    D3DXVECTOR2& operator+=(const D3DXVECTOR2& v);
    D3DXVECTOR2& operator-=(const D3DXVECTOR2& v);
    D3DXVECTOR2& operator*=(float f);
    D3DXVECTOR2& operator/=(float f);

    D3DXVECTOR2 operator+() const { return *this; }
    D3DXVECTOR2 operator-() const { return D3DXVECTOR2(-x, -y); }

    D3DXVECTOR2 operator+(const D3DXVECTOR2& v) const { return D3DXVECTOR2(x + v.x, y + v.y); }
    D3DXVECTOR2 operator-(const D3DXVECTOR2& v) const { return D3DXVECTOR2(x - v.x, y - v.y); }
    D3DXVECTOR2 operator*(float f) const { return D3DXVECTOR2(x * f, y * f); }
    D3DXVECTOR2 operator/(float f) const;

    bool operator==(const D3DXVECTOR2& v) const { return x == v.x && y == v.y; }
    bool operator!=(const D3DXVECTOR2& v) const { return !(*this == v); }
};
inline D3DXVECTOR2 operator*(float f, const D3DXVECTOR2& v)
{
    return v * f;
}

struct D3DXVECTOR3 : public D3DVECTOR
{
    D3DXVECTOR3() = default;
    D3DXVECTOR3(const float* f) : D3DVECTOR{f[0], f[1], f[2]} {}
    D3DXVECTOR3(const D3DVECTOR& v) : D3DVECTOR(v) {}
    D3DXVECTOR3(float fx, float fy, float fz) : D3DVECTOR{fx, fy, fz} {}

    operator float*() { return &x; }
    operator const float*() const { return &x; }

    D3DXVECTOR3& operator+=(const D3DXVECTOR3& v);
    D3DXVECTOR3& operator-=(const D3DXVECTOR3& v);
    D3DXVECTOR3& operator*=(float f);
    D3DXVECTOR3& operator/=(float f);

    D3DXVECTOR3 operator+() const { return *this; }
    D3DXVECTOR3 operator-() const { return D3DXVECTOR3(-x, -y, -z); }

    D3DXVECTOR3 operator+(const D3DXVECTOR3& v) const { return D3DXVECTOR3(x + v.x, y + v.y, z + v.z); }
    D3DXVECTOR3 operator-(const D3DXVECTOR3& v) const { return D3DXVECTOR3(x - v.x, y - v.y, z - v.z); }
    D3DXVECTOR3 operator*(float f) const { return D3DXVECTOR3(x * f, y * f, z * f); }
    D3DXVECTOR3 operator/(float f) const;

    bool operator==(const D3DXVECTOR3& v) const { return x == v.x && y == v.y && z == v.z; }
    bool operator!=(const D3DXVECTOR3& v) const { return !(*this == v); }
};
inline D3DXVECTOR3 operator*(float f, const D3DXVECTOR3& v)
{
    return v * f;
}

struct D3DXVECTOR4
{
    float x, y, z, w;

    D3DXVECTOR4() = default;
    D3DXVECTOR4(const float* f) : x(f[0]), y(f[1]), z(f[2]), w(f[3]) {}
    D3DXVECTOR4(const D3DVECTOR& xyz, float fw) : x(xyz.x), y(xyz.y), z(xyz.z), w(fw) {}
    D3DXVECTOR4(float fx, float fy, float fz, float fw) : x(fx), y(fy), z(fz), w(fw) {}

    operator float*() { return &x; }
    operator const float*() const { return &x; }

    D3DXVECTOR4& operator+=(const D3DXVECTOR4& v);
    D3DXVECTOR4& operator-=(const D3DXVECTOR4& v);
    D3DXVECTOR4& operator*=(float f);
    D3DXVECTOR4& operator/=(float f);

    D3DXVECTOR4 operator+() const { return *this; }
    D3DXVECTOR4 operator-() const { return D3DXVECTOR4(-x, -y, -z, -w); }

    D3DXVECTOR4 operator+(const D3DXVECTOR4& v) const { return D3DXVECTOR4(x + v.x, y + v.y, z + v.z, w + v.w); }
    D3DXVECTOR4 operator-(const D3DXVECTOR4& v) const { return D3DXVECTOR4(x - v.x, y - v.y, z - v.z, w - v.w); }
    D3DXVECTOR4 operator*(float f) const { return D3DXVECTOR4(x * f, y * f, z * f, w * f); }
    D3DXVECTOR4 operator/(float f) const;

    bool operator==(const D3DXVECTOR4& v) const { return x == v.x && y == v.y && z == v.z && w == v.w; }
    bool operator!=(const D3DXVECTOR4& v) const { return !(*this == v); }
};
inline D3DXVECTOR4 operator*(float f, const D3DXVECTOR4& v)
{
    return v * f;
}

// ---------------------------------------------------------------------------
// Matrices. `D3DXMATRIX m{}` is the zero matrix, not the identity.
struct D3DXMATRIX : public D3DMATRIX
{
    D3DXMATRIX() = default;
    D3DXMATRIX(const float* f);
    D3DXMATRIX(const D3DMATRIX& mat);
    D3DXMATRIX(float f11, float f12, float f13, float f14, float f21, float f22, float f23, float f24, float f31,
               float f32, float f33, float f34, float f41, float f42, float f43, float f44);

    float& operator()(UINT row, UINT col) { return m[row][col]; }
    float operator()(UINT row, UINT col) const { return m[row][col]; }

    operator float*() { return &_11; }
    operator const float*() const { return &_11; }

    D3DXMATRIX& operator*=(const D3DXMATRIX& mat);
    D3DXMATRIX& operator+=(const D3DXMATRIX& mat);
    D3DXMATRIX& operator-=(const D3DXMATRIX& mat);
    D3DXMATRIX& operator*=(float f);
    D3DXMATRIX& operator/=(float f);

    D3DXMATRIX operator+() const { return *this; }
    D3DXMATRIX operator-() const;

    D3DXMATRIX operator*(const D3DXMATRIX& mat) const;
    D3DXMATRIX operator+(const D3DXMATRIX& mat) const;
    D3DXMATRIX operator-(const D3DXMATRIX& mat) const;
    D3DXMATRIX operator*(float f) const;
    D3DXMATRIX operator/(float f) const;

    bool operator==(const D3DXMATRIX& mat) const;
    bool operator!=(const D3DXMATRIX& mat) const { return !(*this == mat); }
};
inline D3DXMATRIX operator*(float f, const D3DXMATRIX& mat)
{
    return mat * f;
}

// ---------------------------------------------------------------------------
// Quaternions: (x, y, z) is the vector part, w the scalar part.
struct D3DXQUATERNION
{
    float x, y, z, w;

    D3DXQUATERNION() = default;
    D3DXQUATERNION(const float* f) : x(f[0]), y(f[1]), z(f[2]), w(f[3]) {}
    D3DXQUATERNION(float fx, float fy, float fz, float fw) : x(fx), y(fy), z(fz), w(fw) {}

    operator float*() { return &x; }
    operator const float*() const { return &x; }

    D3DXQUATERNION& operator+=(const D3DXQUATERNION& q);
    D3DXQUATERNION& operator-=(const D3DXQUATERNION& q);
    D3DXQUATERNION& operator*=(const D3DXQUATERNION& q);
    D3DXQUATERNION& operator*=(float f);
    D3DXQUATERNION& operator/=(float f);

    D3DXQUATERNION operator+() const { return *this; }
    D3DXQUATERNION operator-() const { return D3DXQUATERNION(-x, -y, -z, -w); }

    D3DXQUATERNION operator+(const D3DXQUATERNION& q) const;
    D3DXQUATERNION operator-(const D3DXQUATERNION& q) const;
    // Same order as D3DXQuaternionMultiply: (*this) rotation first, then q.
    D3DXQUATERNION operator*(const D3DXQUATERNION& q) const;
    D3DXQUATERNION operator*(float f) const { return D3DXQUATERNION(x * f, y * f, z * f, w * f); }
    D3DXQUATERNION operator/(float f) const;

    bool operator==(const D3DXQUATERNION& q) const { return x == q.x && y == q.y && z == q.z && w == q.w; }
    bool operator!=(const D3DXQUATERNION& q) const { return !(*this == q); }
};
inline D3DXQUATERNION operator*(float f, const D3DXQUATERNION& q)
{
    return q * f;
}

// ---------------------------------------------------------------------------
// Planes: a*x + b*y + c*z + d = 0, (a, b, c) the normal.
struct D3DXPLANE
{
    float a, b, c, d;

    D3DXPLANE() = default;
    D3DXPLANE(const float* f) : a(f[0]), b(f[1]), c(f[2]), d(f[3]) {}
    D3DXPLANE(float fa, float fb, float fc, float fd) : a(fa), b(fb), c(fc), d(fd) {}

    operator float*() { return &a; }
    operator const float*() const { return &a; }

    D3DXPLANE& operator*=(float f);
    D3DXPLANE& operator/=(float f);

    D3DXPLANE operator+() const { return *this; }
    D3DXPLANE operator-() const { return D3DXPLANE(-a, -b, -c, -d); }

    D3DXPLANE operator*(float f) const { return D3DXPLANE(a * f, b * f, c * f, d * f); }
    D3DXPLANE operator/(float f) const;

    bool operator==(const D3DXPLANE& p) const { return a == p.a && b == p.b && c == p.c && d == p.d; }
    bool operator!=(const D3DXPLANE& p) const { return !(*this == p); }
};
inline D3DXPLANE operator*(float f, const D3DXPLANE& p)
{
    return p * f;
}

// ---------------------------------------------------------------------------
// Floating-point colour, channels nominally 0..1 (arithmetic may leave that
// range; the conversion to D3DCOLOR clamps).
struct D3DXCOLOR
{
    float r, g, b, a;

    D3DXCOLOR() = default;
    D3DXCOLOR(D3DCOLOR argb);
    D3DXCOLOR(const float* f) : r(f[0]), g(f[1]), b(f[2]), a(f[3]) {}
    D3DXCOLOR(const D3DCOLORVALUE& c) : r(c.r), g(c.g), b(c.b), a(c.a) {}
    D3DXCOLOR(float fr, float fg, float fb, float fa) : r(fr), g(fg), b(fb), a(fa) {}

    // Each channel clamped to 0..1, scaled by 255 and truncated.
    operator D3DCOLOR() const;

    operator float*() { return &r; }
    operator const float*() const { return &r; }
    operator D3DCOLORVALUE() const { return D3DCOLORVALUE{r, g, b, a}; }

    D3DXCOLOR& operator+=(const D3DXCOLOR& c);
    D3DXCOLOR& operator-=(const D3DXCOLOR& c);
    D3DXCOLOR& operator*=(float f);
    D3DXCOLOR& operator/=(float f);

    D3DXCOLOR operator+() const { return *this; }
    D3DXCOLOR operator-() const { return D3DXCOLOR(-r, -g, -b, -a); }

    D3DXCOLOR operator+(const D3DXCOLOR& c) const { return D3DXCOLOR(r + c.r, g + c.g, b + c.b, a + c.a); }
    D3DXCOLOR operator-(const D3DXCOLOR& c) const { return D3DXCOLOR(r - c.r, g - c.g, b - c.b, a - c.a); }
    D3DXCOLOR operator*(float f) const { return D3DXCOLOR(r * f, g * f, b * f, a * f); }
    D3DXCOLOR operator/(float f) const;

    bool operator==(const D3DXCOLOR& c) const { return r == c.r && g == c.g && b == c.b && a == c.a; }
    bool operator!=(const D3DXCOLOR& c) const { return !(*this == c); }
};
inline D3DXCOLOR operator*(float f, const D3DXCOLOR& c)
{
    return c * f;
}

// ---------------------------------------------------------------------------
// 2D vectors.
float D3DXVec2Length(const D3DXVECTOR2* pV);
float D3DXVec2Dot(const D3DXVECTOR2* pV1, const D3DXVECTOR2* pV2);
// A zero vector normalizes to zero.
D3DXVECTOR2* D3DXVec2Normalize(D3DXVECTOR2* pOut, const D3DXVECTOR2* pV);

// 3D vectors.
float D3DXVec3Length(const D3DXVECTOR3* pV);
float D3DXVec3LengthSq(const D3DXVECTOR3* pV);
float D3DXVec3Dot(const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2);
D3DXVECTOR3* D3DXVec3Cross(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2);
// A zero vector normalizes to zero (never NaN).
D3DXVECTOR3* D3DXVec3Normalize(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV);
D3DXVECTOR3* D3DXVec3Add(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2);
D3DXVECTOR3* D3DXVec3Subtract(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2);
D3DXVECTOR3* D3DXVec3Scale(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV, float s);
// pV1 + s * (pV2 - pV1)
D3DXVECTOR3* D3DXVec3Lerp(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2, float s);
D3DXVECTOR3* D3DXVec3Minimize(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2);
D3DXVECTOR3* D3DXVec3Maximize(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2);
// (x, y, z, 1) * M, then divided by the resulting w (left undivided if w is 0).
D3DXVECTOR3* D3DXVec3TransformCoord(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV, const D3DXMATRIX* pM);
// (x, y, z, 0) * M: a direction, unaffected by translation.
D3DXVECTOR3* D3DXVec3TransformNormal(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV, const D3DXMATRIX* pM);
// (x, y, z, 1) * M, keeping w.
D3DXVECTOR4* D3DXVec3Transform(D3DXVECTOR4* pOut, const D3DXVECTOR3* pV, const D3DXMATRIX* pM);
// Object space to screen space through world * view * projection and the
// viewport (z mapped into MinZ..MaxZ). Any null matrix counts as the identity;
// a null viewport leaves the result in normalized device coordinates.
D3DXVECTOR3* D3DXVec3Project(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV, const D3DVIEWPORT9* pViewport,
                             const D3DXMATRIX* pProjection, const D3DXMATRIX* pView, const D3DXMATRIX* pWorld);
// The inverse of D3DXVec3Project. Returns null (pOut untouched) if
// world * view * projection cannot be inverted.
D3DXVECTOR3* D3DXVec3Unproject(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV, const D3DVIEWPORT9* pViewport,
                               const D3DXMATRIX* pProjection, const D3DXMATRIX* pView, const D3DXMATRIX* pWorld);

// 4D vectors.
D3DXVECTOR4* D3DXVec4Transform(D3DXVECTOR4* pOut, const D3DXVECTOR4* pV, const D3DXMATRIX* pM);
float D3DXVec4Dot(const D3DXVECTOR4* pV1, const D3DXVECTOR4* pV2);

// ---------------------------------------------------------------------------
// Matrices.
D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* pOut);
BOOL D3DXMatrixIsIdentity(const D3DXMATRIX* pM);
// pM1 * pM2: transform by pM1 first, then by pM2.
D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* pOut, const D3DXMATRIX* pM1, const D3DXMATRIX* pM2);
// Writes the determinant through pDeterminant when it is not null. Returns
// null (pOut untouched) for a singular matrix.
D3DXMATRIX* D3DXMatrixInverse(D3DXMATRIX* pOut, float* pDeterminant, const D3DXMATRIX* pM);
D3DXMATRIX* D3DXMatrixTranspose(D3DXMATRIX* pOut, const D3DXMATRIX* pM);
float D3DXMatrixDeterminant(const D3DXMATRIX* pM);
D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* pOut, float x, float y, float z);
D3DXMATRIX* D3DXMatrixScaling(D3DXMATRIX* pOut, float sx, float sy, float sz);
// Rotations by an angle in radians, clockwise when looking along the axis
// towards the origin (the left-handed sense): RotationY(+90 degrees) turns +z
// into +x.
D3DXMATRIX* D3DXMatrixRotationX(D3DXMATRIX* pOut, float angle);
D3DXMATRIX* D3DXMatrixRotationY(D3DXMATRIX* pOut, float angle);
D3DXMATRIX* D3DXMatrixRotationZ(D3DXMATRIX* pOut, float angle);
// The axis need not be unit length.
D3DXMATRIX* D3DXMatrixRotationAxis(D3DXMATRIX* pOut, const D3DXVECTOR3* pV, float angle);
// Roll about z, then pitch about x, then yaw about y.
D3DXMATRIX* D3DXMatrixRotationYawPitchRoll(D3DXMATRIX* pOut, float yaw, float pitch, float roll);
D3DXMATRIX* D3DXMatrixRotationQuaternion(D3DXMATRIX* pOut, const D3DXQUATERNION* pQ);
// View matrix for an eye at pEye looking at pAt.
D3DXMATRIX* D3DXMatrixLookAtLH(D3DXMATRIX* pOut, const D3DXVECTOR3* pEye, const D3DXVECTOR3* pAt,
                               const D3DXVECTOR3* pUp);
// fovy is the vertical field of view in radians, aspect is width / height.
D3DXMATRIX* D3DXMatrixPerspectiveFovLH(D3DXMATRIX* pOut, float fovy, float aspect, float zn, float zf);
D3DXMATRIX* D3DXMatrixOrthoLH(D3DXMATRIX* pOut, float w, float h, float zn, float zf);
D3DXMATRIX* D3DXMatrixOrthoOffCenterLH(D3DXMATRIX* pOut, float l, float r, float b, float t, float zn, float zf);
// Mirror through a plane (normalized first).
D3DXMATRIX* D3DXMatrixReflect(D3DXMATRIX* pOut, const D3DXPLANE* pPlane);

// ---------------------------------------------------------------------------
// Planes.
// Through three points; the normal is (v2 - v1) x (v3 - v1), normalized.
D3DXPLANE* D3DXPlaneFromPoints(D3DXPLANE* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2, const D3DXVECTOR3* pV3);
D3DXPLANE* D3DXPlaneFromPointNormal(D3DXPLANE* pOut, const D3DXVECTOR3* pPoint, const D3DXVECTOR3* pNormal);
// Scales the plane so its normal has unit length; a zero normal gives a zero plane.
D3DXPLANE* D3DXPlaneNormalize(D3DXPLANE* pOut, const D3DXPLANE* pP);
// a*x + b*y + c*z + d: the signed distance for a normalized plane.
float D3DXPlaneDotCoord(const D3DXPLANE* pP, const D3DXVECTOR3* pV);
// a*x + b*y + c*z
float D3DXPlaneDotNormal(const D3DXPLANE* pP, const D3DXVECTOR3* pV);
// a*x + b*y + c*z + d*w
float D3DXPlaneDot(const D3DXPLANE* pP, const D3DXVECTOR4* pV);
// (a, b, c, d) * pM. To move a plane by a transform T, pass the inverse
// transpose of T.
D3DXPLANE* D3DXPlaneTransform(D3DXPLANE* pOut, const D3DXPLANE* pP, const D3DXMATRIX* pM);
// Where the (unbounded) line through pV1 and pV2 meets the plane; null when
// the line is parallel to it.
D3DXVECTOR3* D3DXPlaneIntersectLine(D3DXVECTOR3* pOut, const D3DXPLANE* pP, const D3DXVECTOR3* pV1,
                                    const D3DXVECTOR3* pV2);

// ---------------------------------------------------------------------------
// Quaternions.
D3DXQUATERNION* D3DXQuaternionIdentity(D3DXQUATERNION* pOut);
// A zero quaternion normalizes to zero.
D3DXQUATERNION* D3DXQuaternionNormalize(D3DXQUATERNION* pOut, const D3DXQUATERNION* pQ);
// The rotation part of pM (assumed orthonormal).
D3DXQUATERNION* D3DXQuaternionRotationMatrix(D3DXQUATERNION* pOut, const D3DXMATRIX* pM);
// Same sense as D3DXMatrixRotationAxis; the axis need not be unit length.
D3DXQUATERNION* D3DXQuaternionRotationAxis(D3DXQUATERNION* pOut, const D3DXVECTOR3* pV, float angle);
// Spherical interpolation along the shorter arc, t = 0 gives pQ1, t = 1 gives pQ2.
D3DXQUATERNION* D3DXQuaternionSlerp(D3DXQUATERNION* pOut, const D3DXQUATERNION* pQ1, const D3DXQUATERNION* pQ2,
                                    float t);
// The rotation pQ1 followed by pQ2 (matches D3DXMatrixMultiply order).
D3DXQUATERNION* D3DXQuaternionMultiply(D3DXQUATERNION* pOut, const D3DXQUATERNION* pQ1, const D3DXQUATERNION* pQ2);

// ---------------------------------------------------------------------------
// Colours.
D3DXCOLOR* D3DXColorLerp(D3DXCOLOR* pOut, const D3DXCOLOR* pC1, const D3DXCOLOR* pC2, float s);
D3DXCOLOR* D3DXColorModulate(D3DXCOLOR* pOut, const D3DXCOLOR* pC1, const D3DXCOLOR* pC2);
D3DXCOLOR* D3DXColorScale(D3DXCOLOR* pOut, const D3DXCOLOR* pC, float s);

// ---------------------------------------------------------------------------
// Ray tests. The ray starts at pRayPosition and runs along pRayDirection
// (any length, t >= 0); a ray starting inside the volume hits it.
BOOL D3DXBoxBoundProbe(const D3DXVECTOR3* pMin, const D3DXVECTOR3* pMax, const D3DXVECTOR3* pRayPosition,
                       const D3DXVECTOR3* pRayDirection);
BOOL D3DXSphereBoundProbe(const D3DXVECTOR3* pCenter, float radius, const D3DXVECTOR3* pRayPosition,
                          const D3DXVECTOR3* pRayDirection);
