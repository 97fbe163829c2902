// Generator module: the dust puff and the skid-mark ribbon. Both are drawn
// tinted by vertex colour, so they are near white and carry their shape in
// alpha.
#include <cmath>
#include <cstdint>
#include <vector>

#include "tools/DataTree.h"
#include "tools/ImageWriter.h"

namespace
{

// Smooth value noise on a tiling grid of `cells` per side.
float Hash(int x, int y, int seed)
{
    uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + uint32_t(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return float((h ^ (h >> 16)) & 0xFFFF) / 65535.0f;
}

float Noise(float x, float y, int cells, int seed)
{
    const int x0 = int(std::floor(x)), y0 = int(std::floor(y));
    const float fx = x - float(x0), fy = y - float(y0);
    auto at = [&](int i, int j) { return Hash(((i % cells) + cells) % cells, ((j % cells) + cells) % cells, seed); };
    const float sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    const float a = at(x0, y0) + (at(x0 + 1, y0) - at(x0, y0)) * sx;
    const float b = at(x0, y0 + 1) + (at(x0 + 1, y0 + 1) - at(x0, y0 + 1)) * sx;
    return a + (b - a) * sy;
}

float Fractal(float u, float v, int seed)
{
    float sum = 0.0f, amplitude = 0.5f;
    for (int octave = 0, cells = 4; octave < 4; ++octave, cells *= 2, amplitude *= 0.5f)
        sum += Noise(u * float(cells), v * float(cells), cells, seed + octave) * amplitude;
    return sum / 0.9375f;
}

void Put(std::vector<uint8_t>& bgra, size_t i, float grey, float alpha)
{
    auto byte = [](float c) { return uint8_t(std::lround(std::fmin(1.0f, std::fmax(0.0f, c)) * 255.0f)); };
    bgra[i * 4 + 0] = bgra[i * 4 + 1] = bgra[i * 4 + 2] = byte(grey);
    bgra[i * 4 + 3] = byte(alpha);
}

// A billowing round puff: soft edge, clumpy inside, lighter at the top.
std::vector<uint8_t> DustPixels(int size)
{
    std::vector<uint8_t> bgra(size_t(size) * size * 4);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
        {
            const float u = (float(x) + 0.5f) / float(size), v = (float(y) + 0.5f) / float(size);
            const float dx = u - 0.5f, dy = v - 0.5f;
            const float n = Fractal(u, v, 11);
            const float r = std::sqrt(dx * dx + dy * dy) * 2.0f + (n - 0.5f) * 0.35f;
            const float edge = std::fmax(0.0f, 1.0f - r);
            const float alpha = edge * edge * (0.55f + 0.45f * n);
            const float grey = 0.85f + 0.15f * (0.5f - dy) - 0.1f * (1.0f - n);
            Put(bgra, size_t(y) * size + x, grey, alpha);
        }
    return bgra;
}

// A tyre track across u (0 and 1 are the ribbon's edges) repeating along v:
// tread blocks with frayed edges.
std::vector<uint8_t> SkidPixels(int size)
{
    std::vector<uint8_t> bgra(size_t(size) * size * 4);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
        {
            const float u = (float(x) + 0.5f) / float(size), v = (float(y) + 0.5f) / float(size);
            const float across = std::fabs(u - 0.5f) * 2.0f;
            const float n = Fractal(u, v, 23);
            float edge = 1.0f - std::fmax(0.0f, (across - 0.7f + (n - 0.5f) * 0.2f) / 0.3f);
            edge = std::fmin(1.0f, std::fmax(0.0f, edge));
            const float tread = 0.75f + 0.25f * std::cos((v * 8.0f + (u < 0.5f ? 0.0f : 0.5f)) * 6.2831853f);
            const float alpha = edge * tread * (0.7f + 0.3f * n);
            Put(bgra, size_t(y) * size + x, 0.9f + 0.1f * n, alpha);
        }
    return bgra;
}

void GenEffectTextures(DataTree& tree)
{
    const int dust = 128, skid = 64;
    const std::vector<uint8_t> dustPixels = DustPixels(dust), skidPixels = SkidPixels(skid);
    tree.Add("Data/Effects/Dusts/Dusts.dds", WriteDds(dust, dust, dustPixels.data(), PixelFormat::A8R8G8B8, true));
    tree.Add("Data/Effects/WheelSkids/Skids.dds", WriteDds(skid, skid, skidPixels.data(), PixelFormat::A8R8G8B8, true));
}

}   // namespace

REGISTER_GENERATOR("effect textures", GenEffectTextures);
