// The land part's side of the nature placement: what each cell of the place
// map grows, placed from the part's own seed so that the same area data
// gives the same scenery on every load.
#include <cstring>

#include "platform/os/Rand.h"
#include "world/LandPart.h"
#include "world/Landscape.h"
#include "world/NatureManager.h"

void CLandPart::CreateNature(int type)
{
    CLandscape& land = g_Landscape;
    CNatureManager& nature = g_Nature;
    nature.BeginField(type, this);
    GameSrand((unsigned)seed);

    float offsets[16][3];
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
        {
            float* o = offsets[4 * i + j];
            o[0] = (0.25f * j + 0.125f - 0.5f) * land.cellSize;
            o[1] = 0.0f;
            o[2] = (0.25f * i + 0.125f - 0.5f) * land.cellSize;
        }

    const int n = land.partCells;
    for (int r = 0; r < n; ++r)
        for (int c = 0; c < n; ++c)
        {
            const int gridRow = row * n + r, gridCol = col * n + c;
            if (gridRow < 0 || gridCol < 0 || gridRow >= land.gridSize || gridCol >= land.gridSize)
                continue;
            const float X = gridCol * land.cellSize - land.size / 2.0f + land.cellSize / 2.0f;
            const float Z = land.size / 2.0f - gridRow * land.cellSize - land.cellSize / 2.0f;
            const float at[3] = {X, 0.0f, Z};
            const float Y = land.GetHeight(at);
            const NaturePlace place = NaturePlaceOf(land.placeMap[gridRow * land.gridSize + gridCol]);

            if (type == NATURE_GRASS && place.clumps > 0)
            {
                const int atlasCell = (int)((GameRand() % 100) * 0.01f * 16.0f);
                float work[16][3];
                std::memcpy(work, offsets, sizeof(work));
                float picks[12][3];
                for (int m = 0; m < place.clumps; ++m)
                {
                    const int t = GameRand() % (16 - m);
                    std::memcpy(picks[m], work[t], sizeof(picks[m]));
                    std::memmove(work[t], work[t + 1], sizeof(work[0]) * (size_t)(16 - m - t - 1));
                }
                for (int m = 0; m < place.clumps; ++m)
                {
                    const float p[3] = {X + picks[m][0], Y, Z + picks[m][2]};
                    nature.AddObject(NATURE_GRASS, p, atlasCell);
                }
            }
            // Size classes below 0 have no stone files: such a cell is empty
            // rather than a failed read (and a message) per cell.
            else if (type == NATURE_STONES && place.stone && place.stoneSize >= 0)
            {
                const float p[3] = {X, Y, Z};
                nature.AddObject(NATURE_STONES, p, place.stoneSize);
            }
            else if (type == NATURE_TREES && place.tree)
            {
                const float p[3] = {X, Y, Z};
                nature.AddObject(NATURE_TREES, p, place.treeCode);
            }
        }
    nature.EndField(type, this);
}
