#include "core/GameEventPost.h"

GameEventHooks g_GameEventHooks = {};

void PostGameEvent(int code, CVehicleObject* vehicle, int argument)
{
    if (g_GameEventHooks.post)
        g_GameEventHooks.post(code, vehicle, argument);
}

int GameEventRunning()
{
    return g_GameEventHooks.running ? g_GameEventHooks.running() : 0;
}

void ForgetGameEventVehicle(CVehicleObject* vehicle)
{
    if (g_GameEventHooks.forget)
        g_GameEventHooks.forget(vehicle);
}

RaceMessageHooks g_RaceMessageHooks = {};

int ShowRaceMessage(int message, float seconds, float scale)
{
    static const float kOrange[4] = {1.0f, 0.75f, 0.25f, 1.0f};
    return g_RaceMessageHooks.show ? g_RaceMessageHooks.show(message, seconds, kOrange, scale) : 0;
}

int RaceMessageShowing()
{
    return g_RaceMessageHooks.showing ? g_RaceMessageHooks.showing() : 0;
}
