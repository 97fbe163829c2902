#pragma once
// Reading of a bitmap font's glyph mask: an N x N byte map laid over the glyph
// picture in which 0xFF separates glyph cells. Row 0 is a separator row; the
// first separator in column 1 below row 0 gives the cell height H; glyph rows
// start at row 1 and every H + 1 rows after it, and every run of non-0xFF
// bytes on a glyph row's first line is one glyph, handed to the characters of
// the font's list in turn.
#include <cstddef>
#include <cstdint>

enum
{
    FONT_MAX_CHARS = 255,        // characters (and glyphs) a font holds
    FONT_MAX_MASK_SIZE = 4096,   // widest mask accepted (N)
};

struct FontGlyph
{
    float uLeft, vTop, uRight, vBottom;
    float width;    // run length - 1
    float height;   // H - 1
    char character;
};

enum FontMaskResult
{
    FONTMASK_OK = 0,
    FONTMASK_NOT_SQUARE,     // size is not N x N with 2 <= N <= FONT_MAX_MASK_SIZE
    FONTMASK_NO_SEPARATOR,   // column 1 has no separator below row 0
};

// Integer square root of a mask's byte count (the N of an N x N mask).
int FontMaskSize(size_t bytes);

// Scans the mask. On success *cellHeight is H and glyphs[0 .. *glyphCount-1]
// belong to characters[0 .. *glyphCount-1]: fewer than `count` when the mask
// runs out of runs first. count is clamped to FONT_MAX_CHARS, so glyphs must
// hold that many records. Nothing is written on failure.
FontMaskResult ScanFontMask(const uint8_t* mask, size_t bytes, const char* characters, int count, FontGlyph* glyphs,
                            int* glyphCount, float* cellHeight);
