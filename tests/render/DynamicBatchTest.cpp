// The dynamic batch on the recording device: adds are refused at the vertex
// and at the index limit and while the batch is closed, indices are rebased
// onto the vertices already there, and everything is drawn with one call.
#include <gtest/gtest.h>

#include <vector>

#include "platform/d3d/D3D9Backend.h"
#include "render/BatchVertex.h"
#include "tests/render/RenderTestSupport.h"

using namespace render_test;

namespace
{

class DynamicBatchDemoDataTest : public RenderFixture
{
protected:
    void SetUp() override
    {
        RenderFixture::SetUp();
        UseDemoData(true);
        StartDevice();
        ASSERT_NE(g_Render.batchVB, nullptr);
    }

    // Adds `quads` quads of 4 vertices and 6 indices.
    void AddQuads(int quads)
    {
        const std::vector<BatchVertex> v(4, BatchVertex{});
        const uint16_t i[6] = {0, 1, 2, 0, 2, 3};
        for (int q = 0; q < quads; ++q)
            g_Render.AddToBatch(v.data(), i, 4, 6);
    }
};

TEST_F(DynamicBatchDemoDataTest, RefusesAnAddThatWouldReachTheVertexLimit)
{
    struct Case
    {
        int quads, triangles;   // fill before the last add
        bool accepted;
    } cases[] = {{1249, 0, false} /* 4996 + 4 = 5000 */, {1248, 1, true} /* 4995 + 4 = 4999 */};
    for (const Case& c : cases)
    {
        g_Render.BeginBatch();
        AddQuads(c.quads);
        const std::vector<BatchVertex> v(3, BatchVertex{});
        const uint16_t tri[3] = {0, 1, 2};
        for (int t = 0; t < c.triangles; ++t)
            g_Render.AddToBatch(v.data(), tri, 3, 3);
        const int before = g_Render.batchVertexCount;
        AddQuads(1);
        EXPECT_EQ(g_Render.batchVertexCount, before + (c.accepted ? 4 : 0)) << c.quads;
        g_Render.EndBatch();
    }
}

TEST_F(DynamicBatchDemoDataTest, RefusesAnAddThatWouldPassTheIndexBuffer)
{
    g_Render.BeginBatch();
    const std::vector<BatchVertex> v(4, BatchVertex{});
    std::vector<uint16_t> many(BATCH_MAX_INDICES - 3, 0);
    g_Render.AddToBatch(v.data(), many.data(), 4, unsigned(many.size()));
    ASSERT_EQ(g_Render.batchIndexCount, int(BATCH_MAX_INDICES) - 3);
    const uint16_t six[6] = {0, 1, 2, 0, 2, 3};
    g_Render.AddToBatch(v.data(), six, 4, 6);   // 7497 + 6 would pass 7500
    EXPECT_EQ(g_Render.batchIndexCount, int(BATCH_MAX_INDICES) - 3);
    EXPECT_EQ(g_Render.batchVertexCount, 4);
    g_Render.AddToBatch(v.data(), six, 4, 3);   // exactly to the end
    EXPECT_EQ(g_Render.batchIndexCount, int(BATCH_MAX_INDICES));
    g_Render.EndBatch();
}

TEST_F(DynamicBatchDemoDataTest, IndicesAreRebasedOntoTheVerticesAlreadyThere)
{
    g_Render.BeginBatch();
    AddQuads(2);
    const uint16_t* indices = static_cast<const uint16_t*>(g_Render.batchIndices);
    ASSERT_NE(indices, nullptr);
    EXPECT_EQ(std::vector<uint16_t>(indices, indices + 12),
              (std::vector<uint16_t>{0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7}));
    g_Render.EndBatch();
    EXPECT_EQ(g_Render.batchVertices, nullptr);
    EXPECT_EQ(g_Render.batchVertexCount, 8);

    // Closed: nothing is added until the next BeginBatch.
    AddQuads(1);
    EXPECT_EQ(g_Render.batchVertexCount, 8);
    g_Render.BeginBatch();
    EXPECT_EQ(g_Render.batchVertexCount, 0);
    g_Render.EndBatch();
}

TEST_F(DynamicBatchDemoDataTest, DrawsEverythingWithOneAdditiveCallAndCountsTheFaces)
{
    g_Render.BeginBatch();
    AddQuads(3);
    g_Render.EndBatch();
    D3DClearRecordedCalls();
    const int faces = g_Render.mainFaces;
    g_Render.RenderBatch();
    EXPECT_EQ(CountCalls("DrawIndexedPrimitive("), 1u);
    EXPECT_EQ(CountCalls("DrawIndexedPrimitive(TRIANGLELIST, 0, 0, 12, 0, 6)"), 1u);
    EXPECT_EQ(CountCalls("Effect.SetTechnique(techDirectVertex)"), 1u);
    EXPECT_EQ(g_Render.srcBlend, D3DBLEND_ONE);
    EXPECT_EQ(g_Render.destBlend, D3DBLEND_ONE);
    EXPECT_EQ(g_Render.zWrite, 0);
    EXPECT_EQ(g_Render.cullMode, g_Render.savedCullMode);
    EXPECT_EQ(g_Render.mainFaces, faces + 6);

    // Without vertex shader 1.1 nothing is drawn and nothing counted.
    g_Render.vs11 = 0;
    D3DClearRecordedCalls();
    g_Render.RenderBatch();
    EXPECT_EQ(CountCalls("DrawIndexedPrimitive("), 0u);
    EXPECT_EQ(g_Render.mainFaces, faces + 6);
}

TEST(BatchColourTest, ClampsEachChannelInsteadOfWrapping)
{
    EXPECT_EQ(BatchColour(2.0f, 0.5f, -1.0f, 1.0f), 0xFFFF7F00u);
    EXPECT_EQ(BatchColour(1.0f, 1.0f, 1.0f, 1.0f), 0xFFFFFFFFu);
    EXPECT_EQ(BatchColour(0.0f, 0.0f, 0.0f, 0.0f), 0u);
}

}   // namespace
