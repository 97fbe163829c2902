#pragma once
// Pictures of what a program draws: the device's render target read back,
// and pixels written as a PNG file.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/d3d/D3D9.h"

namespace play
{

// Pixels (B,G,R,A, rows top to bottom) of the device's render target 0, and
// its size; empty (0 x 0) when it cannot be read.
std::vector<uint8_t> ReadRenderTarget(IDirect3DDevice9* device, UINT* width = nullptr, UINT* height = nullptr);

// Writes B,G,R,A pixels as an RGBA PNG; false when it cannot be written.
bool WritePng(const std::string& path, const std::vector<uint8_t>& bgra, int width, int height);

}   // namespace play
