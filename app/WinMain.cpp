// Program start, main loop and shutdown.
#include "app/WinMain.h"

#include <string>
#include <vector>

#include "app/Game.h"
#include "app/LayerLinks.h"
#include "app/WndProc.h"
#include "audio/AudioManager.h"
#include "core/DebugLog.h"
#include "core/FileManager.h"
#include "core/InputPacing.h"
#include "core/RunFlags.h"
#include "core/Settings.h"
#include "interface/MainMenu.h"
#include "interface/Splash.h"
#include "platform/os/Clock.h"
#include "platform/os/Rand.h"
#include "platform/os/Shell.h"
#include "platform/os/Window.h"
#include "render/D3DRender.h"

namespace
{
// Exit code of a start that could not finish.
const int kStartFailed = 1;
}   // namespace

int DrainMessages(int* quitCode)
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
    {
        if (msg.message == WM_QUIT)
        {
            if (quitCode)
                *quitCode = (int)msg.wParam;
            return 1;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}

int StartProgram(HINSTANCE instance)
{
    // Before anything runs that could reach a layer above through its links
    // (a lost focus during the splash pauses the clock and its sounds).
    ConnectLayers();
    g_AppActive = 1;
    ResetQuit();

    ReadGameIni("Game.ini");
    const bool firstStart = RegisterStart() == 0;
    if (firstStart)
        ResetSettings();

    GameSrand(timeGetTime());
    Log(nullptr);   // empties the debug log

    // A link left unset would lose a feature in silence: refuse to start.
    const std::vector<std::string> unset = UnsetLayerLinks();
    if (!unset.empty())
    {
        std::string text = "Start-up error: unconnected links:";
        for (const std::string& name : unset)
            text += "\n" + name;
        ShowMessage(text.c_str(), g_AppName, MB_ICONERROR);
        return kStartFailed;
    }

    WNDCLASSA wc = {};
    wc.style = 0;
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(101));
    wc.hCursor = nullptr;
    wc.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
    wc.lpszMenuName = nullptr;
    wc.lpszClassName = g_AppName;
    RegisterClassA(&wc);

    if (g_Render.InitD3D(g_Windowed) < 0)
        return kStartFailed;

    // The render device has resolved the mode into its list; guard anyway so a
    // bad index can never read outside it. A device without a mode list gets a
    // window the size of the virtual screen.
    int width = 800, height = 600;
    if (g_Render.modeCount > 0)
    {
        int mode = g_VideoMode;
        if (mode >= g_Render.modeCount)
            mode = g_Render.modeCount - 1;
        if (mode < 0)
            mode = 0;
        width = (int)g_Render.modes[mode].Width;
        height = (int)g_Render.modes[mode].Height;
    }
    g_hwnd = CreateWindowExA(0, g_AppName, g_AppName, WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr, nullptr,
                             instance, nullptr);
    if (!g_hwnd)
    {
        ShowMessage("Could not create the window!", g_AppName, MB_ICONERROR);
        return kStartFailed;
    }
    ShowWindow(g_hwnd, SW_SHOWNORMAL);
    UpdateWindow(g_hwnd);
    SetCursor(nullptr);

    g_FileManager.Create();

    if (g_Render.CreateDevice(g_hwnd, g_Windowed) < 0)
        return kStartFailed;
    if (g_AudioManager.Create(g_hwnd) < 0)
        return kStartFailed;
    ClampSettings();   // device creation may have lowered the glow and blur limits
    // A first start on a renderer that draws on the processor begins at the
    // options its race runs at real speed with; the player may raise them.
    if (firstStart && g_Render.softwareRenderer)
        LowerSettingsForSoftwareRenderer();

    ShowSplashScreens();
    g_MainMenu.DrawLoadingScreen(1);

    if (g_Game.Create() != 1)
        return kStartFailed;

    g_AudioManager.Compact();
    if (g_GameMenu)
        g_MainMenu.Show(MENU_PROFILES);
    else
        g_AudioManager.PlayMusic(1, nullptr, 0, 75);
    g_Game.StartRace(g_RaceID);

    RunGame();
    g_MainMenu.secondsSinceShow = 0.0f;
    g_Render.SetCursor(300.0f, 200.0f);
    return 0;
}

void EndProgram()
{
    g_Game.Release();
    g_Render.FreeD3DRender();
    g_AudioManager.Release();
    int url = g_FileManager.Open("play.url", 1, nullptr);
    if (url != -1)
    {
        g_FileManager.Close(url);
        ShellExecuteA(nullptr, "open", "play.url", nullptr, nullptr, SW_SHOWNORMAL);
    }
    g_FileManager.Release();
}

int WinMain(HINSTANCE instance, HINSTANCE, char*, int)
{
    if (const int failed = StartProgram(instance))
        return failed;
    // The exit code is the one a quit message carried (0 without one), not
    // whatever message happened to be taken last.
    int exitCode = 0;
    while (!QuitRequested())
    {
        DrainMessages(&exitCode);
        g_Game.Frame();
        InputFrameDone();
    }
    EndProgram();
    return exitCode;
}
