// Generator module: the loading screen, drawn at half brightness behind
// "LOADING..." at start and before every race. A racer at full lean through
// a night bend under floodlights, kept bright because the screen halves it;
// the top right (the title) and the bottom (the text and the logos) are left
// calm.
#include <cmath>
#include <vector>

#include "tools/DataTree.h"
#include "tools/ImageWriter.h"
#include "tools/SplashArt.h"

using namespace splashart;

namespace
{

std::vector<uint8_t> LoadingPixels()
{
    Picture p(800, 600);
    p.VerticalGradient({{0.0f, {0.1f, 0.16f, 0.34f}},
                        {0.45f, {0.3f, 0.42f, 0.7f}},
                        {0.55f, {0.55f, 0.5f, 0.62f}},
                        {1.0f, {0.2f, 0.2f, 0.26f}}});
    // Floodlight haloes along the far side of the track.
    for (int i = 0; i < 5; ++i)
    {
        const float x = 70.0f + 150.0f * float(i), y = 170.0f + 20.0f * Hash(i, 0, 4);
        p.Line(x, y, x, 330.0f, 3.0f, {0.12f, 0.12f, 0.16f});
        p.Disc(x, y, 60.0f, 60.0f, {1.0f, 0.95f, 0.8f}, 0.35f);
        p.Disc(x, y, 7.0f, 2.0f, {1.0f, 1.0f, 0.95f});
    }
    p.Hills(330.0f, 40.0f, 200.0f, 31, {0.16f, 0.2f, 0.3f});
    // Grandstand blocks and the track sweeping from the left to the right.
    for (int i = 0; i < 9; ++i)
        p.Polygon({{20.0f + 90.0f * float(i), 330.0f},
                   {95.0f + 90.0f * float(i), 330.0f},
                   {95.0f + 90.0f * float(i), 300.0f - 8.0f * Hash(i, 2, 4)},
                   {20.0f + 90.0f * float(i), 310.0f}},
                  {0.22f + 0.05f * Hash(i, 3, 4), 0.22f, 0.3f});
    for (int y = 330; y < 600; ++y)
    {
        const float d = (float(y) - 330.0f) / 270.0f;
        for (int x = 0; x < 800; ++x)
        {
            const float bend = 40.0f * std::sin(float(x) / 800.0f * 3.14159f) * (1.0f - d);
            const float v = float(y) + bend;
            Colour c = {0.36f, 0.38f, 0.44f};
            if (v < 360.0f || v > 560.0f)
                c = {0.25f, 0.45f, 0.25f};   // grass
            else if (v < 372.0f || v > 548.0f)
                c = (int(float(x) / (18.0f + 30.0f * d)) & 1) ? Colour{0.95f, 0.95f, 0.95f}
                                                              : Colour{0.9f, 0.15f, 0.12f};
            const float light = 0.75f + 0.35f * std::exp(-std::pow((float(x) - 330.0f) / 260.0f, 2.0f));
            p.Blend(x, y, {c.r * light, c.g * light, c.b * light}, 1.0f);
        }
    }
    // Motion lines behind the racer.
    for (int i = 0; i < 30; ++i)
    {
        const float y = 360.0f + 180.0f * Hash(i, 5, 4);
        const float x = 560.0f * Hash(i, 6, 4);
        p.Line(x, y, x - 60.0f - 140.0f * Hash(i, 7, 4), y + 3.0f, 2.0f, {0.9f, 0.9f, 1.0f}, 0.35f);
    }
    RiderSilhouette(p, 330.0f, 470.0f, 42.0f, {0.06f, 0.06f, 0.1f}, {0.7f, 0.85f, 1.0f});
    p.Vignette(0.35f);
    // A dark foot under "LOADING..." and the two logos in the bottom left
    // corner, so the faint physics mark sits on a dark ground as it does on
    // the menu's pages, not as a grey box over the kerb.
    for (int y = 520; y < 600; ++y)
    {
        const float t = (float(y) - 520.0f) / 80.0f;
        const float a = 0.8f * t * t * (3.0f - 2.0f * t);
        for (int x = 0; x < 800; ++x)
            p.Blend(x, y, {0.03f, 0.03f, 0.05f}, a);
    }
    p.Grain(0.01f, 5);
    return p.Bgra();
}

void GenLoadingScreen(DataTree& tree)
{
    const std::vector<uint8_t> pixels = LoadingPixels();
    // The game asks for the .bmp and, with [Misc] "BMP to JPG" on (the
    // default), reads the .jpg of the same name instead: both are made.
    tree.Add("Data/Interface/Menu_Main/LoadingScreen.bmp", WriteBmp24(800, 600, pixels.data()));
    tree.Add("Data/Interface/Menu_Main/LoadingScreen.jpg", WriteJpg(800, 600, pixels.data(), 92));
}

}   // namespace

REGISTER_GENERATOR("loading screen", GenLoadingScreen);
