// Baked fonts read back the way the game's font loader reads them: the mask
// is N x N with N the integer square root of its size, row 0 is a separator
// row, the cell height comes from column 1, glyph rows start at 1 and every
// H + 1 rows, and each run of non-0xFF bytes in a glyph row's first line is
// the next character's glyph.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "platform/image/ImageDecode.h"
#include "tests/support/Files.h"
#include "tests/support/Paths.h"
#include "tools/DataTree.h"
#include "tools/FontBaker.h"

using testsupport::ReadFileBytes;

namespace
{

const char* const kSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const char* const kSansBold = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

struct ScannedGlyph
{
    char character;
    int column, row, runLength;
};

struct ScannedFont
{
    int n = 0;
    int h = -1;
    std::vector<ScannedGlyph> glyphs;
};

ScannedFont ScanMask(const std::vector<uint8_t>& mask, const std::string& characters)
{
    ScannedFont f;
    int n = int(std::sqrt(double(mask.size())));
    while (n > 0 && size_t(n) * n > mask.size())
        --n;
    while (size_t(n + 1) * (n + 1) <= mask.size())
        ++n;
    f.n = n;
    if (n < 2)
        return f;
    auto at = [&](int row, int col) { return mask[size_t(row) * n + col]; };
    for (int k = 1; k < n; ++k)
        if (at(k, 1) == 0xFF)
        {
            f.h = k - 1;
            break;
        }
    if (f.h <= 0)
        return f;
    size_t next = 0;
    for (int g = 1; g < n && next < characters.size(); g += f.h + 1)
        for (int c = 1; c < n && next < characters.size();)
        {
            if (at(g, c) == 0xFF)
            {
                ++c;
                continue;
            }
            int j = 0;
            while (c + j < n && at(g, c + j) != 0xFF)
                ++j;
            f.glyphs.push_back(ScannedGlyph{characters[next++], c, g, j});
            c += j + 1;
        }
    return f;
}

// Largest alpha inside a glyph cell of the picture.
int MaxAlpha(const BakedFont& font, const ScannedGlyph& g)
{
    int best = 0;
    for (int y = g.row; y < g.row + font.cellHeight; ++y)
        for (int x = g.column; x < g.column + g.runLength; ++x)
            best = std::max(best, int(font.bgra[(size_t(y) * font.size + x) * 4 + 3]));
    return best;
}

const ScannedGlyph* Find(const ScannedFont& f, char c)
{
    for (const ScannedGlyph& g : f.glyphs)
        if (g.character == c)
            return &g;
    return nullptr;
}

}   // namespace

