// Stand-in: entry points only, filled in by the subsystem's own work.
#include "racers/HumanManager.h"

CHumanManager g_HumanManager;

int CHumanManager::Create() { return 1; }

void CHumanManager::Update() {}

void CHumanManager::UpdateVisibility() {}

void CHumanManager::Render() {}

void CHumanManager::RenderShadows() {}

void CHumanManager::Release() {}
