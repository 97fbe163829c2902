#pragma once
// A textured four-vertex strip on the virtual 800 x 600 screen: the in-race
// display's icons and the mouse cursor. Owners fill z, rhw and the texture
// coordinates once; the draw calls set positions and colours.
#include "core/ScreenVertex.h"
#include "render/TextureManager.h"

class CScreenQuad
{
public:
    // Vertex 0 (x1, y1), 1 (x1, y2), 2 (x2, y1), 3 (x2, y2), each with its
    // own colour, scaled from the virtual screen to the back buffer.
    void DrawRect(float x1, float y1, float x2, float y2, DWORD c0, DWORD c1, DWORD c2, DWORD c3);
    // Free corners in virtual units (z as given), one colour.
    void DrawVertices(const float points[4][3], DWORD colour);
    // z 0, rhw 2 and the texture coordinates of an icon at texel (x0, y0)
    // of width x height inside its square texture.
    void SetIcon(int x0, int y0);

    ScreenVertex vertices[4] = {};   // strip order: TL, BL, TR, BR
    TextureId texture = -1;
    int width = 0;
    int height = 0;
    int textureSize = 0;

private:
    void Draw();
};
