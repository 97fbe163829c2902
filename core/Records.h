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
    int playerEntry;                              // the current career's entry 0..15, -1 none
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

// The score entry the current career holds, or -1 when it holds none (a new
// profile or career before its first score, a career whose entry better
// scores pushed off, a career of no score).
int ScorePlayerEntry();

// Reads "Save/Records.sav" into a zeroed table (a short file leaves the rest
// zero); CreateRecords only when there is no file at all. A file that is
// there but cannot be read is never written over: the default table is played
// in memory, nothing is saved, and the log and one "Could't save game!" box
// say so. What was read is made safe to use: every name ends within its
// bytes, times and scores are finite (a negative or broken best time counts
// as none) and a player entry outside 0..15 means the player holds none (-1).
void LoadRecords();

// The default score table with no best times, then SaveGame.
void CreateRecords();

// A new profile or a new career: it holds no entry until it scores, and the
// table is left as it is (the entry the player held before keeps its name and
// score). Then SaveGame.
void SetRecordsPlayer();

// The player just chosen on the profile page takes the career's own entry
// back: the one with the player's name and the career's total score (a name
// alone proves nothing: a new career leaves the earlier careers' entries, and
// two profiles may share a name). When no entry is the career's, it holds
// none. Choosing never changes the table, and writes nothing.
void ClaimRecordsPlayer(float totalScore);

// Enters the career's total score. A career with an entry: the entry takes it,
// then trades places once with the best-placed entry above it that scores
// lower (that entry drops to the player's former place; the table is not
// sorted any further). A career without one gets an entry only when it beats
// the weakest entry: that entry leaves the table, the career takes its seat
// and trades places as above, so no entry that scores as much is ever
// overwritten or moved down. Then SaveGame.
void AddScore(float totalScore);

// Stores a race time for a row when the row has no best time yet or the time
// beats it, with the holder's name (cut to fit), then SaveGame. Returns 1 when
// the time was stored; a row outside the table or a time that is not a
// positive number stores nothing.
int SetBestTime(int row, float seconds, const char* holder);

// Writes the table to "Save/Records.sav", making the folder when needed. The
// bytes go to a temporary file first that then takes the file's place, so a
// failed save keeps the old file whole. Returns 1 on success; otherwise shows
// "Could't save game!" and returns 0 with the records kept in memory. While
// the file found at the start could not be read, nothing is written and 0 is
// returned without a further box.
int SaveGame();
