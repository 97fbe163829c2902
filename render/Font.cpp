#include "render/Font.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "core/DebugLog.h"
#include "core/FileManager.h"
#include "render/Draw2D.h"

namespace
{
const char* const kFontCaption = "Font error!";
const char* const kCharsError = "Init chars enumeration error!";
const char* const kMaskError = "Open mask file error!";

int TableIndex(char c)
{
    return int(static_cast<signed char>(c)) + 255;
}
}   // namespace

CFont::CFont()
{
    std::memset(folderName, 0, sizeof(folderName));
    charCount = 0;
    std::memset(charList, 0, sizeof(charList));
    std::memset(glyphs, 0, sizeof(glyphs));
    for (uint16_t& entry : charToGlyph)
        entry = NO_GLYPH;
    texture = -1;
    cellHeight = 0.0f;
    fixedAdvance = 0.0f;
    spacing = 0.0f;
    scale = 1.0f;
    std::memset(vertices, 0, sizeof(vertices));
    std::memset(indices, 0, sizeof(indices));
}

void CFont::Create(const char* folder)
{
    std::snprintf(folderName, sizeof(folderName), "%s", folder ? folder : "");
    charCount = 0;
    for (uint16_t& entry : charToGlyph)
        entry = NO_GLYPH;

    char path[320];
    std::snprintf(path, sizeof(path), "%s/Main.dat", folderName);
    int size = 0;
    int file = g_FileManager.Open(path, FILE_WORLD, &size);
    if (file < 0)
    {
        ShowMessage(kCharsError, kFontCaption, 0);
        return;
    }
    // The list holds at most 255 characters; a longer one is not this
    // font's list, so the font is refused rather than cut.
    if (size < 0 || size > FONT_MAX_CHARS)
    {
        g_FileManager.Close(file);
        ShowMessage(kCharsError, kFontCaption, 0);
        return;
    }
    std::memset(charList, 0, sizeof(charList));
    g_FileManager.Read(charList, 1, size_t(size), file);
    g_FileManager.Close(file);
    const int listLength = int(std::strlen(charList));

    std::snprintf(path, sizeof(path), "%s/Main.dds", folderName);
    texture = g_Render.LoadTexture(path, 1, D3DPOOL_MANAGED, D3DFMT_UNKNOWN);
    if (texture == -1)
    {
        std::snprintf(path, sizeof(path), "%s/Main.bmp", folderName);
        texture = g_Render.LoadTexture(path, 1, D3DPOOL_MANAGED, D3DFMT_UNKNOWN);
    }

    std::snprintf(path, sizeof(path), "%s/Mask.dat", folderName);
    file = g_FileManager.Open(path, FILE_WORLD, &size);
    if (file < 0)
    {
        ShowMessage(kMaskError, kFontCaption, 0);
        return;
    }
    // Only a square mask of a sensible size is read at all.
    const int n = size > 0 ? FontMaskSize(size_t(size)) : 0;
    if (n < 2 || n > FONT_MAX_MASK_SIZE || size_t(n) * size_t(n) != size_t(size))
    {
        g_FileManager.Close(file);
        ShowMessage(kMaskError, kFontCaption, 0);
        return;
    }
    std::vector<uint8_t> mask(static_cast<size_t>(size));
    size_t got = g_FileManager.Read(mask.data(), 1, mask.size(), file);
    g_FileManager.Close(file);

    int found = 0;
    float height = cellHeight;
    if (got != mask.size() ||
        ScanFontMask(mask.data(), mask.size(), charList, listLength, glyphs, &found, &height) != FONTMASK_OK)
    {
        ShowMessage(kMaskError, kFontCaption, 0);
        return;
    }
    cellHeight = height;
    // Characters the mask has no run for stay without a glyph.
    charCount = found;

    UpdateMetrics();

    // First list position of every byte value; the rest have no glyph.
    for (int i = charCount - 1; i >= 0; --i)
        charToGlyph[TableIndex(charList[i])] = uint16_t(i);

    for (int v = 0; v < FONT_MAX_CHARS * 4; ++v)
    {
        ScreenVertex& sv = vertices[v];
        sv.x = sv.y = sv.z = 0.0f;
        sv.rhw = 2.0f;
        sv.color = 0;
        sv.u = sv.v = 0.0f;
    }
    for (int q = 0; q < FONT_MAX_CHARS; ++q)
    {
        uint16_t* ix = &indices[q * 6];
        const uint16_t base = uint16_t(q * 4);
        ix[0] = base;
        ix[1] = uint16_t(base + 1);
        ix[2] = uint16_t(base + 2);
        ix[3] = uint16_t(base + 2);
        ix[4] = uint16_t(base + 1);
        ix[5] = uint16_t(base + 3);
    }
}

