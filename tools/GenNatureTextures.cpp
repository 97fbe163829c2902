// Generator module: the nature pictures of each season (1 summer, 2 autumn,
// 3 winter). "Grass%02d.dds": a 4 x 4 atlas of grass tufts standing on the
// bottom edge of their cells, transparent around the blades. "Leafs%02d.dds":
// a 2 x 2 atlas of leaf sprays (round leaves, small birch leaves, oak,
// needles). "Stems%02d.bmp": four bark strips side by side, running up the
// picture. "Stones%02d.bmp": a 4 x 4 atlas of rock surfaces.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/Canvas.h"
#include "tools/DataTree.h"
#include "tools/ImageWriter.h"

namespace
{

// B, G, R, A pixels with alpha, painted by coverage.
struct Picture
{
    int n;
    std::vector<uint8_t> px;
    explicit Picture(int size, Rgb fill, int alpha) : n(size), px(size_t(size) * size * 4)
    {
        for (int i = 0; i < size * size; ++i)
            Set(i % size, i / size, fill, alpha);
    }
    void Set(int x, int y, Rgb c, int a)
    {
        if (x < 0 || y < 0 || x >= n || y >= n)
            return;
        uint8_t* p = &px[(size_t(y) * n + x) * 4];
        p[0] = uint8_t(std::clamp(c.b, 0, 255));
        p[1] = uint8_t(std::clamp(c.g, 0, 255));
        p[2] = uint8_t(std::clamp(c.r, 0, 255));
        p[3] = uint8_t(std::clamp(a, 0, 255));
    }
    // Paints over with coverage t (0..1): colour blends, alpha grows.
    void Blend(int x, int y, Rgb c, float t)
    {
        if (x < 0 || y < 0 || x >= n || y >= n || t <= 0.0f)
            return;
        uint8_t* p = &px[(size_t(y) * n + x) * 4];
        const float a = p[3] / 255.0f;
        const float k = a > 0.0f ? t : 1.0f;
        p[0] = uint8_t(std::clamp(int(p[0] + (c.b - p[0]) * k), 0, 255));
        p[1] = uint8_t(std::clamp(int(p[1] + (c.g - p[1]) * k), 0, 255));
        p[2] = uint8_t(std::clamp(int(p[2] + (c.r - p[2]) * k), 0, 255));
        p[3] = uint8_t(std::clamp(int(255.0f * (a + (1.0f - a) * std::min(1.0f, t))), 0, 255));
    }
};

float H01(uint32_t x)
{
    return (CanvasHash(x) & 0xFFFFFF) / 16777216.0f;
}

Rgb Vary(Rgb c, uint32_t seed, int amount)
{
    const int d = int(H01(seed) * (2 * amount + 1)) - amount;
    return Shade(c, d);
}

// One blade: from the base (x0, y0) up by `height`, bending by `lean`, base
// width `width`, tapering to a point.
void Blade(Picture& p, float x0, float y0, float height, float lean, float width, Rgb base, Rgb tip)
{
    const int steps = int(height) + 1;
    for (int i = 0; i <= steps; ++i)
    {
        const float t = float(i) / float(steps);
        const float cx = x0 + lean * t * t, cy = y0 - height * t;
        const float w = width * (1.0f - t) * 0.5f + 0.35f;
        const Rgb c = Mix(base, tip, t);
        for (int dx = int(std::floor(cx - w - 1)); dx <= int(std::ceil(cx + w + 1)); ++dx)
        {
            const float cover = std::clamp(w + 0.5f - std::fabs(dx + 0.5f - cx), 0.0f, 1.0f);
            p.Blend(dx, int(cy), c, cover);
        }
    }
}

void GrassAtlas(DataTree& tree, int season)
{
    const int n = 256, cell = 64;
    const Rgb greens[3][3] = {{{96, 150, 54}, {128, 178, 70}, {170, 200, 96}},
                              {{150, 136, 62}, {186, 158, 82}, {204, 180, 110}},
                              {{150, 156, 120}, {190, 194, 170}, {236, 240, 244}}};
    Picture p(n, greens[season][1], 0);
    for (int k = 0; k < 16; ++k)
    {
        const int ox = (k % 4) * cell, oy = (k / 4) * cell;
        const uint32_t seed = uint32_t(k * 7919 + season * 104729 + 5);
        const int blades = 10 + int(H01(seed) * 12);
        const float tall = 0.65f + 0.33f * H01(seed + 1);
        for (int b = 0; b < blades; ++b)
        {
            const float x = ox + 6 + H01(seed + 10 + b) * (cell - 12);
            const float h = (cell - 4) * tall * (0.45f + 0.55f * H01(seed + 40 + b));
            const float lean = (H01(seed + 70 + b) - 0.5f) * 22.0f;
            const Rgb base = Vary(greens[season][0], seed + 90 + b, 12);
            const Rgb tip = Vary(greens[season][2], seed + 120 + b, 16);
            Blade(p, x, oy + cell - 1.0f, h, lean, 2.5f + 2.5f * H01(seed + 150 + b), base, tip);
        }
        // Some tufts flower in summer and seed in autumn.
        if (season < 2 && k % 5 == 2)
            for (int f = 0; f < 5; ++f)
            {
                const int fx = ox + 10 + int(H01(seed + 300 + f) * (cell - 20));
                const int fy = oy + 6 + int(H01(seed + 320 + f) * 18);
                const Rgb bloom = season == 0 ? (f % 2 ? Rgb{250, 230, 80} : Rgb{250, 250, 245}) : Rgb{120, 86, 50};
                for (int dy = -2; dy <= 2; ++dy)
                    for (int dx = -2; dx <= 2; ++dx)
                        if (dx * dx + dy * dy <= 4)
                            p.Blend(fx + dx, fy + dy, bloom, 1.0f);
                Blade(p, float(fx), oy + cell - 1.0f, float(oy + cell - 1 - fy), 0.0f, 1.2f, greens[season][0],
                      greens[season][0]);
            }
    }
    char name[64];
    std::snprintf(name, sizeof(name), "Data/Static/Nature/Grass/Grass%02d.dds", season + 1);
    tree.Add(name, WriteDds(n, n, p.px.data(), PixelFormat::A8R8G8B8, true));
}

// One leaf: an ellipse at (x, y) of half length `len`, turned by `angle`.
void Leaf(Picture& p, float x, float y, float len, float wid, float angle, Rgb c)
{
    const float ca = std::cos(angle), sa = std::sin(angle);
    const int r = int(len) + 2;
    for (int dy = -r; dy <= r; ++dy)
        for (int dx = -r; dx <= r; ++dx)
        {
            const float u = (dx * ca + dy * sa) / len, v = (-dx * sa + dy * ca) / wid;
            const float d = u * u + v * v;
            if (d < 1.0f)
            {
                // A lighter midrib and a darker edge.
                const Rgb shade = std::fabs(v) < 0.18f ? Shade(c, 18) : d > 0.7f ? Shade(c, -18) : c;
                p.Blend(int(x) + dx, int(y) + dy, shade, std::min(1.0f, (1.0f - d) * 4.0f));
            }
        }
}

void LeafAtlas(DataTree& tree, int season)
{
    const int n = 256, cell = 128;
    // Cell: 0 round leaves, 1 small birch leaves, 2 oak, 3 needles.
    const Rgb colours[3][4] = {{{56, 108, 40}, {112, 160, 62}, {78, 122, 44}, {40, 84, 52}},
                               {{160, 64, 34}, {214, 170, 48}, {196, 110, 36}, {44, 86, 54}},
                               {{120, 96, 72}, {210, 214, 222}, {140, 110, 80}, {52, 84, 66}}};
    Picture p(n, colours[season][0], 0);
    for (int k = 0; k < 4; ++k)
    {
        const int ox = (k % 2) * cell, oy = (k / 2) * cell;
        const uint32_t seed = uint32_t(k * 131 + season * 7 + 3);
        // Background colour of the cell for clean mip edges.
        for (int y = oy; y < oy + cell; ++y)
            for (int x = ox; x < ox + cell; ++x)
                p.Set(x, y, colours[season][k], 0);
        const bool needles = k == 3;
        // Winter broadleaves keep only a few dry leaves on the twigs.
        const int count = needles ? 420 : (season == 2 ? 45 : (k == 1 ? 260 : 150));
        // Twigs first.
        for (int t = 0; t < 7; ++t)
        {
            const float a = 2 * 3.14159f * H01(seed + 900 + t);
            const float r = cell * 0.42f;
            Blade(p, ox + cell / 2.0f, oy + cell / 2.0f, 1, 0, 1, {70, 52, 36}, {70, 52, 36});
            for (int s = 0; s < int(r); ++s)
                p.Blend(int(ox + cell / 2 + std::sin(a) * s), int(oy + cell / 2 + std::cos(a) * s), {74, 56, 40},
                        s < r * 0.8f ? 1.0f : 0.5f);
        }
        for (int i = 0; i < count; ++i)
        {
            const float a = 2 * 3.14159f * H01(seed + i * 3);
            const float rr = std::sqrt(H01(seed + i * 3 + 1)) * cell * 0.42f;
            const float x = ox + cell / 2 + std::sin(a) * rr, y = oy + cell / 2 + std::cos(a) * rr;
            const Rgb c = Vary(Shade(colours[season][k], int(-25 * rr / (cell * 0.42f)) + 10), seed + i * 3 + 2, 16);
            if (needles)
                Leaf(p, x, y, 6.0f, 1.1f, a + 1.2f * H01(seed + i * 5), c);
            else if (k == 1)
                Leaf(p, x, y, 5.0f, 3.2f, a + H01(seed + i * 5) * 3.0f, c);
            else if (k == 2)
            {
                Leaf(p, x, y, 8.0f, 4.5f, a, c);
                Leaf(p, x + std::sin(a) * 4, y + std::cos(a) * 4, 5.0f, 4.0f, a + 0.8f, c);
            }
            else
                Leaf(p, x, y, 8.5f, 5.5f, a + H01(seed + i * 5) * 2.0f, c);
        }
        // Snow on the winter needles.
        if (season == 2 && needles)
            for (int i = 0; i < 120; ++i)
            {
                const float a = 2 * 3.14159f * H01(seed + 5000 + i);
                const float rr = std::sqrt(H01(seed + 5001 + i)) * cell * 0.4f;
                Leaf(p, ox + cell / 2 + std::sin(a) * rr, oy + cell / 2 + std::cos(a) * rr - 2, 5.0f, 2.0f, 1.57f,
                     {240, 244, 250});
            }
    }
    char name[64];
    std::snprintf(name, sizeof(name), "Data/Static/Nature/Trees/Leafs%02d.dds", season + 1);
    tree.Add(name, WriteDds(n, n, p.px.data(), PixelFormat::A8R8G8B8, true));
}

void AddBmp(DataTree& tree, const std::string& bmpPath, const Canvas& c)
{
    tree.Add(bmpPath, WriteBmp24(c.n, c.n, c.pixels.data()));
    tree.Add(bmpPath.substr(0, bmpPath.size() - 4) + ".jpg", WriteJpg(c.n, c.n, c.pixels.data(), 90));
}

void Stems(DataTree& tree, int season)
{
    const int n = 256, strip = 64;
    Canvas c(n);
    const int light = season == 2 ? 12 : 0;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x)
        {
            const int k = x / strip, lx = x % strip;
            const uint32_t h = CanvasHash(uint32_t(x * 7 + y * 1031 + k));
            Rgb p;
            if (k == 0)   // dark rough bark in vertical ridges
            {
                const int ridge = int(18 * std::sin(lx * 0.55f + std::sin(y * 0.05f) * 2.0f));
                p = Shade({84, 64, 46}, ridge + int(h % 15u) - 7);
            }
            else if (k == 1)   // birch: white with dark dashes
            {
                p = Shade({226, 222, 212}, int(h % 11u) - 5);
                const uint32_t band = CanvasHash(uint32_t(y / 5) * 977u);
                if (band % 5u == 0 && (lx + int(band % 40u)) % 40 < 14)
                    p = {50, 46, 42};
            }
            else if (k == 2)   // oak: grey-brown furrows in plates
            {
                const int plate = int(CanvasHash(uint32_t(lx / 9) * 31u + uint32_t(y / 14) * 7u) % 25u) - 12;
                p = Shade({112, 98, 82}, plate + int(h % 13u) - 6);
                if (lx % 9 == 0 || (y + lx / 9 * 5) % 14 == 0)
                    p = {58, 50, 42};
            }
            else   // fir: red-brown scales
            {
                const int scale = ((lx / 6 + y / 8) % 2) ? 10 : -10;
                p = Shade({120, 70, 48}, scale + int(h % 15u) - 7);
            }
            c.Put(x, y, Shade(p, light));
        }
    char name[64];
    std::snprintf(name, sizeof(name), "Data/Static/Nature/Trees/Stems%02d.bmp", season + 1);
    AddBmp(tree, name, c);
}

