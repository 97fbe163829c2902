#pragma once
// The one running game event: a small state machine posted with an event
// code and a motorcycle and advanced once per frame. Events drive the race
// start with its camera move, the finish and the result screen, the respawn
// fade, the slow-motion jump shot, the endless spectator shots behind the
// menus and the fades back to the menu, to a restart and after a career's
// end. Posting replaces the running event at once.
#include "core/GameEventPost.h"

class CVehicleObject;

// Spectator shots (states of GEVENT_SPECTATOR).
enum SpectatorShot
{
    SHOT_CHOOSE = 0,
    SHOT_ONBOARD = 10,
    SHOT_ONBOARD_BACK = 11,
    SHOT_CHASE_FAR = 12,
    SHOT_CHASE_FAR_BACK = 13,
    SHOT_ORBIT = 14,
    SHOT_ROADSIDE = 15,
    SHOT_WAIT = 100,   // waiting for the shot to end
};

class CGameEvent
{
public:
    // Every field 0. Returns 1.
    int Init();
    // Replaces the running event: code, motorcycle and argument stored,
    // state 0, started now on the game clock, the shot history cleared. A
    // jump shot that is replaced gives the clock its normal speed back.
    void Post(int code, CVehicleObject* motorcycle, int argument);
    // Once per frame, also while an overlay holds the game.
    void Update();
    // Every field 0 (the race is freed).
    void Clear();

    int code;
    int state;
    int lastShots[3];            // newest first, -1 none
    unsigned int startTime;      // ms, game or real clock as the state needs
    unsigned int lastJumpTime;   // ms of the game clock
    float shotLength;            // s
    CVehicleObject* vehicle;
    int argument;

private:
    void RaceStart();
    void RaceFinish();
    void Respawn();
    void JumpCamera();
    void Spectator();
    void ToMenu();
    void Restart();
    void CareerReset();
    void ChooseShot();
    void RoadsideShot();
};

// No constructor: zero until CGame::Create calls Init.
extern CGameEvent g_GameEvent;
