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