void Stones(DataTree& tree, int season)
{
    const int n = 256, cell = 64;
    Canvas c(n);
    const Rgb rock[4] = {{128, 126, 122}, {150, 136, 112}, {104, 106, 104}, {140, 134, 128}};
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x)
        {
            const int k = (y / cell) * 4 + x / cell;
            const uint32_t h = CanvasHash(uint32_t(x * 13 + y * 7919));
            const float blot = std::sin(x * 0.21f + k) * std::cos(y * 0.17f - k) + std::sin((x + y) * 0.07f);
            Rgb p = Shade(rock[k % 4], int(blot * 14) + int(h % 21u) - 10);
            // Cracks and, in summer and autumn, moss on some cells; frost in winter.
            if (CanvasHash(uint32_t(x / 3 + y * 5 + k * 101)) % 97u == 0)
                p = Shade(p, -45);
            if (season < 2 && k % 3 == 0 && blot > 0.9f)
                p = Mix(p, season == 0 ? Rgb{74, 110, 46} : Rgb{120, 110, 50}, 0.6f);
            if (season == 2 && blot > 0.6f)
                p = Mix(p, {236, 240, 246}, 0.7f);
            c.Put(x, y, p);
        }
    char name[64];
    std::snprintf(name, sizeof(name), "Data/Static/Nature/Stones/Stones%02d.bmp", season + 1);
    AddBmp(tree, name, c);
}

void GenerateNatureTextures(DataTree& tree)
{
    for (int season = 0; season < 3; ++season)
    {
        GrassAtlas(tree, season);
        LeafAtlas(tree, season);
        Stems(tree, season);
        Stones(tree, season);
    }
}

}   // namespace

REGISTER_GENERATOR("naturetextures", GenerateNatureTextures);
