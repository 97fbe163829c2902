#pragma once
// The front-end menu's entry points the program start calls. Minimal for now:
// the pages arrive with their own work.

enum
{
    MENU_NONE = 0,
    MENU_PROFILES = 10,
};

class CMainMenu
{
public:
    void Show(int state);
    void DrawLoadingScreen(int present);
    // Entry points of the game object's create chain and frame.
    int Create();
    void Update();
    void Render();
    void Release();

    int active = 0;
    int state = MENU_NONE;
    float secondsSinceShow = 0.0f;
};

extern CMainMenu g_MainMenu;
