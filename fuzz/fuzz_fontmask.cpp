// Feeds arbitrary bytes to the font-mask scan: the first byte picks how many
// characters the font lists, the rest is the mask. Every glyph found must lie
// inside the picture and belong to the listed character in turn.
#include <cstdint>
#include <cstdlib>

#include "render/FontMask.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const int count = data[0];
    char characters[FONT_MAX_CHARS + 1];
    for (int i = 0; i < FONT_MAX_CHARS; ++i)
        characters[i] = char(i + 1);
    characters[FONT_MAX_CHARS] = 0;

    FontGlyph glyphs[FONT_MAX_CHARS];
    int found = -1;
    float height = -1.0f;
    const FontMaskResult result = ScanFontMask(data + 1, size - 1, characters, count, glyphs, &found, &height);
    if (result != FONTMASK_OK)
    {
        if (found != -1 || height != -1.0f)
            std::abort();
        return 0;
    }
    const int n = FontMaskSize(size - 1);
    if (size_t(n) * size_t(n) != size - 1 || found < 0 || found > count || height < 0.0f || height > float(n))
        std::abort();
    for (int i = 0; i < found; ++i)
    {
        const FontGlyph& g = glyphs[i];
        if (g.character != characters[i] || g.uLeft < 0.0f || g.uRight > 1.0f || g.uLeft >= g.uRight ||
            g.vTop <= 0.0f || g.vTop >= 1.0f || g.width < 0.0f || g.width > float(n))
            std::abort();
    }
    return 0;
}
