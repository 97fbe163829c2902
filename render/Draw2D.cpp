#include "render/Draw2D.h"

namespace
{

enum Blending
{
    OPAQUE_DRAW,
    ALPHA_DRAW,
    ADDITIVE_DRAW,
};

bool AllOpaque(DWORD c1, DWORD c2, DWORD c3 = 0xFF000000u, DWORD c4 = 0xFF000000u)
{
    return (c1 >> 24) == 0xFF && (c2 >> 24) == 0xFF && (c3 >> 24) == 0xFF && (c4 >> 24) == 0xFF;
}

DWORD HalfAlpha(DWORD c)
{
    return ((c >> 25) << 24) | (c & 0x00FFFFFFu);
}

// Fog, Z test, Z write and lighting off: 2D drawing ignores the scene's depth.
void ScreenStates()
{
    g_Render.SetFog(0);
    g_Render.SetZEnable(0);
    g_Render.SetZWrite(0);
    g_Render.SetLighting(0);
}

// Binds a cached texture (or none for -1) with the blending asked for; in
// wireframe mode the device binding leaves every draw untextured.
void BindById(TextureId texture, Blending blending)
{
    g_Render.BindTexture(texture, blending != OPAQUE_DRAW, 0);
    if (blending == ADDITIVE_DRAW)
        g_Render.SetBlend(D3DBLEND_ONE, D3DBLEND_ONE);
}

void BindObject(IDirect3DBaseTexture9* texture, Blending blending)
{
    g_Render.BindTextureObject(texture, blending != OPAQUE_DRAW, 0);
    if (blending == ADDITIVE_DRAW)
        g_Render.SetBlend(D3DBLEND_ONE, D3DBLEND_ONE);
}

void SetScreenVertex(ScreenVertex& v, float x, float y, DWORD color, float u = 0.0f, float t = 0.0f)
{
    v.x = x;
    v.y = y;
    v.z = 0.0f;
    v.rhw = 1.0f;
    v.color = color;
    v.u = u;
    v.v = t;
}

void DrawScreen(D3DPRIMITIVETYPE type, UINT primitives, const ScreenVertex* vertices, int faces)
{
    IDirect3DDevice9* device = g_Render.device;
    ScreenStates();
    device->SetFVF(SCREENVERTEX_FVF);
    device->DrawPrimitiveUP(type, primitives, vertices, sizeof(ScreenVertex));
    if (faces)
        g_Render.CountFaces(faces);
}

// The four corners of a rectangle in strip order, texture coordinates kept
// just inside the texture so that its border texels do not bleed in.
void RectVertices(ScreenVertex v[4], float x1, float y1, float x2, float y2, DWORD c1, DWORD c2, DWORD c3, DWORD c4)
{
    const float sx = g_Render.scaleX, sy = g_Render.scaleY;
    SetScreenVertex(v[0], x1 * sx, y1 * sy, c1, 0.001f, 0.001f);
    SetScreenVertex(v[1], x1 * sx, y2 * sy, c2, 0.001f, 0.999f);
    SetScreenVertex(v[2], x2 * sx, y1 * sy, c3, 0.999f, 0.001f);
    SetScreenVertex(v[3], x2 * sx, y2 * sy, c4, 0.999f, 0.999f);
}

template <int N>
void DiscVertices(ScreenVertex (&v)[N], const ScreenVertex (&fan)[N], float cx, float cy, float radius,
                  DWORD centreColor, DWORD rimColor, float stretchX, float stretchY)
{
    const float sx = g_Render.scaleX, sy = g_Render.scaleY;
    for (int i = 0; i < N; ++i)
    {
        v[i] = fan[i];
        v[i].x = fan[i].x * radius * sx * stretchX + cx * sx;
        v[i].y = fan[i].y * radius * sy * stretchY + cy * sy;
        v[i].z = 0.0f;
        v[i].rhw = 1.0f;
        v[i].color = i == 0 ? centreColor : rimColor;
    }
}

void DrawWorld(D3DPRIMITIVETYPE type, UINT primitives, const WorldVertex* vertices)
{
    IDirect3DDevice9* device = g_Render.device;
    g_Render.SetFog(0);
    g_Render.SetLighting(0);
    device->SetFVF(WORLDVERTEX_FVF);
    device->DrawPrimitiveUP(type, primitives, vertices, sizeof(WorldVertex));
}

void SetWorldVertex(WorldVertex& v, const D3DXVECTOR3& p, DWORD color, float u, float t)
{
    v.x = p.x;
    v.y = p.y;
    v.z = p.z;
    v.color = color;
    v.u = u;
    v.v = t;
}

}   // namespace

void DrawRect(float x1, float y1, float x2, float y2, DWORD color, TextureId texture)
{
    DrawRectGradient(x1, y1, x2, y2, color, color, color, color, texture);
}

