// Stand-in front-end menu: remembers the page it was asked for.
#include "interface/MainMenu.h"

CMainMenu g_MainMenu;

void CMainMenu::Show(int newState)
{
    state = newState;
    active = newState != MENU_NONE;
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
