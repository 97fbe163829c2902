#pragma once
// The race table and the rest of the race block: the nineteen races the game
// knows (rows 0 to 17 the career, row 18 the quick race), the race path the
// motorcycles follow and the race order. The block is zeroed as a whole when
// the table is built.
class CVehicleObject;

#define RACE_ROWS 19
#define RACE_QUICK_ROW 18
#define RACE_ORDER_MAX 16

// Seven columns, each indexed by row.
struct RaceTable
{
    int area[RACE_ROWS];        // 0..2; the area folder is area + 1
    int season[RACE_ROWS];      // 0 summer, 1 autumn, 2 winter
    int laps[RACE_ROWS];
    int reverse[RACE_ROWS];     // 1: the route is driven backwards
    int prizes[RACE_ROWS][3];   // points of the first, second and third place
    int difficulty[RACE_ROWS];  // upgrade bonus of the computer racers
    int racers[RACE_ROWS];      // motorcycles on the grid, the player included
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

// Frees the race path and zeroes the whole block.
void ClearRaceBlock();
// Rows 0 to 17 by the career formulas; row 18 is left as it is.
void FillCareerRows();
// Row 18 from the quick-race choices: track and season as chosen, laps,
// difficulty and racers choices 0..2 each.
void SetQuickRaceRow(int track, int season, int lapsChoice, int reverse, int difficultyChoice,
                     int racersChoice);
// Frees the race path's arrays and sets its count and length to 0.
void FreeRacePath();
