// Area loading: filled in step by step; the entry points the game object
// calls exist from the start.
#include "world/Landscape.h"

#include <cstring>

CLandscape g_Landscape;

CLandscape::CLandscape() { Reset(); }
CLandscape::~CLandscape() {}
void CLandscape::Reset()
{
    std::memset(areaPath, 0, sizeof(areaPath));
    size = 0;
    partCount = 0;
    loadedArea = -1;
    loadedSeason = -1;
}
int CLandscape::LoadSurfaces() { return 1; }
int CLandscape::LoadArea(int, int) { return 0; }
int CLandscape::LoadHeightMap() { return 0; }
void CLandscape::LoadTextures(int, int) {}
void CLandscape::LoadRouteMap(int) {}
void CLandscape::FreeArea() {}
void CLandscape::Release() {}
void CLandscape::ReleaseBuffers() {}
void CLandscape::ReleaseTextures() {}
void CLandscape::FreeRoute() {}
void CLandscape::FreeLandParts() {}
void CLandscape::CreateMesh() {}
void CLandscape::CalcTerrainNormals(TerrainVertex*, const uint32_t*, int, int) {}
void CLandscape::CreateLandParts() {}
void CLandscape::Update() {}
void CLandscape::CreatePhysics() {}
float CLandscape::GetCellHeight(const float*) const { return 0; }
float CLandscape::GetHeight(const float*) const { return 0; }
float CLandscape::GetRoutePower(const float*) const { return 0; }
void CLandscape::GetColor(float colour[4], const float*) const { colour[0] = colour[1] = colour[2] = colour[3] = 1; }
int CLandscape::RayTest(const float*, const float*, float*) const { return 0; }
void CLandscape::CellOf(float, float, int* row, int* col) const { *row = *col = 0; }
void CLandscape::UpdateVisibility() {}
void CLandscape::Draw() {}
void CLandscape::DrawShadow() {}
void CLandscape::DrawWater() {}
void CLandscape::CreateRoute() {}
void CLandscape::CreateRoadFences() {}
void CLandscape::CreateRacePath() {}
