#include "platform/image/PixelFormat.h"

bool IsCompressedFormat(PixelFormat fmt)
{
    return fmt == PixelFormat::DXT1 || fmt == PixelFormat::DXT3 || fmt == PixelFormat::DXT5;
}

int BytesPerPixel(PixelFormat fmt)
{
    switch (fmt)
    {
    case PixelFormat::A8R8G8B8:
    case PixelFormat::X8R8G8B8:
        return 4;
    case PixelFormat::R5G6B5:
        return 2;
    default:
        return 0;
    }
}

size_t RowPitch(PixelFormat fmt, int width)
{
    if (width <= 0)
        return 0;
    if (IsCompressedFormat(fmt))
        return static_cast<size_t>((width + 3) / 4) * (fmt == PixelFormat::DXT1 ? 8 : 16);
    return static_cast<size_t>(width) * BytesPerPixel(fmt);
}

size_t LevelSize(PixelFormat fmt, int width, int height)
{
    if (width <= 0 || height <= 0)
        return 0;
    const size_t rows = IsCompressedFormat(fmt) ? static_cast<size_t>((height + 3) / 4) : static_cast<size_t>(height);
    return RowPitch(fmt, width) * rows;
}

int MipDimension(int size, int level)
{
    if (level < 0)
        level = 0;
    if (level >= 31)
        return 1;
    const int d = size >> level;
    return d < 1 ? 1 : d;
}

int FullMipCount(int width, int height)
{
    int largest = width > height ? width : height;
    int count = 1;
    while (largest > 1)
    {
        largest >>= 1;
        ++count;
    }
    return count;
}
