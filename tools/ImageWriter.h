#pragma once
// Image file writers for the demo-data generator. Source pixels are always
// width*height*4 bytes in B,G,R,A order, top row first.
#include <cstdint>
#include <vector>

#include "platform/image/ImageDecode.h"

std::vector<uint8_t> WriteBmp24(int w, int h, const uint8_t* bgra);
std::vector<uint8_t> WriteJpg(int w, int h, const uint8_t* bgra, int quality = 90);
std::vector<uint8_t> WritePng(int w, int h, const uint8_t* bgra);
std::vector<uint8_t> WriteTga32(int w, int h, const uint8_t* bgra);

// A DDS texture in A8R8G8B8, X8R8G8B8, R5G6B5, DXT1 or DXT5, optionally with
// a full box-filtered mip chain. Returns an empty vector for other formats.
std::vector<uint8_t> WriteDds(int w, int h, const uint8_t* bgra, PixelFormat fmt, bool mips);

// A DDS cube map of six size*size faces in the order +X, -X, +Y, -Y, +Z, -Z.
std::vector<uint8_t> WriteDdsCube(int size, const uint8_t* const faces[6], PixelFormat fmt, bool mips);
