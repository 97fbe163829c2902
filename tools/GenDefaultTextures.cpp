// Generator module: the render device's default textures — the light-sprite
// atlas, plain black and white, and the environment cube that chrome and
// glass reflect.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/DataTree.h"
#include "tools/ImageWriter.h"

namespace
{

struct Image
{
    int w, h;
    std::vector<uint8_t> bgra;
    Image(int width, int height) : w(width), h(height), bgra(size_t(width) * height * 4, 0) {}
    // Adds light (additive, clamped): the atlas is drawn with ONE/ONE blending,
    // so black is "nothing" and overlapping shapes just get brighter.
    void Add(int x, int y, float r, float g, float b)
    {
        uint8_t* p = &bgra[(size_t(y) * w + x) * 4];
        p[0] = uint8_t(std::min(255.0f, p[0] + b * 255.0f));
        p[1] = uint8_t(std::min(255.0f, p[1] + g * 255.0f));
        p[2] = uint8_t(std::min(255.0f, p[2] + r * 255.0f));
        p[3] = 255;
    }
};

float Clamp01(float v)
{
    return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}

float Smooth(float v)
{
    v = Clamp01(v);
    return v * v * (3.0f - 2.0f * v);
}

// Cell of the atlas in texels: u0..u1, v0..v1 as fractions of the size.
struct Cell
{
    int x0, y0, x1, y1;
};

Cell MakeCell(int size, float u0, float v0, float u1, float v1)
{
    return Cell{int(u0 * size), int(v0 * size), int(u1 * size), int(v1 * size)};
}

// A soft round glow with a hot core, filling the cell.
void DrawGlow(Image& img, const Cell& c, float core, float r, float g, float b)
{
    float cx = (c.x0 + c.x1) * 0.5f, cy = (c.y0 + c.y1) * 0.5f;
    float rx = (c.x1 - c.x0) * 0.5f, ry = (c.y1 - c.y0) * 0.5f;
    for (int y = c.y0; y < c.y1; y++)
        for (int x = c.x0; x < c.x1; x++)
        {
            float dx = (x + 0.5f - cx) / rx, dy = (y + 0.5f - cy) / ry;
            float d = std::sqrt(dx * dx + dy * dy);
            float halo = std::pow(Clamp01(1.0f - d), 2.2f);
            float hot = std::pow(Clamp01(1.0f - d / core), 1.5f);
            float v = Clamp01(halo * 0.8f + hot);
            img.Add(x, y, r * v, g * v, b * v);
        }
}

// A wide horizontal glare: a thin bright streak over a flattened halo.
void DrawGlare(Image& img, const Cell& c)
{
    float cx = (c.x0 + c.x1) * 0.5f, cy = (c.y0 + c.y1) * 0.5f;
    float rx = (c.x1 - c.x0) * 0.5f, ry = (c.y1 - c.y0) * 0.5f;
    for (int y = c.y0; y < c.y1; y++)
        for (int x = c.x0; x < c.x1; x++)
        {
            float dx = (x + 0.5f - cx) / rx, dy = (y + 0.5f - cy) / ry;
            float halo = std::pow(Clamp01(1.0f - std::sqrt(dx * dx + dy * dy)), 2.0f);
            float streak = std::pow(Clamp01(1.0f - std::fabs(dx)), 1.5f) * std::exp(-dy * dy * 40.0f);
            float v = Clamp01(halo * 0.7f + streak);
            img.Add(x, y, v, v, v * 0.95f);
        }
}

// The light cone of a spot: the source sits at the bottom centre of the cell,
// the light spreads upwards and fades with distance and towards the edges.
void DrawCone(Image& img, const Cell& c)
{
    float w = float(c.x1 - c.x0), h = float(c.y1 - c.y0);
    for (int y = c.y0; y < c.y1; y++)
        for (int x = c.x0; x < c.x1; x++)
        {
            float along = 1.0f - (y + 0.5f - c.y0) / h;   // 0 at the source, 1 at the far end
            // The cone widens linearly from the source to the full cell width.
            float side = std::fabs((x + 0.5f - c.x0) / w - 0.5f) / (0.5f * (along + 0.04f));
            float v = Smooth(1.0f - side) * std::pow(Clamp01(1.0f - along), 1.3f);
            img.Add(x, y, v, v, v * 0.9f);
        }
}

std::vector<uint8_t> Solid(int size, uint8_t b, uint8_t g, uint8_t r)
{
    std::vector<uint8_t> px(size_t(size) * size * 4);
    for (size_t i = 0; i < px.size(); i += 4)
    {
        px[i] = b;
        px[i + 1] = g;
        px[i + 2] = r;
        px[i + 3] = 255;
    }
    return px;
}

// Small deterministic value noise, so the generated data is the same each run.
float Hash(int x, int y, int z)
{
    uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + uint32_t(z) * 2147483647u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return float((h ^ (h >> 16)) & 0xffff) / 65535.0f;
}

float Noise3(float x, float y, float z)
{
    int ix = int(std::floor(x)), iy = int(std::floor(y)), iz = int(std::floor(z));
    float fx = x - ix, fy = y - iy, fz = z - iz;
    fx = fx * fx * (3 - 2 * fx);
    fy = fy * fy * (3 - 2 * fy);
    fz = fz * fz * (3 - 2 * fz);
    float v = 0;
    for (int k = 0; k < 8; k++)
    {
        int ox = k & 1, oy = (k >> 1) & 1, oz = (k >> 2) & 1;
        float wgt = (ox ? fx : 1 - fx) * (oy ? fy : 1 - fy) * (oz ? fz : 1 - fz);
        v += wgt * Hash(ix + ox, iy + oy, iz + oz);
    }
    return v;
}

// Colour of the surroundings seen in direction (x, y, z): a sky with soft
// clouds and a sun above, a hazy horizon, and dark ground below.
void EnvColour(float x, float y, float z, float rgb[3])
{
    float len = std::sqrt(x * x + y * y + z * z);
    x /= len, y /= len, z /= len;
    const float sky[3] = {0.35f, 0.55f, 0.85f}, horizon[3] = {0.78f, 0.82f, 0.86f};
    const float ground[3] = {0.28f, 0.25f, 0.20f};
    if (y >= 0.0f)
    {
        float t = std::pow(y, 0.6f);
        for (int i = 0; i < 3; i++)
            rgb[i] = horizon[i] + (sky[i] - horizon[i]) * t;
        float cloud =
            Noise3(x * 4.0f + 11.0f, y * 4.0f, z * 4.0f) * 0.6f + Noise3(x * 9.0f, y * 9.0f + 5.0f, z * 9.0f) * 0.4f;
        cloud = Smooth((cloud - 0.5f) * 3.0f) * Clamp01(y * 4.0f) * 0.6f;
        for (int i = 0; i < 3; i++)
            rgb[i] += (0.95f - rgb[i]) * cloud;
        const float sun[3] = {0.45f, 0.7f, 0.55f};
        float sl = std::sqrt(sun[0] * sun[0] + sun[1] * sun[1] + sun[2] * sun[2]);
        float d = (x * sun[0] + y * sun[1] + z * sun[2]) / sl;
        float glow = std::pow(Clamp01(d), 200.0f) + 0.25f * std::pow(Clamp01(d), 8.0f);
        for (int i = 0; i < 3; i++)
            rgb[i] += glow * (i == 2 ? 0.8f : 1.0f);
    }
    else
    {
        float t = Smooth(-y * 6.0f);
        float n = 0.85f + 0.3f * Noise3(x * 12.0f, y * 12.0f, z * 12.0f);
        for (int i = 0; i < 3; i++)
            rgb[i] = horizon[i] + (ground[i] * n - horizon[i]) * t;
    }
}

std::vector<uint8_t> CubeFace(int face, int size)
{
    std::vector<uint8_t> px(size_t(size) * size * 4);
    for (int y = 0; y < size; y++)
        for (int x = 0; x < size; x++)
        {
            float s = 2.0f * (x + 0.5f) / size - 1.0f;
            float t = 2.0f * (y + 0.5f) / size - 1.0f;
            float d[3];
            switch (face)   // +X, -X, +Y, -Y, +Z, -Z with the top row first
            {
            case 0:
                d[0] = 1;
                d[1] = -t;
                d[2] = -s;
                break;
            case 1:
                d[0] = -1;
                d[1] = -t;
                d[2] = s;
                break;
            case 2:
                d[0] = s;
                d[1] = 1;
                d[2] = t;
                break;
            case 3:
                d[0] = s;
                d[1] = -1;
                d[2] = -t;
                break;
            case 4:
                d[0] = s;
                d[1] = -t;
                d[2] = 1;
                break;
            default:
                d[0] = -s;
                d[1] = -t;
                d[2] = -1;
                break;
            }
            float rgb[3];
            EnvColour(d[0], d[1], d[2], rgb);
            uint8_t* p = &px[(size_t(y) * size + x) * 4];
            p[0] = uint8_t(Clamp01(rgb[2]) * 255.0f);
            p[1] = uint8_t(Clamp01(rgb[1]) * 255.0f);
            p[2] = uint8_t(Clamp01(rgb[0]) * 255.0f);
            p[3] = 255;
        }
    return px;
}

// The light-sprite atlas, in the cells the light sprites, glares, lamps,
// beams and spot cones read.
std::vector<uint8_t> LightMapPixels(int size)
{
    Image img(size, size);
    DrawGlow(img, MakeCell(size, 0.5f, 0.5f, 1.0f, 1.0f), 0.25f, 1.0f, 0.97f, 0.9f);     // point lights
    DrawGlare(img, MakeCell(size, 0.5f, 0.0f, 1.0f, 0.25f));                             // front glare
    DrawGlow(img, MakeCell(size, 0.5f, 0.25f, 0.75f, 0.5f), 0.4f, 1.0f, 1.0f, 0.95f);    // lamps
    DrawGlow(img, MakeCell(size, 0.75f, 0.25f, 1.0f, 0.5f), 0.35f, 1.0f, 0.85f, 0.8f);   // brake lamps
    DrawGlow(img, MakeCell(size, 0.0f, 0.0f, 0.25f, 0.25f), 0.1f, 0.6f, 0.6f, 0.6f);     // beam quads
    DrawCone(img, MakeCell(size, 0.0f, 0.5f, 0.5f, 1.0f));                               // spot cones
    return img.bgra;
}

void GenDefaultTextures(DataTree& tree)
{
    const int atlas = 256;
    std::vector<uint8_t> light = LightMapPixels(atlas);
    // ".bmp" names may be read as ".jpg" ("BMP to JPG"), so both are written.
    tree.Add("Data/Misc/LightMap.bmp", WriteBmp24(atlas, atlas, light.data()));
    tree.Add("Data/Misc/LightMap.jpg", WriteJpg(atlas, atlas, light.data(), 95));

    const int plain = 16;
    std::vector<uint8_t> black = Solid(plain, 0, 0, 0), white = Solid(plain, 255, 255, 255);
    tree.Add("Data/Misc/Black.bmp", WriteBmp24(plain, plain, black.data()));
    tree.Add("Data/Misc/Black.jpg", WriteJpg(plain, plain, black.data(), 95));
    tree.Add("Data/Misc/White.bmp", WriteBmp24(plain, plain, white.data()));
    tree.Add("Data/Misc/White.jpg", WriteJpg(plain, plain, white.data(), 95));

    const int faceSize = 128;
    std::vector<uint8_t> faces[6];
    const uint8_t* facePtrs[6];
    for (int f = 0; f < 6; f++)
    {
        faces[f] = CubeFace(f, faceSize);
        facePtrs[f] = faces[f].data();
    }
    tree.Add("Data/Misc/StaticEnvMap.dds", WriteDdsCube(faceSize, facePtrs, PixelFormat::X8R8G8B8, true));
}

}   // namespace

REGISTER_GENERATOR("default_textures", GenDefaultTextures);
