#include "tools/ImageWriter.h"

#include <algorithm>
#include <cstring>

#include <stb/stb_dxt.h>
#include <stb/stb_image_write.h>

namespace
{

bool ValidSize(int w, int h, const uint8_t* bgra)
{
    return bgra && w > 0 && h > 0 && w <= kMaxImageDimension && h <= kMaxImageDimension;
}

// B,G,R,A to the R,G,B(,A) order stb's writers take.
std::vector<uint8_t> ToRgb(int w, int h, const uint8_t* bgra, int comp)
{
    const size_t count = static_cast<size_t>(w) * h;
    std::vector<uint8_t> out(count * comp);
    for (size_t i = 0; i < count; ++i)
    {
        out[i * comp + 0] = bgra[i * 4 + 2];
        out[i * comp + 1] = bgra[i * 4 + 1];
        out[i * comp + 2] = bgra[i * 4 + 0];
        if (comp == 4)
            out[i * comp + 3] = bgra[i * 4 + 3];
    }
    return out;
}

void AppendToVector(void* context, void* data, int size)
{
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    const uint8_t* p = static_cast<const uint8_t*>(data);
    out->insert(out->end(), p, p + size);
}

void PutU32(std::vector<uint8_t>& out, size_t at, uint32_t v)
{
    out[at + 0] = static_cast<uint8_t>(v);
    out[at + 1] = static_cast<uint8_t>(v >> 8);
    out[at + 2] = static_cast<uint8_t>(v >> 16);
    out[at + 3] = static_cast<uint8_t>(v >> 24);
}

bool WritableDdsFormat(PixelFormat fmt)
{
    return fmt == PixelFormat::A8R8G8B8 || fmt == PixelFormat::X8R8G8B8 || fmt == PixelFormat::R5G6B5 ||
           fmt == PixelFormat::DXT1 || fmt == PixelFormat::DXT5;
}

// The 128 bytes in front of the surfaces: magic and header.
std::vector<uint8_t> DdsHeader(int w, int h, PixelFormat fmt, int levels, bool cube)
{
    std::vector<uint8_t> out(128, 0);
    std::memcpy(out.data(), "DDS ", 4);
    const size_t hd = 4;
    const bool compressed = IsCompressedFormat(fmt);
    uint32_t flags = 0x1 | 0x2 | 0x4 | 0x1000;   // caps, height, width, pixel format
    flags |= compressed ? 0x80000 : 0x8;         // linear size or pitch
    if (levels > 1)
        flags |= 0x20000;   // mip count
    PutU32(out, hd + 0, 124);
    PutU32(out, hd + 4, flags);
    PutU32(out, hd + 8, static_cast<uint32_t>(h));
    PutU32(out, hd + 12, static_cast<uint32_t>(w));
    PutU32(out, hd + 16, static_cast<uint32_t>(compressed ? LevelSize(fmt, w, h) : RowPitch(fmt, w)));
    PutU32(out, hd + 24, static_cast<uint32_t>(levels));
    // Pixel-format block.
    PutU32(out, hd + 72, 32);
    switch (fmt)
    {
    case PixelFormat::DXT1:
    case PixelFormat::DXT3:
    case PixelFormat::DXT5:
    {
        const char* cc = fmt == PixelFormat::DXT1 ? "DXT1" : fmt == PixelFormat::DXT3 ? "DXT3" : "DXT5";
        PutU32(out, hd + 76, 0x4);
        std::memcpy(&out[hd + 80], cc, 4);
        break;
    }
    case PixelFormat::A8R8G8B8:
    case PixelFormat::X8R8G8B8:
        PutU32(out, hd + 76, fmt == PixelFormat::A8R8G8B8 ? 0x41 : 0x40);
        PutU32(out, hd + 84, 32);
        PutU32(out, hd + 88, 0x00FF0000);
        PutU32(out, hd + 92, 0x0000FF00);
        PutU32(out, hd + 96, 0x000000FF);
        PutU32(out, hd + 100, fmt == PixelFormat::A8R8G8B8 ? 0xFF000000 : 0);
        break;
    case PixelFormat::R5G6B5:
        PutU32(out, hd + 76, 0x40);
        PutU32(out, hd + 84, 16);
        PutU32(out, hd + 88, 0xF800);
        PutU32(out, hd + 92, 0x07E0);
        PutU32(out, hd + 96, 0x001F);
        break;
    }
    uint32_t caps = 0x1000;   // texture
    if (levels > 1)
        caps |= 0x8 | 0x400000;   // complex, mip map
    if (cube)
        caps |= 0x8;
    PutU32(out, hd + 104, caps);
    PutU32(out, hd + 108, cube ? 0x200u | 0xFC00u : 0u);
    return out;
}

uint8_t To5(uint8_t v)
{
    return static_cast<uint8_t>((v * 31 + 127) / 255);
}
uint8_t To6(uint8_t v)
{
    return static_cast<uint8_t>((v * 63 + 127) / 255);
}

// One level of B,G,R,A pixels in the file's format, appended to `out`.
void EncodeLevel(int w, int h, const uint8_t* bgra, PixelFormat fmt, std::vector<uint8_t>& out)
{
    const size_t count = static_cast<size_t>(w) * h;
    switch (fmt)
    {
    case PixelFormat::A8R8G8B8:
        out.insert(out.end(), bgra, bgra + count * 4);
        break;
    case PixelFormat::X8R8G8B8:
        for (size_t i = 0; i < count; ++i)
        {
            out.insert(out.end(), bgra + i * 4, bgra + i * 4 + 3);
            out.push_back(255);
        }
        break;
    case PixelFormat::R5G6B5:
        for (size_t i = 0; i < count; ++i)
        {
            const uint8_t* p = bgra + i * 4;
            const uint16_t c = static_cast<uint16_t>((To5(p[2]) << 11) | (To6(p[1]) << 5) | To5(p[0]));
            out.push_back(static_cast<uint8_t>(c));
            out.push_back(static_cast<uint8_t>(c >> 8));
        }
        break;
    case PixelFormat::DXT1:
    case PixelFormat::DXT3:
    case PixelFormat::DXT5:
    {
        const bool alpha = fmt != PixelFormat::DXT1;
        const size_t blockBytes = alpha ? 16 : 8;
        for (int by = 0; by < h; by += 4)
        {
            for (int bx = 0; bx < w; bx += 4)
            {
                // Edge blocks repeat the last row and column so the padding
                // does not pull the block's colours towards black.
                uint8_t rgba[16 * 4];
                for (int y = 0; y < 4; ++y)
                {
                    const int sy = std::min(by + y, h - 1);
                    for (int x = 0; x < 4; ++x)
                    {
                        const int sx = std::min(bx + x, w - 1);
                        const uint8_t* p = bgra + (static_cast<size_t>(sy) * w + sx) * 4;
                        uint8_t* d = rgba + (y * 4 + x) * 4;
                        d[0] = p[2];
                        d[1] = p[1];
                        d[2] = p[0];
                        d[3] = alpha ? p[3] : 255;
                    }
                }
                uint8_t block[16];
                stb_compress_dxt_block(block, rgba, alpha ? 1 : 0, STB_DXT_HIGHQUAL);
                out.insert(out.end(), block, block + blockBytes);
            }
        }
        break;
    }
    }
}

void AppendSurface(int w, int h, const uint8_t* bgra, PixelFormat fmt, bool mips, std::vector<uint8_t>& out)
{
    if (!mips)
    {
        EncodeLevel(w, h, bgra, fmt, out);
        return;
    }
    const auto chain = GenerateMipChainBgra(w, h, bgra);
    for (size_t level = 0; level < chain.size(); ++level)
        EncodeLevel(MipDimension(w, static_cast<int>(level)), MipDimension(h, static_cast<int>(level)),
                    chain[level].data(), fmt, out);
}

}   // namespace

