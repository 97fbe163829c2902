// The files of each demo area and the pictures shared by all of them.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "tools/AreaGen.h"
#include "tools/AreaGenNoise.h"
#include "tools/ImageWriter.h"

namespace
{

const int N = kAreaGridSize;

struct Picture
{
    int w, h;
    std::vector<uint8_t> bgra;
    Picture(int width, int height) : w(width), h(height), bgra(size_t(width) * height * 4, 0) {}
    void Set(int x, int y, float r, float g, float b, float a = 255.0f)
    {
        uint8_t* p = &bgra[(size_t(y) * w + x) * 4];
        auto clampByte = [](float v) { return uint8_t(v < 0.0f ? 0.0f : (v > 255.0f ? 255.0f : v + 0.5f)); };
        p[0] = clampByte(b);
        p[1] = clampByte(g);
        p[2] = clampByte(r);
        p[3] = clampByte(a);
    }
};

std::string Path(const std::string& folder, const char* name)
{
    return folder + "/" + name;
}

// Adds a picture under its ".bmp" name and, for the texture cache's
// "BMP to JPG" switch, the same picture under the ".jpg" name.
void AddBmpAndJpg(std::vector<AreaFile>& files, const std::string& bmpPath, const Picture& pic)
{
    files.push_back({bmpPath, WriteBmp24(pic.w, pic.h, pic.bgra.data())});
    std::string jpgPath = bmpPath.substr(0, bmpPath.size() - 4) + ".jpg";
    files.push_back({jpgPath, WriteJpg(pic.w, pic.h, pic.bgra.data(), 90)});
}

// Value noise that repeats every `period` lattice units in both directions,
// for pictures that are tiled.
float TileNoise(float x, float y, int period, uint32_t seed)
{
    float fx = std::floor(x), fy = std::floor(y);
    int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    auto wrap = [period](int v) { return ((v % period) + period) % period; };
    float tx = AreaSmooth(x - fx), ty = AreaSmooth(y - fy);
    float a = AreaLatticeValue(wrap(ix), wrap(iy), seed), b = AreaLatticeValue(wrap(ix + 1), wrap(iy), seed);
    float c = AreaLatticeValue(wrap(ix), wrap(iy + 1), seed), d = AreaLatticeValue(wrap(ix + 1), wrap(iy + 1), seed);
    float top = a + (b - a) * tx, bottom = c + (d - c) * tx;
    return top + (bottom - top) * ty;
}

// Fractal tileable noise over a picture of `size` pixels: `cells` lattice
// cells across at the coarsest octave.
float TileFractal(int px, int py, int size, int cells, int octaves, uint32_t seed)
{
    float sum = 0.0f, weight = 1.0f, total = 0.0f;
    for (int o = 0; o < octaves; ++o)
    {
        int period = cells << o;
        float scale = float(period) / size;
        sum += TileNoise(px * scale, py * scale, period, seed + 57u * o) * weight;
        total += weight;
        weight *= 0.5f;
    }
    return sum / total;
}

float Lerp(float a, float b, float t)
{
    return a + (b - a) * t;
}

// Height of the terrain at grid coordinates (gx along columns, gy along
// rows), as the terrain mesh interpolates its grid points.
float GridHeight(const AreaData& area, float gx, float gy)
{
    auto sample = [&](int r, int c) {
        r = std::min(std::max(r, 0), N - 1);
        c = std::min(std::max(c, 0), N - 1);
        return AreaByteHeight(area.heightMap[r * N + c]);
    };
    int c0 = static_cast<int>(std::floor(gx)), r0 = static_cast<int>(std::floor(gy));
    float tx = gx - c0, ty = gy - r0;
    float top = Lerp(sample(r0, c0), sample(r0, c0 + 1), tx);
    float bottom = Lerp(sample(r0 + 1, c0), sample(r0 + 1, c0 + 1), tx);
    return Lerp(top, bottom, ty);
}

// Distance in grid cells from every pixel of a size x size picture covering
// the area to the nearest route cell centre (capped at `reach` cells).
std::vector<float> RouteDistancePixels(const AreaData& area, int size, float reach)
{
    std::vector<float> dist(size_t(size) * size, reach);
    float perCell = float(size) / N;
    int radius = static_cast<int>(std::ceil(reach * perCell)) + 1;
    for (int idx : area.route)
    {
        float cx = (idx % N + 0.5f) * perCell, cy = (idx / N + 0.5f) * perCell;
        int x0 = std::max(0, int(cx) - radius), x1 = std::min(size - 1, int(cx) + radius);
        int y0 = std::max(0, int(cy) - radius), y1 = std::min(size - 1, int(cy) + radius);
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
            {
                float dx = (x + 0.5f - cx) / perCell, dy = (y + 0.5f - cy) / perCell;
                float d = std::sqrt(dx * dx + dy * dy);
                float& slot = dist[size_t(y) * size + x];
                slot = std::min(slot, d);
            }
    }
    return dist;
}

// What the ground pictures of all seasons share, per pixel: height, light
// on the slope, steepness and a fine grain.
struct Relief
{
    std::vector<float> height, shade, steep, grain;
};

Relief ComputeRelief(const AreaData& area, int size)
{
    Relief rel;
    const size_t count = size_t(size) * size;
    rel.height.resize(count), rel.shade.resize(count), rel.steep.resize(count), rel.grain.resize(count);
    const uint32_t seed = 0xA2EAu + 977u * area.number;
    for (int py = 0; py < size; ++py)
        for (int px = 0; px < size; ++px)
        {
            size_t i = size_t(py) * size + px;
            float gx = (px + 0.5f) * N / size, gy = (py + 0.5f) * N / size;
            rel.height[i] = GridHeight(area, gx, gy);
            // Slope shading from a light in the upper left of the map.
            float dhx = (GridHeight(area, gx + 1.0f, gy) - GridHeight(area, gx - 1.0f, gy)) / (2.0f * kAreaCellSize);
            float dhy = (GridHeight(area, gx, gy + 1.0f) - GridHeight(area, gx, gy - 1.0f)) / (2.0f * kAreaCellSize);
            float nx = -dhx, ny = 1.0f, nz = -dhy;
            float nl = std::sqrt(nx * nx + ny * ny + nz * nz);
            float light = (nx * -0.5f + ny * 0.75f + nz * -0.43f) / nl;
            rel.shade[i] = 0.55f + 0.5f * std::max(0.0f, light);
            rel.steep[i] = AreaSmoothStep(0.55f, 0.9f, std::sqrt(dhx * dhx + dhy * dhy));
            rel.grain[i] = 0.9f + 0.2f * AreaFractalNoise(float(px), float(py), 6.0f, 3, seed);
        }
    return rel;
}

// The ground picture of one season, stretched over the whole area: the
// season colours shaded by the slopes, a worn strip under the road, mud in
// the pond and bare rock where the ground is steep.
Picture LandscapeTexture(const AreaData& area, int season, const Relief& rel, const std::vector<float>& roadDist,
                         int size)
{
    Picture pic(size, size);
    const std::vector<uint8_t>& col = area.colors[season];
    const float water = AreaWaterAltitude();
    static const float dirt[kSeasonCount][3] = {{122, 104, 80}, {112, 92, 70}, {196, 196, 202}};
    static const float rock[kSeasonCount][3] = {{128, 122, 112}, {132, 114, 92}, {170, 172, 180}};
    static const float bed[3] = {92, 84, 64};
    for (int py = 0; py < size; ++py)
        for (int px = 0; px < size; ++px)
        {
            size_t i = size_t(py) * size + px;
            float gx = (px + 0.5f) * N / size, gy = (py + 0.5f) * N / size;
            // Season colour: cells are centred half a cell inside their corner.
            float cx = std::min(std::max(gx - 0.5f, 0.0f), N - 1.001f);
            float cy = std::min(std::max(gy - 0.5f, 0.0f), N - 1.001f);
            int c0 = int(cx), r0 = int(cy);
            int c1 = std::min(c0 + 1, N - 1), r1 = std::min(r0 + 1, N - 1);
            float tx = cx - c0, ty = cy - r0;
            float rgb[3];
            for (int k = 0; k < 3; ++k)
            {
                float top = Lerp(col[(r0 * N + c0) * 3 + k], col[(r0 * N + c1) * 3 + k], tx);
                float bottom = Lerp(col[(r1 * N + c0) * 3 + k], col[(r1 * N + c1) * 3 + k], tx);
                rgb[k] = Lerp(top, bottom, ty);
            }
            float road = 1.0f - AreaSmoothStep(3.0f, 5.0f, roadDist[i]);
            float mud = rel.height[i] < water + 1.0f ? AreaSmoothStep(water + 1.0f, water - 1.0f, rel.height[i]) : 0.0f;
            float k = rel.shade[i] * rel.grain[i];
            for (int ch = 0; ch < 3; ++ch)
            {
                float v = Lerp(rgb[ch], rock[season][ch], rel.steep[i]);
                v = Lerp(v, dirt[season][ch], road * 0.85f);
                v = Lerp(v, bed[ch], mud);
                rgb[ch] = v * k;
            }
            pic.Set(px, py, rgb[0], rgb[1], rgb[2]);
        }
    return pic;
}

// The track outline for the menu and the in-race minimap: the route as a
// white line with a dark rim on a clear background, the start in red. The
// picture covers the whole area with north (row 0) at the top.
Picture RouteMapTexture(const AreaData& area)
{
    const int size = 256;
    Picture pic(size, size);
    std::vector<float> dist = RouteDistancePixels(area, size, 8.0f);
    const float perCell = float(size) / N;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
        {
            float d = dist[size_t(y) * size + x] * perCell;   // in pixels
            if (d <= 1.6f)
                pic.Set(x, y, 255, 255, 255, 255);
            else if (d <= 3.0f)
                pic.Set(x, y, 30, 30, 30, 255 * (1.0f - AreaSmoothStep(2.2f, 3.0f, d)));
        }
    if (!area.route.empty())
    {
        float sx = (area.route[0] % N + 0.5f) * perCell, sy = (area.route[0] / N + 0.5f) * perCell;
        for (int y = int(sy) - 5; y <= int(sy) + 5; ++y)
            for (int x = int(sx) - 5; x <= int(sx) + 5; ++x)
            {
                if (x < 0 || y < 0 || x >= size || y >= size)
                    continue;
                float d = std::sqrt((x + 0.5f - sx) * (x + 0.5f - sx) + (y + 0.5f - sy) * (y + 0.5f - sy));
                if (d <= 3.5f)
                    pic.Set(x, y, 230, 30, 20, 255);
                else if (d <= 4.5f)
                    pic.Set(x, y, 30, 30, 30, 255);
            }
    }
    return pic;
}

// Area-wide wear of the road surface: light everywhere with darker patches.
Picture RoadAlphaTexture(const AreaData& area)
{
    const int size = 512;
    Picture pic(size, size);
    const uint32_t seed = 0x40ADu + 131u * area.number;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
        {
            float n = AreaFractalNoise(float(x), float(y), 24.0f, 4, seed);
            float v = 255.0f - 70.0f * AreaSmoothStep(0.55f, 0.8f, n);
            pic.Set(x, y, v, v, v);
        }
    return pic;
}

Picture DetailMap()
{
    const int size = 256;
    Picture pic(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
        {
            // Around mid grey: the terrain modulates it twice over.
            float v = 128.0f + 70.0f * (TileFractal(x, y, size, 16, 4, 0xDE7Au) - 0.5f);
            pic.Set(x, y, v, v, v);
        }
    return pic;
}

Picture WaterNoise()
{
    const int size = 256;
    Picture pic(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
        {
            float r = TileFractal(x, y, size, 8, 4, 0x3A7Eu);
            float g = TileFractal(x, y, size, 8, 4, 0x3A7Fu);
            float b = TileFractal(x, y, size, 16, 3, 0x3A80u);
            pic.Set(x, y, r * 255.0f, g * 255.0f, b * 255.0f, 255.0f);
        }
    return pic;
}

// Paint of the road marks: the edge lines across u 0.05..0.45 and the centre
// dash across 0.55..0.95 of the picture, clear elsewhere, a little worn.
Picture RoadSectoring()
{
    const int size = 256;
    Picture pic(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
        {
            float u = (x + 0.5f) / size;
            float inEdge = AreaSmoothStep(0.05f, 0.08f, u) * (1.0f - AreaSmoothStep(0.42f, 0.45f, u));
            float inDash = AreaSmoothStep(0.55f, 0.58f, u) * (1.0f - AreaSmoothStep(0.92f, 0.95f, u));
            float paint = std::max(inEdge, inDash);
            float wear = 0.75f + 0.25f * TileFractal(x, y, size, 16, 3, 0x5EC7u);
            pic.Set(x, y, 240, 240, 236, 255.0f * paint * wear);
        }
    return pic;
}

// Asphalt of one season: fine grain, lighter and speckled in winter.
Picture RoadSurface1(int season)
{
    const int size = 256;
    Picture pic(size, size);
    static const float base[kSeasonCount][3] = {{92, 92, 96}, {80, 78, 78}, {150, 152, 160}};
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
        {
            float n = TileFractal(x, y, size, 32, 3, 0x7A51u + season);
            float speck = AreaLatticeValue(x, y, 0x5EEDu + season) > 0.97f ? 1.0f : 0.0f;
            float k = 0.8f + 0.4f * n;
            float r = base[season][0] * k, g = base[season][1] * k, b = base[season][2] * k;
            if (season == 1 && speck > 0.0f)   // fallen leaves
                r = 150, g = 90, b = 40;
            else if (season == 2 && speck > 0.0f)   // snow
                r = g = b = 235;
            else if (speck > 0.0f)
                r += 40, g += 40, b += 40;
            pic.Set(x, y, r, g, b);
        }
    return pic;
}

// Second road layer: worn wheel tracks along the road (v), light between them.
Picture RoadSurface2(int season)
{
    const int size = 256;
    Picture pic(size, size);
    static const float tint[kSeasonCount][3] = {{235, 228, 215}, {228, 215, 195}, {245, 248, 255}};
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
        {
            float u = (x + 0.5f) / size;
            float tracks = std::exp(-std::pow((std::fabs(u - 0.5f) - 0.18f) / 0.05f, 2.0f));
            float n = TileFractal(x, y, size, 16, 3, 0x7A52u + season);
            float k = 1.0f - 0.35f * tracks - 0.15f * n;
            pic.Set(x, y, tint[season][0] * k, tint[season][1] * k, tint[season][2] * k);
        }
    return pic;
}

}   // namespace

std::vector<AreaFile> AreaFiles(const AreaData& area)
{
    std::vector<AreaFile> files;
    const std::string& f = area.folder;
    auto text = [](const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); };
    files.push_back({Path(f, "LandscapeData.obj"), text(AreaLandscapeDataText())});
    files.push_back({Path(f, "StaticObjects.obj"), text(AreaStaticObjectsText(area))});
    files.push_back({Path(f, "HeightMap.dat"), area.heightMap});
    files.push_back({Path(f, "StaticObjectsPlaceMap.dat"), area.placeMap});
    files.push_back({Path(f, "WayPointsMap.dat"), area.wayPoints});
    files.push_back({Path(f, "RoutePower.dat"), area.routePower});
    files.push_back({Path(f, "FencesMap.dat"), area.fences});
    const int groundSize = 512;
    std::vector<float> roadDist = RouteDistancePixels(area, groundSize, 8.0f);
    Relief relief = ComputeRelief(area, groundSize);
    for (int s = 0; s < kSeasonCount; ++s)
    {
        char name[64];
        std::snprintf(name, sizeof name, "LandscapeColor%02d.dat", s + 1);
        files.push_back({Path(f, name), area.colors[s]});
        std::snprintf(name, sizeof name, "LandscapeTex%02d.bmp", s + 1);
        AddBmpAndJpg(files, Path(f, name), LandscapeTexture(area, s, relief, roadDist, groundSize));
    }
    Picture routeMap = RouteMapTexture(area);
    files.push_back({Path(f, "RouteMap.dds"),
                     WriteDds(routeMap.w, routeMap.h, routeMap.bgra.data(), PixelFormat::A8R8G8B8, false)});
    AddBmpAndJpg(files, Path(f, "RoadAlpha.bmp"), RoadAlphaTexture(area));
    return files;
}

std::vector<AreaFile> SharedLandscapeFiles()
{
    std::vector<AreaFile> files;
    const std::string surfaces = "Data/Landscape/Surfaces";
    Picture water = WaterNoise();
    files.push_back(
        {Path(surfaces, "WaterNoise.dds"), WriteDds(water.w, water.h, water.bgra.data(), PixelFormat::A8R8G8B8, true)});
    AddBmpAndJpg(files, Path(surfaces, "DetailMap.bmp"), DetailMap());
    Picture marks = RoadSectoring();
    files.push_back({Path(surfaces, "RoadSectoring.dds"),
                     WriteDds(marks.w, marks.h, marks.bgra.data(), PixelFormat::A8R8G8B8, true)});
    for (int s = 0; s < kSeasonCount; ++s)
    {
        char name[64];
        std::snprintf(name, sizeof name, "RoadTex1_%02d.bmp", s + 1);
        AddBmpAndJpg(files, Path(surfaces, name), RoadSurface1(s));
        std::snprintf(name, sizeof name, "RoadTex2_%02d.bmp", s + 1);
        AddBmpAndJpg(files, Path(surfaces, name), RoadSurface2(s));
    }
    return files;
}
