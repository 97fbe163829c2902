// Generator module: the upgrade page's three system pictures
// ("Data/Interface/Menu_Main/UpgradeSys/UpgrSys0.bmp" engine, "UpgrSys1.bmp"
// transmission, "UpgrSys2.bmp" chassis): a steel part on a dark warm plate,
// drawn in the menu's orange light.
#include <cmath>
#include <cstdio>
#include <string>

#include "tools/DataTree.h"
#include "tools/ImageWriter.h"
#include "tools/MenuArt.h"

namespace
{

using menuart::Rgba;

const int kSize = 128;
const float kPi = 3.14159265f;
const Rgba kSteel = {0.78f, 0.8f, 0.84f, 1};
const Rgba kOrange = {1.0f, 0.58f, 0.08f, 1};

void Plate(menuart::Surface& s)
{
    s.Fill([](float, float) { return true; },
           [](float x, float y) {
               const float dx = x / kSize - 0.4f, dy = y / kSize - 0.35f;
               const float glow = std::exp(-(dx * dx + dy * dy) * 5.0f);
               return Rgba{0.07f + 0.28f * glow, 0.04f + 0.12f * glow, 0.02f + 0.03f * glow, 1};
           });
    // A thin bevel round the edge.
    s.Fill([](float x, float y) { return x < 3 || y < 3 || x > kSize - 3 || y > kSize - 3; }, {0.35f, 0.18f, 0.06f, 1});
}

bool InGear(float x, float y, float cx, float cy, float r, int teeth, float turn)
{
    const float dx = x - cx, dy = y - cy;
    const float d = std::sqrt(dx * dx + dy * dy);
    const float a = std::atan2(dy, dx) + turn;
    const float tooth = std::cos(a * teeth) > 0.1f ? r * 0.16f : 0.0f;
    return d < r + tooth && d > r * 0.32f;
}

void Engine(menuart::Surface& s)
{
    // Crankcase, then the finned cylinder leaning back, a plug on top.
    s.Fill([](float x, float y) { return (x - 64) * (x - 64) / 1600.0f + (y - 96) * (y - 96) / 500.0f < 1.0f; },
           [](float x, float) { return menuart::Metal(kSteel, (x - 64) / 40.0f); });
    for (int fin = 0; fin < 7; ++fin)
    {
        const float y0 = 28.0f + fin * 8.5f;
        const float half = 28.0f - fin * 0.6f;
        s.Fill([=](float x, float y) { return y >= y0 && y < y0 + 5.0f && std::abs(x - 64) < half; },
               [=](float x, float) { return menuart::Metal(kSteel, (x - 64) / half); });
    }
    s.Fill([](float x, float y) { return y >= 24 && y < 92 && std::abs(x - 64) < 17.0f; },
           [](float x, float) {
               return menuart::Metal({0.55f, 0.57f, 0.62f, 1}, (x - 64) / 17.0f);
           });
    s.Fill([](float x, float y) { return y >= 10 && y < 24 && std::abs(x - 64) < 4.0f; },
           [](float x, float) {
               return menuart::Metal({0.95f, 0.95f, 0.9f, 1}, (x - 64) / 4.0f);
           });
    s.Fill([](float x, float y) { return y >= 6 && y < 11 && std::abs(x - 64) < 6.0f; }, kOrange);
    // Exhaust pipe sweeping out to the right.
    s.Fill(
        [](float x, float y) {
            const float t = (x - 80) / 40.0f;
            if (t < 0 || t > 1)
                return false;
            const float cy = 70 + 30 * t * t;
            return std::abs(y - cy) < 5.0f;
        },
        [](float x, float y) {
            const float t = (x - 80) / 40.0f;
            return menuart::Metal({0.9f, 0.55f, 0.25f, 1}, (y - (70 + 30 * t * t)) / 5.0f);
        });
}

void Transmission(menuart::Surface& s)
{
    // Two meshing gears and a short chain run below.
    s.Fill([](float x, float y) { return InGear(x, y, 50, 56, 30, 12, 0.0f); },
           [](float x, float y) { return menuart::Metal(kSteel, (x - 50 + (y - 56) * 0.3f) / 34.0f); });
    s.Fill([](float x, float y) { return InGear(x, y, 93, 84, 19, 8, kPi / 8.0f); },
           [](float x, float y) { return menuart::Metal(kOrange, (x - 93 + (y - 84) * 0.3f) / 22.0f); });
    s.Fill(
        [](float x, float y) {
            const float dx = x - 50, dy = y - 56;
            return dx * dx + dy * dy < 36.0f;
        },
        {0.15f, 0.1f, 0.06f, 1});
    s.Fill(
        [](float x, float y) {
            const float dx = x - 93, dy = y - 84;
            return dx * dx + dy * dy < 16.0f;
        },
        {0.15f, 0.1f, 0.06f, 1});
    for (int link = 0; link < 9; ++link)
    {
        const float x0 = 14.0f + link * 11.0f;
        s.Fill(
            [=](float x, float y) {
                const float dx = (x - x0 - 4) / 5.0f, dy = (y - 112) / 3.2f;
                return dx * dx + dy * dy < 1.0f && dx * dx + dy * dy > 0.25f;
            },
            kSteel);
    }
}

void Chassis(menuart::Surface& s)
{
    // A front fork: two legs, a coil spring on each and the axle below.
    for (int side = -1; side <= 1; side += 2)
    {
        const float lx = 64 + side * 22.0f;
        s.Fill([=](float x, float y) { return y >= 14 && y < 112 && std::abs(x - lx) < 6.0f; },
               [=](float x, float) {
                   return menuart::Metal({0.5f, 0.52f, 0.58f, 1}, (x - lx) / 6.0f);
               });
        s.Fill(
            [=](float x, float y) {
                if (y < 30 || y > 86)
                    return false;
                const float phase = (y - 30) / 7.0f * 2.0f * kPi;
                const float wire = lx + std::sin(phase) * 11.0f;
                return std::abs(x - wire) < 3.2f && (std::cos(phase) > -0.2f || std::abs(x - lx) > 8.0f);
            },
            [=](float x, float) { return menuart::Metal(kOrange, (x - lx) / 11.0f); });
    }
    // Crown on top, axle below.
    s.Fill([](float x, float y) { return y >= 8 && y < 18 && std::abs(x - 64) < 32.0f; },
           [](float, float y) { return menuart::Metal(kSteel, (y - 13) / 5.0f); });
    s.Fill([](float x, float y) { return std::abs(y - 110) < 4.0f && std::abs(x - 64) < 30.0f; },
           [](float, float y) { return menuart::Metal(kSteel, (y - 110) / 4.0f); });
    s.Fill([](float x, float y) { return (x - 64) * (x - 64) + (y - 13) * (y - 13) < 16.0f; }, {0.15f, 0.1f, 0.06f, 1});
}

void GenerateUpgradeIcons(DataTree& tree)
{
    void (*const parts[3])(menuart::Surface&) = {Engine, Transmission, Chassis};
    for (int i = 0; i < 3; ++i)
    {
        menuart::Surface s(kSize, kSize, {0, 0, 0, 1});
        Plate(s);
        parts[i](s);
        const std::vector<uint8_t> bgra = s.Bgra();
        char name[96];
        std::snprintf(name, sizeof name, "Data/Interface/Menu_Main/UpgradeSys/UpgrSys%d", i);
        tree.Add(std::string(name) + ".bmp", WriteBmp24(kSize, kSize, bgra.data()));
        tree.Add(std::string(name) + ".jpg", WriteJpg(kSize, kSize, bgra.data(), 92));
    }
}

}   // namespace

REGISTER_GENERATOR("upgrade icons", GenerateUpgradeIcons);
