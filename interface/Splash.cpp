// Stand-in splash sequence: takes the pending messages once and returns.
#include "interface/Splash.h"

#include "platform/os/Window.h"

void ShowSplashScreens()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
    {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}
