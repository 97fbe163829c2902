#include "render/FontMask.h"

namespace
{
const uint8_t kSeparator = 0xFF;
}

int FontMaskSize(size_t bytes)
{
    size_t n = 0;
    // Bounded: the masks worth looking at are at most FONT_MAX_MASK_SIZE wide.
    while (n <= FONT_MAX_MASK_SIZE && (n + 1) * (n + 1) <= bytes)
        ++n;
    return int(n);
}

FontMaskResult ScanFontMask(const uint8_t* mask, size_t bytes, const char* characters, int count, FontGlyph* glyphs,
                            int* glyphCount, float* cellHeight)
{
    const int n = mask ? FontMaskSize(bytes) : 0;
    if (n < 2 || n > FONT_MAX_MASK_SIZE || size_t(n) * size_t(n) != bytes)
        return FONTMASK_NOT_SQUARE;

    // The first separator in column 1 below the separator row ends the cells.
    int h = -1;
    for (int k = 1; k < n; ++k)
        if (mask[size_t(k) * n + 1] == kSeparator)
        {
            h = k - 1;
            break;
        }
    if (h < 0)
        return FONTMASK_NO_SEPARATOR;

    if (count > FONT_MAX_CHARS)
        count = FONT_MAX_CHARS;
    if (!characters || count < 0)
        count = 0;

    const float inv = 1.0f / float(n);
    int found = 0;
    for (int g = 1; g < n && found < count; g += h + 1)
    {
        const uint8_t* line = mask + size_t(g) * n;
        for (int c = 1; c < n && found < count;)
        {
            if (line[c] == kSeparator)
            {
                ++c;
                continue;
            }
            int j = 0;
            while (c + j < n && line[c + j] != kSeparator)
                ++j;
            FontGlyph& glyph = glyphs[found];
            glyph.uLeft = float(c) * inv;
            glyph.vTop = float(g) * inv;
            glyph.uRight = float(c + j) * inv;
            glyph.vBottom = float(g + h) * inv;
            glyph.width = float(j - 1);
            glyph.height = float(h - 1);
            glyph.character = characters[found];
            ++found;
            c += j + 1;
        }
    }
    *glyphCount = found;
    *cellHeight = float(h);
    return FONTMASK_OK;
}
