#pragma once
// Whether the program is in front, running a game or about to end, and the
// window and name it runs under: set by the program start and the window
// procedure, polled every frame.
#include "platform/os/WinTypes.h"

extern int g_AppActive;
extern int g_Quit;
extern int g_GameRunning;
extern HWND g_hwnd;
extern const char* g_AppName;   // "Trallowmere"
