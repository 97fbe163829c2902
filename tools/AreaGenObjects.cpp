// The buildings and props of each demo area: farm buildings set back from
// the road on level ground, facing it, and at the sharpest corners a chevron
// sign on the outside with a row of barrels, hay bales or cones in front of
// it. Everything is placed from the generated grid alone, so two runs give
// the same list; the list names the buildings first, so that the game's
// occlusion pass can hide the props behind them.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "tools/AreaGen.h"
#include "tools/DemoObjects.h"

namespace
{

const int N = kAreaGridSize;
const float kPi = 3.14159265358979f;

struct P2
{
    float x, y;   // x along columns, y along rows, in cells (grid-point units)
};

P2 operator+(P2 a, P2 b)
{
    return {a.x + b.x, a.y + b.y};
}
P2 operator-(P2 a, P2 b)
{
    return {a.x - b.x, a.y - b.y};
}
P2 operator*(P2 a, float s)
{
    return {a.x * s, a.y * s};
}
float Dot(P2 a, P2 b)
{
    return a.x * b.x + a.y * b.y;
}
float Length(P2 a)
{
    return std::sqrt(Dot(a, a));
}
P2 Unit(P2 a)
{
    const float l = Length(a);
    return l > 0.0f ? a * (1.0f / l) : P2{1, 0};
}

class Placer
{
public:
    explicit Placer(AreaData& area) : a(area), M(int(area.route.size()))
    {
        for (int cell : a.route)
            route.push_back({float(cell % N) + 0.5f, float(cell / N) + 0.5f});
        for (P2 p : route)
            centroid = centroid + p * (1.0f / float(M));
    }

    P2 At(int i) const { return route[size_t(((i % M) + M) % M)]; }
    P2 Tangent(int i, int reach) const { return Unit(At(i + reach) - At(i - reach)); }
    // Pointing away from the loop's middle.
    P2 Outward(int i) const
    {
        const P2 t = Tangent(i, 4);
        P2 n = {-t.y, t.x};
        if (Dot(n, At(i) - centroid) < 0.0f)
            n = n * -1.0f;
        return n;
    }

    // Ground height (world units) at a point in cells, between the samples.
    float Ground(P2 p) const
    {
        const float x = std::clamp(p.x, 0.0f, float(N - 1)), y = std::clamp(p.y, 0.0f, float(N - 1));
        const int c = std::min(int(x), N - 2), r = std::min(int(y), N - 2);
        const float fx = x - float(c), fy = y - float(r);
        auto h = [&](int rr, int cc) { return AreaByteHeight(a.heightMap[size_t(rr) * N + cc]); };
        const float top = h(r, c) + (h(r, c + 1) - h(r, c)) * fx;
        const float bottom = h(r + 1, c) + (h(r + 1, c + 1) - h(r + 1, c)) * fx;
        return top + (bottom - top) * fy;
    }

    float RouteDistance(P2 p, int* nearest) const
    {
        float best = 1e9f;
        for (int i = 0; i < M; ++i)
        {
            const float d = Length(route[size_t(i)] - p);
            if (d < best)
            {
                best = d;
                if (nearest)
                    *nearest = i;
            }
        }
        return best;
    }

    // The lowest and highest ground under a circle of `radius` cells.
    void GroundRange(P2 p, float radius, float* lo, float* hi) const
    {
        *lo = *hi = Ground(p);
        for (int k = 0; k < 12; ++k)
            for (float f : {0.5f, 1.0f})
            {
                const float ang = 2.0f * kPi * float(k) / 12.0f;
                const float g = Ground(p + P2{std::cos(ang), std::sin(ang)} * (radius * f));
                *lo = std::min(*lo, g);
                *hi = std::max(*hi, g);
            }
    }

