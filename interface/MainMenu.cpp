// Stand-in front-end menu: remembers the page it was asked for.
#include "interface/MainMenu.h"

#include "audio/AudioManager.h"

CMainMenu g_MainMenu;

void CMainMenu::Show(int newState)
{
    state = newState;
    active = newState != MENU_NONE;
    // The menu theme plays while a page shows; closing the menu ends it.
    if (active)
        g_AudioManager.PlayMusic(1, "Data/Audio/MusTrks/TrR00.wav", 1, 100.0f);
    else
        g_AudioManager.PlayMusic(0, nullptr, 0, 100.0f);
    secondsSinceShow = 0.0f;
}

void CMainMenu::DrawLoadingScreen(int) {}

int CMainMenu::Create()
{
    return 1;
}

void CMainMenu::Update() {}

void CMainMenu::Render() {}

void CMainMenu::Release() {}
