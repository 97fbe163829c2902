// The sun picture and the horizon backgrounds: three ranges of distant hills
// round each area, hazier the farther they lie, coloured by the season.
#include <cmath>

#include "tools/AreaGenNoise.h"
#include "tools/SkyGen.h"

namespace
{

const float kPi = 3.14159265f;

struct Rgb
{
    float r, g, b;
};

Rgb Mix(const Rgb& a, const Rgb& b, float t)
{
    return Rgb{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// Value noise along a closed line of `period` lattice steps.
float LoopNoise(float x, int period, uint32_t seed)
{
    const float fx = std::floor(x);
    const int i = int(fx);
    auto wrap = [period](int v) { return ((v % period) + period) % period; };
    const float t = AreaSmooth(x - fx);
    const float a = AreaLatticeValue(wrap(i), 0, seed), b = AreaLatticeValue(wrap(i + 1), 0, seed);
    return a + (b - a) * t;
}

// Fractal noise over the picture's width (0..1), repeating at its ends.
float LoopFractal(float x, int cells, int octaves, uint32_t seed)
{
    float sum = 0.0f, weight = 1.0f, total = 0.0f;
    for (int o = 0; o < octaves; ++o)
    {
        const int period = cells << o;
        sum += LoopNoise(x * period, period, seed + 57u * o) * weight;
        total += weight;
        weight *= 0.5f;
    }
    return sum / total;
}

// Elevation in degrees of a row: the ring's top edge runs through the top
// row's centre, its bottom edge through the bottom row's.
float RowElevation(float row, int height)
{
    const float top = std::tan(kSkyRingTopDegrees * kPi / 180.0f);
    const float bottom = std::tan(kSkyRingBottomDegrees * kPi / 180.0f);
    const float v = row / float(height - 1);
    return std::atan(top + (bottom - top) * v) * 180.0f / kPi;
}

struct Range
{
    float base, height;   // ridge elevation in degrees: base + height x noise
    int cells, octaves;
    float sharpness;   // > 1 gives peaks, < 1 rounded hills
};

struct Palette
{
    Rgb far, mid, near, snow;
};

const Palette kPalettes[3] = {
    {{118, 144, 150}, {84, 112, 104}, {54, 84, 50}, {236, 240, 248}},       // summer
    {{146, 140, 138}, {128, 112, 84}, {116, 78, 44}, {236, 240, 248}},      // autumn
    {{200, 208, 226}, {176, 184, 198}, {128, 134, 138}, {246, 248, 252}},   // winter
};
const Rgb kHaze = {176, 190, 208};

}   // namespace

SkyPicture SkySunPicture(int size)
{
    SkyPicture pic(size, size);
    const float half = size / 2.0f;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
        {
            const float dx = (x + 0.5f - half) / half, dy = (y + 0.5f - half) / half;
            const float rho = std::sqrt(dx * dx + dy * dy);
            const float phi = std::atan2(dy, dx);
            const float core = 1.0f - AreaSmoothStep(0.06f, 0.085f, rho);
            const float halo = 0.55f * std::exp(-rho * 9.0f) + 0.22f * std::exp(-rho * 3.2f);
            const float rays = 0.10f * std::pow(std::fabs(std::cos(3.0f * phi + 0.3f)), 60.0f) * std::exp(-rho * 3.0f);
            // Nothing at the square's edge: the glare is this picture drawn large.
            const float edge = 1.0f - AreaSmoothStep(0.7f, 0.98f, rho);
            const float k = std::fmin(1.0f, core + (halo + rays) * edge);
            pic.Set(x, y, 255.0f * k, 250.0f * k, 236.0f * k + 19.0f * core);
        }
    return pic;
}

SkyPicture SkyBackgroundPicture(int area, int season)
{
    const int w = kSkyBackgroundWidth, h = kSkyBackgroundHeight;
    SkyPicture pic(w, h);
    if (season < 0 || season > 2)
        season = 0;
    const Palette& pal = kPalettes[season];
    const uint32_t seed = 0xB6C0u + 19u * uint32_t(area);
    // Far range, middle hills, near hills; the third area has real mountains.
    const Range ranges[3] = {
        area == 3   ? Range{2.5f, 11.0f, 5, 5, 1.8f}
        : area == 2 ? Range{2.0f, 7.0f, 6, 5, 1.4f}
                    : Range{1.5f, 5.0f, 4, 4, 1.0f},
        Range{1.0f, 3.5f, 9, 4, 0.9f},
        Range{0.0f, 2.2f, 14, 4, 0.8f},
    };
    const float degreesPerRow = (kSkyRingTopDegrees - kSkyRingBottomDegrees) / h * 1.1f;
    for (int x = 0; x < w; ++x)
    {
        const float across = (x + 0.5f) / w;
        float ridge[3];
        for (int k = 0; k < 3; ++k)
        {
            const Range& r = ranges[k];
            const float n = LoopFractal(across, r.cells, r.octaves, seed + 101u * k);
            ridge[k] = r.base + r.height * std::pow(AreaSmoothStep(0.2f, 0.85f, n), r.sharpness);
        }
        for (int y = 0; y < h; ++y)
        {
            const float e = RowElevation(float(y), h);
            // Nearest range first: it hides the ones behind.
            Rgb colour = {0, 0, 0};
            float alpha = 0.0f;
            for (int k = 2; k >= 0; --k)
            {
                const float cover = AreaSmoothStep(-0.5f, 0.5f, (ridge[k] - e) / degreesPerRow);
                if (cover <= 0.0f)
                    continue;
                Rgb c;
                if (k == 0)
                {
                    // Far range: bluish haze; snow on the high peaks.
                    c = Mix(pal.far, kHaze, 0.45f);
                    const float snowLine = area == 3 ? 8.0f : (season == 2 ? 3.0f : 99.0f);
                    const float snow = AreaSmoothStep(snowLine - 0.8f, snowLine + 1.5f, e) *
                                       AreaFractalNoise(x * 0.5f, y * 1.5f, 6.0f, 3, seed + 9u);
                    c = Mix(c, Mix(pal.snow, kHaze, 0.25f), AreaSmoothStep(0.3f, 0.55f, snow));
                }
                else if (k == 1)
                    c = Mix(pal.mid, kHaze, 0.3f);
                else
                {
                    // Near hills: woods and fields in patches.
                    const float patch = AreaFractalNoise(x * 1.0f, y * 2.0f, 14.0f, 4, seed + 23u);
                    c = Mix(pal.near, Mix(pal.near, pal.mid, 0.6f), AreaSmoothStep(0.4f, 0.65f, patch));
                }
                // Slopes a little lighter towards their ridges, as the sky lights them.
                const float nearRidge = AreaSmoothStep(ridge[k] - 3.0f, ridge[k], e);
                c = Mix(c, kHaze, 0.12f * nearRidge);
                const float shown = cover * (1.0f - alpha);
                colour.r += c.r * shown;
                colour.g += c.g * shown;
                colour.b += c.b * shown;
                alpha += shown;
            }
            if (alpha > 0.0f)
                pic.Set(x, y, colour.r / alpha, colour.g / alpha, colour.b / alpha, alpha * 255.0f);
            else
                pic.Set(x, y, kHaze.r, kHaze.g, kHaze.b, 0.0f);
        }
    }
    return pic;
}
