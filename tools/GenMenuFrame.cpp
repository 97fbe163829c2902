// Generator module: the menu's border vignette ("BorderHider.dds", drawn black
// through its alpha over the whole screen: dark edges, a darker column behind
// the page buttons on the right) and the physics engine's mark in the corner
// ("Logo_Bullet.bmp": an original ball-and-orbit emblem, drawn faint).
#include <cmath>

#include "tools/DataTree.h"
#include "tools/ImageWriter.h"
#include "tools/MenuPaint.h"

using namespace menupaint;

namespace
{
float Smooth(float e0, float e1, float x)
{
    float t = std::clamp((x - e0) / (e1 - e0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

void GenerateBorder(DataTree& tree)
{
    const int N = 256;
    Layer out(N, N, {0, 0, 0, 0});
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x)
        {
            float u = (x + 0.5f) / N, v = (y + 0.5f) / N;
            // Rounded-rectangle vignette: distance to the nearest edge.
            float dx = std::max(0.0f, std::fabs(u - 0.5f) - 0.30f) / 0.20f;
            float dy = std::max(0.0f, std::fabs(v - 0.5f) - 0.28f) / 0.22f;
            float edge = Smooth(0.0f, 1.0f, std::sqrt(dx * dx + dy * dy));
            // The page column behind the buttons (x 420..780 of 800).
            float column = Smooth(0.48f, 0.58f, u) * (1.0f - Smooth(0.97f, 1.0f, u)) * 0.55f;
            // A lighter spot where the title sits, so it keeps its glow.
            float title = (1.0f - Smooth(0.0f, 0.22f, std::hypot((u - 0.75f) * 1.4f, v - 0.16f))) * 0.35f;
            float a = std::clamp(std::max(edge * 0.92f, column - title), 0.0f, 1.0f);
            out.px[(size_t)y * N + x] = {0, 0, 0, a};
        }
    const std::vector<uint8_t> bgra = out.Bgra();
    tree.Add("Data/Interface/Menu_Main/BorderHider.dds", WriteDds(N, N, bgra.data(), PixelFormat::A8R8G8B8, true));
}

void GeneratePhysicsMark(DataTree& tree)
{
    const int W = 160, H = 64;
    Layer out(W, H, {0.02f, 0.02f, 0.03f, 1.0f});
    // An orbit ring around a shaded ball, cut by a motion swoosh.
    Mask ring(W, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
        {
            float ex = (x + 0.5f - 32.0f) / 26.0f, ey = (y + 0.5f - 32.0f) / 11.0f;
            float d = std::fabs(std::sqrt(ex * ex + ey * ey) - 1.0f) * 11.0f;
            ring.Ref(x, y) = std::clamp(1.6f - d, 0.0f, 1.0f);
        }
    Mask ball(W, H);
    FillDisc(ball, 32.0f, 32.0f, 15.0f);
    out.Over(ring, [](int, int) { return Rgba{0.55f, 0.75f, 1.0f, 1.0f}; });
    out.Over(ball, [](int x, int y) {
        float l = 1.0f - std::clamp(std::hypot(x - 26.0f, y - 25.0f) / 22.0f, 0.0f, 1.0f);
        return Rgba{0.35f + 0.65f * l, 0.45f + 0.55f * l, 0.55f + 0.45f * l, 1.0f};
    });
    TextFont font = BakeTextFont("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf", 40, "PHYSICS");
    if (font.ok)
    {
        Mask text(W, H);
        // Fitted into the room right of the emblem.
        const float sx = std::min(0.8f, 86.0f / TextWidth(font, "PHYSICS", 1.0f, 1.0f));
        DrawText(text, font, "PHYSICS", 66.0f, 16.0f, sx, 0.8f, 1.0f, 0.0f);
        out.Over(text, [](int, int) { return Rgba{0.9f, 0.92f, 0.95f, 1.0f}; });
    }
    const std::vector<uint8_t> bgra = out.Bgra();
    // The game asks for the ".bmp" and, with "BMP to JPG" on (the default),
    // reads the ".jpg" of the same name instead: both are made.
    tree.Add("Data/Interface/Menu_Main/Logo_Bullet.bmp", WriteBmp24(W, H, bgra.data()));
    tree.Add("Data/Interface/Menu_Main/Logo_Bullet.jpg", WriteJpg(W, H, bgra.data(), 92));
}

void GenerateMenuFrame(DataTree& tree)
{
    GenerateBorder(tree);
    GeneratePhysicsMark(tree);
}

}   // namespace

REGISTER_GENERATOR("menu frame", GenerateMenuFrame);
