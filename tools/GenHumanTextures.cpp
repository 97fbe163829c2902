// Generator module: the rider's pictures. "Data/Humans/Main01.bmp" and
// "Main02.bmp" are two suits on the atlas of the rider mesh (jacket, legs,
// sleeves, helmet, visor, black leather, armour, belt); "Decal01.bmp" to
// "Decal04.bmp" are masks on the same atlas: where a mask is white the game
// paints the rider's own suit colour over the suit, where it is black the
// suit shows.
//
// On the atlas the hulls (torso, pelvis, helmet) run their height across a
// cell and their girth down it, the front in the middle of the girth (0.44)
// and the back at its end (0.94); the tubes (arms, legs) run their girth
// across a cell and their length down it, from the far end to the near one.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "tools/DataTree.h"
#include "tools/ImageWriter.h"
#include "tools/RiderFigure.h"

namespace
{

const int kSize = 256;

struct Rgb
{
    float r, g, b;
};

Rgb Mix(Rgb a, Rgb b, float t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb Scale(Rgb a, float k)
{
    return {a.r * k, a.g * k, a.b * k};
}

uint32_t Hash(uint32_t x)
{
    x ^= x >> 16;
    x *= 0x7FEB352Du;
    x ^= x >> 15;
    x *= 0x846CA68Bu;
    x ^= x >> 16;
    return x;
}

// Leather grain: -1..1, fine and irregular.
float Grain(int x, int y)
{
    const uint32_t h = Hash((uint32_t)x * 73856093u ^ (uint32_t)y * 19349663u);
    const uint32_t g = Hash((uint32_t)(x / 3) * 83492791u ^ (uint32_t)(y / 3) * 2654435761u);
    return ((float)(h & 0xFFFF) / 65535.0f - 0.5f) * 0.6f + ((float)(g & 0xFFFF) / 65535.0f - 0.5f) * 1.4f;
}

// Distance from t to the nearest of the positions (all in 0..1, wrapping).
float Near(float t, std::initializer_list<float> at)
{
    float best = 1.0f;
    for (float a : at)
    {
        float d = std::fabs(t - a);
        d = std::min(d, 1.0f - d);
        best = std::min(best, d);
    }
    return best;
}

// A soft-edged band: 1 inside half width w of the position, 0 beyond.
float Band(float distance, float w)
{
    const float edge = 0.012f;
    return std::min(1.0f, std::max(0.0f, (w + edge - distance) / edge));
}

// Paints every texel of the picture: paint (cell, u, v, x, y) with u across
// the cell and v down it, both 0..1.
std::vector<uint8_t> Paint(const std::function<Rgb(int, float, float, int, int)>& paint)
{
    std::vector<uint8_t> bgra((size_t)kSize * kSize * 4, 255);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
        {
            const float u = (x + 0.5f) / kSize, v = (y + 0.5f) / kSize;
            int cell = CELL_BELT;
            float cu = 0.0f, cv = 0.0f;
            for (int c = 0; c < 8; ++c)
            {
                const float* r = g_RiderCells[c];
                if (u >= r[0] && u < r[2] && v >= r[1] && v < r[3])
                {
                    cell = c;
                    cu = (u - r[0]) / (r[2] - r[0]);
                    cv = (v - r[1]) / (r[3] - r[1]);
                    break;
                }
            }
            const Rgb c = paint(cell, cu, cv, x, y);
            uint8_t* p = &bgra[((size_t)y * kSize + x) * 4];
            p[0] = (uint8_t)(std::min(1.0f, std::max(0.0f, c.b)) * 255.0f);
            p[1] = (uint8_t)(std::min(1.0f, std::max(0.0f, c.g)) * 255.0f);
            p[2] = (uint8_t)(std::min(1.0f, std::max(0.0f, c.r)) * 255.0f);
        }
    return bgra;
}

struct Suit
{
    Rgb leather;    // the main colour of jacket, trousers and sleeves
    Rgb contrast;   // panels and seams
    Rgb helmet;
};

Rgb SuitTexel(const Suit& s, int cell, float u, float v, int x, int y)
{
    const float grain = Grain(x, y);
    const Rgb black{0.06f, 0.06f, 0.065f};
    switch (cell)
    {
    case CELL_JACKET:
    {
        // Contrast panels on the sides and the shoulders, a zip down the
        // front, stitching along the panel edges.
        Rgb c = s.leather;
        const float sides = Near(v, {0.22f, 0.68f});
        if (sides < 0.09f || u > 0.82f)
            c = s.contrast;
        if (std::fabs(sides - 0.09f) < 0.006f || std::fabs(u - 0.82f) < 0.006f)
            c = Mix(c, Rgb{0.8f, 0.8f, 0.78f}, 0.5f);
        if (Near(v, {0.4375f}) < 0.008f && u < 0.95f)
            c = Rgb{0.55f, 0.55f, 0.58f};
        return Scale(c, 1.0f + grain * 0.06f);
    }
    case CELL_LEGS:
    case CELL_SLEEVES:
    {
        // Along the limb (v): a contrast cuff at the far end and a panel
        // over the joint in the middle.
        Rgb c = s.leather;
        if (v < 0.12f || std::fabs(v - 0.5f) < 0.07f)
            c = s.contrast;
        if (std::fabs(v - 0.12f) < 0.006f)
            c = Mix(c, Rgb{0.8f, 0.8f, 0.78f}, 0.5f);
        return Scale(c, 1.0f + grain * 0.06f);
    }
    case CELL_HELMET:
    {
        // Glossy shell: a highlight towards the top, darker at the rim.
        const float shine = std::pow(std::max(0.0f, 1.0f - std::fabs(u - 0.75f) * 3.0f), 3.0f) * 0.35f;
        Rgb c = Scale(s.helmet, 0.8f + u * 0.25f);
        if (u < 0.08f)
            c = black;
        return Mix(c, Rgb{1, 1, 1}, shine);
    }
    case CELL_VISOR:
    {
        // Smoked visor with a sky reflection across its upper half.
        const float sky = std::max(0.0f, 1.0f - v * 1.8f);
        return Mix(Rgb{0.05f, 0.06f, 0.09f}, Rgb{0.55f, 0.62f, 0.75f}, sky * 0.6f);
    }
    case CELL_LEATHER:
        return Scale(black, 1.0f + grain * 0.25f);
    case CELL_ARMOUR:
    {
        const Rgb plate{0.42f, 0.43f, 0.45f};
        const float ridge = std::fabs(std::sin(v * 3.14159f * 3.0f));
        return Scale(plate, 0.85f + ridge * 0.2f + grain * 0.03f);
    }
    default:
        return Scale(Mix(black, s.leather, 0.3f), 1.0f + grain * 0.1f);
    }
}

// A decal mask texel: 1 where the rider's colour goes.
typedef float (*DecalFn)(int cell, float u, float v);

float DecalSidePanels(int cell, float u, float v)
{
    switch (cell)
    {
    case CELL_JACKET:
        return std::max(Band(Near(v, {0.22f, 0.68f}), 0.07f), u > 0.84f ? 1.0f : 0.0f);
    case CELL_LEGS:
    case CELL_SLEEVES:
        return Band(std::fabs(v - 0.5f), 0.06f);
    case CELL_HELMET:
        return Band(Near(v, {0.4375f, 0.94f}), 0.05f) * (u > 0.1f ? 1.0f : 0.0f);
    default:
        return 0.0f;
    }
}

float DecalUpperBody(int cell, float u, float v)
{
    switch (cell)
    {
    case CELL_JACKET:
        // Colour over the chest and shoulders, a point down the front.
        return u > 0.55f - 0.25f * (1.0f - std::min(1.0f, Near(v, {0.4375f}) * 6.0f)) ? 1.0f : 0.0f;
    case CELL_SLEEVES:
        return v > 0.5f ? 1.0f : 0.0f;
    case CELL_HELMET:
        return u > 0.45f ? 1.0f : 0.0f;
    default:
        return 0.0f;
    }
}

float DecalFull(int cell, float u, float v)
{
    switch (cell)
    {
    case CELL_JACKET:
        return (u > 0.1f && Near(v, {0.94f}) > 0.12f) ? 1.0f : 0.0f;
    case CELL_LEGS:
        return (v > 0.14f && std::fabs(v - 0.5f) > 0.08f) ? 1.0f : 0.0f;
    case CELL_SLEEVES:
        return v > 0.14f ? 1.0f : 0.0f;
    case CELL_HELMET:
        return u > 0.1f && Near(v, {0.4375f, 0.94f}) > 0.04f ? 1.0f : 0.0f;
    case CELL_BELT:
        return 1.0f;
    default:
        return 0.0f;
    }
}

float DecalPinstripes(int cell, float u, float v)
{
    switch (cell)
    {
    case CELL_JACKET:
        return std::max(Band(Near(v, {0.12f, 0.32f, 0.58f, 0.78f}), 0.018f), Band(std::fabs(u - 0.7f), 0.03f));
    case CELL_LEGS:
    case CELL_SLEEVES:
        return std::max(Band(std::fabs(v - 0.3f), 0.02f), Band(std::fabs(v - 0.7f), 0.02f));
    case CELL_HELMET:
        return std::max(Band(Near(v, {0.36f, 0.52f}), 0.02f), Band(std::fabs(u - 0.3f), 0.04f));
    case CELL_ARMOUR:
        return 0.5f;
    default:
        return 0.0f;
    }
}

// ".bmp" names may be read as ".jpg" ("BMP to JPG"), so both are written.
void Add(DataTree& tree, const std::string& name, const std::vector<uint8_t>& bgra)
{
    tree.Add(name + ".bmp", WriteBmp24(kSize, kSize, bgra.data()));
    tree.Add(name + ".jpg", WriteJpg(kSize, kSize, bgra.data(), 92));
}

void GenerateHumanTextures(DataTree& tree)
{
    const Suit suits[2] = {
        {{0.11f, 0.11f, 0.12f}, {0.42f, 0.42f, 0.44f}, {0.14f, 0.14f, 0.15f}},
        {{0.86f, 0.86f, 0.84f}, {0.12f, 0.12f, 0.13f}, {0.9f, 0.9f, 0.88f}},
    };
    for (int i = 0; i < 2; ++i)
    {
        const Suit& s = suits[i];
        const std::vector<uint8_t> bgra =
            Paint([&s](int cell, float u, float v, int x, int y) { return SuitTexel(s, cell, u, v, x, y); });
        char name[64];
        std::snprintf(name, sizeof(name), "Data/Humans/Main%02d", i + 1);
        Add(tree, name, bgra);
    }
    const DecalFn decals[4] = {DecalSidePanels, DecalUpperBody, DecalFull, DecalPinstripes};
    for (int i = 0; i < 4; ++i)
    {
        const DecalFn f = decals[i];
        const std::vector<uint8_t> bgra = Paint([f](int cell, float u, float v, int, int) {
            const float m = f(cell, u, v);
            return Rgb{m, m, m};
        });
        char name[64];
        std::snprintf(name, sizeof(name), "Data/Humans/Decal%02d", i + 1);
        Add(tree, name, bgra);
    }
}

}   // namespace

REGISTER_GENERATOR("human textures", GenerateHumanTextures);
