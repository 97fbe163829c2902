// Bitmap fonts on a recording device: the generated font folders read back
// with the metrics their glyphs give, text layout (proportional, fixed,
// characters the font lacks, the length limit, the glow), and font folders
// that are refused.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <string>
#include <vector>

#include "DrawTestSupport.h"
#include "render/Font.h"
#include "render/FontMask.h"

using drawtest::Messages;

namespace
{

class GeneratedFontDemoDataTest : public drawtest::DeviceFixture
{
protected:
    void SetUp() override
    {
        OpenDevice(D3DBackendKind::Recording, 800, 600);
        EnterFolder(testsupport::DemoDataDir());
    }
    void TearDown() override
    {
        LeaveFolder();
        CloseDevice();
    }
};

}   // namespace

TEST_F(GeneratedFontDemoDataTest, FoldersReadBackEveryBakedGlyph)
{
    struct Case
    {
        const char* folder;
        float cellHeight;
        bool metreSign;
    } cases[] = {
        {"Data/Interface/Fonts/Menu 01", 40, false},
        {"Data/Interface/Fonts/Game 01", 40, true},
        {"Data/Interface/Fonts/Arial.18", 22, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.folder);
        const std::vector<uint8_t> list = testsupport::ReadFileBytes(std::string(c.folder) + "/Main.dat");
        const std::vector<uint8_t> mask = testsupport::ReadFileBytes(std::string(c.folder) + "/Mask.dat");
        ASSERT_FALSE(list.empty());
        const int n = FontMaskSize(mask.size());

        CFont font;
        font.Create(c.folder);
        EXPECT_TRUE(Messages().empty());
        EXPECT_NE(font.texture, -1);
        ASSERT_EQ(font.charCount, int(list.size()));
        EXPECT_EQ(font.cellHeight, c.cellHeight);
        float widest = 0;
        for (int i = 0; i < font.charCount; ++i)
        {
            const FontGlyph& g = font.glyphs[i];
            EXPECT_EQ(uint8_t(g.character), list[i]);
            EXPECT_EQ(font.GetCharIndex(char(list[i])), i);
            // Every glyph starts a run on its row's first line and is as wide as it.
            const int column = int(g.uLeft * n + 0.5f), row = int(g.vTop * n + 0.5f);
            ASSERT_EQ(mask[size_t(row) * n + column - 1], 0xFF) << i;
            for (int k = 0; k <= int(g.width); ++k)
                ASSERT_NE(mask[size_t(row) * n + column + k], 0xFF) << i;
            ASSERT_EQ(mask[size_t(row) * n + column + int(g.width) + 1], 0xFF) << i;
            EXPECT_EQ(g.height, c.cellHeight - 1);
            widest = std::max(widest, g.width);
        }
        EXPECT_FLOAT_EQ(font.fixedAdvance, 0.55f * widest);
        EXPECT_FLOAT_EQ(font.spacing, 0.1f * widest);
        EXPECT_EQ(font.GetCharIndex(char(0xEC)) != CFont::NO_GLYPH, c.metreSign);
        EXPECT_EQ(font.GetCharIndex('\t'), CFont::NO_GLYPH);

        EXPECT_FLOAT_EQ(font.GetTextHeight(0.5f), 0.5f * c.cellHeight);
        const FontGlyph& a = font.glyphs[font.GetCharIndex('A')];
        const FontGlyph& i = font.glyphs[font.GetCharIndex('i')];
        EXPECT_FLOAT_EQ(font.GetTextWidth("Ai", 0.5f, 0), 0.5f * (a.width + i.width + 2 * font.spacing));
        EXPECT_FLOAT_EQ(font.GetTextWidth("Ai", 0.5f, 1), 0.5f * 2 * font.fixedAdvance);
        font.Release();
        EXPECT_EQ(font.texture, -1);
    }
}