void DrawRectGradient(float x1, float y1, float x2, float y2, DWORD c1, DWORD c2, DWORD c3, DWORD c4, TextureId texture)
{
    if (!g_Render.device)
        return;
    ScreenVertex v[4];
    RectVertices(v, x1, y1, x2, y2, c1, c2, c3, c4);
    BindById(texture, AllOpaque(c1, c2, c3, c4) ? OPAQUE_DRAW : ALPHA_DRAW);
    DrawScreen(D3DPT_TRIANGLESTRIP, 2, v, 2);
}

void DrawTextureRect(float x1, float y1, float x2, float y2, DWORD color, IDirect3DBaseTexture9* texture)
{
    if (!g_Render.device)
        return;
    ScreenVertex v[4];
    RectVertices(v, x1, y1, x2, y2, color, color, color, color);
    BindObject(texture, texture || !AllOpaque(color, color) ? ALPHA_DRAW : OPAQUE_DRAW);
    DrawScreen(D3DPT_TRIANGLESTRIP, 2, v, 2);
}

void DrawRectAdditive(float x1, float y1, float x2, float y2, DWORD color, TextureId texture)
{
    DrawRectAdditiveGradient(x1, y1, x2, y2, color, color, color, color, texture);
}

void DrawRectAdditiveGradient(float x1, float y1, float x2, float y2, DWORD c1, DWORD c2, DWORD c3, DWORD c4,
                              TextureId texture)
{
    if (!g_Render.device)
        return;
    ScreenVertex v[4];
    RectVertices(v, x1, y1, x2, y2, c1, c2, c3, c4);
    BindById(texture, ADDITIVE_DRAW);
    DrawScreen(D3DPT_TRIANGLESTRIP, 2, v, 2);
}

void DrawDisc(float cx, float cy, float radius, DWORD centreColor, DWORD rimColor, float stretchX, float stretchY,
              IDirect3DBaseTexture9* texture)
{
    if (!g_Render.device)
        return;
    ScreenVertex v[17];
    DiscVertices(v, g_DrawDiscVertices, cx, cy, radius, centreColor, rimColor, stretchX, stretchY);
    BindObject(texture, AllOpaque(centreColor, rimColor) ? OPAQUE_DRAW : ALPHA_DRAW);
    DrawScreen(D3DPT_TRIANGLEFAN, 15, v, 16);
}

void DrawDiscFine(float cx, float cy, float radius, DWORD centreColor, DWORD rimColor, float stretchX, float stretchY,
                  IDirect3DBaseTexture9* texture)
{
    if (!g_Render.device)
        return;
    ScreenVertex v[34];
    DiscVertices(v, g_DrawDiscFineVertices, cx, cy, radius, centreColor, rimColor, stretchX, stretchY);
    BindObject(texture, AllOpaque(centreColor, rimColor) ? OPAQUE_DRAW : ALPHA_DRAW);
    DrawScreen(D3DPT_TRIANGLEFAN, 32, v, 32);
}

void DrawFlatDisc(float cx, float cy, float radius, DWORD centreColor, DWORD rimColor, float stretchX, float stretchY)
{
    if (!g_Render.device)
        return;
    ScreenVertex v[17];
    DiscVertices(v, g_DrawDiscVertices, cx, cy, radius, centreColor, rimColor, stretchX, stretchY);
    BindObject(nullptr, ADDITIVE_DRAW);
    DrawScreen(D3DPT_TRIANGLEFAN, 15, v, 16);
}

void DrawRectOutline(float x1, float y1, float x2, float y2, DWORD color)
{
    DrawRectOutlineGradient(x1, y1, x2, y2, color, color, color, color);
}

void DrawRectOutlineGradient(float x1, float y1, float x2, float y2, DWORD c1, DWORD c2, DWORD c3, DWORD c4)
{
    if (!g_Render.device)
        return;
    const float sx = g_Render.scaleX, sy = g_Render.scaleY;
    x1 *= sx;
    x2 *= sx;
    y1 *= sy;
    y2 *= sy;
    ScreenVertex v[5];
    SetScreenVertex(v[0], x1, y1, c1);
    SetScreenVertex(v[1], x1, y2, c2);
    SetScreenVertex(v[2], x2, y2, c4);
    SetScreenVertex(v[3], x2, y1, c3);
    SetScreenVertex(v[4], x1, y1, c1);
    BindObject(nullptr, AllOpaque(c1, c2, c3, c4) ? OPAQUE_DRAW : ALPHA_DRAW);
    DrawScreen(D3DPT_LINESTRIP, 4, v, 2);
}

void DrawPanel(float x1, float y1, float x2, float y2, DWORD color)
{
    DrawPanelGradient(x1, y1, x2, y2, color, color, color, color);
}

