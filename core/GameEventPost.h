#pragma once
// Posting a game event from below the game object. The racers post the race
// finish and the respawn and ask whether an event is running; the event state
// machine itself lives with the game object, which connects these hooks.
class CVehicleObject;

enum GameEventCode
{
    GEVENT_NONE = 0,
    GEVENT_RACE_START = 20,
    GEVENT_RACE_FINISH = 21,
    GEVENT_RESPAWN = 30,
    GEVENT_JUMP_CAMERA = 40,
    GEVENT_SPECTATOR = 50,
    GEVENT_TO_MENU = 60,
    GEVENT_RESTART = 70,
    GEVENT_CAREER_RESET = 80,
};

// An unset entry posts nothing and reports no running event.
struct GameEventHooks
{
    void (*post)(int code, CVehicleObject* vehicle, int argument);
    int (*running)();   // 1 while an event other than GEVENT_NONE runs
};
extern GameEventHooks g_GameEventHooks;

void PostGameEvent(int code, CVehicleObject* vehicle, int argument);
int GameEventRunning();
