// The run flags with their start values.
#include "core/RunFlags.h"

int g_AppActive = 0;
int g_Quit = 0;
int g_GameRunning = 0;
HWND g_hwnd = nullptr;
const char* g_AppName = "Trallowmere";
