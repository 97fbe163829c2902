#include "platform/image/ImageDecode.h"

#include <climits>
#include <cstring>

#include <stb/stb_image.h>

#include "platform/image/DdsReader.h"

namespace
{

void SetError(std::string* error, const char* text)
{
    if (error)
        *error = text;
}

bool StartsWith(const uint8_t* p, size_t size, const uint8_t* magic, size_t len)
{
    return size >= len && std::memcmp(p, magic, len) == 0;
}

// TGA files carry no magic, so a plausible header is the only way to tell
// them from noise. Checking it ourselves also keeps the other decoders of
// stb_image (GIF, PSD, HDR, ...) out of reach of game data.
bool LooksLikeTga(const uint8_t* p, size_t size)
{
    if (size < 18)
        return false;
    const uint8_t colorMapType = p[1];
    const uint8_t imageType = p[2];
    const int width = p[12] | (p[13] << 8);
    const int height = p[14] | (p[15] << 8);
    const uint8_t bits = p[16];
    if (colorMapType > 1)
        return false;
    switch (imageType)
    {
    case 1:
    case 2:
    case 3:
    case 9:
    case 10:
    case 11:
        break;
    default:
        return false;
    }
    if (width == 0 || height == 0)
        return false;
    return bits == 8 || bits == 15 || bits == 16 || bits == 24 || bits == 32;
}

enum class StbKind
{
    None,
    Bmp,
    Jpg,
    Png,
    Tga
};

StbKind DetectStbKind(const uint8_t* p, size_t size)
{
    static const uint8_t kBmp[] = {'B', 'M'};
    static const uint8_t kJpg[] = {0xFF, 0xD8, 0xFF};
    static const uint8_t kPng[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (StartsWith(p, size, kPng, sizeof kPng))
        return StbKind::Png;
    if (StartsWith(p, size, kJpg, sizeof kJpg))
        return StbKind::Jpg;
    if (StartsWith(p, size, kBmp, sizeof kBmp))
        return StbKind::Bmp;
    if (LooksLikeTga(p, size))
        return StbKind::Tga;
    return StbKind::None;
}

uint32_t Le32(const uint8_t* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24);
}
uint16_t Le16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

// stb_image reads zeros past the end of a BMP or TGA and calls that a
// picture. We check that the file can hold the pixel block its header
// promises (exactly when uncompressed, at least the smallest run-length
// coding otherwise), so a cut-off file fails like any other bad file.
bool PixelDataPresent(StbKind kind, const uint8_t* p, size_t size)
{
    uint64_t needed = 0;
    if (kind == StbKind::Bmp)
    {
        if (size < 26)
            return false;
        const uint32_t dataOffset = Le32(p + 10);
        const uint32_t infoSize = Le32(p + 14);
        uint64_t w = 0, h = 0, bits = 0;
        uint32_t compression = 0;
        if (infoSize == 12)
        {   // the old core header
            w = Le16(p + 18);
            h = Le16(p + 20);
            bits = Le16(p + 24);
        }
        else
        {
            if (size < 34)
                return false;
            const int32_t sw = static_cast<int32_t>(Le32(p + 18));
            const int32_t sh = static_cast<int32_t>(Le32(p + 22));
            w = sw < 0 ? 0 - static_cast<int64_t>(sw) : sw;
            h = sh < 0 ? 0 - static_cast<int64_t>(sh) : sh;   // negative = top row first
            bits = Le16(p + 28);
            compression = Le32(p + 30);
        }
        if (compression != 0 && compression != 3)   // run-length data has no fixed size
            return true;
        needed = static_cast<uint64_t>(dataOffset) + ((w * bits + 31) / 32) * 4 * h;
    }
    else if (kind == StbKind::Tga)
    {
        const uint8_t imageType = p[2];
        const uint64_t idLength = p[0];
        const uint64_t mapLength = p[1] ? Le16(p + 5) : 0;
        const uint64_t mapBits = p[1] ? p[7] : 0;
        const uint64_t w = Le16(p + 12), h = Le16(p + 14), pixelBytes = (p[16] + 7u) / 8;
        needed = 18 + idLength + mapLength * ((mapBits + 7) / 8);
        if (imageType >= 9)
        {
            // Run-length packets cover at most 128 pixels with one count
            // byte and one pixel: a file shorter than that cannot hold the
            // picture, and must not make us allocate for its claimed size.
            needed += (w * h + 127) / 128 * (1 + pixelBytes);
        }
        else
        {
            needed += w * h * pixelBytes;
        }
    }
    else
    {
        return true;
    }
    return needed <= size;
}

bool DecodeWithStb(const uint8_t* p, size_t size, DecodedImage& out, std::string* error)
{
    const StbKind kind = DetectStbKind(p, size);
    if (kind == StbKind::None)
    {
        SetError(error, "unknown image format");
        return false;
    }
    if (size > static_cast<size_t>(INT_MAX))
    {
        SetError(error, "image file too large");
        return false;
    }
    const int len = static_cast<int>(size);
    int w = 0, h = 0, comp = 0;
    // Look at the size before decoding so a lying header cannot make us
    // allocate gigabytes.
    if (!stbi_info_from_memory(p, len, &w, &h, &comp))
    {
        SetError(error, "corrupt image header");
        return false;
    }
    if (w <= 0 || h <= 0 || w > kMaxImageDimension || h > kMaxImageDimension)
    {
        SetError(error, "image dimensions out of range");
        return false;
    }
    // Every 8x8 luma block of a JPEG costs at least one bit (its DC code,
    // even in a progressive file), so a smaller file is cut off; refusing it
    // also keeps a few header bytes from buying a decode of the full size.
    if (kind == StbKind::Jpg && static_cast<uint64_t>(w) * h / 512 > size)
    {
        SetError(error, "image data truncated");
        return false;
    }
    if (!PixelDataPresent(kind, p, size))
    {
        SetError(error, "image data truncated");
        return false;
    }
    int dw = 0, dh = 0;
    stbi_uc* rgba = stbi_load_from_memory(p, len, &dw, &dh, &comp, 4);
    if (!rgba)
    {
        SetError(error, "corrupt image data");
        return false;
    }
    if (dw != w || dh != h)
    {
        stbi_image_free(rgba);
        SetError(error, "corrupt image data");
        return false;
    }
    std::vector<uint8_t> bgra(static_cast<size_t>(w) * h * 4);
    for (size_t i = 0; i < bgra.size(); i += 4)
    {
        bgra[i + 0] = rgba[i + 2];
        bgra[i + 1] = rgba[i + 1];
        bgra[i + 2] = rgba[i + 0];
        bgra[i + 3] = rgba[i + 3];
    }
    stbi_image_free(rgba);
    out.format = PixelFormat::A8R8G8B8;
    out.width = w;
    out.height = h;
    out.levels = 1;
    out.cube = false;
    out.data.clear();
    out.data.push_back(std::move(bgra));
    return true;
}

// 5:6:5 to 8:8:8 by bit replication, so 0 stays 0 and full stays 255.
void Expand565(uint16_t c, uint8_t& r, uint8_t& g, uint8_t& b)
{
    const int r5 = (c >> 11) & 31, g6 = (c >> 5) & 63, b5 = c & 31;
    r = static_cast<uint8_t>((r5 << 3) | (r5 >> 2));
    g = static_cast<uint8_t>((g6 << 2) | (g6 >> 4));
    b = static_cast<uint8_t>((b5 << 3) | (b5 >> 2));
}

// Decodes the 8-byte colour part of a block into 16 B,G,R,A pixels.
// `allowThreeColour` is true only for DXT1: there color0 <= color1 selects
// the mode with a midpoint and a transparent black entry. In DXT3/DXT5 the
// colour part always has four colours.
void DecodeColourBlock(const uint8_t* b, bool allowThreeColour, uint8_t px[16][4])
{
    const uint16_t c0 = static_cast<uint16_t>(b[0] | (b[1] << 8));
    const uint16_t c1 = static_cast<uint16_t>(b[2] | (b[3] << 8));
    uint8_t pal[4][4];
    Expand565(c0, pal[0][2], pal[0][1], pal[0][0]);
    Expand565(c1, pal[1][2], pal[1][1], pal[1][0]);
    pal[0][3] = pal[1][3] = 255;
    if (!allowThreeColour || c0 > c1)
    {
        for (int k = 0; k < 3; ++k)
        {
            pal[2][k] = static_cast<uint8_t>((2 * pal[0][k] + pal[1][k]) / 3);
            pal[3][k] = static_cast<uint8_t>((pal[0][k] + 2 * pal[1][k]) / 3);
        }
        pal[2][3] = pal[3][3] = 255;
    }
    else
    {
        for (int k = 0; k < 3; ++k)
        {
            pal[2][k] = static_cast<uint8_t>((pal[0][k] + pal[1][k]) / 2);
            pal[3][k] = 0;
        }
        pal[2][3] = 255;
        pal[3][3] = 0;
    }
    const uint32_t bits = static_cast<uint32_t>(b[4]) | (static_cast<uint32_t>(b[5]) << 8) |
                          (static_cast<uint32_t>(b[6]) << 16) | (static_cast<uint32_t>(b[7]) << 24);
    for (int i = 0; i < 16; ++i)
        std::memcpy(px[i], pal[(bits >> (2 * i)) & 3], 4);
}

void DecodeExplicitAlpha(const uint8_t* b, uint8_t px[16][4])
{
    for (int i = 0; i < 16; ++i)
    {
        const int nibble = (b[i / 2] >> ((i & 1) * 4)) & 15;
        px[i][3] = static_cast<uint8_t>(nibble * 17);
    }
}

void DecodeInterpolatedAlpha(const uint8_t* b, uint8_t px[16][4])
{
    const int a0 = b[0], a1 = b[1];
    int pal[8];
    pal[0] = a0;
    pal[1] = a1;
    if (a0 > a1)
    {
        for (int k = 1; k < 7; ++k)
            pal[k + 1] = ((7 - k) * a0 + k * a1) / 7;
    }
    else
    {
        for (int k = 1; k < 5; ++k)
            pal[k + 1] = ((5 - k) * a0 + k * a1) / 5;
        pal[6] = 0;
        pal[7] = 255;
    }
    uint64_t bits = 0;
    for (int k = 0; k < 6; ++k)
        bits |= static_cast<uint64_t>(b[2 + k]) << (8 * k);
    for (int i = 0; i < 16; ++i)
        px[i][3] = static_cast<uint8_t>(pal[(bits >> (3 * i)) & 7]);
}

}   // namespace

