// The front-end menu's object, lifecycle and state machine.
#include "interface/MainMenu.h"

#include "audio/AudioManager.h"

CMainMenu g_MainMenu;
int g_QuickRaceOptions[MENU_RACE_OPTIONS];

CMainMenu::CMainMenu()
    : active(0), secondsSinceShow(0.0f), state(MENU_NONE), borderTexture(-1), loadingTexture(-1), titleTexture(-1),
      makerLogoTexture(-1), physicsLogoTexture(-1), profileCount(0), trackPicture(-1), selectedSystem(0),
      pendingMode(0), pendingDistance(0), pendingShadows(0), pendingGlow(0), pendingBlur(0), focused(nullptr),
      focusList(), focusIndex(-1), focusCount(0), soundIn(nullptr), soundPress(nullptr), soundUpgrade(nullptr)
{
    for (TextureId& id : trackTextures)
        id = -1;
    for (TextureId& id : cupTextures)
        id = -1;
    for (TextureId& id : upgradeTextures)
        id = -1;
    for (auto& path : profilePaths)
        path[0] = 0;
}

void CMainMenu::Show(int newState)
{
    state = newState;
    active = newState != MENU_NONE;
    if (active)
        g_AudioManager.PlayMusic(1, "Data/Audio/MusTrks/TrR00.wav", 1, 100.0f);
    else
        g_AudioManager.PlayMusic(0, nullptr, 0, 100.0f);
    secondsSinceShow = 0.0f;
}

int CMainMenu::Create()
{
    return 1;
}

void CMainMenu::Update() {}
void CMainMenu::Render() {}
void CMainMenu::Release() {}
void CMainMenu::SetState(int newState)
{
    state = newState;
}
void CMainMenu::SetFocus(CMenuButton*) {}
void CMainMenu::UpdateMenuKeys() {}
int CMainMenu::BackFired(CMenuButton*)
{
    return 0;
}
void CMainMenu::SetFocusList(CMenuButton* const*, int, int) {}
void CMainMenu::FindProfiles() {}
void CMainMenu::LoadProfile() {}
void CMainMenu::SaveProfile(int) {}
void CMainMenu::CreateNewProfile() {}
void CMainMenu::DeleteProfile() {}
void CMainMenu::RequestRaceStart(int) {}
void CMainMenu::UpdateLoading() {}
void CMainMenu::UpdateProfilesPage() {}
void CMainMenu::UpdateNewProfilePage() {}
void CMainMenu::UpdateMainPage() {}
void CMainMenu::DrawProfilesPage() {}
void CMainMenu::DrawNewProfilePage() {}
void CMainMenu::DrawMainPage() {}
void CMainMenu::DrawTitle() {}
