// The motorcycles' decal pictures, numbered 1 to 10; a racer without a
// number draws one.
#include <cstdio>

#include "platform/os/Rand.h"
#include "racers/VehicleManager.h"
#include "render/D3DRender.h"

TextureId CVehicleManager::LoadDecal(int* number)
{
    if (!number)
        return -1;
    if (*number == -1)
        *number = GameRand() % 10 + 1;
    char name[64];
    std::snprintf(name, sizeof(name), "Data/Vehicles/Decal%02d.bmp", *number);
    return g_Render.LoadTexture(name, 0, D3DPOOL_MANAGED, D3DFMT_UNKNOWN);
}
