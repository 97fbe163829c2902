#pragma once
// Small painting helpers for the generated menu pictures (cups, upgrade
// icons): a floating-point B,G,R,A surface with shapes given as coverage
// functions, sampled 4 x 4 per pixel so their edges come out smooth.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

namespace menuart
{

struct Rgba
{
    float r, g, b, a;
};

inline Rgba Lerp(Rgba x, Rgba y, float t)
{
    return {x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t, x.a + (y.a - x.a) * t};
}

class Surface
{
public:
    Surface(int w, int h, Rgba clear) : width(w), height(h), pixels((size_t)w * h, clear) {}

    // Paints every pixel where `inside` (x, y in pixel units, 0..w) holds,
    // blended by the share of its 16 samples inside, with the colour that
    // `colour` gives for the pixel centre.
    void Fill(const std::function<bool(float, float)>& inside, const std::function<Rgba(float, float)>& colour)
    {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
            {
                int hits = 0;
                for (int j = 0; j < 4; ++j)
                    for (int i = 0; i < 4; ++i)
                        hits += inside(x + (i + 0.5f) / 4.0f, y + (j + 0.5f) / 4.0f) ? 1 : 0;
                if (!hits)
                    continue;
                Rgba c = colour(x + 0.5f, y + 0.5f);
                const float cover = hits / 16.0f * c.a;
                Rgba& p = pixels[(size_t)y * width + x];
                const float outA = cover + p.a * (1.0f - cover);
                if (outA <= 0.0f)
                    continue;
                p.r = (c.r * cover + p.r * p.a * (1.0f - cover)) / outA;
                p.g = (c.g * cover + p.g * p.a * (1.0f - cover)) / outA;
                p.b = (c.b * cover + p.b * p.a * (1.0f - cover)) / outA;
                p.a = outA;
            }
    }
    void Fill(const std::function<bool(float, float)>& inside, Rgba colour)
    {
        Fill(inside, [colour](float, float) { return colour; });
    }

    // B, G, R, A bytes, top row first.
    std::vector<uint8_t> Bgra() const
    {
        std::vector<uint8_t> out(pixels.size() * 4);
        for (size_t i = 0; i < pixels.size(); ++i)
        {
            const Rgba& p = pixels[i];
            out[i * 4 + 0] = (uint8_t)std::clamp(p.b * 255.0f + 0.5f, 0.0f, 255.0f);
            out[i * 4 + 1] = (uint8_t)std::clamp(p.g * 255.0f + 0.5f, 0.0f, 255.0f);
            out[i * 4 + 2] = (uint8_t)std::clamp(p.r * 255.0f + 0.5f, 0.0f, 255.0f);
            out[i * 4 + 3] = (uint8_t)std::clamp(p.a * 255.0f + 0.5f, 0.0f, 255.0f);
        }
        return out;
    }

    int width, height;
    std::vector<Rgba> pixels;
};

// Polished metal across a round body: dark rims, a bright band left of the
// middle and a thin highlight; u runs -1..1 across the body.
inline Rgba Metal(Rgba base, float u)
{
    u = std::clamp(u, -1.0f, 1.0f);
    const float body = 0.45f + 0.55f * std::sqrt(std::max(0.0f, 1.0f - u * u));
    const float band = std::exp(-(u + 0.35f) * (u + 0.35f) * 18.0f);
    const float rim = std::exp(-(u - 0.7f) * (u - 0.7f) * 40.0f) * 0.35f;
    Rgba c = {base.r * body, base.g * body, base.b * body, base.a};
    c = Lerp(c, {1, 1, 0.95f, base.a}, std::min(1.0f, band * 0.85f + rim));
    return c;
}

}   // namespace menuart
