#pragma once
// ShellExecuteA: only the "open" verb on a file, handed to xdg-open in a
// detached process (the game does not wait for it). Returns a value above 32
// on success, 2 when xdg-open is not on the PATH, 31 for any other failure.
#include "platform/os/WinTypes.h"

HINSTANCE ShellExecuteA(HWND owner, const char* verb, const char* file, const char* parameters, const char* directory,
                        int showCommand);
