#pragma once
// A float painting surface for the full-screen start pictures (splash, loading
// screen, logo): gradients, soft discs, polygons and ridge lines, blended with
// coverage so that edges stay smooth. Deterministic.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace splashart
{

struct Colour
{
    float r, g, b;
};

inline Colour Lerp(Colour a, Colour b, float t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

inline float Hash(int x, int y, int seed)
{
    uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u + uint32_t(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return float((h ^ (h >> 16)) & 0xFFFF) / 65535.0f;
}

// Smooth 1D value noise summed over four octaves, 0..1.
inline float Ridge(float x, int seed)
{
    float sum = 0.0f, amplitude = 0.5f, frequency = 1.0f;
    for (int octave = 0; octave < 4; ++octave, amplitude *= 0.5f, frequency *= 2.0f)
    {
        const float p = x * frequency;
        const int i = int(std::floor(p));
        const float f = p - float(i);
        const float s = f * f * (3.0f - 2.0f * f);
        const float a = Hash(i, octave, seed), b = Hash(i + 1, octave, seed);
        sum += (a + (b - a) * s) * amplitude;
    }
    return sum / 0.9375f;
}

class Picture
{
public:
    Picture(int width, int height)
        : w(width), h(height), rgb(size_t(width) * height), alpha(size_t(width) * height, 1.0f)
    {}

    void Blend(int x, int y, Colour c, float cover)
    {
        if (x < 0 || y < 0 || x >= w || y >= h || cover <= 0.0f)
            return;
        cover = std::min(cover, 1.0f);
        Colour& p = rgb[size_t(y) * w + x];
        p = Lerp(p, c, cover);
    }
    // Vertical gradient through the given stops (positions 0..1 of the height).
    void VerticalGradient(const std::vector<std::pair<float, Colour>>& stops)
    {
        for (int y = 0; y < h; ++y)
        {
            const float v = (float(y) + 0.5f) / float(h);
            Colour c = stops.front().second;
            for (size_t i = 1; i < stops.size(); ++i)
                if (v >= stops[i - 1].first)
                {
                    const float span = std::max(1e-6f, stops[i].first - stops[i - 1].first);
                    c = Lerp(stops[i - 1].second, stops[i].second,
                             std::clamp((v - stops[i - 1].first) / span, 0.0f, 1.0f));
                }
            for (int x = 0; x < w; ++x)
                rgb[size_t(y) * w + x] = c;
        }
    }
    // A disc with a soft edge `soft` pixels wide, at strength `amount`.
    void Disc(float cx, float cy, float r, float soft, Colour c, float amount = 1.0f)
    {
        const int x0 = int(cx - r - soft) - 1, x1 = int(cx + r + soft) + 1;
        const int y0 = int(cy - r - soft) - 1, y1 = int(cy + r + soft) + 1;
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
            {
                const float d = std::hypot(float(x) + 0.5f - cx, float(y) + 0.5f - cy);
                Blend(x, y, c, amount * std::clamp((r + soft * 0.5f - d) / std::max(soft, 0.5f), 0.0f, 1.0f));
            }
    }
    // A ring between radii r0 and r1.
    void Ring(float cx, float cy, float r0, float r1, Colour c, float amount = 1.0f)
    {
        const int x0 = int(cx - r1) - 2, x1 = int(cx + r1) + 2, y0 = int(cy - r1) - 2, y1 = int(cy + r1) + 2;
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
            {
                const float d = std::hypot(float(x) + 0.5f - cx, float(y) + 0.5f - cy);
                const float cover = std::clamp(std::min(d - r0 + 0.5f, r1 - d + 0.5f), 0.0f, 1.0f);
                Blend(x, y, c, amount * cover);
            }
    }
    // A convex or concave polygon, 4x4 samples per pixel.
    void Polygon(const std::vector<std::pair<float, float>>& pts, Colour c, float amount = 1.0f)
    {
        float minX = 1e9f, maxX = -1e9f, minY = 1e9f, maxY = -1e9f;
        for (const auto& p : pts)
        {
            minX = std::min(minX, p.first);
            maxX = std::max(maxX, p.first);
            minY = std::min(minY, p.second);
            maxY = std::max(maxY, p.second);
        }
        for (int y = int(minY) - 1; y <= int(maxY) + 1; ++y)
            for (int x = int(minX) - 1; x <= int(maxX) + 1; ++x)
            {
                int inside = 0;
                for (int s = 0; s < 16; ++s)
                    inside +=
                        Inside(pts, float(x) + (float(s % 4) + 0.5f) / 4.0f, float(y) + (float(s / 4) + 0.5f) / 4.0f);
                Blend(x, y, c, amount * float(inside) / 16.0f);
            }
    }
    // A thick line with round ends.
    void Line(float x0, float y0, float x1, float y1, float width, Colour c, float amount = 1.0f)
    {
        const float len = std::hypot(x1 - x0, y1 - y0);
        const int steps = std::max(1, int(len / std::max(0.5f, width * 0.25f)));
        for (int i = 0; i <= steps; ++i)
        {
            const float t = float(i) / float(steps);
            Disc(x0 + (x1 - x0) * t, y0 + (y1 - y0) * t, width * 0.5f, 1.0f, c, amount);
        }
    }
    // Fills below a ridge line y = base - height * Ridge(x / period).
    void Hills(float base, float height, float period, int seed, Colour c, float amount = 1.0f)
    {
        for (int x = 0; x < w; ++x)
        {
            const float top = base - height * Ridge(float(x) / period, seed);
            for (int y = std::max(0, int(top)); y < h; ++y)
                Blend(x, y, c, amount * std::clamp(float(y) + 1.0f - top, 0.0f, 1.0f));
        }
    }
    // Darkens towards the corners.
    void Vignette(float strength)
    {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
            {
                const float dx = (float(x) / float(w) - 0.5f) * 2.0f, dy = (float(y) / float(h) - 0.5f) * 2.0f;
                const float k = 1.0f - strength * std::clamp((dx * dx + dy * dy) * 0.5f, 0.0f, 1.0f);
                Colour& p = rgb[size_t(y) * w + x];
                p = {p.r * k, p.g * k, p.b * k};
            }
    }
    // Fine film grain of +-amount.
    void Grain(float amount, int seed)
    {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
            {
                const float n = (Hash(x, y, seed) - 0.5f) * 2.0f * amount;
                Colour& p = rgb[size_t(y) * w + x];
                p = {p.r + n, p.g + n, p.b + n};
            }
    }

    std::vector<uint8_t> Bgra() const
    {
        std::vector<uint8_t> out(size_t(w) * h * 4);
        auto byte = [](float v) { return uint8_t(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); };
        for (size_t i = 0; i < rgb.size(); ++i)
        {
            out[i * 4 + 0] = byte(rgb[i].b);
            out[i * 4 + 1] = byte(rgb[i].g);
            out[i * 4 + 2] = byte(rgb[i].r);
            out[i * 4 + 3] = byte(alpha[i]);
        }
        return out;
    }

    int w, h;
    std::vector<Colour> rgb;
    std::vector<float> alpha;

private:
    static int Inside(const std::vector<std::pair<float, float>>& pts, float x, float y)
    {
        int in = 0;
        for (size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++)
        {
            const auto& a = pts[i];
            const auto& b = pts[j];
            if ((a.second > y) != (b.second > y) &&
                x < (b.first - a.first) * (y - a.second) / (b.second - a.second) + a.first)
                in ^= 1;
        }
        return in;
    }
};

// A racer on a motorcycle in side view, facing right, as a dark silhouette
// with a rim of light: wheels of radius r, the rear wheel centred at (x, y).
inline void RiderSilhouette(Picture& p, float x, float y, float r, Colour body, Colour rim)
{
    const float wheelBase = r * 3.3f;
    auto at = [&](float u, float v) { return std::make_pair(x + u * r, y - v * r); };
    for (int wheel = 0; wheel < 2; ++wheel)
    {
        const float cx = x + wheel * wheelBase;
        p.Ring(cx, y, r * 0.62f, r, body);
        p.Ring(cx, y, r * 0.92f, r + 1.5f, rim, 0.6f);
        p.Disc(cx, y, r * 0.22f, 1.0f, body);
    }
    // Frame, tank and fairing.
    p.Polygon({at(0.0f, 0.1f), at(1.2f, 1.25f), at(2.5f, 1.55f), at(3.3f, 1.2f), at(3.5f, 0.4f), at(3.3f, 0.05f),
               at(2.2f, 0.6f), at(0.8f, 0.5f)},
              body);
    // Tail.
    p.Polygon({at(-0.2f, 0.95f), at(1.3f, 1.3f), at(1.2f, 1.05f), at(0.1f, 0.75f)}, body);
    // Rider tucked over the tank: leg, torso, arm and helmet.
    p.Polygon({at(1.0f, 1.2f), at(1.9f, 1.3f), at(2.1f, 0.7f), at(1.8f, 0.65f), at(1.6f, 1.0f), at(1.05f, 1.0f)}, body);
    p.Polygon({at(0.9f, 1.25f), at(1.3f, 2.05f), at(2.4f, 2.05f), at(2.7f, 1.7f), at(1.6f, 1.3f)}, body);
    p.Line(x + 2.2f * r, y - 1.85f * r, x + 3.0f * r, y - 1.45f * r, r * 0.25f, body);
    p.Disc(x + 2.75f * r, y - 2.2f * r, r * 0.42f, 1.0f, body);
    p.Ring(x + 2.75f * r, y - 2.2f * r, r * 0.36f, r * 0.44f, rim, 0.5f);
    p.Line(x + 1.3f * r, y - 2.08f * r, x + 2.4f * r, y - 2.08f * r, 1.5f, rim, 0.5f);
}

}   // namespace splashart
