#pragma once
// The options pages' own steps, apart from the polling of their buttons, so
// that each can be driven alone: cycling a pending video value, ACCEPT,
// CANCEL, a volume press and the texts they show.
class CMainMenu;

// Rows of CMainMenu::videoOptions.
enum VideoOptionRow
{
    VIDEO_ROW_RESOLUTION = 0,
    VIDEO_ROW_DISTANCE,
    VIDEO_ROW_SHADOWS,
    VIDEO_ROW_GLOW,
    VIDEO_ROW_BLUR,
};

// The next view distance of the cycle: back to 100 at the limit (or beyond
// it, or below 0), else 70 further; the clamp of the option texts then
// holds it to the limit.
int NextViewDistance(int distance, int limit);
// The name a view distance shows (" Minimum", " Average", " Maximum" for
// 300, 400, 500 and the distances between; shorter ones have names of their
// own).
const char* ViewDistanceName(int distance);
// Changes the pending value of a video row as its label fires, then rewrites
// the option texts.
void CycleVideoOption(CMainMenu& menu, int row);
// ACCEPT: the pending values become the running settings and "Game.ini" is
// written.
void AcceptVideoOptions(CMainMenu& menu);
// CANCEL or Esc: the pending values are the running settings again.
void RestoreVideoOptions(CMainMenu& menu);
// A volume row fires: 10 louder, or 0 after 100; written and applied at once.
void StepVolume(CMainMenu& menu, int* volume);
// 1 while the graphics page shows the restart note: a pending resolution,
// glow or blur differs from the running one.
int RestartNoteShown(const CMainMenu& menu);
