// Generator module: the menu's track pictures, one per area and season
// ("Data/Interface/Menu_Main/Tracks/Track<area>_<season>.bmp"). Each is a
// low aerial view over the area's own terrain in that season's colours, with
// the race route painted on as a road and the start line chequered, under a
// sky of the season. The picture fades out to the right in the menu, so the
// route's middle is framed a little left of centre.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "tools/AreaGen.h"
#include "tools/DataTree.h"
#include "tools/ImageWriter.h"

namespace
{

const int kWidth = 512, kHeight = 256;
const int kSuper = 2;   // rendered at twice the size, then averaged

struct Col
{
    float r, g, b;
};

Col Lerp(Col a, Col b, float t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

struct SeasonLook
{
    Col skyTop, skyHorizon, haze, water;
    float sunX, sunZ;   // light direction along the grid
};

SeasonLook Look(int season)
{
    switch (season)
    {
    case 1:   // autumn: low warm sun, amber haze
        return {{70, 90, 140}, {235, 175, 120}, {215, 165, 120}, {60, 80, 85}, -0.8f, 0.35f};
    case 2:   // winter: pale cold sky
        return {{120, 145, 175}, {220, 228, 238}, {210, 218, 230}, {150, 175, 195}, 0.5f, -0.7f};
    default:   // summer: deep blue to a bright horizon
        return {{40, 95, 190}, {185, 215, 240}, {175, 205, 230}, {40, 90, 120}, -0.55f, -0.6f};
    }
}

class TrackScene
{
public:
    TrackScene(const AreaData& area, int season) : m_Area(area), m_N(area.gridSize), m_Look(Look(season))
    {
        const int n = m_N;
        m_Height.resize((size_t)n * n);
        for (int i = 0; i < n * n; ++i)
            m_Height[i] = AreaByteHeight(area.heightMap[i]) / kAreaCellSize;   // in cells
        const float water = AreaWaterAltitude() / kAreaCellSize;
        // Colour of every cell: the season's ground lit by the sun, water
        // flattened to its surface, the road laid over it.
        m_Colour.resize((size_t)n * n);
        const std::vector<uint8_t>& c = area.colors[season];
        for (int z = 0; z < n; ++z)
            for (int x = 0; x < n; ++x)
            {
                const int i = z * n + x;
                const float dx = H(x + 1, z) - H(x - 1, z), dz = H(x, z + 1) - H(x, z - 1);
                const float light =
                    std::clamp(0.8f + 0.9f * (dx * m_Look.sunX + dz * m_Look.sunZ) * -0.5f, 0.45f, 1.25f);
                Col ground = {c[i * 3] * light, c[i * 3 + 1] * light, c[i * 3 + 2] * light};
                if (m_Height[i] < water)
                {
                    const float depth = std::min(1.0f, (water - m_Height[i]) * 0.6f);
                    ground = Lerp(ground, m_Look.water, 0.55f + 0.4f * depth);
                    m_Height[i] = water;
                }
                m_Colour[i] = ground;
            }
        m_Ground = m_Colour;
        PaintRoute();
    }

    // Renders the view; B, G, R, A rows, top first.
    std::vector<uint8_t> Render() const
    {
        const int w = kWidth * kSuper, h = kHeight * kSuper;
        std::vector<Col> image((size_t)w * h);
        // Sky first; the terrain columns cover it from the bottom up.
        const float horizon = h * 0.30f;
        for (int y = 0; y < h; ++y)
        {
            const float t = std::clamp(y / horizon, 0.0f, 1.0f);
            const Col sky = Lerp(m_Look.skyTop, m_Look.skyHorizon, t * t);
            for (int x = 0; x < w; ++x)
                image[(size_t)y * w + x] = sky;
        }

        // The camera stands off the route's middle, looking across it.
        float cx = 0, cz = 0, minX = 1e9f, maxX = -1e9f, minZ = 1e9f, maxZ = -1e9f;
        for (int cell : m_Area.route)
        {
            const float x = (float)(cell % m_N), z = (float)(cell / m_N);
            cx += x;
            cz += z;
            minX = std::min(minX, x);
            maxX = std::max(maxX, x);
            minZ = std::min(minZ, z);
            maxZ = std::max(maxZ, z);
        }
        const float count = (float)std::max<size_t>(1, m_Area.route.size());
        cx /= count;
        cz /= count;
        const float extent = std::max(maxX - minX, maxZ - minZ);
        const float yaw = 0.55f + 0.9f * m_Area.number;   // each area seen from its own side
        const float fx = std::sin(yaw), fz = std::cos(yaw);
        const float distance = extent * 0.85f + 40.0f;
        const float camX = cx - fx * distance, camZ = cz - fz * distance;
        const float camY = H(camX, camZ) + extent * 0.5f + 30.0f;
        const float focal = w * 0.5f;
        // The route's middle lands a little below the picture's middle.
        const float lookDown = (camY - H(cx, cz)) / distance * focal;
        const float screenHorizon = h * 0.6f - lookDown;
        const float far = distance * 3.2f;

        for (int sx = 0; sx < w; ++sx)
        {
            // Right of centre a little: the menu fades the right side out.
            const float side = (sx - w * 0.42f) / focal;
            const float dx = fx + fz * side, dz = fz - fx * side;
            int top = h;   // lowest row still free
            float step = 0.5f;
            for (float d = 1.0f; d < far && top > 0; d += step, step *= 1.006f)
            {
                const float px = camX + dx * d, pz = camZ + dz * d;
                const float height = H(px, pz);
                const int sy = (int)(screenHorizon + (camY - height) / d * focal);
                if (sy >= top)
                    continue;
                Col colour = C(px, pz);
                const float fog = std::clamp((d - distance * 0.8f) / (far - distance * 0.8f), 0.0f, 1.0f);
                colour = Lerp(colour, m_Look.haze, fog * fog * 0.85f);
                for (int y = std::max(sy, 0); y < top; ++y)
                    image[(size_t)y * w + sx] = colour;
                top = std::max(sy, 0);
            }
        }

        // Averaged down, with a soft vignette.
        std::vector<uint8_t> bgra((size_t)kWidth * kHeight * 4);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
            {
                Col sum = {0, 0, 0};
                for (int j = 0; j < kSuper; ++j)
                    for (int i = 0; i < kSuper; ++i)
                    {
                        const Col& p = image[(size_t)(y * kSuper + j) * w + x * kSuper + i];
                        sum = {sum.r + p.r, sum.g + p.g, sum.b + p.b};
                    }
                const float u = x / (float)kWidth - 0.45f, v = y / (float)kHeight - 0.5f;
                const float shade = (1.0f - 0.55f * (u * u + v * v * 1.6f)) / (kSuper * kSuper);
                uint8_t* out = &bgra[((size_t)y * kWidth + x) * 4];
                out[0] = (uint8_t)std::clamp(sum.b * shade, 0.0f, 255.0f);
                out[1] = (uint8_t)std::clamp(sum.g * shade, 0.0f, 255.0f);
                out[2] = (uint8_t)std::clamp(sum.r * shade, 0.0f, 255.0f);
                out[3] = 255;
            }
        return bgra;
    }

private:
    // Outside the grid the land goes on as its mirror image, so the view
    // never runs into an edge.
    float Mirror(float v) const
    {
        const float span = (float)(m_N - 1);
        v = std::fmod(std::abs(v), 2.0f * span);
        return std::min(v > span ? 2.0f * span - v : v, span - 0.001f);
    }
    // Bilinear height.
    float H(float x, float z) const
    {
        x = Mirror(x);
        z = Mirror(z);
        const int ix = (int)x, iz = (int)z;
        const float tx = x - ix, tz = z - iz;
        const float* row = &m_Height[(size_t)iz * m_N];
        const float a = row[ix] + (row[ix + 1] - row[ix]) * tx;
        const float b = row[m_N + ix] + (row[m_N + ix + 1] - row[m_N + ix]) * tx;
        return a + (b - a) * tz;
    }
    // The road only on the area itself, not on its mirror images.
    Col C(float x, float z) const
    {
        const int ix = (int)Mirror(x), iz = (int)Mirror(z);
        const bool inside = x >= 0 && z >= 0 && x < m_N && z < m_N;
        return (inside ? m_Colour : m_Ground)[(size_t)iz * m_N + ix];
    }

    void PaintRoute()
    {
        const Col asphalt = {72, 72, 78}, verge = {205, 195, 170}, white = {245, 245, 245}, black = {25, 25, 25};
        const float halfRoad = 2.2f;
        // Verge first, then the road over it, so the edges stay light.
        for (int pass = 0; pass < 2; ++pass)
            for (size_t k = 0; k < m_Area.route.size(); ++k)
            {
                const int cell = m_Area.route[k];
                const int x0 = cell % m_N, z0 = cell / m_N;
                const float radius = pass == 0 ? halfRoad + 1.2f : halfRoad;
                for (int dz = -4; dz <= 4; ++dz)
                    for (int dx = -4; dx <= 4; ++dx)
                    {
                        const int x = x0 + dx, z = z0 + dz;
                        if (x < 0 || z < 0 || x >= m_N || z >= m_N || dx * dx + dz * dz > radius * radius)
                            continue;
                        Col& c = m_Colour[(size_t)z * m_N + x];
                        if (pass == 0)
                            c = Lerp(c, verge, 0.6f);
                        else
                            c = Lerp(asphalt, c, 0.12f);
                    }
            }
        // A dashed centre line and the chequered start.
        for (size_t k = 0; k < m_Area.route.size(); k += 1)
            if ((k / 3) % 2 == 0)
            {
                const int cell = m_Area.route[k];
                Col& c = m_Colour[cell];
                c = Lerp(c, white, 0.55f);
            }
        if (!m_Area.route.empty())
        {
            const int cell = m_Area.route[0];
            const int x0 = cell % m_N, z0 = cell / m_N;
            for (int dz = -3; dz <= 3; ++dz)
                for (int dx = -3; dx <= 3; ++dx)
                {
                    const int x = x0 + dx, z = z0 + dz;
                    if (x >= 0 && z >= 0 && x < m_N && z < m_N)
                        m_Colour[(size_t)z * m_N + x] = ((x + z) & 1) ? white : black;
                }
        }
    }

    const AreaData& m_Area;
    int m_N;
    SeasonLook m_Look;
    std::vector<float> m_Height;
    std::vector<Col> m_Colour;   // with the road
    std::vector<Col> m_Ground;   // without it
};

void GenerateTrackPictures(DataTree& tree)
{
    for (int number = 1; number <= kAreaCount; ++number)
    {
        const AreaData area = GenerateArea(number);
        for (int season = 0; season < kSeasonCount; ++season)
        {
            const std::vector<uint8_t> bgra = TrackScene(area, season).Render();
            char name[96];
            std::snprintf(name, sizeof name, "Data/Interface/Menu_Main/Tracks/Track%d_%02d", number, season + 1);
            tree.Add(std::string(name) + ".bmp", WriteBmp24(kWidth, kHeight, bgra.data()));
            tree.Add(std::string(name) + ".jpg", WriteJpg(kWidth, kHeight, bgra.data(), 92));
        }
    }
}

}   // namespace

REGISTER_GENERATOR("track pictures", GenerateTrackPictures);
