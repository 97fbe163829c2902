#include "app/WndProc.h"

#include "audio/AudioManager.h"
#include "core/Controls.h"
#include "core/GameClock.h"
#include "core/InputPacing.h"
#include "core/InputState.h"
#include "core/RunFlags.h"
#include "platform/os/Window.h"
#include "render/D3DRender.h"

namespace
{
// What the last loss of focus or activation paused, so that regaining it
// resumes exactly that: a game held by the pause menu, a hint box or the debug
// Pause key stays held.
bool s_FocusStoppedFrames = false;   // it set g_AppActive to 0
bool s_FocusPausedClock = false;     // it paused a running game clock

void LoseFocus()
{
    g_AudioManager.PauseAll();
    if (g_AppActive)
    {
        g_AppActive = 0;
        s_FocusStoppedFrames = true;
    }
    if (!g_Clock.IsPaused())
    {
        g_Clock.Pause();
        s_FocusPausedClock = true;
    }
}

void RegainFocus()
{
    if (s_FocusPausedClock)
    {
        g_AudioManager.ResumeAll();
        g_Clock.Resume();
    }
    if (s_FocusStoppedFrames)
        g_AppActive = 1;
    s_FocusStoppedFrames = false;
    s_FocusPausedClock = false;
}

// Client pixels to the virtual 800 x 600 screen. Before the device has set
// its scales they are 0, so the position is taken as is.
void SetMouseFromLParam(LPARAM lParam)
{
    const float sx = g_Render.scaleX > 0.0f ? g_Render.scaleX : 1.0f;
    const float sy = g_Render.scaleY > 0.0f ? g_Render.scaleY : 1.0f;
    g_MouseX = (int)((float)LOWORD(lParam) / sx);
    g_MouseY = (int)((float)HIWORD(lParam) / sy);
}
}   // namespace

void ResetFocusPauseState()
{
    s_FocusStoppedFrames = false;
    s_FocusPausedClock = false;
}

LRESULT WndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    // A release whose press no frame has seen, a second character before the
    // first was taken: such input comes back here after the next frame.
    if (HoldBackInput(WndProc, hwnd, message, wParam, lParam))
        return 0;
    // Text entry takes characters and its three keys before anything else.
    if (g_TextInput == 1)
    {
        if (message == WM_CHAR)
        {
            g_TextChar = (unsigned char)(wParam & 0xFF);
            return 0;
        }
        if (message == WM_KEYDOWN)
        {
            if (wParam == VK_RETURN)
            {
                g_TextInput = 2;
                return 0;
            }
            if (wParam == VK_ESCAPE)
            {
                g_TextInput = 4;
                return 0;
            }
            if (wParam == VK_BACK)
            {
                g_TextInput = 3;
                return 0;
            }
        }
    }

    switch (message)
    {
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE)
        {
            if (g_AppActive == 1)
                LoseFocus();
        }
        else if (LOWORD(wParam) == WA_ACTIVE)
        {
            // A click activation alone changes nothing: the focus message that
            // follows it resumes.
            if (g_AppActive == 0)
                RegainFocus();
        }
        return 0;
    case WM_SETFOCUS:
        SetCursor(nullptr);
        RegainFocus();
        return 0;
    case WM_KILLFOCUS:
        LoseFocus();
        return 0;
    case WM_CLOSE:
        RequestQuit();
        return 0;
    case WM_KEYDOWN:
        // Bit 30, the key's previous state, marks an auto-repeat.
        OnKeyDown(wParam, (lParam & 0x40000000) != 0);
        return 0;
    case WM_KEYUP:
        OnKeyUp(wParam);
        return 0;
    case WM_MOUSEMOVE:
        g_PrevMouseX = g_MouseX;
        g_PrevMouseY = g_MouseY;
        SetMouseFromLParam(lParam);
        return 0;
    case WM_LBUTTONDOWN:
        SetMouseButton(0, 1);
        SetMouseFromLParam(lParam);
        return 0;
    case WM_LBUTTONUP:
        SetMouseButton(0, 0);
        return 0;
    case WM_RBUTTONDOWN:
        SetMouseButton(1, 1);
        SetMouseFromLParam(lParam);
        return 0;
    case WM_RBUTTONUP:
        SetMouseButton(1, 0);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}
