// The running game event: posting only for now; the events' own work fills
// in the update.
#include "app/GameEvent.h"

#include "core/GameClock.h"

CGameEvent g_GameEvent;

int CGameEvent::Init()
{
    return 1;
}

void CGameEvent::Post(int eventCode, CVehicleObject* motorcycle, int eventArgument)
{
    code = eventCode;
    vehicle = motorcycle;
    argument = eventArgument;
    state = 0;
    startTime = g_Clock.GameTimeMs();
    shotLength = 0.0f;
}

void CGameEvent::Update() {}
