// Pictures of what a program draws: see Picture.h.
#include "play/Picture.h"

#include <stb/stb_image_write.h>

#include "platform/d3d/D3D9Backend.h"

namespace play
{

std::vector<uint8_t> ReadRenderTarget(IDirect3DDevice9* device, UINT* width, UINT* height)
{
    std::vector<uint8_t> pixels;
    IDirect3DSurface9* target = nullptr;
    UINT w = 0, h = 0;
    if (device && SUCCEEDED(device->GetRenderTarget(0, &target)) && target)
    {
        D3DReadSurfacePixels(target, pixels, w, h);
        target->Release();
    }
    if (width)
        *width = w;
    if (height)
        *height = h;
    return pixels;
}

bool WritePng(const std::string& path, const std::vector<uint8_t>& bgra, int width, int height)
{
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

}   // namespace play
