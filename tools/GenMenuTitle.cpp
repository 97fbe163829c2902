// Generator module: the menu's title picture ("Title_EN.dds"), the game's name
// in slanted capitals with a hot metal fill, a dark rim and a soft shadow,
// under it a speed streak and the line "MOTORCYCLE RACING".
#include <cmath>

#include "tools/DataTree.h"
#include "tools/ImageWriter.h"
#include "tools/MenuPaint.h"

using namespace menupaint;

namespace
{
const char* const kBold = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

void GenerateTitle(DataTree& tree)
{
    const int W = 512, H = 256;
    const std::string name = "TRALLOWMERE", line = "MOTORCYCLE RACING";
    TextFont big = BakeTextFont(kBold, 96, name);
    TextFont small = BakeTextFont(kBold, 40, line);
    if (!big.ok || !small.ok)
        return;

    // The name fills the width; letters are narrowed a little for speed.
    const float sy = 0.95f, tracking = -1.0f, slant = 0.18f;
    float sx = 1.0f;
    const float room = W - 40.0f - slant * 96.0f * sy;
    sx = std::min(1.0f, room / TextWidth(big, name, 1.0f, tracking));
    const float nameW = TextWidth(big, name, sx, tracking) + slant * 96.0f * sy;
    Mask letters(W, H);
    DrawText(letters, big, name, (W - nameW) / 2.0f, 52.0f, sx, sy, tracking, slant);

    Mask streak(W, H);
    FillPolygon(streak, {{40, 160}, {488, 150}, {470, 158}, {60, 166}});
    Mask sub(W, H);
    const float subScale = 0.62f;
    const float subW = TextWidth(small, line, subScale, 5.0f);
    DrawText(sub, small, line, (W - subW) / 2.0f + 10.0f, 174.0f, subScale, subScale, 5.0f, 0.15f);

    Layer out(W, H, {0, 0, 0, 0});
    Mask shadow = Blur(Shifted(Dilate(letters, 3.0f), 4, 6), 4);
    out.Over(shadow, [](int, int) { return Rgba{0, 0, 0, 0.85f}; });
    out.Over(Dilate(letters, 3.5f), [](int, int) { return Rgba{0.12f, 0.04f, 0.0f, 1.0f}; });
    // Molten fill: white-yellow at the top of the letters to deep orange.
    out.Over(letters, [](int, int y) {
        float t = std::clamp((y - 52.0f) / 90.0f, 0.0f, 1.0f);
        Rgba top{1.0f, 0.97f, 0.75f, 1.0f}, mid{1.0f, 0.68f, 0.12f, 1.0f}, low{0.78f, 0.22f, 0.02f, 1.0f};
        Rgba c = t < 0.45f ? Rgba{top.r + (mid.r - top.r) * t / 0.45f, top.g + (mid.g - top.g) * t / 0.45f,
                                  top.b + (mid.b - top.b) * t / 0.45f, 1.0f}
                           : Rgba{mid.r + (low.r - mid.r) * (t - 0.45f) / 0.55f,
                                  mid.g + (low.g - mid.g) * (t - 0.45f) / 0.55f,
                                  mid.b + (low.b - mid.b) * (t - 0.45f) / 0.55f, 1.0f};
        return c;
    });
    // A thin highlight band across the upper third of the letters.
    Mask band(W, H);
    for (int y = 70; y < 76; ++y)
        for (int x = 0; x < W; ++x)
            band.Ref(x, y) = letters.At(x, y) * 0.35f;
    out.Over(band, [](int, int) { return Rgba{1, 1, 1, 1}; });

    out.Over(Blur(streak, 2), [](int x, int) {
        float t = x / 512.0f;
        return Rgba{1.0f, 0.55f + 0.3f * t, 0.1f, 0.9f * std::sin(3.14159f * t)};
    });
    out.Over(Blur(Shifted(sub, 2, 2), 1), [](int, int) { return Rgba{0, 0, 0, 0.9f}; });
    out.Over(sub, [](int, int) { return Rgba{0.95f, 0.93f, 0.88f, 1.0f}; });

    const std::vector<uint8_t> bgra = out.Bgra();
    tree.Add("Data/Interface/Menu_Main/Title_EN.dds", WriteDds(W, H, bgra.data(), PixelFormat::A8R8G8B8, true));
}

}   // namespace

REGISTER_GENERATOR("menu title", GenerateTitle);
