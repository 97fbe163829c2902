#pragma once
// The fall log of a headless race: one line for every rider thrown off,
// saying where on the lap it happened, how the rider came off (something
// touched its riding box, a sudden stop threw it, the motorcycle turned over)
// and what the rider and its motorcycle touched before, at what speed
// relative to them; and a count of the causes at the end. While the log is
// on, the contact pass's throw-off and impact hooks are wrapped to see what
// touched whom.
#include <cstdio>

class CVehicleObject;

// Wraps the hooks and clears the record; nothing with a null out.
void StartFallLog(FILE* out);
// The race time (s) of the frame about to be stepped.
void FallLogTime(double raceSeconds);
// After each frame, for every racer still racing: `fell` when its falls rose
// this frame; `wasAirborne` and `previousVelocity` are as they stood the
// frame before; `respawned` when it was put back on the path this frame.
void FallLogRacer(const CVehicleObject& v, int index, int laps, bool fell, bool wasAirborne,
                  const float previousVelocity[3], bool respawned);
// Prints the count of the causes and gives the hooks back.
void StopFallLog();
