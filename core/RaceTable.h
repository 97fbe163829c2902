#pragma once
// The race table's rows: the career rows come from formulas, the quick-race
// row from the player's choices. The block they live in is core's race state.
#include "core/RaceState.h"

// Rows 0 to 17 by the career formulas; row 18 is left as it is.
void FillCareerRows();
// Row 18 from the quick-race choices: track and season as chosen, laps,
// difficulty and racers choices 0..2 each.
void SetQuickRaceRow(int track, int season, int lapsChoice, int reverse, int difficultyChoice, int racersChoice);
