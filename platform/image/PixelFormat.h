#pragma once
// The pixel layouts the image readers produce and the device uploads, and
// the size arithmetic of their rows, levels and mip chains.
#include <cstddef>
#include <cstdint>
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