bool DecodeImage(const void* bytes, size_t size, DecodedImage& out, std::string* error)
{
    out = DecodedImage();
    if (!bytes || size == 0)
    {
        SetError(error, "empty image file");
        return false;
    }
    const uint8_t* p = static_cast<const uint8_t*>(bytes);
    if (IsDdsFile(p, size))
        return ReadDds(p, size, out, error);
    if (!DecodeWithStb(p, size, out, error))
    {
        out = DecodedImage();
        return false;
    }
    return true;
}

bool DecompressDxt(PixelFormat fmt, int width, int height, const uint8_t* src, size_t srcSize,
                   std::vector<uint8_t>& bgra)
{
    if (!IsCompressedFormat(fmt) || width <= 0 || height <= 0 || width > kMaxImageDimension ||
        height > kMaxImageDimension || !src)
        return false;
    if (srcSize < LevelSize(fmt, width, height))
        return false;
    const int blockBytes = fmt == PixelFormat::DXT1 ? 8 : 16;
    const int bw = (width + 3) / 4, bh = (height + 3) / 4;
    bgra.assign(static_cast<size_t>(width) * height * 4, 0);
    for (int by = 0; by < bh; ++by)
    {
        for (int bx = 0; bx < bw; ++bx)
        {
            const uint8_t* b = src + (static_cast<size_t>(by) * bw + bx) * blockBytes;
            uint8_t px[16][4];
            if (fmt == PixelFormat::DXT1)
            {
                DecodeColourBlock(b, true, px);
            }
            else
            {
                DecodeColourBlock(b + 8, false, px);
                if (fmt == PixelFormat::DXT3)
                    DecodeExplicitAlpha(b, px);
                else
                    DecodeInterpolatedAlpha(b, px);
            }
            for (int y = 0; y < 4; ++y)
            {
                const int iy = by * 4 + y;
                if (iy >= height)
                    break;
                for (int x = 0; x < 4; ++x)
                {
                    const int ix = bx * 4 + x;
                    if (ix >= width)
                        break;
                    std::memcpy(&bgra[(static_cast<size_t>(iy) * width + ix) * 4], px[y * 4 + x], 4);
                }
            }
        }
    }
    return true;
}