std::vector<uint8_t> WriteBmp24(int w, int h, const uint8_t* bgra)
{
    std::vector<uint8_t> out;
    if (!ValidSize(w, h, bgra))
        return out;
    const auto rgb = ToRgb(w, h, bgra, 3);
    if (!stbi_write_bmp_to_func(AppendToVector, &out, w, h, 3, rgb.data()))
        out.clear();
    return out;
}

std::vector<uint8_t> WriteJpg(int w, int h, const uint8_t* bgra, int quality)
{
    std::vector<uint8_t> out;
    if (!ValidSize(w, h, bgra))
        return out;
    const auto rgb = ToRgb(w, h, bgra, 3);
    if (!stbi_write_jpg_to_func(AppendToVector, &out, w, h, 3, rgb.data(), std::clamp(quality, 1, 100)))
        out.clear();
    return out;
}

std::vector<uint8_t> WritePng(int w, int h, const uint8_t* bgra)
{
    std::vector<uint8_t> out;
    if (!ValidSize(w, h, bgra))
        return out;
    const auto rgba = ToRgb(w, h, bgra, 4);
    if (!stbi_write_png_to_func(AppendToVector, &out, w, h, 4, rgba.data(), w * 4))
        out.clear();
    return out;
}

std::vector<uint8_t> WriteTga32(int w, int h, const uint8_t* bgra)
{
    std::vector<uint8_t> out;
    if (!ValidSize(w, h, bgra))
        return out;
    const auto rgba = ToRgb(w, h, bgra, 4);
    if (!stbi_write_tga_to_func(AppendToVector, &out, w, h, 4, rgba.data()))
        out.clear();
    return out;
}

std::vector<uint8_t> WriteDds(int w, int h, const uint8_t* bgra, PixelFormat fmt, bool mips)
{
    if (!ValidSize(w, h, bgra) || !WritableDdsFormat(fmt))
        return {};
    const int levels = mips ? FullMipCount(w, h) : 1;
    std::vector<uint8_t> out = DdsHeader(w, h, fmt, levels, false);
    AppendSurface(w, h, bgra, fmt, mips, out);
    return out;
}

std::vector<uint8_t> WriteDdsCube(int size, const uint8_t* const faces[6], PixelFormat fmt, bool mips)
{
    if (!faces || !WritableDdsFormat(fmt))
        return {};
    for (int f = 0; f < 6; ++f)
        if (!ValidSize(size, size, faces[f]))
            return {};
    const int levels = mips ? FullMipCount(size, size) : 1;
    std::vector<uint8_t> out = DdsHeader(size, size, fmt, levels, true);
    for (int f = 0; f < 6; ++f)
        AppendSurface(size, size, faces[f], fmt, mips, out);
    return out;
}
