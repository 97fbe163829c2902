// Generator module: the pictures every motorcycle shares: "Elements.bmp" (the
// atlas of frame, engine, seat, lamps, springs, tyres and wheels),
// "Wheels.bmp" (the face of a brake disc) and the ten two-tone decals that
// split the body between the two paint colours.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "tools/DataTree.h"
#include "tools/ImageWriter.h"

namespace
{

const float kPi = 3.14159265358979f;

struct Picture
{
    int size;
    std::vector<uint8_t> bgra;
    explicit Picture(int n) : size(n), bgra(size_t(n) * n * 4, 255) {}
    void Set(int x, int y, float r, float g, float b)
    {
        uint8_t* p = &bgra[(size_t(y) * size + x) * 4];
        p[0] = uint8_t(std::min(1.0f, std::max(0.0f, b)) * 255.0f);
        p[1] = uint8_t(std::min(1.0f, std::max(0.0f, g)) * 255.0f);
        p[2] = uint8_t(std::min(1.0f, std::max(0.0f, r)) * 255.0f);
        p[3] = 255;
    }
    // Calls paint (u, v) for each texel of the cell (fractions of the size),
    // with u and v running 0..1 across the cell.
    void Fill(float u0, float v0, float u1, float v1, const std::function<void(float, float, float*)>& paint)
    {
        const int x0 = int(u0 * size), x1 = int(u1 * size), y0 = int(v0 * size), y1 = int(v1 * size);
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
            {
                float rgb[3] = {0, 0, 0};
                paint((x + 0.5f - x0) / float(x1 - x0), (y + 0.5f - y0) / float(y1 - y0), rgb);
                Set(x, y, rgb[0], rgb[1], rgb[2]);
            }
    }
};

uint32_t Hash(uint32_t x)
{
    x ^= x >> 16;
    x *= 0x7FEB352Du;
    x ^= x >> 15;
    x *= 0x846CA68Bu;
    x ^= x >> 16;
    return x;
}

float Noise(int x, int y)
{
    return float(Hash(uint32_t(x) * 73856093u ^ uint32_t(y) * 19349663u) % 1000) / 1000.0f;
}

void Grey(float* rgb, float v)
{
    rgb[0] = rgb[1] = rgb[2] = v;
}

// "Elements.bmp": a 4 x 4 atlas of 128-texel cells, the mesh generator maps
// its parts onto them (column, row):
//   (0,0) frame      (1,0) engine     (2,0) seat       (3,0) polished pipe
//   (0,1) headlight  (1,1) tail light (2,1) fins       (3,1) rubber
//   (0,2) springs    (1,2) tyre       (2,2) wheel alloy (3,2) dark metal
//   (0,3) radiator   (1,3) dials      (2,3) carbon     (3,3) number plate
std::vector<uint8_t> ElementsPixels(int n)
{
    Picture pic(n);
    auto cell = [&pic](int column, int row, const std::function<void(float, float, float*)>& paint) {
        pic.Fill(column * 0.25f, row * 0.25f, (column + 1) * 0.25f, (row + 1) * 0.25f, paint);
    };
    const int c = n / 4;   // texels per cell side
    // Frame: deep glossy black with a soft highlight band along the tube.
    cell(0, 0, [](float, float v, float* rgb) {
        Grey(rgb, 0.06f + 0.22f * std::exp(-std::pow((v - 0.3f) * 6.0f, 2.0f)));
        rgb[2] += 0.02f;
    });
    // Engine: brushed aluminium, lighter at the top.
    cell(1, 0, [c](float u, float v, float* rgb) {
        const float brush = Noise(int(u * 9), int(v * c)) * 0.08f;
        Grey(rgb, 0.58f + 0.22f * (1.0f - v) + brush);
    });
    // Seat: dark leather with a stitched seam.
    cell(2, 0, [c](float u, float v, float* rgb) {
        float g = 0.09f + Noise(int(u * c), int(v * c)) * 0.05f;
        if (std::fabs(v - 0.2f) < 0.025f && (int(u * 40) % 2) == 0)
            g = 0.42f;
        rgb[0] = g * 1.1f;
        rgb[1] = g;
        rgb[2] = g * 0.9f;
    });
    // Polished pipe: bright bands of a reflection.
    cell(3, 0, [](float u, float, float* rgb) {
        const float s = 0.5f + 0.45f * std::cos(u * 2.0f * kPi * 2.0f);
        rgb[0] = 0.55f + 0.4f * s;
        rgb[1] = 0.58f + 0.4f * s;
        rgb[2] = 0.62f + 0.38f * s;
    });
    // Headlight: warm white lens with a bright core and a reflector ring.
    cell(0, 1, [](float u, float v, float* rgb) {
        const float d = std::sqrt((u - 0.5f) * (u - 0.5f) + (v - 0.5f) * (v - 0.5f)) * 2.0f;
        const float glow = std::max(0.0f, 1.0f - d * 1.2f);
        const float ring = std::fabs(d - 0.75f) < 0.06f ? 0.15f : 0.0f;
        rgb[0] = 0.78f + 0.22f * glow + ring;
        rgb[1] = 0.8f + 0.2f * glow + ring;
        rgb[2] = 0.72f + 0.28f * glow + ring;
    });
    // Tail light: red lens with cells.
    cell(1, 1, [](float u, float v, float* rgb) {
        const float d = std::fabs(u - 0.5f) + std::fabs(v - 0.5f);
        const bool cellEdge = std::fmod(u * 8.0f, 1.0f) < 0.12f || std::fmod(v * 4.0f, 1.0f) < 0.12f;
        rgb[0] = (cellEdge ? 0.6f : 0.85f) + 0.15f * std::max(0.0f, 1.0f - d);
        rgb[1] = 0.04f;
        rgb[2] = 0.05f;
    });
    // Cylinder fins: dark grey with bright rib edges.
    cell(2, 1, [](float, float v, float* rgb) { Grey(rgb, (int(v * 12) % 2) ? 0.2f : 0.5f); });
    // Rubber: grips, footpegs, seals.
    cell(3, 1, [c](float u, float v, float* rgb) { Grey(rgb, 0.06f + Noise(int(u * c), int(v * c)) * 0.04f); });
    // Springs and fork sliders: anodised gold with coil shading.
    cell(0, 2, [](float, float v, float* rgb) {
        const float coil = 0.6f + 0.4f * std::sin(v * 2.0f * kPi * 6.0f);
        rgb[0] = 0.88f * coil;
        rgb[1] = 0.64f * coil;
        rgb[2] = 0.18f * coil;
    });
    // Tyre: across the tube (u) 0 and 1 are the middle of the tread, 0.25
    // and 0.75 the sidewalls; along it (v) the tread blocks repeat.
    cell(1, 2, [](float u, float v, float* rgb) {
        const float across = std::min(u, 1.0f - u) * 4.0f;   // 0 tread centre, 1 sidewall
        float g = 0.1f;
        if (across < 0.55f)
        {
            // Staggered blocks with grooves between them.
            const float shift = across < 0.22f ? 0.0f : 0.5f;
            const float along = std::fmod(v * 10.0f + shift, 1.0f);
            g = along < 0.22f ? 0.035f : 0.11f + 0.02f * (1.0f - across);
        }
        else if (across > 0.8f && across < 0.9f)
            g = 0.2f;   // the lettering band of the sidewall
        Grey(rgb, g);
    });
    // Wheel alloy: bright silver with a soft highlight.
    cell(2, 2, [](float u, float v, float* rgb) {
        const float s = 0.75f + 0.2f * std::cos((u + v) * kPi * 2.0f);
        rgb[0] = 0.78f * s;
        rgb[1] = 0.8f * s;
        rgb[2] = 0.84f * s;
    });
    // Dark metal: hubs, calipers, clamps.
    cell(3, 2, [c](float u, float v, float* rgb) { Grey(rgb, 0.22f + Noise(int(u * c / 4), int(v * c / 4)) * 0.06f); });
    // Radiator: a fine black grille in a silver frame.
    cell(0, 3, [](float u, float v, float* rgb) {
        const bool frame = u < 0.08f || u > 0.92f || v < 0.08f || v > 0.92f;
        const bool slat = std::fmod(v * 24.0f, 1.0f) < 0.5f;
        Grey(rgb, frame ? 0.6f : slat ? 0.08f : 0.2f);
    });
    // Dials: two white-faced gauges on black.
    cell(1, 3, [](float u, float v, float* rgb) {
        Grey(rgb, 0.05f);
        for (float cx : {0.28f, 0.72f})
        {
            const float d = std::sqrt((u - cx) * (u - cx) + (v - 0.5f) * (v - 0.5f));
            if (d < 0.2f)
                Grey(rgb, d > 0.17f ? 0.5f : 0.9f);
        }
    });
    // Carbon: a woven dark pattern.
    cell(2, 3, [c](float u, float v, float* rgb) {
        const int x = int(u * c / 4), y = int(v * c / 4);
        const float weave = ((x + y) % 2) ? 0.12f : 0.18f;
        Grey(rgb, weave + 0.03f * std::sin(u * kPi * 16.0f));
    });
    // Number plate: white with a black border.
    cell(3, 3, [](float u, float v, float* rgb) {
        const bool border = u < 0.06f || u > 0.94f || v < 0.1f || v > 0.9f;
        Grey(rgb, border ? 0.05f : 0.92f);
    });
    return pic.bgra;
}

// "Wheels.bmp": the face of a brake disc: a steel rotor ring with drilled
// holes, the dark carrier with five windows, and the hub with its bolts.
std::vector<uint8_t> WheelsPixels(int n)
{
    Picture pic(n);
    pic.Fill(0.0f, 0.0f, 1.0f, 1.0f, [n](float u, float v, float* c) {
        const float x = u * 2.0f - 1.0f, y = v * 2.0f - 1.0f;
        const float r = std::sqrt(x * x + y * y);
        const float a = std::atan2(y, x);
        if (r > 0.97f)
            Grey(c, 0.2f);   // the rotor's edge
        else if (r > 0.62f)
        {
            // Machined steel with circular grinding marks and drilled holes.
            float g = 0.62f + 0.06f * std::sin(r * 140.0f) + Noise(int(u * n), int(v * n)) * 0.04f;
            for (int ring = 0; ring < 2; ++ring)
            {
                const float rr = ring ? 0.85f : 0.74f;
                const float step = 2.0f * kPi / 18.0f;
                const float at =
                    std::round((a + (ring ? step * 0.5f : 0.0f)) / step) * step - (ring ? step * 0.5f : 0.0f);
                const float hx = rr * std::cos(at) - x, hy = rr * std::sin(at) - y;
                if (hx * hx + hy * hy < 0.035f * 0.035f)
                    g = 0.08f;
            }
            Grey(c, g);
        }
        else if (r > 0.2f)
        {
            // Carrier with five windows.
            const float window = std::cos(a * 5.0f);
            if (window > 0.35f && r > 0.3f && r < 0.55f)
                Grey(c, 0.04f);
            else
            {
                c[0] = 0.85f;   // anodised red
                c[1] = 0.16f;
                c[2] = 0.1f;
            }
        }
        else
        {
            Grey(c, 0.35f);
            for (int b = 0; b < 5; ++b)
            {
                const float ba = 2.0f * kPi * b / 5.0f;
                const float bx = 0.13f * std::cos(ba) - x, by = 0.13f * std::sin(ba) - y;
                if (bx * bx + by * by < 0.025f * 0.025f)
                    Grey(c, 0.75f);
            }
        }
    });
    return pic.bgra;
}

// Two-tone decal designs: white shows one paint colour, black the other. The
// body maps its side onto the picture, u from tail (0) to nose (1), v from
// top (0) to bottom (1).
float DecalValue(int design, float u, float v)
{
    switch (design)
    {
    case 0:   // twin racing stripes
        return (std::fabs(v - 0.4f) < 0.05f || std::fabs(v - 0.55f) < 0.05f) ? 1.0f : 0.0f;
    case 1:   // diagonal slashes at the front
        return (u > 0.45f && std::fmod(u * 6.0f + v * 2.0f, 1.0f) < 0.35f) ? 1.0f : 0.0f;
    case 2:   // flames from the nose
    {
        const float tongue = 0.5f + 0.35f * std::sin(v * 18.0f) * (1.0f - v * 0.3f);
        return (u > tongue - 0.25f * std::fabs(std::sin(v * 7.0f))) ? 1.0f : 0.0f;
    }
    case 3:   // checkered band
        return (std::fabs(v - 0.5f) < 0.12f && ((int(u * 16) + int(v * 16)) % 2 == 0)) ? 1.0f : 0.0f;
    case 4:   // lightning bolt along the side
    {
        const float zig = 0.45f + 0.12f * (std::fmod(u * 5.0f, 1.0f) < 0.5f ? std::fmod(u * 5.0f, 1.0f) * 2.0f
                                                                            : 2.0f - std::fmod(u * 5.0f, 1.0f) * 2.0f);
        return std::fabs(v - zig) < 0.06f ? 1.0f : 0.0f;
    }
    case 5:   // lower half split
        return v > 0.55f + 0.1f * u ? 1.0f : 0.0f;
    case 6:   // chevrons pointing forward
        return std::fmod(u * 5.0f - std::fabs(v - 0.5f) * 2.0f + 10.0f, 1.0f) < 0.3f ? 1.0f : 0.0f;
    case 7:   // waves
        return std::fabs(v - 0.5f - 0.12f * std::sin(u * 4.0f * kPi)) < 0.08f ? 1.0f : 0.0f;
    case 8:   // a large roundel for a start number
    {
        const float du = (u - 0.6f) * 2.0f, dv = v - 0.45f;
        const float r = std::sqrt(du * du + dv * dv);
        return (r < 0.22f && r > 0.16f) || r < 0.1f ? 1.0f : 0.0f;
    }
    default:   // tiger stripes
        return std::sin(u * 40.0f + std::sin(v * 9.0f) * 3.0f) > 0.55f ? 1.0f : 0.0f;
    }
}

std::vector<uint8_t> DecalPixels(int design, int n)
{
    Picture pic(n);
    pic.Fill(0.0f, 0.0f, 1.0f, 1.0f, [design](float u, float v, float* c) {
        // A little supersampling keeps the edges smooth.
        float sum = 0.0f;
        for (int s = 0; s < 4; ++s)
            sum += DecalValue(design, u + (s % 2) * 0.004f, v + (s / 2) * 0.004f);
        Grey(c, sum * 0.25f);
    });
    return pic.bgra;
}

void AddPicture(DataTree& tree, const std::string& name, int n, const std::vector<uint8_t>& bgra)
{
    // ".bmp" names may be read as ".jpg" ("BMP to JPG"), so both are written.
    tree.Add(name + ".bmp", WriteBmp24(n, n, bgra.data()));
    tree.Add(name + ".jpg", WriteJpg(n, n, bgra.data()));
}

void GenerateVehicleTextures(DataTree& tree)
{
    AddPicture(tree, "Data/Vehicles/Elements", 512, ElementsPixels(512));
    AddPicture(tree, "Data/Vehicles/Wheels", 256, WheelsPixels(256));
    for (int i = 0; i < 10; ++i)
    {
        char name[64];
        std::snprintf(name, sizeof(name), "Data/Vehicles/Decal%02d", i + 1);
        AddPicture(tree, name, 128, DecalPixels(i, 128));
    }
}

}   // namespace

REGISTER_GENERATOR("vehicle textures", GenerateVehicleTextures);