TEST(FontBaker, MaskReadsBackAsTheBakedCells)
{
    struct Case
    {
        const char* ttf;
        int cellHeight;
        int padding;
    } cases[] = {{kSans, 22, 1}, {kSansBold, 40, 3}, {kSans, 9, 0}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE("cell height " + std::to_string(c.cellHeight));
        FontBakeSettings s;
        s.ttfPath = c.ttf;
        s.cellHeight = c.cellHeight;
        s.padding = c.padding;
        s.characters = AsciiFontCharacters();
        s.characters.push_back(FontCharacter{0xEC, 'm'});
        BakedFont font;
        std::string error;
        ASSERT_TRUE(BakeFont(s, font, &error)) << error;

        // A power-of-two square picture and mask of the same size.
        ASSERT_EQ(font.mask.size(), size_t(font.size) * font.size);
        ASSERT_EQ(font.bgra.size(), font.mask.size() * 4);
        EXPECT_EQ(font.size & (font.size - 1), 0);

        // The character list is a string of the listed bytes in order.
        ASSERT_EQ(font.characters.size(), s.characters.size());
        EXPECT_EQ(std::strlen(font.characters.c_str()), font.characters.size());
        for (size_t i = 0; i < s.characters.size(); ++i)
            EXPECT_EQ(uint8_t(font.characters[i]), s.characters[i].code);

        // Row 0 is all separators.
        for (int x = 0; x < font.size; ++x)
            ASSERT_EQ(font.mask[x], 0xFF);

        ScannedFont scan = ScanMask(font.mask, font.characters);
        EXPECT_EQ(scan.n, font.size);
        ASSERT_EQ(scan.h, c.cellHeight);
        ASSERT_EQ(scan.glyphs.size(), s.characters.size());
        for (size_t i = 0; i < scan.glyphs.size(); ++i)
        {
            EXPECT_EQ(scan.glyphs[i].column, font.glyphs[i].column);
            EXPECT_EQ(scan.glyphs[i].row, font.glyphs[i].row);
            EXPECT_EQ(scan.glyphs[i].runLength, font.glyphs[i].width);
            EXPECT_EQ(font.glyphs[i].code, s.characters[i].code);
            // The whole cell is glyph bytes and is closed by a separator row.
            for (int y = 0; y < c.cellHeight; ++y)
                for (int x = 0; x < font.glyphs[i].width; ++x)
                    ASSERT_NE(font.mask[size_t(font.glyphs[i].row + y) * font.size + font.glyphs[i].column + x], 0xFF);
            int below = font.glyphs[i].row + c.cellHeight;
            ASSERT_LT(below, font.size);
            EXPECT_EQ(font.mask[size_t(below) * font.size + font.glyphs[i].column], 0xFF);
        }

        // No ink outside the glyph cells: separators stay transparent.
        for (size_t p = 0; p < font.mask.size(); ++p)
        {
            if (font.mask[p] == 0xFF)
            {
                ASSERT_EQ(font.bgra[p * 4 + 3], 0) << "pixel " << p;
            }
        }

        // Ink where the glyph has some, none for the space; wide letters are
        // wider than narrow ones.
        const ScannedGlyph* a = Find(scan, 'A');
        const ScannedGlyph* space = Find(scan, ' ');
        const ScannedGlyph* w = Find(scan, 'W');
        const ScannedGlyph* i = Find(scan, 'i');
        const ScannedGlyph* metre = Find(scan, char(0xEC));
        ASSERT_TRUE(a && space && w && i && metre);
        EXPECT_GT(MaxAlpha(font, *a), 128);
        EXPECT_GT(MaxAlpha(font, *metre), 128);
        EXPECT_GT(MaxAlpha(font, *Find(scan, '.')), 100);
        EXPECT_EQ(MaxAlpha(font, *space), 0);
        EXPECT_GT(space->runLength, 2 * c.padding);
        EXPECT_GT(w->runLength, i->runLength);
    }
}

TEST(FontBaker, InkStaysInsideTheCellForOverhangingGlyphs)
{
    // 'j' reaches left of its pen origin and below the baseline, 'f' and 'Q'
    // overhang too: the whole outline must land inside the cell, so the ink
    // touches neither the cell's first nor last column when padded.
    FontBakeSettings s;
    s.ttfPath = kSans;
    s.cellHeight = 30;
    s.padding = 2;
    for (char ch : std::string("jfQ_|"))
        s.characters.push_back(FontCharacter{uint8_t(ch), uint32_t(ch)});
    BakedFont font;
    ASSERT_TRUE(BakeFont(s, font));
    for (const BakedGlyph& g : font.glyphs)
    {
        SCOPED_TRACE(std::string(1, char(g.code)));
        int inkLeft = g.width, inkRight = -1;
        for (int y = 0; y < font.cellHeight; ++y)
            for (int x = 0; x < g.width; ++x)
                if (font.bgra[(size_t(g.row + y) * font.size + g.column + x) * 4 + 3] > 0)
                {
                    inkLeft = std::min(inkLeft, x);
                    inkRight = std::max(inkRight, x);
                }
        ASSERT_GE(inkRight, 0);
        EXPECT_GE(inkLeft, s.padding);
        EXPECT_LT(inkRight, g.width - s.padding);
    }
}

