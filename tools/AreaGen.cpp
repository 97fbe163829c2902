#include "tools/AreaGen.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "tools/AreaGenNoise.h"

namespace
{

const int N = kAreaGridSize;
const float kPi = 3.14159265358979f;

struct Cell
{
    int r, c;
};

bool operator==(Cell a, Cell b)
{
    return a.r == b.r && a.c == b.c;
}
int Cheb(Cell a, Cell b)
{
    return std::max(std::abs(a.r - b.r), std::abs(a.c - b.c));
}

struct Vec2
{
    float x, y;   // x along columns, y along rows, in cells
};

Vec2 Centre(Cell c)
{
    return {c.c + 0.5f, c.r + 0.5f};
}
float Dist(Vec2 a, Vec2 b)
{
    return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y));
}

// Turns a dense sequence of points into the cells they cross, each cell
// touching the one before it (side or corner).
std::vector<Cell> CellsAlong(const std::vector<Vec2>& pts)
{
    std::vector<Cell> cells;
    for (size_t i = 0; i < pts.size(); ++i)
    {
        Cell c{static_cast<int>(std::floor(pts[i].y)), static_cast<int>(std::floor(pts[i].x))};
        if (!cells.empty() && cells.back() == c)
            continue;
        // Fill any jump of more than one cell by walking towards the new cell.
        while (!cells.empty() && Cheb(cells.back(), c) > 1)
        {
            Cell b = cells.back();
            b.r += (c.r > b.r) - (c.r < b.r);
            b.c += (c.c > b.c) - (c.c < b.c);
            cells.push_back(b);
        }
        cells.push_back(c);
    }
    return cells;
}

// Drops every cell whose two neighbours in the sequence already touch each
// other, until none is left: the path becomes one cell wide, so that each of
// its cells sees exactly its two path neighbours among its eight neighbours.
void ThinPath(std::vector<Cell>& path, bool closed)
{
    if (closed)
        while (path.size() > 1 && path.back() == path.front())
            path.pop_back();
    bool changed = true;
    while (changed && path.size() > 4)
    {
        changed = false;
        std::vector<Cell> out;
        out.reserve(path.size());
        size_t n = path.size();
        for (size_t i = 0; i < n; ++i)
        {
            bool end = !closed && (i == 0 || i + 1 == n);
            if (!end)
            {
                Cell prev = out.empty() ? path[n - 1] : out.back();
                Cell next = (i + 1 < n) ? path[i + 1] : out.front();
                if (Cheb(prev, next) <= 1 && !(prev == next))
                {
                    changed = true;
                    continue;
                }
            }
            out.push_back(path[i]);
        }
        path.swap(out);
    }
}

// True when every path cell touches exactly its path neighbours (two, or one
// at the ends of an open path) and no cell appears twice.
bool IsCleanPath(const std::vector<Cell>& path, bool closed)
{
    if (path.size() < 8)
        return false;
    std::vector<uint8_t> mask(N * N, 0);
    for (Cell c : path)
    {
        if (c.r < 1 || c.c < 1 || c.r >= N - 1 || c.c >= N - 1 || mask[c.r * N + c.c])
            return false;
        mask[c.r * N + c.c] = 1;
    }
    for (size_t i = 0; i < path.size(); ++i)
    {
        int count = 0;
        for (int dr = -1; dr <= 1; ++dr)
            for (int dc = -1; dc <= 1; ++dc)
                if ((dr || dc) && mask[(path[i].r + dr) * N + path[i].c + dc])
                    ++count;
        bool end = !closed && (i == 0 || i + 1 == path.size());
        if (count != (end ? 1 : 2))
            return false;
        if (i + 1 < path.size() && Cheb(path[i], path[i + 1]) != 1)
            return false;
    }
    return !closed || Cheb(path.back(), path.front()) == 1;
}

// Shape of one area's route: a closed curve around a centre, its radius
// varied by a few harmonics of the angle.
struct RouteShape
{
    float cx, cy, radius, stretchX, stretchY;
    int harmonics[3];
    float amps[3];
    float phases[3];
    bool reverse;
};

