// Feeds arbitrary bytes to the image decoder: the DDS reader for inputs that
// start with its magic, stb_image's BMP/JPG/PNG/TGA paths for the rest. Every
// accepted image is also expanded, so the level sizes the reader reports
// must match the bytes it returned.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/image/ImageDecode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    DecodedImage image;
    std::string error;
    if (!DecodeImage(data, size, image, &error))
    {
        if (error.empty() || !image.data.empty())
            std::abort();
        return 0;
    }
    const int faces = image.cube ? 6 : 1;
    if (image.width <= 0 || image.height <= 0 || image.levels <= 0 ||
        image.data.size() != static_cast<size_t>(faces) * image.levels)
        std::abort();
    for (int face = 0; face < faces; ++face)
    {
        for (int level = 0; level < image.levels; ++level)
        {
            const int w = MipDimension(image.width, level), h = MipDimension(image.height, level);
            const std::vector<uint8_t>& bytes = image.data[face * image.levels + level];
            if (bytes.size() != LevelSize(image.format, w, h))
                std::abort();
            if (IsCompressedFormat(image.format))
            {
                std::vector<uint8_t> bgra;
                if (!DecompressDxt(image.format, w, h, bytes.data(), bytes.size(), bgra) ||
                    bgra.size() != static_cast<size_t>(w) * h * 4)
                    std::abort();
            }
        }
    }
    return 0;
}
