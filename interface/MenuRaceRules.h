#pragma once
// The rules behind the race-choice and career pages that do not need the
// screen: stepping a choice, reading a career row into the choices, and the
// row of the race table the choices make.
#include "core/RaceState.h"

// Indices into g_QuickRaceOptions.
enum RaceChoice
{
    CHOICE_TRACK = 0,
    CHOICE_SEASON = 1,
    CHOICE_LAPS = 2,
    CHOICE_REVERSE = 3,
    CHOICE_DIFFICULTY = 4,
    CHOICE_RACERS = 5,
};

#define CAREER_RACES 18   // rows 0..17 of the race table

// The next value of a choice when its row is pressed: reverse flips, every
// other choice goes 0, 1, 2, 0. A value left out of range by the career page
// (4 laps, 14 racers) comes back into the cycle rather than growing.
int NextRaceChoice(int choice, int value);

// The choices that show career row `row` (clamped to 0..17): its track and
// season, laps - 1, reverse, difficulty / 2 and (racers - 8) / 2, so that
// laps up to 4 and racers up to 14 read back exactly.
void CareerRowToChoices(const RaceTable& table, int row, int choices[6]);

// Row `row` of the table from the choices: laps = choice + 1, the prizes of
// those laps, difficulty 1, 3, 5 and 8, 10, 12 racers (the career's 4 laps and
// 14 racers carry through). Choices out of range are clamped first, so no row
// can ask for more racers than the grid holds.
void ChoicesToRaceRow(const int choices[6], RaceTable& table, int row);

// The career row to show and race: raceIndex when it is a career row, else the
// row saved when a quick race began, else the first.
int CareerRowInRange(int raceIndex, int savedRaceIndex);