void CFont::UpdateMetrics()
{
    float widest = 0.0f;
    for (int i = 0; i < charCount; ++i)
        if (glyphs[i].width > widest)
            widest = glyphs[i].width;
    fixedAdvance = 0.55f * widest;
    spacing = 0.1f * widest;
}

int CFont::GetCharIndex(char c)
{
    return charToGlyph[TableIndex(c)];
}

const FontGlyph* CFont::GlyphOf(char c) const
{
    const uint16_t index = charToGlyph[TableIndex(c)];
    if (index == NO_GLYPH || index >= charCount)
        return nullptr;
    return &glyphs[index];
}

float CFont::DrawText(float x, float y, const char* text, DWORD topColor, DWORD bottomColor, float size, int fixed)
{
    if (!text)
        return x;
    size_t length = std::strlen(text);
    if (length > MAX_TEXT)
        length = MAX_TEXT;
    if (length == 0)
        return x;

    const float s = scale * size;
    const float sx = g_Render.scaleX, sy = g_Render.scaleY;
    int quads = 0;
    for (size_t i = 0; i < length; ++i)
    {
        // A character the font does not have draws nothing and takes no room.
        const FontGlyph* glyph = GlyphOf(text[i]);
        if (!glyph)
            continue;
        const float w = glyph->width, h = glyph->height;
        float left, right, advance;
        if (fixed)
        {
            left = x + (fixedAdvance * 0.5f - w * 0.5f) * s;
            right = x + (w + fixedAdvance) * 0.5f * s;
            advance = fixedAdvance * s;
        }
        else
        {
            left = x;
            right = x + w * s;
            advance = (w + spacing) * s;
        }
        const float top = y, bottom = y + h * s;

        ScreenVertex* v = &vertices[quads * 4];
        v[0].x = left * sx;
        v[0].y = top * sy;
        v[0].color = topColor;
        v[0].u = glyph->uLeft;
        v[0].v = glyph->vTop;
        v[1].x = left * sx;
        v[1].y = bottom * sy;
        v[1].color = bottomColor;
        v[1].u = glyph->uLeft;
        v[1].v = glyph->vBottom;
        v[2].x = right * sx;
        v[2].y = top * sy;
        v[2].color = topColor;
        v[2].u = glyph->uRight;
        v[2].v = glyph->vTop;
        v[3].x = right * sx;
        v[3].y = bottom * sy;
        v[3].color = bottomColor;
        v[3].u = glyph->uRight;
        v[3].v = glyph->vBottom;
        ++quads;
        x += advance;
    }
    if (quads == 0 || !g_Render.device)
        return x;

    g_Render.SetLighting(0);
    g_Render.SetZEnable(0);
    g_Render.BindTexture(texture, 1, 0);
    g_Render.device->SetFVF(SCREENVERTEX_FVF);
    g_Render.device->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, UINT(quads * 4), UINT(quads * 2), indices,
                                            D3DFMT_INDEX16, vertices, sizeof(ScreenVertex));
    g_Render.CountFaces(quads * 2);
    return x;
}

float CFont::DrawTextColor(float x, float y, const char* text, DWORD color, float size, int fixed)
{
    return DrawText(x, y, text, color, color, size, fixed);
}

float CFont::DrawTextGlow(float x, float y, const char* text, DWORD color, DWORD glowColor, float size)
{
    if (!text)
        return x;
    size_t length = std::strlen(text);
    if (length > MAX_TEXT)
        length = MAX_TEXT;
    const float s = scale * size;
    // The scale enters the disc's height twice, as the in-race display expects.
    const float centreY = y + 1.0f + cellHeight * scale * s * 0.5f;
    const DWORD rim = glowColor & 0x00FFFFFFu;
    float cx = x;
    for (size_t i = 0; i < length; ++i)
    {
        const FontGlyph* glyph = GlyphOf(text[i]);
        if (!glyph)
            continue;
        if (glyph->character != ' ')
            DrawDisc(cx + glyph->width * s * 0.5f, centreY, cellHeight * 0.6f * s, glowColor, rim, 1.0f, 1.0f, nullptr);
        cx += (glyph->width + spacing) * s;
    }
    return DrawText(x, y, text, color, color, size, 0);
}

float CFont::GetTextWidth(const char* text, float size, int fixed)
{
    if (!text)
        return 0.0f;
    float width = 0.0f;
    for (const char* p = text; *p; ++p)
    {
        const FontGlyph* glyph = GlyphOf(*p);
        if (!glyph)
            continue;
        width += fixed ? fixedAdvance : glyph->width + spacing;
    }
    return width * scale * size;
}

float CFont::GetTextHeight(float size)
{
    return scale * size * cellHeight;
}

void CFont::Release()
{
    if (texture != -1)
        g_Render.ReleaseTexture(texture);
    texture = -1;
}
