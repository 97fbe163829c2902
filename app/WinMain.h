#pragma once
#include "platform/os/WinTypes.h"

// Start-up, main loop and shutdown; returns the program's exit code.
int WinMain(HINSTANCE instance, HINSTANCE previous, char* commandLine, int showCommand);

// One draining of the message queue, as the main loop does it before each
// frame: every pending message is translated and dispatched; a WM_QUIT ends
// the draining (it is dropped: the loop goes on). Returns 1 when a WM_QUIT
// ended it, with its code stored through quitCode when given.
int DrainMessages(int* quitCode);
