#pragma once
// Image decoding for the graphics device: the picture formats the game loads
// (BMP, JPG, PNG, TGA through stb_image; DDS through our own reader) turned
// into a plain pixel block the device can upload, plus the block-compressed
// (DXT) decoder for devices that cannot take compressed textures directly.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/image/PixelFormat.h"

// Decodes a whole image file held in memory. Returns false and fills `error`
// (when given) for anything it cannot read; never reads past `size`.
bool DecodeImage(const void* bytes, size_t size, DecodedImage& out, std::string* error = nullptr);

// Expands DXT1 (with its 1-bit alpha), DXT3 or DXT5 blocks into width*height
// B,G,R,A pixels. Sizes that are not a multiple of 4 use the top-left part of
// the edge blocks. Returns false for other formats or when `srcSize` is short.
bool DecompressDxt(PixelFormat fmt, int width, int height, const uint8_t* src, size_t srcSize,
                   std::vector<uint8_t>& bgra);

// Box-filters a width*height B,G,R,A image into the next smaller level
// (max(1, w/2) x max(1, h/2)); odd edges fold in the last row or column.
std::vector<uint8_t> DownsampleBgra(int width, int height, const uint8_t* bgra);

// Builds a full chain from a B,G,R,A image: result[0] is a copy of the
// source, each next level is the box-filtered previous one, down to 1x1.
std::vector<std::vector<uint8_t>> GenerateMipChainBgra(int width, int height, const uint8_t* bgra);
