// Stand-in: entry points only, filled in by the subsystem's own work.
#include "scene/StaticObjectManager.h"

CStaticObjectManager g_StaticObjects;

int CStaticObjectManager::Create()
{
    return 1;
}

void CStaticObjectManager::Update() {}

void CStaticObjectManager::UpdateVisibility() {}

void CStaticObjectManager::CheckOcclusion() {}

void CStaticObjectManager::Draw(int) {}

void CStaticObjectManager::DrawChromeGlass(int) {}

void CStaticObjectManager::DrawLightEffects(int) {}

void CStaticObjectManager::DrawShadows(int) {}

void CStaticObjectManager::Release() {}
