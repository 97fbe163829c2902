// The glyph-mask scan: cell height from column 1, glyph rows every H + 1
// rows, one glyph per run, and refusal of masks it cannot read.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "render/FontMask.h"
#include "tools/FontBaker.h"

namespace
{

// 16 x 16 mask, cell height 3: glyph rows start at 1, 5, 9 and 13.
// Row 1 has runs at columns 1-4, 6-7 and 9-15 (the last one reaching the
// right edge); row 5 has one run at columns 2-3; rows 9 and 13 are empty.
std::vector<uint8_t> SmallMask()
{
    const int n = 16;
    std::vector<uint8_t> m(n * n, 0xFF);
    auto run = [&](int row, int from, int to) {
        for (int r = row; r < row + 3; ++r)
            for (int c = from; c <= to; ++c)
                m[r * n + c] = 0x01;
    };
    run(1, 1, 4);
    run(1, 6, 7);
    run(1, 9, 15);
    run(5, 2, 3);
    // Column 1 of row 5 is a separator inside a glyph row: only the first
    // separator below row 0 (row 4) sets the height.
    return m;
}

}   // namespace

TEST(FontMask, GlyphsComeFromTheRunsInOrder)
{
    const std::vector<uint8_t> mask = SmallMask();
    FontGlyph glyphs[FONT_MAX_CHARS] = {};
    int found = -1;
    float h = 0;
    ASSERT_EQ(ScanFontMask(mask.data(), mask.size(), "ABCD", 4, glyphs, &found, &h), FONTMASK_OK);
    EXPECT_EQ(h, 3.0f);
    ASSERT_EQ(found, 4);
    struct Want
    {
        char c;
        int column, row, run;
    } want[] = {{'A', 1, 1, 4}, {'B', 6, 1, 2}, {'C', 9, 1, 7}, {'D', 2, 5, 2}};
    for (int i = 0; i < 4; ++i)
    {
        SCOPED_TRACE(want[i].c);
        EXPECT_EQ(glyphs[i].character, want[i].c);
        EXPECT_FLOAT_EQ(glyphs[i].uLeft, want[i].column / 16.0f);
        EXPECT_FLOAT_EQ(glyphs[i].uRight, (want[i].column + want[i].run) / 16.0f);
        EXPECT_FLOAT_EQ(glyphs[i].vTop, want[i].row / 16.0f);
        EXPECT_FLOAT_EQ(glyphs[i].vBottom, (want[i].row + 3) / 16.0f);
        EXPECT_EQ(glyphs[i].width, float(want[i].run - 1));
        EXPECT_EQ(glyphs[i].height, 2.0f);
    }
}

TEST(FontMask, CharacterCountAndRunCountDisagree)
{
    const std::vector<uint8_t> mask = SmallMask();
    struct Case
    {
        const char* list;
        int found;
    } cases[] = {{"AB", 2}, {"ABCDEFG", 4}, {"", 0}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.list);
        FontGlyph glyphs[FONT_MAX_CHARS] = {};
        int found = -1;
        float h = 0;
        ASSERT_EQ(ScanFontMask(mask.data(), mask.size(), c.list, int(std::string(c.list).size()), glyphs, &found, &h),
                  FONTMASK_OK);
        EXPECT_EQ(found, c.found);
        for (int i = found; i < FONT_MAX_CHARS; ++i)
            ASSERT_EQ(glyphs[i].character, 0) << "glyph record " << i << " written";
    }
}

TEST(FontMask, UnreadableMasksAreRefused)
{
    const std::vector<uint8_t> full = SmallMask();
    std::vector<uint8_t> noSeparator = full;
    for (int r = 1; r < 16; ++r)
        noSeparator[r * 16 + 1] = 0x01;
    struct Case
    {
        const char* what;
        std::vector<uint8_t> mask;
        FontMaskResult result;
    } cases[] = {
        {"empty", {}, FONTMASK_NOT_SQUARE},
        {"one byte", {0xFF}, FONTMASK_NOT_SQUARE},
        {"not square", std::vector<uint8_t>(15, 0xFF), FONTMASK_NOT_SQUARE},
        {"one byte short of 16 x 16", std::vector<uint8_t>(full.begin(), full.end() - 1), FONTMASK_NOT_SQUARE},
        {"no separator in column 1", noSeparator, FONTMASK_NO_SEPARATOR},
    };
    for (Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        FontGlyph glyphs[FONT_MAX_CHARS] = {};
        int found = -7;
        float h = -7;
        EXPECT_EQ(ScanFontMask(c.mask.data(), c.mask.size(), "ABCD", 4, glyphs, &found, &h), c.result);
        EXPECT_EQ(found, -7);
        EXPECT_EQ(h, -7);
    }
}

TEST(FontMask, SizeIsTheIntegerSquareRoot)
{
    struct Case
    {
        size_t bytes;
        int n;
    } cases[] = {{0, 0},
                 {3, 1},
                 {4, 2},
                 {65535, 255},
                 {65536, 256},
                 {4096u * 4096u, 4096},
                 {size_t(4097) * 4097, 4097},
                 {size_t(1) << 40, 4097}};
    for (const Case& c : cases)
        EXPECT_EQ(FontMaskSize(c.bytes), c.n) << c.bytes;
}

TEST(FontMask, ReadsExactlyTheGlyphsABakedFontHas)
{
    FontBakeSettings settings;
    settings.ttfPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    settings.cellHeight = 20;
    settings.characters = AsciiFontCharacters();
    settings.characters.push_back(FontCharacter{0xEC, 'm'});
    BakedFont baked;
    std::string error;
    ASSERT_TRUE(BakeFont(settings, baked, &error)) << error;

    FontGlyph glyphs[FONT_MAX_CHARS] = {};
    int found = 0;
    float h = 0;
    ASSERT_EQ(ScanFontMask(baked.mask.data(), baked.mask.size(), baked.characters.data(), int(baked.characters.size()),
                           glyphs, &found, &h),
              FONTMASK_OK);
    EXPECT_EQ(h, float(baked.cellHeight));
    ASSERT_EQ(found, int(baked.glyphs.size()));
    const float n = float(baked.size);
    for (int i = 0; i < found; ++i)
    {
        const BakedGlyph& want = baked.glyphs[i];
        SCOPED_TRACE(int(want.code));
        EXPECT_EQ(uint8_t(glyphs[i].character), want.code);
        EXPECT_EQ(glyphs[i].uLeft * n, float(want.column));
        EXPECT_EQ(glyphs[i].vTop * n, float(want.row));
        EXPECT_EQ(glyphs[i].width, float(want.width - 1));
    }
}
