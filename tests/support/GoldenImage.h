#pragma once
// Helpers for tests that look at pixels. Pixels are B,G,R,A bytes, rows top to
// bottom, as the device reads them back.
//
// Golden images: Mismatch("device/lit_mesh", pixels, w, h) compares the
// pixels with tests/golden/device/lit_mesh.png, allowing each channel to
// differ by `tolerance`, and says what differs (empty when nothing does):
//     EXPECT_EQ(golden::Mismatch("device/lit_mesh", pixels, w, h), "");
// With the environment variable TRALLOWMERE_UPDATE_GOLDEN=1 the image is
// written instead (look at it before committing it).
#include <cstdint>
#include <string>
#include <vector>

namespace golden
{

// tests/golden/<name>.png in the source tree.
std::string GoldenPath(const std::string& name);

// Writes the pixels as an RGBA PNG; false when it cannot be written.
bool WritePng(const std::string& path, const std::vector<uint8_t>& bgra, int width, int height);

// Reads a PNG as pixels; false when it cannot be read.
bool ReadPng(const std::string& path, std::vector<uint8_t>& bgra, int& width, int& height);

// What differs from the golden image (empty when nothing does). On a
// difference the pixels are written to <build>/<last part of name>.actual.png.
std::string Mismatch(const std::string& name, const std::vector<uint8_t>& bgra, int width, int height,
                     int tolerance = 6);

// The pixels made `factor` times smaller each way, every new pixel the mean
// of its factor x factor block (a remainder at the right or bottom edge is
// left out): small golden images that still show every panel and line of
// text, and that average away a renderer's noise in single pixels.
std::vector<uint8_t> Downscale(const std::vector<uint8_t>& bgra, int width, int height, int factor, int* outWidth,
                               int* outHeight);

// Colour of one pixel as 0xAARRGGBB.
uint32_t PixelAt(const std::vector<uint8_t>& bgra, int width, int x, int y);

}   // namespace golden
