// Water cells of a land part: which terrain cells reach the water, and their
// triangles on the terrain's vertex grid.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "world/Water.h"

namespace
{

// A 4 x 4 grid in 2 x 2 parts of 2 cells, all above the water at 10.
struct Heights
{
    Heights() { std::fill(&h[0][0], &h[0][0] + 16, 20.0f); }
    float h[4][4];
};

TEST(WaterTest, CellsWithAnyCornerAtOrBelowTheWaterAreListed)
{
    Heights g;
    std::vector<uint16_t> out;
    BuildWaterCellIndices(&g.h[0][0], 4, 4, 2, 0, 0, 10.0f, &out);
    EXPECT_TRUE(out.empty());   // all above: no water buffers for the part

    // One corner under the water: the four cells around it reach it.
    g.h[1][1] = 9.0f;
    BuildWaterCellIndices(&g.h[0][0], 4, 4, 2, 0, 0, 10.0f, &out);
    ASSERT_EQ(out.size(), 4u * 6u);
    // Cell (0, 0) of the part: two triangles on a grid of 5 vertices a row.
    EXPECT_EQ(out,
              (std::vector<uint16_t>{0, 5, 1, 1, 5, 6, 1, 6, 2, 2, 6, 7, 5, 10, 6, 6, 10, 11, 6, 11, 7, 7, 11, 12}));
    // The next part starts at column 2: its cells do not reach that corner.
    BuildWaterCellIndices(&g.h[0][0], 4, 4, 2, 1, 0, 10.0f, &out);
    EXPECT_TRUE(out.empty());

    // On the water exactly counts; the last row and column take the border
    // samples.
    Heights e;
    e.h[3][3] = 10.0f;
    BuildWaterCellIndices(&e.h[0][0], 4, 4, 2, 1, 1, 10.0f, &out);
    EXPECT_EQ(out.size(), 4u * 6u);   // every cell of the corner part reaches row and column 3
}

}   // namespace
