#pragma once
// Painting for the generated menu pictures (title, border, physics mark,
// cursor): a float RGBA layer with coverage masks, polygons sampled 4 x 4 per
// pixel, blurs and dilations of masks, and text laid out from a baked font.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/FontBaker.h"

namespace menupaint
{

struct Rgba
{
    float r, g, b, a;
};

// A coverage mask, 0..1 per pixel.
struct Mask
{
    int w = 0, h = 0;
    std::vector<float> v;
    Mask(int width, int height) : w(width), h(height), v((size_t)width * height, 0.0f) {}
    float At(int x, int y) const { return (x < 0 || y < 0 || x >= w || y >= h) ? 0.0f : v[(size_t)y * w + x]; }
    float& Ref(int x, int y) { return v[(size_t)y * w + x]; }
};

// Straight-alpha layer; Over() blends a colour through a mask.
struct Layer
{
    int w, h;
    std::vector<Rgba> px;
    Layer(int width, int height, Rgba clear) : w(width), h(height), px((size_t)width * height, clear) {}

    template <class ColourAt>
    void Over(const Mask& m, ColourAt colourAt)
    {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
            {
                float c = m.At(x, y);
                if (c <= 0.0f)
                    continue;
                Rgba src = colourAt(x, y);
                float a = std::clamp(src.a * c, 0.0f, 1.0f);
                Rgba& d = px[(size_t)y * w + x];
                float outA = a + d.a * (1.0f - a);
                if (outA <= 0.0f)
                    continue;
                d.r = (src.r * a + d.r * d.a * (1.0f - a)) / outA;
                d.g = (src.g * a + d.g * d.a * (1.0f - a)) / outA;
                d.b = (src.b * a + d.b * d.a * (1.0f - a)) / outA;
                d.a = outA;
            }
    }

    std::vector<uint8_t> Bgra() const
    {
        std::vector<uint8_t> out((size_t)w * h * 4);
        auto byte = [](float f) { return (uint8_t)std::lround(std::clamp(f, 0.0f, 1.0f) * 255.0f); };
        for (size_t i = 0; i < px.size(); ++i)
        {
            out[i * 4 + 0] = byte(px[i].b);
            out[i * 4 + 1] = byte(px[i].g);
            out[i * 4 + 2] = byte(px[i].r);
            out[i * 4 + 3] = byte(px[i].a);
        }
        return out;
    }
};

struct Point
{
    float x, y;
};

inline bool InsidePolygon(const std::vector<Point>& poly, float x, float y)
{
    bool in = false;
    for (size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++)
    {
        const Point &a = poly[i], &b = poly[j];
        if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x)
            in = !in;
    }
    return in;
}

// Adds a polygon (pixel units) to the mask, 16 samples per pixel.
inline void FillPolygon(Mask& m, const std::vector<Point>& poly)
{
    for (int y = 0; y < m.h; ++y)
        for (int x = 0; x < m.w; ++x)
        {
            int hits = 0;
            for (int sy = 0; sy < 4; ++sy)
                for (int sx = 0; sx < 4; ++sx)
                    hits += InsidePolygon(poly, x + (sx + 0.5f) / 4.0f, y + (sy + 0.5f) / 4.0f);
            if (hits)
                m.Ref(x, y) = std::min(1.0f, m.Ref(x, y) + hits / 16.0f);
        }
}

// Soft disc (or ring when inner > 0) with antialiased edges.
inline void FillDisc(Mask& m, float cx, float cy, float radius, float inner = 0.0f)
{
    for (int y = 0; y < m.h; ++y)
        for (int x = 0; x < m.w; ++x)
        {
            float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy);
            float c = std::clamp(radius - d + 0.5f, 0.0f, 1.0f);
            if (inner > 0.0f)
                c = std::min(c, std::clamp(d - inner + 0.5f, 0.0f, 1.0f));
            m.Ref(x, y) = std::max(m.Ref(x, y), c);
        }
}

// Separable box blur, run three times (close to a Gaussian).
inline Mask Blur(const Mask& src, int radius)
{
    Mask a = src;
    if (radius <= 0)
        return a;
    Mask b(src.w, src.h);
    for (int pass = 0; pass < 3; ++pass)
    {
        for (int y = 0; y < a.h; ++y)
            for (int x = 0; x < a.w; ++x)
            {
                float s = 0.0f;
                for (int k = -radius; k <= radius; ++k)
                    s += a.At(x + k, y);
                b.Ref(x, y) = s / (2 * radius + 1);
            }
        for (int y = 0; y < a.h; ++y)
            for (int x = 0; x < a.w; ++x)
            {
                float s = 0.0f;
                for (int k = -radius; k <= radius; ++k)
                    s += b.At(x, y + k);
                a.Ref(x, y) = s / (2 * radius + 1);
            }
    }
    return a;
}

