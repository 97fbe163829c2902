#pragma once
// The hall of fame in memory: the best time of every race row with the name
// of its holder, and a score table of sixteen entries, fifteen made-up rivals
// and the current player. "Save/Records.sav" is the raw image of this block,
// so its layout is fixed: 880 bytes, little-endian, no header. The start grid
// names the computer racers after the score table.
#include "core/RaceState.h"

#define RECORD_NAME_SIZE 21
#define SCORE_ENTRIES    16
#define PLAYER_NAME_SIZE 16

struct RecordsTable
{
    float best[RACE_ROWS];                        // seconds per race row; 0 = none yet
    char holder[RACE_ROWS][RECORD_NAME_SIZE];     // holder of each best time
    char padding;                                 // 0
    float score[SCORE_ENTRIES];                   // the score table
    char name[SCORE_ENTRIES][RECORD_NAME_SIZE];   // the name of each score entry
    int playerEntry;                              // the current player's entry, 0..15
};
static_assert(sizeof(RecordsTable) == 880, "the records file is the raw image of the table");

extern RecordsTable g_Records;

// The current player's name, "Player" until a profile names the player.
extern char g_PlayerName[PLAYER_NAME_SIZE];

// The default score table: entry i scores 19000 - 1200 i plus up to 1000 at
// random and takes a name at random from g_RacerNames (three draws per entry:
// score, block, row); then entry 15 becomes the player's (score 0,
// g_PlayerName). The best times are left as they are.
void FillDefaultScores();

// The score entry the player holds, 0..15 whatever the table says.
int ScorePlayerEntry();