std::vector<uint8_t> DownsampleBgra(int width, int height, const uint8_t* bgra)
{
    if (width <= 0 || height <= 0 || !bgra)
        return {};
    const int nw = width > 1 ? width / 2 : 1;
    const int nh = height > 1 ? height / 2 : 1;
    std::vector<uint8_t> out(static_cast<size_t>(nw) * nh * 4);
    // Each destination pixel averages the source span [x*w/nw, (x+1)*w/nw):
    // a 2x2 box normally, 3 wide/high at an odd last column/row.
    for (int y = 0; y < nh; ++y)
    {
        const int y0 = static_cast<int>(static_cast<int64_t>(y) * height / nh);
        const int y1 = static_cast<int>(static_cast<int64_t>(y + 1) * height / nh);
        for (int x = 0; x < nw; ++x)
        {
            const int x0 = static_cast<int>(static_cast<int64_t>(x) * width / nw);
            const int x1 = static_cast<int>(static_cast<int64_t>(x + 1) * width / nw);
            unsigned sum[4] = {0, 0, 0, 0};
            for (int sy = y0; sy < y1; ++sy)
                for (int sx = x0; sx < x1; ++sx)
                    for (int k = 0; k < 4; ++k)
                        sum[k] += bgra[(static_cast<size_t>(sy) * width + sx) * 4 + k];
            const unsigned n = static_cast<unsigned>((y1 - y0) * (x1 - x0));
            for (int k = 0; k < 4; ++k)
                out[(static_cast<size_t>(y) * nw + x) * 4 + k] = static_cast<uint8_t>((sum[k] + n / 2) / n);
        }
    }
    return out;
}

std::vector<std::vector<uint8_t>> GenerateMipChainBgra(int width, int height, const uint8_t* bgra)
{
    std::vector<std::vector<uint8_t>> chain;
    if (width <= 0 || height <= 0 || !bgra)
        return chain;
    chain.emplace_back(bgra, bgra + static_cast<size_t>(width) * height * 4);
    int w = width, h = height;
    while (w > 1 || h > 1)
    {
        chain.push_back(DownsampleBgra(w, h, chain.back().data()));
        w = w > 1 ? w / 2 : 1;
        h = h > 1 ? h / 2 : 1;
    }
    return chain;
}
