#pragma once
#include "platform/os/WinTypes.h"

// The main window's procedure: input messages into the polled input state, and
// pausing and resuming when the window loses and regains activation or focus.
LRESULT WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Forgets what a focus loss paused (tests start from a clean window state).
void ResetFocusPauseState();
