// The nine cloud skies: a blue gradient from a deep zenith to a pale, hazy
// horizon, with cumulus (and on some a veil of cirrus) on a flat cloud layer
// seen in perspective, so that the clouds crowd and thin out towards the
// horizon. Painted in daylight; the dome's lighting makes dusk and night.
#include <cmath>

#include "tools/AreaGenNoise.h"
#include "tools/SkyGen.h"

namespace
{

struct Rgb
{
    float r, g, b;
};

Rgb Mix(const Rgb& a, const Rgb& b, float t)
{
    return Rgb{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

const Rgb kZenith = {46, 98, 190};
const Rgb kHorizon = {178, 200, 224};
const Rgb kCloudLight = {250, 250, 252};
const Rgb kCloudShade = {146, 154, 170};
const Rgb kCirrus = {240, 244, 250};

// How each sky differs: cumulus cover 0..1, the size of the cumulus on the
// cloud layer, and how strong a veil of cirrus lies above them.
struct CloudStyle
{
    float cover;
    float scale;
    float cirrus;
    float shade;   // how grey the thick parts are
};

CloudStyle StyleOf(int number)
{
    static const CloudStyle kStyles[9] = {
        {0.10f, 0.9f, 0.0f, 0.35f},  {0.16f, 0.8f, 0.45f, 0.35f}, {0.22f, 1.1f, 0.0f, 0.40f},
        {0.27f, 0.7f, 0.30f, 0.40f}, {0.32f, 1.0f, 0.0f, 0.45f},  {0.36f, 1.3f, 0.55f, 0.45f},
        {0.41f, 0.9f, 0.0f, 0.50f},  {0.46f, 1.2f, 0.25f, 0.55f}, {0.52f, 1.5f, 0.0f, 0.60f},
    };
    if (number < 1)
        number = 1;
    if (number > 9)
        number = 9;
    return kStyles[number - 1];
}

// The sky seen in direction d (unit, y up) for one style and seed.
Rgb SkyColour(const float d[3], const CloudStyle& style, uint32_t seed)
{
    const float y = d[1] > 0.0f ? d[1] : 0.0f;
    const float towardsHorizon = std::pow(1.0f - y, 3.0f);
    Rgb sky = Mix(kZenith, kHorizon, towardsHorizon);
    if (y < 0.015f)
        return sky;

    // Where the view ray meets the cloud layer at height 1.
    const float px = d[0] / y, pz = d[2] / y;
    const float n = AreaFractalNoise(px + 31.7f, pz - 12.3f, style.scale, 6, seed);
    // A broad mask gathers the cumulus into fields with clear gaps.
    const float field = AreaFractalNoise(px * 0.21f + 5.0f, pz * 0.21f - 3.0f, 1.0f, 2, seed + 7u);
    const float threshold = 0.64f - 0.32f * style.cover + 0.18f * (0.5f - field);
    float cumulus = AreaSmoothStep(threshold, threshold + 0.12f, n);
    const float thickness = AreaSmoothStep(threshold + 0.04f, threshold + 0.30f, n);

    float cirrus = 0.0f;
    if (style.cirrus > 0.0f)
    {
        // Wisps: noise drawn out a little along one axis of the layer,
        // higher up than the cumulus and so less foreshortened.
        const float cx = px * 0.55f, cz = pz * 0.55f;
        const float streak = AreaFractalNoise(cx * 0.7f + cz * 0.2f, cz * 1.9f - cx * 0.3f, 1.0f, 5, seed + 31u);
        cirrus = AreaSmoothStep(0.52f, 0.75f, streak) * style.cirrus;
    }

    // Far clouds fade into the haze; the last degrees above the horizon
    // keep only the haze.
    const float distanceFade = AreaSmoothStep(0.015f, 0.22f, y);
    cumulus *= distanceFade;
    cirrus *= AreaSmoothStep(0.03f, 0.3f, y);

    Rgb cloud = Mix(kCloudLight, kCloudShade, thickness * style.shade);
    cloud = Mix(cloud, kHorizon, (1.0f - distanceFade) * 0.6f);
    sky = Mix(sky, kCirrus, cirrus * 0.5f);
    return Mix(sky, cloud, cumulus);
}

}   // namespace

SkyPicture SkyCloudsPicture(int number, int size)
{
    SkyPicture pic(size, size);
    const CloudStyle style = StyleOf(number);
    const uint32_t seed = 0x5C1Du + 977u * uint32_t(number);
    // Four samples a pixel: the cloud layer's detail runs fine near the horizon.
    const float offsets[4][2] = {{0.25f, 0.25f}, {0.75f, 0.25f}, {0.25f, 0.75f}, {0.75f, 0.75f}};
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
        {
            Rgb sum = {0, 0, 0};
            for (const auto& o : offsets)
            {
                float d[3];
                if (!SkyDirectionOfUV((x + o[0]) / size, (y + o[1]) / size, d))
                {
                    // Outside the horizon's circle: the horizon itself.
                    d[0] = 1.0f;
                    d[1] = 0.0f;
                    d[2] = 0.0f;
                }
                const Rgb c = SkyColour(d, style, seed);
                sum.r += c.r;
                sum.g += c.g;
                sum.b += c.b;
            }
            pic.Set(x, y, sum.r / 4.0f, sum.g / 4.0f, sum.b / 4.0f);
        }
    return pic;
}

void SkyPicture::Set(int x, int y, float r, float g, float b, float a)
{
    uint8_t* p = &bgra[(size_t(y) * w + x) * 4];
    auto clampByte = [](float v) { return uint8_t(v < 0.0f ? 0.0f : (v > 255.0f ? 255.0f : v + 0.5f)); };
    p[0] = clampByte(b);
    p[1] = clampByte(g);
    p[2] = clampByte(r);
    p[3] = clampByte(a);
}
