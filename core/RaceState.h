#pragma once
// The race block every subsystem reads: the race table's nineteen rows (0 to
// 17 the career, row 18 the quick race), the row being raced, the race path
// the motorcycles follow and the race order. The game's race table code fills
// it; the block is zeroed as a whole when the table is built.
class CVehicleObject;

#define RACE_ROWS      19
#define RACE_QUICK_ROW 18
#define RACE_ORDER_MAX 16

// Seven columns, each indexed by row.
struct RaceTable
{
    int area[RACE_ROWS];     // 0..2; the area folder is area + 1
    int season[RACE_ROWS];   // 0 summer, 1 autumn, 2 winter
    int laps[RACE_ROWS];
    int reverse[RACE_ROWS];      // 1: the route is driven backwards
    int prizes[RACE_ROWS][3];    // points of the first, second and third place
    int difficulty[RACE_ROWS];   // upgrade bonus of the computer racers
    int racers[RACE_ROWS];       // motorcycles on the grid, the player included
};

extern RaceTable g_RaceTable;

// The race path: the route points in driving order for the current row.
extern float (*g_RacePath)[3];
extern int* g_RacePathTypes;
extern int g_RacePathCount;

// The race order: racers by position, index 0 leads.
extern CVehicleObject* g_RaceOrder[RACE_ORDER_MAX];
extern int g_RaceOrderCount;
extern int g_RaceRunning;
extern float g_RacePathLength;   // path points x cell size x 2
extern float g_RaceTime;         // seconds since the start signal

// The table row being raced.
extern int g_CurrentRace;

// Frees the race path and zeroes the whole block.
void ClearRaceBlock();
// Frees the race path's arrays and sets its count and length to 0.
void FreeRacePath();
