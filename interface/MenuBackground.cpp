// The menu backdrop object: reset and released with the menu, never drawn.
#include "interface/MenuBackground.h"

#include "render/D3DRender.h"

CMenuBackground g_MenuBackground;

namespace
{
void ReleaseId(TextureId* id)
{
    if (*id != -1)
        g_Render.ReleaseTexture(*id);
    *id = -1;
}
}   // namespace

CMenuBackground::CMenuBackground()
    : mode(0), secondMode(0), driftX(0.0f), driftY(0.0f), driftDirX(1.0f), driftDirY(1.0f), currentPicture(-1),
      nextPicture(-1), pictureCount(0)
{
    textures[0] = textures[1] = -1;
    for (TextureId& id : pictures)
        id = -1;
    tint[0] = tint[1] = 0xFFFFFFFF;
}

int CMenuBackground::Create()
{
    return 1;
}

void CMenuBackground::SetMode(int newMode, int second)
{
    mode = newMode;
    secondMode = second;
    currentPicture = nextPicture = -1;
    ReleaseId(&textures[0]);
    ReleaseId(&textures[1]);
}

void CMenuBackground::Release()
{
    ReleaseId(&textures[0]);
    ReleaseId(&textures[1]);
    for (int i = 0; i < pictureCount && i < MENU_BACKGROUND_PICTURES; ++i)
        ReleaseId(&pictures[i]);
    pictureCount = 0;
}
