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

// The game events run in app/; ConnectAppLinks connects these. An unset
// entry posts nothing and reports no running event.
struct GameEventHooks
{
    void (*post)(int code, CVehicleObject* vehicle, int argument);
    int (*running)();   // 1 while an event other than GEVENT_NONE runs
    // A motorcycle is going: the running event lets go of it.
    void (*forget)(CVehicleObject* vehicle);
};
extern GameEventHooks g_GameEventHooks;

void PostGameEvent(int code, CVehicleObject* vehicle, int argument);
int GameEventRunning();
void ForgetGameEventVehicle(CVehicleObject* vehicle);

// In-race messages the motorcycles ask the in-race display for: the penalty
// for leaving the course, the two jump messages and being kicked.
// ConnectInterfaceLinks connects the hooks to the display; unset, nothing is
// shown and no message is showing.
enum RaceMessage
{
    RACE_MESSAGE_PENALTY = 1,
    RACE_MESSAGE_HIGH_JUMP = 2,
    RACE_MESSAGE_JUMP_HINT = 3,
    RACE_MESSAGE_KICKED = 4,
};
struct RaceMessageHooks
{
    // 1 when the display took the message (shown for `seconds` in the
    // colour at the scale).
    int (*show)(int message, float seconds, const float colour[4], float scale);
    int (*showing)();   // 1 while any in-race message is on the screen
};
extern RaceMessageHooks g_RaceMessageHooks;

// The motorcycles' messages are all in the same orange.
int ShowRaceMessage(int message, float seconds, float scale);
int RaceMessageShowing();
