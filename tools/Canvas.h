#pragma once
// A small B,G,R,A painting surface for the generated object textures:
// rectangles, noise, boards, bricks and tiles, all deterministic.
#include <algorithm>
#include <cstdint>
#include <vector>

struct Rgb
{
    int r, g, b;
};

inline Rgb Mix(Rgb a, Rgb b, float t)
{
    return {int(a.r + (b.r - a.r) * t), int(a.g + (b.g - a.g) * t), int(a.b + (b.b - a.b) * t)};
}
inline Rgb Shade(Rgb c, int delta)
{
    return {c.r + delta, c.g + delta, c.b + delta};
}

inline uint32_t CanvasHash(uint32_t x)
{
    x ^= x >> 16;
    x *= 0x7FEB352Du;
    x ^= x >> 15;
    x *= 0x846CA68Bu;
    x ^= x >> 16;
    return x;
}

class Canvas
{
public:
    explicit Canvas(int size) : n(size), pixels(size_t(size) * size * 4, 0xFF) {}

    void Put(int x, int y, Rgb c)
    {
        if (x < 0 || y < 0 || x >= n || y >= n)
            return;
        uint8_t* p = &pixels[(size_t(y) * n + x) * 4];
        p[0] = uint8_t(std::clamp(c.b, 0, 255));
        p[1] = uint8_t(std::clamp(c.g, 0, 255));
        p[2] = uint8_t(std::clamp(c.r, 0, 255));
        p[3] = 0xFF;
    }
    Rgb Get(int x, int y) const
    {
        const uint8_t* p = &pixels[(size_t(std::clamp(y, 0, n - 1)) * n + std::clamp(x, 0, n - 1)) * 4];
        return {p[2], p[1], p[0]};
    }
    // Noise of +-amount on every pixel of the rectangle.
    void Rect(int x0, int y0, int w, int h, Rgb c, int amount = 0, uint32_t seed = 1)
    {
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x)
            {
                const int d =
                    amount ? int(CanvasHash(uint32_t(x * 7919 + y * 104729) ^ seed) % uint32_t(2 * amount + 1)) - amount
                           : 0;
                Put(x, y, Shade(c, d));
            }
    }
    // Darkens (negative) or lightens the rectangle.
    void Tint(int x0, int y0, int w, int h, int delta)
    {
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x)
                Put(x, y, Shade(Get(x, y), delta));
    }
    // A rectangle outline of the given thickness.
    void Frame(int x0, int y0, int w, int h, int t, Rgb c)
    {
        Rect(x0, y0, w, t, c);
        Rect(x0, y0 + h - t, w, t, c);
        Rect(x0, y0, t, h, c);
        Rect(x0 + w - t, y0, t, h, c);
    }
    // A line of the given thickness from (x0, y0) to (x1, y1).
    void Line(float x0, float y0, float x1, float y1, float t, Rgb c)
    {
        const int steps = int(std::max(std::abs(x1 - x0), std::abs(y1 - y0))) + 1;
        for (int i = 0; i <= steps; ++i)
        {
            const float x = x0 + (x1 - x0) * i / steps, y = y0 + (y1 - y0) * i / steps;
            Rect(int(x - t / 2), int(y - t / 2), std::max(1, int(t)), std::max(1, int(t)), c);
        }
    }
    // Vertical boards `width` pixels wide with dark seams and grain.
    void Boards(int x0, int y0, int w, int h, int width, Rgb c, uint32_t seed)
    {
        for (int x = x0; x < x0 + w; ++x)
        {
            const int board = (x - x0) / width;
            const int boardShade = int(CanvasHash(uint32_t(board) * 31u + seed) % 21u) - 10;
            for (int y = y0; y < y0 + h; ++y)
            {
                const int grain =
                    int(CanvasHash(uint32_t(x * 3 + board * 977) ^ (uint32_t(y / 6) * 13u) ^ seed) % 9u) - 4;
                Rgb p = Shade(c, boardShade + grain);
                if ((x - x0) % width == 0)
                    p = Shade(c, -55);
                else if ((x - x0) % width == 1)
                    p = Shade(c, -20);
                Put(x, y, p);
            }
        }
    }
    // Running-bond courses of blocks (bricks, stones, tiles) with mortar.
    void Courses(int x0, int y0, int w, int h, int bw, int bh, Rgb c, Rgb mortar, int vary, uint32_t seed)
    {
        for (int y = y0; y < y0 + h; ++y)
        {
            const int row = (y - y0) / bh;
            const int offset = (row & 1) ? bw / 2 : 0;
            for (int x = x0; x < x0 + w; ++x)
            {
                const int col = (x - x0 + offset) / bw;
                const bool joint = (y - y0) % bh == 0 || (x - x0 + offset) % bw == 0;
                const int d = int(CanvasHash(uint32_t(row * 131 + col) ^ seed) % uint32_t(2 * vary + 1)) - vary;
                const int speck = int(CanvasHash(uint32_t(x * 17 + y * 263) ^ seed) % 7u) - 3;
                Put(x, y, joint ? Shade(mortar, speck) : Shade(c, d + speck));
            }
        }
    }
    // A window: frame, four panes of sky-tinted glass with a highlight.
    void Window(int x0, int y0, int w, int h, Rgb frame)
    {
        Rect(x0, y0, w, h, frame);
        const int t = std::max(2, w / 10);
        for (int y = y0 + t; y < y0 + h - t; ++y)
            for (int x = x0 + t; x < x0 + w - t; ++x)
            {
                const float f = float(y - y0) / float(h);
                Rgb glass = Mix({70, 95, 120}, {30, 42, 56}, f);
                if ((x - x0) + (y - y0) < w / 2 + t && (x - x0) + (y - y0) > w / 2 - t)
                    glass = Shade(glass, 40);
                Put(x, y, glass);
            }
        Rect(x0 + w / 2 - t / 2, y0, t, h, frame);
        Rect(x0, y0 + h / 2 - t / 2, w, t, frame);
    }

    int n;
    std::vector<uint8_t> pixels;
};
