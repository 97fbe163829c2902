// Generator module: the splash picture shown at start ("Data/splash.jpg") and
// the maker's emblem that follows it. The picture is a racer at dawn on a
// road winding into the hills; the emblem a winged wheel in a gold ring on a
// transparent ground.
#include <cmath>
#include <vector>

#include "tools/DataTree.h"
#include "tools/ImageWriter.h"
#include "tools/SplashArt.h"

using namespace splashart;

namespace
{

const float kPi = 3.14159265f;

// The road's centre and half width at a height y below the horizon.
void RoadAt(float y, float horizon, float bottom, float* centre, float* half)
{
    const float d = (y - horizon) / (bottom - horizon);   // 0 far .. 1 near
    *centre = 400.0f + 140.0f * std::sin((1.0f - d) * 3.2f) * (1.0f - d * 0.6f) - 60.0f * d;
    *half = 6.0f + 330.0f * d * d;
}

std::vector<uint8_t> SplashPixels()
{
    Picture p(800, 600);
    const float horizon = 330.0f;
    p.VerticalGradient({{0.0f, {0.07f, 0.08f, 0.22f}},
                        {0.3f, {0.32f, 0.2f, 0.42f}},
                        {0.5f, {0.95f, 0.48f, 0.28f}},
                        {0.56f, {1.0f, 0.78f, 0.45f}},
                        {1.0f, {0.2f, 0.12f, 0.12f}}});
    // Sun and its haze.
    p.Disc(520.0f, 300.0f, 150.0f, 140.0f, {1.0f, 0.7f, 0.4f}, 0.35f);
    p.Disc(520.0f, 305.0f, 46.0f, 3.0f, {1.0f, 0.93f, 0.7f});
    // A few thin clouds lit from below.
    for (int i = 0; i < 7; ++i)
    {
        const float y = 120.0f + 28.0f * float(i) + 9.0f * Hash(i, 1, 3);
        const float x = 60.0f + 700.0f * Hash(i, 2, 3);
        for (int k = -8; k <= 8; ++k)
            p.Disc(x + 15.0f * float(k), y + 0.3f * float(k) + 3.0f * std::sin(float(k + i)),
                   12.0f - std::abs(float(k)), 10.0f, {1.0f, 0.62f, 0.5f}, 0.12f);
    }
    // Ranges of hills, farther ones paler.
    p.Hills(horizon + 5.0f, 120.0f, 260.0f, 11, {0.46f, 0.3f, 0.45f});
    p.Hills(horizon + 25.0f, 100.0f, 180.0f, 12, {0.3f, 0.2f, 0.33f});
    p.Hills(horizon + 70.0f, 90.0f, 120.0f, 13, {0.17f, 0.12f, 0.2f});
    // The road: verge, tarmac, edge lines and a dashed centre line.
    for (int y = int(horizon) - 20; y < 600; ++y)
    {
        if (y < horizon + 40.0f)
            continue;
        float c, half;
        RoadAt(float(y), horizon + 40.0f, 600.0f, &c, &half);
        const float d = (float(y) - horizon - 40.0f) / (560.0f - horizon);
        for (int x = int(c - half * 1.25f); x <= int(c + half * 1.25f); ++x)
        {
            const float a = std::fabs(float(x) + 0.5f - c) / half;
            Colour col = {0.22f + 0.1f * d, 0.2f + 0.08f * d, 0.24f + 0.06f * d};
            if (a > 1.0f)
                col = {0.55f, 0.35f, 0.25f};
            else if (a > 0.9f)
                col = {0.95f, 0.85f, 0.75f};
            else if (a < 0.03f && std::fmod(std::pow(d, 0.6f) * 30.0f, 2.0f) < 1.0f)
                col = {1.0f, 0.85f, 0.4f};
            // Sunlight glints along the tarmac.
            const float glint = std::max(0.0f, 1.0f - std::fabs(float(x) - 520.0f) / (60.0f + 200.0f * d));
            col = Lerp(col, {1.0f, 0.75f, 0.5f}, glint * 0.35f * (1.0f - d));
            p.Blend(x, y, col, std::clamp(half * 1.25f - std::fabs(float(x) + 0.5f - c), 0.0f, 1.0f));
        }
    }
    // Speed streaks and the racer leaning into the bend.
    for (int i = 0; i < 24; ++i)
    {
        const float y = 400.0f + 190.0f * Hash(i, 5, 9);
        const float x = 800.0f * Hash(i, 6, 9);
        p.Line(x, y, x - 90.0f - 80.0f * Hash(i, 7, 9), y + 6.0f, 1.5f, {1.0f, 0.8f, 0.6f}, 0.25f);
    }
    RiderSilhouette(p, 310.0f, 525.0f, 34.0f, {0.05f, 0.04f, 0.07f}, {1.0f, 0.65f, 0.35f});
    p.Vignette(0.55f);
    p.Grain(0.012f, 21);
    return p.Bgra();
}

// The emblem: a gold ring round a deep red disc, a spoked wheel and two
// swept wings, on transparent ground (alpha carries the shape).
std::vector<uint8_t> LogoPixels(int size)
{
    Picture p(size, size);
    for (float& a : p.alpha)
        a = 0.0f;
    Picture shape(size, size);   // the same drawing in white for the alpha
    const float c = float(size) * 0.5f, s = float(size) / 256.0f;
    auto both = [&](auto draw) {
        draw(p, false);
        draw(shape, true);
    };
    both([&](Picture& q, bool mask) {
        const Colour white = {1, 1, 1};
        q.Disc(c, c, 100.0f * s, 2.0f, mask ? white : Colour{0.45f, 0.05f, 0.05f});
        q.Ring(c, c, 100.0f * s, 118.0f * s, mask ? white : Colour{0.95f, 0.72f, 0.25f});
        q.Ring(c, c, 104.0f * s, 107.0f * s, mask ? white : Colour{0.55f, 0.35f, 0.1f});
        // Wings to both sides of the wheel, three feathers each.
        for (int side = -1; side <= 1; side += 2)
            for (int f = 0; f < 3; ++f)
            {
                const float y = c - 20.0f * s + float(f) * 18.0f * s;
                const float len = (70.0f - 14.0f * float(f)) * s;
                q.Polygon({{c + side * 40.0f * s, y - 7.0f * s},
                           {c + side * (40.0f * s + len), y - 20.0f * s + float(f) * 4.0f * s},
                           {c + side * (40.0f * s + len * 0.8f), y + 6.0f * s},
                           {c + side * 40.0f * s, y + 8.0f * s}},
                          mask ? white : Lerp(Colour{1.0f, 0.9f, 0.6f}, Colour{0.9f, 0.6f, 0.2f}, float(f) / 2.0f));
            }
        // The wheel: tyre, rim and spokes.
        q.Ring(c, c, 34.0f * s, 46.0f * s, mask ? white : Colour{0.1f, 0.08f, 0.08f});
        q.Ring(c, c, 29.0f * s, 34.0f * s, mask ? white : Colour{0.9f, 0.9f, 0.88f});
        for (int k = 0; k < 6; ++k)
        {
            const float a = float(k) * kPi / 3.0f;
            q.Line(c, c, c + std::cos(a) * 30.0f * s, c + std::sin(a) * 30.0f * s, 3.5f * s,
                   mask ? white : Colour{0.9f, 0.9f, 0.88f});
        }
        q.Disc(c, c, 8.0f * s, 1.0f, mask ? white : Colour{0.95f, 0.72f, 0.25f});
    });
    for (size_t i = 0; i < p.alpha.size(); ++i)
        p.alpha[i] = shape.rgb[i].r;
    // Soft light from the top left.
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
        {
            const float k = 1.15f - 0.3f * (float(x + y) / float(2 * size));
            Colour& q = p.rgb[size_t(y) * size + x];
            q = {q.r * k, q.g * k, q.b * k};
        }
    return p.Bgra();
}

void GenSplash(DataTree& tree)
{
    const std::vector<uint8_t> splash = SplashPixels();
    tree.Add("Data/splash.jpg", WriteJpg(800, 600, splash.data(), 90));
    const int logo = 256;
    const std::vector<uint8_t> emblem = LogoPixels(logo);
    tree.Add("Data/Interface/Menu_Main/Logo_Brenhold.dds",
             WriteDds(logo, logo, emblem.data(), PixelFormat::A8R8G8B8, true));
}

}   // namespace

REGISTER_GENERATOR("splash", GenSplash);