TEST_F(GeneratedFontDemoDataTest, LayoutOfProportionalAndFixedText)
{
    CFont font;
    font.Create("Data/Interface/Fonts/Menu 01");
    ASSERT_GT(font.charCount, 0);
    g_Render.scaleX = 1.25f;   // a 1000 x 750 back buffer
    g_Render.scaleY = 1.25f;
    const float size = 0.5f;
    const FontGlyph& i = font.glyphs[font.GetCharIndex('i')];
    const FontGlyph& w = font.glyphs[font.GetCharIndex('W')];

    // Proportional: each glyph as wide as its run, then the spacing.
    float end = font.DrawText(100, 50, "Wi", 0xFF112233, 0xFF445566, size, 0);
    EXPECT_FLOAT_EQ(end, 100 + (w.width + font.spacing + i.width + font.spacing) * size);
    const ScreenVertex* v = font.vertices;
    EXPECT_FLOAT_EQ(v[0].x, 100 * 1.25f);
    EXPECT_FLOAT_EQ(v[0].y, 50 * 1.25f);
    EXPECT_FLOAT_EQ(v[3].x, (100 + w.width * size) * 1.25f);
    EXPECT_FLOAT_EQ(v[3].y, (50 + w.height * size) * 1.25f);
    EXPECT_EQ(v[0].color, 0xFF112233u);
    EXPECT_EQ(v[1].color, 0xFF445566u);
    EXPECT_EQ(v[2].u, w.uRight);
    EXPECT_EQ(v[1].v, w.vBottom);
    EXPECT_EQ(v[0].rhw, 2.0f);

    // Fixed: the narrow glyph is centred in its cell.
    end = font.DrawText(100, 50, "Wi", 0xFFFFFFFF, 0xFFFFFFFF, size, 1);
    EXPECT_FLOAT_EQ(end, 100 + 2 * font.fixedAdvance * size);
    const float cellCentre = (100 + font.fixedAdvance * size * 1.5f) * 1.25f;
    EXPECT_NEAR((v[4].x + v[6].x) * 0.5f, cellCentre, 1e-3f);
    EXPECT_NEAR(v[6].x - v[4].x, i.width * size * 1.25f, 1e-3f);

    // One indexed draw of two quads, source-alpha blended over the font's texture.
    std::vector<std::string> draws = Calls("DrawIndexedPrimitiveUP");
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[1], "DrawIndexedPrimitiveUP(TRIANGLELIST, 0, 8, 4, 28)");
    EXPECT_EQ(g_Render.mainFaces, 8);
    EXPECT_EQ(g_Render.stage0Texture, font.texture);
    EXPECT_EQ(g_Render.lighting, 0);
    EXPECT_EQ(g_Render.zEnable, 0);
    font.Release();
}

TEST_F(GeneratedFontDemoDataTest, CharactersTheFontLacksTakeNoRoom)
{
    CFont font;
    font.Create("Data/Interface/Fonts/Menu 01");
    ASSERT_GT(font.charCount, 0);
    struct Case
    {
        const char* text;
        const char* same;
    } cases[] = {
        {"A\x01"
         "B",
         "AB"},
        {"\xEC"
         "AB\t",
         "AB"},
        {"\x80\xFF", ""},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.same);
        D3DClearRecordedCalls();
        const float end = font.DrawText(10, 10, c.text, 0xFFFFFFFF, 0xFFFFFFFF, 1.0f, 0);
        EXPECT_FLOAT_EQ(end, font.DrawText(10, 10, c.same, 0xFFFFFFFF, 0xFFFFFFFF, 1.0f, 0));
        EXPECT_FLOAT_EQ(font.GetTextWidth(c.text, 1.0f, 1), font.GetTextWidth(c.same, 1.0f, 1));
        const std::vector<std::string> draws = Calls("DrawIndexedPrimitiveUP");
        if (c.same[0])
        {
            ASSERT_EQ(draws.size(), 2u);
            EXPECT_EQ(draws[0], draws[1]);
        }
        else
            EXPECT_TRUE(draws.empty());
    }
    font.Release();
}

TEST_F(GeneratedFontDemoDataTest, LongTextDrawsItsFirst254Characters)
{
    CFont font;
    font.Create("Data/Interface/Fonts/Arial.18");
    ASSERT_GT(font.charCount, 0);
    const std::string text(300, 'x');
    const FontGlyph& x = font.glyphs[font.GetCharIndex('x')];
    const float end = font.DrawText(0, 0, text.c_str(), 0xFFFFFFFF, 0xFFFFFFFF, 1.0f, 0);
    EXPECT_NEAR(end, 254 * (x.width + font.spacing), 0.01f);
    EXPECT_EQ(Calls("DrawIndexedPrimitiveUP"),
              std::vector<std::string>{"DrawIndexedPrimitiveUP(TRIANGLELIST, 0, 1016, 508, 28)"});
    EXPECT_FLOAT_EQ(font.DrawText(7, 0, "", 0, 0, 1.0f, 0), 7.0f);
    font.Release();
}