RouteShape ShapeFor(int number, AreaRng& rng)
{
    RouteShape s{};
    s.cx = N * 0.5f + rng.Range(-8.0f, 8.0f);
    s.cy = N * 0.5f + rng.Range(-8.0f, 8.0f);
    for (float& p : s.phases)
        p = rng.Range(0.0f, 2.0f * kPi);
    switch (number)
    {
    case 1:   // a long oval with one pinched side
        s.radius = 112.0f;
        s.stretchX = 1.15f;
        s.stretchY = 0.9f;
        s.harmonics[0] = 2, s.amps[0] = 0.10f;
        s.harmonics[1] = 3, s.amps[1] = 0.05f;
        s.harmonics[2] = 5, s.amps[2] = 0.012f;
        s.reverse = false;
        break;
    case 2:   // a rounded triangle
        s.radius = 108.0f;
        s.stretchX = 1.0f;
        s.stretchY = 1.05f;
        s.harmonics[0] = 3, s.amps[0] = 0.12f;
        s.harmonics[1] = 2, s.amps[1] = 0.05f;
        s.harmonics[2] = 4, s.amps[2] = 0.02f;
        s.reverse = true;
        break;
    default:   // a bean with a deep bay on one side
        s.radius = 110.0f;
        s.stretchX = 0.95f;
        s.stretchY = 1.12f;
        s.harmonics[0] = 2, s.amps[0] = 0.16f;
        s.harmonics[1] = 1, s.amps[1] = 0.10f;
        s.harmonics[2] = 4, s.amps[2] = 0.035f;
        s.reverse = false;
        break;
    }
    return s;
}

std::vector<Vec2> SampleShape(const RouteShape& s, float ampScale)
{
    const int samples = 24000;
    std::vector<Vec2> pts(samples);
    for (int i = 0; i < samples; ++i)
    {
        float a = 2.0f * kPi * i / samples;
        float r = 1.0f;
        for (int k = 0; k < 3; ++k)
            r += s.amps[k] * ampScale * std::cos(s.harmonics[k] * a + s.phases[k]);
        r *= s.radius;
        pts[i] = {s.cx + std::cos(a) * r * s.stretchX, s.cy + std::sin(a) * r * s.stretchY};
    }
    return pts;
}

// True when no two stretches of the loop more than `gap` cells apart along it
// come within `minDistance` cells of each other, so roads never overlap.
bool LoopKeepsApart(const std::vector<Cell>& loop, int gap, float minDistance)
{
    int n = static_cast<int>(loop.size());
    for (int i = 0; i < n; i += 2)
        for (int j = i + gap; j < n; j += 2)
        {
            int along = std::min(j - i, n - (j - i));
            if (along < gap)
                continue;
            if (Dist(Centre(loop[i]), Centre(loop[j])) < minDistance)
                return false;
        }
    return true;
}

std::vector<Cell> BuildRouteLoop(const RouteShape& shape)
{
    const int margin = 24;
    for (float ampScale = 1.0f; ampScale > 0.05f; ampScale *= 0.85f)
    {
        std::vector<Cell> loop = CellsAlong(SampleShape(shape, ampScale));
        ThinPath(loop, true);
        bool inside = true;
        for (Cell c : loop)
            if (c.r < margin || c.c < margin || c.r >= N - margin || c.c >= N - margin)
                inside = false;
        if (inside && IsCleanPath(loop, true) && LoopKeepsApart(loop, 30, 24.0f))
        {
            if (shape.reverse)
                std::reverse(loop.begin(), loop.end());
            return loop;
        }
    }
    return {};
}