    // True when an object of `radius` cells fits at p: inside the grid, at
    // least `clearance` cells of open ground between it and the road, off the
    // fence and the water, clear of what is placed, on ground that varies by
    // no more than `rough` units.
    bool Fits(P2 p, float radius, float clearance, float rough, float spacing) const
    {
        const float margin = radius + 6.0f;
        if (p.x < margin || p.y < margin || p.x > N - margin || p.y > N - margin)
            return false;
        if (RouteDistance(p, nullptr) - radius < clearance)
            return false;
        const int reach = int(radius) + 3;
        for (int r = int(p.y) - reach; r <= int(p.y) + reach; ++r)
            for (int c = int(p.x) - reach; c <= int(p.x) + reach; ++c)
                if (r >= 0 && c >= 0 && r < N && c < N && a.fences[size_t(r) * N + c])
                    return false;
        float lo, hi;
        GroundRange(p, radius, &lo, &hi);
        if (lo < AreaWaterAltitude() + 1.0f || hi - lo > rough)
            return false;
        for (size_t i = 0; i < placed.size(); ++i)
            if (Length(placed[i] - p) < radius + radii[i] + spacing)
                return false;
        return true;
    }

    // Adds the object at p (cells) standing `sink` units into the ground,
    // its road side turned towards `look` (cells), and keeps nature off it.
    void Put(const DemoObjectKind& kind, P2 p, P2 look, float y)
    {
        const float radius = kind.radius / kAreaCellSize;
        P2 d = Unit(look - p);
        // World axes: x along columns, z against rows.
        float fx = d.x, fz = -d.y;
        if (kind.sideToRoad)
        {
            // Its +x side faces the road: forward is the road direction
            // turned a quarter round.
            const float sx = fx, sz = fz;
            fx = -sz;
            fz = sx;
        }
        AreaData::Placed o;
        o.description = kind.description;
        o.building = kind.building;
        o.position[0] = p.x * kAreaCellSize - N * kAreaCellSize * 0.5f;
        o.position[1] = y;
        o.position[2] = N * kAreaCellSize * 0.5f - p.y * kAreaCellSize;
        o.target[0] = o.position[0] + fx * 10.0f;
        o.target[1] = y;
        o.target[2] = o.position[2] + fz * 10.0f;
        a.objects.push_back(o);
        placed.push_back(p);
        radii.push_back(radius);
        const int reach = int(radius + 2.0f);
        for (int r = int(p.y) - reach; r <= int(p.y) + reach; ++r)
            for (int c = int(p.x) - reach; c <= int(p.x) + reach; ++c)
                if (r >= 0 && c >= 0 && r < N && c < N && Length(P2{c + 0.5f, r + 0.5f} - p) <= radius + 1.5f)
                    a.placeMap[size_t(r) * N + c] = 0;
    }

    // A building near loop index i on the given side (1 outward, -1 inward),
    // trying a few positions along and away from the road.
    bool Building(const DemoObjectKind& kind, int i, int side)
    {
        const float radius = kind.radius / kAreaCellSize;
        for (int shift : {0, 6, -6, 12, -12, 18, -18})
            for (float away = 9.0f; away <= 16.0f; away += 1.5f)
            {
                const int at = i + shift;
                const P2 p = At(at) + Outward(at) * (float(side) * (radius + away));
                if (!Fits(p, radius, 8.0f, 1.3f, 2.0f))
                    continue;
                int nearest = 0;
                RouteDistance(p, &nearest);
                float lo, hi;
                GroundRange(p, radius, &lo, &hi);
                Put(kind, p, At(nearest), lo - 0.1f);
                return true;
            }
        return false;
    }

    // How sharply the road turns at i (the change of direction over 20 cells).
    float Turn(int i) const
    {
        const P2 before = Tangent(i - 10, 5), after = Tangent(i + 10, 5);
        return Length(after - before);
    }

