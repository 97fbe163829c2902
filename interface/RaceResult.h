#pragma once
// The race result: the player's statistics turned into points, the rows of
// the FINAL RESULT screen, and the career step that CONTINUE runs in career
// mode. The screen itself is drawn by CGameHUD.
#include "core/CareerData.h"
#include "core/RaceState.h"

struct RaceStats;

#define RESULT_ROWS         11
#define RESULT_TEXT_SIZE    64
#define RESULT_CAREER_RACES 18
#define RESULT_UPGRADE_TOP  10

// Points of one race, in the order of the screen's rows.
struct RaceResultPoints
{
    int place, crash, fall, offRoad, air, kick, total;
};
extern RaceResultPoints g_RaceResult;

// Label, value and points of every row.
extern char g_ResultRows[RESULT_ROWS][3][RESULT_TEXT_SIZE];

// The animation of the screen: three fades and two sound flags per row, the
// cup's and the upgrade progress's fades.
struct ResultScreenState
{
    float fade[RESULT_ROWS][3];
    int rowSoundPlayed[RESULT_ROWS];
    int pointsSoundPlayed[RESULT_ROWS];
    float cupFade;
    float progressFade;
    int fillSoundStarted;
    int upgradeSoundPlayed;
    int place;   // 1-based place of the shown race
    float raceTime;
    // The career-complete screen: items whose sound has played, cups shown.
    int itemSoundPlayed[8];
    int cupsShown;
};

// Points of a race from the statistics and the prize of the place (place =
// Position + 1; only 1-3 score the prize). Non-finite times count as 0.
RaceResultPoints ScoreRace(const RaceStats& stats, const int prizes[3]);

// "%02d:%02d.%02d" of a time in seconds.
void FormatRaceTime(float seconds, char* out, int size);

// The rows' value and points texts.
void FillResultRows(const RaceStats& stats, const RaceResultPoints& points, float bestTime, const char* bestHolder);

// The career's upgrade points need no new race when every level is full.
int CareerCanUpgrade(const CareerData& career);

// What the career step did, for the caller's saving and events.
struct CareerStepOutcome
{
    int advanced;    // places 1-3: the next race is current
    int completed;   // the eighteenth race was won: back to the first
    int raceId;      // "RaceID" to write when advanced
    int addedPoints;
};

// The career step of CONTINUE: score, upgrade points, place and time of the
// race, the next race and the quick-race combination it opens. The race row
// is kept within the career (a quick race's row 18 reads as the last one).
CareerStepOutcome ApplyCareerStep(CareerData& career, int raceTotal, int place, float raceTime, const RaceTable& table);

// The cup picture of a place (1-3 give 0-2), -1 for any other place.
int CupIndexForPlace(int place);