// Index of the loop cell where the race starts: the middle of the straightest
// stretch, so the starting grid and its run-up stand on a straight.
int StraightestIndex(const std::vector<Cell>& loop)
{
    int n = static_cast<int>(loop.size());
    const int k = 14;
    auto dir = [&](int from, int to) {
        Vec2 a = Centre(loop[((from % n) + n) % n]), b = Centre(loop[((to % n) + n) % n]);
        float dx = b.x - a.x, dy = b.y - a.y, l = std::sqrt(dx * dx + dy * dy);
        return Vec2{dx / l, dy / l};
    };
    int best = 0;
    float bestScore = -1e9f;
    for (int i = 0; i < n; ++i)
    {
        Vec2 a = dir(i - 2 * k, i - k), b = dir(i - k, i), c = dir(i, i + k), d = dir(i + k, i + 2 * k);
        float score = (a.x * b.x + a.y * b.y) + (b.x * c.x + b.y * c.y) + (c.x * d.x + c.y * d.y);
        if (score > bestScore + 1e-6f)
        {
            bestScore = score;
            best = i;
        }
    }
    return best;
}

// The loop index of the crest the riders jump from: the straightest run in
// the middle of the lap (well away from the start and its grid, and from
// the finish), so the take-off and the landing are both on the straight.
int JumpIndex(const std::vector<Cell>& loop)
{
    const int n = static_cast<int>(loop.size());
    const int k = 10;
    auto dir = [&](int from, int to) {
        Vec2 a = Centre(loop[((from % n) + n) % n]), b = Centre(loop[((to % n) + n) % n]);
        float dx = b.x - a.x, dy = b.y - a.y, l = std::sqrt(dx * dx + dy * dy);
        return Vec2{dx / l, dy / l};
    };
    int best = n / 2;
    float bestScore = -1e9f;
    for (int i = n * 35 / 100; i < n * 75 / 100; ++i)
    {
        Vec2 a = dir(i - 2 * k, i - k), b = dir(i - k, i), c = dir(i, i + k), d = dir(i + k, i + 2 * k);
        float score = (a.x * b.x + a.y * b.y) + (b.x * c.x + b.y * c.y) + (c.x * d.x + c.y * d.y);
        if (score > bestScore + 1e-6f)
        {
            bestScore = score;
            best = i;
        }
    }
    return best;
}

// Height (world units) the crest adds at `d` units along the road from the
// middle of its top: a table, the same both ways since the reverse races
// ride it backwards. A gentle ramp leads up to a short level top; the lip's
// small rounding lets a motorcycle at racing speed leave the ground, and the
// ramp down the far side is long enough that even a fast one comes down on
// it, along its own path, instead of dropping onto the flat road beyond.
float JumpProfile(float d)
{
    const float h = kJumpHeight, ramp = kJumpRamp, top = kJumpTop, round = kJumpRound;
    // The plain table with sharp edges, averaged over +-round: each edge
    // becomes a parabolic arc.
    auto table = [&](float x) {
        const float a = std::fabs(x) - top * 0.5f;
        return a <= 0.0f ? h : a >= ramp ? 0.0f : h * (1.0f - a / ramp);
    };
    const int n = 16;
    float sum = 0.0f;
    for (int i = 0; i < n; ++i)
        sum += table(d + round * (2.0f * float(i) / float(n - 1) - 1.0f));
    return sum / float(n);
}

// Smooths a closed sequence with a box filter of half width `half`, `passes` times.
void SmoothLoop(std::vector<float>& v, int half, int passes)
{
    int n = static_cast<int>(v.size());
    for (int p = 0; p < passes; ++p)
    {
        std::vector<float> out(n);
        for (int i = 0; i < n; ++i)
        {
            float sum = 0.0f;
            for (int j = -half; j <= half; ++j)
                sum += v[((i + j) % n + n) % n];
            out[i] = sum / (2 * half + 1);
        }
        v.swap(out);
    }
}

uint8_t ToByte(float v)
{
    v = std::floor(v + 0.5f);
    return static_cast<uint8_t>(v < 0.0f ? 0.0f : (v > 255.0f ? 255.0f : v));
}

