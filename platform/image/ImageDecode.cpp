#include "platform/image/ImageDecode.h"
#include "platform/image/DdsReader.h"

bool DecodeImage(const void*, size_t, DecodedImage& out, std::string* error)
{
    out = DecodedImage();
    if (error)
        *error = "not implemented";
    return false;
}
bool DecompressDxt(PixelFormat, int, int, const uint8_t*, size_t, std::vector<uint8_t>&) { return false; }
bool IsCompressedFormat(PixelFormat fmt) { return fmt == PixelFormat::DXT1 || fmt == PixelFormat::DXT3 || fmt == PixelFormat::DXT5; }
int BytesPerPixel(PixelFormat) { return 0; }
size_t LevelSize(PixelFormat, int, int) { return 0; }
size_t RowPitch(PixelFormat, int) { return 0; }
int MipDimension(int size, int) { return size; }
int FullMipCount(int, int) { return 1; }
std::vector<uint8_t> DownsampleBgra(int, int, const uint8_t*) { return {}; }
std::vector<std::vector<uint8_t>> GenerateMipChainBgra(int, int, const uint8_t*) { return {}; }
