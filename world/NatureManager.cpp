// Stand-in: entry points only, filled in by the subsystem's own work.
#include "world/NatureManager.h"

CNatureManager g_Nature;

int CNatureManager::Create()
{
    return 1;
}

void CNatureManager::Update() {}

void CNatureManager::DrawTreeStems() {}

void CNatureManager::DrawGrass() {}

void CNatureManager::DrawTreeLeafs() {}

void CNatureManager::DrawTreeLeafsShadow() {}

void CNatureManager::DrawGrassShadow() {}

void CNatureManager::Release() {}
