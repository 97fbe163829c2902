// Stand-in: entry points only, filled in by the subsystem's own work.
#include "render/LightManager.h"

CLightManager g_LightManager;

int CLightManager::Init()
{
    return 1;
}

void CLightManager::Update()
{
}

void CLightManager::FreeAll()
{
}
