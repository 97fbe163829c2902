// The run flags with their start values, and their verbs.
#include "core/RunFlags.h"

#include "core/GameClock.h"

int g_AppActive = 0;
HWND g_hwnd = nullptr;
const char* g_AppName = "Trallowmere";

namespace
{
int s_Quit = 0;
int s_GameRunning = 0;
}   // namespace

void RequestQuit()
{
    s_Quit = 1;
}

int QuitRequested()
{
    return s_Quit;
}

void ResetQuit()
{
    s_Quit = 0;
}

int GameRunning()
{
    return s_GameRunning;
}

void HoldGame()
{
    s_GameRunning = 0;
    g_Clock.Pause();
}

void ReleaseGame()
{
    s_GameRunning = 1;
    g_Clock.Resume();
}

void RunGame()
{
    s_GameRunning = 1;
}

void StopGame()
{
    s_GameRunning = 0;
}
