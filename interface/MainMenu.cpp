// The front-end menu's record: the one menu object, its widget table, the
// quick-race choices and the hooks to the game; the press latches and the
// race-start request that the pages share. MainMenuPages.cpp runs it.
#include "interface/MainMenu.h"

#include "core/CareerData.h"
#include "render/Views.h"

CMainMenu g_MainMenu;
int g_QuickRaceOptions[MENU_RACE_OPTIONS];
MenuHooks g_MenuHooks;

namespace
{
void SetOption(CMenuOption& option, CMainMenu* menu, const char* caption, float x, float y, float scale, float r,
               float g, float b)
{
    option.label.font = &menu->menuFont;
    option.label.menu = menu;
    option.label.Set(caption, x, y, scale, ALIGN_RIGHT, 1, r, g, b);
    option.value[0] = 0;
    option.valueAlign = ALIGN_LEFT;
}
}   // namespace

CMainMenu::CMainMenu()
    : active(0), secondsSinceShow(0.0f), state(MENU_NONE), borderTexture(-1), loadingTexture(-1), titleTexture(-1),
      makerLogoTexture(-1), physicsLogoTexture(-1), profileCount(0), trackPicture(-1), selectedSystem(0),
      pendingMode(0), pendingDistance(0), pendingShadows(0), pendingGlow(0), pendingBlur(0), soundUpgrade(nullptr)
{
    for (TextureId& id : trackTextures)
        id = -1;
    for (TextureId& id : cupTextures)
        id = -1;
    for (TextureId& id : upgradeTextures)
        id = -1;
    for (auto& path : profilePaths)
        path[0] = 0;
    showroomCamera.fadeColour = D3DXCOLOR(1.0f, 1.0f, 1.0f, 1.0f);
}

