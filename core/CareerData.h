#pragma once
// The current player's career and the profile file that keeps it. The rest of
// the game reads g_Career directly: the race row in progress, upgrade levels,
// the chosen motorcycle and its paint, the rider's voice.
//
// A profile is "Save/ProfileNN.sav": exactly 352 bytes, little-endian, no
// header: the 16 name bytes, careerClosed, the career block and the sixteen
// hint counters of the in-race display.
#include <cstddef>
#include <cstdint>

#define CAREER_ROWS         19
#define CAREER_COMBINATIONS 9
#define CAREER_SYSTEMS      3
#define CAREER_MODELS       4
#define HINT_COUNTERS       16
#define PROFILE_NAME_SIZE   16
#define PROFILE_FILE_SIZE   352
#define CAREER_DATA_SIZE    268

struct CareerData
{
    float totalScore;
    int32_t raceIndex;                       // row raced or next in the career 0..17; 18 in a quick race
    int32_t savedRaceIndex;                  // raceIndex when a quick race started
    int32_t place[CAREER_ROWS];              // finishing place + 1 of the last run, 0 = not raced
    float raceTime[CAREER_ROWS];             // seconds
    int32_t unlocked[CAREER_COMBINATIONS];   // area x 3 + season; 1 = open for a quick race
    int32_t upgradesBought;
    int32_t upgradePoints;
    int32_t upgradeLevel[CAREER_SYSTEMS];   // engine, transmission, chassis, 0..10
    int32_t motorcycle;                     // showroom model 0..3
    int32_t decalId;                        // -1: a random decal at creation, 0: the model's own paint
    float colour1[4];
    float colour2[4];
    float voicePitch;     // 0.9 .. 1.525
    int32_t voiceIndex;   // 0 or 1
};
static_assert(sizeof(CareerData) == CAREER_DATA_SIZE, "the career block is written field by field");

// Everything one profile file holds, in memory.
struct ProfileImage
{
    char name[PROFILE_NAME_SIZE];
    int32_t careerClosed;   // 1: no career in progress
    CareerData career;
    int32_t hintCount[HINT_COUNTERS];
};

enum ProfileReadResult
{
    PROFILE_OK = 0,
    PROFILE_SHORT,       // fewer or more bytes than a profile has
    PROFILE_BAD_NAME,    // no terminator, or an empty name
    PROFILE_BAD_VALUE,   // an index, level, count or number out of range
};

extern CareerData g_Career;
extern int g_HintCount[HINT_COUNTERS];
// Index of the current profile in the menu's list, -1 = none.
extern int g_CurrentProfile;
// 1 career (initial), 0 quick race.
extern int g_CareerMode;

// The 352 bytes of a profile; the name's bytes after its terminator are zero.
void WriteProfileBytes(const ProfileImage& image, uint8_t out[PROFILE_FILE_SIZE]);
// Parses and checks a whole file. On anything but PROFILE_OK *image is left
// untouched, so a bad file never half-replaces the current player.
int ReadProfileBytes(const uint8_t* data, size_t size, ProfileImage* image);

// The start career: all zero, the first area in summer open, the given base
// upgrade levels (showroom model 0's). decalId 0 takes the model's own paint.
void SetDefaultCareer(CareerData* career, const int baseLevels[CAREER_SYSTEMS]);
