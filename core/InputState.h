#pragma once
// Mouse, buttons and text input as the window procedure writes them and every
// frame polls them.

extern int g_MouseX;
extern int g_MouseY;
extern int g_PrevMouseX;
extern int g_PrevMouseY;
extern int g_MouseButtons[2];   // left, right: 1 while held (SetMouseButton)
extern int g_TextInput;         // 0 off, 1 editing, 2 Enter, 3 Backspace, 4 Esc
extern unsigned char g_TextChar;

// The window procedure's report of a mouse button (0 left, 1 right) going
// down (1) or up (0).
void SetMouseButton(int button, int down);
// One way to take a click: 1 when the left button was down, and it reads as
// up from then on, so one click acts once; 0 otherwise.
int ConsumeClick();