TEST(FontBaker, RefusesBadSettings)
{
    auto base = [] {
        FontBakeSettings s;
        s.ttfPath = kSans;
        s.cellHeight = 20;
        s.characters = AsciiFontCharacters();
        return s;
    };
    struct Case
    {
        const char* name;
        void (*change)(FontBakeSettings&);
    } cases[] = {
        {"missing font file", [](FontBakeSettings& s) { s.ttfPath = "/nonexistent/font.ttf"; }},
        {"not a font", [](FontBakeSettings& s) { s.ttfPath = "/etc/hostname"; }},
        {"no characters", [](FontBakeSettings& s) { s.characters.clear(); }},
        {"code 0 would end the list",
         [](FontBakeSettings& s) {
             s.characters.push_back({0, 'x'});
         }},
        {"a code listed twice",
         [](FontBakeSettings& s) {
             s.characters.push_back({'A', 'B'});
         }},
        {"more than 255 characters",
         [](FontBakeSettings& s) {
             s.characters.clear();
             for (int c = 1; c < 256; ++c)
                 s.characters.push_back({uint8_t(c), 'x'});
             s.characters.push_back({1, 'x'});
         }},
        {"character missing from the font",
         [](FontBakeSettings& s) {
             s.characters.push_back({0xEC, 0x10FFFD});
         }},
        {"cell height too small", [](FontBakeSettings& s) { s.cellHeight = 1; }},
        {"glyphs do not fit", [](FontBakeSettings& s) { s.cellHeight = 256; }},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        FontBakeSettings s = base();
        c.change(s);
        BakedFont font;
        font.size = 7;
        std::string error;
        EXPECT_FALSE(BakeFont(s, font, &error));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(font.size, 0);
        EXPECT_TRUE(font.mask.empty());
    }
    BakedFont ok;
    EXPECT_TRUE(BakeFont(base(), ok));
}

TEST(FontBaker, FolderHoldsTheThreeFiles)
{
    FontBakeSettings s;
    s.ttfPath = kSans;
    s.cellHeight = 16;
    s.characters = AsciiFontCharacters();
    BakedFont font;
    ASSERT_TRUE(BakeFont(s, font));
    DataTree tree;
    AddFontFolder(tree, "Data/Interface/Fonts/Test", font);
    const DataTree::File* files[3] = {};
    for (const DataTree::File& f : tree.Files())
    {
        if (f.path == "Data/Interface/Fonts/Test/Main.dat")
            files[0] = &f;
        else if (f.path == "Data/Interface/Fonts/Test/Main.dds")
            files[1] = &f;
        else if (f.path == "Data/Interface/Fonts/Test/Mask.dat")
            files[2] = &f;
    }
    ASSERT_TRUE(files[0] && files[1] && files[2]);
    EXPECT_EQ(std::string(files[0]->bytes.begin(), files[0]->bytes.end()), font.characters);
    EXPECT_EQ(files[2]->bytes, font.mask);
    DecodedImage img;
    std::string error;
    ASSERT_TRUE(DecodeImage(files[1]->bytes.data(), files[1]->bytes.size(), img, &error)) << error;
    EXPECT_EQ(img.width, font.size);
    EXPECT_EQ(img.height, font.size);
    EXPECT_EQ(img.levels, 1);
    ASSERT_EQ(img.format, PixelFormat::A8R8G8B8);
    EXPECT_EQ(img.data[0], font.bgra);
}

TEST(FontBakerDemoData, GameFontFoldersAreGenerated)
{
    const std::string root = testsupport::DemoDataDir() + "/Data/Interface/Fonts/";
    struct Case
    {
        const char* folder;
        bool metreGlyph;
    } cases[] = {{"Menu 01", false}, {"Game 01", true}, {"Arial.18", false}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.folder);
        std::vector<uint8_t> chars = ReadFileBytes(root + c.folder + "/Main.dat");
        std::vector<uint8_t> mask = ReadFileBytes(root + c.folder + "/Mask.dat");
        std::vector<uint8_t> picture = ReadFileBytes(root + c.folder + "/Main.dds");
        ASSERT_FALSE(chars.empty());
        ASSERT_LE(chars.size(), 255u);
        std::string list(chars.begin(), chars.end());
        for (char ch : std::string(" 0123456789ABCZabcz.,:!?/()%+-*'"))
            EXPECT_NE(list.find(ch), std::string::npos) << "missing '" << ch << "'";
        EXPECT_EQ(list.find(char(0xEC)) != std::string::npos, c.metreGlyph);

        ScannedFont scan = ScanMask(mask, list);
        ASSERT_GT(scan.h, 0);
        EXPECT_EQ(size_t(scan.n) * scan.n, mask.size());
        EXPECT_EQ(scan.glyphs.size(), list.size());

        DecodedImage img;
        ASSERT_TRUE(DecodeImage(picture.data(), picture.size(), img));
        EXPECT_EQ(img.width, scan.n);
        EXPECT_EQ(img.height, scan.n);
    }
}
