#pragma once
// The running game event (race start, jump shot, pause waits ...).
// Only the entry points the game object calls for now, doing nothing yet;
// the subsystem's own work fills them in.

class CGameEvent
{
public:
    int Init();
    // Once per frame.
    void Update();

    // The running event.
    int code = 0;
    int state = 0;
    unsigned int startTime = 0;
    float shotLength = 0.0f;
    void* vehicle = nullptr;
};

extern CGameEvent g_GameEvent;
