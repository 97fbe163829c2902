// The input state with its start values.
#include "core/InputState.h"

int g_MouseX = 0;
int g_MouseY = 0;
int g_PrevMouseX = 0;
int g_PrevMouseY = 0;
int g_MouseButtons[2] = {0, 0};
int g_TextInput = 0;
unsigned char g_TextChar = 0;

void SetMouseButton(int button, int down)
{
    g_MouseButtons[button] = down;
}

int ConsumeClick()
{
    if (!g_MouseButtons[0])
        return 0;
    g_MouseButtons[0] = 0;
    return 1;
}
