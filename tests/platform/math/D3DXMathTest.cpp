#include "platform/math/D3DXMath.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <cstdio>
#include <type_traits>

namespace
{

const float kEps = 1e-4f;

::testing::AssertionResult Near(const D3DXVECTOR3& got, const D3DXVECTOR3& want, float eps = kEps)
{
    if (std::fabs(got.x - want.x) <= eps && std::fabs(got.y - want.y) <= eps && std::fabs(got.z - want.z) <= eps)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got (" << got.x << ", " << got.y << ", " << got.z << "), want (" << want.x
                                         << ", " << want.y << ", " << want.z << ")";
}

::testing::AssertionResult Near(const D3DXMATRIX& got, const D3DXMATRIX& want, float eps = kEps)
{
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            if (!(std::fabs(got.m[i][j] - want.m[i][j]) <= eps))
                return ::testing::AssertionFailure()
                       << "element (" << i << ", " << j << ") is " << got.m[i][j] << ", want " << want.m[i][j];
    return ::testing::AssertionSuccess();
}

D3DXMATRIX Identity()
{
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    return m;
}

D3DXVECTOR3 TransformCoord(const D3DXVECTOR3& v, const D3DXMATRIX& m)
{
    D3DXVECTOR3 r;
    D3DXVec3TransformCoord(&r, &v, &m);
    return r;
}

// Translation, rotation and scale in one matrix, as a typical world matrix.
D3DXMATRIX WorldMatrix()
{
    D3DXMATRIX s, r, t;
    D3DXMatrixScaling(&s, 2.0f, 0.5f, 3.0f);
    D3DXMatrixRotationYawPitchRoll(&r, 0.7f, -0.3f, 1.1f);
    D3DXMatrixTranslation(&t, 12.0f, -3.0f, 40.0f);
    return s * r * t;
}

D3DXMATRIX ViewMatrix()
{
    D3DXVECTOR3 eye(10.0f, 5.0f, -20.0f), at(12.0f, 4.0f, 30.0f), up(0.0f, 1.0f, 0.0f);
    D3DXMATRIX v;
    D3DXMatrixLookAtLH(&v, &eye, &at, &up);
    return v;
}

D3DXMATRIX ProjectionMatrix()
{
    D3DXMATRIX p;
    D3DXMatrixPerspectiveFovLH(&p, D3DX_PI / 4.0f, 4.0f / 3.0f, 1.0f, 1000.0f);
    return p;
}

}   // namespace

// ---------------------------------------------------------------------------
// Matrices.

// Vertex and constant buffers take these types by memcpy, and ported code
// clears them with memset and puts them in unions: they must stay plain
// arrays of floats.
static_assert(std::is_trivial<D3DXVECTOR2>::value && std::is_trivial<D3DXVECTOR3>::value &&
                  std::is_trivial<D3DXVECTOR4>::value && std::is_trivial<D3DXMATRIX>::value &&
                  std::is_trivial<D3DXQUATERNION>::value && std::is_trivial<D3DXPLANE>::value &&
                  std::is_trivial<D3DXCOLOR>::value,
              "D3DX types must be trivial");
static_assert(sizeof(D3DXVECTOR3) == 12 && sizeof(D3DXVECTOR4) == 16 && sizeof(D3DXMATRIX) == 64 &&
                  sizeof(D3DXCOLOR) == 16 && sizeof(D3DVIEWPORT9) == 24,
              "D3DX types must have Direct3D's sizes");

TEST(D3DXMath, MatrixElementsAreRowMajor)
{
    D3DXMATRIX m{};
    m._23 = 5.0f;
    m._41 = 7.0f;
    const float* f = m;
    EXPECT_EQ(f[6], 5.0f);
    EXPECT_EQ(f[12], 7.0f);
    EXPECT_EQ(m.m[1][2], 5.0f);
    EXPECT_EQ(m(3, 0), 7.0f);
    EXPECT_EQ(D3DXMATRIX(f), m);
    EXPECT_EQ(offsetof(D3DXCOLOR, a), 12u);
}

TEST(D3DXMath, InverseTimesMatrixIsTheIdentityAndInverseOfInverseIsTheMatrix)
{
    D3DXMATRIX farAway, ortho;
    D3DXMatrixTranslation(&farAway, 1500.0f, -40.0f, 2600.0f);
    D3DXMatrixOrthoOffCenterLH(&ortho, 0.0f, 800.0f, 600.0f, 0.0f, 0.0f, 1.0f);
    D3DXMATRIX general(1, 2, 0, 1, 0, 1, 3, 0, 4, 0, 1, 2, 1, 1, 1, 5);
    struct Case
    {
        const char* name;
        D3DXMATRIX m;
        float tolerance;   // single precision with elements in the thousands
    };
    const Case cases[] = {
        {"identity", Identity(), kEps},
        {"world", WorldMatrix(), kEps},
        {"far from the origin", WorldMatrix() * farAway, 1e-2f},
        {"view", ViewMatrix(), kEps},
        {"projection", ProjectionMatrix(), kEps},
        {"ortho", ortho, kEps},
        {"general", general, kEps},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        D3DXMATRIX inv, back;
        float det = 0.0f;
        ASSERT_EQ(D3DXMatrixInverse(&inv, &det, &c.m), &inv);
        EXPECT_NEAR(det, D3DXMatrixDeterminant(&c.m), std::fabs(det) * 1e-5f);
        EXPECT_TRUE(Near(c.m * inv, Identity(), c.tolerance));
        EXPECT_TRUE(Near(inv * c.m, Identity(), c.tolerance));
        ASSERT_NE(D3DXMatrixInverse(&back, nullptr, &inv), nullptr);
        EXPECT_TRUE(Near(back, c.m, 10.0f * c.tolerance));
        // A point taken there and back again.
        D3DXVECTOR3 p(3.0f, -7.0f, 11.0f);
        EXPECT_TRUE(Near(TransformCoord(TransformCoord(p, c.m), inv), p, 10.0f * c.tolerance));
    }
}

TEST(D3DXMath, DeterminantOfKnownMatrices)
{
    D3DXMATRIX s, r;
    D3DXMatrixScaling(&s, 2.0f, 3.0f, 4.0f);
    D3DXVECTOR3 axis(1.0f, 2.0f, 3.0f);
    D3DXMatrixRotationAxis(&r, &axis, 0.9f);
    D3DXMATRIX general(1, 2, 0, 1, 0, 1, 3, 0, 4, 0, 1, 2, 1, 1, 1, 5);
    EXPECT_NEAR(D3DXMatrixDeterminant(&s), 24.0f, 1e-5f);
    EXPECT_NEAR(D3DXMatrixDeterminant(&r), 1.0f, 1e-5f);
    // Expanded by hand along the first row.
    EXPECT_NEAR(D3DXMatrixDeterminant(&general), 108.0f, 1e-4f);
}

TEST(D3DXMath, InverseOfSingularMatrixFailsAndLeavesOutputAlone)
{
    D3DXMATRIX flat;
    D3DXMatrixScaling(&flat, 1.0f, 0.0f, 1.0f);
    D3DXMATRIX sameRows(1, 2, 3, 4, 1, 2, 3, 4, 0, 0, 1, 0, 0, 0, 0, 1);
    for (const D3DXMATRIX& m : {flat, sameRows, D3DXMATRIX()})
    {
        D3DXMATRIX out(Identity());
        float det = 99.0f;
        EXPECT_EQ(D3DXMatrixInverse(&out, &det, &m), nullptr);
        EXPECT_EQ(det, 0.0f);
        EXPECT_TRUE(D3DXMatrixIsIdentity(&out));
        EXPECT_EQ(D3DXMatrixInverse(&out, nullptr, &m), nullptr);
    }
}

TEST(D3DXMath, FunctionsMayWriteOverTheirInput)
{
    D3DXMATRIX w = WorldMatrix(), expected;
    D3DXMatrixInverse(&expected, nullptr, &w);
    D3DXMatrixInverse(&w, nullptr, &w);
    EXPECT_TRUE(Near(w, expected));

    D3DXMATRIX a = WorldMatrix(), b = ViewMatrix();
    D3DXMATRIX product = a * b;
    D3DXMatrixMultiply(&a, &a, &b);
    EXPECT_TRUE(Near(a, product));
    a = WorldMatrix();
    D3DXMatrixMultiply(&b, &a, &b);
    EXPECT_TRUE(Near(b, product));

    D3DXMATRIX t(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
    D3DXMatrixTranspose(&t, &t);
    EXPECT_EQ(t, D3DXMATRIX(1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15, 4, 8, 12, 16));
    EXPECT_EQ(t(0, 1), 5.0f);
    EXPECT_EQ(t._21, 2.0f);

    D3DXVECTOR3 v(1.0f, 2.0f, 3.0f);
    D3DXVECTOR3 moved = TransformCoord(v, WorldMatrix());
    D3DXMATRIX world = WorldMatrix();
    D3DXVec3TransformCoord(&v, &v, &world);
    EXPECT_TRUE(Near(v, moved));

    D3DXVECTOR3 x(1.0f, 0.0f, 0.0f), y(0.0f, 1.0f, 0.0f);
    D3DXVec3Cross(&x, &x, &y);
    EXPECT_TRUE(Near(x, D3DXVECTOR3(0.0f, 0.0f, 1.0f)));
}

TEST(D3DXMath, MultiplyAppliesTheLeftMatrixFirst)
{
    // Row vectors: v * (A * B) moves v by A, then by B.
    D3DXMATRIX t, r;
    D3DXMatrixTranslation(&t, 0.0f, 0.0f, 5.0f);
    D3DXMatrixRotationY(&r, D3DX_PI / 2.0f);
    D3DXVECTOR3 origin(0.0f, 0.0f, 0.0f);
    EXPECT_TRUE(Near(TransformCoord(origin, t * r), D3DXVECTOR3(5.0f, 0.0f, 0.0f)));
    EXPECT_TRUE(Near(TransformCoord(origin, r * t), D3DXVECTOR3(0.0f, 0.0f, 5.0f)));
    // The translation sits in the fourth row.
    EXPECT_EQ(t._41, 0.0f);
    EXPECT_EQ(t._43, 5.0f);
    EXPECT_EQ(t._44, 1.0f);

    D3DXMATRIX product;
    D3DXMatrixMultiply(&product, &t, &r);
    EXPECT_TRUE(Near(product, t * r));
    D3DXMATRIX acc = t;
    acc *= r;
    EXPECT_TRUE(Near(acc, t * r));
}

TEST(D3DXMath, RotationsTurnTheLeftHandedWay)
{
    const float q = D3DX_PI / 2.0f;
    D3DXMATRIX rx, ry, rz;
    D3DXMatrixRotationX(&rx, q);
    D3DXMatrixRotationY(&ry, q);
    D3DXMatrixRotationZ(&rz, q);
    const D3DXVECTOR3 X(1, 0, 0), Y(0, 1, 0), Z(0, 0, 1);
    struct Case
    {
        const char* name;
        const D3DXMATRIX* m;
        D3DXVECTOR3 in, out;
    };
    const Case cases[] = {
        {"Y turns +z into +x", &ry, Z, X},  {"Y turns +x into -z", &ry, X, -Z}, {"Y keeps +y", &ry, Y, Y},
        {"X turns +y into +z", &rx, Y, Z},  {"X turns +z into -y", &rx, Z, -Y}, {"Z turns +x into +y", &rz, X, Y},
        {"Z turns +y into -x", &rz, Y, -X},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(Near(TransformCoord(c.in, *c.m), c.out));
        D3DXVECTOR3 n;
        D3DXVec3TransformNormal(&n, &c.in, c.m);
        EXPECT_TRUE(Near(n, c.out));
    }
    // The Direct3D row-vector layout of a Y rotation.
    const float c = std::cos(0.5f), s = std::sin(0.5f);
    D3DXMATRIX half;
    D3DXMatrixRotationY(&half, 0.5f);
    EXPECT_TRUE(Near(half, D3DXMATRIX(c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 0, 0, 0, 1)));
}

TEST(D3DXMath, AxisQuaternionAndYawPitchRollRotationsAgreeWithTheBasicOnes)
{
    const float angle = 0.83f;
    D3DXMATRIX basic[3];
    D3DXMatrixRotationX(&basic[0], angle);
    D3DXMatrixRotationY(&basic[1], angle);
    D3DXMatrixRotationZ(&basic[2], angle);
    // Axes of any length.
    const D3DXVECTOR3 axes[3] = {D3DXVECTOR3(3, 0, 0), D3DXVECTOR3(0, 0.25f, 0), D3DXVECTOR3(0, 0, 1)};
    for (int i = 0; i < 3; ++i)
    {
        SCOPED_TRACE(i);
        D3DXMATRIX m;
        D3DXMatrixRotationAxis(&m, &axes[i], angle);
        EXPECT_TRUE(Near(m, basic[i]));
        D3DXQUATERNION q;
        D3DXQuaternionRotationAxis(&q, &axes[i], angle);
        D3DXMatrixRotationQuaternion(&m, &q);
        EXPECT_TRUE(Near(m, basic[i]));
    }

    D3DXMATRIX ypr;
    D3DXMatrixRotationYawPitchRoll(&ypr, 0.4f, -1.2f, 2.5f);
    D3DXMATRIX rx, ry, rz;
    D3DXMatrixRotationX(&rx, -1.2f);
    D3DXMatrixRotationY(&ry, 0.4f);
    D3DXMatrixRotationZ(&rz, 2.5f);
    EXPECT_TRUE(Near(ypr, rz * rx * ry));
}

TEST(D3DXMath, AxisRotationOfTheSunAndMoonDirections)
{
    // The sky turns the sun's direction about a tilted axis; the closed forms
    // below are what its lighting expects at each time of day.
    const float r = 1.0f / std::sqrt(2.0f);
    D3DXVECTOR3 sunStart(0, 1, -1), sunAxis(0, 1, 1);
    D3DXVec3Normalize(&sunStart, &sunStart);
    D3DXVec3Normalize(&sunAxis, &sunAxis);
    for (float t : {0.0f, 0.4f, D3DX_PI / 2.0f, 2.5f, D3DX_PI, -1.0f})
    {
        SCOPED_TRACE(t);
        D3DXMATRIX m;
        D3DXVECTOR3 sun, moon;
        D3DXMatrixRotationAxis(&m, &sunAxis, t);
        D3DXVec3TransformNormal(&sun, &sunStart, &m);
        EXPECT_TRUE(Near(sun, D3DXVECTOR3(-std::sin(t), std::cos(t) * r, -std::cos(t) * r)));
        // The moon starts at the sun's axis and turns the other way about the sun's start.
        D3DXMatrixRotationAxis(&m, &sunStart, -t);
        D3DXVec3TransformNormal(&moon, &sunAxis, &m);
        EXPECT_TRUE(Near(moon, D3DXVECTOR3(-std::sin(t), std::cos(t) * r, std::cos(t) * r)));
    }
}

TEST(D3DXMath, QuaternionFromMatrixRoundTripsThroughEveryBranch)
{
    // Angles near 0 and near 180 degrees about each axis exercise each way of
    // picking the largest component.
    const D3DXVECTOR3 axes[] = {D3DXVECTOR3(1, 0, 0), D3DXVECTOR3(0, 1, 0), D3DXVECTOR3(0, 0, 1),
                                D3DXVECTOR3(1, -2, 0.5f)};
    const float angles[] = {0.3f, 2.0f, 3.1f, -3.0f};
    for (const D3DXVECTOR3& axis : axes)
    {
        for (float angle : angles)
        {
            SCOPED_TRACE(angle);
            D3DXMATRIX m, back;
            D3DXMatrixRotationAxis(&m, &axis, angle);
            D3DXQUATERNION q;
            D3DXQuaternionRotationMatrix(&q, &m);
            EXPECT_NEAR(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w, 1.0f, 1e-4f);
            D3DXMatrixRotationQuaternion(&back, &q);
            EXPECT_TRUE(Near(back, m));
        }
    }
}

TEST(D3DXMath, QuaternionMultiplyAndSlerp)
{
    D3DXVECTOR3 yAxis(0, 1, 0), xAxis(1, 0, 0);
    D3DXQUATERNION a, b, ab;
    D3DXQuaternionRotationAxis(&a, &yAxis, 0.6f);
    D3DXQuaternionRotationAxis(&b, &xAxis, -1.1f);
    // Same order as the matrices: a first, then b.
    D3DXQuaternionMultiply(&ab, &a, &b);
    D3DXMATRIX ma, mb, mab;
    D3DXMatrixRotationQuaternion(&ma, &a);
    D3DXMatrixRotationQuaternion(&mb, &b);
    D3DXMatrixRotationQuaternion(&mab, &ab);
    EXPECT_TRUE(Near(mab, ma * mb));
    D3DXQUATERNION viaOperator = a * b;
    D3DXMatrixRotationQuaternion(&mab, &viaOperator);
    EXPECT_TRUE(Near(mab, ma * mb));

    D3DXQUATERNION id, q90, mid;
    D3DXQuaternionIdentity(&id);
    D3DXQuaternionRotationAxis(&q90, &yAxis, D3DX_PI / 2.0f);
    D3DXMATRIX m, want;
    D3DXMatrixRotationY(&want, D3DX_PI / 4.0f);
    for (const D3DXQUATERNION& target : {q90, -q90})
    {
        // -q90 is the same rotation; the result must still take the short way.
        D3DXQuaternionSlerp(&mid, &id, &target, 0.5f);
        D3DXMatrixRotationQuaternion(&m, &mid);
        EXPECT_TRUE(Near(m, want));
    }
    D3DXQuaternionSlerp(&mid, &id, &q90, 0.0f);
    EXPECT_NEAR(mid.w, 1.0f, kEps);
    D3DXQuaternionSlerp(&mid, &id, &q90, 1.0f);
    EXPECT_NEAR(mid.y, q90.y, kEps);
    EXPECT_NEAR(mid.w, q90.w, kEps);
    // Identical inputs do not divide by sin(0).
    D3DXQuaternionSlerp(&mid, &q90, &q90, 0.3f);
    EXPECT_NEAR(mid.y, q90.y, kEps);
    EXPECT_FALSE(std::isnan(mid.w));

    D3DXQUATERNION zero(0, 0, 0, 0), n;
    D3DXQuaternionNormalize(&n, &zero);
    EXPECT_EQ(n, D3DXQUATERNION(0, 0, 0, 0));
    D3DXQUATERNION big(0, 3, 0, 4);
    D3DXQuaternionNormalize(&n, &big);
    EXPECT_NEAR(n.y, 0.6f, kEps);
    EXPECT_NEAR(n.w, 0.8f, kEps);
}

// ---------------------------------------------------------------------------
// Camera and projection.

TEST(D3DXMath, ViewAndPerspectivePutPointsInFrontAtDepthZeroToOne)
{
    D3DXVECTOR3 eye(0.0f, 2.0f, -10.0f), at(0.0f, 2.0f, 0.0f), up(0.0f, 1.0f, 0.0f);
    D3DXMATRIX view, proj;
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&proj, D3DX_PI / 3.0f, 640.0f / 480.0f, 1.0f, 100.0f);
    D3DVIEWPORT9 vp = {0, 0, 640, 480, 0.0f, 1.0f};

    // The eye sits at the view-space origin looking down +z.
    EXPECT_TRUE(Near(TransformCoord(eye, view), D3DXVECTOR3(0, 0, 0)));
    EXPECT_TRUE(Near(TransformCoord(at, view), D3DXVECTOR3(0, 0, 10)));

    struct Case
    {
        const char* name;
        D3DXVECTOR3 world;
        float x, y;    // expected screen position, < 0 to only check the sign
        float depth;   // < 0: only check 0 < depth < 1
    };
    const Case cases[] = {
        {"target", at, 320.0f, 240.0f, -1.0f},
        {"far along the axis", D3DXVECTOR3(0, 2, 50), 320.0f, 240.0f, -1.0f},
        {"near plane", D3DXVECTOR3(0, 2, -9), 320.0f, 240.0f, 0.0f},
        {"far plane", D3DXVECTOR3(0, 2, 90), 320.0f, 240.0f, 1.0f},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        D3DXVECTOR3 s;
        ASSERT_EQ(D3DXVec3Project(&s, &c.world, &vp, &proj, &view, nullptr), &s);
        EXPECT_NEAR(s.x, c.x, 1e-3f);
        EXPECT_NEAR(s.y, c.y, 1e-3f);
        if (c.depth < 0.0f)
        {
            EXPECT_GT(s.z, 0.0f);
            EXPECT_LT(s.z, 1.0f);
        }
        else
        {
            EXPECT_NEAR(s.z, c.depth, 1e-5f);
        }
    }

    // Screen y grows downwards and x to the right; depth grows with distance.
    D3DXVECTOR3 above(0, 4, 0), right(2, 2, 0), nearer(0, 2, -5), s1, s2, s3, s4;
    D3DXVec3Project(&s1, &above, &vp, &proj, &view, nullptr);
    D3DXVec3Project(&s2, &right, &vp, &proj, &view, nullptr);
    D3DXVec3Project(&s3, &nearer, &vp, &proj, &view, nullptr);
    D3DXVec3Project(&s4, &at, &vp, &proj, &view, nullptr);
    EXPECT_LT(s1.y, 240.0f);
    EXPECT_NEAR(s1.x, 320.0f, 1e-3f);
    EXPECT_GT(s2.x, 320.0f);
    EXPECT_NEAR(s2.y, 240.0f, 1e-3f);
    EXPECT_LT(s3.z, s4.z);

    // Top edge of the field of view lands on the top of the viewport.
    D3DXVECTOR3 topEdge(0.0f, 2.0f + 10.0f * std::tan(D3DX_PI / 6.0f), 0.0f);
    D3DXVec3Project(&s1, &topEdge, &vp, &proj, &view, nullptr);
    EXPECT_NEAR(s1.y, 0.0f, 1e-2f);
}

TEST(D3DXMath, UnprojectInvertsProject)
{
    D3DXMATRIX world = WorldMatrix(), view = ViewMatrix(), proj = ProjectionMatrix();
    D3DVIEWPORT9 viewports[] = {
        {0, 0, 800, 600, 0.0f, 1.0f},
        {100, 50, 320, 200, 0.25f, 0.75f},
    };
    const D3DXVECTOR3 points[] = {D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(-4, 3, 1), D3DXVECTOR3(7, -2, -5)};
    for (const D3DVIEWPORT9& vp : viewports)
    {
        for (const D3DXVECTOR3& p : points)
        {
            D3DXVECTOR3 screen, back;
            D3DXVec3Project(&screen, &p, &vp, &proj, &view, &world);
            EXPECT_GE(screen.z, vp.MinZ);
            EXPECT_LE(screen.z, vp.MaxZ);
            ASSERT_EQ(D3DXVec3Unproject(&back, &screen, &vp, &proj, &view, &world), &back);
            EXPECT_TRUE(Near(back, p, 2e-2f));
        }
    }
    // Null matrices count as the identity.
    D3DXVECTOR3 p(0.5f, -0.25f, 0.5f), s, back;
    D3DVIEWPORT9 vp = {0, 0, 200, 100, 0.0f, 1.0f};
    D3DXVec3Project(&s, &p, &vp, nullptr, nullptr, nullptr);
    EXPECT_TRUE(Near(s, D3DXVECTOR3(150.0f, 62.5f, 0.5f)));
    D3DXVec3Unproject(&back, &s, &vp, nullptr, nullptr, nullptr);
    EXPECT_TRUE(Near(back, p));
}

TEST(D3DXMath, UnprojectThroughASingularTransformFails)
{
    D3DXMATRIX flat;
    D3DXMatrixScaling(&flat, 1.0f, 1.0f, 0.0f);
    D3DVIEWPORT9 vp = {0, 0, 640, 480, 0.0f, 1.0f};
    D3DXVECTOR3 in(10, 20, 0.5f), out(7, 8, 9);
    EXPECT_EQ(D3DXVec3Unproject(&out, &in, &vp, nullptr, nullptr, &flat), nullptr);
    EXPECT_EQ(out, D3DXVECTOR3(7, 8, 9));
}

TEST(D3DXMath, OrthographicProjectionsMapTheirBoxOntoClipSpace)
{
    D3DXMATRIX m;
    // A pixel-space projection: (0,0) top left, (800,600) bottom right.
    D3DXMatrixOrthoOffCenterLH(&m, 0.0f, 800.0f, 600.0f, 0.0f, 0.0f, 1.0f);
    EXPECT_TRUE(Near(TransformCoord(D3DXVECTOR3(0, 0, 0), m), D3DXVECTOR3(-1, 1, 0)));
    EXPECT_TRUE(Near(TransformCoord(D3DXVECTOR3(800, 600, 1), m), D3DXVECTOR3(1, -1, 1)));
    EXPECT_TRUE(Near(TransformCoord(D3DXVECTOR3(400, 300, 0.5f), m), D3DXVECTOR3(0, 0, 0.5f)));

    D3DXMatrixOrthoLH(&m, 20.0f, 10.0f, 5.0f, 25.0f);
    EXPECT_TRUE(Near(TransformCoord(D3DXVECTOR3(-10, 5, 5), m), D3DXVECTOR3(-1, 1, 0)));
    EXPECT_TRUE(Near(TransformCoord(D3DXVECTOR3(10, -5, 25), m), D3DXVECTOR3(1, -1, 1)));
}

TEST(D3DXMath, TransformsOfPointsAndDirections)
{
    D3DXMATRIX t;
    D3DXMatrixTranslation(&t, 1, 2, 3);
    D3DXVECTOR3 v(4, 5, 6), n;
    D3DXVec3TransformNormal(&n, &v, &t);
    EXPECT_EQ(n, v);   // directions ignore translation
    EXPECT_TRUE(Near(TransformCoord(v, t), D3DXVECTOR3(5, 7, 9)));

    D3DXVECTOR4 h;
    D3DXMATRIX proj = ProjectionMatrix();
    D3DXVECTOR3 p(1, 2, 10);
    D3DXVec3Transform(&h, &p, &proj);
    EXPECT_NEAR(h.w, 10.0f, kEps);   // perspective keeps view depth in w
    EXPECT_TRUE(Near(TransformCoord(p, proj), D3DXVECTOR3(h.x / h.w, h.y / h.w, h.z / h.w)));
    D3DXVECTOR4 h2, p4(p, 1.0f);
    D3DXVec4Transform(&h2, &p4, &proj);
    EXPECT_EQ(h, h2);
    EXPECT_FLOAT_EQ(D3DXVec4Dot(&p4, &p4), 106.0f);

    // A point on the eye plane has w = 0: no infinities or NaN come out.
    D3DXVECTOR3 onEye(1, 1, 0);
    D3DXVECTOR3 r = TransformCoord(onEye, proj);
    EXPECT_TRUE(std::isfinite(r.x) && std::isfinite(r.y) && std::isfinite(r.z));
}

// ---------------------------------------------------------------------------
// Vectors.

TEST(D3DXMath, NormalizingAZeroVectorGivesZero)
{
    D3DXVECTOR3 zero(0, 0, 0), out(5, 5, 5);
    EXPECT_EQ(D3DXVec3Normalize(&out, &zero), &out);
    EXPECT_EQ(out, D3DXVECTOR3(0, 0, 0));
    D3DXVECTOR2 zero2(0, 0), out2(1, 1);
    D3DXVec2Normalize(&out2, &zero2);
    EXPECT_EQ(out2, D3DXVECTOR2(0, 0));

    D3DXVECTOR3 v(3, 0, -4);
    D3DXVec3Normalize(&v, &v);
    EXPECT_TRUE(Near(v, D3DXVECTOR3(0.6f, 0, -0.8f)));
    D3DXVECTOR2 v2(-5, 12);
    D3DXVec2Normalize(&v2, &v2);
    EXPECT_NEAR(D3DXVec2Length(&v2), 1.0f, kEps);
    EXPECT_NEAR(v2.y, 12.0f / 13.0f, kEps);
}

TEST(D3DXMath, VectorArithmetic)
{
    D3DXVECTOR3 a(1, 2, 3), b(-4, 0.5f, 2), r;
    EXPECT_FLOAT_EQ(D3DXVec3Dot(&a, &b), 3.0f);
    EXPECT_FLOAT_EQ(D3DXVec3LengthSq(&a), 14.0f);
    EXPECT_FLOAT_EQ(D3DXVec3Length(&a), std::sqrt(14.0f));
    D3DXVec3Cross(&r, &a, &b);
    EXPECT_TRUE(Near(r, D3DXVECTOR3(2.5f, -14.0f, 8.5f)));
    EXPECT_NEAR(D3DXVec3Dot(&r, &a), 0.0f, kEps);
    D3DXVec3Lerp(&r, &a, &b, 0.25f);
    EXPECT_TRUE(Near(r, D3DXVECTOR3(-0.25f, 1.625f, 2.75f)));
    D3DXVec3Minimize(&r, &a, &b);
    EXPECT_EQ(r, D3DXVECTOR3(-4, 0.5f, 2));
    D3DXVec3Maximize(&r, &a, &b);
    EXPECT_EQ(r, D3DXVECTOR3(1, 2, 3));
    D3DXVec3Add(&r, &a, &b);
    EXPECT_EQ(r, a + b);
    D3DXVec3Subtract(&r, &a, &b);
    EXPECT_EQ(r, D3DXVECTOR3(5, 1.5f, 1));
    D3DXVec3Scale(&r, &a, 2.0f);
    EXPECT_EQ(r, 2.0f * a);
    EXPECT_EQ(r / 2.0f, a);
    r = a;
    r += b;
    r -= a;
    EXPECT_EQ(r, b);
    r *= 4.0f;
    r /= 2.0f;
    EXPECT_EQ(r, b * 2.0f);
    EXPECT_EQ(-a, D3DXVECTOR3(-1, -2, -3));
    EXPECT_NE(a, b);
    const float* f = a;
    EXPECT_EQ(f[2], 3.0f);

    D3DXVECTOR2 p(3, 4), q(1, -1);
    EXPECT_FLOAT_EQ(D3DXVec2Length(&p), 5.0f);
    EXPECT_FLOAT_EQ(D3DXVec2Dot(&p, &q), -1.0f);
    EXPECT_EQ(p - q, D3DXVECTOR2(2, 5));
}

// ---------------------------------------------------------------------------
// Planes.

TEST(D3DXMath, PlaneFromPointsAndSignedDistances)
{
    // Wound so that (v2 - v1) x (v3 - v1) points up.
    D3DXVECTOR3 v1(0, 1, 0), v2(0, 1, 1), v3(1, 1, 0);
    D3DXPLANE p;
    ASSERT_EQ(D3DXPlaneFromPoints(&p, &v1, &v2, &v3), &p);
    EXPECT_NEAR(p.a, 0.0f, kEps);
    EXPECT_NEAR(p.b, 1.0f, kEps);
    EXPECT_NEAR(p.c, 0.0f, kEps);
    EXPECT_NEAR(p.d, -1.0f, kEps);

    struct Case
    {
        D3DXVECTOR3 point;
        float distance;
    };
    const Case cases[] = {
        {D3DXVECTOR3(5, 6, -3), 5.0f},
        {D3DXVECTOR3(0, -2, 0), -3.0f},
        {D3DXVECTOR3(100, 1, 100), 0.0f},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(D3DXPlaneDotCoord(&p, &c.point), c.distance, kEps);

    // The opposite winding flips the sign.
    D3DXPLANE flipped;
    D3DXPlaneFromPoints(&flipped, &v1, &v3, &v2);
    EXPECT_NEAR(D3DXPlaneDotCoord(&flipped, &cases[0].point), -5.0f, kEps);

    // Same plane from a point and an (unnormalized) normal.
    D3DXVECTOR3 normal(0, 2, 0);
    D3DXPLANE q;
    D3DXPlaneFromPointNormal(&q, &v1, &normal);
    EXPECT_EQ(q, D3DXPLANE(0, 2, 0, -2));
    D3DXPlaneNormalize(&q, &q);
    EXPECT_NEAR(q.b, 1.0f, kEps);
    EXPECT_NEAR(q.d, -1.0f, kEps);
    EXPECT_NEAR(D3DXPlaneDotNormal(&q, &cases[0].point), 6.0f, kEps);
    D3DXVECTOR4 h(cases[0].point, 0.5f);
    EXPECT_NEAR(D3DXPlaneDot(&q, &h), 5.5f, kEps);
}

TEST(D3DXMath, DegeneratePlanesStayFinite)
{
    D3DXVECTOR3 a(1, 1, 1), b(2, 2, 2), c(3, 3, 3);
    D3DXPLANE p;
    D3DXPlaneFromPoints(&p, &a, &b, &c);
    EXPECT_EQ(p, D3DXPLANE(0, 0, 0, 0));
    D3DXPLANE zero(0, 0, 0, 0), n(1, 1, 1, 1);
    D3DXPlaneNormalize(&n, &zero);
    EXPECT_EQ(n, D3DXPLANE(0, 0, 0, 0));
}

TEST(D3DXMath, PlaneLineIntersectionReflectionAndTransform)
{
    D3DXPLANE ground(0, 1, 0, -1);   // y = 1
    D3DXVECTOR3 a(2, 5, 0), b(2, 3, 4), hit(9, 9, 9);
    ASSERT_EQ(D3DXPlaneIntersectLine(&hit, &ground, &a, &b), &hit);
    EXPECT_TRUE(Near(hit, D3DXVECTOR3(2, 1, 8)));   // beyond b: the line is unbounded
    D3DXVECTOR3 c(0, 3, 0), d(5, 3, 5);
    EXPECT_EQ(D3DXPlaneIntersectLine(&hit, &ground, &c, &d), nullptr);

    D3DXMATRIX mirror;
    D3DXPLANE unnormalized(0, 2, 0, -2);
    D3DXMatrixReflect(&mirror, &unnormalized);
    EXPECT_TRUE(Near(TransformCoord(D3DXVECTOR3(3, 4, -1), mirror), D3DXVECTOR3(3, -2, -1)));

    // Moving the plane up by 3 takes the inverse transpose of the move.
    D3DXMATRIX t, it;
    D3DXMatrixTranslation(&t, 0, 3, 0);
    D3DXMatrixInverse(&it, nullptr, &t);
    D3DXMatrixTranspose(&it, &it);
    D3DXPLANE moved;
    D3DXPlaneTransform(&moved, &ground, &it);
    D3DXVECTOR3 onMoved(7, 4, -2), below(0, 0, 0);
    EXPECT_NEAR(D3DXPlaneDotCoord(&moved, &onMoved), 0.0f, kEps);
    EXPECT_NEAR(D3DXPlaneDotCoord(&moved, &below), -4.0f, kEps);
}

// ---------------------------------------------------------------------------
// Ray probes.

TEST(D3DXMath, BoxBoundProbe)
{
    const D3DXVECTOR3 lo(-1, -1, -1), hi(1, 2, 3);
    struct Case
    {
        const char* name;
        D3DXVECTOR3 pos, dir;
        BOOL hit;
    };
    const Case cases[] = {
        {"straight at it", D3DXVECTOR3(0, 0, -10), D3DXVECTOR3(0, 0, 1), TRUE},
        {"pointing away", D3DXVECTOR3(0, 0, -10), D3DXVECTOR3(0, 0, -1), FALSE},
        {"passing beside", D3DXVECTOR3(5, 0, -10), D3DXVECTOR3(0, 0, 1), FALSE},
        {"parallel inside the slab", D3DXVECTOR3(0.5f, 1.5f, -10), D3DXVECTOR3(0, 0, 7), TRUE},
        {"diagonal hit, long direction", D3DXVECTOR3(-5, -5, -5), D3DXVECTOR3(50, 50, 50), TRUE},
        {"diagonal miss", D3DXVECTOR3(-5, -5, -5), D3DXVECTOR3(1, 0.1f, 1), FALSE},
        {"starting inside", D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0, -1, 0), TRUE},
        {"grazing an edge", D3DXVECTOR3(1, -5, 0), D3DXVECTOR3(0, 1, 0), TRUE},
        {"behind the ray start", D3DXVECTOR3(0, 0, 5), D3DXVECTOR3(0, 0, 1), FALSE},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(D3DXBoxBoundProbe(&lo, &hi, &c.pos, &c.dir), c.hit);
    }
}

TEST(D3DXMath, SphereBoundProbe)
{
    const D3DXVECTOR3 center(10, 0, 0);
    struct Case
    {
        const char* name;
        D3DXVECTOR3 pos, dir;
        BOOL hit;
    };
    const Case cases[] = {
        {"straight at it", D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(1, 0, 0), TRUE},
        {"pointing away", D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(-1, 0, 0), FALSE},
        {"passing just inside", D3DXVECTOR3(0, 1.9f, 0), D3DXVECTOR3(3, 0, 0), TRUE},
        {"passing just outside", D3DXVECTOR3(0, 2.1f, 0), D3DXVECTOR3(3, 0, 0), FALSE},
        {"starting inside", D3DXVECTOR3(10.5f, 0, 0), D3DXVECTOR3(0, 0, -1), TRUE},
        {"zero direction outside", D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0, 0, 0), FALSE},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(D3DXSphereBoundProbe(&center, 2.0f, &c.pos, &c.dir), c.hit);
    }
}