    // At a corner: a chevron on the outside pointing the way the road goes,
    // and a row of props in front of it.
    void Corner(int i, int variety)
    {
        const P2 before = Tangent(i - 10, 5), after = Tangent(i + 10, 5);
        // The turn bends towards the inside; the sign stands on the other side.
        const P2 inside = Unit(after - before);
        const P2 out = inside * -1.0f;
        const P2 sign = At(i) + out * 7.5f;
        if (!Fits(sign, kDemoChevronLeft.radius / kAreaCellSize, 6.0f, 0.8f, 0.5f))
            return;
        // Seen from the road, the sign's screen right is its -x axis, which
        // is the outward direction turned a quarter round; the arrows point
        // the way the riders go.
        const P2 screenRight = {-out.y, out.x};
        const P2 travel = Tangent(i, 6);
        const DemoObjectKind& chevron = Dot(travel, screenRight) > 0.0f ? kDemoChevronRight : kDemoChevronLeft;
        Put(chevron, sign, At(i), Ground(sign) - 0.05f);

        const DemoObjectKind* kinds[3] = {&kDemoHayBale, &kDemoBarrel, &kDemoCone};
        const DemoObjectKind& prop = *kinds[variety % 3];
        const int count = variety % 3 == 0 ? 3 : 4;
        const float step = variety % 3 == 0 ? 1.0f : 0.65f;
        const P2 along = Unit(P2{-out.y, out.x});
        for (int k = 0; k < count; ++k)
        {
            const float offset = (float(k) - float(count - 1) * 0.5f) * step;
            const P2 p = At(i) + out * 6.2f + along * offset;
            if (!Fits(p, prop.radius / kAreaCellSize, 5.0f, 0.3f, 0.05f))
                continue;
            Put(prop, p, p - out, Ground(p) + 0.01f);
        }
    }

    AreaData& a;
    int M;
    std::vector<P2> route;
    P2 centroid = {0, 0};
    std::vector<P2> placed;
    std::vector<float> radii;
};

}   // namespace

void PlaceAreaObjects(AreaData& area)
{
    area.objects.clear();
    if (area.route.size() < 40 || area.heightMap.size() != size_t(N) * N || area.placeMap.size() != size_t(N) * N ||
        area.fences.size() != size_t(N) * N)
        return;
    Placer placer(area);
    const int M = placer.M;

    // Corners first: the sharpest turns, at least 60 cells apart.
    std::vector<int> corners;
    std::vector<std::pair<float, int>> turns;
    for (int i = 0; i < M; ++i)
        turns.push_back({placer.Turn(i), i});
    std::sort(turns.begin(), turns.end(), [](const auto& x, const auto& y) {
        return x.first > y.first || (x.first == y.first && x.second < y.second);
    });
    for (const auto& t : turns)
    {
        if (corners.size() >= 6)
            break;
        bool apart = true;
        for (int c : corners)
            apart = apart && std::min(std::abs(c - t.second), M - std::abs(c - t.second)) >= 60;
        if (apart)
            corners.push_back(t.second);
    }
    for (size_t k = 0; k < corners.size(); ++k)
        placer.Corner(corners[k], int(k) + area.number);

    // Buildings: every eighth of the loop, alternating sides, the kind
    // following the area so each area has its own farmsteads.
    const DemoObjectKind* kinds[3] = {&kDemoBarn, &kDemoCottage, &kDemoSilo};
    for (int k = 0; k < 8; ++k)
    {
        const int i = (k * M) / 8 + M / 16;
        const DemoObjectKind& kind = *kinds[(k + area.number) % 3];
        if (!placer.Building(kind, i, k % 2 ? 1 : -1))
            placer.Building(kind, i, k % 2 ? -1 : 1);
    }

    // The game lets a building hide only what its list puts after it: the
    // buildings go first, each group keeping its order.
    std::stable_partition(area.objects.begin(), area.objects.end(),
                          [](const AreaData::Placed& o) { return o.building != 0; });
}

std::string AreaStaticObjectsText(const AreaData& area)
{
    std::string text = "Placed objects of " + area.folder + "\n" +
                       "Path at column 32, then position and target lines and a free line\n" + "Generated\n";
    for (const AreaData::Placed& o : area.objects)
    {
        char line[256];
        text += DemoLine("Object:", o.description);
        std::snprintf(line, sizeof(line), "%8.2f %8.2f %.2f", o.position[0], o.position[1], o.position[2]);
        text += DemoLine("Position:", line);
        std::snprintf(line, sizeof(line), "%8.2f %8.2f %.2f", o.target[0], o.target[1], o.target[2]);
        text += DemoLine("Target:", line);
        text += "//\n";
    }
    return text + "////\n";
}
