// Occlusion by buildings: the silhouette edge list, the planes of a box
// occluder, and which boxes and spheres they hide.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "scene/Occlusion.h"
#include "tools/MeshWriter.h"
#include "tools/ShapeBuilder.h"

namespace
{

// The occluder slot of a box as the generator writes it, in world space.
struct BoxOccluder
{
    BoxOccluder(Vec3f lo, Vec3f hi)
    {
        const MeshSlot slot = SolidSlot(BoxSolid(lo, hi));
        for (const MeshVertex& v : slot.parts[0].vertices)
            points.push_back(D3DXVECTOR3(v.pos[0], v.pos[1], v.pos[2]));
        indices = slot.indices;
    }
    int Build(const D3DXVECTOR3& eye, const float centre[3]) const
    {
        return BuildOccluderPlanes(points.data(), (int)points.size(), indices.data(), (int)indices.size(), eye, centre);
    }
    std::vector<D3DXVECTOR3> points;
    std::vector<uint16_t> indices;
};

const float kCentre[3] = {0.0f, 0.0f, 0.0f};

TEST(OcclusionTest, ToggleEdgeAddsAndRemovesEitherDirection)
{
    uint16_t edges[3][2];
    int count = 0;
    EXPECT_EQ(ToggleEdge(edges, &count, 3, 1, 2), 1);
    EXPECT_EQ(ToggleEdge(edges, &count, 3, 2, 3), 1);
    EXPECT_EQ(ToggleEdge(edges, &count, 3, 3, 4), 1);
    ASSERT_EQ(count, 3);
    // Removing the first moves the last into its place.
    EXPECT_EQ(ToggleEdge(edges, &count, 3, 2, 1), 1);
    ASSERT_EQ(count, 2);
    EXPECT_EQ(edges[0][0], 3);
    EXPECT_EQ(edges[0][1], 4);
    EXPECT_EQ(ToggleEdge(edges, &count, 3, 5, 6), 1);
    // Full: a new edge is refused, a listed one still goes.
    EXPECT_EQ(ToggleEdge(edges, &count, 3, 7, 8), 0);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(ToggleEdge(edges, &count, 3, 6, 5), 1);
    EXPECT_EQ(count, 2);
}

TEST(OcclusionTest, BoxSeenFromOutsideGivesFiveOrSevenPlanes)
{
    const BoxOccluder box({-1, -1, -1}, {1, 1, 1});
    struct Case
    {
        D3DXVECTOR3 eye;
        int planes;
    };
    const Case cases[] = {
        {D3DXVECTOR3(0, 0, -10), 5},     // one face: 4 edges
        {D3DXVECTOR3(10, 0, -10), 7},    // two faces: 6 edges
        {D3DXVECTOR3(10, 10, -10), 7},   // three faces: 6 edges
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.planes);
        EXPECT_EQ(box.Build(c.eye, kCentre), c.planes);
        EXPECT_EQ(g_OccluderPlaneCount, c.planes);
    }
}

TEST(OcclusionTest, HidesOnlyWhatLiesWhollyBehindTheOutline)
{
    const BoxOccluder box({-2, 0, -2}, {2, 4, 2});
    const float centre[3] = {0, 2, 0};
    ASSERT_EQ(box.Build(D3DXVECTOR3(0, 2, -20), centre), 5);
    struct Case
    {
        float x, y, z, radius;
        int hidden;
    };
    const Case spheres[] = {
        {0, 2, 10, 0.5f, 1},      // behind, small
        {0, 2, 10, 3.6f, 0},      // behind but wider than the shadow of the box
        {0, 2, -10, 0.5f, 0},     // in front
        {6, 2, 10, 0.5f, 0},      // beside
        {0, 2, 1, 0.5f, 1},       // just beyond the centre plane, inside the outline
        {0, 2, -0.2f, 0.5f, 0},   // nearer than the centre: the last plane keeps it
    };
    for (const Case& s : spheres)
    {
        SCOPED_TRACE(testing::Message() << s.x << " " << s.y << " " << s.z << " r " << s.radius);
        const float c[3] = {s.x, s.y, s.z};
        EXPECT_EQ(IsSphereOccluded(c, s.radius), s.hidden);
    }
}

TEST(OcclusionTest, BoxNeedsAllEightCornersInside)
{
    const BoxOccluder box({-2, 0, -2}, {2, 4, 2});
    const float centre[3] = {0, 2, 0};
    ASSERT_GT(box.Build(D3DXVECTOR3(0, 2, -20), centre), 0);
    float points[8][3];
    auto fill = [&](float x0, float x1, float y0, float y1, float z0, float z1) {
        for (int k = 0; k < 8; ++k)
        {
            points[k][0] = k & 1 ? x1 : x0;
            points[k][1] = k & 2 ? y1 : y0;
            points[k][2] = k & 4 ? z1 : z0;
        }
    };
    fill(-1, 1, 1, 3, 8, 12);
    EXPECT_EQ(IsBoxOccluded(points), 1);
    // One corner pokes out above the outline.
    points[7][1] = 9.0f;
    EXPECT_EQ(IsBoxOccluded(points), 0);
    EXPECT_EQ(IsBoxOccluded(nullptr), 0);
    // Without planes nothing is hidden.
    fill(-1, 1, 1, 3, 8, 12);
    g_OccluderPlaneCount = 0;
    EXPECT_EQ(IsBoxOccluded(points), 0);
}

TEST(OcclusionTest, AnOutlineBeyondTheTablesMakesNoOccluder)
{
    // A flat fan facing the eye: n triangles have an outline of n + 2 edges
    // (the rim and the two outer spokes), so n + 3 planes.
    std::vector<D3DXVECTOR3> points;
    points.push_back(D3DXVECTOR3(0, 0, 0));
    for (int k = 0; k <= 120; ++k)
        points.push_back(D3DXVECTOR3(std::cos(k * 0.05f), std::sin(k * 0.05f), 0.0f));
    const D3DXVECTOR3 eye(0, 0, -10);
    // The winding that faces the eye: a lone triangle gives its three edges.
    uint16_t one[3] = {0, 2, 1};
    if (BuildOccluderPlanes(points.data(), (int)points.size(), one, 3, eye, kCentre) == 0)
        std::swap(one[1], one[2]);
    ASSERT_EQ(BuildOccluderPlanes(points.data(), (int)points.size(), one, 3, eye, kCentre), 4);
    const bool swapped = one[1] == 1;
    auto fan = [&](int n) {
        std::vector<uint16_t> indices;
        for (int k = 1; k <= n; ++k)
        {
            indices.push_back(0);
            indices.push_back((uint16_t)(swapped ? k : k + 1));
            indices.push_back((uint16_t)(swapped ? k + 1 : k));
        }
        return BuildOccluderPlanes(points.data(), (int)points.size(), indices.data(), (int)indices.size(), eye,
                                   kCentre);
    };
    EXPECT_EQ(fan(20), 23);
    // Exactly the table's 100 planes, then one more than it holds.
    EXPECT_EQ(fan(97), 100);
    EXPECT_EQ(fan(98), 0);
    EXPECT_EQ(g_OccluderPlaneCount, 0);
    EXPECT_EQ(fan(120), 0);
}

}   // namespace
