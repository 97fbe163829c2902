#include "common/MathUtil.h"

#include <gtest/gtest.h>

#include <cstring>

namespace
{
void ExpectVec(const D3DXVECTOR3& v, float x, float y, float z, const char* what = "")
{
    EXPECT_NEAR(v.x, x, 1e-5f) << what;
    EXPECT_NEAR(v.y, y, 1e-5f) << what;
    EXPECT_NEAR(v.z, z, 1e-5f) << what;
}

void ExpectColor(const D3DXCOLOR& c, float r, float g, float b, float a, const char* what = "")
{
    EXPECT_NEAR(c.r, r, 1e-6f) << what;
    EXPECT_NEAR(c.g, g, 1e-6f) << what;
    EXPECT_NEAR(c.b, b, 1e-6f) << what;
    EXPECT_NEAR(c.a, a, 1e-6f) << what;
}

D3DXMATRIX Translation(float x, float y, float z)
{
    D3DXMATRIX m;   // zero matrix
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            m.m[r][c] = 0.0f;
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    m._41 = x;
    m._42 = y;
    m._43 = z;
    return m;
}

TEST(MathUtilTest, LengthsAndNormalizeOfZero)
{
    EXPECT_FLOAT_EQ(VecLength(D3DXVECTOR3(3, 4, 12)), 13.0f);
    EXPECT_FLOAT_EQ(VecDistance(D3DXVECTOR3(1, 1, 1), D3DXVECTOR3(4, 5, 1)), 5.0f);
    D3DXVECTOR3 n(9, 9, 9);
    VecNormalize(n, D3DXVECTOR3(0, 0, 0));
    ExpectVec(n, 0, 0, 0, "zero stays zero");
    VecNormalize(n, D3DXVECTOR3(0, -5, 0));
    ExpectVec(n, 0, -1, 0);
    D3DXVECTOR3 v(3, 0, 4);
    VecNormalize(v, v);   // in place
    ExpectVec(v, 0.6f, 0, 0.8f);
}

TEST(MathUtilTest, CrossNormalIsNegatedAndNotRenormalised)
{
    D3DXVECTOR3 out;
    VecCrossNormal(out, D3DXVECTOR3(1, 0, 0), D3DXVECTOR3(5, 0, 0), D3DXVECTOR3(0, 2, 0));
    ExpectVec(out, 0, 0, -2, "d = (1,0,0); -(d x (0,2,0))");
    VecCrossNormal(out, D3DXVECTOR3(1, 1, 1), D3DXVECTOR3(1, 1, 1), D3DXVECTOR3(0, 1, 0));
    ExpectVec(out, 0, 0, 0, "a == b");
}

TEST(MathUtilTest, MatrixFromPositionTargetAndUp)
{
    D3DXMATRIX m;
    MatrixFromPosTargetUp(m, D3DXVECTOR3(1, 2, 3), D3DXVECTOR3(1, 2, 13), D3DXVECTOR3(0, 5, 0));
    const float expected[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {1, 2, 3, 1}};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(m.m[r][c], expected[r][c], 1e-6f) << r << "," << c;

    // A tilted up vector: up is rebuilt square to forward, rows unit length.
    MatrixFromPosTargetUp(m, D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(10, 0, 0), D3DXVECTOR3(1, 1, 0));
    ExpectVec(D3DXVECTOR3(m._11, m._12, m._13), 0, 0, -1, "side");
    ExpectVec(D3DXVECTOR3(m._21, m._22, m._23), 0, 1, 0, "up");
    ExpectVec(D3DXVECTOR3(m._31, m._32, m._33), 1, 0, 0, "forward");
    EXPECT_EQ(m._14, 0.0f);
    EXPECT_EQ(m._24, 0.0f);
    EXPECT_EQ(m._34, 0.0f);
}

TEST(MathUtilTest, BoxCornersInOrderWithAReusedCache)
{
    D3DXVECTOR3* cache = nullptr;
    D3DXVECTOR3* corners = GetBoxCorners(&cache, D3DXVECTOR3(1, 2, 3), D3DXVECTOR3(10, 20, 30), Translation(100, 0, 0));
    ASSERT_NE(cache, nullptr);
    EXPECT_EQ(corners, cache);
    const float expected[8][3] = {{101, 2, 3},  {101, 2, 33},  {111, 2, 3},  {111, 2, 33},
                                  {101, 22, 3}, {101, 22, 33}, {111, 22, 3}, {111, 22, 33}};
    for (int i = 0; i < 8; ++i)
        ExpectVec(cache[i], expected[i][0], expected[i][1], expected[i][2]);

    // The second call writes into the same array; w is divided out.
    D3DXVECTOR3* first = cache;
    D3DXMATRIX halve = Translation(0, 0, 0);
    halve._44 = 2.0f;
    GetBoxCorners(&cache, D3DXVECTOR3(2, 4, 6), D3DXVECTOR3(2, 2, 2), halve);
    EXPECT_EQ(cache, first);
    ExpectVec(cache[0], 1, 2, 3);
    ExpectVec(cache[7], 2, 3, 4);
    delete[] cache;
}

TEST(MathUtilTest, ColourRoutines)
{
    D3DXCOLOR out;
    ColorNormalize(out, D3DXCOLOR(0.5f, 0.25f, 0.0f, 0.3f));
    ExpectColor(out, 1.0f, 0.5f, 0.0f, 1.0f, "normalize");
    ColorNormalize(out, D3DXCOLOR(0, 0, 0, 0.5f));
    ExpectColor(out, 0, 0, 0, 1, "black stays black");

    struct Case
    {
        D3DXCOLOR in;
        float limit;
        D3DXCOLOR expected;
    } cases[] = {
        {{2, 1, 0.5f, 1}, 1, {1, 0.5f, 0.25f, 0.5f}},   // alpha scaled too
        {{0.5f, 0.2f, 0.1f, 0.7f}, 1, {0.5f, 0.2f, 0.1f, 0.7f}},
        {{1, 1, 1, 1}, 1, {1, 1, 1, 1}},   // at the limit: copied
        {{0.2f, 0.9f, 0.3f, 1}, 0.45f, {0.1f, 0.45f, 0.15f, 0.5f}},
    };
    for (const Case& c : cases)
    {
        ColorLimit(out, c.in, c.limit);
        ExpectColor(out, c.expected.r, c.expected.g, c.expected.b, c.expected.a, "limit");
    }
    EXPECT_FLOAT_EQ(ColorBrightness(D3DXCOLOR(0.3f, 0.6f, 0.9f, 0)), 1.8f * 0.33333334f);
}

TEST(MathUtilTest, StringRoutines)
{
    char path[] = "Data\\Landscape\\Area01/HeightMap.dat";
    EXPECT_EQ(PathToSlashes(path), (int)strlen("Data/Landscape/Area01/HeightMap.dat"));
    EXPECT_STREQ(path, "Data/Landscape/Area01/HeightMap.dat");

    struct Case
    {
        const char* a;
        const char* b;
        int equal;
    } cases[] = {
        {"GTYPE_TREE", "GTYPE_TREE", 1},
        {"GTYPE_TREE", "GTYPE_TREE ", 0},
        {"GTYPE_TREE", "gtype_tree", 0},
        {"", "", 1},
        {"A", "", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StrEqual(c.a, c.b), c.equal) << "'" << c.a << "' '" << c.b << "'";
}
}   // namespace
