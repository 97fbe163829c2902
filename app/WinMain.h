#pragma once
#include "platform/WinTypes.h"

// Start-up, main loop and shutdown; returns the program's exit code.
int WinMain(HINSTANCE instance, HINSTANCE previous, char* commandLine, int showCommand);