void CMainMenu::SetWidgets()
{
    CFont* f = &menuFont;
    for (int i = 0; i < MENU_PROFILE_SLOTS; ++i)
    {
        buttons[i].font = f;
        buttons[i].menu = this;
        buttons[i].Set("-", 600.0f, 250.0f + 23.0f * (float)i, 0.45f, ALIGN_CENTER, 0, 1.0f, 0.8f, 0.2f, 0);
    }
    struct Row
    {
        const char* caption;
        float y, scale;
        int enabled;
        float g;
    };
    const Row rows[] = {
        {"DONE", 500, 0.6f, 1, 0.5f},
        {"NEW PROFILE", 530, 0.6f, 1, 0.5f},
        {"DELETE PROFILE", 560, 0.6f, 1, 0.5f},
        {"DONE", 500, 0.6f, 1, 0.8f},
        {"QUICK RACE", 260, 0.7f, 1, 0.8f},
        {"CONTINUE CAREER", 295, 0.7f, 1, 0.8f},
        {"NEW CAREER", 330, 0.7f, 1, 0.8f},
        {"RECORDS TABLE", 390, 0.65f, 1, 0.5f},
        {"CHANGE PROFILE", 420, 0.65f, 1, 0.5f},
        {"OPTIONS", 450, 0.65f, 1, 0.5f},
        {"CREDITS", 480, 0.65f, 0, 0.5f},
        {"EXIT", 510, 0.65f, 1, 0.5f},
    };
    for (int i = 0; i < 12; ++i)
    {
        CMenuButton& b = buttons[BUTTON_PROFILES_DONE + i];
        b.font = f;
        b.menu = this;
        b.Set(rows[i].caption, 600.0f, rows[i].y, rows[i].scale, ALIGN_CENTER, rows[i].enabled, 1.0f, rows[i].g,
              rows[i].g == 0.8f ? 0.2f : 0.0f);
    }

    const char* const raceCaptions[MENU_RACE_OPTIONS] = {
        "TRACK :", "SEASON :", "LAPS :", "REVERSE :", "DIFFICULTY :", "RACERS :"};
    for (int i = 0; i < MENU_RACE_OPTIONS; ++i)
    {
        SetOption(raceOptions[i], this, raceCaptions[i], 600.0f, 285.0f + 25.0f * (float)i, 0.5f, 1.0f, 0.6f, 0.6f);
        raceOptions[i].valueColour[0] = 1.0f;
        raceOptions[i].valueColour[1] = 0.5f;
        raceOptions[i].valueColour[2] = 1.0f;
    }

    struct Single
    {
        CMenuButton* button;
        const char* caption;
        float x, y, scale;
        int align;
        float r, g, b;
        int translate;
    };
    const Single singles[] = {
        {&quickStartButton, "START!", 600, 450, 0.6f, ALIGN_CENTER, 1, 0.4f, 0.2f, 1},
        {&yesButton, "YES", 600, 400, 0.6f, ALIGN_CENTER, 1, 0.8f, 0.2f, 1},
        {&noButton, "NO", 600, 430, 0.6f, ALIGN_CENTER, 1, 0.8f, 0.2f, 1},
        {&prevButton, "<<<", 460, 370, 0.6f, ALIGN_CENTER, 1, 0.6f, 0.0f, 0},
        {&nextButton, ">>>", 740, 370, 0.6f, ALIGN_CENTER, 1, 0.6f, 0.0f, 0},
        {&motorcycleSchemeButton, "CHANGE COLOR SCHEME", 600, 500, 0.4f, ALIGN_CENTER, 1, 0.8f, 0.2f, 1},
        {&motorcycleOkButton, "OK", 600, 530, 0.6f, ALIGN_CENTER, 1, 0.8f, 0.2f, 0},
        {&careerStartButton, "START!", 600, 450, 0.6f, ALIGN_CENTER, 1, 0.4f, 0.2f, 1},
        {&careerSchemeButton, "CHANGE COLOR SCHEME", 150, 485, 0.35f, ALIGN_CENTER, 1, 0.8f, 0.2f, 1},
        {&systemButtons[0], "ENGINE", 600, 300, 0.6f, ALIGN_LEFT, 1, 0.4f, 0.0f, 1},
        {&systemButtons[1], "TRANSMISSION", 600, 380, 0.6f, ALIGN_LEFT, 1, 0.4f, 0.0f, 1},
        {&systemButtons[2], "CHASSIS", 600, 460, 0.6f, ALIGN_LEFT, 1, 0.4f, 0.0f, 1},
        {&upgradeOkButton, "OK", 600, 530, 0.6f, ALIGN_CENTER, 1, 0.8f, 0.2f, 0},
        {&recordsOkButton, "OK", 400, 560, 0.6f, ALIGN_CENTER, 1, 0.8f, 0.2f, 0},
        {&graphicsButton, "GRAPHICS", 600, 400, 0.7f, ALIGN_CENTER, 1, 0.8f, 0.2f, 1},
        {&audioButton, "AUDIO", 600, 435, 0.7f, ALIGN_CENTER, 1, 0.8f, 0.2f, 1},
        {&controlsButton, "CONTROLS", 600, 470, 0.7f, ALIGN_CENTER, 1, 0.8f, 0.2f, 1},
        {&acceptButton, "ACCEPT", 600, 515, 0.7f, ALIGN_CENTER, 1, 0.5f, 0.0f, 1},
        {&cancelButton, "CANCEL", 600, 550, 0.7f, ALIGN_CENTER, 1, 0.5f, 0.0f, 1},
        {&backButton, "BACK", 600, 535, 0.7f, ALIGN_CENTER, 1, 0.5f, 0.0f, 1},
    };
    for (const Single& s : singles)
    {
        s.button->font = f;
        s.button->menu = this;
        s.button->Set(s.caption, s.x, s.y, s.scale, s.align, 1, s.r, s.g, s.b, s.translate);
    }

    const char* const videoCaptions[MENU_VIDEO_OPTIONS] = {
        "Resolution :", "View distance :", "Shadows :", "Glow :", "Blur :"};
    for (int i = 0; i < MENU_VIDEO_OPTIONS; ++i)
    {
        SetOption(videoOptions[i], this, videoCaptions[i], 605.0f, 350.0f + 25.0f * (float)i, 0.55f, 1.0f, 0.8f, 0.2f);
        videoOptions[i].valueColour[0] = 1.0f;
        videoOptions[i].valueColour[1] = 0.5f;
        videoOptions[i].valueColour[2] = 0.0f;
    }
    SetOption(musicOption, this, "Music volume :", 610.0f, 440.0f, 0.5f, 1.0f, 0.8f, 0.2f);
    SetOption(effectsOption, this, "Effects volume :", 610.0f, 470.0f, 0.5f, 1.0f, 0.8f, 0.2f);
    for (CMenuOption* o : {&musicOption, &effectsOption})
    {
        o->valueColour[0] = 1.0f;
        o->valueColour[1] = 0.5f;
        o->valueColour[2] = 0.0f;
    }
}

void CMainMenu::ClearLatches()
{
    for (CMenuButton& b : buttons)
        b.ClearLatch();
    for (CMenuOption& o : raceOptions)
        o.label.ClearLatch();
    for (CMenuOption& o : videoOptions)
        o.label.ClearLatch();
    for (CMenuButton* b : {&quickStartButton,   &yesButton,         &noButton,
                           &prevButton,         &nextButton,        &motorcycleSchemeButton,
                           &motorcycleOkButton, &careerStartButton, &careerSchemeButton,
                           &systemButtons[0],   &systemButtons[1],  &systemButtons[2],
                           &upgradeOkButton,    &recordsOkButton,   &graphicsButton,
                           &audioButton,        &controlsButton,    &acceptButton,
                           &cancelButton,       &musicOption.label, &effectsOption.label,
                           &backButton})
        b->ClearLatch();
}

void CMainMenu::RequestRaceStart(int careerMode)
{
    secondsSinceShow = 0.0f;
    g_CareerMode = careerMode;
    // The active camera fades to black, with sound.
    if (g_Views.activeCamera)
        g_Views.activeCamera->FadeOut(1.0f, 1, D3DXCOLOR(0.0f, 0.0f, 0.0f, 1.0f));
    ClearLatches();
    state = MENU_LOADING;   // the focus list stays as it was
}