// Grows the mask by `radius` pixels (round pen): an outline under a shape.
inline Mask Dilate(const Mask& src, float radius)
{
    Mask out(src.w, src.h);
    const int r = (int)std::ceil(radius);
    for (int y = 0; y < src.h; ++y)
        for (int x = 0; x < src.w; ++x)
        {
            float best = 0.0f;
            for (int dy = -r; dy <= r; ++dy)
                for (int dx = -r; dx <= r; ++dx)
                {
                    float fall = std::clamp(radius + 0.5f - std::hypot((float)dx, (float)dy), 0.0f, 1.0f);
                    if (fall > 0.0f)
                        best = std::max(best, src.At(x + dx, y + dy) * fall);
                }
            out.Ref(x, y) = best;
        }
    return out;
}

inline Mask Shifted(const Mask& src, int dx, int dy)
{
    Mask out(src.w, src.h);
    for (int y = 0; y < src.h; ++y)
        for (int x = 0; x < src.w; ++x)
            out.Ref(x, y) = src.At(x - dx, y - dy);
    return out;
}

// A font baked only for laying out text into masks.
struct TextFont
{
    BakedFont font;
    bool ok = false;
};

inline TextFont BakeTextFont(const char* ttf, int cellHeight, const std::string& text)
{
    TextFont tf;
    FontBakeSettings s;
    s.ttfPath = ttf;
    s.cellHeight = cellHeight;
    s.padding = 1;
    for (unsigned char c : text)
    {
        bool seen = false;
        for (const FontCharacter& f : s.characters)
            seen = seen || f.code == c;
        if (!seen && c != ' ')
            s.characters.push_back(FontCharacter{c, c});
    }
    tf.ok = BakeFont(s, tf.font);
    return tf;
}

inline const BakedGlyph* FindGlyph(const BakedFont& f, unsigned char c)
{
    for (const BakedGlyph& g : f.glyphs)
        if (g.code == c)
            return &g;
    return nullptr;
}

// Width in pixels of the text at horizontal scale sx with `tracking` extra
// pixels between letters; a space is a third of the cell height.
inline float TextWidth(const TextFont& tf, const std::string& text, float sx, float tracking)
{
    float w = 0.0f;
    for (unsigned char c : text)
    {
        const BakedGlyph* g = FindGlyph(tf.font, c);
        w += (g ? g->width * sx : tf.font.cellHeight / 3.0f) + tracking;
    }
    return w - tracking;
}

// Adds the text to the mask: left x, top y, glyphs scaled by (sx, sy) and
// slanted by `slant` pixels of x per pixel of height (italic).
inline void DrawText(Mask& m, const TextFont& tf, const std::string& text, float x, float y, float sx, float sy,
                     float tracking, float slant)
{
    const BakedFont& f = tf.font;
    const float cell = (float)f.cellHeight;
    for (unsigned char c : text)
    {
        const BakedGlyph* g = FindGlyph(f, c);
        if (!g)
        {
            x += cell / 3.0f + tracking;
            continue;
        }
        const int x0 = (int)std::floor(x - 2), x1 = (int)std::ceil(x + g->width * sx + slant * cell * sy + 2);
        const int y0 = (int)std::floor(y), y1 = (int)std::ceil(y + cell * sy);
        for (int py = std::max(0, y0); py < std::min(m.h, y1); ++py)
            for (int px = std::max(0, x0); px < std::min(m.w, x1); ++px)
            {
                // Sample the glyph cell at the pixel centre (bilinear).
                float gy = (py + 0.5f - y) / sy;
                float gx = (px + 0.5f - x - slant * (cell * sy - (py + 0.5f - y))) / sx;
                if (gx < 0 || gy < 0 || gx >= g->width || gy >= cell)
                    continue;
                float fx = g->column + gx - 0.5f, fy = g->row + gy - 0.5f;
                int ix = (int)std::floor(fx), iy = (int)std::floor(fy);
                float tx = fx - ix, ty = fy - iy;
                auto alpha = [&](int ax, int ay) {
                    ax = std::clamp(ax, g->column, g->column + g->width - 1);
                    ay = std::clamp(ay, g->row, g->row + f.cellHeight - 1);
                    return f.bgra[((size_t)ay * f.size + ax) * 4 + 3] / 255.0f;
                };
                float a = (alpha(ix, iy) * (1 - tx) + alpha(ix + 1, iy) * tx) * (1 - ty) +
                          (alpha(ix, iy + 1) * (1 - tx) + alpha(ix + 1, iy + 1) * tx) * ty;
                m.Ref(px, py) = std::max(m.Ref(px, py), a);
            }
        x += g->width * sx + tracking;
    }
}

}   // namespace menupaint
