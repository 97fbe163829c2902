// Pictures of what the device draws, as PNG files. The test hook of the
// OpenGL backend: with the environment variable TRALLOWMERE_TEST_SCREENSHOT
// naming a ".png" file, every presented frame is also written to that file,
// so a headless run of the program leaves a picture of its last frame behind.
// Without the variable nothing is read back.
#include <cstdlib>
#include <vector>

#include "platform/d3d/D3D9Backend.h"
#include "platform/d3d/Internal.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

namespace d3d
{

void WriteTestScreenshot(CDevice9& device, CSurface9* backBuffer)
{
    static const char* const path = std::getenv("TRALLOWMERE_TEST_SCREENSHOT");
    if (!path || !*path || !backBuffer)
        return;
    std::vector<uint8_t> pixels;
    if (!device.ReadSurface(backBuffer, pixels))
        return;
    const int width = (int)backBuffer->Width(), height = (int)backBuffer->Height();
    if (pixels.size() != (size_t)width * height * 4)
        return;
    // B,G,R,A to R,G,B; the picture is opaque.
    std::vector<uint8_t> rgb((size_t)width * height * 3);
    for (size_t i = 0, n = (size_t)width * height; i < n; ++i)
    {
        rgb[i * 3] = pixels[i * 4 + 2];
        rgb[i * 3 + 1] = pixels[i * 4 + 1];
        rgb[i * 3 + 2] = pixels[i * 4];
    }
    stbi_write_png(path, width, height, 3, rgb.data(), width * 3);
}

}   // namespace d3d

bool D3DWritePng(const std::string& path, const std::vector<uint8_t>& bgra, int width, int height)
{
    if (width <= 0 || height <= 0 || bgra.size() < (size_t)width * height * 4)
        return false;
    std::vector<uint8_t> rgba(bgra.size());
    for (size_t i = 0; i + 3 < bgra.size(); i += 4)
    {
        rgba[i] = bgra[i + 2];
        rgba[i + 1] = bgra[i + 1];
        rgba[i + 2] = bgra[i];
        rgba[i + 3] = bgra[i + 3];
    }
    return stbi_write_png(path.c_str(), width, height, 4, rgba.data(), width * 4) != 0;
}
