#include "interface/MenuRaceRules.h"

#include <algorithm>

int NextRaceChoice(int choice, int value)
{
    if (choice == CHOICE_REVERSE)
        return value == 0 ? 1 : 0;
    return ((value < 0 ? 0 : value) + 1) % 3;
}

void CareerRowToChoices(const RaceTable& table, int row, int choices[6])
{
    row = std::clamp(row, 0, CAREER_RACES - 1);
    choices[CHOICE_TRACK] = std::clamp(table.area[row], 0, 2);
    choices[CHOICE_SEASON] = std::clamp(table.season[row], 0, 2);
    choices[CHOICE_LAPS] = std::max(table.laps[row] - 1, 0);
    choices[CHOICE_REVERSE] = table.reverse[row] ? 1 : 0;
    choices[CHOICE_DIFFICULTY] = (int)((unsigned)std::max(table.difficulty[row], 0) >> 1);
    choices[CHOICE_RACERS] = (int)((unsigned)std::max(table.racers[row] - 8, 0) >> 1);
}

void ChoicesToRaceRow(const int choices[6], RaceTable& table, int row)
{
    if (row < 0 || row >= RACE_ROWS)
        return;
    const int track = std::clamp(choices[CHOICE_TRACK], 0, 2);
    const int season = std::clamp(choices[CHOICE_SEASON], 0, 2);
    const int laps = std::clamp(choices[CHOICE_LAPS], 0, 9) + 1;
    const int difficulty = std::clamp(choices[CHOICE_DIFFICULTY], 0, 2);
    // 2 x 4 + 8 = 16, the most the grid and the race order hold.
    const int racers = std::clamp(choices[CHOICE_RACERS], 0, (RACE_ORDER_MAX - 8) / 2);
    table.area[row] = track;
    table.season[row] = season;
    table.laps[row] = laps;
    table.reverse[row] = choices[CHOICE_REVERSE] ? 1 : 0;
    table.prizes[row][0] = (laps + 4) * 200;
    table.prizes[row][1] = laps * 150 + 400;
    table.prizes[row][2] = (laps + 2) * 100;
    table.difficulty[row] = 2 * difficulty + 1;
    table.racers[row] = 2 * racers + 8;
}

int CareerRowInRange(int raceIndex, int savedRaceIndex)
{
    if (raceIndex >= 0 && raceIndex < CAREER_RACES)
        return raceIndex;
    if (savedRaceIndex >= 0 && savedRaceIndex < CAREER_RACES)
        return savedRaceIndex;
    return 0;
}
