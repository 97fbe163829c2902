// The race table: the career rows come from formulas rather than a stored
// list, so all three areas of one half-and-season group share laps,
// direction, prizes, difficulty and grid size.
#include "core/RaceTable.h"

#include <cstdlib>
#include <cstring>

namespace
{

void SetPrizes(int row, int laps)
{
    g_RaceTable.prizes[row][0] = (laps + 4) * 200;
    g_RaceTable.prizes[row][1] = laps * 150 + 400;
    g_RaceTable.prizes[row][2] = (laps + 2) * 100;
}

}   // namespace

void FillCareerRows()
{
    for (int half = 0; half < 2; half++)
        for (int season = 0; season < 3; season++)
        {
            const int group = 3 * half + season;
            const int laps = half + season + 1;
            for (int area = 0; area < 3; area++)
            {
                const int row = 9 * half + 3 * season + area;
                g_RaceTable.area[row] = area;
                g_RaceTable.season[row] = season;
                g_RaceTable.laps[row] = laps;
                // The direction alternates from group to group, starting forward.
                g_RaceTable.reverse[row] = group & 1;
                SetPrizes(row, laps);
                g_RaceTable.difficulty[row] = group;
                g_RaceTable.racers[row] = 2 * laps + 6;
            }
        }
}

void SetQuickRaceRow(int track, int season, int lapsChoice, int reverse, int difficultyChoice, int racersChoice)
{
    const int row = RACE_QUICK_ROW;
    const int laps = lapsChoice + 1;
    g_RaceTable.area[row] = track;
    g_RaceTable.season[row] = season;
    g_RaceTable.laps[row] = laps;
    g_RaceTable.reverse[row] = reverse;
    SetPrizes(row, laps);
    g_RaceTable.difficulty[row] = 2 * difficultyChoice + 1;
    g_RaceTable.racers[row] = 2 * racersChoice + 8;
}
