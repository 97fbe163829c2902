#include "tools/FontBaker.h"

#include <stb/stb_truetype.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>

#include "tools/DataTree.h"
#include "tools/ImageWriter.h"

namespace
{

const uint8_t kSeparator = 0xFF;
const uint8_t kGlyphByte = 0x00;

bool Fail(std::string* error, const std::string& text)
{
    if (error)
        *error = text;
    return false;
}

// Horizontal metrics of one glyph in pixels, relative to its cell's left edge.
struct GlyphMetrics
{
    int width;   // cell width in columns
    int penX;    // pen origin inside the cell
};

// Places cells of the given widths row by row in an N x N mask. Returns false
// when they do not fit.
bool Layout(const std::vector<GlyphMetrics>& metrics, int n, int h, std::vector<BakedGlyph>& glyphs)
{
    glyphs.clear();
    int row = 1, column = 1;
    for (const GlyphMetrics& m : metrics)
    {
        // Columns 0 and N - 1 stay separators, as do row 0 and the row after
        // each glyph row.
        if (m.width > n - 2)
            return false;
        if (column + m.width > n - 1)
        {
            row += h + 1;
            column = 1;
        }
        if (row + h > n - 1)
            return false;
        glyphs.push_back(BakedGlyph{0, column, row, m.width});
        column += m.width + 1;
    }
    return true;
}

}   // namespace

std::vector<FontCharacter> AsciiFontCharacters()
{
    std::vector<FontCharacter> chars;
    for (int c = 32; c < 127; ++c)
        chars.push_back(FontCharacter{uint8_t(c), uint32_t(c)});
    return chars;
}

bool BakeFont(const FontBakeSettings& settings, BakedFont& out, std::string* error)
{
    out = BakedFont();
    const int h = settings.cellHeight;
    if (h < 2 || h > 256)
        return Fail(error, "cell height out of range");
    if (settings.padding < 0 || settings.padding > 64)
        return Fail(error, "padding out of range");
    if (settings.characters.empty() || settings.characters.size() > 255)
        return Fail(error, "a font needs 1 to 255 characters");
    bool seen[256] = {};
    for (const FontCharacter& fc : settings.characters)
    {
        // The game takes the list's length as a string and maps each byte to
        // its first position, so a zero byte or a repeat would lose glyphs.
        if (fc.code == 0)
            return Fail(error, "character code 0 cannot be listed");
        if (seen[fc.code])
            return Fail(error, "character listed twice: " + std::to_string(fc.code));
        seen[fc.code] = true;
    }

    std::ifstream file(settings.ttfPath, std::ios::binary);
    if (!file)
        return Fail(error, "cannot open font " + settings.ttfPath);
    std::vector<unsigned char> ttf((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    stbtt_fontinfo info;
    int offset = stbtt_GetFontOffsetForIndex(ttf.data(), 0);
    if (ttf.size() < 12 || offset < 0 || !stbtt_InitFont(&info, ttf.data(), offset))
        return Fail(error, "not a TrueType font: " + settings.ttfPath);

    const float pixelHeight = settings.pixelHeight > 0 ? settings.pixelHeight : float(h);
    const float scale = stbtt_ScaleForPixelHeight(&info, pixelHeight);
    int ascent, descent, lineGap;
    stbtt_GetFontVMetrics(&info, &ascent, &descent, &lineGap);
    // Centre the font's ascent-to-descent band in the cell.
    const float bandTop = (float(h) - (ascent - descent) * scale) * 0.5f;
    const int baseline = int(std::lround(bandTop + ascent * scale));

    std::vector<int> glyphIndex;
    std::vector<GlyphMetrics> metrics;
    for (const FontCharacter& fc : settings.characters)
    {
        int g = stbtt_FindGlyphIndex(&info, int(fc.codepoint));
        if (g == 0 && fc.codepoint != ' ')
            return Fail(error, "font has no glyph for U+" + std::to_string(fc.codepoint));
        int advance, lsb, x0, y0, x1, y1;
        stbtt_GetGlyphHMetrics(&info, g, &advance, &lsb);
        stbtt_GetGlyphBitmapBox(&info, g, scale, scale, &x0, &y0, &x1, &y1);
        int adv = std::max(1, int(std::lround(advance * scale)));
        GlyphMetrics m;
        if (x1 <= x0)
        {
            // No ink (the space): the cell is the advance, as the game steps
            // over it by the cell's width.
            m.penX = settings.padding;
            m.width = settings.padding * 2 + adv;
        }
        else
        {
            // The cell holds the ink alone: the game puts its own spacing
            // (a tenth of the widest glyph) between cells, so the font's
            // side bearings would count twice.
            m.penX = settings.padding - x0;
            m.width = settings.padding * 2 + (x1 - x0);
        }
        glyphIndex.push_back(g);
        metrics.push_back(m);
    }

    int n = 64;
    std::vector<BakedGlyph> glyphs;
    while (!Layout(metrics, n, h, glyphs))
    {
        n *= 2;
        if (n > 1024)
            return Fail(error, "glyphs do not fit a 1024 x 1024 picture");
    }

    out.size = n;
    out.cellHeight = h;
    out.mask.assign(size_t(n) * n, kSeparator);
    out.bgra.assign(size_t(n) * n * 4, 0);
    for (size_t i = 0; i < out.bgra.size(); i += 4)
        out.bgra[i] = out.bgra[i + 1] = out.bgra[i + 2] = 0xFF;   // white, transparent

    for (size_t i = 0; i < glyphs.size(); ++i)
    {
        BakedGlyph& cell = glyphs[i];
        cell.code = settings.characters[i].code;
        out.characters.push_back(char(cell.code));
        for (int y = 0; y < h; ++y)
            std::fill_n(out.mask.begin() + size_t(cell.row + y) * n + cell.column, cell.width, kGlyphByte);

        int x0, y0, x1, y1;
        stbtt_GetGlyphBitmapBox(&info, glyphIndex[i], scale, scale, &x0, &y0, &x1, &y1);
        int w = x1 - x0, gh = y1 - y0;
        if (w <= 0 || gh <= 0)
            continue;
        std::vector<unsigned char> bitmap(size_t(w) * gh);
        stbtt_MakeGlyphBitmap(&info, bitmap.data(), w, gh, w, scale, scale, glyphIndex[i]);
        // Copy the ink into the cell, clipped to it so that nothing spills into
        // a neighbour or a separator.
        for (int by = 0; by < gh; ++by)
        {
            int cy = baseline + y0 + by;
            if (cy < 0 || cy >= h)
                continue;
            for (int bx = 0; bx < w; ++bx)
            {
                int cx = metrics[i].penX + x0 + bx;
                if (cx < 0 || cx >= cell.width)
                    continue;
                size_t p = (size_t(cell.row + cy) * n + cell.column + cx) * 4;
                out.bgra[p + 3] = bitmap[size_t(by) * w + bx];
            }
        }
    }
    out.glyphs = glyphs;
    return true;
}

void AddFontFolder(DataTree& tree, const std::string& folder, const BakedFont& font)
{
    tree.Add(folder + "/Main.dat", std::vector<uint8_t>(font.characters.begin(), font.characters.end()));
    tree.Add(folder + "/Main.dds", WriteDds(font.size, font.size, font.bgra.data(), PixelFormat::A8R8G8B8, false));
    tree.Add(folder + "/Mask.dat", font.mask);
}