// ---------------------------------------------------------------------------
// Colours.

TEST(D3DXMath, ColourPacking)
{
    EXPECT_EQ(D3DCOLOR_ARGB(0x12, 0x34, 0x56, 0x78), 0x12345678u);
    EXPECT_EQ(D3DCOLOR_RGBA(0x34, 0x56, 0x78, 0x12), 0x12345678u);
    EXPECT_EQ(D3DCOLOR_XRGB(0x34, 0x56, 0x78), 0xFF345678u);
    EXPECT_EQ(D3DCOLOR_COLORVALUE(1.0f, 0.5f, 0.0f, 1.0f), 0xFFFF7F00u);

    D3DXCOLOR c(D3DCOLOR(0x80FF4000));
    EXPECT_NEAR(c.a, 128.0f / 255.0f, 1e-6f);
    EXPECT_FLOAT_EQ(c.r, 1.0f);
    EXPECT_NEAR(c.g, 64.0f / 255.0f, 1e-6f);
    EXPECT_FLOAT_EQ(c.b, 0.0f);

    // Every byte value survives DWORD -> float -> DWORD in every channel.
    for (DWORD v = 0; v < 256; ++v)
    {
        D3DCOLOR packed = D3DCOLOR_ARGB(v, 255 - v, v ^ 0x5A, (v * 7) & 0xff);
        EXPECT_EQ((D3DCOLOR)D3DXCOLOR(packed), packed) << v;
    }

    struct Case
    {
        const char* name;
        D3DXCOLOR colour;
        D3DCOLOR packed;
    };
    const Case cases[] = {
        {"clamped above one and below zero", D3DXCOLOR(1.5f, -0.2f, 0.5f, 2.0f), 0xFFFF007Fu},
        {"truncated, not rounded", D3DXCOLOR(0.999f, 0.003f, 0.5f, 0.0f), 0x00FE007Fu},
        {"NaN counts as zero", D3DXCOLOR(NAN, 1.0f, 0.0f, 1.0f), 0xFF00FF00u},
    };
    for (const Case& k : cases)
    {
        SCOPED_TRACE(k.name);
        EXPECT_EQ((D3DCOLOR)k.colour, k.packed);
    }

    D3DCOLORVALUE cv = D3DXCOLOR(0.1f, 0.2f, 0.3f, 0.4f);
    EXPECT_FLOAT_EQ(cv.g, 0.2f);
    EXPECT_FLOAT_EQ(cv.a, 0.4f);
    EXPECT_EQ(D3DXCOLOR(cv), D3DXCOLOR(0.1f, 0.2f, 0.3f, 0.4f));
}

