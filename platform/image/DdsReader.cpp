#include "platform/image/DdsReader.h"

#include <cstring>

// Layout of a DDS file: the four bytes "DDS ", a 124-byte header whose
// fields are little-endian 32-bit words (the 32-byte pixel-format block sits
// at offset 72 of it), then the surfaces: for each cube face (or the one
// image) its levels from the largest down, tightly packed.
namespace
{

constexpr size_t kMagicSize = 4;
constexpr uint32_t kHeaderSize = 124;
constexpr uint32_t kPixelFormatSize = 32;
constexpr size_t kDataOffset = kMagicSize + kHeaderSize;

// Header field offsets, counted from the start of the header.
constexpr size_t kOffSize = 0;
constexpr size_t kOffFlags = 4;
constexpr size_t kOffHeight = 8;
constexpr size_t kOffWidth = 12;
constexpr size_t kOffDepth = 20;
constexpr size_t kOffMipCount = 24;
constexpr size_t kOffPfSize = 72;
constexpr size_t kOffPfFlags = 76;
constexpr size_t kOffFourCC = 80;
constexpr size_t kOffBitCount = 84;
constexpr size_t kOffRMask = 88;
constexpr size_t kOffGMask = 92;
constexpr size_t kOffBMask = 96;
constexpr size_t kOffAMask = 100;
constexpr size_t kOffCaps2 = 108;

constexpr uint32_t kFlagDepth = 0x800000;
constexpr uint32_t kPfAlphaPixels = 0x1;
constexpr uint32_t kPfFourCC = 0x4;
constexpr uint32_t kPfRgb = 0x40;
constexpr uint32_t kCaps2Cube = 0x200;
constexpr uint32_t kCaps2AllFaces = 0xFC00;
constexpr uint32_t kCaps2Volume = 0x200000;

constexpr uint32_t FourCC(char a, char b, char c, char d)
{
    return static_cast<uint32_t>(static_cast<uint8_t>(a)) | (static_cast<uint32_t>(static_cast<uint8_t>(b)) << 8) |
           (static_cast<uint32_t>(static_cast<uint8_t>(c)) << 16) |
           (static_cast<uint32_t>(static_cast<uint8_t>(d)) << 24);
}

// Some writers put the Direct3D format number in the FourCC field.
constexpr uint32_t kD3DFmtA8R8G8B8 = 21;
constexpr uint32_t kD3DFmtX8R8G8B8 = 22;
constexpr uint32_t kD3DFmtR5G6B5 = 23;

uint32_t ReadU32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

bool Fail(DecodedImage& out, std::string* error, const char* text)
{
    out = DecodedImage();
    if (error)
        *error = text;
    return false;
}

bool PixelFormatFromHeader(const uint8_t* h, PixelFormat& fmt, const char*& why)
{
    const uint32_t pfFlags = ReadU32(h + kOffPfFlags);
    if (pfFlags & kPfFourCC)
    {
        const uint32_t cc = ReadU32(h + kOffFourCC);
        if (cc == FourCC('D', 'X', 'T', '1'))
            fmt = PixelFormat::DXT1;
        else if (cc == FourCC('D', 'X', 'T', '3'))
            fmt = PixelFormat::DXT3;
        else if (cc == FourCC('D', 'X', 'T', '5'))
            fmt = PixelFormat::DXT5;
        else if (cc == kD3DFmtA8R8G8B8)
            fmt = PixelFormat::A8R8G8B8;
        else if (cc == kD3DFmtX8R8G8B8)
            fmt = PixelFormat::X8R8G8B8;
        else if (cc == kD3DFmtR5G6B5)
            fmt = PixelFormat::R5G6B5;
        else
        {
            why = "unsupported DDS compression";
            return false;
        }
        return true;
    }
    if (pfFlags & kPfRgb)
    {
        const uint32_t bits = ReadU32(h + kOffBitCount);
        const uint32_t r = ReadU32(h + kOffRMask), g = ReadU32(h + kOffGMask), b = ReadU32(h + kOffBMask);
        const uint32_t a = (pfFlags & kPfAlphaPixels) ? ReadU32(h + kOffAMask) : 0;
        if (bits == 32 && r == 0x00FF0000 && g == 0x0000FF00 && b == 0x000000FF)
        {
            if (a == 0xFF000000)
            {
                fmt = PixelFormat::A8R8G8B8;
                return true;
            }
            if (a == 0)
            {
                fmt = PixelFormat::X8R8G8B8;
                return true;
            }
        }
        if (bits == 16 && r == 0xF800 && g == 0x07E0 && b == 0x001F && a == 0)
        {
            fmt = PixelFormat::R5G6B5;
            return true;
        }
    }
    why = "unsupported DDS pixel format";
    return false;
}

}   // namespace

