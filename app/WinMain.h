#pragma once
#include "platform/os/WinTypes.h"

// Start-up, main loop and shutdown; returns the program's exit code.
int WinMain(HINSTANCE instance, HINSTANCE previous, char* commandLine, int showCommand);

// The two ends of WinMain around its loop, for a driver that runs the frames
// itself. StartProgram: settings, window, devices, splash, the game and the
// first race; 0 when the main loop may begin, else the exit code of a start
// that failed. EndProgram: the game, the devices and the file manager
// released, and the play link opened when there is one.
int StartProgram(HINSTANCE instance);
void EndProgram();

// One draining of the message queue, as the main loop does it before each
// frame: every pending message is translated and dispatched; a WM_QUIT ends
// the draining (it is dropped: the loop goes on). Returns 1 when a WM_QUIT
// ended it, with its code stored through quitCode when given.
int DrainMessages(int* quitCode);