TEST(D3DXMath, ColourArithmetic)
{
    D3DXCOLOR black(0, 0, 0, 1), white(1, 1, 1, 0), out;
    D3DXColorLerp(&out, &black, &white, 0.25f);
    EXPECT_EQ(out, D3DXCOLOR(0.25f, 0.25f, 0.25f, 0.75f));
    D3DXCOLOR a(0.5f, 1.0f, 0.25f, 1.0f), b(0.5f, 0.5f, 4.0f, 0.0f);
    D3DXColorModulate(&out, &a, &b);
    EXPECT_EQ(out, D3DXCOLOR(0.25f, 0.5f, 1.0f, 0.0f));
    D3DXColorScale(&out, &a, 2.0f);
    EXPECT_EQ(out, D3DXCOLOR(1.0f, 2.0f, 0.5f, 2.0f));
    EXPECT_EQ(a + b, D3DXCOLOR(1.0f, 1.5f, 4.25f, 1.0f));
    EXPECT_EQ(a - b, D3DXCOLOR(0.0f, 0.5f, -3.75f, 1.0f));
    EXPECT_EQ(a * 2.0f, out);
    EXPECT_EQ(out / 2.0f, a);
}

TEST(D3DXMath, AngleConversions)
{
    EXPECT_NEAR(D3DXToRadian(180.0f), D3DX_PI, 1e-6f);
    EXPECT_NEAR(D3DXToDegree(D3DX_PI / 2.0f), 90.0f, 1e-4f);
}