// Nearest route cell of every grid cell within `reach` cells: its loop index
// and the distance in cells (a large value where no route cell is in reach).
void RouteDistances(const std::vector<Cell>& loop, int reach, std::vector<float>& dist, std::vector<int>& nearest)
{
    dist.assign(N * N, 1e9f);
    nearest.assign(N * N, -1);
    for (size_t i = 0; i < loop.size(); ++i)
    {
        Cell c = loop[i];
        for (int r = std::max(0, c.r - reach); r <= std::min(N - 1, c.r + reach); ++r)
            for (int col = std::max(0, c.c - reach); col <= std::min(N - 1, c.c + reach); ++col)
            {
                float d = std::sqrt(float((r - c.r) * (r - c.r) + (col - c.c) * (col - c.c)));
                int idx = r * N + col;
                if (d < dist[idx])
                {
                    dist[idx] = d;
                    nearest[idx] = static_cast<int>(i);
                }
            }
    }
}

// The barrier chain: a fence run along the outside of the start straight,
// `offset` cells beside the route.
std::vector<Cell> BuildFenceChain(const std::vector<Cell>& loop, const std::vector<float>& routeDist)
{
    int n = static_cast<int>(loop.size());
    Vec2 centroid{0.0f, 0.0f};
    for (Cell c : loop)
        centroid.x += Centre(c).x / n, centroid.y += Centre(c).y / n;
    for (float offset = 7.0f; offset <= 12.0f; offset += 1.0f)
    {
        std::vector<Vec2> pts;
        for (int j = -10; j <= 26; ++j)
        {
            Vec2 p = Centre(loop[(j + n) % n]);
            Vec2 a = Centre(loop[(j - 3 + n) % n]), b = Centre(loop[(j + 3 + n) % n]);
            float tx = b.x - a.x, ty = b.y - a.y, l = std::sqrt(tx * tx + ty * ty);
            Vec2 normal{-ty / l, tx / l};
            Vec2 out{p.x - centroid.x, p.y - centroid.y};
            if (normal.x * out.x + normal.y * out.y < 0.0f)
                normal = {-normal.x, -normal.y};
            Vec2 q{p.x + normal.x * offset, p.y + normal.y * offset};
            if (!pts.empty())
            {
                Vec2 last = pts.back();
                for (int s = 1; s < 16; ++s)
                    pts.push_back({last.x + (q.x - last.x) * s / 16.0f, last.y + (q.y - last.y) * s / 16.0f});
            }
            pts.push_back(q);
        }
        std::vector<Cell> chain = CellsAlong(pts);
        ThinPath(chain, false);
        bool clear = chain.size() <= 256;
        for (Cell c : chain)
            if (c.r < 2 || c.c < 2 || c.r >= N - 2 || c.c >= N - 2 || routeDist[c.r * N + c.c] < 5.0f)
                clear = false;
        if (clear && IsCleanPath(chain, false))
            return chain;
    }
    return {};
}

}   // namespace

