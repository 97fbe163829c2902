#pragma once
// A whole race without a window: the race row's area loaded, the race
// started through the race-start event (its grid, camera move and fade in,
// the wait held to the grid time), and the game
// stepped with a fixed clock (1/60 s unless asked otherwise) and no drawing until every racer has
// finished or the time limit is reached. The player's motorcycle is ridden by
// the computer racer's driver like every other. With the same demo data,
// options and seed two runs give the same checksum.
//
// With no pictures asked for, the landscape's visibility (which only prepares
// its drawing) is left out of the frame; nothing in the race depends on it.
//
// The caller mounts the data (the file manager opened in the data folder)
// and opens a device in g_Render (play/RaceDevice.h): a recording one for a
// plain run, an OpenGL one for the pictures.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

struct RaceRunOptions
{
    int row = 0;                // race-table row
    int area = -1;              // replaces the row's area (0..2) when not -1
    int racers = 0;             // replaces the row's grid size when above 0
    int laps = 0;               // replaces the row's laps when above 0
    unsigned seed = 1;          // the random generator after the area load
    float gridSeconds = 8.0f;   // held on the grid (the start's camera move)
    float timeLimit = 900.0f;   // simulated seconds after the start signal
    // When set: "<prefix>_fade.png" (the start's fade in at half, 1 s after
    // the start), "<prefix>_grid.png", "<prefix>_chase.png" (the player's
    // chase view three seconds into the race) and "<prefix>_race.png".
    std::string picturePrefix;
    float pictureSeconds = 20.0f;   // the race picture, seconds after the start
    FILE* trace = nullptr;          // one checksum line per simulated second
    // One line per rider thrown off, and the causes counted (play/FallLog.h).
    FILE* fallLog = nullptr;
    // Frames per simulated second: the game's step is 1/framesPerSecond s.
    // Its clock never steps more than 50 ms, so 20 (the rate the game really
    // runs at on a software renderer, or slower) is the slowest; 20..240.
    int framesPerSecond = 60;
    // The caller draws frames of the race itself (pictures of the display or
    // the menu over it): the landscape's visibility is kept as well.
    bool drawn = false;
};

struct RacerOutcome
{
    std::string name;
    int model = -1;   // 0..3 from the motorcycle file
    bool player = false;
    bool finished = false;
    float raceTime = 0;       // s
    float averageSpeed = 0;   // km/h
    float longestStill = 0;   // s below 5 km/h in a row while racing
    int respawns = 0;
    int jumps = 0;        // times the motorcycle took off
    float airTime = 0;    // s in the air (the race statistic)
    float bestRise = 0;   // fastest climb while in the air, units/s
    int falls = 0;        // riders thrown off (the race statistic)
    int airFalls = 0;     // of those, thrown off while the motorcycle was in the air
};

struct RaceRunResult
{
    bool ran = false;
    std::string error;
    std::vector<RacerOutcome> order;   // finishers by finish, then the rest by race order
    uint64_t checksum = 0;             // of every racer's position and velocity each second
    int frames = 0;
    int laps = 0;                 // of the race run
    float simulatedSeconds = 0;   // grid hold and race
    double wallSeconds = 0;
    int nonFinite = 0;   // samples of position or velocity that were not finite
    // Skid marks over the run: strips handed to wheels, requests refused with
    // every strip in use (one per wheel and frame), strips freed again and
    // those of them that showed anything, and the longest strip.
    int skidStripsOpened = 0;
    int skidRequestsRefused = 0;
    int skidStripsRetired = 0;
    int skidStripsShown = 0;
    float skidLongestStrip = 0;
    // Over the race's frames (object-frames): placed objects hidden by the
    // occlusion pass, and props (placed objects other than buildings) left
    // drawn although wholly behind a visible building.
    int objectsHidden = 0;
    int propsBehindBuildings = 0;
    std::vector<std::string> pictures;   // files written

    bool AllFinished() const;
    float LongestStill() const;
    int Falls() const;   // over every racer
};

RaceRunResult RunRace(const RaceRunOptions& options);
void PrintRaceResult(FILE* out, const RaceRunResult& result);

// The steps RunRace takes, for a caller that drives the race itself (the
// benchmarks): the game made, the row's race started and its grid set up
// (false with the reason when that fails, nothing left behind); one frame
// of the fixed step; the start signal; and the game released again.
bool SetUpHeadlessRace(const RaceRunOptions& options, std::string* error);
// The game's records step replaced, before the game is made: the score
// table's names drawn and its default scores kept in memory, no records file
// read or written in the data folder.
void KeepScoresInMemory();
void StepHeadlessFrame();
void LetHeadlessRaceGo();
void TearDownHeadlessRace();
