// Stand-in: entry points only, filled in by the subsystem's own work.
#include "scene/Dusts.h"

CDusts g_Dusts;

int CDusts::Create()
{
    return 1;
}

void CDusts::Update() {}

void CDusts::Render() {}

void CDusts::Release() {}
