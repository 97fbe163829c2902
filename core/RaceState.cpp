#include "core/RaceState.h"

#include <cstdlib>
#include <cstring>

RaceTable g_RaceTable;
float (*g_RacePath)[3] = nullptr;
int* g_RacePathTypes = nullptr;
int g_RacePathCount = 0;
CVehicleObject* g_RaceOrder[RACE_ORDER_MAX];
int g_RaceOrderCount = 0;
int g_RaceRunning = 0;
float g_RacePathLength = 0;
float g_RaceTime = 0;
int g_CurrentRace = 0;

void FreeRacePath()
{
    std::free(g_RacePath);
    std::free(g_RacePathTypes);
    g_RacePath = nullptr;
    g_RacePathTypes = nullptr;
    g_RacePathCount = 0;
    g_RacePathLength = 0;
}

void ClearRaceBlock()
{
    // Zeroing the pointers alone would leak the path of an earlier race.
    FreeRacePath();
    std::memset(&g_RaceTable, 0, sizeof(g_RaceTable));
    std::memset(g_RaceOrder, 0, sizeof(g_RaceOrder));
    g_RaceOrderCount = 0;
    g_RaceRunning = 0;
    g_RaceTime = 0;
}
