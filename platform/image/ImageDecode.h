#pragma once
// Image decoding for the graphics device: the picture formats the game loads
// (BMP, JPG, PNG, TGA through stb_image; DDS through our own reader) turned
// into a plain pixel block the device can upload, plus the block-compressed
// (DXT) decoder for devices that cannot take compressed textures directly.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum class PixelFormat
{
    A8R8G8B8,
    X8R8G8B8,
    R5G6B5,
    DXT1,
    DXT3,
    DXT5
};

struct DecodedImage
{
    PixelFormat format = PixelFormat::A8R8G8B8;
    int width = 0, height = 0, levels = 0;
    bool cube = false;
    // Face-major: data[face * levels + level]; level 0 is full size.
    // 32-bit formats are stored as B,G,R,A bytes; R5G6B5 as little-endian
    // 16-bit words; DXT formats as their 8- or 16-byte blocks.
    std::vector<std::vector<uint8_t>> data;
};

// Largest width or height accepted from a file.
constexpr int kMaxImageDimension = 8192;

// Decodes a whole image file held in memory. Returns false and fills `error`
// (when given) for anything it cannot read; never reads past `size`.
bool DecodeImage(const void* bytes, size_t size, DecodedImage& out, std::string* error = nullptr);

// Expands DXT1 (with its 1-bit alpha), DXT3 or DXT5 blocks into width*height
// B,G,R,A pixels. Sizes that are not a multiple of 4 use the top-left part of
// the edge blocks. Returns false for other formats or when `srcSize` is short.
bool DecompressDxt(PixelFormat fmt, int width, int height, const uint8_t* src, size_t srcSize,
                   std::vector<uint8_t>& bgra);

// True for DXT1, DXT3 and DXT5.
bool IsCompressedFormat(PixelFormat fmt);

// Bytes per pixel of an uncompressed format (4 or 2); 0 for DXT formats.
int BytesPerPixel(PixelFormat fmt);

// Bytes of one level of the given size: rows of pixels, or 4x4 blocks
// (8 bytes for DXT1, 16 for DXT3/DXT5) rounded up. 0 for a non-positive size.
size_t LevelSize(PixelFormat fmt, int width, int height);

// Bytes in one row of pixels, or one row of 4x4 blocks for DXT formats.
size_t RowPitch(PixelFormat fmt, int width);

// Size of level `level` of a chain whose top level is `size` (never below 1).
int MipDimension(int size, int level);

// Number of levels of a full chain down to 1x1 for the given top size.
int FullMipCount(int width, int height);

// Box-filters a width*height B,G,R,A image into the next smaller level
// (max(1, w/2) x max(1, h/2)); odd edges fold in the last row or column.
std::vector<uint8_t> DownsampleBgra(int width, int height, const uint8_t* bgra);

// Builds a full chain from a B,G,R,A image: result[0] is a copy of the
// source, each next level is the box-filtered previous one, down to 1x1.
std::vector<std::vector<uint8_t>> GenerateMipChainBgra(int width, int height, const uint8_t* bgra);
