#pragma once
// The running game event (race start, jump shot, pause waits ...).
// For now it records what is posted and runs nothing; the events' own work
// fills in the update.
#include "core/GameEventPost.h"

class CVehicleObject;

class CGameEvent
{
public:
    int Init();
    // Replaces the running event: code, motorcycle and argument stored,
    // state 0, started now.
    void Post(int code, CVehicleObject* motorcycle, int argument);
    // Once per frame.
    void Update();

    // The running event.
    int code = 0;
    int state = 0;
    unsigned int startTime = 0;
    float shotLength = 0.0f;
    CVehicleObject* vehicle = nullptr;
    int argument = 0;
};

extern CGameEvent g_GameEvent;