AreaData GenerateArea(int number)
{
    AreaData a;
    a.number = number;
    char folder[64];
    std::snprintf(folder, sizeof folder, "Data/Landscape/Area%02d", number);
    a.folder = folder;
    const uint32_t seed = 0x7A11u * static_cast<uint32_t>(number) + 0x1357u;
    AreaRng rng(seed);

    // Route loop, rotated so that it starts on its straightest stretch.
    RouteShape shape = ShapeFor(number, rng);
    std::vector<Cell> loop = BuildRouteLoop(shape);
    if (loop.empty())
        return a;
    std::rotate(loop.begin(), loop.begin() + StraightestIndex(loop), loop.end());
    const int M = static_cast<int>(loop.size());
    for (Cell c : loop)
        a.route.push_back(c.r * N + c.c);

    std::vector<float> routeDist;
    std::vector<int> nearest;
    RouteDistances(loop, 24, routeDist, nearest);

    // Natural ground: rolling hills, rising into ridges towards the borders.
    std::vector<float> ground(N * N);
    const uint32_t hillSeed = seed * 31u + 7u;
    for (int r = 0; r < N; ++r)
        for (int c = 0; c < N; ++c)
        {
            float hills = AreaFractalNoise(float(c), float(r), 70.0f, 5, hillSeed);
            float ridge = AreaFractalNoise(float(c), float(r), 40.0f, 3, hillSeed + 999u);
            float dx = (c - N * 0.5f) / (N * 0.5f), dy = (r - N * 0.5f) / (N * 0.5f);
            float edge = AreaSmoothStep(0.78f, 1.05f, std::max(std::fabs(dx), std::fabs(dy)));
            float h = 45.0f + 170.0f * hills * hills * 1.6f + 30.0f * ridge + 90.0f * edge;
            ground[r * N + c] = std::min(h, 252.0f);
        }

    // Pond: a hollow in the lowest open ground well away from the road,
    // preferably inside the loop, with banks that run out into the hills.
    // It is dug before the road is levelled, so road and banks agree.
    Vec2 centroid{0.0f, 0.0f};
    for (Cell c : loop)
        centroid.x += Centre(c).x / M, centroid.y += Centre(c).y / M;
    a.pondRadius = 16;
    const float pondClearance = a.pondRadius + 24.0f;
    bool pondFound = false;
    float lowest = 1e9f;
    for (int attempt = 0; attempt < 4000; ++attempt)
    {
        if (attempt >= 400 && pondFound)
            break;
        float spread = attempt < 400 ? 60.0f : 160.0f;
        int pr = static_cast<int>(centroid.y + rng.Range(-spread, spread));
        int pc = static_cast<int>(centroid.x + rng.Range(-spread, spread));
        if (pr < 30 || pc < 30 || pr >= N - 30 || pc >= N - 30 || ground[pr * N + pc] >= lowest)
            continue;
        bool clear = true;
        for (int i = 0; i < M && clear; ++i)
            if (Dist(Centre(loop[i]), Vec2{pc + 0.5f, pr + 0.5f}) < pondClearance)
                clear = false;
        if (clear)
        {
            a.pondRow = pr, a.pondCol = pc;
            lowest = ground[pr * N + pc];
            pondFound = true;
        }
    }
    if (pondFound)
        for (int r = 0; r < N; ++r)
            for (int c = 0; c < N; ++c)
            {
                float d = Dist(Vec2{float(c), float(r)}, Vec2{float(a.pondCol), float(a.pondRow)}) / a.pondRadius;
                // Bowl to the rim (d = 1), then a bank rising slowly.
                float bowl = d <= 1.0f ? 6.0f + 34.0f * d * d : 40.0f + 12.0f * (d - 1.0f);
                float& g = ground[r * N + c];
                g = std::min(g, bowl + (g - bowl) * AreaSmoothStep(1.0f, 3.5f, d));
            }

    // The level band of the road: the ground along the loop, smoothed hard
    // so that the road only climbs and falls gently.
    std::vector<float> level(M);
    for (int i = 0; i < M; ++i)
        level[i] = ground[loop[i].r * N + loop[i].c];
    SmoothLoop(level, 30, 4);
    for (float& v : level)
        v = std::min(std::max(v, 50.0f), 140.0f);
    SmoothLoop(level, 10, 2);
    // The start grid stands level: a motorcycle waiting there with no key
    // pressed has no brake on, and on a slope it would roll away (backwards
    // off the course, for a grid that stands below the start line). The
    // longest grid and its run-up reach kStartLevel cells either side of the
    // start line (behind it forward, ahead of it in reverse).
    float startLevel = 0.0f;
    for (int i = -kStartLevel; i <= kStartLevel; ++i)
        startLevel += level[(i % M + M) % M] / float(2 * kStartLevel + 1);
    for (int i = -(kStartLevel + kStartBlend); i <= kStartLevel + kStartBlend; ++i)
    {
        float& v = level[(i % M + M) % M];
        v = startLevel +
            (v - startLevel) * AreaSmoothStep(float(kStartLevel), float(kStartLevel + kStartBlend), float(std::abs(i)));
    }
    // One crest per lap to jump from.
    a.jumpIndex = JumpIndex(loop);
    // Along the loop in world units from the top's cell, both ways.
    const float jumpReach = kJumpTop * 0.5f + kJumpRamp + kJumpRound;
    for (int dir : {-1, 1})
    {
        float d = 0.0f;
        for (int off = 0; off < M / 4 && d <= jumpReach; ++off)
        {
            const int i = ((a.jumpIndex + dir * off) % M + M) % M;
            if (off > 0)
            {
                const int prev = ((a.jumpIndex + dir * (off - 1)) % M + M) % M;
                d += Dist(Centre(loop[i]), Centre(loop[prev])) * kAreaCellSize;
            }
            if (off > 0 || dir < 0)
                level[i] += JumpProfile(d) / AreaByteHeight(1);
        }
    }

    a.heightMap.assign(N * N, 0);
    for (int r = 0; r < N; ++r)
        for (int c = 0; c < N; ++c)
        {
            int idx = r * N + c;
            float h = ground[idx];
            if (nearest[idx] >= 0)
            {
                float t = AreaSmoothStep(5.5f, 17.0f, routeDist[idx]);
                h = level[nearest[idx]] * (1.0f - t) + h * t;
            }
            a.heightMap[idx] = ToByte(h);
        }

    // Way points: the loop, its first cell the start and the next one the
    // second point, which gives the driving direction.
    a.wayPoints.assign(N * N, 0);
    for (Cell c : loop)
        a.wayPoints[c.r * N + c.c] = kWayPointRoute;
    a.wayPoints[loop[0].r * N + loop[0].c] = kWayPointStart;
    a.wayPoints[loop[1].r * N + loop[1].c] = kWayPointSecond;

    // Road power: full on the road, falling off to nothing a few cells beside it.
    a.routePower.assign(static_cast<size_t>(N) * kRoutePowerRowBytes, 0);
    for (int r = 0; r < N; ++r)
        for (int c = 0; c < N; ++c)
        {
            float d = routeDist[r * N + c];
            float p = d <= 2.5f ? 255.0f : (d >= 9.0f ? 0.0f : 255.0f * (9.0f - d) / 6.5f);
            a.routePower[static_cast<size_t>(r) * kRoutePowerRowBytes + c] = ToByte(p);
        }

    // Fences: one chain.
    a.fences.assign(N * N, 0);
    std::vector<Cell> chain = BuildFenceChain(loop, routeDist);
    std::vector<uint8_t> nearFence(N * N, 0);
    for (Cell c : chain)
    {
        a.fences[c.r * N + c.c] = kFenceCode;
        for (int dr = -2; dr <= 2; ++dr)
            for (int dc = -2; dc <= 2; ++dc)
                nearFence[(c.r + dr) * N + c.c + dc] = 1;
    }

    // Nature place map: grass tufts, trees in woods, a few stones, never on
    // the road, in the water or on the fence; each land part stays well
    // inside the per-part object limits.
    const float waterByte = kAreaWaterFraction * 255.0f;
    a.placeMap.assign(N * N, 0);
    std::vector<int> treesInPart(kAreaPartsPerSide * kAreaPartsPerSide, 0);
    std::vector<int> stonesInPart(kAreaPartsPerSide * kAreaPartsPerSide, 0);
    const uint32_t woodSeed = seed * 17u + 3u;
    for (int r = 0; r < N; ++r)
        for (int c = 0; c < N; ++c)
        {
            int idx = r * N + c;
            float d = routeDist[idx];
            uint32_t roll = rng.Next();
            float u = (roll >> 8) * (1.0f / 16777216.0f);
            // Grass comes up to the verge; stones and trees keep further off.
            if (d < 5.7f || nearFence[idx] || a.heightMap[idx] <= waterByte + 4.0f)
                continue;
            int part = (r / kAreaPartCells) * kAreaPartsPerSide + c / kAreaPartCells;
            float wood = AreaFractalNoise(float(c), float(r), 35.0f, 3, woodSeed);
            int hr = std::min(r + 1, N - 1), hc = std::min(c + 1, N - 1);
            float slope = std::fabs(float(a.heightMap[hr * N + c]) - a.heightMap[idx]) +
                          std::fabs(float(a.heightMap[r * N + hc]) - a.heightMap[idx]);
            float treeChance = wood > 0.58f ? 0.10f : 0.004f;
            if (d < 12.0f)
                treeChance *= 0.2f;
            if (d < 8.0f)
                treeChance = 0.0f;
            if (u < treeChance && treesInPart[part] < 30)
            {
                a.placeMap[idx] = static_cast<uint8_t>(250 + (roll & 3));
                ++treesInPart[part];
                continue;
            }
            float stoneChance = d < 5.5f ? 0.0f : slope > 3.0f ? 0.02f : 0.002f;
            if (u < treeChance + stoneChance && stonesInPart[part] < 12)
            {
                // 78 and above: every size class has a stone file.
                a.placeMap[idx] = static_cast<uint8_t>(78 + (roll >> 4) % 170);
                ++stonesInPart[part];
                continue;
            }
            // Thick grass along the verge, thinning out into the fields.
            float grassChance = d < 12.0f ? 0.32f : d < 40.0f ? 0.16f : 0.05f;
            if (u < treeChance + stoneChance + grassChance)
                a.placeMap[idx] = static_cast<uint8_t>(1 + (roll >> 12) % 16);
        }

    // Season colours of the ground (tints of grass and trees).
    const uint32_t tintSeed = seed * 13u + 11u;
    std::vector<float> tint(N * N);
    for (int r = 0; r < N; ++r)
        for (int c = 0; c < N; ++c)
            tint[r * N + c] = AreaFractalNoise(float(c), float(r), 24.0f, 3, tintSeed);
    for (int s = 0; s < kSeasonCount; ++s)
    {
        std::vector<uint8_t>& col = a.colors[s];
        col.assign(static_cast<size_t>(N) * N * 3, 0);
        for (int r = 0; r < N; ++r)
            for (int c = 0; c < N; ++c)
            {
                int idx = r * N + c;
                float n1 = tint[idx];
                float hgt = a.heightMap[idx] / 255.0f;
                float rc, gc, bc;
                if (s == 0)
                {
                    rc = 70 + 60 * n1 + 40 * hgt;
                    gc = 125 + 60 * n1 - 20 * hgt;
                    bc = 40 + 25 * n1;
                }
                else if (s == 1)
                {
                    rc = 150 + 70 * n1;
                    gc = 100 + 55 * n1 - 20 * hgt;
                    bc = 35 + 20 * n1;
                }
                else
                {
                    rc = 200 + 40 * n1;
                    gc = 208 + 36 * n1;
                    bc = 222 + 30 * n1;
                }
                float dd = routeDist[idx];
                if (dd < 6.0f)   // worn verge beside the road
                {
                    float t = 1.0f - dd / 6.0f;
                    rc += (rc * 0.85f + 30 - rc) * t;
                    gc += (gc * 0.8f - gc) * t;
                    bc += (bc * 0.8f - bc) * t;
                }
                col[idx * 3 + 0] = std::max<uint8_t>(ToByte(rc), 16);
                col[idx * 3 + 1] = std::max<uint8_t>(ToByte(gc), 16);
                col[idx * 3 + 2] = std::max<uint8_t>(ToByte(bc), 16);
            }
    }
    PlaceAreaObjects(a);
    return a;
}

std::string AreaLandscapeDataText()
{
    char text[256];
    std::snprintf(text, sizeof text,
                  "Grid size\n%d\nParts per side\n%d\nPart cells\n%d\nCell size\n%.1f\nHeight scale\n%.1f\n",
                  kAreaGridSize, kAreaPartsPerSide, kAreaPartCells, kAreaCellSize, kAreaHeightScale);
    return text;
}