bool IsDdsFile(const void* bytes, size_t size)
{
    return bytes && size >= kMagicSize && std::memcmp(bytes, "DDS ", kMagicSize) == 0;
}

bool ReadDds(const void* bytes, size_t size, DecodedImage& out, std::string* error)
{
    out = DecodedImage();
    if (!IsDdsFile(bytes, size))
        return Fail(out, error, "not a DDS file");
    if (size < kDataOffset)
        return Fail(out, error, "DDS header truncated");
    const uint8_t* file = static_cast<const uint8_t*>(bytes);
    const uint8_t* h = file + kMagicSize;
    if (ReadU32(h + kOffSize) != kHeaderSize || ReadU32(h + kOffPfSize) != kPixelFormatSize)
        return Fail(out, error, "bad DDS header size");

    const uint32_t width = ReadU32(h + kOffWidth);
    const uint32_t height = ReadU32(h + kOffHeight);
    if (width == 0 || height == 0 || width > static_cast<uint32_t>(kMaxImageDimension) ||
        height > static_cast<uint32_t>(kMaxImageDimension))
        return Fail(out, error, "DDS dimensions out of range");

    const uint32_t caps2 = ReadU32(h + kOffCaps2);
    const uint32_t flags = ReadU32(h + kOffFlags);
    if ((caps2 & kCaps2Volume) || ((flags & kFlagDepth) && ReadU32(h + kOffDepth) > 1))
        return Fail(out, error, "volume DDS textures are not supported");

    PixelFormat fmt = PixelFormat::A8R8G8B8;
    const char* why = nullptr;
    if (!PixelFormatFromHeader(h, fmt, why))
        return Fail(out, error, why);

    const bool cube = (caps2 & kCaps2Cube) != 0;
    if (cube)
    {
        if ((caps2 & kCaps2AllFaces) != kCaps2AllFaces)
            return Fail(out, error, "DDS cube map is missing faces");
        if (width != height)
            return Fail(out, error, "DDS cube map faces are not square");
    }

    // A count of 0 is what many writers store for a single level.
    const int maxLevels = FullMipCount(static_cast<int>(width), static_cast<int>(height));
    uint32_t levels = ReadU32(h + kOffMipCount);
    if (levels == 0)
        levels = 1;
    if (levels > static_cast<uint32_t>(maxLevels))
        return Fail(out, error, "DDS mip count exceeds its dimensions");

    const int faces = cube ? 6 : 1;
    // With dimensions capped at 8192 this sum stays far below 2^63.
    uint64_t needed = 0;
    for (uint32_t level = 0; level < levels; ++level)
        needed += LevelSize(fmt, MipDimension(static_cast<int>(width), static_cast<int>(level)),
                            MipDimension(static_cast<int>(height), static_cast<int>(level)));
    needed *= static_cast<uint64_t>(faces);
    if (needed > static_cast<uint64_t>(size - kDataOffset))
        return Fail(out, error, "DDS data truncated");

    out.format = fmt;
    out.width = static_cast<int>(width);
    out.height = static_cast<int>(height);
    out.levels = static_cast<int>(levels);
    out.cube = cube;
    out.data.reserve(static_cast<size_t>(faces) * levels);
    size_t offset = kDataOffset;
    for (int face = 0; face < faces; ++face)
    {
        for (uint32_t level = 0; level < levels; ++level)
        {
            const size_t n = LevelSize(fmt, MipDimension(out.width, static_cast<int>(level)),
                                       MipDimension(out.height, static_cast<int>(level)));
            out.data.emplace_back(file + offset, file + offset + n);
            if (fmt == PixelFormat::X8R8G8B8)
            {
                // The fourth byte of an X8 texel is undefined in files; make
                // it opaque so a device that samples it sees a solid texel.
                std::vector<uint8_t>& texels = out.data.back();
                for (size_t i = 3; i < texels.size(); i += 4)
                    texels[i] = 255;
            }
            offset += n;
        }
    }
    return true;
}
