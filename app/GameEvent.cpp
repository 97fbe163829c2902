// Stand-in: entry points only, filled in by the subsystem's own work.
#include "app/GameEvent.h"

CGameEvent g_GameEvent;

int CGameEvent::Init()
{
    return 1;
}

void CGameEvent::Update() {}
