#include "tests/support/GoldenImage.h"

#include <stb/stb_image.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <utility>

#include "platform/d3d/D3D9Backend.h"
#include "tests/support/Paths.h"

namespace golden
{

namespace
{

bool UpdatingGolden()
{
    const char* env = std::getenv("TRALLOWMERE_UPDATE_GOLDEN");
    return env && std::string(env) == "1";
}

}   // namespace

std::string GoldenPath(const std::string& name)
{
    return testsupport::SourceDir() + "/tests/golden/" + name + ".png";
}

bool WritePng(const std::string& path, const std::vector<uint8_t>& bgra, int width, int height)
{
    return D3DWritePng(path, bgra, width, height);
}

bool ReadPng(const std::string& path, std::vector<uint8_t>& bgra, int& width, int& height)
{
    int channels = 0;
    unsigned char* data = stbi_load(path.c_str(), &width, &height, &channels, 4);
    if (!data)
        return false;
    bgra.assign(data, data + (size_t)width * height * 4);
    stbi_image_free(data);
    for (size_t i = 0; i + 3 < bgra.size(); i += 4)
        std::swap(bgra[i], bgra[i + 2]);
    return true;
}

std::string Mismatch(const std::string& name, const std::vector<uint8_t>& bgra, int width, int height, int tolerance)
{
    const std::string path = GoldenPath(name);
    if (UpdatingGolden())
    {
        std::error_code ignored;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
        if (!WritePng(path, bgra, width, height))
            return "cannot write " + path;
        std::fprintf(stderr, "wrote %s\n", path.c_str());
        return std::string();
    }
    if (bgra.size() != (size_t)width * height * 4)
        return name + ": " + std::to_string(bgra.size()) + " bytes of pixels for " + std::to_string(width) + "x" +
               std::to_string(height);
    std::vector<uint8_t> expected;
    int w = 0, h = 0;
    if (!ReadPng(path, expected, w, h))
        return "no golden image " + path + " (run with TRALLOWMERE_UPDATE_GOLDEN=1 to make it)";
    if (w != width || h != height)
        return "size " + std::to_string(width) + "x" + std::to_string(height) + ", golden " + std::to_string(w) + "x" +
               std::to_string(h);
    int bad = 0, worst = 0, firstX = -1, firstY = -1;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 4; ++c)
            {
                const size_t i = ((size_t)y * width + x) * 4 + c;
                const int d = std::abs((int)bgra[i] - (int)expected[i]);
                if (d > worst)
                    worst = d;
                if (d > tolerance)
                {
                    if (bad == 0)
                        firstX = x, firstY = y;
                    ++bad;
                }
            }
    if (bad == 0)
        return std::string();
    const std::string actual = testsupport::BuildDir() + "/" + name.substr(name.rfind('/') + 1) + ".actual.png";
    WritePng(actual, bgra, width, height);
    return name + ": " + std::to_string(bad) + " channel values differ by more than " + std::to_string(tolerance) +
           " (worst " + std::to_string(worst) + ", first at " + std::to_string(firstX) + "," + std::to_string(firstY) +
           "); actual image written to " + actual;
}

std::vector<uint8_t> Downscale(const std::vector<uint8_t>& bgra, int width, int height, int factor, int* outWidth,
                               int* outHeight)
{
    const int w = factor > 0 ? width / factor : 0, h = factor > 0 ? height / factor : 0;
    *outWidth = w;
    *outHeight = h;
    if (w <= 0 || h <= 0 || bgra.size() < (size_t)width * height * 4)
    {
        *outWidth = *outHeight = 0;
        return {};
    }
    std::vector<uint8_t> out((size_t)w * h * 4);
    const int n = factor * factor;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 4; ++c)
            {
                int sum = 0;
                for (int dy = 0; dy < factor; ++dy)
                    for (int dx = 0; dx < factor; ++dx)
                        sum += bgra[(((size_t)y * factor + dy) * width + (size_t)x * factor + dx) * 4 + c];
                out[((size_t)y * w + x) * 4 + c] = (uint8_t)((sum + n / 2) / n);
            }
    return out;
}

uint32_t PixelAt(const std::vector<uint8_t>& bgra, int width, int x, int y)
{
    const size_t i = ((size_t)y * width + x) * 4;
    return (uint32_t)bgra[i] | ((uint32_t)bgra[i + 1] << 8) | ((uint32_t)bgra[i + 2] << 16) |
           ((uint32_t)bgra[i + 3] << 24);
}

}   // namespace golden
