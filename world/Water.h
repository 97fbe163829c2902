#pragma once
// The water surfaces of the land parts (Water.cpp): which terrain cells reach
// the water and the colours the water pass draws with.
#include <cstdint>
#include <vector>

// The effect technique of the water with shader model 2.0.
#define WATER_TECHNIQUE     "techWaterSurface"
// Up to this eye distance a part draws its own water cells; beyond it the
// flat grid over the whole part.
#define WATER_NEAR_DISTANCE 100.0f

// Triangles (two per cell, as the terrain's, relative to the part's base
// vertex) of the cells of part (col, row) with at least one corner at or
// below the water. Corners past the last grid row or column take the border
// samples. `heights` has rows of `stride` floats.
void BuildWaterCellIndices(const float* heights, int stride, int gridSize, int partCells, int col, int row,
                           float waterAltitude, std::vector<uint16_t>* out);

// Water colour and specular colour of the season (0..2) under the sky as it
// is now.
void WaterColours(int season, float waterColour[4], float specular[4]);
