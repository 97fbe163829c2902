#pragma once
// Immediate 2D drawing on the virtual 800 x 600 screen: rectangles, gradients,
// discs, outlines, cut-corner panels and frames, plus a quad and a line in
// world space for debug displays. Every call sets the states it needs and
// draws its vertices straight from the stack with one user-pointer draw;
// nothing is batched. Coordinates are virtual-screen units (scaled to the
// back buffer by g_Render.scaleX / scaleY), colours 32-bit ARGB, a TextureId
// of -1 or a null texture object draws untextured.
#include "core/ScreenVertex.h"
#include "platform/math/D3DXMath.h"
#include "render/D3DRender.h"

// Vertex of the two world-space routines (XYZ | DIFFUSE | TEX1, 24 bytes).
struct WorldVertex
{
    float x, y, z;
    DWORD color;
    float u, v;
};
static_assert(sizeof(WorldVertex) == 24, "WorldVertex must stay 24 bytes");

#define WORLDVERTEX_FVF 0x142

// Rectangles. Gradient colours belong to the corners (x1,y1), (x1,y2),
// (x2,y1), (x2,y2) in this order.
void DrawRect(float x1, float y1, float x2, float y2, DWORD color, TextureId texture = -1);
void DrawRectGradient(float x1, float y1, float x2, float y2, DWORD c1, DWORD c2, DWORD c3, DWORD c4,
                      TextureId texture = -1);
void DrawTextureRect(float x1, float y1, float x2, float y2, DWORD color, IDirect3DBaseTexture9* texture);
void DrawRectAdditive(float x1, float y1, float x2, float y2, DWORD color, TextureId texture = -1);
void DrawRectAdditiveGradient(float x1, float y1, float x2, float y2, DWORD c1, DWORD c2, DWORD c3, DWORD c4,
                              TextureId texture = -1);

// Discs: a fan from the centre colour to the rim colour, stretched per axis;
// the texture's unit square maps onto the disc.
void DrawDisc(float cx, float cy, float radius, DWORD centreColor, DWORD rimColor, float stretchX, float stretchY,
              IDirect3DBaseTexture9* texture = nullptr);
void DrawDiscFine(float cx, float cy, float radius, DWORD centreColor, DWORD rimColor, float stretchX, float stretchY,
                  IDirect3DBaseTexture9* texture = nullptr);
void DrawFlatDisc(float cx, float cy, float radius, DWORD centreColor, DWORD rimColor, float stretchX, float stretchY);

// Outlines, panels (corners cut by 5 back-buffer pixels) and octagonal frames.
void DrawRectOutline(float x1, float y1, float x2, float y2, DWORD color);
void DrawRectOutlineGradient(float x1, float y1, float x2, float y2, DWORD c1, DWORD c2, DWORD c3, DWORD c4);
void DrawPanel(float x1, float y1, float x2, float y2, DWORD color);
void DrawPanelGradient(float x1, float y1, float x2, float y2, DWORD c1, DWORD c2, DWORD c3, DWORD c4);
// Corner 5 draws the frame with two softer outer outlines in virtual units;
// any other corner size takes back-buffer pixels and the states as they are.
void DrawFrame(float x1, float y1, float x2, float y2, DWORD color, float corner = 5.0f);
void DrawFrameGradient(float x1, float y1, float x2, float y2, DWORD c1, DWORD c2, DWORD c3, DWORD c4,
                       float corner = 5.0f);

// World-space debug quad (strip p0, p1, p2, p3) and line.
void DrawWorldQuad(const D3DXVECTOR3& p0, const D3DXVECTOR3& p1, const D3DXVECTOR3& p2, const D3DXVECTOR3& p3,
                   DWORD color, TextureId texture = -1);
void DrawWorldQuadGradient(const D3DXVECTOR3& p0, const D3DXVECTOR3& p1, const D3DXVECTOR3& p2, const D3DXVECTOR3& p3,
                           DWORD c1, DWORD c2, DWORD c3, DWORD c4, TextureId texture = -1);
void DrawWorldLine(const D3DXVECTOR3& p0, const D3DXVECTOR3& p1, DWORD color);
void DrawWorldLineGradient(const D3DXVECTOR3& p0, const D3DXVECTOR3& p1, DWORD c1, DWORD c2);
