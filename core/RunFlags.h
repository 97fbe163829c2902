#pragma once
// Whether the program is in front, running a game or about to end, and the
// window and name it runs under. The program's end and the game's running
// have one owner each: the verbs below, which every layer calls.
#include "platform/os/WinTypes.h"

extern int g_AppActive;
extern HWND g_hwnd;
extern const char* g_AppName;   // "Trallowmere"

// The program's end, asked for by the window's close, the menu's exit page,
// the pause menu's quit when there is no front-end menu, the developer's Esc
// and a render device that cannot be restored: the main loop and the splash
// screens stop at their next check.
void RequestQuit();
int QuitRequested();
// No end asked for: the start of the program (which may start again in the
// same process) or of a run beside it.
void ResetQuit();

// Whether the game runs: 1 while its update steps advance the race, 0 while
// it is held. The program's start and the menu's race start let it run; the
// pause and help overlays and a hint hold it.
int GameRunning();
// Holds the game: it stops running and the game clock pauses.
void HoldGame();
// Ends a hold: the game runs and the game clock resumes.
void ReleaseGame();
// The game runs, the game clock left as it is: a race start, where no hold is
// in place.
void RunGame();
// The game stops running, the game clock left as it is: the end of a
// headless race.
void StopGame();
