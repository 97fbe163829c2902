// Stand-in game object: keeps the clock running so start-up and the main loop
// work end to end. The world, racers, drawing and events replace it.
#include "app/Game.h"

#include "app/AppState.h"
#include "app/GameClock.h"
#include "audio/AudioManager.h"

CGame g_Game;

namespace
{
const int kRaceRows = 19;
}

int CGame::Create()
{
    g_Clock.Init();
    return 1;
}

void CGame::Frame()
{
    if (!g_AppActive)
        return;
    g_Clock.Update();
    g_AudioManager.Update();
}

void CGame::Release()
{
}

void CGame::StartRace(int row)
{
    if (row >= 0 && row < kRaceRows)
        currentRace = row;
}
