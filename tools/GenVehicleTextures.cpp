// Generator module: the pictures every motorcycle shares: "Elements.bmp" (the
// atlas of frame, engine, seat, lamps and springs), "Wheels.bmp" (tyre tread,
// sidewall and spoked rim) and the ten two-tone decals that split the body
// between the two paint colours.
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

// Cells of "Elements.bmp"; the mesh generator maps its parts onto them.
std::vector<uint8_t> ElementsPixels(int n)
{
    Picture pic(n);
    // Frame: deep glossy black with a soft highlight band.
    pic.Fill(0.0f, 0.0f, 0.5f, 0.25f,
             [](float, float v, float* c) { Grey(c, 0.08f + 0.18f * std::exp(-std::pow((v - 0.3f) * 6.0f, 2.0f))); });
    // Engine: brushed aluminium.
    pic.Fill(0.5f, 0.0f, 1.0f, 0.25f, [n](float u, float v, float* c) {
        const float brush = Noise(int(u * 7), int(v * n)) * 0.08f;
        Grey(c, 0.55f + 0.2f * (1.0f - v) + brush);
    });
    // Seat: dark leather with a stitched seam.
    pic.Fill(0.0f, 0.25f, 0.5f, 0.5f, [n](float u, float v, float* c) {
        float g = 0.1f + Noise(int(u * n), int(v * n)) * 0.05f;
        if (std::fabs(v - 0.2f) < 0.02f && (int(u * 40) % 2) == 0)
            g = 0.45f;
        c[0] = g * 1.1f;
        c[1] = g;
        c[2] = g * 0.9f;
    });
    // Chrome-like gradient for pipes and fork legs.
    pic.Fill(0.5f, 0.25f, 1.0f, 0.5f, [](float u, float, float* c) {
        const float s = 0.5f + 0.45f * std::cos(u * 2.0f * kPi * 2.0f);
        c[0] = 0.55f + 0.4f * s;
        c[1] = 0.58f + 0.4f * s;
        c[2] = 0.62f + 0.38f * s;
    });
    // Headlight: warm white lens with a bright core.
    pic.Fill(0.0f, 0.5f, 0.25f, 0.75f, [](float u, float v, float* c) {
        const float d = std::sqrt((u - 0.5f) * (u - 0.5f) + (v - 0.5f) * (v - 0.5f)) * 2.0f;
        const float glow = std::max(0.0f, 1.0f - d);
        c[0] = 0.7f + 0.3f * glow;
        c[1] = 0.7f + 0.3f * glow;
        c[2] = 0.6f + 0.3f * glow;
    });
    // Tail light: red lens.
    pic.Fill(0.25f, 0.5f, 0.5f, 0.75f, [](float u, float v, float* c) {
        const float d = std::fabs(u - 0.5f) + std::fabs(v - 0.5f);
        c[0] = 0.75f + 0.25f * std::max(0.0f, 1.0f - d);
        c[1] = 0.05f;
        c[2] = 0.05f;
    });
    // Cylinder fins: dark grey with light ribs.
    pic.Fill(0.5f, 0.5f, 1.0f, 0.75f, [](float, float v, float* c) { Grey(c, (int(v * 12) % 2) ? 0.25f : 0.45f); });
    // Rubber: grips, footpegs, seals.
    pic.Fill(0.0f, 0.75f, 0.5f, 1.0f,
             [n](float u, float v, float* c) { Grey(c, 0.07f + Noise(int(u * n), int(v * n)) * 0.04f); });
    // Springs and fork sliders: anodised gold with coil shading.
    pic.Fill(0.5f, 0.75f, 1.0f, 1.0f, [](float, float v, float* c) {
        const float coil = 0.6f + 0.4f * std::sin(v * 2.0f * kPi * 6.0f);
        c[0] = 0.85f * coil;
        c[1] = 0.62f * coil;
        c[2] = 0.18f * coil;
    });
    return pic.bgra;
}

// "Wheels.bmp": tread on the left half, the spoked rim face on the right.
std::vector<uint8_t> WheelsPixels(int n)
{
    Picture pic(n);
    pic.Fill(0.0f, 0.0f, 0.5f, 1.0f, [](float u, float v, float* c) {
        // Across the tread (u) the centre is the running surface, the edges
        // the sidewall; along it (v) a block pattern.
        const float across = std::fabs(u - 0.5f) * 2.0f;
        float g = across > 0.55f ? 0.16f : 0.1f;
        if (across < 0.55f && (int(v * 48.0f + (across < 0.2f ? 0.5f : 0.0f)) % 2) == 0)
            g = 0.05f;
        Grey(c, g);
    });
    pic.Fill(0.5f, 0.0f, 1.0f, 1.0f, [](float u, float v, float* c) {
        const float x = u * 2.0f - 1.0f, y = v * 2.0f - 1.0f;
        const float r = std::sqrt(x * x + y * y);
        const float a = std::atan2(y, x);
        if (r > 0.86f)
            Grey(c, 0.09f);   // tyre sidewall
        else if (r > 0.74f)
        {
            const float shine = 0.6f + 0.3f * std::cos(a * 2.0f);
            c[0] = shine;
            c[1] = shine;
            c[2] = shine * 1.05f;
        }
        else if (r < 0.16f)
            Grey(c, r < 0.09f ? 0.35f : 0.6f);   // hub
        else
        {
            // Five twin spokes.
            const float spoke = std::fabs(std::sin(a * 5.0f + r * 1.2f));
            if (spoke < 0.16f)
                Grey(c, 0.7f);
            else
                Grey(c, 0.12f);
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
    AddPicture(tree, "Data/Vehicles/Elements", 256, ElementsPixels(256));
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
