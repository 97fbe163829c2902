#pragma once
// Mouse, buttons and text input as the window procedure writes them and every
// frame polls them.

extern int g_MouseX;
extern int g_MouseY;
extern int g_PrevMouseX;
extern int g_PrevMouseY;
extern int g_MouseButtons[2];   // left, right: 1 while held
extern int g_TextInput;         // 0 off, 1 editing, 2 Enter, 3 Backspace, 4 Esc
extern unsigned char g_TextChar;
