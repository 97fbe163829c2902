// The menu pointer.
#include "interface/MouseCursor.h"

#include "core/InputState.h"
#include "render/D3DRender.h"

void CMouseCursor::Create()
{
    visible = 0;
    if (texture == -1)
        texture = g_Render.LoadTexture("Data/Interface/Cursor/Cursor.dds", 1, 1, 0);
    quad.texture = texture;
    quad.width = 63;
    quad.height = 63;
    quad.textureSize = 64;
    quad.SetIcon(0, 0);
}

void CMouseCursor::Draw()
{
    if (!visible)
        return;
    float mx = (float)g_MouseX, my = (float)g_MouseY;
    quad.DrawRect(mx - 6.0f, my - 4.0f, mx + 20.0f, my + 32.0f, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF);
}

void CMouseCursor::Release()
{
    if (texture != -1)
        g_Render.ReleaseTexture(texture);
    texture = -1;
    quad.texture = -1;
}
