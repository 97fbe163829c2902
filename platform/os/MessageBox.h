#pragma once
// MessageBoxA on SDL: the text always goes to stderr, and a simple message box
// is shown only where it can be seen and closed. It never blocks a headless
// run: no box when SDL_VIDEODRIVER is "offscreen" or "dummy", when there is no
// display, or while a test hook is installed. While a box (or the hook that
// stands for it) is up, SIGINT and SIGTERM end the program at once.
#include "platform/os/WinTypes.h"

int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type);

// A hook replaces the box (stderr still gets the text); pass null to remove
// it. The hook's result is the box's result.
typedef int (*MessageBoxHook)(HWND owner, const char* text, const char* caption, UINT type);
void SetMessageBoxHook(MessageBoxHook hook);
