#pragma once
// A bitmap font from a font folder of three files: "/Main.dat" (the character
// list), "/Main.dds" or "/Main.bmp" (the glyph picture) and "/Mask.dat" (where
// each glyph lies in the picture). Text is placed in virtual-screen units and
// drawn as one indexed list of quads per call.
#include "core/ScreenVertex.h"
#include "render/D3DRender.h"
#include "render/FontMask.h"

class CFont
{
public:
    enum
    {
        MAX_TEXT = 254,     // characters drawn of one text
        TABLE_SIZE = 510,   // byte values -255 .. 254
        NO_GLYPH = 0xFFFF,
    };

    CFont();

    // Loads the three files and builds glyphs, tables and buffers. A missing
    // or malformed character list or mask shows its message ("Font error!")
    // and leaves a font that draws nothing.
    void Create(const char* folder);
    // Returns the x after the last glyph. fixed non-zero centres every glyph
    // in a cell of the fixed advance.
    float DrawText(float x, float y, const char* text, DWORD topColor, DWORD bottomColor, float size, int fixed);
    float DrawTextColor(float x, float y, const char* text, DWORD color, float size, int fixed);
    // A soft disc of the glow colour behind every glyph, then the text.
    float DrawTextGlow(float x, float y, const char* text, DWORD color, DWORD glowColor, float size);
    float GetTextWidth(const char* text, float size, int fixed);
    float GetTextHeight(float size);
    // Position of the character in the list, NO_GLYPH when it has none.
    int GetCharIndex(char c);
    void UpdateMetrics();
    void Release();

    char folderName[256];
    int charCount;   // characters that have a glyph
    char charList[256];
    FontGlyph glyphs[FONT_MAX_CHARS];
    uint16_t charToGlyph[TABLE_SIZE];
    TextureId texture;
    float cellHeight;
    float fixedAdvance;   // 0.55 x the widest glyph
    float spacing;        // 0.1 x the widest glyph
    float scale;
    ScreenVertex vertices[FONT_MAX_CHARS * 4];
    uint16_t indices[FONT_MAX_CHARS * 6];

private:
    // Glyph of a character of a text, null when the font has none for it.
    const FontGlyph* GlyphOf(char c) const;
};