TEST_F(GeneratedFontDemoDataTest, GlowPutsADiscBehindEveryGlyphButSpaces)
{
    CFont font;
    font.Create("Data/Interface/Fonts/Game 01");
    ASSERT_GT(font.charCount, 0);
    font.scale = 0.5f;
    const float end = font.DrawTextGlow(20, 30, "A B", 0xFFFFFFFF, 0x80FF8000, 2.0f);
    EXPECT_FLOAT_EQ(end, 20 + font.GetTextWidth("A B", 2.0f, 0));
    const std::vector<std::string> calls = Calls("Draw");
    EXPECT_EQ(calls,
              (std::vector<std::string>{"DrawPrimitiveUP(TRIANGLEFAN, 15, 28)", "DrawPrimitiveUP(TRIANGLEFAN, 15, 28)",
                                        "DrawIndexedPrimitiveUP(TRIANGLELIST, 0, 12, 6, 28)"}));
    font.Release();
}

namespace
{

class BadFontTest : public drawtest::DeviceFixture
{
protected:
    void SetUp() override
    {
        OpenDevice(D3DBackendKind::Recording, 800, 600);
        EnterScratchFolder();
    }
    void TearDown() override
    {
        LeaveFolder();
        CloseDevice();
    }
};

// 8 x 8 mask with cell height 2 and two glyph runs on row 1.
std::vector<uint8_t> GoodMask()
{
    std::vector<uint8_t> m(64, 0xFF);
    for (int r = 1; r <= 2; ++r)
        for (int c : {1, 2, 4, 5, 6})
            m[r * 8 + c] = 0;
    return m;
}

}   // namespace

TEST_F(BadFontTest, MalformedFoldersAreRefusedWithTheirMessage)
{
    std::vector<uint8_t> noSeparator = GoodMask();
    for (int r = 1; r < 8; ++r)
        noSeparator[r * 8 + 1] = 0;
    struct Case
    {
        const char* what;
        bool writeList;
        std::vector<uint8_t> list;
        bool writeMask;
        std::vector<uint8_t> mask;
        const char* message;
    } cases[] = {
        {"no character list", false, {}, true, GoodMask(), "Init chars enumeration error!"},
        {"list of 256 characters", true, std::vector<uint8_t>(256, 'a'), true, GoodMask(),
         "Init chars enumeration error!"},
        {"no mask", true, {'a', 'b'}, false, {}, "Open mask file error!"},
        {"mask not square", true, {'a', 'b'}, true, std::vector<uint8_t>(63, 0xFF), "Open mask file error!"},
        {"mask too small", true, {'a', 'b'}, true, {0xFF}, "Open mask file error!"},
        {"no separator in column 1", true, {'a', 'b'}, true, noSeparator, "Open mask file error!"},
    };
    int index = 0;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        const std::string folder = "font" + std::to_string(index++);
        ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
        if (c.writeList)
            drawtest::WriteFile(folder + "/Main.dat", c.list);
        if (c.writeMask)
            drawtest::WriteFile(folder + "/Mask.dat", c.mask);
        Messages().clear();
        CFont font;
        font.Create(folder.c_str());
        ASSERT_EQ(Messages().size(), 1u);
        EXPECT_EQ(Messages()[0].text, c.message);
        EXPECT_EQ(Messages()[0].caption, "Font error!");
        EXPECT_EQ(font.charCount, 0);
        EXPECT_EQ(font.GetCharIndex('a'), CFont::NO_GLYPH);
        D3DClearRecordedCalls();
        EXPECT_EQ(font.DrawText(5, 5, "ab", 0xFFFFFFFF, 0xFFFFFFFF, 1, 0), 5.0f);
        EXPECT_EQ(font.GetTextWidth("ab", 1, 0), 0.0f);
        EXPECT_TRUE(Calls("Draw").empty());
        font.Release();
    }

    // The same folder with a good list and mask loads; no picture leaves the
    // glyphs untextured.
    ASSERT_EQ(mkdir("good", 0700), 0);
    drawtest::WriteFile("good/Main.dat", {'a', 'b', 'a'});
    drawtest::WriteFile("good/Mask.dat", GoodMask());
    Messages().clear();
    CFont font;
    font.Create("good");
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(font.texture, -1);
    EXPECT_EQ(font.charCount, 2);   // the mask has two runs for three characters
    EXPECT_EQ(font.cellHeight, 2.0f);
    EXPECT_EQ(font.GetCharIndex('a'), 0);
    EXPECT_EQ(font.GetCharIndex('b'), 1);
    EXPECT_EQ(font.glyphs[1].width, 2.0f);
    EXPECT_FLOAT_EQ(font.GetTextWidth("ab", 1, 0), 1.0f + 2.0f + 2 * 0.2f);
}
