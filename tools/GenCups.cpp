// Generator module: the trophies of the career page and the race result
// ("Data/Interface/Cups/Cup1.dds" gold, "Cup2.dds" silver, "Cup3.dds" bronze,
// "GoldenCup.dds" the career's big cup with its star). Each is a polished
// cup with handles, stem and a dark plinth on a transparent ground; the
// career page also draws the third one in black as a silhouette, so the
// alpha edge is kept clean.
#include <cmath>

#include "tools/DataTree.h"
#include "tools/ImageWriter.h"
#include "tools/MenuArt.h"

namespace
{

using menuart::Rgba;

const int kSize = 128;

struct CupStyle
{
    const char* path;
    Rgba metal;
    bool grand;   // the career cup: taller bowl, wings on the handles, a star
};

bool InEllipseRing(float x, float y, float cx, float cy, float rx, float ry, float thickness)
{
    const float d = std::sqrt((x - cx) * (x - cx) / (rx * rx) + (y - cy) * (y - cy) / (ry * ry));
    return std::abs(d - 1.0f) * std::min(rx, ry) < thickness * 0.5f;
}

bool InStar(float x, float y, float cx, float cy, float r)
{
    const float dx = x - cx, dy = y - cy;
    const float a = std::atan2(dy, dx) + 1.5707963f + 6.2831853f;
    // Five-pointed star as a radial profile between the inner and outer radius.
    const float t = std::fmod(a * 5.0f / 6.2831853f, 1.0f);
    const float profile = 0.42f + 0.58f * std::abs(1.0f - 2.0f * t);
    return std::sqrt(dx * dx + dy * dy) < r * profile;
}

void DrawCup(menuart::Surface& s, const CupStyle& style)
{
    const float cx = kSize * 0.5f;
    const float bowlTop = style.grand ? 14.0f : 20.0f;
    const float bowlBottom = style.grand ? 70.0f : 66.0f;
    const float bowlHalf = style.grand ? 34.0f : 31.0f;
    const Rgba metal = style.metal;
    const Rgba dark = {metal.r * 0.35f, metal.g * 0.35f, metal.b * 0.35f, 1};

    // Handles behind the bowl: rings on either side.
    for (int side = -1; side <= 1; side += 2)
    {
        const float hx = cx + side * (bowlHalf + 4.0f);
        s.Fill(
            [&](float x, float y) {
                return InEllipseRing(x, y, hx, bowlTop + 20.0f, 11.0f, 15.0f, 5.0f) && side * (x - hx) > -5.0f;
            },
            [&](float x, float) { return menuart::Metal(metal, (x - hx) / 12.0f * side); });
        if (style.grand)   // small wings on the handles
            s.Fill(
                [&](float x, float y) {
                    const float u = (x - hx) * side, v = y - (bowlTop + 6.0f);
                    return u > 4.0f && u < 20.0f && v > -8.0f + u * 0.3f && v < 2.0f - u * 0.25f;
                },
                [&](float x, float) { return menuart::Metal(metal, (x - hx) / 20.0f * side); });
    }
    // The bowl: a rounded cup, wide at the rim.
    s.Fill(
        [&](float x, float y) {
            if (y < bowlTop || y > bowlBottom)
                return false;
            const float t = (y - bowlTop) / (bowlBottom - bowlTop);
            const float half = bowlHalf * std::sqrt(std::max(0.0f, 1.0f - t * t * t)) + 3.0f * (1.0f - t);
            return std::abs(x - cx) < half;
        },
        [&](float x, float y) {
            const float t = (y - bowlTop) / (bowlBottom - bowlTop);
            const float half = bowlHalf * std::sqrt(std::max(0.01f, 1.0f - t * t * t)) + 3.0f * (1.0f - t);
            return menuart::Metal(metal, (x - cx) / half);
        });
    // The rim's lip and the dark inside seen over it.
    s.Fill([&](float x, float y) { return std::abs(y - bowlTop) < 3.0f && std::abs(x - cx) < bowlHalf + 5.0f; },
           [&](float x, float) { return menuart::Metal(metal, (x - cx) / (bowlHalf + 5.0f)); });
    s.Fill([&](float x, float y) { return std::abs(y - bowlTop - 0.5f) < 1.2f && std::abs(x - cx) < bowlHalf + 1.0f; },
           dark);
    // Stem with a knot, then the foot.
    s.Fill(
        [&](float x, float y) {
            return y >= bowlBottom - 2 && y < 96 && std::abs(x - cx) < 5.0f + (y > 80 ? (y - 80) * 0.3f : 0.0f);
        },
        [&](float x, float) { return menuart::Metal(metal, (x - cx) / 8.0f); });
    s.Fill([&](float x, float y) { return (x - cx) * (x - cx) / 110.0f + (y - 80) * (y - 80) / 16.0f < 1.0f; },
           [&](float x, float) { return menuart::Metal(metal, (x - cx) / 10.5f); });
    s.Fill([&](float x, float y) { return y >= 94 && y < 101 && std::abs(x - cx) < 22.0f - (y - 94) * -0.6f; },
           [&](float x, float) { return menuart::Metal(metal, (x - cx) / 26.0f); });
    // Plinth with a light top edge and a plate.
    const Rgba plinth = {0.16f, 0.10f, 0.07f, 1};
    s.Fill([&](float x, float y) { return y >= 101 && y < 124 && std::abs(x - cx) < 32.0f; },
           [&](float x, float y) {
               const float shade = 1.0f - 0.25f * std::abs(x - cx) / 32.0f - (y - 101) * 0.01f;
               return Rgba{plinth.r * shade * 1.6f, plinth.g * shade * 1.6f, plinth.b * shade * 1.6f, 1};
           });
    s.Fill([&](float x, float y) { return y >= 101 && y < 103 && std::abs(x - cx) < 32.0f; }, {0.45f, 0.32f, 0.22f, 1});
    s.Fill([&](float x, float y) { return y >= 108 && y < 118 && std::abs(x - cx) < 18.0f; },
           [&](float x, float) { return menuart::Metal(metal, (x - cx) / 18.0f * 0.6f); });
    // An engraved number or the star.
    if (style.grand)
    {
        s.Fill([&](float x, float y) { return InStar(x, y, cx, bowlTop + 24.0f, 14.0f); }, {1.0f, 0.97f, 0.75f, 1});
        s.Fill([&](float x, float y) { return InStar(x, y, cx, bowlTop + 24.0f, 10.5f); },
               [&](float x, float) {
                   return menuart::Metal({0.95f, 0.55f, 0.1f, 1}, (x - cx) / 12.0f);
               });
    }
    else
        s.Fill([&](float x, float y) { return InEllipseRing(x, y, cx, bowlTop + 20.0f, 11.0f, 11.0f, 2.5f); },
               {metal.r * 0.55f, metal.g * 0.55f, metal.b * 0.55f, 1});
}

void GenerateCups(DataTree& tree)
{
    const CupStyle styles[] = {
        {"Data/Interface/Cups/Cup1.dds", {1.0f, 0.78f, 0.25f, 1}, false},
        {"Data/Interface/Cups/Cup2.dds", {0.82f, 0.85f, 0.9f, 1}, false},
        {"Data/Interface/Cups/Cup3.dds", {0.85f, 0.5f, 0.28f, 1}, false},
        {"Data/Interface/Cups/GoldenCup.dds", {1.0f, 0.8f, 0.22f, 1}, true},
    };
    for (const CupStyle& style : styles)
    {
        menuart::Surface s(kSize, kSize, {0, 0, 0, 0});
        DrawCup(s, style);
        const std::vector<uint8_t> bgra = s.Bgra();
        tree.Add(style.path, WriteDds(kSize, kSize, bgra.data(), PixelFormat::A8R8G8B8, true));
    }
}

}   // namespace

REGISTER_GENERATOR("cups", GenerateCups);
