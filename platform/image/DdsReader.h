#pragma once
// Reader of DirectDraw Surface files: DXT1/DXT3/DXT5, A8R8G8B8, X8R8G8B8 and
// R5G6B5 surfaces, with mip chains and complete cube maps. Every size and
// offset is checked against the file length before it is used.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/image/PixelFormat.h"

// True when the bytes start with the "DDS " magic.
bool IsDdsFile(const void* bytes, size_t size);

// Reads a DDS file. On failure returns false, leaves `out` empty and puts a
// short reason into `error` (when given).
bool ReadDds(const void* bytes, size_t size, DecodedImage& out, std::string* error = nullptr);
