// The riders' random looks: a decal and a suit picture drawn from the
// numbered files every rider shares.
#include <cstdio>

#include "platform/os/Rand.h"
#include "racers/HumanManager.h"
#include "render/D3DRender.h"

TextureId CHumanManager::LoadRandomDecal()
{
    char name[64];
    std::snprintf(name, sizeof(name), "Data/Humans/Decal%02d.bmp", GameRand() % 4 + 1);
    return g_Render.LoadTexture(name, 0, D3DPOOL_MANAGED, D3DFMT_UNKNOWN);
}

TextureId CHumanManager::LoadRandomSuit()
{
    char name[64];
    std::snprintf(name, sizeof(name), "Data/Humans/Main%02d.bmp", GameRand() % 2 + 1);
    return g_Render.LoadTexture(name, 0, D3DPOOL_MANAGED, D3DFMT_UNKNOWN);
}
