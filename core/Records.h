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
#define RECORDS_FOLDER   "Save"
#define RECORDS_FILE     "Save/Records.sav"

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

// Reads "Save/Records.sav" into a zeroed table (a short file leaves the rest
// zero); when the file cannot be opened, CreateRecords. What was read is made
// safe to use: every name ends within its bytes, times and scores are finite
// (a negative or broken best time counts as none) and a player entry outside
// 0..15 becomes 15.
void LoadRecords();

// The default score table with no best times, then SaveGame.
void CreateRecords();

// Score entry 15 becomes the current player's (score 0, g_PlayerName); the
// entry the player held before keeps its name and score. Then SaveGame.
void SetRecordsPlayer();

// The current player, just chosen on the profile page, takes the career's
// own entry back: the one with the player's name and the career's total
// score. No entry ever has its name or score changed: when the career has no
// entry left, it enters at the place its score earns (the entries below move
// down one and the last falls off the table), or takes the last place when it
// beats no one, so a sorted table stays sorted. Saves when anything changed.
void ClaimRecordsPlayer(float totalScore);

// Enters the career's total score: the player's entry takes it, then trades
// places once with the best-placed entry above it that scores lower (that
// entry drops to the player's former place; the table is not sorted any
// further). Then SaveGame.
void AddScore(float totalScore);

// Stores a race time for a row when the row has no best time yet or the time
// beats it, with the holder's name (cut to fit), then SaveGame. Returns 1 when
// the time was stored; a row outside the table or a time that is not a
// positive number stores nothing.
int SetBestTime(int row, float seconds, const char* holder);

// Writes the table to "Save/Records.sav", making the folder when needed. The
// bytes go to a temporary file first that then takes the file's place, so a
// failed save keeps the old file whole. Returns 1 on success; otherwise shows
// "Could't save game!" and returns 0 with the records kept in memory.
int SaveGame();
