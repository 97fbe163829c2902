#pragma once
// Run flags and the input state the window procedure writes and every frame polls.
#include "platform/os/WinTypes.h"

extern int g_AppActive;
extern int g_Quit;
extern int g_GameRunning;
extern HWND g_hwnd;
extern const char* g_AppName;   // "Trallowmere"

extern int g_MouseX;
extern int g_MouseY;
extern int g_PrevMouseX;
extern int g_PrevMouseY;
extern int g_MouseButtons[2];   // left, right: 1 while held
extern int g_TextInput;         // 0 off, 1 editing, 2 Enter, 3 Backspace, 4 Esc
extern unsigned char g_TextChar;