void DrawPanelGradient(float x1, float y1, float x2, float y2, DWORD c1, DWORD c2, DWORD c3, DWORD c4)
{
    if (!g_Render.device)
        return;
    // The corner cut is in back-buffer pixels, the same at every resolution.
    const float cut = 5.0f;
    const float X1 = x1 * g_Render.scaleX, X2 = x2 * g_Render.scaleX;
    const float Y1 = y1 * g_Render.scaleY, Y2 = y2 * g_Render.scaleY;
    ScreenVertex v[8];
    SetScreenVertex(v[0], X1, Y1 + cut, c1);
    SetScreenVertex(v[1], X1, Y2 - cut, c2);
    SetScreenVertex(v[2], X1 + cut, Y1, c1);
    SetScreenVertex(v[3], X1 + cut, Y2, c2);
    SetScreenVertex(v[4], X2 - cut, Y1, c3);
    SetScreenVertex(v[5], X2 - cut, Y2, c4);
    SetScreenVertex(v[6], X2, Y1 + cut, c3);
    SetScreenVertex(v[7], X2, Y2 - cut, c4);
    BindObject(nullptr, AllOpaque(c1, c2, c3, c4) ? OPAQUE_DRAW : ALPHA_DRAW);
    DrawScreen(D3DPT_TRIANGLESTRIP, 6, v, 6);
}

void DrawFrame(float x1, float y1, float x2, float y2, DWORD color, float corner)
{
    DrawFrameGradient(x1, y1, x2, y2, color, color, color, color, corner);
}

void DrawFrameGradient(float x1, float y1, float x2, float y2, DWORD c1, DWORD c2, DWORD c3, DWORD c4, float corner)
{
    IDirect3DDevice9* device = g_Render.device;
    if (!device)
        return;
    const float h = corner;
    const bool outer = h == 5.0f;
    if (outer)
    {
        BindObject(nullptr, ALPHA_DRAW);
        ScreenStates();
        x1 *= g_Render.scaleX;
        x2 *= g_Render.scaleX;
        y1 *= g_Render.scaleY;
        y2 *= g_Render.scaleY;
    }
    ScreenVertex v[9];
    SetScreenVertex(v[0], x1 + h, y1, c1);
    SetScreenVertex(v[1], x1, y1 + h, c1);
    SetScreenVertex(v[2], x1, y2 - h, c2);
    SetScreenVertex(v[3], x1 + h, y2, c2);
    SetScreenVertex(v[4], x2 - h, y2, c4);
    SetScreenVertex(v[5], x2, y2 - h, c4);
    SetScreenVertex(v[6], x2, y1 + h, c3);
    SetScreenVertex(v[7], x2 - h, y1, c3);
    SetScreenVertex(v[8], x1 + h, y1, c1);
    device->SetFVF(SCREENVERTEX_FVF);
    device->DrawPrimitiveUP(D3DPT_LINESTRIP, 8, v, sizeof(ScreenVertex));
    g_Render.CountFaces(6);
    if (outer)
    {
        // Two fainter outlines around it soften the edge.
        const DWORD f1 = HalfAlpha(c1), f2 = HalfAlpha(c2), f3 = HalfAlpha(c3), f4 = HalfAlpha(c4);
        DrawFrameGradient(x1 - 1.0f, y1 - 1.0f, x2 + 1.0f, y2 + 1.0f, f1, f2, f3, f4, 6.0f);
        DrawFrameGradient(x1 - 1.5f, y1 - 1.5f, x2 + 1.5f, y2 + 1.5f, f1, f2, f3, f4, 6.0f);
    }
}

void DrawWorldQuad(const D3DXVECTOR3& p0, const D3DXVECTOR3& p1, const D3DXVECTOR3& p2, const D3DXVECTOR3& p3,
                   DWORD color, TextureId texture)
{
    DrawWorldQuadGradient(p0, p1, p2, p3, color, color, color, color, texture);
}

void DrawWorldQuadGradient(const D3DXVECTOR3& p0, const D3DXVECTOR3& p1, const D3DXVECTOR3& p2, const D3DXVECTOR3& p3,
                           DWORD c1, DWORD c2, DWORD c3, DWORD c4, TextureId texture)
{
    if (!g_Render.device)
        return;
    WorldVertex v[4];
    SetWorldVertex(v[0], p0, c1, 0.0f, 0.0f);
    SetWorldVertex(v[1], p1, c2, 0.0f, 1.0f);
    SetWorldVertex(v[2], p2, c3, 1.0f, 0.0f);
    SetWorldVertex(v[3], p3, c4, 1.0f, 1.0f);
    BindById(texture, texture == -1 && AllOpaque(c1, c2, c3, c4) ? OPAQUE_DRAW : ALPHA_DRAW);
    DrawWorld(D3DPT_TRIANGLESTRIP, 2, v);
    g_Render.CountFaces(2);
}

void DrawWorldLine(const D3DXVECTOR3& p0, const D3DXVECTOR3& p1, DWORD color)
{
    DrawWorldLineGradient(p0, p1, color, color);
}

void DrawWorldLineGradient(const D3DXVECTOR3& p0, const D3DXVECTOR3& p1, DWORD c1, DWORD c2)
{
    if (!g_Render.device)
        return;
    WorldVertex v[2];
    SetWorldVertex(v[0], p0, c1, 0.0f, 0.0f);
    SetWorldVertex(v[1], p1, c2, 0.0f, 0.0f);
    BindObject(nullptr, AllOpaque(c1, c2) ? OPAQUE_DRAW : ALPHA_DRAW);
    DrawWorld(D3DPT_LINELIST, 1, v);
}
