#pragma once
// The made-up rival names of "Data/Misc/RacersName.obj": two blocks of 64
// names. The default score table draws its names from them.
//
// The file is text: each block is three free lines followed by 64 entries of
// two lines, a name line (at most 15 characters are kept, trailing blanks
// removed) and a second line that is not used.
#define RACER_NAME_BLOCKS  2
#define RACER_NAME_ENTRIES 64
#define RACER_NAME_SIZE    21
#define RACER_NAME_LIMIT   15

extern char g_RacerNames[RACER_NAME_BLOCKS][RACER_NAME_ENTRIES][RACER_NAME_SIZE];

// Reads the file into g_RacerNames. Every name is emptied first, so a missing
// or short file leaves the names it does not hold empty; nothing is reported.
// Returns the number of name lines read (0..128).
int LoadRacerNames();
