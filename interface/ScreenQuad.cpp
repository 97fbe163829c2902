// The screen quad: one two-triangle strip with its texture, depth ignored.
#include "interface/ScreenQuad.h"

#include "render/D3DRender.h"

void CScreenQuad::SetIcon(int x0, int y0)
{
    float size = textureSize > 0 ? (float)textureSize : 1.0f;
    float u0 = ((float)x0 + 0.5f) / size, u1 = ((float)(x0 + width) + 0.5f) / size;
    float v0 = ((float)y0 + 0.5f) / size, v1 = ((float)(y0 + height) + 0.5f) / size;
    const float uv[4][2] = {{u0, v0}, {u0, v1}, {u1, v0}, {u1, v1}};
    for (int i = 0; i < 4; ++i)
    {
        vertices[i].z = 0.0f;
        vertices[i].rhw = 2.0f;
        vertices[i].u = uv[i][0];
        vertices[i].v = uv[i][1];
    }
}

void CScreenQuad::DrawRect(float x1, float y1, float x2, float y2, DWORD c0, DWORD c1, DWORD c2, DWORD c3)
{
    const float xs[4] = {x1, x1, x2, x2}, ys[4] = {y1, y2, y1, y2};
    const DWORD cs[4] = {c0, c1, c2, c3};
    for (int i = 0; i < 4; ++i)
    {
        vertices[i].x = xs[i] * g_Render.scaleX;
        vertices[i].y = ys[i] * g_Render.scaleY;
        vertices[i].color = cs[i];
    }
    Draw();
}

void CScreenQuad::DrawVertices(const float points[4][3], DWORD colour)
{
    for (int i = 0; i < 4; ++i)
    {
        vertices[i].x = points[i][0] * g_Render.scaleX;
        vertices[i].y = points[i][1] * g_Render.scaleY;
        vertices[i].z = points[i][2];
        vertices[i].color = colour;
    }
    Draw();
}

void CScreenQuad::Draw()
{
    IDirect3DDevice9* device = g_Render.device;
    if (!device)
        return;
    // Blending stays as the caller set it.
    g_Render.SetZEnable(0);
    g_Render.SetZWrite(0);
    g_Render.SetLighting(0);
    g_Render.BindTexture(texture, 1, 0);
    device->SetFVF(SCREENVERTEX_FVF);
    device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, vertices, sizeof(ScreenVertex));
    g_Render.CountFaces(2);
}
