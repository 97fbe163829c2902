// Generator module: the in-race display's icon sheet, 128 x 128 with alpha.
// Texels (0..31, 0..31) hold the minimap arrow pointing up (the heading),
// light grey so that the display tints it; texels (0..127, 32..127) hold the
// backing of the speed readout: a dark glass dial with a lit scale along its
// rim, red toward the top end, and a socket low on the left for the gear.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "tools/DataTree.h"
#include "tools/ImageWriter.h"

namespace
{

const int kSize = 128;
const float kPi = 3.14159265f;

struct Rgba
{
    float r, g, b, a;
};

struct Sheet
{
    std::vector<Rgba> px = std::vector<Rgba>(size_t(kSize) * kSize, Rgba{0, 0, 0, 0});

    // Paints colour c with coverage `cover` over what is there.
    void Over(int x, int y, Rgba c, float cover)
    {
        Rgba& d = px[size_t(y) * kSize + x];
        const float a = c.a * std::max(0.0f, std::min(1.0f, cover));
        const float outA = a + d.a * (1 - a);
        if (outA <= 0)
            return;
        d.r = (c.r * a + d.r * d.a * (1 - a)) / outA;
        d.g = (c.g * a + d.g * d.a * (1 - a)) / outA;
        d.b = (c.b * a + d.b * d.a * (1 - a)) / outA;
        d.a = outA;
    }
};

float Clamp01(float v)
{
    return v < 0 ? 0 : (v > 1 ? 1 : v);
}

// Coverage of a signed distance (negative inside) over one texel.
float Cover(float distance)
{
    return Clamp01(0.5f - distance);
}

// Signed distance to a convex polygon wound clockwise on screen (y down).
float PolygonDistance(float x, float y, const float (*p)[2], int n)
{
    float d = -1e9f;
    for (int i = 0; i < n; ++i)
    {
        const float* a = p[i];
        const float* b = p[(i + 1) % n];
        const float ex = b[0] - a[0], ey = b[1] - a[1];
        const float len = std::sqrt(ex * ex + ey * ey);
        // Outward normal of an edge of a polygon wound clockwise on screen.
        const float nx = ey / len, ny = -ex / len;
        d = std::max(d, (x - a[0]) * nx + (y - a[1]) * ny);
    }
    return d;
}

void DrawArrow(Sheet& s)
{
    // Two halves of a swept arrowhead, tip at the top, notch at the bottom.
    const float left[4][2] = {{16, 2}, {16, 22}, {9.5f, 28.5f}, {4, 28}};
    const float right[4][2] = {{16, 2}, {28, 28}, {22.5f, 28.5f}, {16, 22}};
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
        {
            const float cx = x + 0.5f, cy = y + 0.5f;
            const float dl = PolygonDistance(cx, cy, left, 4);
            const float dr = PolygonDistance(cx, cy, right, 4);
            const float d = std::min(dl, dr);
            // Dark rim for contrast on the bright map, then the lit faces.
            s.Over(x, y, Rgba{0.05f, 0.03f, 0.0f, 0.9f}, Cover(d - 1.4f));
            const float shade = dl < dr ? 1.0f : 0.78f;
            const float fall = 0.85f + 0.15f * (1 - cy / 32);
            s.Over(x, y, Rgba{shade * fall, shade * fall, shade * fall, 1}, Cover(d));
        }
}

void DrawGauge(Sheet& s)
{
    const float top = 32, w = 128, h = 96;
    const float cx = 64, cy = top + 60;   // dial centre
    for (int y = int(top); y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
        {
            const float px = x + 0.5f, py = y + 0.5f;
            // Rounded glass body.
            const float bx = std::max(std::fabs(px - w / 2) - (w / 2 - 16), 0.0f);
            const float by = std::max(std::fabs(py - (top + h / 2)) - (h / 2 - 16), 0.0f);
            const float body = std::sqrt(bx * bx + by * by) - 14.5f;
            const float v = (py - top) / h;
            s.Over(x, y, Rgba{0.10f + 0.10f * (1 - v), 0.07f + 0.05f * (1 - v), 0.05f, 0.78f}, Cover(body));
            // Thin bright edge on the body.
            s.Over(x, y, Rgba{1.0f, 0.62f, 0.2f, 0.55f}, Cover(std::fabs(body + 1.2f) - 0.6f));

            // Scale along an arc over the top of the dial.
            const float dx = px - cx, dy = py - cy;
            const float r = std::sqrt(dx * dx + dy * dy);
            const float angle = std::atan2(-dy, dx);             // 0 right, pi left
            const float span = (angle + 0.35f) / (kPi + 0.7f);   // 0 at the right end
            if (span >= 0 && span <= 1)
            {
                const float t = 1 - span;   // 0 at the left end (slow), 1 at the right (fast)
                const Rgba lit = t > 0.78f ? Rgba{1.0f, 0.18f, 0.08f, 1} : Rgba{1.0f, 0.72f - 0.2f * t, 0.25f, 1};
                s.Over(x, y, Rgba{lit.r, lit.g, lit.b, 0.9f}, Cover(std::fabs(r - 50) - 1.0f));
                const float ticks = t * 20;
                const float tickPos = std::fabs(ticks - std::round(ticks)) * (kPi + 0.7f) / 20 * r;
                const bool major = int(std::round(ticks)) % 5 == 0;
                const float len = major ? 9.0f : 5.0f;
                if (r < 49 && r > 49 - len)
                    s.Over(x, y, lit, Cover(tickPos - (major ? 1.1f : 0.6f)));
            }
            // Gear socket.
            const float gx = px - 47, gy = py - (top + 82);
            const float g = std::sqrt(gx * gx + gy * gy);
            s.Over(x, y, Rgba{0.02f, 0.02f, 0.02f, 0.85f}, Cover(g - 11));
            s.Over(x, y, Rgba{1.0f, 0.55f, 0.15f, 0.9f}, Cover(std::fabs(g - 11) - 0.7f));
        }
}

void GenHudIcons(DataTree& tree)
{
    Sheet sheet;
    DrawArrow(sheet);
    DrawGauge(sheet);
    std::vector<uint8_t> bgra(size_t(kSize) * kSize * 4);
    for (size_t i = 0; i < sheet.px.size(); ++i)
    {
        const Rgba& p = sheet.px[i];
        bgra[i * 4 + 0] = uint8_t(Clamp01(p.b) * 255 + 0.5f);
        bgra[i * 4 + 1] = uint8_t(Clamp01(p.g) * 255 + 0.5f);
        bgra[i * 4 + 2] = uint8_t(Clamp01(p.r) * 255 + 0.5f);
        bgra[i * 4 + 3] = uint8_t(Clamp01(p.a) * 255 + 0.5f);
    }
    tree.Add("Data/Interface/HUD/Icons/Icons.dds", WriteDds(kSize, kSize, bgra.data(), PixelFormat::A8R8G8B8, false));
}

}   // namespace

REGISTER_GENERATOR("hud_icons", GenHudIcons);
